# Runs korvel-cli with ARGS ("|"-separated) and checks that OUT is a PNG of WIDTH x HEIGHT
# (both as eight hex digits, as the IHDR chunk stores them).
string(REPLACE "|" ";" args "${ARGS}")
file(REMOVE ${OUT})
execute_process(COMMAND ${CLI} ${args} RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "korvel-cli failed (${rc}): ${err}")
endif()
file(READ ${OUT} head LIMIT 24 HEX)
if(NOT head MATCHES "^89504e470d0a1a0a0000000d49484452${WIDTH}${HEIGHT}$")
  message(FATAL_ERROR "not a PNG of ${WIDTH} x ${HEIGHT}: ${head}")
endif()
