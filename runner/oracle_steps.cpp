// The oracles as steps: what must hold of any session whatever was done in
// it. The explorer (explore.h) checks them after every chunk of a random
// session, and a scenario it shrinks ends in the one that failed; any other
// scenario may use them too.
#include <windows.h>

#include <psapi.h>

#include "explore/agreement.h"
#include "explore/log_forms.h"
#include "runner/run.h"
#include "runner/steps.h"

namespace runner {
namespace {

// How long the main window may take to answer.
constexpr UINT kAnswerMs = 2000;

// What the tool may hold beyond what it held at the first check of the run:
// enough for fifty notification boxes and every dialog open at once, far
// less than a leak per step over a long session.
constexpr DWORD kMoreUserObjects = 1500;
constexpr DWORD kMoreGdiObjects = 1500;
constexpr SIZE_T kMoreWorkingSet = 64u * 1024 * 1024;

// The boxes of notifications open at most at once (the tool holds the rest
// back), and a margin for the box of the command that was running.
constexpr std::size_t kMostBoxes = 50 + 2;

// Caption of the window Wine shows when a program crashes.
constexpr const char* kCrashCaption = "Program Error";

BOOL CALLBACK FindCrashWindow(HWND hwnd, LPARAM found) {
  char caption[64] = {};
  GetWindowTextA(hwnd, caption, sizeof caption);
  if (!IsWindowVisible(hwnd) || std::string(caption).find(kCrashCaption) == std::string::npos) return TRUE;
  *reinterpret_cast<bool*>(found) = true;
  return FALSE;
}

bool CrashWindowShows() {
  bool found = false;
  EnumWindows(FindCrashWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

bool Run::ToolCrashed() const {
  if (!app || !app->Running()) return false;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, app->ProcessId());
  BOOL debugged = FALSE;
  if (process != nullptr) {
    CheckRemoteDebuggerPresent(process, &debugged);
    CloseHandle(process);
  }
  return debugged != FALSE;
}

void OnExpectAlive(Run& run, const Step& step) {
  driver::Revediz& app = run.App(step);
  if (!app.Running()) {
    throw Mismatch{"the tool", "running", "it has ended with status " + std::to_string(app.WaitExit(0))};
  }
  if (run.ToolCrashed()) throw Mismatch{"the tool", "running", "it crashed (a debugger holds it)"};
  const HWND main = app.MainWindow();
  if (!IsWindow(main)) throw Mismatch{"the main window", "open", "gone; " + run.ScreenNow()};
  // Asked at once, the window would answer before a click posted by the
  // step before is handled, which may be what holds it: it is asked behind
  // what was posted (with the log closed, after the settle time).
  bool drained = true;
  if (app.LogWindow() != nullptr) {
    drained = app.Drain(kAnswerMs);
  } else {
    Sleep(Run::kSettleMs);
  }
  DWORD_PTR answer = 0;
  if (!drained || SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &answer) == 0) {
    throw Mismatch{"the main window", "an answer within 2 s", "no answer; " + run.ScreenNow()};
  }
  // A window that never validates what it paints is sent WM_PAINT without
  // end and keeps a processor busy. Paints wait until the queue holds
  // nothing else (a burst of notifications, say): the step's whole wait.
  if (!driver::PollUntil([main] { return !GetUpdateRect(main, nullptr, FALSE); }, run.timeout())) {
    throw Mismatch{"the main window", "nothing left to paint",
                   "part of it unpainted after " + std::to_string(run.timeout()) + " ms"};
  }
  if (CrashWindowShows()) throw Mismatch{"the screen", "no crash window", scn::ShowText(kCrashCaption) + " shows"};
}

void OnExpectLogForms(Run& run, const Step& step) {
  run.App(step);
  const Lines& lines = run.Log();
  for (; run.formsChecked < lines.size(); ++run.formsChecked) {
    const std::string& line = lines[run.formsChecked];
    if (explore::MatchLogForm(line).empty()) {
      throw Mismatch{"log line " + std::to_string(run.formsChecked + 1), "a line of one of the tool's forms",
                     scn::ShowText(line)};
    }
  }
}

void OnExpectAgreement(Run& run, const Step& step) {
  driver::Revediz& app = run.App(step);
  const Lines& log = run.Log();
  if (const std::optional<explore::Finding> finding = explore::CheckAgreement(log, app.Journal())) {
    throw Mismatch{finding->what, finding->expected, finding->actual};
  }
}

void OnExpectBounded(Run& run, const Step& step) {
  driver::Revediz& app = run.App(step);
  const std::size_t boxes = app.Boxes().size();
  if (boxes > kMostBoxes) {
    throw Mismatch{"message boxes open", "at most " + std::to_string(kMostBoxes), std::to_string(boxes)};
  }
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, app.ProcessId());
  if (process == nullptr) return;  // ended: the alive check says so
  Run::Held now;
  now.user = GetGuiResources(process, GR_USEROBJECTS);
  now.gdi = GetGuiResources(process, GR_GDIOBJECTS);
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process, &memory, sizeof memory)) now.workingSet = memory.WorkingSetSize;
  CloseHandle(process);
  if (!run.heldFirst) {
    run.heldFirst = now;
    return;
  }
  const Run::Held& first = *run.heldFirst;
  const auto over = [](auto value, auto start, auto more) { return value > start + more; };
  if (over(now.user, first.user, kMoreUserObjects)) {
    throw Mismatch{"USER objects of the tool", "at most " + std::to_string(first.user + kMoreUserObjects),
                   std::to_string(now.user)};
  }
  if (over(now.gdi, first.gdi, kMoreGdiObjects)) {
    throw Mismatch{"GDI objects of the tool", "at most " + std::to_string(first.gdi + kMoreGdiObjects),
                   std::to_string(now.gdi)};
  }
  if (over(now.workingSet, first.workingSet, kMoreWorkingSet)) {
    throw Mismatch{"working set of the tool", "at most " + std::to_string((first.workingSet + kMoreWorkingSet) >> 10) + " KiB",
                   std::to_string(now.workingSet >> 10) + " KiB"};
  }
}

}  // namespace runner
