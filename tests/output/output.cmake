# test_output_core (page texts, file names, clipboard text) and test_output (the
# export run, the dialog, the command line, the clipboard).
tarvik_add_test(test_output_core
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/utils_test.cpp ${CMAKE_CURRENT_LIST_DIR}/htmlpage_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/gridtext_test.cpp ${CMAKE_CURRENT_LIST_DIR}/reportdir.h
  LIBS tarvik_outputcore tarvik_analysis)
if(TARVIK_GUI)
  tarvik_add_widget_test(test_output
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/exportrun_test.cpp ${CMAKE_CURRENT_LIST_DIR}/export_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/cmdline_test.cpp ${CMAKE_CURRENT_LIST_DIR}/clip_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/reportdir.h
    LIBS tarvik_output tarvik_views tarvik_analysis tarvik_simlib)
  # The command line's manual page, which must name every option of --help.
  target_compile_definitions(test_output PRIVATE
    TARVIK_MAN_PAGE="${PROJECT_SOURCE_DIR}/packaging/man/tarvik-reporter.1")
endif()
