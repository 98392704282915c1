# The button component.
list(APPEND ZL_RUNTIME_SOURCES ui/button.cpp)
