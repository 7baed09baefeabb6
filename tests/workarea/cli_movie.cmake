# korvel-cli's movie commands on scenes the CLI writes itself, and on broken movies.
set(CLI $<TARGET_FILE:korvel-cli>)
set(WORK ${CMAKE_CURRENT_BINARY_DIR}/cli_movie)
set(MOVIE_DATA ${CMAKE_CURRENT_SOURCE_DIR}/data)
file(MAKE_DIRECTORY ${WORK})
# Qt wants a private runtime folder; without one it warns on stderr, which would spoil the
# one-line failure messages the tests check.
set(RUNTIME ${WORK}/runtime)
file(MAKE_DIRECTORY ${RUNTIME})
file(CHMOD ${RUNTIME} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

function(movie_test name)
  cmake_parse_arguments(T "" "MATCH;FIXTURE;NEEDS" "ARGS" ${ARGN})
  add_test(NAME cli.movie.${name} COMMAND ${CLI} ${T_ARGS})
  set_tests_properties(cli.movie.${name} PROPERTIES LABELS "cli;workarea" ENVIRONMENT "XDG_RUNTIME_DIR=${RUNTIME}")
  if(T_MATCH)
    set_tests_properties(cli.movie.${name} PROPERTIES PASS_REGULAR_EXPRESSION "${T_MATCH}")
  endif()
  if(T_FIXTURE)
    set_tests_properties(cli.movie.${name} PROPERTIES FIXTURES_SETUP ${T_FIXTURE})
  endif()
  if(T_NEEDS)
    set_tests_properties(cli.movie.${name} PROPERTIES FIXTURES_REQUIRED "${T_NEEDS}")
  endif()
endfunction()

# Exit status 1 and exactly one line on stderr, never a crash.
function(movie_failure name)
  string(REPLACE ";" "|" packed "${ARGN}")
  add_test(NAME cli.movie.${name}
    COMMAND ${CMAKE_COMMAND} -DCLI=${CLI} "-DARGS=${packed}" -P ${CMAKE_CURRENT_SOURCE_DIR}/cli_expect_failure.cmake)
  set_tests_properties(cli.movie.${name} PROPERTIES LABELS "cli;workarea" ENVIRONMENT "XDG_RUNTIME_DIR=${RUNTIME}")
endfunction()

# The scenes: 12 segments x 3 rings round (200, 200), stage 400 x 400; segment 24 is the
# outer ring's base colour at 12 o'clock.
movie_test(scene_rings ARGS scene rings --size 400x400 --out ${WORK}/rings.swf FIXTURE movie_rings)
movie_test(scene_rings_file ARGS scene rings --size 400x400 --file --out ${WORK}/rings5.swf FIXTURE movie_rings)
movie_test(scene_blank ARGS scene blank --size 800x600 --out ${WORK}/blank.swf FIXTURE movie_blank)
movie_test(scene_blank_png ARGS scene blank --size 300x200 --out ${WORK}/blank.png)
movie_failure(scene_unknown scene circles --out ${WORK}/x.swf)
movie_failure(scene_bad_out scene blank --out ${WORK}/x.bmp)

# (Patterns stay free of "(.|\n)*": CMake's matcher backtracks on it over long outputs.)
movie_test(swfdump_rings_clip ARGS swfdump ${WORK}/rings.swf NEEDS movie_rings
  MATCH "26 PlaceObject2 depth 1 character 2 name \"#SW_0000_#770000\" matrix [^\n]*\n    on rollOver: FSCommand \"CM_01\" \"#SW_0000_#770000\"\n    on rollOut: FSCommand \"CM_02\" \"#SW_0000_#770000\"\n    on press: FSCommand \"CM_03\" \"#SW_0000_#770000\"\n    on release: FSCommand \"CM_04\" \"#SW_0000_#770000\"\n    on releaseOutside: FSCommand \"CM_05\" \"#SW_0000_#770000\"\n")
movie_test(swfdump_rings_callback ARGS swfdump ${WORK}/rings.swf NEEDS movie_rings
  MATCH "\n12 DoAction [0-9]+ bytes\n1 ShowFrame\n0 End\n$")
movie_test(swfdump_rings_json ARGS swfdump ${WORK}/rings.swf --json NEEDS movie_rings
  MATCH "\"events\": \"releaseOutside\",\n *\"fscommand\": \"CM_05\"")
movie_test(swfdump_blank ARGS swfdump ${WORK}/blank.swf NEEDS movie_blank
  MATCH "^SWF version 5, stage 800 x 600 px \\(from 0,0\\), 12 fps, 1 frame\\(s\\)\n9 SetBackgroundColor #FFFFFF\n[^\"]*\"Trebuchet MS\"[^\"]*\"frmPptBlank loaded\"\n26 PlaceObject2 depth 1 character [0-9]+ matrix \\[0.81915[0-9] 0.57357[0-9] -0.57357[0-9] 0.81915[0-9] 400 [0-9.]+\\][^\n]*\n1 ShowFrame\n0 End\n$")

movie_test(hit_sector ARGS hit ${WORK}/rings.swf 200 40 NEEDS movie_rings MATCH "^#SW_0024_#FF0000_200_40\n$")
movie_test(hit_hole ARGS hit ${WORK}/rings.swf 200 200 NEEDS movie_rings MATCH "^_\n$")
# A player twice as wide shows the stage centred: the same sector sits 200 pixels right.
movie_test(hit_wide_player ARGS hit ${WORK}/rings.swf 400 40 --size 800x400 NEEDS movie_rings
  MATCH "^#SW_0024_#FF0000_200_40\n$")
movie_failure(hit_file_movie_has_no_callback hit ${WORK}/rings5.swf 200 40)

movie_test(play_click ARGS play ${WORK}/rings.swf --move 200,40 --down 200,40 --up 200,40 --move 200,200
  NEEDS movie_rings
  MATCH "^CM_01 #SW_0024_#FF0000\nCM_03 #SW_0024_#FF0000\nCM_04 #SW_0024_#FF0000\nCM_02 #SW_0024_#FF0000\n$")
movie_test(play_release_outside ARGS play ${WORK}/rings.swf --down 200,40 --move 10,10 --up 10,10 NEEDS movie_rings
  MATCH "^CM_01 #SW_0024_#FF0000\nCM_03 #SW_0024_#FF0000\nCM_05 #SW_0024_#FF0000\n$")
movie_test(play_file_movie_is_silent ARGS play ${WORK}/rings5.swf --move 200,40 --down 200,40 --up 200,40
  NEEDS movie_rings MATCH "^$")
movie_failure(play_without_events play ${WORK}/rings.swf)

add_test(NAME cli.movie.render_png
  COMMAND ${CMAKE_COMMAND} -DCLI=${CLI} -DIN=${WORK}/rings.swf -DOUT=${WORK}/rings.png
          -P ${CMAKE_CURRENT_SOURCE_DIR}/cli_render_check.cmake)
set_tests_properties(cli.movie.render_png PROPERTIES LABELS "cli;workarea" FIXTURES_REQUIRED movie_rings
  ENVIRONMENT "XDG_RUNTIME_DIR=${RUNTIME}")

foreach(bad truncated.swf not-a-movie.swf tag-overrun.swf missing.swf)
  string(REPLACE "." "_" tag ${bad})
  movie_failure(swfdump_${tag} swfdump ${MOVIE_DATA}/${bad})
  movie_failure(render_${tag} render ${MOVIE_DATA}/${bad} ${WORK}/bad.png)
  movie_failure(hit_${tag} hit ${MOVIE_DATA}/${bad} 1 1)
  movie_failure(play_${tag} play ${MOVIE_DATA}/${bad} --move 1,1)
endforeach()
