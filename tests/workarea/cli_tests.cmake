# The test functions of korvel-cli's scene and movie commands: cli_test runs a command and
# checks its output or exit status, cli_failure expects exit status 1 with exactly one
# line on stderr and never a crash. Tests are named cli.<group>.<name>.
set(KORVEL_CLI $<TARGET_FILE:korvel-cli>)
# Qt wants a private runtime folder; without one it warns on stderr, which would spoil the
# one-line failure messages the tests check.
set(KORVEL_CLI_RUNTIME ${CMAKE_CURRENT_BINARY_DIR}/cli_runtime)
file(MAKE_DIRECTORY ${KORVEL_CLI_RUNTIME})
file(CHMOD ${KORVEL_CLI_RUNTIME} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

function(cli_test group name)
  cmake_parse_arguments(T "WILL_FAIL" "MATCH;FIXTURE;NEEDS" "ARGS" ${ARGN})
  set(test cli.${group}.${name})
  add_test(NAME ${test} COMMAND ${KORVEL_CLI} ${T_ARGS})
  set_tests_properties(${test} PROPERTIES LABELS "cli;workarea" ENVIRONMENT "XDG_RUNTIME_DIR=${KORVEL_CLI_RUNTIME}")
  if(T_MATCH)
    set_tests_properties(${test} PROPERTIES PASS_REGULAR_EXPRESSION "${T_MATCH}")
  endif()
  if(T_FIXTURE)
    set_tests_properties(${test} PROPERTIES FIXTURES_SETUP ${T_FIXTURE})
  endif()
  if(T_NEEDS)
    set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED "${T_NEEDS}")
  endif()
  if(T_WILL_FAIL)
    set_tests_properties(${test} PROPERTIES WILL_FAIL TRUE)
  endif()
endfunction()

function(cli_failure group name)
  string(REPLACE ";" "|" packed "${ARGN}")
  set(test cli.${group}.${name})
  add_test(NAME ${test}
    COMMAND ${CMAKE_COMMAND} -DCLI=${KORVEL_CLI} "-DARGS=${packed}" -P ${CMAKE_CURRENT_SOURCE_DIR}/cli_expect_failure.cmake)
  set_tests_properties(${test} PROPERTIES LABELS "cli;workarea" ENVIRONMENT "XDG_RUNTIME_DIR=${KORVEL_CLI_RUNTIME}")
endfunction()
