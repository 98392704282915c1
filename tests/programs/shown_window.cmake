# A program whose start window is compiled from a description and shown by the unit manager.
zl_compile_template(ZL_SHOWN_TEMPLATE_SOURCE NAME kShownTemplate
  DESCRIPTIONS "${PROJECT_SOURCE_DIR}/tests/templates/shown_window.toml"
  ROUTINES "${PROJECT_SOURCE_DIR}/tests/templates/routines.inc")
add_executable(shown_window_probe WIN32 shown_window_probe.cpp "${ZL_SHOWN_TEMPLATE_SOURCE}")
target_link_libraries(shown_window_probe PRIVATE zl_framework zl_test_units zl_core)
