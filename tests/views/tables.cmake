# test_views_core (cell markup, grid filling) and test_views_tables (the grid views).
tarvik_add_test(test_views_core
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/markup_test.cpp ${CMAKE_CURRENT_LIST_DIR}/gridfill_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/gridfill_daydir.h
  LIBS tarvik_viewscore)
if(TARVIK_GUI)
  tarvik_add_widget_test(test_views_tables
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/grid_test.cpp ${CMAKE_CURRENT_LIST_DIR}/gridfill_daydir.h
    LIBS tarvik_views)
endif()
