# The comparison with Ruffle, an independent Flash player. Include after enable_testing()
# and after the movie library:  include(tools/ruffle-check/ruffle.cmake)
# The test skips itself (exit 77) with a message when the Ruffle checker (/work/ruffle or
# KORVEL_RUFFLE_DIR) or Chromium is missing; `ctest -L ruffle` runs it alone.
add_executable(korvel_ruffle_check ${CMAKE_CURRENT_LIST_DIR}/ruffle_check.cpp)
target_link_libraries(korvel_ruffle_check PRIVATE korvel_movie)
add_test(NAME ruffle_compare COMMAND korvel_ruffle_check)
set_tests_properties(ruffle_compare PROPERTIES
  LABELS ruffle
  SKIP_RETURN_CODE 77
  TIMEOUT 600
  ENVIRONMENT QT_QPA_PLATFORM=offscreen)
