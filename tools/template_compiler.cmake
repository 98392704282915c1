# The window template compiler: a host tool, built wherever the tree is not cross-built
# (a cross-built Windows tree runs the host tree's copy through zl_compile_template).
# The fuzz tree builds only its library, for the decompile fuzz target.
include(ZanlarkTemplates)

if(NOT CMAKE_CROSSCOMPILING)
  find_package(tomlplusplus CONFIG REQUIRED)
  find_package(Iconv REQUIRED)
  add_library(zl_template_compiler_lib STATIC
    template_compiler/ansi_text.cpp
    template_compiler/decompiler.cpp
    template_compiler/description.cpp
    template_compiler/field_reader.cpp
    template_compiler/list_view_fields.cpp
    template_compiler/property_fields.cpp
    template_compiler/routine_list.cpp
    template_compiler/toml_text.cpp
    template_compiler/unit_types.cpp)
  target_include_directories(zl_template_compiler_lib PUBLIC "${PROJECT_SOURCE_DIR}")
  target_link_libraries(zl_template_compiler_lib PUBLIC zl_base tomlplusplus::tomlplusplus Iconv::Iconv)
  # Descriptions are UTF-8, and so are the type names they are matched against.
  target_compile_options(zl_template_compiler_lib PRIVATE -fexec-charset=UTF-8)
endif()

if(NOT CMAKE_CROSSCOMPILING AND NOT ZL_FUZZ)
  add_executable(zl_template_compiler template_compiler/main.cpp)
  target_link_libraries(zl_template_compiler PRIVATE zl_template_compiler_lib)
endif()
