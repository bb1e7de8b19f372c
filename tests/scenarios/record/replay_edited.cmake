# A recorded scenario with one expected text changed must fail at that line: status 1, the line named, FAIL.
#   -DEMULATOR= -DRUNNER= -DTOOL= -DRECORDED= -DWORK= -DOUT=
file(READ ${RECORDED} text)
set(wanted "expect box \"POS Write\" \"PosWrite Successful.\"")
string(FIND "${text}" "${wanted}" at)   # -1 (no such line) fails below: no line number matches
string(SUBSTRING "${text}" 0 ${at} before)
string(REGEX MATCHALL "\n" ends "${before}")
list(LENGTH ends line)
math(EXPR line "${line} + 1")
string(REPLACE "${wanted}" "expect box \"POS Write\" \"PosWrite Successful!\"" edited "${text}")
file(MAKE_DIRECTORY ${OUT})
file(WRITE ${OUT}/record-edited.scn "${edited}")
execute_process(COMMAND ${EMULATOR} ${RUNNER} --tool ${TOOL} --work ${WORK} --out ${OUT} --timeout 3000
                        ${OUT}/record-edited.scn
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}")
set(problems "status ${status}\n")
foreach(seen "record-edited.scn:${line}: " "\"PosWrite Successful!\"" "FAIL record-edited.scn: line ${line} failed")
  string(FIND "${output}" "${seen}" found)
  if(found EQUAL -1)
    string(APPEND problems "missing in the output: ${seen}\n")
  endif()
endforeach()
if(NOT problems STREQUAL "status 1\n")
  message(FATAL_ERROR "the edited recording did not fail at line ${line}:\n${problems}")
endif()
