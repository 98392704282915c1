# The thread library and the operating-system interface library, under Wine.
list(APPEND ZL_WINE_TEST_SOURCES lib/thread_library_test.cpp lib/shell_library_test.cpp)
list(APPEND ZL_TEST_DEPENDENCIES uri_sink)
