# `cmake --install` and the Debian packages (CPack, scripts/package.sh).
# Component gruvik2: the program and the command line in bin/, the pictures
# and the help book in share/gruvik2/ (the program moves there at start-up
# when it does not find them in its working folder), the desktop entry, the
# icons, the MIME type of *.rpd, the AppStream metainfo, the manual pages,
# bash completion and the udev rule that gives the user the reader.
# Component tools: the test tools, kept out of bin/ in lib/gruvik2/.
include(GNUInstallDirs)
set(GRUVIK2_DATA_DIR ${CMAKE_INSTALL_DATADIR}/gruvik2)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS gruvik2-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT gruvik2)
foreach(tool gruvik2-reader-emu gruvik2-demo gruvik2-mkimage)
  if(TARGET ${tool})
    install(TARGETS ${tool} RUNTIME DESTINATION lib/gruvik2 COMPONENT tools)
  endif()
endforeach()

# Manual pages from the programs' --help (help2man), at build time.
find_program(HELP2MAN help2man)
set(GRUVIK2_MAN_DIR ${CMAKE_BINARY_DIR}/man)
if(HELP2MAN AND NOT GRUVIK2_SANITIZE)
  set(man_pages ${GRUVIK2_MAN_DIR}/gruvik2-cli.1.gz)
  set(man_programs gruvik2-cli)
  if(TARGET gruvik2)
    list(APPEND man_pages ${GRUVIK2_MAN_DIR}/gruvik2.1.gz)
    list(APPEND man_programs gruvik2)
  endif()
  add_custom_command(
    OUTPUT ${man_pages}
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/packaging/man.sh ${CMAKE_BINARY_DIR} ${GRUVIK2_MAN_DIR}
            ${man_programs}
    DEPENDS ${man_programs} ${CMAKE_CURRENT_SOURCE_DIR}/packaging/man.sh
    COMMENT "Manual pages from --help"
    VERBATIM)
  add_custom_target(gruvik2-man ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT gruvik2)
endif()

install(FILES packaging/70-gruvik2-reader.rules DESTINATION lib/udev/rules.d COMPONENT gruvik2)
install(FILES packaging/gruvik2-cli.bash-completion DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME gruvik2-cli COMPONENT gruvik2)

if(TARGET gruvik2)
  install(TARGETS gruvik2 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT gruvik2)
  file(GLOB RUNTIME_PICTURES ${CMAKE_CURRENT_SOURCE_DIR}/bmps/*.png)
  install(FILES ${RUNTIME_PICTURES} DESTINATION ${GRUVIK2_DATA_DIR}/bmps COMPONENT gruvik2)
  install(FILES ${CMAKE_BINARY_DIR}/help/gruvik2.htb DESTINATION ${GRUVIK2_DATA_DIR}/help
          COMPONENT gruvik2)
  install(FILES packaging/gruvik2.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
          COMPONENT gruvik2)
  install(FILES packaging/gruvik2-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME gruvik2.xml COMPONENT gruvik2)
  install(FILES packaging/gruvik2.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
          RENAME ru.tornvel.gruvik2.metainfo.xml COMPONENT gruvik2)
  install(FILES packaging/gruvik2.bash-completion
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME gruvik2
          COMPONENT gruvik2)
  install(FILES packaging/icons/gruvik2.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT gruvik2)
  foreach(size 16 32 48 64 128 256)
    install(FILES packaging/icons/gruvik2.${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME gruvik2.png COMPONENT gruvik2)
  endforeach()
endif()

# Each package's copyright and Debian changelog (compressed without a time stamp).
set(GRUVIK2_CHANGELOG ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz)
add_custom_command(
  OUTPUT ${GRUVIK2_CHANGELOG}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND sh -c "gzip -9nc '${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog' > '${GRUVIK2_CHANGELOG}'"
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog
  VERBATIM)
add_custom_target(gruvik2-changelog ALL DEPENDS ${GRUVIK2_CHANGELOG})
foreach(component gruvik2 tools)
  set(package gruvik2)
  if(component STREQUAL tools)
    set(package gruvik2-tools)
  endif()
  install(FILES packaging/copyright ${GRUVIK2_CHANGELOG}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()

# ---- Debian packages: cpack -G DEB in the build folder -------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gruvik2)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Gruvik2 maintainers <gruvik2@tornvel.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL gruvik2 tools)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
# The shared libraries the programs link (wx, cairo, libusb, SQLite, nettle)
# become the package's dependencies through dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_GRUVIK2_PACKAGE_NAME gruvik2)
set(CPACK_DEBIAN_GRUVIK2_PACKAGE_SECTION electronics)
set(CPACK_COMPONENT_GRUVIK2_DESCRIPTION
    "reader and analyser of crane load-limiter recorders\n\
Gruvik2 is for the service engineers of crane load limiters. It reads the\n\
limiter's parameter recorder through a USB reader (a CP210x bridge) into an\n\
image file, decodes its two logs into one list of events and shows the\n\
usage-conditions protocol, the load graph, the event journal and the\n\
passport settings, which the engineer edits and writes back. Everything\n\
prints; the journal and the protocol export to spreadsheets.\n\
.\n\
The package holds the window (gruvik2), the command line (gruvik2-cli),\n\
the help book and a udev rule that gives the logged-in user the reader.")
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME gruvik2-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION devel)
set(CPACK_COMPONENT_TOOLS_DESCRIPTION
    "test tools of Gruvik2: reader emulator and recorder images\n\
The reader emulator serves a recorder memory on a pseudo-terminal; the\n\
other tools write the demo recorder and synthesized recorder memories.\n\
They are installed in /usr/lib/gruvik2/, not on the PATH.")
include(CPack)
