# The label, and what the components that draw themselves share.
list(APPEND ZL_RUNTIME_SOURCES ui/label.cpp ui/drawn_control.cpp)
