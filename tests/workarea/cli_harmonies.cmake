# korvel-cli scene harmonies: the Harmonies page's own scene, as a movie file and as the
# picture the player shows, and the options it refuses.
set(HARMONIES_WORK ${CMAKE_CURRENT_BINARY_DIR}/cli_harmonies)
file(MAKE_DIRECTORY ${HARMONIES_WORK})

# Complement on "Color Wheel 1", written as Save Image writes it: version 5, the fixed
# 1000 x 1000 stage, no clips and no script; twelve wedges and a band on each of the two
# full ones, nothing else.
cli_test(harmonies swf ARGS scene harmonies --base FF0000 --harmony CPL --style 2 --out ${HARMONIES_WORK}/cpl.swf
  FIXTURE harmonies_cpl)
string(REPEAT "2 DefineShape id [0-9]+ [^\n]*\n26 PlaceObject2 depth [0-9]+ character [0-9]+ matrix [^\n]*\n" 14
  fourteen_shapes)
cli_test(harmonies swf_content ARGS swfdump ${HARMONIES_WORK}/cpl.swf NEEDS harmonies_cpl
  MATCH "^SWF version 5, stage 1000 x 1000 px \\(from 0,0\\), 12 fps, 1 frame\\(s\\)\n9 SetBackgroundColor #FFFFFF\n${fourteen_shapes}1 ShowFrame\n0 End\n$")
# Without outline the two bands go, and every option is taken.
cli_test(harmonies swf_options ARGS scene harmonies --base 336699 --harmony 1 --style 2 --wheel scientific --grays 20
  --marker --background 202020 --outline none --out ${HARMONIES_WORK}/options.swf FIXTURE harmonies_options)
string(REPEAT "2 DefineShape id [0-9]+ [^\n]*lines 0 [^\n]*\n26 PlaceObject2 [^\n]*\n" 14 fourteen_plain)
cli_test(harmonies swf_options_content ARGS swfdump ${HARMONIES_WORK}/options.swf NEEDS harmonies_options
  MATCH "\n9 SetBackgroundColor #202020\n${fourteen_plain}2 DefineShape id [0-9]+ [^\n]*lines 1 [^\n]*\n26 PlaceObject2 [^\n]*\n1 ShowFrame\n")

# The player's picture at the size asked for.
add_test(NAME cli.harmonies.png
  COMMAND ${CMAKE_COMMAND} -DCLI=${KORVEL_CLI} -DOUT=${HARMONIES_WORK}/grays.png
          "-DARGS=scene|harmonies|--base|E04020|--grays|5|--style|0|--size|500x300|--out|${HARMONIES_WORK}/grays.png"
          -DWIDTH=000001f4 -DHEIGHT=0000012c
          -P ${CMAKE_CURRENT_SOURCE_DIR}/cli_png_check.cmake)
set_tests_properties(cli.harmonies.png PROPERTIES LABELS "cli;workarea"
  ENVIRONMENT "XDG_RUNTIME_DIR=${KORVEL_CLI_RUNTIME}")

cli_failure(harmonies no_base scene harmonies --out ${HARMONIES_WORK}/x.swf)
cli_failure(harmonies bad_base scene harmonies --base 12345G --out ${HARMONIES_WORK}/x.swf)
cli_failure(harmonies bad_harmony scene harmonies --base FF0000 --harmony XYZ --out ${HARMONIES_WORK}/x.swf)
cli_failure(harmonies bad_wheel scene harmonies --base FF0000 --wheel painter --out ${HARMONIES_WORK}/x.swf)
cli_failure(harmonies bad_grays scene harmonies --base FF0000 --grays 21 --out ${HARMONIES_WORK}/x.swf)
cli_failure(harmonies bad_out scene harmonies --base FF0000 --out ${HARMONIES_WORK}/x.jpg)
cli_failure(harmonies stray scene harmonies --base FF0000 --rings 3 --out ${HARMONIES_WORK}/x.swf)
# Qt reads --style too and says so on stderr, so only the exit status is checked here.
cli_test(harmonies bad_style ARGS scene harmonies --base FF0000 --style 5 --out ${HARMONIES_WORK}/x.swf WILL_FAIL)
