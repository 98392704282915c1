# Interface components: the portable property-record format (natively under the
# sanitizers and under Wine).
list(APPEND ZL_HOST_TEST_SOURCES ui/property_record_test.cpp)
