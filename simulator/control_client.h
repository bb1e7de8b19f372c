// The client side of the simulator's control pipe (control_pipe.h), for
// programs beside the tool: vavuro-ctl and revediz-run.
#ifndef REVEDIZ_SIMULATOR_CONTROL_CLIENT_H
#define REVEDIZ_SIMULATOR_CONTROL_CLIENT_H

#include <string>
#include <vector>

#include "simulator/control_line.h"

namespace sim {

// The process ids of the programs whose simulator serves its control pipe
// now (busy or not).
std::vector<unsigned long> RunningSimulators();

enum class Exchange {
  kDone,         // *reply holds the simulator's reply
  kNoSimulator,  // no pipe of that process
  kFailed        // the pipe broke, stayed busy or answered nothing readable within the time
};

// Sends `line` (as it is, plus a line end) to the simulator of process
// `processId` and reads its whole reply, within `timeoutMs` in all (a pipe
// busy with another client is waited for). *why says what failed.
Exchange ControlExchange(unsigned long processId, const std::string& line, Reply* reply, std::string* why,
                         unsigned long timeoutMs);

}  // namespace sim

#endif  // REVEDIZ_SIMULATOR_CONTROL_CLIENT_H
