// The driver of REVEDIZ.exe: see driver.h for the contract.
#include "runner/driver/driver.h"

#include "simulator/bench_ids.h"
#include "simulator/control_client.h"

#include <cstdio>
#include <exception>
#include <sstream>
#include <utility>

namespace driver {

namespace detail {

struct Session {
  std::string workDir;
  HANDLE process = nullptr;
  DWORD pid = 0;
  HWND main = nullptr;
  DWORD timeoutMs = kDefaultTimeoutMs;
  bool failed = false;  // a driver wait failed (the exception is on its way)

  ~Session() {
    if (process != nullptr) CloseHandle(process);
  }
  bool Running() const { return process != nullptr && WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }
  DWORD ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process != nullptr) GetExitCodeProcess(process, &code);
    return code;
  }
  std::vector<Revediz::WindowInfo> TopLevelWindows() const;
  HWND LogWindow() const;
  std::string Dump() const;
  [[noreturn]] void Fail(const std::string& message);
};

}  // namespace detail

namespace {

constexpr DWORD kPollMs = 20;
constexpr UINT kSendTimeoutMs = 5000;
constexpr char kMainClass[] = "REVEDIZ";
constexpr char kDialogClass[] = "#32770";
constexpr char kLogCaption[] = "Command and Status";
constexpr int kBoxTextId = 0xFFFF;

std::string ClassOf(HWND hwnd) {
  char name[256] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

bool IsClass(HWND hwnd, const char* name) { return lstrcmpiA(ClassOf(hwnd).c_str(), name) == 0; }

// Caption of a top-level window; GetWindowText reads it without a message
// round trip for windows of other processes, so a hung program cannot block.
std::string CaptionOf(HWND hwnd) {
  char text[1024] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return {};
  int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size, nullptr, nullptr);
  return out;
}

// SendMessageTimeout that reports whether the message was handled.
bool SendA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result, UINT timeoutMs = kSendTimeoutMs) {
  DWORD_PTR value = 0;
  LRESULT ok = SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, timeoutMs, &value);
  if (result != nullptr) *result = value;
  return ok != 0;
}

bool SendW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
  DWORD_PTR value = 0;
  LRESULT ok = SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &value);
  if (result != nullptr) *result = value;
  return ok != 0;
}

// Built by appending: GCC 12 at -O3 misreads `"\"" + std::string(...)` as an
// overlapping copy (-Wrestrict).
std::string Quote(std::string_view text) {
  std::string quoted(1, '"');
  quoted.append(text).push_back('"');
  return quoted;
}

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string path(dir);
  if (!path.empty() && path.back() != '\\') path += '\\';
  path += name;
  return path;
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Creates a folder and its missing parents.
void MakeDirs(const std::string& path) {
  if (path.empty() || PathExists(path)) return;
  size_t cut = path.find_last_of('\\');
  if (cut != std::string::npos && cut > 2) MakeDirs(path.substr(0, cut));
  CreateDirectoryA(path.c_str(), nullptr);
}

// Removes a folder with everything in it.
void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(JoinPath(path, "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = JoinPath(path, name);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path.c_str());
}

std::string FileName(const std::string& path) {
  size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

void Copy(const std::string& from, const std::string& to) {
  if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) {
    throw Failure("cannot copy " + from + " to " + to + " (error " + std::to_string(GetLastError()) + ")");
  }
}

void WriteBytes(const std::string& path, std::string_view bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw Failure("cannot create " + path);
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != bytes.size()) throw Failure("cannot write " + path);
}

// Reads a whole file that another process may hold open for writing.
bool ReadBytes(const std::string& path, std::string* bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes->clear();
  char chunk[8192];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes->append(chunk, got);
  CloseHandle(file);
  return true;
}

struct EnumState {
  DWORD pid;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lParam) {
  auto* state = reinterpret_cast<EnumState*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == state->pid) state->windows.push_back(hwnd);
  return TRUE;
}

std::vector<HWND> WindowsOf(DWORD pid) {
  EnumState state{pid, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
  return state.windows;
}

bool IsBox(HWND hwnd) { return IsClass(hwnd, kDialogClass) && GetWindow(hwnd, GW_OWNER) == nullptr; }
bool IsOwnedDialog(HWND hwnd) { return IsClass(hwnd, kDialogClass) && GetWindow(hwnd, GW_OWNER) != nullptr; }

std::string BoxText(HWND box) {
  HWND text = GetDlgItem(box, kBoxTextId);
  return text == nullptr ? std::string() : WindowText(text);
}

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

std::string WindowText(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendA(hwnd, WM_GETTEXTLENGTH, 0, 0, &length)) return CaptionOf(hwnd);
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  if (!SendA(hwnd, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data()), &copied)) {
    return CaptionOf(hwnd);
  }
  text.resize(copied < text.size() ? copied : text.size() - 1);
  return text;
}

std::vector<std::string> ListItems(HWND control, std::size_t first) {
  bool combo = IsClass(control, "ComboBox");
  UINT getCount = combo ? CB_GETCOUNT : LB_GETCOUNT;
  UINT getLength = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
  UINT getText = combo ? CB_GETLBTEXT : LB_GETTEXT;
  std::vector<std::string> items;
  DWORD_PTR count = 0;
  if (!SendW(control, getCount, 0, 0, &count)) throw Failure("the list does not answer (hung?)");
  if (static_cast<LRESULT>(count) < 0) return items;
  for (DWORD_PTR i = first; i < count; ++i) {
    DWORD_PTR length = 0;
    if (!SendW(control, getLength, i, 0, &length) || static_cast<LRESULT>(length) < 0) {
      throw Failure("cannot read the length of list item " + std::to_string(i));
    }
    // Room to spare: the wide text is never longer than its length.
    std::wstring wide(length + 16, L'\0');
    DWORD_PTR copied = 0;
    if (!SendW(control, getText, i, reinterpret_cast<LPARAM>(wide.data()), &copied) ||
        static_cast<LRESULT>(copied) < 0) {
      throw Failure("cannot read list item " + std::to_string(i));
    }
    wide.resize(copied <= length ? copied : length);
    items.push_back(Narrow(wide));
  }
  return items;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

std::string WindowsPath(std::string_view path) {
  std::string out;
  if (!path.empty() && path.front() == '/') out = "Z:";
  for (char c : path) out += c == '/' ? '\\' : c;
  while (out.size() > 3 && out.back() == '\\') out.pop_back();
  return out;
}

const std::vector<std::string>& DataFileNames() {
  static const std::vector<std::string> kNames = {
      "PRESOURC.DAT", "PIOCTLRE.DAT", "PSYSTEM.DAT", "PDEVICE.DAT", "PALARM.DAT",   "PDISPLAY.DAT",
      "PDRAWER.DAT",  "PKEYBRD.DAT",  "PMSR.DAT",    "PNVRAM.DAT",  "PPOWER.DAT",   "PPRINTER.DAT",
      "PPOSRS23.DAT", "PSCALE.DAT",   "PSCANNER.DAT", "PTOUCH.DAT"};
  return kNames;
}

// --- Session ----------------------------------------------------------------

namespace detail {

std::vector<Revediz::WindowInfo> Session::TopLevelWindows() const {
  std::vector<Revediz::WindowInfo> infos;
  for (HWND hwnd : WindowsOf(pid)) {
    infos.push_back({hwnd, ClassOf(hwnd), CaptionOf(hwnd), IsWindowVisible(hwnd) != FALSE,
                     GetWindow(hwnd, GW_OWNER) != nullptr});
  }
  return infos;
}

HWND Session::LogWindow() const {
  if (main == nullptr || !IsWindow(main)) return nullptr;
  return FindWindowExA(main, nullptr, "LISTBOX", kLogCaption);
}

std::string Session::Dump() const {
  std::ostringstream out;
  out << "--- screen of REVEDIZ (process " << pid << ", folder " << workDir << ")\n";
  if (!Running()) out << "process ended with status " << ExitCode() << "\n";
  out << "top-level windows:\n";
  for (const Revediz::WindowInfo& w : TopLevelWindows()) {
    out << "  [" << w.className << "] " << Quote(w.caption) << (w.visible ? " visible" : " hidden")
        << (w.owned ? " owned" : "");
    if (w.className == kDialogClass && !w.owned) out << " text " << Quote(BoxText(w.hwnd));
    out << "\n";
  }
  HWND log = LogWindow();
  if (log == nullptr) {
    out << "no log window\n";
  } else {
    try {
      std::vector<std::string> lines = ListItems(log);
      out << "log (" << lines.size() << " lines):\n";
      for (const std::string& line : lines) out << "  |" << line << "|\n";
    } catch (const Failure& failure) {
      out << "log unreadable: " << failure.what() << "\n";
    }
  }
  out << "---";
  return out.str();
}

void Session::Fail(const std::string& message) {
  failed = true;
  std::string text = message + "\n" + Dump();
  if (!workDir.empty()) {
    SaveScreenshot(JoinPath(workDir, "failure.bmp"));
    text += "\nscreenshot and files kept in " + workDir;
  }
  throw Failure(text);
}

}  // namespace detail

// --- Dialog -------------------------------------------------------------------

std::string Dialog::Caption() const { return CaptionOf(hwnd_); }

HWND Dialog::Control(int id) const {
  HWND control = GetDlgItem(hwnd_, id);
  if (control == nullptr) session_->Fail("dialog " + Quote(Caption()) + " has no control " + std::to_string(id));
  return control;
}

std::string Dialog::Text(int id) const { return WindowText(Control(id)); }

void Dialog::SetText(int id, std::string_view text) const {
  std::string value(text);
  if (!SendA(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()), nullptr)) {
    session_->Fail("cannot set the text of control " + std::to_string(id));
  }
}

void Dialog::Click(int id) const {
  HWND control = GetDlgItem(hwnd_, id);  // may be absent: the id alone counts
  if (!PostMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control))) {
    session_->Fail("cannot post the click of " + std::to_string(id));
  }
}

void Dialog::Press(int id) const {
  if (!PostMessageA(Control(id), BM_CLICK, 0, 0)) session_->Fail("cannot press " + std::to_string(id));
}

bool Dialog::IsChecked(int id) const {
  DWORD_PTR state = 0;
  if (!SendA(Control(id), BM_GETCHECK, 0, 0, &state)) session_->Fail("cannot read button " + std::to_string(id));
  return state == BST_CHECKED;
}

void Dialog::SetRadio(int id) const {
  Press(id);
  if (!PollUntil([&] { return IsChecked(id); }, session_->timeoutMs)) {
    session_->Fail("radio button " + std::to_string(id) + " did not turn on");
  }
}

std::vector<std::string> Dialog::Items(int id) const { return ListItems(Control(id)); }

int Dialog::Selection(int id) const {
  HWND control = Control(id);
  DWORD_PTR index = 0;
  if (!SendA(control, IsClass(control, "ComboBox") ? CB_GETCURSEL : LB_GETCURSEL, 0, 0, &index)) {
    session_->Fail("cannot read the selection of " + std::to_string(id));
  }
  return static_cast<int>(static_cast<LRESULT>(index));
}

int Dialog::IndexOf(int id, std::string_view item) const {
  std::vector<std::string> items = Items(id);
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == item) return static_cast<int>(i);
  }
  std::string known;
  for (const std::string& each : items) known.append(" ").append(Quote(each));
  session_->Fail("control " + std::to_string(id) + " has no item " + Quote(item) + "; items:" + known);
}

void Dialog::SelectIndex(int id, int index, bool post) const {
  HWND control = Control(id);
  bool combo = IsClass(control, "ComboBox");
  DWORD_PTR result = 0;
  if (!SendA(control, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0, &result) ||
      static_cast<LRESULT>(result) != index) {
    session_->Fail("cannot select item " + std::to_string(index) + " of control " + std::to_string(id));
  }
  WPARAM notify = MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE);
  bool delivered = post ? PostMessageA(hwnd_, WM_COMMAND, notify, reinterpret_cast<LPARAM>(control)) != FALSE
                        : SendA(hwnd_, WM_COMMAND, notify, reinterpret_cast<LPARAM>(control), nullptr,
                                session_->timeoutMs);
  if (!delivered) session_->Fail("the dialog did not take the choice of item " + std::to_string(index));
}

void Dialog::Select(int id, int index) const { SelectIndex(id, index, false); }
void Dialog::Select(int id, std::string_view item) const { SelectIndex(id, IndexOf(id, item), false); }
void Dialog::SelectPosted(int id, std::string_view item) const { SelectIndex(id, IndexOf(id, item), true); }

bool Dialog::IsOpen() const { return IsWindow(hwnd_) && IsWindowVisible(hwnd_); }

void Dialog::WaitClosed(DWORD timeoutMs) const {
  if (!PollUntil([&] { return !IsWindow(hwnd_); }, timeoutMs)) {
    session_->Fail("dialog " + Quote(Caption()) + " did not close");
  }
}

void Dialog::OkAndWaitClosed() const {
  Click(IDOK);
  WaitClosed(session_->timeoutMs);
}

void Dialog::Cancel() const {
  Click(IDCANCEL);
  WaitClosed(session_->timeoutMs);
}

// --- Box ----------------------------------------------------------------------

void Box::Ok(DWORD timeoutMs) const {
  if (!PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDOK)))) {
    if (session) session->Fail("cannot press OK of box " + Quote(caption));
    throw Failure("cannot press OK of box " + Quote(caption));
  }
  if (!PollUntil([&] { return !IsWindow(hwnd); }, timeoutMs)) {
    if (session) session->Fail("box " + Quote(caption) + " did not close");
    throw Failure("box " + Quote(caption) + " did not close");
  }
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
    if (!omitted) Copy(JoinPath(dataDir, name), JoinPath(session->workDir, name));
  }
  for (const auto& [name, bytes] : options.extraFiles) WriteBytes(JoinPath(session->workDir, name), bytes);

  if (!options.libraryPath.empty()) {
    const std::string library = WindowsPath(options.libraryPath);
    if (!PathExists(library)) throw Failure("no library at " + library);
    Copy(library, JoinPath(session->workDir, "vavuro32.dll"));
  }

  // The program runs from a copy in the working folder: the loader looks in
  // the program's own folder first, so it finds exactly the library put
  // there, or none.
  const std::string source = WindowsPath(options.programPath);
  if (source.empty() || !PathExists(source)) throw Failure("no program at " + source);
  const std::string program = JoinPath(session->workDir, FileName(source));
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
std::string Revediz::PathOf(std::string_view fileName) const { return JoinPath(s_->workDir, fileName); }

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
  DWORD_PTR count = 0;
  if (log == nullptr) return 0;
  if (!SendA(log, LB_GETCOUNT, 0, 0, &count)) s_->Fail("the log does not answer");
  return static_cast<int>(static_cast<LRESULT>(count));
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
  if (!ReadBytes(PathOf("vavuro32.jnl"), &bytes)) return {};
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

bool SaveScreenshot(const std::string& path, HWND window) {
  int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  RECT rect;
  if (window != nullptr) {
    if (!GetWindowRect(window, &rect)) return false;
    left = rect.left;
    top = rect.top;
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
  }
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return false;
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY);
  SelectObject(memory, old);

  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
  std::string pixels(static_cast<size_t>(stride) * static_cast<size_t>(height), '\0');
  int lines = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                        reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (lines != height) return false;

  BITMAPFILEHEADER header = {};
  header.bfType = 0x4D42;  // "BM"
  header.bfOffBits = sizeof header + sizeof info;
  header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
  std::string file(reinterpret_cast<const char*>(&header), sizeof header);
  file.append(reinterpret_cast<const char*>(&info), sizeof info);
  file += pixels;
  try {
    WriteBytes(path, file);
  } catch (const Failure&) {
    return false;
  }
  return true;
}


}  // namespace driver
