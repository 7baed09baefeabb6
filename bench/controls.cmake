# The controls' benchmarks: rendering the cached backgrounds of the colour controls.
file(GLOB KORVEL_CONTROLS_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/controls_*.cpp)
if(KORVEL_CONTROLS_BENCH_SOURCES)
  add_executable(korvel_bench_controls ${KORVEL_CONTROLS_BENCH_SOURCES})
  target_link_libraries(korvel_bench_controls PRIVATE korvel_controls korvel_bench_main)
endif()
