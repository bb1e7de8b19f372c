# Checks that LIBRARY exports the eight device entries under their exact,
# undecorated names ("[   3] DLL_PosOpen" rows of objdump's export name table).
#   cmake -DOBJDUMP=... -DLIBRARY=... -P check_exports.cmake
cmake_minimum_required(VERSION 3.20)
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
string(REGEX MATCHALL "\n[ \t]*\\[ *[0-9]+\\] [^\n]*" rows "${dump}")
string(REGEX REPLACE "\n[ \t]*\\[ *[0-9]+\\] " "" names "${rows}")
set(problems "")
foreach(entry DLL_PosClose DLL_PosInitialize DLL_PosIOCtl DLL_PosOpen DLL_PosRead DLL_PosTerm DLL_PosVersion
              DLL_PosWrite)
  if(NOT entry IN_LIST names)
    string(APPEND problems " ${entry} not exported by that name;")
  endif()
endforeach()
if(NOT result EQUAL 0 OR names MATCHES "@" OR problems)
  message(FATAL_ERROR "${LIBRARY}:${problems} exported: ${names}")
endif()
