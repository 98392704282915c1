# A protocol handler that records how the shell started it (shell library tests).
add_executable(uri_sink WIN32 uri_sink.cpp)
target_link_libraries(uri_sink PRIVATE shell32)
