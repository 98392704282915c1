# The list view: its blob and table formats (portable), and the component with its
# commands against a real SysListView32 in a test program of its own (it owns the
# kernel's state).
list(APPEND ZL_HOST_TEST_SOURCES ui/list_view_tables_test.cpp)
if(WIN32)
  zl_add_wine_test(list_view_tests SOURCES ui/list_view_test.cpp LIBS zl_test_units zl_core)
endif()
