# The comparison with Ruffle, an independent Flash player, of the renderer's primitives
# (fills, curves, alpha, strokes, nested sprites, buttons, device text) and of clip events
# and GetClipName on a small movie. ruffle.compare does the same for whole page scenes.
# Include after enable_testing() and after the movie library. The test skips itself
# (exit 77) with a message when the Ruffle checker (KORVEL_RUFFLE_DIR, which make test
# fills) or Chromium is missing; `ctest -L ruffle` runs it alone.
if(NOT DEFINED KORVEL_RUFFLE_DIR)
  set(KORVEL_RUFFLE_DIR ${CMAKE_BINARY_DIR}/ruffle)
endif()
add_executable(korvel_ruffle_check ${CMAKE_CURRENT_LIST_DIR}/ruffle_check.cpp)
target_link_libraries(korvel_ruffle_check PRIVATE korvel_movie)
add_test(NAME ruffle.primitives COMMAND korvel_ruffle_check)
set_tests_properties(ruffle.primitives PROPERTIES
  LABELS ruffle
  SKIP_RETURN_CODE 77
  TIMEOUT 600
  RUN_SERIAL TRUE
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KORVEL_RUFFLE_DIR=${KORVEL_RUFFLE_DIR}")
