# A recorded scenario with one expected text changed must fail as a user needs: status 1, the line, the expected
# and actual texts, the FAIL summary, no step after it played, and a picture of the desktop.
#   -DEMULATOR= -DRUNNER= -DTOOL= -DRECORDED= -DWORK= -DOUT=
file(READ ${RECORDED} text)
set(wanted "expect box \"POS Write\" \"PosWrite Successful.\"")
string(FIND "${text}" "${wanted}" at)   # -1 (no such line) fails below: no line number matches
string(SUBSTRING "${text}" 0 ${at} before)
string(REGEX MATCHALL "\n" ends "${before}")
list(LENGTH ends line)
math(EXPR line "${line} + 1")
math(EXPR after "${line} + 1")
string(REPLACE "${wanted}" "expect box \"POS Write\" \"PosWrite Successful!\"" edited "${text}")
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
file(WRITE ${OUT}/record-edited.scn "${edited}")
execute_process(COMMAND ${EMULATOR} ${RUNNER} --tool ${TOOL} --work ${WORK} --out ${OUT} --timeout 3000
                        ${OUT}/record-edited.scn
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}")
set(problems "status ${status}\n")
foreach(seen "record-edited.scn:${line}: message box" "  expected: box \"POS Write\" \"PosWrite Successful!\""
             "  actual:   box \"POS Write\" \"PosWrite Successful.\"" "FAIL record-edited.scn: line ${line} failed")
  string(FIND "${output}" "${seen}" found)
  if(found EQUAL -1)
    string(APPEND problems "missing in the output: ${seen}\n")
  endif()
endforeach()
# Each step is shown as it runs, its line number right-aligned in five places.
string(LENGTH "${after}" digits)
math(EXPR blanks "5 - ${digits}")
string(REPEAT " " ${blanks} pad)
string(FIND "${output}" "\n${pad}${after}  " at)
if(NOT at EQUAL -1)
  string(APPEND problems "line ${after}, after the failure, was played\n")
endif()
if(EXISTS ${OUT}/record-edited.fail.bmp)
  file(READ ${OUT}/record-edited.fail.bmp head LIMIT 2 HEX)
endif()
if(NOT head STREQUAL "424d")
  string(APPEND problems "no BMP record-edited.fail.bmp\n")
endif()
if(NOT problems STREQUAL "status 1\n")
  message(FATAL_ERROR "the edited recording did not fail as it should at line ${line}:\n${problems}")
endif()
