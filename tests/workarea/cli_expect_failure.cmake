# Runs korvel-cli with ARGS ("|"-separated) and expects exit status 1 with a one-line
# message on stderr: what every refused input must give, rather than a crash.
string(REPLACE "|" ";" args "${ARGS}")
execute_process(COMMAND ${CLI} ${args} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 1)
  message(FATAL_ERROR "expected exit status 1, got '${rc}'\nstderr: ${err}")
endif()
string(REGEX MATCHALL "\n" lines "${err}")
list(LENGTH lines count)
if(NOT count EQUAL 1 OR NOT err MATCHES "^korvel-cli [a-z]+: ")
  message(FATAL_ERROR "expected one line 'korvel-cli COMMAND: message' on stderr, got:\n${err}")
endif()
