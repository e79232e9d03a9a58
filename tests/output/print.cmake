# test_print: the print run on a PDF printer and the page arithmetic.
if(TARVIK_GUI)
  tarvik_add_widget_test(test_print
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/print_test.cpp
    LIBS tarvik_output tarvik_views)
endif()
