// Answers the control pipe's requests (control_line.h), window-free: each
// request line becomes one call on the simulator, or a listing of what it,
// its journal or the host program's log hold. The pipe (control_pipe.h)
// gives it the Win32 side through ControlHost.
#ifndef REVEDIZ_SIMULATOR_CONTROL_SERVE_H
#define REVEDIZ_SIMULATOR_CONTROL_SERVE_H

#include <cstdint>
#include <deque>
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
  // Its last `count` lines (fewer when it has fewer).
  virtual std::vector<std::string> JournalTail(std::size_t count) {
    std::vector<std::string> lines = JournalLines();
    if (count < lines.size()) lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(count));
    return lines;
  }
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
  // Adds `line`, one scenario step, to the running recording after what the
  // program has logged so far (a change the recording cannot see, such as
  // a file edited by hand).
  virtual bool RecordStep(const std::string& line, std::string* why) {
    (void)line;
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

// Why an action request's numbers lie outside what its device documents
// ("weight must be 0 to 15000 grams", the scale's MaxWeight as it stands),
// or "" when they are within. A request for an unknown class is left to
// the simulator, which answers POSERR_SYS_INVALID_CLASS.
std::string OutOfRange(const Request& request, const Simulator& simulator);

// Performs an action request (a verb with VerbDef::action) on the
// simulator: the one way from a request to the simulator's call, for the
// pipe and the bench window alike. Its status; POSERR_SYS_INVALID_REQUEST
// for a verb that is no action, POSERR_SYS_OUT_OF_BOUNDS (nothing done) for
// numbers OutOfRange refuses.
std::int32_t Perform(const Request& request, Simulator& simulator);

// The whole reply to one request line (without its line end), each reply
// line ended by "\n". A line that is refused is also written to the journal.
std::string Answer(std::string_view line, ControlHost& host);

// The reply to a line longer than kMaxLine, given its first bytes (also
// journaled, as a refused line).
std::string AnswerOverlong(std::string_view start, ControlHost& host);

// The journal lines one library instance wrote, the last kMost of them, fed
// with whole CR LF ended blocks as the journal file gets them.
class JournalMemory {
 public:
  static constexpr std::size_t kMost = 100000;
  void Add(std::string_view block);
  std::vector<std::string> Last(std::size_t count) const;

 private:
  std::deque<std::string> lines_;
  std::string partial_;  // a line not ended yet
};

// One client's connection, window-free: takes the bytes as they arrive and
// gives the replies due. The client must finish each request line within
// kRequestMs of connecting or of its last reply, or it is let go (Left
// gives 0); a line is answered as too long as soon as it passes kMaxLine,
// line end or not, and the rest of it, up to its line end, is dropped.
class ControlSession {
 public:
  static constexpr std::uint32_t kRequestMs = 2000;
  ControlSession(ControlHost& host, std::uint32_t now) : host_(host), deadline_(now + kRequestMs) {}
  // The replies to the lines `bytes` (received at `now`) completes.
  std::string Take(std::string_view bytes, std::uint32_t now);
  // The last reply went out at `now`: the next line's time counts from it.
  void Replied(std::uint32_t now) { deadline_ = now + kRequestMs; }
  // Milliseconds left at `now` for the client to finish its line.
  std::uint32_t Left(std::uint32_t now) const;

 private:
  ControlHost& host_;
  std::uint32_t deadline_;
  std::string pending_;   // the line being received
  bool dropping_ = false; // the line was answered as too long
};

}  // namespace sim

#endif  // REVEDIZ_SIMULATOR_CONTROL_SERVE_H
