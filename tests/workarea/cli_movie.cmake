# korvel-cli's movie commands on scenes the CLI writes itself, and on broken movies.
set(WORK ${CMAKE_CURRENT_BINARY_DIR}/cli_movie)
set(MOVIE_DATA ${CMAKE_CURRENT_SOURCE_DIR}/data)
file(MAKE_DIRECTORY ${WORK})

# The scenes: 12 segments x 3 rings round (200, 200), stage 400 x 400; segment 24 is the
# outer ring's base colour at 12 o'clock.
cli_test(movie scene_rings ARGS scene rings --size 400x400 --out ${WORK}/rings.swf FIXTURE movie_rings)
cli_test(movie scene_rings_file ARGS scene rings --size 400x400 --file --out ${WORK}/rings5.swf FIXTURE movie_rings)
cli_test(movie scene_blank ARGS scene blank --size 800x600 --out ${WORK}/blank.swf FIXTURE movie_blank)
cli_test(movie scene_blank_png ARGS scene blank --size 300x200 --out ${WORK}/blank.png)
cli_failure(movie scene_unknown scene circles --out ${WORK}/x.swf)
cli_failure(movie scene_bad_out scene blank --out ${WORK}/x.bmp)

# (Patterns stay free of "(.|\n)*": CMake's matcher backtracks on it over long outputs.)
cli_test(movie swfdump_rings_clip ARGS swfdump ${WORK}/rings.swf NEEDS movie_rings
  MATCH "26 PlaceObject2 depth 1 character 2 name \"#SW_0000_#770000\" matrix [^\n]*\n    on rollOver: FSCommand \"CM_01\" \"#SW_0000_#770000\"\n    on rollOut: FSCommand \"CM_02\" \"#SW_0000_#770000\"\n    on press: FSCommand \"CM_03\" \"#SW_0000_#770000\"\n    on release: FSCommand \"CM_04\" \"#SW_0000_#770000\"\n    on releaseOutside: FSCommand \"CM_05\" \"#SW_0000_#770000\"\n")
cli_test(movie swfdump_rings_callback ARGS swfdump ${WORK}/rings.swf NEEDS movie_rings
  MATCH "\n12 DoAction [0-9]+ bytes\n1 ShowFrame\n0 End\n$")
cli_test(movie swfdump_rings_json ARGS swfdump ${WORK}/rings.swf --json NEEDS movie_rings
  MATCH "\"events\": \"releaseOutside\",\n *\"fscommand\": \"CM_05\"")
cli_test(movie swfdump_blank ARGS swfdump ${WORK}/blank.swf NEEDS movie_blank
  MATCH "^SWF version 5, stage 800 x 600 px \\(from 0,0\\), 12 fps, 1 frame\\(s\\)\n9 SetBackgroundColor #FFFFFF\n[^\"]*\"Trebuchet MS\"[^\"]*\"frmPptBlank loaded\"\n26 PlaceObject2 depth 1 character [0-9]+ matrix \\[0.81915[0-9] 0.57357[0-9] -0.57357[0-9] 0.81915[0-9] 400 [0-9.]+\\][^\n]*\n1 ShowFrame\n0 End\n$")

cli_test(movie hit_sector ARGS hit ${WORK}/rings.swf 200 40 NEEDS movie_rings MATCH "^#SW_0024_#FF0000_200_40\n$")
cli_test(movie hit_hole ARGS hit ${WORK}/rings.swf 200 200 NEEDS movie_rings MATCH "^_\n$")
# A player twice as wide shows the stage centred: the same sector sits 200 pixels right.
cli_test(movie hit_wide_player ARGS hit ${WORK}/rings.swf 400 40 --size 800x400 NEEDS movie_rings
  MATCH "^#SW_0024_#FF0000_200_40\n$")
cli_failure(movie hit_file_movie_has_no_callback hit ${WORK}/rings5.swf 200 40)

cli_test(movie play_click ARGS play ${WORK}/rings.swf --move 200,40 --down 200,40 --up 200,40 --move 200,200
  NEEDS movie_rings
  MATCH "^CM_01 #SW_0024_#FF0000\nCM_03 #SW_0024_#FF0000\nCM_04 #SW_0024_#FF0000\nCM_02 #SW_0024_#FF0000\n$")
cli_test(movie play_release_outside ARGS play ${WORK}/rings.swf --down 200,40 --move 10,10 --up 10,10 NEEDS movie_rings
  MATCH "^CM_01 #SW_0024_#FF0000\nCM_03 #SW_0024_#FF0000\nCM_05 #SW_0024_#FF0000\n$")
cli_test(movie play_file_movie_is_silent ARGS play ${WORK}/rings5.swf --move 200,40 --down 200,40 --up 200,40
  NEEDS movie_rings MATCH "^$")
cli_failure(movie play_without_events play ${WORK}/rings.swf)

add_test(NAME cli.movie.render_png
  COMMAND ${CMAKE_COMMAND} -DCLI=${KORVEL_CLI} -DIN=${WORK}/rings.swf -DOUT=${WORK}/rings.png
          -P ${CMAKE_CURRENT_SOURCE_DIR}/cli_render_check.cmake)
set_tests_properties(cli.movie.render_png PROPERTIES LABELS "cli;workarea" FIXTURES_REQUIRED movie_rings
  ENVIRONMENT "XDG_RUNTIME_DIR=${KORVEL_CLI_RUNTIME}")

foreach(bad truncated.swf not-a-movie.swf tag-overrun.swf missing.swf)
  string(REPLACE "." "_" tag ${bad})
  cli_failure(movie swfdump_${tag} swfdump ${MOVIE_DATA}/${bad})
  cli_failure(movie render_${tag} render ${MOVIE_DATA}/${bad} ${WORK}/bad.png)
  cli_failure(movie hit_${tag} hit ${MOVIE_DATA}/${bad} 1 1)
  cli_failure(movie play_${tag} play ${MOVIE_DATA}/${bad} --move 1,1)
endforeach()
