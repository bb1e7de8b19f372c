// What revediz-run needs of the simulator's control pipe beyond the
// driver's one request (driver::Revediz::Control): running vavuro-ctl as
// the operator would, holding a client that never writes, and showing a
// reply as the pipe sent it.
#ifndef REVEDIZ_RUNNER_CONTROL_STEPS_H
#define REVEDIZ_RUNNER_CONTROL_STEPS_H

#include <windows.h>

#include <string>
#include <vector>

#include "simulator/control_line.h"

namespace runner {

struct CtlRun {
  DWORD exitCode = 0;
  std::string output;  // standard output and error, CR LF read as LF
};

// Runs `program` (vavuro-ctl.exe) with the words in `folder` and waits for
// it; false with *why when it cannot be started or does not end in time.
bool RunCtl(const std::string& program, const std::vector<std::string>& words, const std::string& folder,
            DWORD timeoutMs, CtlRun* run, std::string* why);

// The reply's first line as the pipe sent it ("ok 3 lines", "error ...").
std::string ReplyHead(const sim::Reply& reply);

}  // namespace runner

#endif  // REVEDIZ_RUNNER_CONTROL_STEPS_H
