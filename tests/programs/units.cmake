# The unit manager's test unit types (a window type and a control type registered as a
# support library), and a program built on the runtime that loads windows of them.
add_library(zl_test_units STATIC ${PROJECT_SOURCE_DIR}/tests/support/test_units.cpp
                                 ${PROJECT_SOURCE_DIR}/tests/support/loaded_windows.cpp)
target_link_libraries(zl_test_units PUBLIC zl_core comctl32)

add_executable(units_probe WIN32 units_probe.cpp)
target_link_libraries(units_probe PRIVATE zl_framework zl_test_units zl_core shell32)
