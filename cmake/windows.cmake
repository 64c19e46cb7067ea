# The windows tree: Qwilpad.exe, statically linked, and the tests that run under Wine.

enable_language(RC)
# The resource script is UTF-8; windres stores the resources as UTF-16.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
set(CMAKE_RC_COMPILE_OBJECT
    "<CMAKE_RC_COMPILER> <DEFINES> <INCLUDES> <FLAGS> -O coff -i <SOURCE> -o <OBJECT>")

add_link_options(-static -static-libgcc -static-libstdc++)

# GoogleTest from the sources Debian ships, compiled for Windows.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(t gtest gtest_main)
  target_compile_options(${t} PRIVATE -Wno-error)
endforeach()

set(QWIL_RC_SOURCES ${CMAKE_SOURCE_DIR}/res/qwilpad.rc)
set_source_files_properties(${QWIL_RC_SOURCES} PROPERTIES
    OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/qwilpad.ico;${CMAKE_SOURCE_DIR}/res/qwilpad.manifest;${CMAKE_SOURCE_DIR}/res/resource.h")

# The Win32 layer as a library so that its tests link the same code as the exe;
# only the process entry stays out of it.
list(FILTER QWIL_WIN_SOURCES EXCLUDE REGEX "/app/winmain_win\\.cpp$")
add_library(qwilwin STATIC ${QWIL_WIN_SOURCES})
# Known system libraries only (the import table test keeps it so): any other
# library is looked up by a full path at run time.
target_link_libraries(qwilwin PUBLIC qwilcore comctl32 comdlg32 gdi32 user32 kernel32 shell32 imm32 ole32)

add_executable(Qwilpad WIN32 ${CMAKE_SOURCE_DIR}/app/winmain_win.cpp ${QWIL_RC_SOURCES})
target_link_libraries(Qwilpad PRIVATE qwilwin)
set_target_properties(Qwilpad PROPERTIES OUTPUT_NAME Qwilpad RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The core's own tests, once more on Windows: the 2 MiB stack and the C runtime of
# mingw are the real ones here.
add_executable(qwilcore_tests ${QWIL_TEST_SOURCES} ${CMAKE_SOURCE_DIR}/tests/testmain.cpp)
target_link_libraries(qwilcore_tests PRIVATE qwilcore gtest)
target_include_directories(qwilcore_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
add_test(NAME win.core COMMAND qwilcore_tests --gtest_brief=1)
# A test program in which nothing passed and nothing failed ends with 77
# (tests/testmain.cpp): ctest shows it skipped.
set_tests_properties(win.core PROPERTIES TIMEOUT 900 SKIP_RETURN_CODE 77)

# Win32-layer tests: the real windows driven by messages.
file(GLOB QWIL_WINTEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*_test.cpp)
add_executable(qwilwin_tests ${QWIL_WINTEST_SOURCES} ${CMAKE_SOURCE_DIR}/tests/testmain.cpp ${QWIL_RC_SOURCES})
target_link_libraries(qwilwin_tests PRIVATE qwilwin gtest winspool version)
target_include_directories(qwilwin_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
# The versions the resource script gives the program ("0.33"), which the tests
# read back from the built files; a change to the script configures anew.
function(qwil_rc_string name var)
  file(STRINGS ${CMAKE_SOURCE_DIR}/res/qwilpad.rc line REGEX "^ *VALUE \"${name}\", \"[^\"]*\"")
  string(REGEX REPLACE ".*\"${name}\", \"([^\"]*)\".*" "\\1" value "${line}")
  if(value STREQUAL "")
    message(FATAL_ERROR "res/qwilpad.rc has no ${name}")
  endif()
  set(${var} "${value}" PARENT_SCOPE)
endfunction()
qwil_rc_string(ProductVersion QWIL_PRODUCT_VERSION)
qwil_rc_string(FileVersion QWIL_FILE_VERSION)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/qwilpad.rc)
target_compile_definitions(qwilwin_tests PRIVATE QWIL_EXE_PATH="$<TARGET_FILE:Qwilpad>"
                                                 QWIL_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                                 QWIL_SHOT_DIR="${CMAKE_SOURCE_DIR}/build/e2e"
                                                 QWIL_PRODUCT_VERSION="${QWIL_PRODUCT_VERSION}"
                                                 QWIL_FILE_VERSION="${QWIL_FILE_VERSION}")
# The library the tests plant beside a program (tests/win/plantdll.cpp).
add_library(qwilplant SHARED ${CMAKE_SOURCE_DIR}/tests/win/plantdll.cpp)
set_target_properties(qwilplant PROPERTIES PREFIX "" OUTPUT_NAME qwilplant RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
add_dependencies(qwilwin_tests Qwilpad qwilplant)
# The live cases of another display density run in e2e.dpi_test, which sets it.
add_test(NAME win.layer COMMAND qwilwin_tests --gtest_filter=-DpiLiveTest.*)

# The printing tests print to a PDF queue of a CUPS daemon of this tree alone,
# started before the Windows tests and ended after them (scripts/cups.sh).
set(QWIL_CUPS_DIR ${CMAKE_BINARY_DIR}/cups)
add_test(NAME win.cups.start COMMAND ${CMAKE_SOURCE_DIR}/scripts/cups.sh start ${QWIL_CUPS_DIR})
add_test(NAME win.cups.stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/cups.sh stop ${QWIL_CUPS_DIR})
set_tests_properties(win.cups.start PROPERTIES FIXTURES_SETUP cups TIMEOUT 60)
set_tests_properties(win.cups.stop PROPERTIES FIXTURES_CLEANUP cups TIMEOUT 60)
# The tests of failing saves write onto a full disk and into a read-only folder
# that scripts/mounts.sh makes for them.
set(QWIL_MOUNT_DIR ${CMAKE_BINARY_DIR}/mnt)
add_test(NAME win.mounts.start COMMAND ${CMAKE_SOURCE_DIR}/scripts/mounts.sh start ${QWIL_MOUNT_DIR})
add_test(NAME win.mounts.stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/mounts.sh stop ${QWIL_MOUNT_DIR})
set_tests_properties(win.mounts.start PROPERTIES FIXTURES_SETUP mounts TIMEOUT 30)
set_tests_properties(win.mounts.stop PROPERTIES FIXTURES_CLEANUP mounts TIMEOUT 30)
set_tests_properties(win.layer PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77 FIXTURES_REQUIRED "cups;mounts"
                     ENVIRONMENT "CUPS_SERVER=${QWIL_CUPS_DIR}/cups.sock;QWIL_CUPS_DIR=${QWIL_CUPS_DIR};QWIL_MOUNT_DIR=${QWIL_MOUNT_DIR}")

# End-to-end tests: Qwilpad.exe in a real window under Xvfb, driven with xdotool.
# A script that cannot run here ends with 77 (e2e_skip): ctest shows it skipped.
file(GLOB QWIL_E2E_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_test.sh)
foreach(script ${QWIL_E2E_SCRIPTS})
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME e2e.${name} COMMAND ${script} $<TARGET_FILE:Qwilpad>)
  set_tests_properties(e2e.${name} PROPERTIES RUN_SERIAL TRUE TIMEOUT 300 SKIP_RETURN_CODE 77 FIXTURES_REQUIRED "mounts;cups"
                       ENVIRONMENT "QWIL_MOUNT_DIR=${QWIL_MOUNT_DIR};CUPS_SERVER=${QWIL_CUPS_DIR}/cups.sock;QWIL_CUPS_DIR=${QWIL_CUPS_DIR}")
endforeach()

# The editor control timed in a real window (bench/winbench_win.cpp); not a test.
add_executable(winbench ${CMAKE_SOURCE_DIR}/bench/winbench_win.cpp ${QWIL_RC_SOURCES})
target_link_libraries(winbench PRIVATE qwilwin psapi)
