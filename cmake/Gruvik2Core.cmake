# The GUI-free core: one static library per folder, each folder's
# CMakeLists.txt saying what it is for and what it may depend on. The edges
# below are the only ones: each library sees on its include path only its own
# folder and, through what it links, the folders below it, so a folder that
# includes a header of a folder it does not link fails to build (and
# tests/layers.sh catches it without a build).
#
#   gruvik2-common   <- nothing
#   gruvik2-image    <- common
#   gruvik2-events   <- image, common
#   gruvik2-device   <- image, common (libusb)
#   gruvik2-views    <- events, image, common (cairo)
#   gruvik2-history  <- views, events, image, common (SQLite, nettle)
#   gruvik2-core     all six, for the front ends
#   gruvik2-platform           the system's bridges and priority (Linux)
#   gruvik2-platform-emulated  emulated bridges instead, for the demo and tests
# An executable links gruvik2-core and one of the two platforms.
#
# Used by the main project and by the fuzz project (fuzz/CMakeLists.txt),
# which builds the same libraries with its own compiler and flags.
# GRUVIK2_ROOT: the repository's root folder.
include(${CMAKE_CURRENT_LIST_DIR}/Gruvik2Helpers.cmake)

# gruvik2_own_folder(TARGET FOLDER): TARGET and whatever links it may include
# "FOLDER/..." and nothing else of the tree. Each folder gets an include
# folder of its own in the build holding one link, FOLDER -> the sources, so
# the repository's root is never on an include path.
function(gruvik2_own_folder target folder)
  string(REPLACE "/" "_" tag ${folder})
  set(dir ${CMAKE_BINARY_DIR}/layers/${tag})
  get_filename_component(parent ${dir}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT EXISTS ${dir}/${folder})
    file(CREATE_LINK ${GRUVIK2_ROOT}/${folder} ${dir}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${dir})
endfunction()

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
  gruvik2_own_folder(gruvik2-${name} ${name})
  foreach(dep ${ARG_DEPENDS})
    target_link_libraries(gruvik2-${name} PUBLIC gruvik2-${dep})
  endforeach()
endfunction()

foreach(folder common image events device views history)
  add_subdirectory(${GRUVIK2_ROOT}/${folder} ${CMAKE_BINARY_DIR}/core/${folder})
endforeach()

add_library(gruvik2-core INTERFACE)
target_link_libraries(gruvik2-core INTERFACE gruvik2-common gruvik2-image gruvik2-events
                      gruvik2-device gruvik2-views gruvik2-history)
