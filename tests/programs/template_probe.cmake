# A program on the runtime whose template is compiled from the sample descriptions.
zl_compile_template(ZL_PROBE_TEMPLATE_SOURCE NAME kProbeTemplate
  DESCRIPTIONS "${PROJECT_SOURCE_DIR}/tests/templates/sample_main.toml"
               "${PROJECT_SOURCE_DIR}/tests/templates/sample_second.toml"
  ROUTINES "${PROJECT_SOURCE_DIR}/tests/templates/routines.inc")
add_executable(template_probe WIN32 template_probe.cpp "${ZL_PROBE_TEMPLATE_SOURCE}")
target_link_libraries(template_probe PRIVATE zl_framework zl_core shell32)
