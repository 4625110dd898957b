# Copies the resources, sample functions, sample scripts and sweep launchers
# into build/app/.
# prefs.txt is copied only when the folder has none, so a user's settings
# survive rebuilds.

file(GLOB ROOTWEAVER_FUNC_FILES CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/Shared Functions/*.func")
file(GLOB ROOTWEAVER_BLAM_FILES CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/examples/*.blam")
# The sweep launchers the README names beside the scripts.
set(ROOTWEAVER_SWEEP_SCRIPTS "${PROJECT_SOURCE_DIR}/examples/slurm-sweep.sh"
    "${PROJECT_SOURCE_DIR}/examples/parallel-sweep.sh")

set(ROOTWEAVER_APP_STAMPS)
foreach(src ${ROOTWEAVER_FUNC_FILES})
  get_filename_component(name "${src}" NAME)
  set(dst "${ROOTWEAVER_APP_DIR}/Shared Functions/${name}")
  add_custom_command(OUTPUT "${dst}"
    COMMAND ${CMAKE_COMMAND} -E copy_if_different "${src}" "${dst}"
    DEPENDS "${src}" VERBATIM)
  list(APPEND ROOTWEAVER_APP_STAMPS "${dst}")
endforeach()
foreach(src ${ROOTWEAVER_BLAM_FILES} ${ROOTWEAVER_SWEEP_SCRIPTS})
  get_filename_component(name "${src}" NAME)
  set(dst "${ROOTWEAVER_APP_DIR}/examples/${name}")
  add_custom_command(OUTPUT "${dst}"
    COMMAND ${CMAKE_COMMAND} -E copy_if_different "${src}" "${dst}"
    DEPENDS "${src}" VERBATIM)
  list(APPEND ROOTWEAVER_APP_STAMPS "${dst}")
endforeach()

add_custom_target(app_folder ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory "${ROOTWEAVER_APP_DIR}/resources"
  COMMAND ${CMAKE_COMMAND} -DSRC=${PROJECT_SOURCE_DIR}/resources/prefs.txt
          -DDST=${ROOTWEAVER_APP_DIR}/resources/prefs.txt
          -P ${PROJECT_SOURCE_DIR}/cmake/CopyIfAbsent.cmake
  DEPENDS ${ROOTWEAVER_APP_STAMPS}
  VERBATIM)
add_dependencies(rootweaver app_folder)
