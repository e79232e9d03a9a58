add_executable(bench_app bench_app.cpp)
target_link_libraries(bench_app PRIVATE tarvik_app tarvik_output tarvik_views tarvik_simlib benchmark::benchmark)

# bench_events: noise event detection, the Events tab and the event pages of the export.
add_executable(bench_events bench_events.cpp)
target_link_libraries(bench_events PRIVATE tarvik_app tarvik_output tarvik_views tarvik_simlib benchmark::benchmark)
