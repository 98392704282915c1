# The automation commands (ComObject and Variant), under Wine against real automation
# objects: the system's scripting objects and our own probe.
if(WIN32)
  zl_add_wine_test(runtime_automation_tests
    SOURCES lib/automation_commands_test.cpp lib/com_variant_test.cpp lib/lib_test_program.cpp
    LIBS zl_automation_probe zl_core)
endif()
