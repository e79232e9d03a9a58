# bench_charts: a periodic chart of a year of 10-minute periods and profile charts of
# a full day, plotted and painted.
add_executable(bench_charts ${CMAKE_CURRENT_LIST_DIR}/bench_charts.cpp)
target_link_libraries(bench_charts PRIVATE tarvik_views tarvik_simlib benchmark::benchmark)
