# Printing: the progress window and print run, the page arithmetic and the page
# recorder it uses.
set(TARVIK_PRINT_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/printlayout.h ${CMAKE_CURRENT_LIST_DIR}/printlayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/printcanvas.h ${CMAKE_CURRENT_LIST_DIR}/printcanvas.cpp
  ${CMAKE_CURRENT_LIST_DIR}/printtable.h ${CMAKE_CURRENT_LIST_DIR}/printtable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/print.h ${CMAKE_CURRENT_LIST_DIR}/print.cpp
)
