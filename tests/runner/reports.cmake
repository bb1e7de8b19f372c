# What revediz-run says before any tool starts: a wrong command line shows the usage (status 2); a scenario that
# cannot be read, or does not read, fails with why (status 1), each error with its file and line. And its report of
# a step that fails: what was expected and found, the tool's windows and its log, or why the log could not be read.
#   -DEMULATOR= -DRUNNER= -DWORK=
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/bad.scn "start\nfrobnicate\nmenu PosOpen\nclick 70000\n")
set(problems "")
function(expect_run status)
  cmake_parse_arguments(RUN "" "" "ARGS;SHOWS" ${ARGN})
  execute_process(COMMAND ${EMULATOR} ${RUNNER} ${RUN_ARGS} WORKING_DIRECTORY ${WORK}
                  RESULT_VARIABLE got OUTPUT_VARIABLE output ERROR_QUIET)
  if(NOT got STREQUAL status)
    string(APPEND problems "revediz-run ${RUN_ARGS}: status ${got}, not ${status}\n")
  endif()
  foreach(seen ${RUN_SHOWS})
    string(FIND "${output}" "${seen}" at)
    if(at EQUAL -1)
      string(APPEND problems "revediz-run ${RUN_ARGS}: missing in the output: ${seen}\n${output}\n")
    endif()
  endforeach()
  set(problems "${problems}" PARENT_SCOPE)
endfunction()

expect_run(2 ARGS --timeout 0 bad.scn SHOWS "usage: revediz-run [--tool DIR]" "--explore")
expect_run(2 ARGS SHOWS "usage: revediz-run")
expect_run(1 ARGS missing.scn SHOWS "FAIL missing.scn: cannot read the scenario\n")
expect_run(1 ARGS bad.scn SHOWS "bad.scn: line 2: unknown step \"frobnicate\"\n"
           "bad.scn: line 4: not a control id: \"70000\"\n" "FAIL bad.scn: the scenario does not read (2 errors)\n")
file(WRITE ${WORK}/report.scn "start\nrepeat 2\nmenu PosClose\ndialog \"POS Close\"\nset IDC_HANDLE \"1\"\nclick OK\n"
                               "expect box \"Command Status\" \"\"\nend\n")
set(rc "  RC = -1, errno = (302) POSERR_SYS_NOT_INITIALIZED  ")
expect_run(1 ARGS --timeout 1000 report.scn SHOWS "Temp\\revediz-run-report-"  # no --work: the temp folder
           "   FAILED (pass 1 of 2)\nreport.scn:7: message box\n  expected: box \"Command Status\" \"\"\n  actual:   box \"Command Status\" \"${rc}\"\n"
           "top-level windows:\n  [#32770] \"Command Status\" visible text \"${rc}\"\n  [#32770] \"POS Close\" visible owned\n"
           "log (2 lines):\n  |Command-->  PosClose(1)  |\n  |${rc}|\n---\n"
           "(the tool was still running at the end; it is ended)\n" "FAIL report.scn: line 7 failed (pass 1 of 2); 5 steps passed\n")
# The library holds the tool's thread for 10 s: its log does not answer.
file(WRITE ${WORK}/hung.scn "start library tests/wine/slow/vavuro32.dll\nmenu PosInitialize\n"
                            "dialog \"POS Initialization\"\nclick OK\nexpect box \"POS Initialize\" \"\"\n")
expect_run(1 ARGS --timeout 1000 hung.scn SHOWS "  actual:   no message box\n"
           "  [#32770] \"POS Initialization\" visible owned\n" "log unreadable: the list does not answer (hung?)\n---\n")

if(NOT problems STREQUAL "")
  message(FATAL_ERROR "${problems}")
endif()
