# The cost of a logic tick and of a whole game, with no display.
add_executable(bench_simulation ${CMAKE_CURRENT_LIST_DIR}/bench_simulation.cpp)
target_link_libraries(bench_simulation PRIVATE simulation benchmark::benchmark)
