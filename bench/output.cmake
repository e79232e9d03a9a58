# bench_export: the command-line export against the bare writing of its chart images.
add_executable(bench_export ${CMAKE_CURRENT_LIST_DIR}/bench_export.cpp)
target_link_libraries(bench_export PRIVATE tarvik_output tarvik_views tarvik_simlib)

# bench_htmlpage: the periodic table pages of a year for ten monitors against writing their bytes.
add_executable(bench_htmlpage ${CMAKE_CURRENT_LIST_DIR}/bench_htmlpage.cpp)
target_link_libraries(bench_htmlpage PRIVATE tarvik_outputcore tarvik_analysis)
