# The automation commands of the core library: ComObject and Variant holders, the
# conversions between runtime values and VARIANTs, and member calls (Win32, OLE).
list(APPEND ZL_RUNTIME_SOURCES lib/com_object.cpp lib/automation_values.cpp lib/variant_commands.cpp
     lib/automation_commands.cpp)
