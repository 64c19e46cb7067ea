# Cross-compiles the windows tree with mingw-w64 (posix threads, which GoogleTest needs)
# and runs its tests under Wine through ctest.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QWIL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QWIL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QWIL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QWIL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QWIL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# scripts/wine.sh sets up the prefix and environment (LANG, WINEPREFIX, WINEDEBUG).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine.sh)
