// Answers the control pipe's requests (control_line.h), window-free: each
// request line becomes one call on the simulator, or a listing of what it,
// its journal or the host program's log hold. The pipe (control_pipe.h)
// gives it the Win32 side through ControlHost.
#ifndef REVEDIZ_SIMULATOR_CONTROL_SERVE_H
#define REVEDIZ_SIMULATOR_CONTROL_SERVE_H

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "simulator/control_line.h"
#include "simulator/simulator.h"

namespace sim {

class ControlHost {
 public:
  virtual ~ControlHost() = default;
  // Runs `call` on the simulator under its lock.
  virtual std::int32_t Run(const std::function<std::int32_t(Simulator&)>& call) = 0;
  // The host program's "Command and Status" log, in order; false with *why
  // when it has none or it does not answer.
  virtual bool LogLines(std::vector<std::string>* lines, std::string* why) = 0;
  // The whole journal, by lines (read under the simulator's lock).
  virtual std::vector<std::string> JournalLines() = 0;
  // Recording a session (recorder.h): starts; stops and writes the scenario
  // to `file`, with *steps its number of steps. False with *why when
  // refused (already recording, not recording, the file not written).
  virtual bool StartRecording(std::string* why) {
    *why = "no recorder in this program";
    return false;
  }
  virtual bool StopRecording(const std::string& file, std::size_t* steps, std::string* why) {
    (void)file, (void)steps;
    *why = "no recorder in this program";
    return false;
  }
  // Runs the action of request `line` (an action verb); a host that records
  // the session records the line with its status before what it causes.
  virtual std::int32_t Act(std::string_view line, const std::function<std::int32_t(Simulator&)>& call) {
    (void)line;
    return Run(call);
  }
};

// Performs an action request (a verb with VerbDef::action) on the
// simulator: the one way from a request to the simulator's call, for the
// pipe and the bench window alike. Its status; POSERR_SYS_INVALID_REQUEST
// for a verb that is no action.
std::int32_t Perform(const Request& request, Simulator& simulator);

// The whole reply to one request line (without its line end), each reply
// line ended by "\n". A line that is refused is also written to the journal.
std::string Answer(std::string_view line, ControlHost& host);

// The reply to a line longer than kMaxLine (also journaled).
std::string AnswerOverlong(std::size_t length, ControlHost& host);

}  // namespace sim

#endif  // REVEDIZ_SIMULATOR_CONTROL_SERVE_H
