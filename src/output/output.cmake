# Page texts, file names, report dates and the clipboard text: Qt Core only.
set(TARVIK_OUTPUT_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/utils.h ${CMAKE_CURRENT_LIST_DIR}/utils.cpp
  ${CMAKE_CURRENT_LIST_DIR}/htmlpage.h ${CMAKE_CURRENT_LIST_DIR}/htmlpage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/htmllines.h ${CMAKE_CURRENT_LIST_DIR}/htmllines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gridtext.h ${CMAKE_CURRENT_LIST_DIR}/gridtext.cpp
)
# The export run with its chart images, the export dialog, the command line and the clipboard.
set(TARVIK_OUTPUT_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/exportrun.h ${CMAKE_CURRENT_LIST_DIR}/exportrun.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pngfile.h ${CMAKE_CURRENT_LIST_DIR}/pngfile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/export.h ${CMAKE_CURRENT_LIST_DIR}/export.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cmdline.h ${CMAKE_CURRENT_LIST_DIR}/cmdline.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pdfreport.h ${CMAKE_CURRENT_LIST_DIR}/pdfreport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/clip.h ${CMAKE_CURRENT_LIST_DIR}/clip.cpp
)
