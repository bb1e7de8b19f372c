# A recording opens with when it was made and the build of the program and the library that made it (each file's
# name and last write, in UTC to the minute), then how to replay it.
#   -DRECORDED= -DTOOL=
file(STRINGS ${RECORDED} lines LIMIT_COUNT 2)
list(JOIN lines "\n" header)
file(TIMESTAMP ${TOOL}/REVEDIZ.exe program "%Y-%m-%d %H:%M" UTC)
file(TIMESTAMP ${TOOL}/vavuro32.dll library "%Y-%m-%d %H:%M" UTC)
set(wanted "^# Recorded by hand on 20[0-9][0-9]-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9], build "
           "REVEDIZ\\.exe of ${program} UTC, vavuro32\\.dll of ${library} UTC\\.\n# Replay: revediz-run FILE$")
string(CONCAT wanted ${wanted})
if(NOT header MATCHES "${wanted}")
  message(FATAL_ERROR "the recording's header is\n${header}\nnot of the form\n${wanted}")
endif()
