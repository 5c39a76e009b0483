# Libraries the GUI-free core links: libusb for the bridge configuration.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBUSB IMPORTED_TARGET libusb-1.0)

function(gruvik2_core_link target)
  if(LIBUSB_FOUND)
    target_link_libraries(${target} PUBLIC PkgConfig::LIBUSB)
    target_compile_definitions(${target} PUBLIC GRUVIK2_HAVE_LIBUSB=1)
  endif()
endfunction()
