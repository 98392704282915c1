# The edit box's command of the core library (AddText).
list(APPEND ZL_RUNTIME_SOURCES lib/edit_commands.cpp)
