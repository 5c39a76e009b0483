# The GUI-free core: one static library per folder, each folder's
# CMakeLists.txt saying what it is for and what it may depend on. The edges
# below are the only ones: a folder that includes a header of a folder it
# does not link fails to build (or is caught by tests/layers.sh).
#
#   gruvik2-common   <- nothing
#   gruvik2-image    <- common
#   gruvik2-events   <- image, common
#   gruvik2-device   <- image, common (libusb)
#   gruvik2-views    <- events, image, common (cairo)
#   gruvik2-core     all five, for the front ends
#   gruvik2-platform           the system's bridges and priority (Linux)
#   gruvik2-platform-emulated  emulated bridges instead, for the demo and tests
# An executable links gruvik2-core and one of the two platforms.
#
# Used by the main project and by the fuzz project (fuzz/CMakeLists.txt),
# which builds the same libraries with its own compiler and flags.
# GRUVIK2_ROOT: the repository's root folder.
include(${CMAKE_CURRENT_LIST_DIR}/Gruvik2Helpers.cmake)

# gruvik2_core_library(NAME [SUBFOLDERS dir...] [EXCLUDE regex] [DEPENDS lib...]):
# the library gruvik2-NAME from the .cpp files of the current folder (and the
# subfolders named, less the files EXCLUDE matches), linking the gruvik2-
# libraries of DEPENDS.
function(gruvik2_core_library name)
  cmake_parse_arguments(ARG "" "EXCLUDE" "SUBFOLDERS;DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(sub ${ARG_SUBFOLDERS})
    file(GLOB more CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.cpp)
    list(APPEND sources ${more})
  endforeach()
  if(ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${ARG_EXCLUDE}")
  endif()
  add_library(gruvik2-${name} STATIC ${sources})
  target_include_directories(gruvik2-${name} PUBLIC ${GRUVIK2_ROOT})
  foreach(dep ${ARG_DEPENDS})
    target_link_libraries(gruvik2-${name} PUBLIC gruvik2-${dep})
  endforeach()
endfunction()

foreach(folder common image events device views)
  add_subdirectory(${GRUVIK2_ROOT}/${folder} ${CMAKE_BINARY_DIR}/core/${folder})
endforeach()

add_library(gruvik2-core INTERFACE)
target_link_libraries(gruvik2-core INTERFACE gruvik2-common gruvik2-image gruvik2-events
                      gruvik2-device gruvik2-views)
