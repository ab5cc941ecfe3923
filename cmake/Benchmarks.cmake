# Google Benchmark programs, one per bench/*_bench.cpp. Speed goals live here, never in
# timed unit tests: the machines that run the tests are shared and noisy.
find_package(benchmark REQUIRED)
file(GLOB VANTOR_BENCHES CONFIGURE_DEPENDS bench/*_bench.cpp)
foreach(source ${VANTOR_BENCHES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE vantor_platform vantor_fakes benchmark::benchmark)
endforeach()

# The floor the game's own cost is measured against (tools/measure_game.sh).
add_executable(floor_window bench/floor_window.cpp)
target_link_libraries(floor_window PRIVATE Qt6::Widgets)

# Key down (XTEST) to changed pixels in the game's window (tools/measure_game.sh).
add_executable(key_latency bench/key_latency.cpp)
target_link_libraries(key_latency PRIVATE X11::X11 X11::Xext X11::Xtst)
