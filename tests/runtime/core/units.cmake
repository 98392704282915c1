# The unit manager: typed event arguments (portable), and loading, dispatch and property
# reads against real windows in a test program of its own (it owns the kernel's state).
list(APPEND ZL_HOST_TEST_SOURCES core/event_record_test.cpp)
if(WIN32)
  zl_add_wine_test(unit_manager_tests SOURCES core/unit_manager_test.cpp core/unit_errors_test.cpp
                   LIBS zl_test_units zl_core)
  add_dependencies(unit_manager_tests units_probe)
endif()
