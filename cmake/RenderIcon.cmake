# Draws the desktop icon (cmake -P): the program runs SCRIPT into DIR, and
# the PNG picture it writes becomes DIR/rootweaver.png.
execute_process(COMMAND ${PROGRAM} --batch ${SCRIPT} --output-dir ${DIR}
                OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT EXISTS ${DIR}/icon-fractal-1.png)
  message(FATAL_ERROR "rootweaver could not draw the icon (${status})")
endif()
file(RENAME ${DIR}/icon-fractal-1.png ${DIR}/rootweaver.png)
