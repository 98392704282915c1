# The redraw hold against real windows, under Wine.
list(APPEND ZL_WINE_TEST_SOURCES lib/redraw_hold_test.cpp)
