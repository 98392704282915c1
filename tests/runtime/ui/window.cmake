# The window component against real windows, in a test program of its own (it owns
# the kernel's state).
if(WIN32)
  zl_add_wine_test(window_component_tests SOURCES ui/window_component_test.cpp LIBS zl_test_units zl_core)
endif()
