# The demo recorder memory build/demo.rpd, generated again whenever its
# generator changes, so the README's commands and the emulator find it ready.
set(GRUVIK2_DEMO_IMAGE ${CMAKE_BINARY_DIR}/demo.rpd)
add_custom_command(
  OUTPUT ${GRUVIK2_DEMO_IMAGE}
  COMMAND gruvik2-demo ${GRUVIK2_DEMO_IMAGE}
  DEPENDS gruvik2-demo
  COMMENT "Generating the demo recorder memory demo.rpd"
  VERBATIM)
add_custom_target(gruvik2-demo-image ALL DEPENDS ${GRUVIK2_DEMO_IMAGE})
