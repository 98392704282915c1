# The redraw hold: a scope that lets a component take many changes with one repaint (Win32).
list(APPEND ZL_RUNTIME_SOURCES lib/redraw_hold.cpp)
