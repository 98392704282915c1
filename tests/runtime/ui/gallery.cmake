# The component gallery: its description decompiled and compiled again gives the same
# bytes (host, every component's readable form), and the program's window checked and
# photographed under Wine, in a test program of its own.
if(TARGET zl_template_compiler)
  add_test(NAME gallery_template_round_trip
           COMMAND "${CMAKE_COMMAND}" "-DCOMPILER=$<TARGET_FILE:zl_template_compiler>"
                   "-DDESCRIPTION=${PROJECT_SOURCE_DIR}/tests/templates/gallery.toml"
                   "-DWORK=${CMAKE_CURRENT_BINARY_DIR}/gallery_round_trip" -DREADABLE=ON
                   -P "${PROJECT_SOURCE_DIR}/tests/tools/template_round_trip.cmake")
endif()
if(WIN32)
  zl_add_wine_test(gallery_tests SOURCES ui/gallery_test.cpp LIBS comctl32 gdi32)
  add_dependencies(gallery_tests gallery)
endif()
