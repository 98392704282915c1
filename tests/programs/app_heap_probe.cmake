# The program itself with a window of the test's own that answers how many runtime heap
# blocks are alive, so a test can watch the program's heap across many actions.
include(ZanlarkTemplates)
zl_compile_template(ZL_HEAP_PROBE_TEMPLATE NAME kMainWindowTemplate
  DESCRIPTIONS "${PROJECT_SOURCE_DIR}/app/main_window.toml"
  ROUTINES "${PROJECT_SOURCE_DIR}/app/routines.inc")
add_executable(app_heap_probe WIN32 app_heap_probe.cpp "${PROJECT_SOURCE_DIR}/app/program.cpp"
  "${ZL_HEAP_PROBE_TEMPLATE}")
target_link_libraries(app_heap_probe PRIVATE zl_framework zl_app zl_core)
