# The component gallery: every interface component in its notable states on one real
# window, compiled from a description (run it with ./dev wine out/win64/bin/gallery.exe).
set(ZL_GALLERY_DESCRIPTION "${PROJECT_SOURCE_DIR}/tests/templates/gallery.toml")
zl_compile_template(ZL_GALLERY_TEMPLATE_SOURCE NAME kGalleryTemplate DESCRIPTIONS "${ZL_GALLERY_DESCRIPTION}")
# The icon the description names is compiled in too.
add_custom_command(OUTPUT "${ZL_GALLERY_TEMPLATE_SOURCE}" APPEND
                   DEPENDS "${PROJECT_SOURCE_DIR}/tests/templates/gallery.ico")
add_executable(gallery WIN32 gallery.cpp "${ZL_GALLERY_TEMPLATE_SOURCE}")
target_link_libraries(gallery PRIVATE zl_framework zl_core)
