# The main window's benchmarks: a base-colour change from the call to the repainted player,
# and start-up to the shown window of the real program.
file(GLOB KORVEL_SHELL_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/shell_*.cpp)
if(KORVEL_SHELL_BENCH_SOURCES)
  add_executable(korvel_bench_shell ${KORVEL_SHELL_BENCH_SOURCES})
  target_link_libraries(korvel_bench_shell PRIVATE korvel_shell korvel_bench_main)
  target_compile_definitions(korvel_bench_shell PRIVATE KORVEL_PROGRAM="$<TARGET_FILE:korvel>")
  add_dependencies(korvel_bench_shell korvel)
endif()
