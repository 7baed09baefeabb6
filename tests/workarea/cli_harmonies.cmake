# korvel-cli scene harmonies: the Harmonies page's own scene, as a movie file and as the
# picture the player shows, and the options it refuses.
set(HARMONIES_CLI $<TARGET_FILE:korvel-cli>)
set(HARMONIES_WORK ${CMAKE_CURRENT_BINARY_DIR}/cli_harmonies)
file(MAKE_DIRECTORY ${HARMONIES_WORK})
# Qt wants a private runtime folder; without one it warns on stderr.
set(HARMONIES_RUNTIME ${HARMONIES_WORK}/runtime)
file(MAKE_DIRECTORY ${HARMONIES_RUNTIME})
file(CHMOD ${HARMONIES_RUNTIME} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

function(harmonies_test name)
  cmake_parse_arguments(T "WILL_FAIL" "MATCH;FIXTURE;NEEDS" "ARGS" ${ARGN})
  add_test(NAME cli.harmonies.${name} COMMAND ${HARMONIES_CLI} ${T_ARGS})
  set_tests_properties(cli.harmonies.${name} PROPERTIES LABELS "cli;workarea"
    ENVIRONMENT "XDG_RUNTIME_DIR=${HARMONIES_RUNTIME}")
  if(T_MATCH)
    set_tests_properties(cli.harmonies.${name} PROPERTIES PASS_REGULAR_EXPRESSION "${T_MATCH}")
  endif()
  if(T_FIXTURE)
    set_tests_properties(cli.harmonies.${name} PROPERTIES FIXTURES_SETUP ${T_FIXTURE})
  endif()
  if(T_NEEDS)
    set_tests_properties(cli.harmonies.${name} PROPERTIES FIXTURES_REQUIRED "${T_NEEDS}")
  endif()
  if(T_WILL_FAIL)
    set_tests_properties(cli.harmonies.${name} PROPERTIES WILL_FAIL TRUE)
  endif()
endfunction()

# Exit status 1 and exactly one line on stderr.
function(harmonies_failure name)
  string(REPLACE ";" "|" packed "${ARGN}")
  add_test(NAME cli.harmonies.${name}
    COMMAND ${CMAKE_COMMAND} -DCLI=${HARMONIES_CLI} "-DARGS=${packed}"
            -P ${CMAKE_CURRENT_SOURCE_DIR}/cli_expect_failure.cmake)
  set_tests_properties(cli.harmonies.${name} PROPERTIES LABELS "cli;workarea"
    ENVIRONMENT "XDG_RUNTIME_DIR=${HARMONIES_RUNTIME}")
endfunction()

# Complement on "Color Wheel 1", written as Save Image writes it: version 5, the fixed
# 1000 x 1000 stage, no clips and no script; twelve wedges and a band on each of the two
# full ones, nothing else.
harmonies_test(swf ARGS scene harmonies --base FF0000 --harmony CPL --style 2 --out ${HARMONIES_WORK}/cpl.swf
  FIXTURE harmonies_cpl)
string(REPEAT "2 DefineShape id [0-9]+ [^\n]*\n26 PlaceObject2 depth [0-9]+ character [0-9]+ matrix [^\n]*\n" 14
  fourteen_shapes)
harmonies_test(swf_content ARGS swfdump ${HARMONIES_WORK}/cpl.swf NEEDS harmonies_cpl
  MATCH "^SWF version 5, stage 1000 x 1000 px \\(from 0,0\\), 12 fps, 1 frame\\(s\\)\n9 SetBackgroundColor #FFFFFF\n${fourteen_shapes}1 ShowFrame\n0 End\n$")
# Without outline the two bands go, and every option is taken.
harmonies_test(swf_options ARGS scene harmonies --base 336699 --harmony 1 --style 2 --wheel scientific --grays 20
  --marker --background 202020 --outline none --out ${HARMONIES_WORK}/options.swf FIXTURE harmonies_options)
string(REPEAT "2 DefineShape id [0-9]+ [^\n]*lines 0 [^\n]*\n26 PlaceObject2 [^\n]*\n" 14 fourteen_plain)
harmonies_test(swf_options_content ARGS swfdump ${HARMONIES_WORK}/options.swf NEEDS harmonies_options
  MATCH "\n9 SetBackgroundColor #202020\n${fourteen_plain}2 DefineShape id [0-9]+ [^\n]*lines 1 [^\n]*\n26 PlaceObject2 [^\n]*\n1 ShowFrame\n")

# The player's picture at the size asked for.
add_test(NAME cli.harmonies.png
  COMMAND ${CMAKE_COMMAND} -DCLI=${HARMONIES_CLI} -DOUT=${HARMONIES_WORK}/grays.png
          "-DARGS=scene|harmonies|--base|E04020|--grays|5|--style|0|--size|500x300|--out|${HARMONIES_WORK}/grays.png"
          -DWIDTH=000001f4 -DHEIGHT=0000012c
          -P ${CMAKE_CURRENT_SOURCE_DIR}/cli_png_check.cmake)
set_tests_properties(cli.harmonies.png PROPERTIES LABELS "cli;workarea"
  ENVIRONMENT "XDG_RUNTIME_DIR=${HARMONIES_RUNTIME}")

harmonies_failure(no_base scene harmonies --out ${HARMONIES_WORK}/x.swf)
harmonies_failure(bad_base scene harmonies --base 12345G --out ${HARMONIES_WORK}/x.swf)
harmonies_failure(bad_harmony scene harmonies --base FF0000 --harmony XYZ --out ${HARMONIES_WORK}/x.swf)
harmonies_failure(bad_wheel scene harmonies --base FF0000 --wheel painter --out ${HARMONIES_WORK}/x.swf)
harmonies_failure(bad_grays scene harmonies --base FF0000 --grays 21 --out ${HARMONIES_WORK}/x.swf)
harmonies_failure(bad_out scene harmonies --base FF0000 --out ${HARMONIES_WORK}/x.jpg)
harmonies_failure(stray scene harmonies --base FF0000 --rings 3 --out ${HARMONIES_WORK}/x.swf)
# Qt reads --style too and says so on stderr, so only the exit status is checked here.
harmonies_test(bad_style ARGS scene harmonies --base FF0000 --style 5 --out ${HARMONIES_WORK}/x.swf WILL_FAIL)
