// One run of a scenario by revediz-run: the loop over its steps, and the
// state they share (the tool, the dialog and box acted on, the cursors in
// the log and the journal, the log as read so far). Each step's handler
// (runner/steps.h) acts through it.
#ifndef REVEDIZ_RUNNER_RUN_H
#define REVEDIZ_RUNNER_RUN_H

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "runner/control_steps.h"
#include "runner/driver/driver.h"
#include "scenario/scenario.h"
#include "simulator/control_line.h"

namespace runner {

using scn::Step;
using scn::Word;
using Lines = std::vector<std::string>;

struct Options {
  std::string toolDir;
  std::string workParent;
  std::string outDir = ".";  // the current folder
  std::string scenarioPath;
  DWORD timeoutMs = driver::kDefaultTimeoutMs;
  bool quiet = false;  // nothing printed as steps run (the explorer's)
};

// A step that did not go as the scenario says.
struct Mismatch {
  std::string what;      // what was checked
  std::string expected;  // shown after "expected: "
  std::string actual;    // shown after "actual:   "
};

// A step that cannot run (no dialog yet, tool not started, ...).
struct StepError {
  std::string what;
};

std::string Stem(const std::string& path);
// Lines shown in quotes, one after another, or "(none)".
std::string ShowLines(const Lines& lines);

class Run {
 public:
  Run(const Options& options, const scn::Scenario& scenario) : options_(options), scenario_(scenario) {}
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;
  ~Run();

  // Runs every step and prints the report; the exit status (0 pass, 1 fail).
  int Execute();
  // Runs one step and prints nothing: what goes wrong is thrown (Mismatch,
  // StepError, driver::Failure). For the explorer, which plays its own
  // steps; a repeat or a fails is not played so.
  void Perform(const Step& step);

  // --- For the steps -----------------------------------------------------

  const Options& options() const { return options_; }
  // How long a step waits for what it expects: --timeout, or kFailingStepMs
  // for a step that is to fail. An absence (no box, no more lines) is
  // looked for kSettleMs, so that what a posted click brings can arrive.
  DWORD timeout() const { return failingStep_ ? kFailingStepMs : options_.timeoutMs; }
  static constexpr DWORD kFailingStepMs = 1000;
  static constexpr DWORD kSettleMs = 500;
  // The next step must fail with the report `fails` gives.
  void ExpectFailure(const Step& fails) { expectFailure_ = &fails; }
  // The running tool, or a StepError naming the step.
  driver::Revediz& App(const Step& step);
  driver::Dialog& CurrentDialog(const Step& step);
  // A text of the scenario with ${pid}, ${hwnd} and ${hwnd8} filled in.
  std::string Text(const Word& word) const;
  // Words checked when the scenario was read.
  static std::int64_t Number(const Word& word);
  static int Id(const Word& word);
  // The window a step names: main, log, bench, dialog (the current one), or
  // null for the desktop.
  HWND Target(const Step& step, const std::string& which);
  // A file named by the scenario: absolute, or relative to the tool folder.
  std::string ToolFile(const std::string& name) const;
  // The dialogs and boxes showing, for a report.
  std::string ScreenNow() const;
  // Whether the steps run now are shown (the first pass of every repeat).
  bool FirstPass() const;

  // The log as read so far, with what the tool holds now read in.
  const Lines& Log();
  // Polls the log until it has more than `count` lines; returns it.
  const Lines& WaitLogBeyond(std::size_t count);

  // Repeats: a repeat begins / an end closes a pass (both move the loop on).
  void BeginRepeat(const Step& step);
  void EndRepeat(const Step& step);

  // The state the steps share.
  std::optional<driver::Revediz> app;
  std::optional<driver::Dialog> dialog;
  std::string dialogCaption;
  std::optional<driver::Box> box;
  // The boxes earlier expect box steps matched: a box like one of them is
  // another box (a second notification's) before it is one of them again.
  std::vector<HWND> boxesMatched;
  std::vector<std::pair<std::string, std::string>> files;  // made at start
  std::size_t logCursor = 0;
  std::size_t journalCursor = 0;
  Lines transcript;
  int starts = 0;
  CtlRun ctl;
  sim::Reply reply;
  HANDLE idle = INVALID_HANDLE_VALUE;
  // Whether the tool has crashed: a debugger holds it (Wine's starts on an
  // unhandled exception), and a message sent to it may never come back.
  bool ToolCrashed() const;
  // The oracles' state: the log lines whose form is checked, and what the
  // tool held at the first "expect bounded".
  std::size_t formsChecked = 0;
  struct Held {
    DWORD user = 0;
    DWORD gdi = 0;
    SIZE_T workingSet = 0;
  };
  std::optional<Held> heldFirst;

 private:
  // One running repeat: its step, the passes done, the passes wanted.
  struct Loop {
    std::size_t start;
    std::int64_t done;
    std::int64_t times;
  };

  // Runs one step; false (and the failure printed) when it fails.
  bool RunOne(const Step& step, bool shown, std::string* problem);
  std::string Passes() const;
  void KeepEvidence(const std::string& message);
  void PrintTranscript() const;
  void ReadLog();
  // The whole log through the simulator's pipe; false when it cannot be had.
  bool ReadLogBatch();

  const Options& options_;
  const scn::Scenario& scenario_;
  std::vector<Loop> loops_;
  std::size_t next_ = 0;  // the step to run next
  bool driverFailed_ = false;
  const Step* expectFailure_ = nullptr;
  bool failingStep_ = false;
};

}  // namespace runner

#endif  // REVEDIZ_RUNNER_RUN_H
