# The edit box, the button and AddText: their blobs and the input modes (natively under
# the sanitizers and under Wine), and the components against real controls on windows
# loaded by the unit manager, in a test program of its own (it initialises the kernel).
list(APPEND ZL_HOST_TEST_SOURCES ui/edit_box_button_schema_test.cpp)
if(WIN32)
  zl_add_wine_test(edit_box_button_tests
                   SOURCES ui/component_harness.cpp ui/edit_box_test.cpp ui/button_test.cpp ui/add_text_test.cpp
                   LIBS zl_test_units zl_core)
endif()
