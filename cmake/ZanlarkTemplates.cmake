# zl_compile_template(OUT_VAR NAME name DESCRIPTIONS files... ROUTINES file)
# Compiles window descriptions (one window each, in the order given) at build time
# into a C++ source that defines `const uint8_t name[]` and `const uint32_t name_size`;
# OUT_VAR receives the source's path, to add to a target. The compiler is the host
# tree's (ZL_HOST_DIR/bin/zl_template_compiler), or this tree's own when it builds one.
function(zl_compile_template out_var)
  cmake_parse_arguments(ARG "" "NAME;ROUTINES" "DESCRIPTIONS" ${ARGN})
  if(NOT ARG_NAME OR NOT ARG_DESCRIPTIONS)
    message(FATAL_ERROR "zl_compile_template: NAME and DESCRIPTIONS are required")
  endif()
  if(TARGET zl_template_compiler)
    set(tool "$<TARGET_FILE:zl_template_compiler>")
    set(tool_dependency zl_template_compiler)
  elseif(ZL_HOST_DIR)
    set(tool "${ZL_HOST_DIR}/bin/zl_template_compiler")
    set(tool_dependency "${tool}")
  else()
    message(FATAL_ERROR "zl_compile_template: no host tree (configure with -DZL_HOST_DIR=...)")
  endif()
  set(inputs)
  foreach(file IN LISTS ARG_DESCRIPTIONS)
    get_filename_component(file "${file}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    list(APPEND inputs "${file}")
  endforeach()
  set(routine_args)
  set(routine_file)
  if(ARG_ROUTINES)
    get_filename_component(routine_file "${ARG_ROUTINES}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    set(routine_args --routines "${routine_file}")
  endif()
  set(output "${CMAKE_CURRENT_BINARY_DIR}/${ARG_NAME}.cpp")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" -E env ASAN_OPTIONS=detect_leaks=0
            "${tool}" ${routine_args} --header "${ARG_NAME}" -o "${output}" ${inputs}
    DEPENDS ${tool_dependency} ${inputs} ${routine_file}
    COMMENT "Compiling window template ${ARG_NAME}"
    VERBATIM)
  set(${out_var} "${output}" PARENT_SCOPE)
endfunction()
