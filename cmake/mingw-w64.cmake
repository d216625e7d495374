# Cross-building for Windows with Debian's mingw-w64 compilers; the per-architecture files set
# ZARELCOM_MINGW_PROCESSOR (x86_64 or i686) and include this one. The posix thread model is named
# on purpose: the win32 model of GCC 12 has no std::mutex or std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${ZARELCOM_MINGW_PROCESSOR})
set(triple ${ZARELCOM_MINGW_PROCESSOR}-w64-mingw32)

set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs run here under Wine: the tests and the test discovery. Debian's wine starts 32-bit
# and 64-bit programs alike (wine32 is needed for the former).
find_program(ZARELCOM_WINE NAMES wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ZARELCOM_WINE})
