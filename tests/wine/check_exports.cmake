# Checks that LIBRARY exports the eight device entries under their exact,
# undecorated names. Run as: cmake -DOBJDUMP=... -DLIBRARY=... -P check_exports.cmake
cmake_minimum_required(VERSION 3.20)
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY}
                OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${LIBRARY} failed: ${result}")
endif()

# The export name table: after "[Ordinal/Name Pointer] Table", lines like
# "	[   3] DLL_PosOpen" up to the next empty line.
string(FIND "${dump}" "[Ordinal/Name Pointer] Table" start)
if(start EQUAL -1)
  message(FATAL_ERROR "${LIBRARY} has no export name table")
endif()
string(SUBSTRING "${dump}" ${start} -1 table)
string(FIND "${table}" "\n\n" end)
string(SUBSTRING "${table}" 0 ${end} table)
string(REGEX MATCHALL "\n[ \t]*\\[ *[0-9]+\\] [^\n]*" rows "${table}")
set(names "")
foreach(row IN LISTS rows)
  string(REGEX REPLACE "^\n[ \t]*\\[ *[0-9]+\\] " "" name "${row}")
  string(STRIP "${name}" name)
  list(APPEND names "${name}")
endforeach()

set(failed FALSE)
foreach(entry DLL_PosClose DLL_PosInitialize DLL_PosIOCtl DLL_PosOpen DLL_PosRead
              DLL_PosTerm DLL_PosVersion DLL_PosWrite)
  if(NOT entry IN_LIST names)
    message(SEND_ERROR "${LIBRARY}: \"${entry}\" is not exported under this exact name")
    set(failed TRUE)
  endif()
endforeach()
foreach(name IN LISTS names)
  if(name MATCHES "@")
    message(SEND_ERROR "${LIBRARY}: decorated export \"${name}\"")
    set(failed TRUE)
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "exported names: ${names}")
endif()
message(STATUS "${LIBRARY} exports: ${names}")
