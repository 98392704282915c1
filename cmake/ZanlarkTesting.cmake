# Test helpers: GoogleTest from Debian's sources, built by this tree for its own compiler.
if(NOT (ZL_BUILD_TESTS AND NOT ZL_FUZZ))
  return()
endif()

enable_testing()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
if(WIN32)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
endif()
# GoogleTest from its sources (Debian's googletest package installs them here; the
# tree builds them with its own compiler), or else an installed GoogleTest package.
set(ZL_GOOGLETEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH
    "GoogleTest sources to build the tests with; empty or missing: find an installed GoogleTest")
if(ZL_GOOGLETEST_SOURCE_DIR AND EXISTS "${ZL_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt")
  add_subdirectory("${ZL_GOOGLETEST_SOURCE_DIR}" "${CMAKE_BINARY_DIR}/_googletest" EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()

# A host test program, run natively under the sanitizers.
function(zl_add_host_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT
    "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0;UBSAN_OPTIONS=print_stacktrace=1")
endfunction()

# Every test that needs the X display or a Wine prefix takes this lock, so ctest runs
# them one at a time (they share the pointer, the focus and the foreground window) while
# host tests and fuzz targets run beside them. `./dev` writes the same name for the
# entries it adds.
set(ZL_DISPLAY_LOCK zl_display)

# A Windows test program, run under Wine against real windows.
function(zl_add_wine_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} zl_test_support GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK ${ZL_DISPLAY_LOCK})
endfunction()
