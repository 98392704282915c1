# The unit manager: window loading, component lookup, event dispatch, property reads.
list(APPEND ZL_BASE_SOURCES core/event_record.cpp)
list(APPEND ZL_RUNTIME_SOURCES core/unit_object.cpp core/unit_manager.cpp core/event_dispatch.cpp core/unit_properties.cpp)
