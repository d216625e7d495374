# 32-bit Windows: the stdcall exports leave the DLL under their plain names (MakeText, not
# MakeText@8), as VB6, Delphi and LabVIEW declare them. Microsoft's linker refuses a GNU import
# library under SafeSEH, so llvm-dlltool makes the import library zarelcom.lib, in the short
# format, in place of the linker's; every program here links with it too. It is made from
# zarelcom.def (beside it), which keeps each name's stdcall argument size (MakeText@8): the symbol
# a C caller's object asks for.
find_program(ZARELCOM_LLVM_DLLTOOL NAMES llvm-dlltool REQUIRED)
set(linker_def ${CMAKE_CURRENT_BINARY_DIR}/linker-exports.def)

target_link_options(zarelcom PRIVATE -Wl,--kill-at -Wl,--output-def,${linker_def})
add_custom_command(TARGET zarelcom POST_BUILD
  COMMAND ${CMAKE_COMMAND} -D linker_def=${linker_def} -D def=$<TARGET_LINKER_FILE_DIR:zarelcom>/zarelcom.def
          -P ${CMAKE_CURRENT_SOURCE_DIR}/write_def.cmake
  COMMAND ${ZARELCOM_LLVM_DLLTOOL} -m i386 -k -d $<TARGET_LINKER_FILE_DIR:zarelcom>/zarelcom.def
          -l $<TARGET_LINKER_FILE:zarelcom>
  COMMENT "Making zarelcom.def and the import library zarelcom.lib" VERBATIM)
