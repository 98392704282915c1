# Core command library tests: the portable text family (natively under the
# sanitizers and under Wine) and the Win32 commands and library record.
list(APPEND ZL_HOST_TEST_SOURCES lib/text_commands_test.cpp lib/conversion_commands_test.cpp)
list(APPEND ZL_WINE_TEST_SOURCES lib/system_commands_test.cpp lib/core_library_test.cpp lib/lib_test_program.cpp)
