# System libraries the GUI-free core links: libusb for the bridge configuration, cairo
# for pictures of the graph made without a display.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBUSB IMPORTED_TARGET libusb-1.0)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
