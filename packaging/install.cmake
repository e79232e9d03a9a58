# Installation (cmake --install, make install PREFIX=...) and the Debian package
# (make package). The help pages go with the system's shared data, where the
# installed program looks for them (TRunstat::HelpPath); the desktop entry, icon
# and AppStream file where the desktops look for them.
set(TARVIK_PKG tarvik-reporter)
set(TARVIK_APP_ID example.kestrom.TarvikReporter)
set(TARVIK_PKG_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(TARVIK_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/${TARVIK_PKG})

install(TARGETS tarvik-reporter tarvik-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/help-rp/ DESTINATION ${TARVIK_HELP_INSTALL_DIR})

install(FILES ${TARVIK_PKG_DIR}/${TARVIK_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TARVIK_PKG_DIR}/${TARVIK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${TARVIK_PKG_DIR}/icons/tarvik-reporter.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(n 16 22 24 32 48 64 128 256)
  install(FILES ${TARVIK_PKG_DIR}/icons/tarvik-reporter-${n}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${n}x${n}/apps RENAME tarvik-reporter.png)
endforeach()

# Manual pages and the changelog are installed compressed, as Debian keeps them;
# -n leaves the name and time out, so the same source gives the same bytes.
find_program(TARVIK_GZIP gzip REQUIRED)
set(TARVIK_GZ_FILES)
foreach(src man/tarvik-reporter.1 man/tarvik-sim.1 doc/changelog)
  get_filename_component(name ${src} NAME)
  set(gz ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND ${TARVIK_GZIP} -9nc ${TARVIK_PKG_DIR}/${src} > ${gz}
    DEPENDS ${TARVIK_PKG_DIR}/${src}
    VERBATIM)
  list(APPEND TARVIK_GZ_FILES ${gz})
endforeach()
add_custom_target(tarvik_packaging_files ALL DEPENDS ${TARVIK_GZ_FILES})
install(FILES ${CMAKE_BINARY_DIR}/packaging/tarvik-reporter.1.gz ${CMAKE_BINARY_DIR}/packaging/tarvik-sim.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${TARVIK_PKG_DIR}/doc/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${TARVIK_DOC_DIR})
# The scheduled export: installed disabled, as examples the user copies and enables.
# They name the program by its full path under the prefix of this install (cron's
# search path lacks /usr/local/bin), which is known only when installing.
foreach(f tarvik-reporter-nightly.service tarvik-reporter-nightly.timer tarvik-reporter.crontab)
  install(CODE "
    set(TARVIK_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    set(dest \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${TARVIK_DOC_DIR}/examples/${f}\")
    message(STATUS \"Installing: \${dest}\")
    configure_file(\"${TARVIK_PKG_DIR}/scheduled/${f}\" \"\${dest}\" @ONLY)")
endforeach()
# Debian keeps compiler notes out of its binaries: the .comment section goes, whether
# the install strips or not.
set(TARVIK_OBJCOPY ${CMAKE_OBJCOPY})
if(TARVIK_OBJCOPY)
  foreach(prog tarvik-reporter tarvik-sim)
    install(CODE "execute_process(COMMAND \"${TARVIK_OBJCOPY}\" --remove-section=.comment
                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${prog}\"
                  COMMAND_ERROR_IS_FATAL ANY)")
  endforeach()
endif()
# Lintian's notes that this package answers on purpose, each with its reason.
install(FILES ${TARVIK_PKG_DIR}/lintian/tarvik-reporter
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides)

# The Debian package. Its dependencies come from the shared libraries the programs
# link (dpkg-shlibdeps), so they follow whatever Qt and QCustomPlot the build used.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${TARVIK_PKG})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Kestrom)
set(CPACK_PACKAGE_CONTACT "Kestrom <support@kestrom.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reports of a permanent noise monitoring installation")
# The extended description; CPack puts the summary above it and indents its lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tarvik Reporter shows the measurements that the supervisor of a permanent
environmental-noise monitoring installation writes as CSV day files: periodic
levels as charts and tables, alarm counts and lists, one-second profiles, the
daily rating levels Lday, Levening, Lnight and Lden, the noise events in the
one-second profiles, the periods above the noise limits (exceedances) and
calibrations.

Reports can be printed, copied, written as PDF files or exported as a library
of linked HTML pages, also from the command line without a display for nightly
jobs. The package also holds tarvik-sim, a simulated supervisor that writes a
data folder for trying the program out.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.kestrom.example/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# The export and the PDF print with Qt's offscreen platform, which needs no more;
# the window on a Wayland desktop needs the Wayland platform, and text needs a font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, fonts-dejavu-core")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
