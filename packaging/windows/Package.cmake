# The Windows zip made with `cpack`: zarelcom-<version>-win64.zip holding bin/zarelcom.dll and
# bin/zarelctl.exe with its make-logo helper bin/zarelctl-logo.exe (they need only Windows' own DLLs), lib/zarelcom.lib (the import library),
# include/zarelcom/ with the header, and README.txt with LICENSE.
install(TARGETS zarelcom
  RUNTIME DESTINATION bin
  ARCHIVE DESTINATION lib
  PUBLIC_HEADER DESTINATION include/zarelcom)
install(TARGETS zarelctl zarelctl-logo RUNTIME DESTINATION bin)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/windows/README.txt ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME zarelcom)
set(CPACK_PACKAGE_VENDOR "Vantorleaf")
set(CPACK_PACKAGE_FILE_NAME zarelcom-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)

include(${CMAKE_CURRENT_LIST_DIR}/Installer.cmake)
