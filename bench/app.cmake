add_executable(bench_app bench_app.cpp)
target_link_libraries(bench_app PRIVATE tarvik_app tarvik_simlib benchmark::benchmark)
