# Google Benchmark programs, one per bench/*_bench.cpp. Speed goals live here, never in
# timed unit tests: the machines that run the tests are shared and noisy.
find_package(benchmark REQUIRED)
add_executable(paint_bench bench/paint_bench.cpp)
target_link_libraries(paint_bench PRIVATE vantor_qt vantor_scene benchmark::benchmark)
add_executable(timer_bench bench/timer_bench.cpp)
target_link_libraries(timer_bench PRIVATE vantor_posix benchmark::benchmark)

# The floor the game's own cost is measured against (tools/measure_game.sh).
add_executable(floor_window bench/floor_window.cpp)
target_link_libraries(floor_window PRIVATE Qt6::Widgets)

# Key down (XTEST) to changed pixels in the game's window (tools/measure_game.sh).
add_executable(key_latency bench/key_latency.cpp)
target_link_libraries(key_latency PRIVATE X11::X11 X11::Xext X11::Xtst)
