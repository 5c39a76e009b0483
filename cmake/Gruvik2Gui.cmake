# The wx front end, three libraries that stack in one line above the core:
#   gruvik2-gui        gui/: what every window shares (print panel, printouts, canvas, HTML page, dialogs' look)
#   gruvik2-pages      pages/: the five notebook pages and their printouts
#   gruvik2-app        app/: the application, the main window, its dialogs and the batch print
#   gruvik2            the program; app/main.cpp holds only its entry point.
#   gruvik2-emulated   the program with emulated bridges, for the demo.
#   gruvik2-gui-tests  GoogleTest suites of tests/gui/, run under a virtual X server.
# The program reads bmps/ and help/gruvik2.htb relative to its working directory:
# the build gives both the build folder and the source folder a help book, and the
# build folder a link to the pictures, so it starts from either folder.
find_package(wxWidgets 3.2 REQUIRED COMPONENTS html adv core base)

# gruvik2_wx_library(FOLDER [EXCLUDE regex] DEPENDS lib...): the library
# gruvik2-FOLDER of the .cpp files of FOLDER, seeing wx, its own folder and
# what it links (the folder's CMakeLists.txt says what that may be).
function(gruvik2_wx_library folder)
  cmake_parse_arguments(ARG "" "EXCLUDE" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${ARG_EXCLUDE}")
  endif()
  add_library(gruvik2-${folder} STATIC ${sources})
  gruvik2_own_folder(gruvik2-${folder} ${folder})
  # Only the GUI targets see wx: no directory-wide include of the wx use-file.
  target_include_directories(gruvik2-${folder} SYSTEM PUBLIC ${wxWidgets_INCLUDE_DIRS})
  # A narrow literal would be converted by the user's locale (to nothing, under C):
  # texts are wide literals or wxString::FromUTF8, and the build refuses the rest.
  target_compile_definitions(gruvik2-${folder} PUBLIC ${wxWidgets_DEFINITIONS}
                             wxNO_IMPLICIT_WXSTRING_ENCODING)
  target_compile_options(gruvik2-${folder} PUBLIC ${wxWidgets_CXX_FLAGS})
  target_link_libraries(gruvik2-${folder} PUBLIC ${ARG_DEPENDS} ${wxWidgets_LIBRARIES}
                        ${CMAKE_DL_LIBS})
endfunction()

foreach(folder gui pages app)
  add_subdirectory(${CMAKE_CURRENT_SOURCE_DIR}/${folder} ${CMAKE_BINARY_DIR}/wx/${folder})
endforeach()

add_executable(gruvik2 app/main.cpp)
target_link_libraries(gruvik2 PRIVATE gruvik2-app gruvik2-platform)
# The same program with the emulated bridges of GRUVIK2_BRIDGES (scripts/run.sh).
add_executable(gruvik2-emulated app/main.cpp)
target_link_libraries(gruvik2-emulated PRIVATE gruvik2-app gruvik2-platform-emulated)

# ---- run-time files -------------------------------------------------------
file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/bmps ${CMAKE_BINARY_DIR}/bmps SYMBOLIC)

# The book: the pages under help/src and the logo they show, zipped.
file(GLOB HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/help/src/*)
set(HELP_LOGO ${CMAKE_CURRENT_SOURCE_DIR}/bmps/logo.200.png)
set(HELP_STAGE ${CMAKE_BINARY_DIR}/help/book)
set(HELP_BOOK ${CMAKE_BINARY_DIR}/help/gruvik2.htb)
set(HELP_NAMES logo.200.png)
foreach(f ${HELP_SOURCES})
  get_filename_component(name ${f} NAME)
  list(APPEND HELP_NAMES ${name})
endforeach()
add_custom_command(
  OUTPUT ${HELP_BOOK}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${HELP_STAGE} ${HELP_BOOK}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${HELP_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy ${HELP_SOURCES} ${HELP_LOGO} ${HELP_STAGE}
  COMMAND ${CMAKE_COMMAND} -E chdir ${HELP_STAGE}
          ${CMAKE_COMMAND} -E tar cf ${HELP_BOOK} --format=zip ${HELP_NAMES}
  COMMAND ${CMAKE_COMMAND} -E copy ${HELP_BOOK} ${CMAKE_CURRENT_SOURCE_DIR}/help/gruvik2.htb
  DEPENDS ${HELP_SOURCES} ${HELP_LOGO}
  COMMENT "Help book help/gruvik2.htb"
  VERBATIM)
add_custom_target(gruvik2-help ALL DEPENDS ${HELP_BOOK})
add_dependencies(gruvik2 gruvik2-help)
add_dependencies(gruvik2-emulated gruvik2-help)

# ---- tests ----------------------------------------------------------------
file(GLOB GUI_TEST_SOURCES CONFIGURE_DEPENDS tests/gui/*.cpp)
if(GUI_TEST_SOURCES)
  find_package(GTest REQUIRED)
  include(GoogleTest)
  add_executable(gruvik2-gui-tests ${GUI_TEST_SOURCES})
  target_link_libraries(gruvik2-gui-tests PRIVATE gruvik2-app gruvik2-platform-emulated
                        gruvik2-testsupport GTest::gtest)
  target_include_directories(gruvik2-gui-tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
  add_dependencies(gruvik2-gui-tests gruvik2-help)
  # Each test runs in a process of its own (a test may close the main window);
  # listing the tests needs no display.
  gtest_discover_tests(gruvik2-gui-tests
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    PROPERTIES LABELS gui TIMEOUT 60 ENVIRONMENT "GDK_BACKEND=x11"
    DISCOVERY_TIMEOUT 60)
endif()
# Shell tests that need a display (the program itself): tests/gui/NAME.sh BUILD_DIR
file(GLOB GUI_TEST_SCRIPTS CONFIGURE_DEPENDS tests/gui/*.sh)
foreach(script ${GUI_TEST_SCRIPTS})
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME gui.${name} COMMAND bash ${script} ${CMAKE_BINARY_DIR})
  set_tests_properties(gui.${name} PROPERTIES LABELS gui TIMEOUT 300 ENVIRONMENT "GDK_BACKEND=x11")
endforeach()

# ---- the README's pictures (scripts/screenshots.sh runs it) -----------------
add_executable(gruvik2-screenshots scripts/screenshots/screenshots.cpp)
target_link_libraries(gruvik2-screenshots PRIVATE gruvik2-app gruvik2-platform-emulated)
