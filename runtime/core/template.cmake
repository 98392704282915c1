# The window template: its byte format (portable) and the kernel's start-up reader (Win32).
list(APPEND ZL_BASE_SOURCES core/window_template.cpp)
list(APPEND ZL_RUNTIME_SOURCES core/template_loader.cpp)
