// vavuro-ctl: one request to the device simulator of a running program,
// through its control pipe (simulator/CONTROL.md).
//
//   vavuro-ctl [--pid N] VERB [WORD...]
//
// Each word goes into the request line in quotes, so blanks stay as they
// are and the line's escapes (\r \n \t \\ \" \xHH) can be typed. The reply
// "ok" is printed as it is; a listing (state, log, journal N, text) prints
// its lines, exactly; an error goes to the error stream. Exit status: 0 for
// "ok", 1 for "error", 2 when no simulator answers (none running, several
// running and no --pid, or a wrong command line).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "simulator/control_client.h"
#include "simulator/control_line.h"

namespace {

constexpr unsigned long kTimeoutMs = 10000;

int Usage() {
  std::fprintf(stderr,
               "usage: vavuro-ctl [--pid N] VERB [WORD...]\n"
               "verbs: swipe [TRACKS], scan [LABEL], keys TEXT, weight GRAMS, close-drawer, touch X Y,\n"
               "       paper-out on|off, cover-open on|off, printer-error, burst CLASS N,\n"
               "       fault TARGET error|overclaim|overrun|offline|short VALUE, clear-faults,\n"
               "       state, log, journal N, text CLASS\n");
  return 2;
}

// A word in quotes; only the quote itself is escaped, so the line's other
// escapes reach the simulator as typed.
std::string Quote(const std::string& word) {
  std::string out = "\"";
  for (char c : word) out += c == '"' ? std::string("\\\"") : std::string(1, c);
  return out + "\"";
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  unsigned long pid = 0;
  if (argc > 2 && std::string(argv[1]) == "--pid") {
    char* end = nullptr;
    pid = std::strtoul(argv[2], &end, 10);
    if (*end != '\0' || pid == 0) return Usage();
    first = 3;
  }
  if (first >= argc) return Usage();
  std::string line = argv[first];
  for (int i = first + 1; i < argc; ++i) (line += ' ') += Quote(argv[i]);

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
  std::string why;
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
