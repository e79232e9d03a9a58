# The install test: installs the build folder BUILD into a scratch prefix and compares
# the installed files with packaging/installed-files.txt and the help pages of
# help-rp/. Run with
#   cmake -DBUILD=<build folder> -DLIST=<expected list> -P checkinstall.cmake
set(prefix ${BUILD}/install-check)
file(REMOVE_RECURSE ${prefix})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc})")
endif()
file(GLOB_RECURSE installed RELATIVE ${prefix} LIST_DIRECTORIES false ${prefix}/*)
list(SORT installed)
file(STRINGS ${LIST} expected REGEX "^[^#]")
get_filename_component(src ${LIST} DIRECTORY)
file(GLOB_RECURSE help RELATIVE ${src}/.. LIST_DIRECTORIES false ${src}/../help-rp/*)
list(TRANSFORM help PREPEND share/tarvik-reporter/)
list(APPEND expected ${help})
list(SORT expected)
set(missing ${expected})
list(REMOVE_ITEM missing ${installed})
set(extra ${installed})
list(REMOVE_ITEM extra ${expected})
foreach(f ${missing})
  message("missing from the installed tree: ${f}")
endforeach()
foreach(f ${extra})
  message("installed but not in the list: ${f}")
endforeach()
# The installed program must find its help pages: under the same prefix, by the
# path it was built with.
if(NOT EXISTS ${prefix}/share/tarvik-reporter/help-rp/contents.html)
  message(FATAL_ERROR "no help pages where the installed program looks for them")
endif()
file(REMOVE_RECURSE ${prefix})
if(missing OR extra)
  message(FATAL_ERROR "the installed tree differs from ${LIST}")
endif()
