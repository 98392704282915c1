# The thread library (Win32).
list(APPEND ZL_RUNTIME_SOURCES lib/thread_library.cpp)
