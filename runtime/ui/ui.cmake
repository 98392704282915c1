# The component base and the support-library records that carry the component types:
# the property-record format is portable, the rest needs Win32.
list(APPEND ZL_BASE_SOURCES ui/property_record.cpp ui/component_schemas.cpp)
list(APPEND ZL_RUNTIME_SOURCES ui/component.cpp ui/support_libraries.cpp)
