# cmake --install build --prefix P: the program in P/bin and its own files in
# P/share/rootweaver/ (the font picture, the sample functions and scripts),
# where it looks for them when it runs from there (tFileUtils::isInstalled),
# with a desktop entry and an icon. The layout must stay bin/ beside
# share/rootweaver/: that is how the program knows it is installed.

# The icon is a basin picture the program itself draws at build time.
set(ROOTWEAVER_ICON_DIR ${CMAKE_BINARY_DIR}/icon)
add_custom_command(OUTPUT ${ROOTWEAVER_ICON_DIR}/rootweaver.png
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:rootweaver>
          -DSCRIPT=${PROJECT_SOURCE_DIR}/tools/icon.blam -DDIR=${ROOTWEAVER_ICON_DIR}
          -P ${PROJECT_SOURCE_DIR}/cmake/RenderIcon.cmake
  DEPENDS rootweaver ${PROJECT_SOURCE_DIR}/tools/icon.blam
          ${PROJECT_SOURCE_DIR}/cmake/RenderIcon.cmake
  COMMENT "Drawing the icon"
  VERBATIM)
add_custom_target(icon ALL DEPENDS ${ROOTWEAVER_ICON_DIR}/rootweaver.png)

install(TARGETS rootweaver RUNTIME DESTINATION bin)
install(FILES ${ROOTWEAVER_APP_DIR}/resources/Daduz.tga DESTINATION share/rootweaver/resources)
install(FILES ${ROOTWEAVER_FUNC_FILES} DESTINATION "share/rootweaver/Shared Functions")
install(FILES ${ROOTWEAVER_BLAM_FILES} DESTINATION share/rootweaver/examples)
install(PROGRAMS ${ROOTWEAVER_SWEEP_SCRIPTS} DESTINATION share/rootweaver/examples)
install(FILES ${PROJECT_SOURCE_DIR}/resources/rootweaver.desktop DESTINATION share/applications)
install(FILES ${ROOTWEAVER_ICON_DIR}/rootweaver.png DESTINATION share/pixmaps)
