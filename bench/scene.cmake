# The scene conventions end to end: a page's scene built, serialised, parsed by the player
# and drawn, and the GetClipName question pages ask.
file(GLOB KORVEL_SCENE_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/scene_*.cpp)
if(KORVEL_SCENE_BENCH_SOURCES)
  add_executable(korvel_bench_scene ${KORVEL_SCENE_BENCH_SOURCES})
  target_link_libraries(korvel_bench_scene PRIVATE korvel_workarea korvel_bench_main)
endif()
