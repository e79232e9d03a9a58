# bench_tables: the alarm table of a month of 5-minute periods, loaded, painted and scrolled.
add_executable(bench_tables ${CMAKE_CURRENT_LIST_DIR}/bench_tables.cpp)
target_link_libraries(bench_tables PRIVATE tarvik_views tarvik_simlib benchmark::benchmark)
