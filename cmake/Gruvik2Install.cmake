# `cmake --install`: the programs into bin/, the pictures and the help book into
# share/gruvik2/ (the program moves there at start-up when it does not find them
# in its working folder), a desktop entry, an icon and the *.rpd MIME type.
include(GNUInstallDirs)
set(GRUVIK2_DATA_DIR ${CMAKE_INSTALL_DATADIR}/gruvik2)

install(TARGETS gruvik2-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
foreach(tool gruvik2-reader-emu gruvik2-demo gruvik2-mkimage)
  if(TARGET ${tool})
    install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

if(TARGET gruvik2)
  install(TARGETS gruvik2 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  file(GLOB RUNTIME_PICTURES ${CMAKE_CURRENT_SOURCE_DIR}/bmps/*.png)
  install(FILES ${RUNTIME_PICTURES} DESTINATION ${GRUVIK2_DATA_DIR}/bmps)
  install(FILES ${CMAKE_BINARY_DIR}/help/gruvik2.htb DESTINATION ${GRUVIK2_DATA_DIR}/help)
  install(FILES packaging/gruvik2.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES packaging/gruvik2-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME gruvik2.xml)
  install(FILES bmps/src/logo.200.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
          RENAME gruvik2.svg)
endif()
