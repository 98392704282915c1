# The automation probe: an automation object with a type library, registered by the
# automation tests in their own process. widl compiles its type library next to them.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(zl_widl_names x86_64-w64-mingw32-widl widl)
  set(zl_widl_target -m64)
else()
  set(zl_widl_names i686-w64-mingw32-widl widl)
  set(zl_widl_target -m32)
endif()
find_program(ZL_WIDL NAMES ${zl_widl_names} REQUIRED)
set(ZL_PROBE_IDL "${PROJECT_SOURCE_DIR}/tests/support/automation_probe.idl")
set(ZL_PROBE_TLB "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/zl_automation_probe.tlb")
add_custom_command(
  OUTPUT "${ZL_PROBE_TLB}"
  COMMAND "${ZL_WIDL}" ${zl_widl_target} -t -T "${ZL_PROBE_TLB}" "${ZL_PROBE_IDL}"
  DEPENDS "${ZL_PROBE_IDL}"
  COMMENT "Compiling the automation probe's type library"
  VERBATIM)
add_custom_target(zl_automation_probe_tlb DEPENDS "${ZL_PROBE_TLB}")

add_library(zl_automation_probe STATIC ${PROJECT_SOURCE_DIR}/tests/support/automation_probe.cpp)
target_link_libraries(zl_automation_probe PUBLIC zl_core zl_test_support ole32 oleaut32 uuid advapi32)
add_dependencies(zl_automation_probe zl_automation_probe_tlb)
