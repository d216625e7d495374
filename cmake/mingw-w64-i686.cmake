# 32-bit Windows (x86), for the 32-bit processes that load a stdcall DLL.
set(ZARELCOM_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
