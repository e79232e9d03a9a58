# test_views_tables (the grid views).
if(TARVIK_GUI)
  tarvik_add_widget_test(test_views_tables
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/grid_test.cpp ${CMAKE_CURRENT_LIST_DIR}/tickedmonitors.h
            ${PROJECT_SOURCE_DIR}/tests/reports/gridfill_daydir.h
    LIBS tarvik_views)
endif()
