# The movie player's benchmarks: loading and drawing a full interactive scene, and the
# external-interface hit test pages ask for on every drop.
file(GLOB KORVEL_MOVIE_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/movie_*.cpp)
if(KORVEL_MOVIE_BENCH_SOURCES)
  add_executable(korvel_bench_movie ${KORVEL_MOVIE_BENCH_SOURCES})
  target_link_libraries(korvel_bench_movie PRIVATE korvel_movie korvel_bench_main)
endif()
