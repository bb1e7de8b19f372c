# A wrong expectation fails as a user needs: status 1, the line, the expected
# and actual texts, the FAIL summary and a screenshot of the desktop.
#   -DEMULATOR= -DRUNNER= -DSCENARIO= -DWORK= -DOUT=
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
get_filename_component(name ${SCENARIO} NAME)
get_filename_component(stem ${SCENARIO} NAME_WE)
execute_process(COMMAND ${EMULATOR} ${RUNNER} --work ${WORK} --out ${OUT} --timeout 3000 ${SCENARIO}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}")
set(problems "")
if(NOT status EQUAL 1)
  string(APPEND problems "exit status ${status}, not 1\n")
endif()
# The wrong expectation is the log line on line 8 of the scenario.
set(wanted
    "${name}:8: log line 1"
    "  expected: \"Command-->  PosClose(7)  \""
    "  actual:   \"Command-->  PosClose(1)  \""
    "FAIL ${name}: line 8 failed")
foreach(line IN LISTS wanted)
  string(FIND "${output}" "${line}" at)
  if(at EQUAL -1)
    string(APPEND problems "missing in the output: ${line}\n")
  endif()
endforeach()
# Steps after the failure are not run.
string(FIND "${output}" "ok-after-failure" at)
if(NOT at EQUAL -1)
  string(APPEND problems "a step after the failure ran\n")
endif()
if(NOT EXISTS ${OUT}/${stem}.fail.bmp)
  string(APPEND problems "no screenshot ${OUT}/${stem}.fail.bmp\n")
else()
  file(READ ${OUT}/${stem}.fail.bmp head LIMIT 2 HEX)
  if(NOT head STREQUAL "424d")
    string(APPEND problems "${stem}.fail.bmp is not a BMP\n")
  endif()
endif()
if(problems)
  message(FATAL_ERROR "revediz-run did not report the wrong expectation as it should:\n${problems}")
endif()
