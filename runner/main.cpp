// revediz-run: runs a scenario (runner/scenario.h, runner/SCENARIOS.md)
// against the real REVEDIZ.exe, through the end-to-end driver
// (tests/e2e/driver/driver.h), and checks what the tool does.
//
//   revediz-run [--tool DIR] [--work DIR] [--out DIR] [--timeout MS] SCENARIO
//
// --tool  folder holding REVEDIZ.exe, vavuro32.dll and the sixteen .DAT
//         files (default: the folder of revediz-run.exe)
// --work  where the working folder of the run is made (default: %TEMP%);
//         the folder is removed after a pass and kept after a failure
// --out   where SCENARIO.fail.bmp (the desktop at a failure) goes (default:
//         the current folder)
// --timeout  bound of every wait in milliseconds (default 10000)
//
// Each step is printed as it runs; then the log transcript and one summary
// line, "PASS <scenario>: ..." or "FAIL <scenario>: ...". A mismatch shows
// the scenario line and "expected: ..." / "actual: ...". Exit status 0 for a
// pass, 1 for a failure (or a scenario that does not read), 2 for wrong use.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "runner/scenario.h"
#include "simulator/bench_ids.h"
#include "tests/e2e/driver/driver.h"
#include "tests/e2e/driver/remote_call.h"

namespace runner {
namespace {

using Lines = std::vector<std::string>;
using e2e::CallRemoteExport;
using e2e::RemoteArg;

struct Options {
  std::string toolDir;
  std::string workParent;
  std::string outDir;
  std::string scenarioPath;
  DWORD timeoutMs = e2e::kDefaultTimeoutMs;
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

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  return dir.back() == '\\' ? dir + name : dir + "\\" + name;
}

std::string FolderOf(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string(".") : path.substr(0, cut);
}

std::string BaseName(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string Stem(const std::string& path) {
  std::string name = BaseName(path);
  const std::size_t dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  return FolderOf(path);
}

std::string TempFolder() {
  char path[MAX_PATH] = {};
  DWORD length = GetTempPathA(sizeof path, path);
  if (length == 0 || length >= sizeof path) return ProgramFolder();
  std::string folder(path);
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return folder;
}

bool ReadWholeFile(const std::string& path, std::string* bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char chunk[4096];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes->append(chunk, got);
  std::fclose(file);
  return true;
}

std::string ShowLines(const Lines& lines) {
  if (lines.empty()) return "(none)";
  std::string out;
  for (const std::string& line : lines) out += (out.empty() ? "" : " ") + ShowText(line);
  return out;
}

// Runs one scenario.
class Run {
 public:
  Run(const Options& options, const Scenario& scenario) : options_(options), scenario_(scenario) {}

  int Execute() {
    const std::string name = BaseName(options_.scenarioPath);
    std::printf("revediz-run %s (%zu steps)\n", options_.scenarioPath.c_str(), scenario_.steps.size());
    std::size_t passed = 0;
    const Step* failedStep = nullptr;
    for (const Step& step : scenario_.steps) {
      std::printf("%5d  %s", step.line, Trimmed(step.source).c_str());
      std::fflush(stdout);
      std::string problem;
      try {
        RunStep(step);
        Refresh();
        std::printf("   ok\n");
        ++passed;
        continue;
      } catch (const Mismatch& mismatch) {
        std::printf("   FAILED\n%s:%d: %s\n  expected: %s\n  actual:   %s\n", name.c_str(), step.line,
                    mismatch.what.c_str(), mismatch.expected.c_str(), mismatch.actual.c_str());
        problem = mismatch.what;
      } catch (const StepError& error) {
        std::printf("   FAILED\n%s:%d: %s\n", name.c_str(), step.line, error.what.c_str());
        problem = error.what;
      } catch (const e2e::Failure& failure) {
        // The driver's own report holds the screen and has kept the folder.
        driverFailed_ = true;
        std::printf("   FAILED\n%s:%d: %s\n", name.c_str(), step.line, failure.what());
        problem = "the tool could not be driven";
      }
      failedStep = &step;
      Refresh();
      KeepEvidence(name + ":" + std::to_string(step.line) + ": " + problem);
      break;
    }

    PrintTranscript();
    if (app_ && app_->Running()) std::printf("(the tool was still running at the end; it is ended)\n");
    app_.reset();  // ends the tool; the working folder goes after a pass
    if (failedStep == nullptr) {
      std::printf("PASS %s: %zu steps\n", name.c_str(), passed);
      return 0;
    }
    std::printf("FAIL %s: line %d failed; %zu of %zu steps passed\n", name.c_str(), failedStep->line, passed,
                scenario_.steps.size());
    return 1;
  }

 private:
  static std::string Trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t");
    std::size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
  }

  // --- State the steps share ---------------------------------------------

  e2e::Revediz& App(const Step& step) {
    if (!app_) throw StepError{step.key + ": the tool is not started (use: start)"};
    return *app_;
  }

  e2e::Dialog& CurrentDialog(const Step& step) {
    if (!dialog_) throw StepError{step.key + ": no dialog to act on (use: dialog \"Caption\")"};
    return *dialog_;
  }

  // A text of the scenario with ${hwnd} and ${hwnd8} filled in.
  std::string Text(const Word& word) const {
    if (!app_ || app_->MainWindow() == nullptr) return word.text;
    return Substitute(word.text, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(app_->MainWindow())));
  }

  static std::int64_t Number(const Word& word) {
    std::int64_t value = 0;
    ParseNumber(word.text, &value);  // checked when the scenario was read
    return value;
  }

  static int Id(const Word& word) {
    int id = 0;
    ParseControlId(word.text, &id);
    return id;
  }

  // Keeps the longest log seen: the tool empties its log as it ends.
  void Refresh() {
    if (!app_ || !app_->Running() || app_->LogWindow() == nullptr) return;
    try {
      // Read directly, not through LogLines: a log that goes away as the
      // tool ends is no failure of the run.
      Lines lines = e2e::ListItems(app_->LogWindow());
      if (lines.size() >= transcript_.size()) transcript_ = std::move(lines);
    } catch (const e2e::Failure&) {
      // Unreadable now; the transcript keeps what was seen before.
    }
  }

  Lines Log() {
    Lines lines = app_->LogLines();
    if (lines.size() >= transcript_.size()) transcript_ = lines;
    return lines;
  }

  // Polls the log until it has more than `count` lines; returns it.
  Lines WaitLogBeyond(std::size_t count) {
    Lines lines;
    e2e::PollUntil([&] {
      lines = Log();
      return lines.size() > count;
    }, options_.timeoutMs);
    return lines;
  }

  // --- Failure evidence --------------------------------------------------

  // The desktop as SCENARIO.fail.bmp, the driver's dump, and the working
  // folder kept.
  void KeepEvidence(const std::string& message) {
    if (!app_) return;
    if (!driverFailed_) {
      try {
        app_->Fail(message);
      } catch (const e2e::Failure& failure) {
        std::printf("%s\n", failure.what());
      }
    }
    const std::string shot = app_->PathOf("failure.bmp");
    const std::string target = JoinPath(options_.outDir, Stem(options_.scenarioPath) + ".fail.bmp");
    if (GetFileAttributesA(shot.c_str()) != INVALID_FILE_ATTRIBUTES && CopyFileA(shot.c_str(), target.c_str(), FALSE)) {
      std::printf("screenshot: %s\n", target.c_str());
    } else {
      std::printf("screenshot: none could be taken\n");
    }
  }

  void PrintTranscript() const {
    std::printf("--- log transcript (%zu lines)\n", transcript_.size());
    for (std::size_t i = 0; i < transcript_.size(); ++i) {
      std::printf("%4zu |%s|\n", i + 1, transcript_[i].c_str());
    }
    std::printf("---\n");
  }

  // --- Steps ---------------------------------------------------------------

  void RunStep(const Step& step) {
    const std::string& key = step.key;
    const std::vector<Word>& a = step.args;
    if (key == "file") return File(step);
    if (key == "start") return Start(step);
    if (key == "exit") {
      Refresh();
      return App(step).Exit();
    }
    if (key == "close") {
      Refresh();
      return App(step).CloseBox();
    }
    if (key == "expect exit") return ExpectExit(step);
    if (key == "menu") {
      int id = 0;
      ParseMenuCommand(a[0].text, &id);
      Refresh();
      return App(step).Menu(static_cast<WPARAM>(id));
    }
    if (key == "post") {
      return App(step).Post(static_cast<UINT>(Number(a[0])), static_cast<WPARAM>(Number(a[1])),
                            static_cast<LPARAM>(Number(a[2])));
    }
    if (key == "dialog") return WaitDialog(step);
    if (key == "set") return CurrentDialog(step).SetText(Id(a[0]), Text(a[1]));
    if (key == "select") return CurrentDialog(step).Select(Id(a[0]), Text(a[1]));
    if (key == "select-posted") return CurrentDialog(step).SelectPosted(Id(a[0]), Text(a[1]));
    if (key == "radio") return CurrentDialog(step).SetRadio(Id(a[0]));
    if (key == "click") return CurrentDialog(step).Click(Id(a[0]));
    if (key == "press") return CurrentDialog(step).Press(Id(a[0]));
    if (key == "cancel") return CurrentDialog(step).Cancel();
    if (key == "ok") return PressOk(step);
    if (key == "expect box") return ExpectBox(step);
    if (key == "expect no-box") return ExpectNoBox(step);
    if (key == "expect closed") return ExpectClosed(step);
    if (key == "expect open") {
      if (!CurrentDialog(step).IsOpen()) {
        throw Mismatch{"dialog state", "dialog " + ShowText(dialogCaption_) + " open", "it has closed"};
      }
      return;
    }
    if (key == "expect field") {
      const std::string actual = CurrentDialog(step).Text(Id(a[0]));
      if (actual != Text(a[1])) throw Mismatch{"field " + a[0].text, ShowText(Text(a[1])), ShowText(actual)};
      return;
    }
    if (key == "expect items") return ExpectItems(step);
    if (key == "expect log" || key == "expect log-contains") return ExpectLogLine(step);
    if (key == "expect log-find") return ExpectLogFind(step);
    if (key == "expect log-end") return ExpectLogEnd(step);
    if (key == "skip log") return SkipLog(step);
    if (key == "expect journal" || key == "expect journal-contains") return ExpectJournal(step);
    if (key == "expect file") return ExpectFile(step);
    if (key == "expect device-text") return ExpectDeviceText(step);
    if (key.rfind("bench ", 0) == 0) return Bench(step);
    throw StepError{"step " + key + " is not known to this runner"};
  }

  void File(const Step& step) {
    const std::string name = step.args[0].text;
    if (!app_) {
      files_.emplace_back(name, step.args[1].text);
      return;
    }
    app_->WriteFile(name, Text(step.args[1]));
  }

  void Start(const Step& step) {
    if (app_ && app_->Running()) throw StepError{"start: the tool is running already"};
    e2e::StartOptions start;
    start.timeoutMs = options_.timeoutMs;
    start.programPath = JoinPath(options_.toolDir, "REVEDIZ.exe");
    start.dataDir = options_.toolDir;
    start.library = e2e::Library::kCustom;
    start.libraryPath = JoinPath(options_.toolDir, "vavuro32.dll");
    start.extraFiles = files_;
    start.workDir = JoinPath(options_.workParent, "revediz-run-" + Stem(options_.scenarioPath) + "-" +
                                                      std::to_string(GetCurrentProcessId()) + "-" +
                                                      std::to_string(++starts_));
    bool missing = false;
    for (const Word& word : step.args) {
      if (!word.quoted && word.text == "missing") {
        missing = true;
      } else if (!word.quoted && word.text == "no-library") {
        start.library = e2e::Library::kNone;
        missing = false;
      } else {
        start.omitDataFiles.push_back(word.text);
      }
    }
    (void)missing;
    dialog_.reset();
    box_.reset();
    logCursor_ = 0;
    journalCursor_ = 0;
    transcript_.clear();
    app_.reset();
    // Without all the files the tool shows its start-up box and no window.
    if (start.omitDataFiles.empty()) {
      app_.emplace(e2e::Revediz::Start(start));
    } else {
      app_.emplace(e2e::Revediz::Launch(start));
    }
    std::printf("  [folder %s]", app_->WorkDir().c_str());
  }

  void ExpectExit(const Step& step) {
    const DWORD status = App(step).WaitExit(options_.timeoutMs);
    const auto expected = static_cast<DWORD>(Number(step.args[0]));
    if (status != expected) {
      throw Mismatch{"exit status", std::to_string(static_cast<long>(expected)),
                     std::to_string(static_cast<long>(status))};
    }
  }

  std::string ScreenNow() const {
    std::string out;
    for (const e2e::Revediz::WindowInfo& w : app_->TopLevelWindows()) {
      if (!w.visible || w.className != "#32770") continue;
      out += (out.empty() ? "" : "; ") + std::string(w.owned ? "dialog " : "box ") + ShowText(w.caption);
    }
    return out.empty() ? "no dialog or box showing" : out;
  }

  void WaitDialog(const Step& step) {
    e2e::Revediz& app = App(step);
    const std::string caption = Text(step.args[0]);
    std::optional<e2e::Dialog> found;
    // The simulator's device bench is acted on like a dialog.
    const bool bench = caption == VAVURO_BENCH_TITLE;
    e2e::PollUntil([&] {
      if (bench) return app.HasBench();
      for (const e2e::Dialog& dialog : app.Dialogs()) {
        if (dialog.Caption() == caption) found = dialog;
      }
      return found.has_value();
    }, options_.timeoutMs);
    if (bench && app.HasBench()) found = app.WaitBench(options_.timeoutMs);
    if (!found) throw Mismatch{"dialog", "dialog " + ShowText(caption), ScreenNow()};
    dialog_ = found;
    dialogCaption_ = caption;
    box_.reset();
  }

  void ExpectClosed(const Step& step) {
    e2e::Dialog& dialog = CurrentDialog(step);
    const HWND hwnd = dialog.hwnd();
    if (!e2e::PollUntil([&] { return !IsWindow(hwnd); }, options_.timeoutMs)) {
      throw Mismatch{"dialog state", "dialog " + ShowText(dialogCaption_) + " closed", "still open; " + ScreenNow()};
    }
  }

  void PressOk(const Step& step) {
    e2e::Revediz& app = App(step);
    if (!box_) {
      box_ = app.WaitAnyBox(options_.timeoutMs);
    }
    e2e::Box box = *box_;
    box_.reset();
    box.Ok(options_.timeoutMs);
  }

  static std::string ShowBox(const std::string& caption, const std::string& text) {
    return "box " + ShowText(caption) + " " + ShowText(text);
  }

  void ExpectBox(const Step& step) {
    e2e::Revediz& app = App(step);
    const bool anyCaption = !step.args[0].quoted && step.args[0].text == "*";
    const std::string caption = Text(step.args[0]);
    const std::string text = Text(step.args[1]);
    std::vector<e2e::Box> boxes;
    std::optional<e2e::Box> match;
    ULONGLONG firstNear = 0;  // when a box of that caption (but other text) showed
    e2e::PollUntil([&] {
      boxes = app.Boxes();
      bool nearMiss = false;
      for (const e2e::Box& box : boxes) {
        if (!anyCaption && box.caption != caption) continue;
        if (box.text == text) {
          match = box;
          return true;
        }
        nearMiss = true;
      }
      // A box of the caption with another text: give a second box of the
      // same caption a moment to appear, then report.
      if (nearMiss && firstNear == 0) firstNear = GetTickCount64();
      return nearMiss && GetTickCount64() - firstNear > 1000;
    }, options_.timeoutMs);
    if (match) {
      box_ = match;
      return;
    }
    std::string actual;
    for (const e2e::Box& box : boxes) actual += (actual.empty() ? "" : "; ") + ShowBox(box.caption, box.text);
    if (actual.empty()) actual = "no message box";
    throw Mismatch{"message box", ShowBox(anyCaption ? "*" : caption, text), actual};
  }

  void ExpectNoBox(const Step& step) {
    std::string actual;
    for (const e2e::Box& box : App(step).Boxes()) {
      actual += (actual.empty() ? "" : "; ") + ShowBox(box.caption, box.text);
    }
    if (!actual.empty()) throw Mismatch{"message boxes", "no message box", actual};
  }

  void ExpectItems(const Step& step) {
    Lines expected;
    for (std::size_t i = 1; i < step.args.size(); ++i) expected.push_back(Text(step.args[i]));
    const Lines actual = CurrentDialog(step).Items(Id(step.args[0]));
    if (actual != expected) throw Mismatch{"items of " + step.args[0].text, ShowLines(expected), ShowLines(actual)};
  }

  std::string LogLineName(std::size_t index) const { return "log line " + std::to_string(index + 1); }

  void ExpectLogLine(const Step& step) {
    App(step);
    const bool contains = step.key == "expect log-contains";
    const std::string expected = Text(step.args[0]);
    const Lines lines = WaitLogBeyond(logCursor_);
    const std::string shownExpected = contains ? "a line holding " + ShowText(expected) : ShowText(expected);
    if (lines.size() <= logCursor_) {
      throw Mismatch{LogLineName(logCursor_), shownExpected,
                     "no such line (the log has " + std::to_string(lines.size()) + " lines)"};
    }
    const std::string& actual = lines[logCursor_];
    const bool good = contains ? actual.find(expected) != std::string::npos : actual == expected;
    if (!good) throw Mismatch{LogLineName(logCursor_), shownExpected, ShowText(actual)};
    ++logCursor_;
  }

  void ExpectLogFind(const Step& step) {
    App(step);
    const std::string expected = Text(step.args[0]);
    Lines lines;
    std::size_t at = 0;
    const bool seen = e2e::PollUntil([&] {
      lines = Log();
      for (at = logCursor_; at < lines.size(); ++at) {
        if (lines[at] == expected) return true;
      }
      return false;
    }, options_.timeoutMs);
    if (!seen) {
      const Lines rest(lines.begin() + static_cast<std::ptrdiff_t>(std::min(logCursor_, lines.size())), lines.end());
      throw Mismatch{"log from line " + std::to_string(logCursor_ + 1), "a line " + ShowText(expected),
                     ShowLines(rest)};
    }
    logCursor_ = at + 1;
  }

  void ExpectLogEnd(const Step& step) {
    App(step);
    const Lines lines = Log();
    if (lines.size() > logCursor_) {
      const Lines rest(lines.begin() + static_cast<std::ptrdiff_t>(logCursor_), lines.end());
      throw Mismatch{"log after line " + std::to_string(logCursor_), "no more lines", ShowLines(rest)};
    }
  }

  void SkipLog(const Step& step) {
    App(step);
    const auto count = static_cast<std::size_t>(Number(step.args[0]));
    if (count == 0) return;
    const Lines lines = WaitLogBeyond(logCursor_ + count - 1);
    if (lines.size() < logCursor_ + count) {
      throw Mismatch{"log", std::to_string(logCursor_ + count) + " lines or more",
                     std::to_string(lines.size()) + " lines"};
    }
    logCursor_ += count;
  }

  void ExpectJournal(const Step& step) {
    e2e::Revediz& app = App(step);
    const bool contains = step.key == "expect journal-contains";
    const std::string expected = Text(step.args[0]);
    Lines lines;
    std::size_t at = 0;
    const bool seen = e2e::PollUntil([&] {
      lines = app.Journal();
      for (at = journalCursor_; at < lines.size(); ++at) {
        if (contains ? lines[at].find(expected) != std::string::npos : lines[at] == expected) return true;
      }
      return false;
    }, options_.timeoutMs);
    if (!seen) {
      const Lines rest(lines.begin() + static_cast<std::ptrdiff_t>(std::min(journalCursor_, lines.size())),
                       lines.end());
      throw Mismatch{"journal from line " + std::to_string(journalCursor_ + 1),
                     (contains ? "a line holding " : "a line ") + ShowText(expected), ShowLines(rest)};
    }
    journalCursor_ = at + 1;
  }

  void ExpectFile(const Step& step) {
    e2e::Revediz& app = App(step);
    const std::string name = step.args[0].text;
    const std::string expected = Text(step.args[1]);
    if (!app.FileExists(name)) throw Mismatch{"file " + name, ShowText(expected), "no such file"};
    const std::string actual = app.ReadFile(name);
    if (actual != expected) throw Mismatch{"file " + name, ShowText(expected), ShowText(actual)};
  }

  // Calls a control export of the simulator inside the tool.
  std::int32_t CallSimulator(const Step& step, const std::string& entry, std::vector<RemoteArg>* args) {
    e2e::Revediz& app = App(step);
    std::int32_t result = 0;
    std::string error;
    if (!CallRemoteExport(app.ProcessId(), "vavuro32.dll", app.PathOf("vavuro32.dll"), entry, args, &result, &error,
                          options_.timeoutMs)) {
      throw StepError{step.key + ": " + error};
    }
    return result;
  }

  void ExpectDeviceText(const Step& step) {
    constexpr std::int32_t kRoom = 8192;
    std::vector<RemoteArg> args = {RemoteArg::Text(step.args[0].text), RemoteArg::OutBuffer(kRoom),
                                   RemoteArg::Number(kRoom)};
    const std::int32_t length = CallSimulator(step, "SimGetDeviceText", &args);
    if (length < 0) throw StepError{"device " + step.args[0].text + " shows no text"};
    std::string actual = args[1].text;
    actual.resize(std::min<std::size_t>(static_cast<std::size_t>(length), actual.size()));
    const std::string expected = Text(step.args[1]);
    if (actual != expected) throw Mismatch{"text of " + step.args[0].text, ShowText(expected), ShowText(actual)};
  }

  // Bench steps: each maps to a control export of the simulator. (The bench
  // window is acted on as a dialog: dialog "Device Bench".)
  void Bench(const Step& step) {
    std::vector<Word> a = step.args;
    std::int64_t expected = 0;
    if (a.size() >= 2 && !a[a.size() - 2].quoted && a[a.size() - 2].text == "returns") {
      expected = Number(a.back());
      a.resize(a.size() - 2);
    }
    auto textOrNull = [&](std::size_t i) {
      return i < a.size() ? RemoteArg::Text(Text(a[i])) : RemoteArg::Null();
    };
    std::string entry;
    std::vector<RemoteArg> args;
    bool hasResult = true;
    const std::string action = step.key.substr(6);
    if (action == "fault") {
      int kind = 0;
      ParseFaultKind(a[1].text, &kind);
      entry = "SimSetFault";
      args = {RemoteArg::Text(a[0].text), RemoteArg::Number(kind), RemoteArg::Number(static_cast<std::int32_t>(Number(a[2])))};
    } else if (action == "clear-faults") {
      entry = "SimClearFaults";
      hasResult = false;  // returns nothing
    } else if (action == "swipe") {
      entry = "SimSwipeCard";
      args = {textOrNull(0)};
    } else if (action == "scan") {
      entry = "SimScanLabel";
      args = {textOrNull(0)};
    } else if (action == "keys") {
      entry = "SimPressKeys";
      args = {textOrNull(0)};
    } else if (action == "weight") {
      entry = "SimPlaceWeight";
      args = {RemoteArg::Number(static_cast<std::int32_t>(Number(a[0])))};
    } else if (action == "close-drawer") {
      entry = "SimCloseDrawer";
    } else {
      throw StepError{"no bench action " + action};
    }
    const std::int32_t result = CallSimulator(step, entry, &args);
    if (hasResult && result != expected) {
      throw Mismatch{entry + " result", std::to_string(expected), std::to_string(result)};
    }
  }

  const Options& options_;
  const Scenario& scenario_;
  std::optional<e2e::Revediz> app_;
  std::optional<e2e::Dialog> dialog_;
  std::string dialogCaption_;
  std::optional<e2e::Box> box_;
  std::vector<std::pair<std::string, std::string>> files_;
  std::size_t logCursor_ = 0;
  std::size_t journalCursor_ = 0;
  Lines transcript_;
  int starts_ = 0;
  bool driverFailed_ = false;
};

void Usage() {
  std::printf(
      "usage: revediz-run [--tool DIR] [--work DIR] [--out DIR] [--timeout MS] SCENARIO\n"
      "  --tool     folder of REVEDIZ.exe, vavuro32.dll and the .DAT files (default: this program's)\n"
      "  --work     where the run's working folder is made (default: the temp folder)\n"
      "  --out      where SCENARIO.fail.bmp goes after a failure (default: the current folder)\n"
      "  --timeout  bound of every wait, in milliseconds (default 10000)\n"
      "The scenario language is described in SCENARIOS.md.\n");
}

bool ReadOptions(int argc, char** argv, Options* options) {
  options->toolDir = ProgramFolder();
  options->workParent = TempFolder();
  options->outDir = ".";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if ((arg == "--tool" || arg == "--work" || arg == "--out" || arg == "--timeout") && !hasValue) return false;
    if (arg == "--tool") {
      options->toolDir = e2e::WindowsPath(argv[++i]);
    } else if (arg == "--work") {
      options->workParent = e2e::WindowsPath(argv[++i]);
    } else if (arg == "--out") {
      options->outDir = e2e::WindowsPath(argv[++i]);
    } else if (arg == "--timeout") {
      std::int64_t ms = 0;
      if (!ParseNumber(argv[++i], &ms) || ms <= 0) return false;
      options->timeoutMs = static_cast<DWORD>(ms);
    } else if (!arg.empty() && arg[0] == '-') {
      return false;
    } else if (options->scenarioPath.empty()) {
      options->scenarioPath = e2e::WindowsPath(arg);
    } else {
      return false;
    }
  }
  return !options->scenarioPath.empty();
}

}  // namespace
}  // namespace runner

int main(int argc, char** argv) {
  runner::Options options;
  if (!runner::ReadOptions(argc, argv, &options)) {
    runner::Usage();
    return 2;
  }
  std::string text;
  if (!runner::ReadWholeFile(options.scenarioPath, &text)) {
    std::printf("FAIL %s: cannot read the scenario\n", options.scenarioPath.c_str());
    return 1;
  }
  runner::Scenario scenario;
  std::vector<std::string> errors;
  if (!runner::ParseScenario(text, &scenario, &errors)) {
    const std::string name = runner::BaseName(options.scenarioPath);
    for (const std::string& error : errors) std::printf("%s: %s\n", name.c_str(), error.c_str());
    std::printf("FAIL %s: the scenario does not read (%zu errors)\n", name.c_str(), errors.size());
    return 1;
  }
  int status = 1;
  try {
    runner::Run run(options, scenario);
    status = run.Execute();
  } catch (const std::exception& error) {
    std::printf("FAIL %s: %s\n", runner::BaseName(options.scenarioPath).c_str(), error.what());
    status = 1;
  }
  std::fflush(stdout);
  return status;
}
