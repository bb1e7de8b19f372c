// revediz-run: runs a scenario (runner/SCENARIOS.md) against the real
// REVEDIZ.exe, through the driver (runner/driver/driver.h), and checks what
// the tool does.
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
#include "runner/control_steps.h"
#include "runner/driver/driver.h"
#include "simulator/control_client.h"
#include "simulator/control_line.h"

namespace runner {
namespace {

using Lines = std::vector<std::string>;

struct Options {
  std::string toolDir;
  std::string workParent;
  std::string outDir;
  std::string scenarioPath;
  DWORD timeoutMs = driver::kDefaultTimeoutMs;
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
  for (const std::string& line : lines) {
    if (!out.empty()) out += ' ';
    out += ShowText(line);
  }
  return out;
}

// Runs one scenario.
class Run {
 public:
  Run(const Options& options, const Scenario& scenario) : options_(options), scenario_(scenario) {}

  int Execute() {
    const std::string name = BaseName(options_.scenarioPath);
    const std::vector<Step>& steps = scenario_.steps;
    std::printf("revediz-run %s (%zu steps)\n", options_.scenarioPath.c_str(), steps.size());
    std::size_t passed = 0;
    const Step* failedStep = nullptr;
    std::string failedPass;
    for (std::size_t i = 0; i < steps.size();) {
      const Step& step = steps[i];
      // Steps are shown as they run on the first pass of every repeat.
      const bool shown = FirstPass();
      if (step.key == "repeat") {
        loops_.push_back({i, 0, Number(step.args[0])});
        if (shown) std::printf("%5d  %s\n", step.line, Trimmed(step.source).c_str());
        ++i;
        continue;
      }
      if (step.key == "end") {
        Loop& loop = loops_.back();
        if (++loop.done < loop.times) {
          i = loop.start + 1;
          continue;
        }
        loops_.pop_back();
        if (FirstPass()) std::printf("%5d  end   (%lld passes)\n", step.line, static_cast<long long>(loop.times));
        ++i;
        continue;
      }
      if (shown) {
        std::printf("%5d  %s", step.line, Trimmed(step.source).c_str());
        std::fflush(stdout);
      }
      std::string problem;
      try {
        RunStep(step);
        // The transcript keeps up after each step, so that it holds every
        // line even if the tool ends; in the later passes of a repeat the
        // expectations read the log themselves.
        if (shown) Refresh();
        if (shown) std::printf("   ok\n");
        ++passed;
        ++i;
        continue;
      } catch (const Mismatch& mismatch) {
        std::printf("%s   FAILED%s\n%s:%d: %s\n  expected: %s\n  actual:   %s\n", shown ? "" : Trimmed(step.source).c_str(),
                    Passes().c_str(), name.c_str(), step.line, mismatch.what.c_str(), mismatch.expected.c_str(),
                    mismatch.actual.c_str());
        problem = mismatch.what;
      } catch (const StepError& error) {
        std::printf("%s   FAILED%s\n%s:%d: %s\n", shown ? "" : Trimmed(step.source).c_str(), Passes().c_str(),
                    name.c_str(), step.line, error.what.c_str());
        problem = error.what;
      } catch (const driver::Failure& failure) {
        // The driver's own report holds the screen and has kept the folder.
        driverFailed_ = true;
        std::printf("%s   FAILED%s\n%s:%d: %s\n", shown ? "" : Trimmed(step.source).c_str(), Passes().c_str(),
                    name.c_str(), step.line, failure.what());
        problem = "the tool could not be driven";
      }
      failedStep = &step;
      failedPass = Passes();
      Refresh();
      KeepEvidence(name + ":" + std::to_string(step.line) + ": " + problem);
      break;
    }

    PrintTranscript();
    if (idle_ != INVALID_HANDLE_VALUE) CloseHandle(idle_);
    if (app_ && app_->Running()) std::printf("(the tool was still running at the end; it is ended)\n");
    app_.reset();  // ends the tool; the working folder goes after a pass
    if (failedStep == nullptr) {
      std::printf("PASS %s: %zu steps\n", name.c_str(), passed);
      return 0;
    }
    std::printf("FAIL %s: line %d failed%s; %zu steps passed\n", name.c_str(), failedStep->line, failedPass.c_str(),
                passed);
    return 1;
  }

 private:
  static std::string Trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t");
    std::size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
  }

  // --- State the steps share ---------------------------------------------

  driver::Revediz& App(const Step& step) {
    if (!app_) throw StepError{step.key + ": the tool is not started (use: start)"};
    return *app_;
  }

  driver::Dialog& CurrentDialog(const Step& step) {
    if (!dialog_) throw StepError{step.key + ": no dialog to act on (use: dialog \"Caption\")"};
    return *dialog_;
  }

  // A text of the scenario with ${pid}, ${hwnd} and ${hwnd8} filled in.
  std::string Text(const Word& word) const {
    if (!app_) return word.text;
    std::string text = word.text;
    const std::string pid = std::to_string(app_->ProcessId());
    for (std::size_t at; (at = text.find("${pid}")) != std::string::npos;) text.replace(at, 6, pid);
    if (app_->MainWindow() == nullptr) return text;
    return Substitute(text, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(app_->MainWindow())));
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

  // The log as read so far. Lines are only ever added at the end, so only
  // the new ones are read; the tool empties its log as it ends, and the
  // transcript then keeps what was seen.
  const Lines& Log() {
    if (!app_ || !app_->Running() || app_->LogWindow() == nullptr) return transcript_;
    try {
      for (std::string& line : driver::ListItems(app_->LogWindow(), transcript_.size())) {
        transcript_.push_back(std::move(line));
      }
    } catch (const driver::Failure&) {
      // Unreadable now (the tool is ending); the transcript keeps what was seen.
    }
    return transcript_;
  }

  void Refresh() { Log(); }

  // Polls the log until it has more than `count` lines; returns it.
  const Lines& WaitLogBeyond(std::size_t count) {
    driver::PollUntil([&] { return Log().size() > count; }, options_.timeoutMs);
    return transcript_;
  }

  // --- Failure evidence --------------------------------------------------

  // The desktop as SCENARIO.fail.bmp, the driver's dump, and the working
  // folder kept.
  void KeepEvidence(const std::string& message) {
    if (!app_) return;
    if (!driverFailed_) {
      try {
        app_->Fail(message);
      } catch (const driver::Failure& failure) {
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

  // The log as seen; of a long one the first and the last lines.
  void PrintTranscript() const {
    constexpr std::size_t kHead = 100;
    constexpr std::size_t kTail = 300;
    const std::size_t count = transcript_.size();
    std::printf("--- log transcript (%zu lines)\n", count);
    for (std::size_t i = 0; i < count; ++i) {
      if (count > kHead + kTail && i == kHead) {
        std::printf("     ... %zu lines ...\n", count - kHead - kTail);
        i = count - kTail;
      }
      std::printf("%4zu |%s|\n", i + 1, transcript_[i].c_str());
    }
    std::printf("---\n");
  }

  // --- Steps ---------------------------------------------------------------

  void RunStep(const Step& step) {
    const std::string& key = step.key;
    const std::vector<Word>& a = step.args;
    if (key == "file") return File(step);
    if (key == "remove") return Remove(step);
    if (key == "copy") {
      const std::string from = ToolFile(a[0].text);
      if (!CopyFileA(from.c_str(), App(step).PathOf(a[1].text).c_str(), FALSE)) {
        throw StepError{"copy: cannot copy " + from};
      }
      return;
    }
    if (key == "place") {
      const HWND window = Target(step, a[0].text);
      SetWindowPos(window, nullptr, static_cast<int>(Number(a[1])), static_cast<int>(Number(a[2])),
                   static_cast<int>(Number(a[3])), static_cast<int>(Number(a[4])), SWP_NOZORDER | SWP_NOACTIVATE);
      return;
    }
    if (key == "scroll") {
      SendMessageTimeoutA(Target(step, "log"), LB_SETTOPINDEX, static_cast<WPARAM>(Number(a[1])), 0, SMTO_ABORTIFHUNG,
                          options_.timeoutMs, nullptr);
      return;
    }
    if (key == "start") return Start(step);
    if (key == "screenshot") return Screenshot(step);
    if (key == "exit") {
      Refresh();
      return App(step).Exit();
    }
    if (key == "close") {
      Refresh();
      if (a.empty()) return App(step).CloseBox();
      return CloseLog(step);
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
    if (key == "expect field") return ExpectField(step);
    if (key == "expect items" || key == "expect item-contains") return ExpectItems(step);
    if (key == "expect log" || key == "expect log-contains") return ExpectLogLine(step);
    if (key == "expect log-find") return ExpectLogFind(step);
    if (key == "expect log-end") return ExpectLogEnd(step);
    if (key == "skip log") return SkipLog(step);
    if (key == "expect journal" || key == "expect journal-contains") return ExpectJournal(step);
    if (key == "expect journal-end") return ExpectJournalEnd(step);
    if (key == "expect journal-count") {
      const std::string text = Text(a[0]);
      std::int64_t count = 0;
      for (const std::string& line : App(step).Journal()) count += line.find(text) != std::string::npos ? 1 : 0;
      if (count != Number(a[1])) {
        throw Mismatch{"journal lines holding " + ShowText(text), a[1].text, std::to_string(count)};
      }
      return;
    }
    if (key == "expect file") return ExpectFile(step);
    if (key == "expect file-log") {
      std::string expected;
      for (const std::string& line : App(step).LogLines()) expected += line + "\r\n";
      const std::string actual = App(step).FileExists(a[0].text) ? App(step).ReadFile(a[0].text) : "no such file";
      if (actual != expected) throw Mismatch{"file " + a[0].text, ShowText(expected), ShowText(actual)};
      return;
    }
    if (key == "expect no-file") {
      if (App(step).FileExists(a[0].text)) throw Mismatch{"file " + a[0].text, "no such file", "it exists"};
      return;
    }
    if (key == "expect window") return ExpectWindow(step);
    if (key == "expect menu") return ExpectMenu(step);
    if (key == "expect device-text") return ExpectDeviceText(step);
    if (key.rfind("bench ", 0) == 0) return Bench(step);
    if (key == "ctl") return Ctl(step);
    if (key == "expect ctl-output" || key == "expect ctl-log") return ExpectCtlOutput(step);
    if (key == "pipe") return Pipe(step);
    if (key == "expect reply") return ExpectReply(step);
    throw StepError{"step " + key + " is not known to this runner"};
  }

  // The text of "file" and "expect file": TEXT, or TEXT "times" N.
  std::string FileBytes(const Step& step) const {
    const std::string text = Text(step.args[1]);
    if (step.args.size() < 4) return text;
    std::string bytes;
    for (std::int64_t i = Number(step.args[3]); i > 0; --i) bytes += text;
    return bytes;
  }

  void File(const Step& step) {
    const std::string name = step.args[0].text;
    if (!app_) {
      files_.emplace_back(name, FileBytes(step));
      return;
    }
    app_->WriteFile(name, FileBytes(step));
  }

  void Remove(const Step& step) {
    const std::string& name = step.args[0].text;
    if (!app_) throw StepError{"remove: the tool is not started (files made before start are listed with file)"};
    app_->RemoveFile(name);
    if (app_->FileExists(name)) throw StepError{"remove: " + name + " cannot be removed"};
  }

  // The window a step names: main, log, bench, dialog (the current one), or
  // null for the desktop.
  HWND Target(const Step& step, const std::string& which) {
    driver::Revediz& app = App(step);
    HWND window = nullptr;
    if (which == "main") window = app.MainWindow();
    if (which == "log") window = app.LogWindow();
    if (which == "bench") window = app.WaitBench(options_.timeoutMs).hwnd();
    if (which == "dialog") window = CurrentDialog(step).hwnd();
    if (which != "desktop" && window == nullptr) throw StepError{"there is no " + which + " window"};
    return window;
  }

  // Saves a picture (BMP) of the desktop or of one window in the --out folder.
  void Screenshot(const Step& step) {
    const HWND window = step.args.size() > 1 ? Target(step, step.args[1].text) : nullptr;
    const std::string path = JoinPath(options_.outDir, step.args[0].text);
    Sleep(300);  // lets the last paint reach the screen
    if (!driver::SaveScreenshot(path, window)) throw StepError{"screenshot: cannot save " + path};
  }

  void CloseLog(const Step& step) {
    const HWND log = Target(step, "log");
    PostMessageA(log, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (!driver::PollUntil([&] { return !IsWindow(log); }, options_.timeoutMs)) {
      throw Mismatch{"log window", "closed", "still there"};
    }
  }

  void ExpectWindow(const Step& step) {
    const std::string& field = step.args[1].text;
    const std::string expected = Text(step.args[2]);
    const HWND window = Target(step, step.args[0].text);
    std::string actual;
    if (field == "class") {
      char name[256] = {};
      GetClassNameA(window, name, sizeof name);
      actual = name;
    } else if (field == "text") {
      actual = driver::WindowText(window);
    } else if (field == "style") {
      // The bits named must be set: "0x00CF0000" checks an overlapped window
      // whatever else its style holds.
      const auto bits = static_cast<std::uint32_t>(Number(step.args[2]));
      const auto style = static_cast<std::uint32_t>(GetWindowLongA(window, GWL_STYLE));
      char text[32];
      std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(style));
      if ((style & bits) != bits) throw Mismatch{"style of the " + step.args[0].text + " window", "bits " + expected, text};
      return;
    } else if (field == "extent") {
      DWORD_PTR extent = 0;
      SendMessageTimeoutA(window, LB_GETHORIZONTALEXTENT, 0, 0, SMTO_ABORTIFHUNG, options_.timeoutMs, &extent);
      actual = std::to_string(extent);
    } else {
      // Position in the parent's client area (the desktop's for a top-level
      // window), and width.
      RECT rect = {};
      GetWindowRect(window, &rect);
      MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
      const long value = field == "x" ? rect.left : field == "y" ? rect.top : rect.right - rect.left;
      actual = std::to_string(value);
    }
    if (actual != expected) throw Mismatch{field + " of the " + step.args[0].text + " window", ShowText(expected), ShowText(actual)};
  }

  // The menu bar as the program's resources hold it: the first word is the
  // popup's title, then one word per item, "ID TEXT" or "-" for a separator.
  // (A menu of another process cannot be read item by item under Wine, so
  // it is read from the program file.)
  void ExpectMenu(const Step& step) {
    driver::Revediz& app = App(step);
    if (GetMenu(app.MainWindow()) == nullptr) throw Mismatch{"menu", "a menu bar", "the main window has none"};
    const std::string program = app.PathOf("REVEDIZ.exe");
    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HMENU menu = module == nullptr ? nullptr : LoadMenuA(module, "WinPOSMenu");
    Lines actual;
    char text[256] = {};
    if (menu != nullptr && GetMenuItemCount(menu) == 1) {
      GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
      actual.push_back(text);
      HMENU popup = GetSubMenu(menu, 0);
      for (int i = 0; popup != nullptr && i < GetMenuItemCount(popup); ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        text[0] = '\0';
        GetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &info);
        std::string item = (info.fType & MFT_SEPARATOR) ? "-" : std::to_string(info.wID) + " " + text;
        if (!(info.fType & MFT_SEPARATOR) && (info.fState & (MFS_GRAYED | MFS_DISABLED))) item += " (greyed)";
        actual.push_back(item);
      }
    }
    if (menu != nullptr) DestroyMenu(menu);
    if (module != nullptr) FreeLibrary(module);
    Lines expected;
    for (const Word& word : step.args) expected.push_back(Text(word));
    if (actual != expected) throw Mismatch{"menu WinPOSMenu", ShowLines(expected), ShowLines(actual)};
  }

  // A file named by the scenario: absolute, or relative to the tool folder.
  std::string ToolFile(const std::string& name) const {
    const bool absolute = (name.size() > 1 && name[1] == ':') || (!name.empty() && (name[0] == '\\' || name[0] == '/'));
    return absolute ? driver::WindowsPath(name) : JoinPath(options_.toolDir, name);
  }

  void Start(const Step& step) {
    if (app_ && app_->Running()) throw StepError{"start: the tool is running already"};
    driver::StartOptions start;
    start.timeoutMs = options_.timeoutMs;
    start.programPath = JoinPath(options_.toolDir, "REVEDIZ.exe");
    start.dataDir = options_.toolDir;
    start.libraryPath = JoinPath(options_.toolDir, "vavuro32.dll");
    start.extraFiles = files_;
    start.workDir = JoinPath(options_.workParent, "revediz-run-" + Stem(options_.scenarioPath) + "-" +
                                                      std::to_string(GetCurrentProcessId()) + "-" +
                                                      std::to_string(++starts_));
    const std::vector<Word>& a = step.args;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (!a[i].quoted && a[i].text == "missing") continue;
      if (!a[i].quoted && a[i].text == "no-library") {
        start.libraryPath.clear();
      } else if (!a[i].quoted && a[i].text == "library") {
        start.libraryPath = ToolFile(a[++i].text);
      } else {
        start.omitDataFiles.push_back(a[i].text);
      }
    }
    dialog_.reset();
    box_.reset();
    logCursor_ = 0;
    journalCursor_ = 0;
    transcript_.clear();
    app_.reset();
    // Without all the files the tool shows its start-up box and no window.
    if (start.omitDataFiles.empty()) {
      app_.emplace(driver::Revediz::Start(start));
    } else {
      app_.emplace(driver::Revediz::Launch(start));
    }
    if (FirstPass()) std::printf("  [folder %s]", app_->WorkDir().c_str());
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
    for (const driver::Revediz::WindowInfo& w : app_->TopLevelWindows()) {
      if (!w.visible || w.className != "#32770") continue;
      out += (out.empty() ? "" : "; ") + std::string(w.owned ? "dialog " : "box ") + ShowText(w.caption);
    }
    return out.empty() ? "no dialog or box showing" : out;
  }

  void WaitDialog(const Step& step) {
    driver::Revediz& app = App(step);
    const std::string caption = Text(step.args[0]);
    std::optional<driver::Dialog> found;
    // The simulator's device bench is acted on like a dialog.
    const bool bench = caption == VAVURO_BENCH_TITLE;
    driver::PollUntil([&] {
      if (bench) return app.HasBench();
      for (const driver::Dialog& dialog : app.Dialogs()) {
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
    driver::Dialog& dialog = CurrentDialog(step);
    const HWND hwnd = dialog.hwnd();
    if (!driver::PollUntil([&] { return !IsWindow(hwnd); }, options_.timeoutMs)) {
      throw Mismatch{"dialog state", "dialog " + ShowText(dialogCaption_) + " closed", "still open; " + ScreenNow()};
    }
  }

  void PressOk(const Step& step) {
    driver::Revediz& app = App(step);
    if (!box_) {
      box_ = app.WaitAnyBox(options_.timeoutMs);
    }
    driver::Box box = *box_;
    box_.reset();
    box.Ok(options_.timeoutMs);
  }

  static std::string ShowBox(const std::string& caption, const std::string& text) {
    return "box " + ShowText(caption) + " " + ShowText(text);
  }

  void ExpectBox(const Step& step) {
    driver::Revediz& app = App(step);
    const bool anyCaption = !step.args[0].quoted && step.args[0].text == "*";
    const std::string caption = Text(step.args[0]);
    const std::string text = Text(step.args[1]);
    std::vector<driver::Box> boxes;
    std::optional<driver::Box> match;
    ULONGLONG firstNear = 0;  // when a box of that caption (but other text) showed
    driver::PollUntil([&] {
      boxes = app.Boxes();
      bool nearMiss = false;
      for (const driver::Box& box : boxes) {
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
    for (const driver::Box& box : boxes) actual += (actual.empty() ? "" : "; ") + ShowBox(box.caption, box.text);
    if (actual.empty()) actual = "no message box";
    throw Mismatch{"message box", ShowBox(anyCaption ? "*" : caption, text), actual};
  }

  void ExpectNoBox(const Step& step) {
    std::string actual;
    for (const driver::Box& box : App(step).Boxes()) {
      actual += (actual.empty() ? "" : "; ") + ShowBox(box.caption, box.text);
    }
    if (!actual.empty()) throw Mismatch{"message boxes", "no message box", actual};
  }

  // A field's text; polled, since the bench's fields change on its own thread.
  void ExpectField(const Step& step) {
    const std::string expected = Text(step.args[1]);
    std::string actual;
    driver::PollUntil([&] { return (actual = CurrentDialog(step).Text(Id(step.args[0]))) == expected; },
                      options_.timeoutMs);
    if (actual != expected) throw Mismatch{"field " + step.args[0].text, ShowText(expected), ShowText(actual)};
  }

  // The entries of a list (all of them, or one holding a text); polled.
  void ExpectItems(const Step& step) {
    const bool one = step.key == "expect item-contains";
    Lines expected;
    for (std::size_t i = 1; i < step.args.size(); ++i) expected.push_back(Text(step.args[i]));
    Lines actual;
    const bool good = driver::PollUntil([&] {
      actual = CurrentDialog(step).Items(Id(step.args[0]));
      if (!one) return actual == expected;
      for (const std::string& item : actual) {
        if (item.find(expected[0]) != std::string::npos) return true;
      }
      return false;
    }, options_.timeoutMs);
    if (!good) {
      throw Mismatch{"items of " + step.args[0].text, one ? "an entry holding " + ShowText(expected[0]) : ShowLines(expected),
                     ShowLines(actual)};
    }
  }


  std::string LogLineName(std::size_t index) const { return "log line " + std::to_string(index + 1); }

  void ExpectLogLine(const Step& step) {
    App(step);
    const bool contains = step.key == "expect log-contains";
    const std::string expected = Text(step.args[0]);
    const Lines& lines = WaitLogBeyond(logCursor_);
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
    std::size_t at = logCursor_;
    const bool seen = driver::PollUntil([&] {
      const Lines& lines = Log();
      for (; at < lines.size(); ++at) {
        if (lines[at] == expected) return true;
      }
      return false;
    }, options_.timeoutMs);
    const Lines& lines = transcript_;
    if (!seen) {
      const Lines rest(lines.begin() + static_cast<std::ptrdiff_t>(std::min(logCursor_, lines.size())), lines.end());
      throw Mismatch{"log from line " + std::to_string(logCursor_ + 1), "a line " + ShowText(expected),
                     ShowLines(rest)};
    }
    logCursor_ = at + 1;
  }

  void ExpectLogEnd(const Step& step) {
    App(step);
    const Lines& lines = Log();
    if (lines.size() > logCursor_) {
      const Lines rest(lines.begin() + static_cast<std::ptrdiff_t>(logCursor_), lines.end());
      throw Mismatch{"log after line " + std::to_string(logCursor_), "no more lines", ShowLines(rest)};
    }
  }

  void SkipLog(const Step& step) {
    App(step);
    const auto count = static_cast<std::size_t>(Number(step.args[0]));
    if (count == 0) return;
    const Lines& lines = WaitLogBeyond(logCursor_ + count - 1);
    if (lines.size() < logCursor_ + count) {
      throw Mismatch{"log", std::to_string(logCursor_ + count) + " lines or more",
                     std::to_string(lines.size()) + " lines"};
    }
    logCursor_ += count;
  }

  void ExpectJournal(const Step& step) {
    driver::Revediz& app = App(step);
    const bool contains = step.key == "expect journal-contains";
    const std::string expected = Text(step.args[0]);
    Lines lines;
    std::size_t at = 0;
    const bool seen = driver::PollUntil([&] {
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

  void ExpectJournalEnd(const Step& step) {
    const Lines lines = App(step).Journal();
    if (lines.size() > journalCursor_) {
      const Lines rest(lines.begin() + static_cast<std::ptrdiff_t>(journalCursor_), lines.end());
      throw Mismatch{"journal after line " + std::to_string(journalCursor_), "no more lines", ShowLines(rest)};
    }
  }

  void ExpectFile(const Step& step) {
    driver::Revediz& app = App(step);
    const std::string name = step.args[0].text;
    const std::string expected = FileBytes(step);
    if (!app.FileExists(name)) throw Mismatch{"file " + name, ShowText(expected), "no such file"};
    const std::string actual = app.ReadFile(name);
    if (actual != expected) throw Mismatch{"file " + name, ShowText(expected), ShowText(actual)};
  }

  void ExpectDeviceText(const Step& step) {
    const sim::Reply reply = App(step).Control("text " + sim::QuoteWord(step.args[0].text), options_.timeoutMs);
    if (!reply.ok) throw StepError{"device " + step.args[0].text + ": " + reply.text};
    std::string actual;
    for (const std::string& line : reply.lines) actual += line + "\n";
    const std::string expected = Text(step.args[1]);
    if (actual != expected) throw Mismatch{"text of " + step.args[0].text, ShowText(expected), ShowText(actual)};
  }

  // Bench steps: one request line each to the simulator's control pipe.
  // (The bench window is acted on as a dialog: dialog "Device Bench".)
  void Bench(const Step& step) {
    std::int64_t expected = 0;
    const std::string line = ControlLine(step, &expected);
    const sim::Reply reply = App(step).Control(line, options_.timeoutMs);
    if (!reply.ok && reply.status == 0) throw StepError{step.key + ": " + reply.text};
    if (reply.status != expected) {
      throw Mismatch{line + " result", std::to_string(expected), std::to_string(reply.status)};
    }
  }

  // vavuro-ctl, beside the tool, run as the operator would (with the tool's
  // process id, as several tools may run at once).
  void Ctl(const Step& step) {
    std::vector<std::string> words = {"--pid", std::to_string(App(step).ProcessId())};
    std::size_t count = step.args.size();
    std::int64_t exits = 0;
    if (count >= 2 && !step.args[count - 2].quoted && step.args[count - 2].text == "exits") {
      exits = Number(step.args[count - 1]);
      count -= 2;
    }
    for (std::size_t i = 0; i < count; ++i) words.push_back(Text(step.args[i]));
    std::string why;
    if (!RunCtl(ToolFile("vavuro-ctl.exe"), words, App(step).PathOf(""), options_.timeoutMs, &ctl_, &why)) {
      throw StepError{"ctl: " + why};
    }
    if (ctl_.exitCode != static_cast<DWORD>(exits)) {
      throw Mismatch{"vavuro-ctl exit status", std::to_string(exits),
                     std::to_string(ctl_.exitCode) + ", output " + ShowText(ctl_.output)};
    }
  }

  void ExpectCtlOutput(const Step& step) {
    std::string expected;
    if (step.key == "expect ctl-log") {
      for (const std::string& line : App(step).LogLines()) expected += line + "\n";
    } else {
      expected = Text(step.args[0]);
    }
    if (ctl_.output != expected) throw Mismatch{"output of vavuro-ctl", ShowText(expected), ShowText(ctl_.output)};
  }

  // A raw line to the pipe, a client that never writes, or its end.
  void Pipe(const Step& step) {
    if (idle_ != INVALID_HANDLE_VALUE) CloseHandle(idle_);
    idle_ = INVALID_HANDLE_VALUE;
    const std::vector<Word>& a = step.args;
    if (!a[0].quoted && a[0].text == "close") return;
    std::string why;
    if (!a[0].quoted) {
      bool missing = false;
      idle_ = sim::ConnectControlPipe(App(step).ProcessId(), 0, options_.timeoutMs, &missing, &why);
      if (idle_ == INVALID_HANDLE_VALUE) throw StepError{"pipe: " + why};
      return;
    }
    std::string line;
    for (std::int64_t n = a.size() == 3 ? Number(a[2]) : 1; n > 0; --n) line += Text(a[0]);
    reply_ = App(step).Control(line, options_.timeoutMs);
  }

  void ExpectReply(const Step& step) {
    const std::string expected = Text(step.args[0]);
    if (ReplyHead(reply_) != expected) throw Mismatch{"reply", ShowText(expected), ShowText(ReplyHead(reply_))};
  }

  // One running repeat: its step, the passes done, the passes wanted.
  struct Loop {
    std::size_t start;
    std::int64_t done;
    std::int64_t times;
  };

  bool FirstPass() const {
    for (const Loop& loop : loops_) {
      if (loop.done > 0) return false;
    }
    return true;
  }

  // " (pass 3 of 10)" for each repeat the step is in.
  std::string Passes() const {
    std::string out;
    for (const Loop& loop : loops_) {
      out += " (pass " + std::to_string(loop.done + 1) + " of " + std::to_string(loop.times) + ")";
    }
    return out;
  }

  const Options& options_;
  const Scenario& scenario_;
  std::vector<Loop> loops_;
  std::optional<driver::Revediz> app_;
  std::optional<driver::Dialog> dialog_;
  std::string dialogCaption_;
  std::optional<driver::Box> box_;
  std::vector<std::pair<std::string, std::string>> files_;
  std::size_t logCursor_ = 0;
  std::size_t journalCursor_ = 0;
  Lines transcript_;
  int starts_ = 0;
  bool driverFailed_ = false;
  CtlRun ctl_;
  sim::Reply reply_;
  HANDLE idle_ = INVALID_HANDLE_VALUE;
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
      options->toolDir = driver::WindowsPath(argv[++i]);
    } else if (arg == "--work") {
      options->workParent = driver::WindowsPath(argv[++i]);
    } else if (arg == "--out") {
      options->outDir = driver::WindowsPath(argv[++i]);
    } else if (arg == "--timeout") {
      std::int64_t ms = 0;
      if (!ParseNumber(argv[++i], &ms) || ms <= 0) return false;
      options->timeoutMs = static_cast<DWORD>(ms);
    } else if (!arg.empty() && arg[0] == '-') {
      return false;
    } else if (options->scenarioPath.empty()) {
      options->scenarioPath = driver::WindowsPath(arg);
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
