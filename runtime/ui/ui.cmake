# The component base and the support-library records that carry the component types:
# the property-record format, the schemas and the window outlines are portable, the
# rest needs Win32.
list(APPEND ZL_BASE_SOURCES ui/property_record.cpp ui/component_schemas.cpp ui/window_shapes.cpp)
list(APPEND ZL_RUNTIME_SOURCES ui/border_style.cpp ui/component.cpp ui/support_libraries.cpp ui/window_component.cpp)
