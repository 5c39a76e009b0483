# Libraries the GUI-free core links: libusb for the bridge configuration, cairo
# for pictures of the graph made without a display.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBUSB IMPORTED_TARGET libusb-1.0)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)

function(gruvik2_core_link target)
  if(LIBUSB_FOUND)
    target_link_libraries(${target} PUBLIC PkgConfig::LIBUSB)
    target_compile_definitions(${target} PUBLIC GRUVIK2_HAVE_LIBUSB=1)
  endif()
  target_link_libraries(${target} PUBLIC PkgConfig::CAIRO)
endfunction()
