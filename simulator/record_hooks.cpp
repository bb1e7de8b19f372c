// Recording hooks: see record_hooks.h.
#include "simulator/record_hooks.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "res/resource_ids.h"
#include "simulator/host_log.h"
#include "simulator/recorder.h"

namespace sim {
namespace {

constexpr char kDialogClass[] = "#32770";
constexpr int kBoxTextId = 0xFFFF;
constexpr UINT kReadTimeoutMs = 2000;

struct Session {
  explicit Session(HWND window) : recorder(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window))) {}
  Recorder recorder;
  HWND main = nullptr;
  HWND log = nullptr;
  DWORD thread = 0;
  HHOOK hooks[3] = {};
  std::vector<HWND> boxes, dialogs;  // open, as the hooks saw them
  bool ended = false;                // Exit or the close box was recorded
  // A press posted to a dialog: what it left is read once its handler has
  // returned (no box or dialog it opened still open).
  HWND pending = nullptr;
  std::size_t pendingBoxes = 0, pendingDialogs = 0;
};

std::mutex gRecordLock;
std::unique_ptr<Session> gSession;
thread_local bool tInHook = false;  // reading a window sends messages the hooks see

bool IsClass(HWND window, const char* name) {
  char cls[32] = "";
  GetClassNameA(window, cls, sizeof cls);
  return lstrcmpiA(cls, name) == 0;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_BLOCK | SMTO_ABORTIFHUNG, kReadTimeoutMs, &result))
    return -1;
  return static_cast<LRESULT>(result);
}

std::string TextOf(HWND window) {
  const LRESULT length = Send(window, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return "";
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT got = Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got > 0 && got <= length ? static_cast<std::size_t>(got) : 0);
  return text;
}

// The dialog's fields in the order of its template: edits (not read-only),
// combo boxes (a list's chosen entry, an editable one's text), radio buttons.
RecordedFields ReadFields(HWND dialog) {
  RecordedFields fields;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    RecordedField field;
    field.id = GetDlgCtrlID(child);
    if (IsClass(child, "Edit") && (style & ES_READONLY) == 0) {
      field.text = TextOf(child);
    } else if (IsClass(child, "ComboBox")) {
      const bool list = (style & 3) == CBS_DROPDOWNLIST;
      if (list && Send(child, CB_GETCURSEL, 0, 0) < 0) continue;
      field.kind = list ? RecordedField::kChoice : RecordedField::kEdit;
      field.text = TextOf(child);
    } else if (IsClass(child, "Button") && ((style & BS_TYPEMASK) == BS_RADIOBUTTON ||
                                             (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON)) {
      field.kind = RecordedField::kRadio;
      field.checked = Send(child, BM_GETCHECK, 0, 0) == BST_CHECKED;
    } else {
      continue;
    }
    fields.push_back(field);
  }
  return fields;
}

bool IsDialog(HWND window) { return IsClass(window, kDialogClass) && GetWindow(window, GW_OWNER) != nullptr; }
bool IsBox(HWND window) { return IsClass(window, kDialogClass) && GetWindow(window, GW_OWNER) == nullptr; }

// A WM_COMMAND that is a push button's click in a dialog (or OK / Cancel
// from the keyboard): the id, else -1.
int PressedId(HWND dialog, WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) != BN_CLICKED) return -1;
  const HWND control = reinterpret_cast<HWND>(lParam);
  const int id = LOWORD(wParam);
  if (control == nullptr) return id == IDOK || id == IDCANCEL ? id : -1;
  if (GetParent(control) != dialog || !IsClass(control, "Button")) return -1;
  const LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON ? id : -1;
}

bool Contains(const std::vector<HWND>& windows, HWND window) {
  for (HWND each : windows) {
    if (each == window) return true;
  }
  return false;
}

void Erase(std::vector<HWND>& windows, HWND window) {
  for (std::size_t i = 0; i < windows.size(); ++i) {
    if (windows[i] == window) {
      windows.erase(windows.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
  }
}

std::uintptr_t Key(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }

// What a dialog or box that opened shows (read without the lock).
void Opened(HWND window) {
  if (IsBox(window)) {
    const std::string caption = TextOf(window), text = TextOf(GetDlgItem(window, kBoxTextId));
    std::lock_guard<std::mutex> hold(gRecordLock);
    if (!gSession || Contains(gSession->boxes, window)) return;
    gSession->boxes.push_back(window);
    gSession->recorder.BoxShown(Key(window), caption, text);
  } else if (IsDialog(window)) {
    const std::string caption = TextOf(window);
    const RecordedFields fields = ReadFields(window);
    std::lock_guard<std::mutex> hold(gRecordLock);
    if (!gSession || Contains(gSession->dialogs, window)) return;
    gSession->dialogs.push_back(window);
    gSession->recorder.DialogOpened(Key(window), caption, fields);
  }
}

// A press posted earlier whose handler has returned: what it left.
void SettlePending() {
  HWND dialog = nullptr;
  {
    std::lock_guard<std::mutex> hold(gRecordLock);
    if (!gSession || gSession->pending == nullptr || gSession->boxes.size() > gSession->pendingBoxes ||
        gSession->dialogs.size() > gSession->pendingDialogs)
      return;
    dialog = gSession->pending;
    gSession->pending = nullptr;
  }
  const RecordedFields fields = ReadFields(dialog);
  const bool open = IsWindow(dialog) && IsWindowVisible(dialog);
  std::lock_guard<std::mutex> hold(gRecordLock);
  if (gSession) gSession->recorder.PressDone(Key(dialog), fields, open);
}

// A WM_COMMAND or WM_CLOSE reaching a window of the program; `posted` when
// it came from the queue (its handler's end is seen later).
void Command(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool posted) {
  HWND main = nullptr;
  bool dialog = false;
  {
    std::lock_guard<std::mutex> hold(gRecordLock);
    if (!gSession) return;
    main = gSession->main;
    dialog = Contains(gSession->dialogs, window);
  }
  if (window == main) {
    std::lock_guard<std::mutex> hold(gRecordLock);
    if (!gSession) return;
    if (message == WM_CLOSE) {
      gSession->recorder.CloseMain();
      gSession->ended = true;
    } else if (message == WM_COMMAND && lParam == 0 && HIWORD(wParam) == 0) {
      gSession->recorder.Menu(LOWORD(wParam));
      gSession->ended = gSession->ended || LOWORD(wParam) == 107;  // Exit
    }
    return;
  }
  if (!dialog || message != WM_COMMAND) return;
  const int id = PressedId(window, wParam, lParam);
  if (id < 0) return;
  const RecordedFields fields = ReadFields(window);
  std::lock_guard<std::mutex> hold(gRecordLock);
  if (!gSession) return;
  gSession->recorder.Pressed(Key(window), id, fields);
  if (posted) {
    gSession->pending = window;
    gSession->pendingBoxes = gSession->boxes.size();
    gSession->pendingDialogs = gSession->dialogs.size();
  }
}

void Closed(HWND window) {
  std::lock_guard<std::mutex> hold(gRecordLock);
  if (!gSession) return;
  if (Contains(gSession->boxes, window)) {
    Erase(gSession->boxes, window);
    gSession->recorder.BoxClosed(Key(window));
  } else if (Contains(gSession->dialogs, window)) {
    Erase(gSession->dialogs, window);
    gSession->recorder.DialogClosed(Key(window));
    if (gSession->pending == window) gSession->pending = nullptr;
  }
}

void LogLine(HWND window, LPARAM text) {
  std::lock_guard<std::mutex> hold(gRecordLock);
  if (gSession && window == gSession->log && text != 0) gSession->recorder.LogLine(reinterpret_cast<const char*>(text));
}

// Messages sent to the program's windows, before they are handled.
LRESULT CALLBACK CallWndProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && !tInHook) {
    tInHook = true;
    const CWPSTRUCT& m = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (InSendMessage()) SettlePending();  // from another thread: no handler of ours runs
    switch (m.message) {
      case LB_ADDSTRING:
      case LB_INSERTSTRING: LogLine(m.hwnd, m.lParam); break;
      case WM_COMMAND:
      case WM_CLOSE: Command(m.hwnd, m.message, m.wParam, m.lParam, false); break;
      case WM_DESTROY: Closed(m.hwnd); break;
      default: break;
    }
    tInHook = false;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// ... and once handled: a dialog or box has its texts, a press is done.
LRESULT CALLBACK CallWndRetProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && !tInHook) {
    tInHook = true;
    const CWPRETSTRUCT& m = *reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (m.message == WM_INITDIALOG) {
      Opened(m.hwnd);
    } else if (m.message == WM_COMMAND && PressedId(m.hwnd, m.wParam, m.lParam) >= 0) {
      bool known = false;
      {
        std::lock_guard<std::mutex> hold(gRecordLock);
        known = gSession && Contains(gSession->dialogs, m.hwnd);
      }
      if (known) {
        const RecordedFields fields = ReadFields(m.hwnd);
        const bool open = IsWindowVisible(m.hwnd) != FALSE;
        std::lock_guard<std::mutex> hold(gRecordLock);
        if (gSession) gSession->recorder.PressDone(Key(m.hwnd), fields, open);
      }
    }
    tInHook = false;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Messages taken from the queue: menu commands and clicks that were posted.
LRESULT CALLBACK GetMsgProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE && !tInHook) {
    tInHook = true;
    const MSG& m = *reinterpret_cast<const MSG*>(lParam);
    SettlePending();
    if (m.message == WM_COMMAND || m.message == WM_CLOSE) Command(m.hwnd, m.message, m.wParam, m.lParam, true);
    tInHook = false;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct Found {
  std::vector<HWND> dialogs, boxes;
};

BOOL CALLBACK FindOpen(HWND window, LPARAM found) {
  Found& f = *reinterpret_cast<Found*>(found);
  if (IsWindowVisible(window) && IsDialog(window)) f.dialogs.push_back(window);
  if (IsWindowVisible(window) && IsBox(window)) f.boxes.push_back(window);
  return TRUE;
}

std::string FileTime(HMODULE module) {
  char path[MAX_PATH] = "";
  const DWORD length = GetModuleFileNameA(module, path, sizeof path);
  WIN32_FILE_ATTRIBUTE_DATA data;
  SYSTEMTIME t;
  if (length == 0 || !GetFileAttributesExA(path, GetFileExInfoStandard, &data) ||
      !FileTimeToSystemTime(&data.ftLastWriteTime, &t))
    return "?";
  const char* name = std::strrchr(path, '\\');
  char text[MAX_PATH + 40];
  std::snprintf(text, sizeof text, "%s of %04u-%02u-%02u %02u:%02u UTC", name != nullptr ? name + 1 : path, t.wYear,
                t.wMonth, t.wDay, t.wHour, t.wMinute);
  return text;
}

// Unhooks and writes the scenario (without the lock).
bool Finish(std::unique_ptr<Session> session, const std::string& file, std::size_t* steps, std::string* why) {
  for (HHOOK hook : session->hooks) {
    if (hook != nullptr) UnhookWindowsHookEx(hook);
  }
  SYSTEMTIME now;
  GetLocalTime(&now);
  char when[40];
  std::snprintf(when, sizeof when, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond);
  HMODULE library = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&Finish), &library);
  const std::string build = FileTime(nullptr) + ", " + FileTime(library);
  const std::string text = session->recorder.Scenario(when, build);
  *steps = session->recorder.Steps();
  std::FILE* out = std::fopen(file.c_str(), "wb");
  bool written = out != nullptr && std::fwrite(text.data(), 1, text.size(), out) == text.size();
  if (out != nullptr) written = std::fclose(out) == 0 && written;
  if (!written) *why = "cannot write " + file;
  return written;
}

// Hooks the thread of `main` and makes the session; `prologue` feeds its
// first events under the lock.
bool Begin(HWND main, DWORD thread, const std::function<void(Recorder&)>& prologue, std::string* why) {
  std::lock_guard<std::mutex> hold(gRecordLock);
  if (gSession) {
    *why = "a recording runs already";
    return false;
  }
  gSession = std::make_unique<Session>(main);
  gSession->main = main;
  gSession->log = FindWindowExA(main, nullptr, "LISTBOX", "Command and Status");
  gSession->thread = thread;
  gSession->hooks[0] = SetWindowsHookExA(WH_CALLWNDPROC, CallWndProc, nullptr, thread);
  gSession->hooks[1] = SetWindowsHookExA(WH_CALLWNDPROCRET, CallWndRetProc, nullptr, thread);
  gSession->hooks[2] = SetWindowsHookExA(WH_GETMESSAGE, GetMsgProc, nullptr, thread);
  if (gSession->hooks[0] == nullptr || gSession->hooks[1] == nullptr || gSession->hooks[2] == nullptr) {
    *why = "cannot watch the program (error " + std::to_string(GetLastError()) + ")";
    for (HHOOK hook : gSession->hooks) {
      if (hook != nullptr) UnhookWindowsHookEx(hook);
    }
    gSession.reset();
    return false;
  }
  prologue(gSession->recorder);
  return true;
}

// "     2: Timeout   " and the value line after it: the Add of that row.
struct LoggedRow {
  std::string type, value;
};

bool ReadLoggedRow(const std::string& name, const std::string& value, LoggedRow* row) {
  if (name.size() < 9 || name.compare(0, 5, "     ") != 0 || name.find(": ") == std::string::npos) return false;
  const std::string hexHead = "               (0x", decHead = "               (";
  if (value.compare(0, hexHead.size(), hexHead) == 0 && value.size() >= hexHead.size() + 3) {
    *row = {"Hex         ", value.substr(hexHead.size(), value.size() - hexHead.size() - 3)};
  } else if (value.compare(0, decHead.size(), decHead) == 0 && value.size() >= decHead.size() + 3) {
    *row = {"Dec         ", value.substr(decHead.size(), value.size() - decHead.size() - 3)};
  } else if (value.size() >= 6 && value.compare(0, 2, "  ") == 0) {
    *row = {"String      ", value.substr(2, value.size() - 6)};
  } else {
    return false;
  }
  return true;
}

std::vector<std::string> ListItems(HWND list) {
  std::vector<std::string> items;
  const LRESULT count = Send(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = Send(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    std::string text(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, '\0');
    const LRESULT got = Send(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 && got <= length ? static_cast<std::size_t>(got) : 0);
    items.push_back(text);
  }
  return items;
}

}  // namespace

bool StartRecording(std::uintptr_t queueWindow, std::string* why) {
  const HWND main = reinterpret_cast<HWND>(queueWindow);
  DWORD process = 0;
  const DWORD thread = main != nullptr && IsWindow(main) ? GetWindowThreadProcessId(main, &process) : 0;
  if (thread == 0 || process != GetCurrentProcessId()) {
    *why = "no window of this program to record (initialize first)";
    return false;
  }
  if (!Begin(main, thread, [](Recorder&) {}, why)) return false;
  // A dialog or box already open is where the recording begins.
  Found found;
  EnumThreadWindows(thread, FindOpen, reinterpret_cast<LPARAM>(&found));
  for (HWND dialog : found.dialogs) Opened(dialog);
  for (HWND box : found.boxes) Opened(box);
  return true;
}

void RecordFromInitialize() {
  static bool first = true;
  if (!first || GetFileAttributesA(kRecordFile) == INVALID_FILE_ATTRIBUTES) return;
  first = false;
  Found found;
  EnumThreadWindows(GetCurrentThreadId(), FindOpen, reinterpret_cast<LPARAM>(&found));
  if (found.dialogs.size() != 1) return;
  const HWND dialog = found.dialogs[0];
  const std::string caption = TextOf(dialog);
  const RecordedFields fields = ReadFields(dialog);
  const std::vector<std::string> names = ListItems(GetDlgItem(dialog, IDC_RESOURCES_LIST));
  std::vector<std::string> log;
  std::string why;
  ReadHostLog(&log, &why);
  std::size_t command = log.size();
  for (std::size_t i = 0; i < log.size(); ++i) {
    if (log[i].rfind("Command-->  PosInitialize(", 0) == 0) command = i;
  }
  auto prologue = [&](Recorder& r) {
    const std::uintptr_t key = Key(dialog);
    r.Menu(IDM_POS_INITIALIZE);
    r.DialogOpened(key, caption, {});
    // Row 1 is the queue handle the dialog adds itself; then name and value
    // lines for each row passed.
    std::size_t row = 1;
    for (std::size_t i = command + 3; i + 1 < log.size() && row < names.size(); i += 2, ++row) {
      LoggedRow logged;
      if (!ReadLoggedRow(log[i], log[i + 1], &logged)) break;
      using F = RecordedField;
      const RecordedFields before = {{F::kEdit, IDC_N_ARGUMENTS, std::to_string(row), false},
                                     {F::kEdit, IDC_RESOURCE, names[row], false},
                                     {F::kChoice, IDC_TYPE, logged.type, false},
                                     {F::kEdit, IDC_VALUE, logged.value, false}};
      RecordedFields after = before;
      after[0].text = std::to_string(row + 1);
      r.Pressed(key, IDC_ADD_RESOURCE, before);
      r.PressDone(key, after, true);
    }
    r.Pressed(key, IDOK, fields);
    for (const std::string& line : log) r.LogLine(line);
  };
  const HWND main = GetWindow(dialog, GW_OWNER);
  if (!Begin(main, GetCurrentThreadId(), prologue, &why)) return;
  std::lock_guard<std::mutex> hold(gRecordLock);
  if (gSession) gSession->dialogs.push_back(dialog);
}

bool StopRecording(const std::string& file, std::size_t* steps, std::string* why) {
  std::unique_ptr<Session> session;
  {
    std::lock_guard<std::mutex> hold(gRecordLock);
    session = std::move(gSession);
  }
  if (!session) {
    *why = "no recording runs";
    return false;
  }
  return Finish(std::move(session), file, steps, why);
}

std::int32_t RecordedAction(std::string_view line, const std::function<std::int32_t()>& act) {
  std::lock_guard<std::mutex> hold(gRecordLock);
  const std::int32_t status = act();
  if (gSession) gSession->recorder.Bench(line, status);
  return status;
}

bool EndRecording(std::string* file, std::size_t* steps) {
  std::unique_ptr<Session> session;
  {
    std::lock_guard<std::mutex> hold(gRecordLock);
    session = std::move(gSession);
  }
  if (!session) return false;
  if (session->ended) session->recorder.ToolEnded(0);
  *file = FreeSessionName();
  std::string why;
  return Finish(std::move(session), *file, steps, &why);
}

std::string FreeSessionName() {
  for (int n = 1;; ++n) {
    const std::string name = "session-" + std::to_string(n) + ".scn";
    if (GetFileAttributesA(name.c_str()) == INVALID_FILE_ATTRIBUTES) return name;
  }
}

}  // namespace sim
