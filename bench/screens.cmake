# One game-screen frame against a plain copy of the display, without one.
add_executable(bench_frame ${CMAKE_CURRENT_LIST_DIR}/bench_frame.cpp)
target_link_libraries(bench_frame PRIVATE screens benchmark::benchmark)
target_compile_definitions(bench_frame PRIVATE MORVASK_SOURCE_DIR="${morvask_SOURCE_DIR}")
# Start-up to the intro's first frame, and memory after 1 and after 50 games.
add_executable(bench_games ${CMAKE_CURRENT_LIST_DIR}/bench_games.cpp)
target_link_libraries(bench_games PRIVATE screens benchmark::benchmark)
target_include_directories(bench_games PRIVATE ${morvask_SOURCE_DIR}/tests)
target_compile_definitions(bench_games PRIVATE MORVASK_SOURCE_DIR="${morvask_SOURCE_DIR}")
