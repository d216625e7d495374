# The Windows zip made with `cpack`: zarelcom-<version>-win64.zip (win32 for 32-bit) holding bin/zarelcom.dll and
# bin/zarelctl.exe with its make-logo helper bin/zarelctl-logo.exe (they need only Windows' own DLLs), lib/zarelcom.lib (the import library),
# include/zarelcom/ with the header, and README.txt with LICENSE. The 32-bit zip's lib/ holds
# zarelcom.def too, and its README says how other languages declare the stdcall exports.
install(TARGETS zarelcom
  RUNTIME DESTINATION bin
  ARCHIVE DESTINATION lib
  PUBLIC_HEADER DESTINATION include/zarelcom)
install(TARGETS zarelctl zarelctl-logo RUNTIME DESTINATION bin)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # The import library's exports, for callers' own tools (zarelcom/Win32Imports.cmake).
  install(FILES $<TARGET_LINKER_FILE_DIR:zarelcom>/zarelcom.def DESTINATION lib)
  install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/windows/README-win32.txt DESTINATION . RENAME README.txt)
  set(zarelcom_arch win32)
else()
  install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/windows/README.txt DESTINATION .)
  set(zarelcom_arch win64)
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME zarelcom)
set(CPACK_PACKAGE_VENDOR "Vantorleaf")
set(CPACK_PACKAGE_FILE_NAME zarelcom-${PROJECT_VERSION}-${zarelcom_arch})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)

# The operators' installer is 64-bit only; 32-bit callers take the win32 zip.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  include(${CMAKE_CURRENT_LIST_DIR}/Installer.cmake)
endif()
