# The window template's byte format (portable: natively and under Wine).
list(APPEND ZL_HOST_TEST_SOURCES core/window_template_test.cpp)
