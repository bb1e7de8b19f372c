// One run of a scenario: see run.h.
#include "runner/run.h"

#include <cstdio>

#include "runner/steps.h"
#include "simulator/control_client.h"
#include "toolwindows/paths.h"

namespace runner {
namespace {

constexpr Handler kHandlers[] = {
#define REVEDIZ_RUNNER_HANDLER(Name, ...) &On##Name,
    REVEDIZ_SCENARIO_STEPS(REVEDIZ_RUNNER_HANDLER)
#undef REVEDIZ_RUNNER_HANDLER
};
static_assert(std::size(kHandlers) == scn::kStepKinds);

// Steps that only read the log (and read it themselves when they need lines
// not read yet): the log is not read again after them.
bool ReadsLogOnly(scn::StepKind kind) {
  using scn::StepKind;
  return kind == StepKind::kExpectLog || kind == StepKind::kExpectLogContains || kind == StepKind::kExpectLogFind ||
         kind == StepKind::kExpectLogEnd || kind == StepKind::kSkipLog;
}

// A failure report on one line: what failed, and what was expected and found.
std::string ShowReport(const Mismatch& report) {
  return report.expected.empty() && report.actual.empty()
             ? scn::ShowText(report.what)
             : scn::ShowText(report.what) + " " + scn::ShowText(report.expected) + " " + scn::ShowText(report.actual);
}

std::string Trimmed(const std::string& text) {
  std::size_t first = text.find_first_not_of(" \t");
  std::size_t last = text.find_last_not_of(" \t\r");
  return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

}  // namespace

std::string Stem(const std::string& path) {
  std::string name = winpath::BaseName(path);
  const std::size_t dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string ShowLines(const Lines& lines) {
  if (lines.empty()) return "(none)";
  std::string out;
  for (const std::string& line : lines) {
    if (!out.empty()) out += ' ';
    out += scn::ShowText(line);
  }
  return out;
}

Run::~Run() {
  if (idle != INVALID_HANDLE_VALUE) CloseHandle(idle);
}

int Run::Execute() {
  const std::string name = winpath::BaseName(options_.scenarioPath);
  const std::vector<Step>& steps = scenario_.steps;
  std::printf("revediz-run %s (%zu steps)\n", options_.scenarioPath.c_str(), steps.size());
  std::size_t passed = 0;
  const Step* failedStep = nullptr;
  std::string failedPass;
  for (next_ = 0; next_ < steps.size();) {
    const Step& step = steps[next_];
    if (step.kind == scn::StepKind::kRepeat || step.kind == scn::StepKind::kEnd) {
      kHandlers[static_cast<std::size_t>(step.kind)](*this, step);
      continue;
    }
    std::string problem;
    if (RunOne(step, FirstPass(), &problem)) {
      ++passed;
      ++next_;
      continue;
    }
    failedStep = &step;
    failedPass = Passes();
    Log();
    KeepEvidence(name + ":" + std::to_string(step.line) + ": " + problem);
    break;
  }
  Log();
  PrintTranscript();
  if (idle != INVALID_HANDLE_VALUE) CloseHandle(idle);
  idle = INVALID_HANDLE_VALUE;
  if (app && app->Running()) std::printf("(the tool was still running at the end; it is ended)\n");
  app.reset();  // ends the tool; the working folder goes after a pass
  if (failedStep == nullptr) {
    std::printf("PASS %s: %zu steps\n", name.c_str(), passed);
    return 0;
  }
  std::printf("FAIL %s: line %d failed%s; %zu steps passed\n", name.c_str(), failedStep->line, failedPass.c_str(),
              passed);
  return 1;
}

void Run::Perform(const Step& step) {
  if (step.kind == scn::StepKind::kRepeat || step.kind == scn::StepKind::kEnd || step.kind == scn::StepKind::kFails) {
    throw StepError{step.key + ": not played one by one"};
  }
  kHandlers[static_cast<std::size_t>(step.kind)](*this, step);
}

bool Run::RunOne(const Step& step, bool shown, std::string* problem) {
  const std::string name = winpath::BaseName(options_.scenarioPath);
  if (shown) {
    std::printf("%5d  %s", step.line, Trimmed(step.source).c_str());
    std::fflush(stdout);
  }
  const std::string head = (shown ? "" : Trimmed(step.source)) + "   FAILED" + Passes() + "\n" + name + ":" +
                           std::to_string(step.line) + ": ";
  // A step a "fails" speaks of: it passes by failing with that report, and
  // waits no longer than kFailingStepMs for what is not to come.
  const Step* fails = std::exchange(expectFailure_, nullptr);
  failingStep_ = fails != nullptr;
  Mismatch report;
  try {
    try {
      kHandlers[static_cast<std::size_t>(step.kind)](*this, step);
    } catch (const StepError& error) {
      if (fails == nullptr) throw;
      report.what = error.what;
    } catch (const Mismatch& mismatch) {
      if (fails == nullptr) throw;
      report = mismatch;
    }
    failingStep_ = false;
    if (fails != nullptr) {
      const std::size_t given = fails->args.size();
      const Mismatch wanted{Text(fails->args[0]), given > 1 ? Text(fails->args[1]) : report.expected,
                            given > 2 ? Text(fails->args[2]) : report.actual};
      if (report.what.empty()) throw Mismatch{"a step that was to fail", ShowReport(wanted), "it passed"};
      if (wanted.what != report.what || wanted.expected != report.expected || wanted.actual != report.actual)
        throw Mismatch{"the failure of the step", ShowReport(wanted), ShowReport(report)};
    }
    // The transcript keeps up after each step, so that it holds every line
    // even if the tool ends; in the later passes of a repeat the
    // expectations read the log themselves.
    if (shown && !ReadsLogOnly(step.kind)) Log();
    if (shown) std::printf(fails != nullptr ? "   failed as expected\n" : "   ok\n");
    return true;
  } catch (const Mismatch& mismatch) {
    std::printf("%s%s\n  expected: %s\n  actual:   %s\n", head.c_str(), mismatch.what.c_str(),
                mismatch.expected.c_str(), mismatch.actual.c_str());
    *problem = mismatch.what;
  } catch (const StepError& error) {
    std::printf("%s%s\n", head.c_str(), error.what.c_str());
    *problem = error.what;
  } catch (const driver::Failure& failure) {
    // The driver's own report holds the screen and has kept the folder.
    driverFailed_ = true;
    std::printf("%s%s\n", head.c_str(), failure.what());
    *problem = "the tool could not be driven";
  }
  failingStep_ = false;
  return false;
}

void OnFails(Run& run, const Step& step) { run.ExpectFailure(step); }

void Run::BeginRepeat(const Step& step) {
  if (FirstPass()) std::printf("%5d  %s\n", step.line, Trimmed(step.source).c_str());
  loops_.push_back({next_, 0, Number(step.args[0])});
  ++next_;
}

void Run::EndRepeat(const Step& step) {
  Loop& loop = loops_.back();
  if (++loop.done < loop.times) {
    next_ = loop.start + 1;
    return;
  }
  const std::int64_t times = loop.times;
  loops_.pop_back();
  if (FirstPass()) std::printf("%5d  end   (%lld passes)\n", step.line, static_cast<long long>(times));
  ++next_;
}

void OnRepeat(Run& run, const Step& step) { run.BeginRepeat(step); }
void OnEnd(Run& run, const Step& step) { run.EndRepeat(step); }

bool Run::FirstPass() const {
  for (const Loop& loop : loops_) {
    if (loop.done > 0) return false;
  }
  return true;
}

// " (pass 3 of 10)" for each repeat the step is in.
std::string Run::Passes() const {
  std::string out;
  for (const Loop& loop : loops_) {
    out += " (pass " + std::to_string(loop.done + 1) + " of " + std::to_string(loop.times) + ")";
  }
  return out;
}

driver::Revediz& Run::App(const Step& step) {
  if (!app) throw StepError{step.key + ": the tool is not started (use: start)"};
  return *app;
}

driver::Dialog& Run::CurrentDialog(const Step& step) {
  if (!dialog) throw StepError{step.key + ": no dialog to act on (use: dialog \"Caption\")"};
  return *dialog;
}

std::string Run::Text(const Word& word) const {
  if (!app) return word.text;
  std::string text = word.text;
  const std::string pid = std::to_string(app->ProcessId());
  for (std::size_t at; (at = text.find("${pid}")) != std::string::npos;) text.replace(at, 6, pid);
  if (app->MainWindow() == nullptr) return text;
  return scn::Substitute(text, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(app->MainWindow())));
}

std::int64_t Run::Number(const Word& word) {
  std::int64_t value = 0;
  scn::ParseNumber(word.text, &value);  // checked when the scenario was read
  return value;
}

int Run::Id(const Word& word) {
  int id = 0;
  scn::ParseControlId(word.text, &id);
  return id;
}

HWND Run::Target(const Step& step, const std::string& which) {
  driver::Revediz& tool = App(step);
  HWND window = nullptr;
  if (which == "main") window = tool.MainWindow();
  if (which == "log") window = tool.LogWindow();
  if (which == "bench") window = tool.WaitBench(options_.timeoutMs).hwnd();
  if (which == "dialog") window = CurrentDialog(step).hwnd();
  if (which != "desktop" && window == nullptr) throw StepError{"there is no " + which + " window"};
  return window;
}

std::string Run::ToolFile(const std::string& name) const {
  const bool absolute = (name.size() > 1 && name[1] == ':') || (!name.empty() && (name[0] == '\\' || name[0] == '/'));
  return absolute ? driver::WindowsPath(name) : winpath::Join(options_.toolDir, name);
}

std::string Run::ScreenNow() const {
  std::string out;
  for (const driver::Revediz::WindowInfo& w : app->TopLevelWindows()) {
    if (!w.visible || w.className != "#32770") continue;
    out += (out.empty() ? "" : "; ") + std::string(w.owned ? "dialog " : "box ") + scn::ShowText(w.caption);
  }
  return out.empty() ? "no dialog or box showing" : out;
}

// The desktop as SCENARIO.fail.bmp, the driver's dump, and the working
// folder kept.
void Run::KeepEvidence(const std::string& message) {
  if (!app) return;
  if (!driverFailed_) {
    try {
      app->Fail(message);
    } catch (const driver::Failure& failure) {
      std::printf("%s\n", failure.what());
    }
  }
  const std::string shot = app->PathOf("failure.bmp");
  const std::string target = winpath::Join(options_.outDir, Stem(options_.scenarioPath) + ".fail.bmp");
  if (GetFileAttributesA(shot.c_str()) != INVALID_FILE_ATTRIBUTES && CopyFileA(shot.c_str(), target.c_str(), FALSE)) {
    std::printf("screenshot: %s\n", target.c_str());
  } else {
    std::printf("screenshot: none could be taken\n");
  }
}

// The log as seen; of a long one the first and the last lines.
void Run::PrintTranscript() const {
  constexpr std::size_t kHead = 100;
  constexpr std::size_t kTail = 300;
  const std::size_t count = transcript.size();
  std::printf("--- log transcript (%zu lines)\n", count);
  for (std::size_t i = 0; i < count; ++i) {
    if (count > kHead + kTail && i == kHead) {
      std::printf("     ... %zu lines ...\n", count - kHead - kTail);
      i = count - kTail;
    }
    std::printf("%4zu |%s|\n", i + 1, transcript[i].c_str());
  }
  std::printf("---\n");
}

// Lines are only ever added at the end of the log, so only the new ones are
// read; the tool empties its log as it ends, and the transcript then keeps
// what was seen.
const Lines& Run::Log() {
  if (!app || !app->Running() || app->LogWindow() == nullptr) return transcript;
  try {
    ReadLog();
  } catch (const driver::Failure&) {
    // Unreadable now (the tool is ending); the transcript keeps what was seen.
  }
  return transcript;
}

void Run::ReadLog() {
  // Many new lines at once (a burst of notifications) are read in one batch
  // through the simulator's pipe, which reads the log in the tool's own
  // thread: across processes each line costs two messages, each waiting for
  // the tool, which is busy logging the rest; on a loaded machine that took
  // longer than a step may wait.
  constexpr std::size_t kBatchFrom = 200;
  // Read quietly: a tool that is ending may not answer, which is no failure of the run (the session's own
  // failure would keep the working folder of a passing scenario, with a screenshot).
  const auto count = static_cast<std::size_t>(driver::ListCount(app->LogWindow()));
  if (count >= transcript.size() + kBatchFrom && ReadLogBatch()) return;
  for (std::string& line : driver::ListItems(app->LogWindow(), transcript.size())) {
    transcript.push_back(std::move(line));
  }
}

bool Run::ReadLogBatch() {
  sim::Reply listing;
  std::string why;
  if (sim::ControlExchange(app->ProcessId(), "log", &listing, &why, options_.timeoutMs) != sim::Exchange::kDone ||
      !listing.ok || !listing.listing || listing.lines.size() < transcript.size()) {
    return false;  // no simulator (another library, or not yet loaded): line by line
  }
  for (std::size_t i = transcript.size(); i < listing.lines.size(); ++i) transcript.push_back(std::move(listing.lines[i]));
  return true;
}

const Lines& Run::WaitLogBeyond(std::size_t count) {
  if (transcript.size() > count) return transcript;  // read already
  driver::PollUntil([&] { return Log().size() > count; }, timeout());
  return transcript;
}

}  // namespace runner
