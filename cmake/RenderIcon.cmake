# Draws the desktop icon (cmake -P): the program runs SCRIPT into DIR, and
# TOOL (makeIcon) turns the picture it wrote into DIR/rootweaver.xpm.
execute_process(COMMAND ${PROGRAM} --batch ${SCRIPT} --output-dir ${DIR}
                OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "rootweaver could not draw the icon (${status})")
endif()
execute_process(COMMAND ${TOOL} ${DIR}/icon-fractal-1.tga ${DIR}/rootweaver.xpm
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "makeIcon could not write the icon (${status})")
endif()
