# The grid views of the periodic table, the alarm table and the two lists.
set(TARVIK_VIEWS_TABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/gridmodel.h ${CMAKE_CURRENT_LIST_DIR}/gridmodel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/markdelegate.h ${CMAKE_CURRENT_LIST_DIR}/markdelegate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/grid.h ${CMAKE_CURRENT_LIST_DIR}/grid.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pertbl.h ${CMAKE_CURRENT_LIST_DIR}/pertbl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/almtbl.h ${CMAKE_CURRENT_LIST_DIR}/almtbl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/almlist.h ${CMAKE_CURRENT_LIST_DIR}/almlist.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scrollbox.h ${CMAKE_CURRENT_LIST_DIR}/scrollbox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/callist.h ${CMAKE_CURRENT_LIST_DIR}/callist.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fillgrid.h ${CMAKE_CURRENT_LIST_DIR}/fillgrid.cpp
  ${CMAKE_CURRENT_LIST_DIR}/eventtbl.h ${CMAKE_CURRENT_LIST_DIR}/eventtbl.cpp
)
