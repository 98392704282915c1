# The icon maker: a host tool that writes the program's icon and cursors from the
# pictures described in text in app/resources (a cross-built Windows tree runs the host
# tree's copy).
if(NOT CMAKE_CROSSCOMPILING AND NOT ZL_FUZZ)
  add_library(zl_icon_maker_lib STATIC icon_maker/picture.cpp)
  target_include_directories(zl_icon_maker_lib PUBLIC "${PROJECT_SOURCE_DIR}")
  add_executable(zl_icon_maker icon_maker/main.cpp)
  target_link_libraries(zl_icon_maker PRIVATE zl_icon_maker_lib)
endif()
