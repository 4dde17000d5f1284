# Cross-building twbkf.exe and the core tests for 64-bit Windows on Debian:
#   cmake -S . -B build-mingw -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The POSIX thread model of MinGW-w64 (g++-mingw-w64-x86-64-posix) is the
# one whose libstdc++ has std::thread and std::mutex. Tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TALLOWIN_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TALLOWIN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TALLOWIN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TALLOWIN_MINGW_PREFIX}-windres)
set(CMAKE_STRIP ${TALLOWIN_MINGW_PREFIX}-strip)

# Libraries and headers of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${TALLOWIN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest runs the Windows programs under Wine (Debian's wine64).
find_program(TALLOWIN_WINE NAMES wine64 wine wine-stable)
if(TALLOWIN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/run-under-wine.sh ${TALLOWIN_WINE})
endif()
