# The list view: its portable blob schema and table codecs, the component and its commands.
list(APPEND ZL_BASE_SOURCES ui/list_view_tables.cpp)
list(APPEND ZL_RUNTIME_SOURCES ui/list_view.cpp ui/list_view_commands.cpp)
