set(TARVIK_VIEWS_CHART_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/qcpinclude.h
  ${CMAKE_CURRENT_LIST_DIR}/labelticker.h ${CMAKE_CURRENT_LIST_DIR}/labelticker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/leftticker.h ${CMAKE_CURRENT_LIST_DIR}/leftticker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/timeticker.h ${CMAKE_CURRENT_LIST_DIR}/timeticker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/almbars.h ${CMAKE_CURRENT_LIST_DIR}/almbars.cpp
  ${CMAKE_CURRENT_LIST_DIR}/exclband.h ${CMAKE_CURRENT_LIST_DIR}/exclband.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chartbase.h ${CMAKE_CURRENT_LIST_DIR}/chartbase.cpp
  ${CMAKE_CURRENT_LIST_DIR}/perchart.h ${CMAKE_CURRENT_LIST_DIR}/perchart.cpp
  ${CMAKE_CURRENT_LIST_DIR}/almchart.h ${CMAKE_CURRENT_LIST_DIR}/almchart.cpp
  ${CMAKE_CURRENT_LIST_DIR}/prfchart.h ${CMAKE_CURRENT_LIST_DIR}/prfchart.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ratingchart.h ${CMAKE_CURRENT_LIST_DIR}/ratingchart.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qualchart.h ${CMAKE_CURRENT_LIST_DIR}/qualchart.cpp
  ${CMAKE_CURRENT_LIST_DIR}/statchart.h ${CMAKE_CURRENT_LIST_DIR}/statchart.cpp
  ${CMAKE_CURRENT_LIST_DIR}/eventchart.h ${CMAKE_CURRENT_LIST_DIR}/eventchart.cpp
  ${CMAKE_CURRENT_LIST_DIR}/prfevents.h ${CMAKE_CURRENT_LIST_DIR}/prfevents.cpp
  ${CMAKE_CURRENT_LIST_DIR}/prfspan.h ${CMAKE_CURRENT_LIST_DIR}/prfspan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chartlevels.h ${CMAKE_CURRENT_LIST_DIR}/chartlevels.cpp
  ${CMAKE_CURRENT_LIST_DIR}/limitlines.h ${CMAKE_CURRENT_LIST_DIR}/limitlines.cpp
)
