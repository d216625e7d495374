# The operators' installer zarelcom-<version>-x64.msi (zarelcom.wxs), made by wixl from stripped
# copies of what it installs; part of every Windows build where wixl is installed.
find_program(ZARELCOM_WIXL wixl)
if(NOT ZARELCOM_WIXL)
  message(STATUS "No wixl (Debian's wixl package): the MSI is left out")
  return()
endif()

set(ZARELCOM_MSI_FILES ${CMAKE_BINARY_DIR}/msi-files)
set(ZARELCOM_MSI ${CMAKE_BINARY_DIR}/zarelcom-${PROJECT_VERSION}-x64.msi)
set(ZARELCOM_MSI_SOURCE ${CMAKE_CURRENT_LIST_DIR}/zarelcom.wxs)
set(installed zarelcom zarelctl zarelctl-logo)
set(with_tegrola no)
if(TARGET tegrola)
  list(APPEND installed tegrola)
  set(with_tegrola yes)
endif()
# wixl takes files only by paths relative to where it runs.
set(defines -D Files=. -D WithTegrola=${with_tegrola})

set(copies)
foreach(target ${installed})
  list(APPEND copies COMMAND ${CMAKE_STRIP} -o ${ZARELCOM_MSI_FILES}/$<TARGET_FILE_NAME:${target}>
       $<TARGET_FILE:${target}>)
endforeach()
file(MAKE_DIRECTORY ${ZARELCOM_MSI_FILES})
add_custom_command(OUTPUT ${ZARELCOM_MSI}
  ${copies}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/LICENSE ${ZARELCOM_MSI_FILES}
  COMMAND ${ZARELCOM_WIXL} -a x64 -D Version=${PROJECT_VERSION} ${defines}
          -o ${ZARELCOM_MSI} ${ZARELCOM_MSI_SOURCE}
  WORKING_DIRECTORY ${ZARELCOM_MSI_FILES}
  DEPENDS ${installed} ${ZARELCOM_MSI_SOURCE}
  COMMENT "Making the installer zarelcom-${PROJECT_VERSION}-x64.msi" VERBATIM)
add_custom_target(msi ALL DEPENDS ${ZARELCOM_MSI})

# Installed, the installed Tegrola driven against the simulator, upgraded, refused as a downgrade
# and removed again under Wine (with the simulator only: tests/windows makes the driver then). The
# simulator's line is COM22, which no other test uses.
if(TARGET tegrola_drive)
  add_test(NAME windows.msi_round_trip
           COMMAND sh ${PROJECT_SOURCE_DIR}/tests/windows/msi_round_trip.sh ${ZARELCOM_WIXL} ${ZARELCOM_MSI}
                   ${PROJECT_VERSION} ${ZARELCOM_MSI_SOURCE} ${ZARELCOM_MSI_FILES} ${ZARELCOM_LINUX_SIMULATOR}
                   $<TARGET_FILE:tegrola_drive> 22 ${defines})
  set_tests_properties(windows.msi_round_trip PROPERTIES LABELS "wine;install" RESOURCE_LOCK tegrola_settings)
endif()
