// The driver of REVEDIZ.exe: see driver.h for the contract.
#include "runner/driver/driver.h"

#include "runner/driver/files.h"
#include "runner/driver/session.h"

#include "resources/resource_files.h"
#include "simulator/bench_ids.h"
#include "simulator/control_client.h"
#include "simulator/journal.h"
#include "toolwindows/paths.h"
#include "toolwindows/tool_windows.h"

#include <cstdio>
#include <exception>
#include <iterator>
#include <utility>

namespace driver {

namespace detail {

bool SendA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result, UINT timeoutMs) {
  return toolwin::Send(hwnd, message, wParam, lParam, result, {timeoutMs, kPatience.flags});
}

std::string BoxText(HWND box) { return toolwin::BoxText(box, kPatience); }

// Built by appending: GCC 12 at -O3 misreads `"\"" + std::string(...)` as an
// overlapping copy (-Wrestrict).
std::string Quote(std::string_view text) {
  std::string quoted(1, '"');
  quoted.append(text).push_back('"');
  return quoted;
}

}  // namespace detail

namespace {

constexpr DWORD kPollMs = 20;

using toolwin::CaptionOf;
using toolwin::IsBox;
using toolwin::IsClass;
using toolwin::IsOwnedDialog;
using toolwin::kMainClass;
using toolwin::WindowsOf;
using detail::Copy;
using detail::MakeDirs;
using detail::PathExists;
using detail::ReadBytes;
using detail::RemoveTree;
using detail::WriteBytes;
using winpath::BaseName;
using winpath::Join;
using detail::BoxText;
using detail::kPatience;
using detail::Quote;
using detail::SendA;

}  // namespace

// --- Free helpers ---------------------------------------------------------

bool PollUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(kPollMs);
  }
}

std::string WindowText(HWND hwnd) { return toolwin::WindowText(hwnd, kPatience); }

std::vector<std::string> ListItems(HWND control, std::size_t first) {
  std::vector<std::string> items;
  std::string why;
  if (!toolwin::ReadListItems(control, first, &items, &why, kPatience)) throw Failure(why);
  return items;
}

int ListCount(HWND control) {
  DWORD_PTR count = 0;
  if (!detail::SendA(control, LB_GETCOUNT, 0, 0, &count)) throw Failure("the list does not answer");
  return static_cast<int>(static_cast<LRESULT>(count));
}

std::vector<std::string> SplitLines(std::string_view text) { return sim::SplitLines(text); }

std::string WindowsPath(std::string_view path) { return winpath::FromBuild(path); }

const std::vector<std::string>& DataFileNames() {
  static const std::vector<std::string> kNames(std::begin(kResourceListFiles), std::end(kResourceListFiles));
  return kNames;
}

// --- Revediz ------------------------------------------------------------------

Revediz Revediz::Launch(const StartOptions& options) {
  auto session = std::make_shared<detail::Session>();
  session->timeoutMs = options.timeoutMs;
  session->workDir = WindowsPath(options.workDir);
  if (session->workDir.empty()) throw Failure("no working folder given");
  RemoveTree(session->workDir);
  MakeDirs(session->workDir);
  if (!PathExists(session->workDir)) throw Failure("cannot create the working folder " + session->workDir);

  const std::string dataDir = WindowsPath(options.dataDir);
  for (const std::string& name : DataFileNames()) {
    bool omitted = false;
    for (const std::string& skip : options.omitDataFiles) omitted = omitted || lstrcmpiA(skip.c_str(), name.c_str()) == 0;
    if (!omitted) Copy(Join(dataDir, name), Join(session->workDir, name));
  }
  for (const auto& [name, bytes] : options.extraFiles) WriteBytes(Join(session->workDir, name), bytes);

  if (!options.libraryPath.empty()) {
    const std::string library = WindowsPath(options.libraryPath);
    if (!PathExists(library)) throw Failure("no library at " + library);
    Copy(library, Join(session->workDir, "vavuro32.dll"));
  }

  // The program runs from a copy in the working folder: the loader looks in
  // the program's own folder first, so it finds exactly the library put
  // there, or none.
  const std::string source = WindowsPath(options.programPath);
  if (source.empty() || !PathExists(source)) throw Failure("no program at " + source);
  const std::string program = Join(session->workDir, BaseName(source));
  Copy(source, program);

  std::string commandLine = Quote(program);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      session->workDir.c_str(), &startup, &info)) {
    throw Failure("cannot start " + program + " (error " + std::to_string(GetLastError()) + ")");
  }
  CloseHandle(info.hThread);
  session->process = info.hProcess;
  session->pid = info.dwProcessId;
  return Revediz(std::move(session));
}

Revediz Revediz::Start(const StartOptions& options) {
  Revediz app = Launch(options);
  app.WaitMainWindow(options.timeoutMs);
  return app;
}

Revediz& Revediz::operator=(Revediz&& other) noexcept {
  if (this != &other) {
    End();
    s_ = std::move(other.s_);
  }
  return *this;
}

Revediz::~Revediz() { End(); }

void Revediz::End() {
  if (!s_) return;
  bool failed = s_->failed || std::uncaught_exceptions() > 0;
  if (s_->Running()) {
    if (failed) std::printf("%s\n", s_->Dump().c_str());
    TerminateProcess(s_->process, 0xDEAD);
    WaitForSingleObject(s_->process, 5000);
  }
  if (failed) {
    std::printf("REVEDIZ working folder kept: %s\n", s_->workDir.c_str());
  } else {
    // The program may hold its files a moment after it ended.
    PollUntil([&] {
      RemoveTree(s_->workDir);
      return !PathExists(s_->workDir);
    }, 2000);
  }
  s_.reset();
}

const std::string& Revediz::WorkDir() const { return s_->workDir; }
std::string Revediz::PathOf(std::string_view fileName) const { return Join(s_->workDir, fileName); }

void Revediz::WriteFile(std::string_view fileName, std::string_view bytes) const { WriteBytes(PathOf(fileName), bytes); }

std::string Revediz::ReadFile(std::string_view fileName) const {
  std::string bytes;
  if (!ReadBytes(PathOf(fileName), &bytes)) s_->Fail("no file " + PathOf(fileName));
  return bytes;
}

bool Revediz::FileExists(std::string_view fileName) const { return PathExists(PathOf(fileName)); }
void Revediz::RemoveFile(std::string_view fileName) const { DeleteFileA(PathOf(fileName).c_str()); }

DWORD Revediz::ProcessId() const { return s_->pid; }
HWND Revediz::MainWindow() const { return s_->main; }

HWND Revediz::WaitMainWindow(DWORD timeoutMs) {
  HWND found = nullptr;
  bool ended = false;
  PollUntil([&] {
    for (HWND hwnd : WindowsOf(s_->pid)) {
      if (IsClass(hwnd, kMainClass) && IsWindowVisible(hwnd)) {
        found = hwnd;
        return true;
      }
    }
    ended = !s_->Running();
    return ended;
  }, timeoutMs);
  if (found == nullptr) {
    s_->Fail(ended ? "the program ended before showing its main window" : "no main window within the time");
  }
  s_->main = found;
  return found;
}

bool Revediz::HasMainWindow() const {
  for (HWND hwnd : WindowsOf(s_->pid)) {
    if (IsClass(hwnd, kMainClass) && IsWindowVisible(hwnd)) return true;
  }
  return false;
}

HWND Revediz::LogWindow() const { return s_->LogWindow(); }

// The mark is the list's sorting locale: the log is unsorted, so nothing it
// shows depends on it. A thread's posted messages are handled in order.
bool Revediz::Drain(DWORD timeoutMs) const {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  const HWND log = s_->LogWindow();
  const auto locale = [&](DWORD_PTR* value) {  // each ask bounded by the time left
    const ULONGLONG now = GetTickCount64();
    const UINT left = now >= deadline ? 1u : static_cast<UINT>(deadline - now);
    return SendMessageTimeoutA(log, LB_GETLOCALE, 0, 0, SMTO_ABORTIFHUNG, left, value) != 0;
  };
  DWORD_PTR was = 0;
  if (log == nullptr || !locale(&was)) return false;
  const LCID english = MAKELCID(0x0409, SORT_DEFAULT), british = MAKELCID(0x0809, SORT_DEFAULT);
  const LCID mark = was == english ? british : english;
  if (!PostMessageA(log, LB_SETLOCALE, mark, 0)) return false;
  const bool seen = PollUntil([&] {
    DWORD_PTR now = 0;
    return locale(&now) && now == mark;
  }, timeoutMs);
  PostMessageA(log, LB_SETLOCALE, was, 0);
  return seen;
}

void Revediz::Menu(WPARAM id) const { Post(WM_COMMAND, id, 0); }

void Revediz::Post(UINT message, WPARAM wParam, LPARAM lParam) const {
  if (s_->main == nullptr) s_->Fail("no main window to post to");
  if (!PostMessageA(s_->main, message, wParam, lParam)) {
    s_->Fail("cannot post message " + std::to_string(message) + " to the main window");
  }
}

void Revediz::Exit() const { Menu(IDM_EXIT); }
void Revediz::CloseBox() const { Post(WM_SYSCOMMAND, SC_CLOSE, 0); }

std::vector<std::string> Revediz::LogLines(std::size_t first) const {
  HWND log = s_->LogWindow();
  if (log == nullptr) return {};
  try {
    return ListItems(log, first);
  } catch (const Failure& failure) {
    s_->Fail(std::string("cannot read the log: ") + failure.what());
  }
}

int Revediz::LogCount() const {
  HWND log = s_->LogWindow();
  if (log == nullptr) return 0;
  try {
    return ListCount(log);
  } catch (const Failure&) {
    s_->Fail("the log does not answer");
  }
}

std::vector<std::string> Revediz::WaitLogCount(int count, DWORD timeoutMs) const {
  if (!PollUntil([&] { return LogCount() >= count; }, timeoutMs)) {
    s_->Fail("the log did not reach " + std::to_string(count) + " lines");
  }
  return LogLines();
}

std::vector<Dialog> Revediz::Dialogs() const {
  std::vector<Dialog> dialogs;
  for (HWND hwnd : WindowsOf(s_->pid)) {
    if (IsOwnedDialog(hwnd) && IsWindowVisible(hwnd)) dialogs.push_back(Dialog(s_, hwnd));
  }
  return dialogs;
}

std::vector<Box> Revediz::Boxes() const {
  std::vector<Box> boxes;
  for (HWND hwnd : WindowsOf(s_->pid)) {
    if (IsBox(hwnd) && IsWindowVisible(hwnd)) boxes.push_back(Box{hwnd, CaptionOf(hwnd), BoxText(hwnd), s_});
  }
  return boxes;
}

Dialog Revediz::WaitDialog(std::string_view caption, DWORD timeoutMs) const {
  HWND found = nullptr;
  PollUntil([&] {
    for (const Dialog& dialog : Dialogs()) {
      if (dialog.Caption() == caption) found = dialog.hwnd();
    }
    return found != nullptr;
  }, timeoutMs);
  if (found == nullptr) s_->Fail("no dialog " + Quote(caption) + " within the time");
  return Dialog(s_, found);
}

Dialog Revediz::WaitBench(DWORD timeoutMs) const {
  HWND found = nullptr;
  PollUntil([&] {
    for (const WindowInfo& window : TopLevelWindows()) {
      if (window.visible && window.className == VAVURO_BENCH_CLASS) found = window.hwnd;
    }
    return found != nullptr;
  }, timeoutMs);
  if (found == nullptr) s_->Fail("no device bench within the time");
  return Dialog(s_, found);
}

bool Revediz::HasBench() const {
  for (const WindowInfo& window : TopLevelWindows()) {
    if (window.className == VAVURO_BENCH_CLASS) return true;
  }
  return false;
}

Box Revediz::WaitBox(std::string_view caption, DWORD timeoutMs) const {
  Box found;
  PollUntil([&] {
    for (Box& box : Boxes()) {
      if (box.caption == caption) {
        found = std::move(box);
        return true;
      }
    }
    return false;
  }, timeoutMs);
  if (found.hwnd == nullptr) s_->Fail("no message box " + Quote(caption) + " within the time");
  return found;
}

Box Revediz::WaitAnyBox(DWORD timeoutMs) const {
  Box found;
  PollUntil([&] {
    std::vector<Box> boxes = Boxes();
    if (boxes.empty()) return false;
    found = std::move(boxes.front());
    return true;
  }, timeoutMs);
  if (found.hwnd == nullptr) s_->Fail("no message box within the time");
  return found;
}

std::vector<Revediz::WindowInfo> Revediz::TopLevelWindows() const { return s_->TopLevelWindows(); }

bool Revediz::Running() const { return s_->Running(); }

DWORD Revediz::WaitExit(DWORD timeoutMs) {
  if (WaitForSingleObject(s_->process, timeoutMs) != WAIT_OBJECT_0) {
    s_->Fail("the program did not end within the time");
  }
  return s_->ExitCode();
}

std::vector<std::string> Revediz::Journal() const {
  std::string bytes;
  if (!ReadBytes(PathOf(sim::kJournalFile), &bytes)) return {};
  return SplitLines(bytes);
}

std::vector<std::string> Revediz::WaitJournal(std::string_view text, DWORD timeoutMs) const {
  std::vector<std::string> lines;
  bool seen = PollUntil([&] {
    lines = Journal();
    for (const std::string& line : lines) {
      if (line.find(text) != std::string::npos) return true;
    }
    return false;
  }, timeoutMs);
  if (!seen) {
    std::string journal;
    for (const std::string& line : lines) journal += "\n  " + line;
    s_->Fail("no journal line with " + Quote(text) + "; journal:" + journal);
  }
  return lines;
}

sim::Reply Revediz::Control(const std::string& line, DWORD timeoutMs) const {
  sim::Reply reply;
  std::string why;
  if (sim::ControlExchange(ProcessId(), line, &reply, &why, timeoutMs) != sim::Exchange::kDone) {
    Fail("control request " + line.substr(0, 200) + ": " + why);
  }
  return reply;
}

std::string Revediz::Dump() const { return s_->Dump(); }
void Revediz::Fail(const std::string& message) const { s_->Fail(message); }


}  // namespace driver
