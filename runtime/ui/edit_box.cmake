# The edit box: its input modes are portable, the component needs Win32.
list(APPEND ZL_BASE_SOURCES ui/edit_box_input.cpp)
list(APPEND ZL_RUNTIME_SOURCES ui/edit_box.cpp)
