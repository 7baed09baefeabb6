# render writes a PNG of the first frame at the stage's size.
file(REMOVE ${OUT})
execute_process(COMMAND ${CLI} render ${IN} ${OUT} RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "render failed (${rc}): ${err}")
endif()
file(READ ${OUT} head LIMIT 24 HEX)
# The PNG signature, then the IHDR chunk with width and height 400 (0x190).
if(NOT head MATCHES "^89504e470d0a1a0a0000000d4948445200000190" OR NOT head MATCHES "00000190$")
  message(FATAL_ERROR "not a 400 x 400 PNG: ${head}")
endif()
