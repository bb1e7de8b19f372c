// The client side of the simulator's control pipe (control_pipe.h), for
// programs beside the tool: vavuro-ctl and revediz-run.
#ifndef REVEDIZ_SIMULATOR_CONTROL_CLIENT_H
#define REVEDIZ_SIMULATOR_CONTROL_CLIENT_H

#include <windows.h>

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

// A client end of the pipe of process `processId` (opened with `flags`,
// FILE_FLAG_OVERLAPPED say), waiting while another client holds the pipe,
// at most `timeoutMs` ("the simulator in process N is busy with another
// client" when it stays held). INVALID_HANDLE_VALUE with *why otherwise; *missing
// tells whether no simulator serves that process at all.
HANDLE ConnectControlPipe(unsigned long processId, DWORD flags, unsigned long timeoutMs, bool* missing,
                          std::string* why);

// Sends `line` (as it is, plus a line end) to the simulator of process
// `processId` and reads its whole reply, within `timeoutMs` in all (a pipe
// busy with another client is waited for). *why says what failed.
Exchange ControlExchange(unsigned long processId, const std::string& line, Reply* reply, std::string* why,
                         unsigned long timeoutMs);

}  // namespace sim

#endif  // REVEDIZ_SIMULATOR_CONTROL_CLIENT_H
