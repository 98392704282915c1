# The core command library: portable text and conversion commands, and the
# commands and library record that need Win32.
list(APPEND ZL_BASE_SOURCES lib/text_builder.cpp lib/text_commands.cpp lib/conversion_commands.cpp)
list(APPEND ZL_RUNTIME_SOURCES lib/component_lookup.cpp lib/system_commands.cpp lib/core_library.cpp)
