# The windowed side: platform window, GL drawing, text, input and scenes, in
# the static library rootweaver_gui. Its sources are added by the folders'
# CMakeLists.txt (target_sources(rootweaver_gui PRIVATE ...)), which run
# after this file.

find_package(SDL2 REQUIRED)
find_package(OpenGL REQUIRED COMPONENTS OpenGL)
if(NOT TARGET OpenGL::GLU)
  message(FATAL_ERROR "GLU was not found (Debian package libglu1-mesa-dev)")
endif()

add_library(rootweaver_gui STATIC)
target_link_libraries(rootweaver_gui PUBLIC rootweaver_shell SDL2::SDL2 OpenGL::GL OpenGL::GLU)

# The font picture, made at build time by a tool of the project.
add_subdirectory(tools)
add_dependencies(rootweaver_gui font_picture)

# The file dialogs (File/tFileDialogUtils) are GTK 3's. Linked privately, so
# only that file sees GTK's headers.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
target_link_libraries(rootweaver_gui PRIVATE PkgConfig::GTK3)
