// Inside the explorer (explore.h): one tool on the simulator playing
// scenario lines one at a time, a step that cannot be played passed over,
// with the oracles checked on demand.
#ifndef REVEDIZ_RUNNER_EXPLORE_PLAYER_H
#define REVEDIZ_RUNNER_EXPLORE_PLAYER_H

#include <optional>
#include <string>
#include <vector>

#include "runner/run.h"

namespace runner {

// The oracle steps, in the order they are checked (the cheap ones first).
inline const std::vector<std::string>& OracleLines() {
  static const std::vector<std::string> lines = {"expect alive", "expect log-forms", "expect agreement",
                                                 "expect bounded"};
  return lines;
}

// An oracle that failed: its step's line and what it reported.
struct Violation {
  std::string oracle;
  std::string report;
};

class Player {
 public:
  explicit Player(const Options& options) : options_(Quiet(options)), run_(options_, none_) {}

  // Plays one scenario line. False when it could not be played (it does
  // not read, a step error, a mismatch, a wait that ran out): the session
  // goes on, and the oracles judge what it left.
  bool Play(const std::string& line, std::string* why = nullptr);
  // The first of `oracles` that fails now.
  std::optional<Violation> Check(const std::vector<std::string>& oracles = OracleLines());
  Run& run() { return run_; }

 private:
  static Options Quiet(Options options) {
    options.quiet = true;
    return options;
  }
  Options options_;
  scn::Scenario none_;
  Run run_;
};

// The scenario line of a step's report, as revediz-run prints it.
std::string ShowMismatch(const Mismatch& mismatch);

}  // namespace runner

#endif  // REVEDIZ_RUNNER_EXPLORE_PLAYER_H
