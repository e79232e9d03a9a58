# test_views_charts: the periodic, alarm and profile charts and their shared frame.
tarvik_add_widget_test(test_views_charts
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/chartfixture.h
    ${CMAKE_CURRENT_LIST_DIR}/chartbase_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/perchart_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/almchart_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/prfchart_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ratingchart_test.cpp
  LIBS tarvik_views)
