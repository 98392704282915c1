# The label and the hyperlink box: their blobs and link targets (portable), and real
# windows of both in a test program of its own (it owns the kernel's state).
list(APPEND ZL_HOST_TEST_SOURCES ui/drawn_component_blobs_test.cpp)
if(WIN32)
  zl_add_wine_test(drawn_components_tests SOURCES ui/drawn_components_test.cpp LIBS zl_test_units zl_core)
  add_dependencies(drawn_components_tests uri_sink)
endif()
