# The operating-system interface library: browse dialog and shell execution (Win32).
list(APPEND ZL_RUNTIME_SOURCES lib/shell_library.cpp)
