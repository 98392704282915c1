# The window template compiler: a host tool (not built in the Windows or fuzz trees,
# which run the host tree's copy through zl_compile_template).
include(ZanlarkTemplates)

if(NOT WIN32 AND NOT ZL_FUZZ)
  find_package(tomlplusplus CONFIG REQUIRED)
  add_library(zl_template_compiler_lib STATIC
    template_compiler/ansi_text.cpp
    template_compiler/description.cpp
    template_compiler/field_reader.cpp
    template_compiler/routine_list.cpp
    template_compiler/unit_types.cpp)
  target_include_directories(zl_template_compiler_lib PUBLIC "${PROJECT_SOURCE_DIR}")
  target_link_libraries(zl_template_compiler_lib PUBLIC zl_base tomlplusplus::tomlplusplus)
  # Descriptions are UTF-8, and so are the type names they are matched against.
  target_compile_options(zl_template_compiler_lib PRIVATE -fexec-charset=UTF-8)

  add_executable(zl_template_compiler template_compiler/main.cpp)
  target_link_libraries(zl_template_compiler PRIVATE zl_template_compiler_lib)
endif()
