# The linker writes "    MakeText = MakeText@8 @12" for each export (plain name, its stdcall
# symbol, its ordinal); callers' tools want "    MakeText@8" under the DLL's name.
# Usage: cmake -D linker_def=IN -D def=OUT -P write_def.cmake
file(STRINGS ${linker_def} lines REGEX "=")
set(exports "")
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^[ \t]*([A-Za-z_][A-Za-z0-9_]*) = ([A-Za-z_][A-Za-z0-9_]*@[0-9]+)")
    message(FATAL_ERROR "unexpected line in ${linker_def}: ${line}")
  endif()
  string(APPEND exports "    ${CMAKE_MATCH_2}\n")
endforeach()
file(WRITE ${def} "LIBRARY zarelcom.dll\nEXPORTS\n${exports}")
