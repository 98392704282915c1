# The hyperlink box.
list(APPEND ZL_RUNTIME_SOURCES ui/hyper_linker.cpp)
