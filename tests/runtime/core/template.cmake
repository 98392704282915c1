# The window template's byte format (portable: natively and under Wine).
list(APPEND ZL_HOST_TEST_SOURCES core/window_template_test.cpp)

# The template compiler (a host tool), in-process and as a program.
if(TARGET zl_template_compiler)
  zl_add_host_test(template_compiler_tests
    SOURCES "${PROJECT_SOURCE_DIR}/tests/tools/template_compiler_test.cpp"
            "${PROJECT_SOURCE_DIR}/tests/tools/property_fields_test.cpp"
            "${PROJECT_SOURCE_DIR}/tests/tools/decompiler_test.cpp"
    LIBS zl_template_compiler_lib)
  target_compile_definitions(template_compiler_tests PRIVATE
    ZL_TEMPLATE_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/templates"
    ZL_TEMPLATE_COMPILER="$<TARGET_FILE:zl_template_compiler>")
  add_dependencies(template_compiler_tests zl_template_compiler)
endif()

# Start-up with a compiled template (Windows, under Wine).
if(WIN32)
  list(APPEND ZL_CORE_TEST_SOURCES core/template_loader_test.cpp)
  list(APPEND ZL_TEST_DEPENDENCIES template_probe shown_window_probe)
endif()
