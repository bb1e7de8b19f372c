// vavuro-ctl: one request to the device simulator of a running program,
// through its control pipe (simulator/CONTROL.md).
//
//   vavuro-ctl [--pid N] VERB [WORD...]
//
// Each word goes into the request line in quotes, so blanks stay as they
// are and the line's escapes (\r \n \t \\ \" \xHH) can be typed; the file
// of "record stop" goes exactly as typed (ParseCtlArgs). The reply
// "ok" is printed as it is; a listing (state, log, journal N, text) prints
// its lines, exactly; an error goes to the error stream. Exit status: 0 for
// "ok", 1 for "error", 2 when no simulator answers (none running, several
// running and no --pid, the simulator busy with another client, or a wrong
// command line, which also prints the usage).
#include <cstdio>
#include <string>
#include <vector>

#include "simulator/control_client.h"
#include "simulator/control_line.h"

namespace {

constexpr unsigned long kTimeoutMs = 10000;

}  // namespace

int main(int argc, char** argv) {
  sim::CtlCommand command;
  std::string why;
  switch (sim::ParseCtlArgs(std::vector<std::string>(argv + 1, argv + argc), &command, &why)) {
    case sim::CtlArgs::kHelp:
      std::fputs(sim::kCtlUsage, stdout);
      return 0;
    case sim::CtlArgs::kWrong:
      std::fprintf(stderr, "vavuro-ctl: %s\n%s", why.c_str(), sim::kCtlUsage);
      return 2;
    case sim::CtlArgs::kRequest:
      break;
  }
  unsigned long pid = command.pid;
  const std::string& line = command.line;
  if (pid == 0) {
    const std::vector<unsigned long> running = sim::RunningSimulators();
    if (running.empty()) {
      std::fprintf(stderr, "vavuro-ctl: no simulator is running\n");
      return 2;
    }
    if (running.size() > 1) {
      std::string pids;
      for (unsigned long p : running) (pids += ' ') += std::to_string(p);
      std::fprintf(stderr, "vavuro-ctl: several simulators are running (process ids%s): give one with --pid\n",
                   pids.c_str());
      return 2;
    }
    pid = running[0];
  }
  sim::Reply reply;
  switch (sim::ControlExchange(pid, line, &reply, &why, kTimeoutMs)) {
    case sim::Exchange::kNoSimulator:
      std::fprintf(stderr, "vavuro-ctl: no simulator is running in process %lu\n", pid);
      return 2;
    case sim::Exchange::kFailed:
      std::fprintf(stderr, "vavuro-ctl: %s\n", why.c_str());
      return 2;
    case sim::Exchange::kDone:
      break;
  }
  if (!reply.ok) {
    std::fprintf(stderr, "error %s\n", reply.text.c_str());
    return 1;
  }
  if (reply.listing) {
    for (const std::string& text : reply.lines) {
      std::fwrite(text.data(), 1, text.size(), stdout);
      std::fputc('\n', stdout);
    }
  } else {
    std::printf("ok%s%s\n", reply.text.empty() ? "" : " ", reply.text.c_str());
  }
  return 0;
}
