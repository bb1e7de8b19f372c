// Recording hooks: see record_hooks.h.
//
// Two hooks, both called per event rather than per message sent: a
// WH_GETMESSAGE hook sees each message the GUI thread takes from its queue
// (menu commands, posted clicks, the mouse and key input that presses a
// button), a WH_CBT hook each window activated (a dialog or box shown) or
// destroyed. A hook on every sent message would cost the tool about half
// its speed in a burst of log lines under Wine; so the log is not watched
// line by line but read, from where the recording last read it, before each
// event and when the recording ends, and the one hook on sent messages is
// set only while a press waits to be settled.
#include "simulator/record_hooks.h"

#include <windows.h>

#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "res/resource_ids.h"
#include "resources/logged_row.h"
#include "simulator/host_log.h"
#include "simulator/recorder.h"
#include "toolwindows/paths.h"
#include "toolwindows/tool_windows.h"

namespace sim {
namespace {

using toolwin::IsBox;
using toolwin::IsClass;
constexpr toolwin::Patience kPatience = toolwin::kFromOwnProcess;

// A bench action and the number of log lines there were when it ran: it
// goes into the scenario after those lines and before the next.
struct BenchStep {
  std::size_t position;
  std::string line;
  std::int32_t status;
  bool whole = false;  // a step given whole (RecordStep), not a request line
};

struct Session {
  explicit Session(HWND window) : recorder(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window))) {}
  Recorder recorder;
  HWND main = nullptr;
  HWND log = nullptr;
  DWORD thread = 0;
  HHOOK hooks[2] = {};
  std::size_t seen = 0;              // log lines recorded (or before the recording)
  std::deque<BenchStep> bench;       // waiting for their lines
  std::vector<HWND> boxes, dialogs;  // open, as the hooks saw them
  // Boxes already open under the dialog when the recording began with its
  // Initialize (a refused Add's): no step of the recording, nor their OK.
  std::vector<HWND> before;
  bool ended = false;                // Exit or the close box was recorded
  // A press whose dialog's fields are read once its handler has returned
  // (the next message taken, with no box or dialog it opened still open).
  HWND pending = nullptr;
  std::size_t pendingBoxes = 0, pendingDialogs = 0;
  // While a press is pending, a hook on the messages sent to the thread
  // (CallWndProc): one set from outside after the handler returned must
  // not be read as what the press did.
  HHOOK sentHook = nullptr;
};

std::mutex gRecordLock;
std::unique_ptr<Session> gSession;

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  return toolwin::Send(window, message, wParam, lParam, &result, kPatience) ? static_cast<LRESULT>(result) : -1;
}

std::string TextOf(HWND window) { return toolwin::WindowText(window, kPatience); }

// The items of a list box from `from` on (those read, if it stops answering).
std::vector<std::string> ListItems(HWND list, std::size_t from = 0) {
  std::vector<std::string> items;
  std::string why;
  if (list != nullptr) toolwin::ReadListItems(list, from, &items, &why, kPatience);
  return items;
}

// The log's lines from `from` on, read on the log's thread.
std::vector<std::string> LogItems(HWND log, std::size_t from) {
  std::vector<std::string> lines;
  if (log != nullptr) ReadLogLines(log, from, &lines);
  return lines;
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

bool IsDialog(HWND window) { return toolwin::IsOwnedDialog(window); }

bool IsPushButton(HWND window) {
  const LONG type = GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK;
  return IsClass(window, "Button") && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
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

// Log lines and the bench steps between them, in order. With the lock.
void Append(Session& s, const std::vector<std::string>& lines, bool all) {
  auto due = [&] { return !s.bench.empty() && s.bench.front().position <= s.seen; };
  auto write = [&](const BenchStep& step) {
    if (step.whole) {
      s.recorder.Line(step.line);
    } else {
      s.recorder.Bench(step.line, step.status);
    }
  };
  for (const std::string& line : lines) {
    for (; due(); s.bench.pop_front()) write(s.bench.front());
    s.recorder.LogLine(line);
    ++s.seen;
  }
  for (; due() || (all && !s.bench.empty()); s.bench.pop_front()) write(s.bench.front());
}

// Records the log lines added since the last look (without the lock).
void Flush() {
  HWND log = nullptr;
  std::size_t seen = 0;
  {
    std::lock_guard<std::mutex> hold(gRecordLock);
    if (!gSession) return;
    log = gSession->log, seen = gSession->seen;
  }
  const std::vector<std::string> lines = LogItems(log, seen);
  std::lock_guard<std::mutex> hold(gRecordLock);
  if (gSession && gSession->seen == seen) Append(*gSession, lines, false);
}

// Which dialog the session knows `window` as (itself or its root).
HWND KnownDialog(HWND window) {
  const HWND root = window != nullptr ? GetAncestor(window, GA_ROOT) : nullptr;
  std::lock_guard<std::mutex> hold(gRecordLock);
  return gSession && root != nullptr && Contains(gSession->dialogs, root) ? root : nullptr;
}

// What a dialog or box that is shown holds.
void Opened(HWND window) {
  const bool box = IsBox(window);
  if (!box && !IsDialog(window)) return;
  {
    std::lock_guard<std::mutex> hold(gRecordLock);
    if (!gSession || Contains(gSession->boxes, window) || Contains(gSession->dialogs, window) ||
        Contains(gSession->before, window))
      return;
  }
  Flush();
  const std::string caption = TextOf(window), text = box ? toolwin::BoxText(window, kPatience) : "";
  const RecordedFields fields = box ? RecordedFields{} : ReadFields(window);
  std::lock_guard<std::mutex> hold(gRecordLock);
  if (!gSession) return;
  if (box) {
    gSession->boxes.push_back(window);
    gSession->recorder.BoxShown(Key(window), caption, text);
  } else {
    gSession->dialogs.push_back(window);
    gSession->recorder.DialogOpened(Key(window), caption, fields);
  }
}

// No press pending any more: the hook on sent messages goes. Under the lock.
void EndPending(Session& s) {
  s.pending = nullptr;
  if (s.sentHook != nullptr) UnhookWindowsHookEx(s.sentHook);
  s.sentHook = nullptr;
}

void Closed(HWND window) {
  Flush();
  std::lock_guard<std::mutex> hold(gRecordLock);
  if (!gSession) return;
  if (window == gSession->log) gSession->log = nullptr;  // closed by the operator, or the program ends
  Erase(gSession->before, window);
  if (Contains(gSession->boxes, window)) {
    Erase(gSession->boxes, window);
    gSession->recorder.BoxClosed(Key(window));
  } else if (Contains(gSession->dialogs, window)) {
    Erase(gSession->dialogs, window);
    gSession->recorder.DialogClosed(Key(window));
    if (gSession->pending == window) EndPending(*gSession);
  }
}

// A press whose handler has returned: what it left.
void SettlePending() {
  HWND dialog = nullptr;
  {
    std::lock_guard<std::mutex> hold(gRecordLock);
    if (!gSession || gSession->pending == nullptr || gSession->boxes.size() > gSession->pendingBoxes ||
        gSession->dialogs.size() > gSession->pendingDialogs)
      return;
    dialog = gSession->pending;
    EndPending(*gSession);
  }
  Flush();
  const RecordedFields fields = ReadFields(dialog);
  const bool open = IsWindow(dialog) && IsWindowVisible(dialog);
  std::lock_guard<std::mutex> hold(gRecordLock);
  if (gSession) gSession->recorder.PressDone(Key(dialog), fields, open);
}

// A message sent from outside the thread (an operator's tool setting a
// field, the pipe reading the log) comes while the thread waits for its next
// message, so the pending press's handler has returned (or shows a box,
// which SettlePending tells): what it left is read before the message
// changes it.
LRESULT CALLBACK CallWndProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == 0) SettlePending();
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void Pressed(HWND dialog, int id) {
  Flush();
  const RecordedFields fields = ReadFields(dialog);
  std::lock_guard<std::mutex> hold(gRecordLock);
  if (!gSession) return;
  gSession->recorder.Pressed(Key(dialog), id, fields);
  gSession->pending = dialog;
  gSession->pendingBoxes = gSession->boxes.size();
  gSession->pendingDialogs = gSession->dialogs.size();
  // Hooked only while a press is pending: a hook on every sent message
  // would slow the tool's logging as much as the one rejected above.
  if (gSession->sentHook == nullptr) {
    gSession->sentHook = SetWindowsHookExA(WH_CALLWNDPROC, CallWndProc, nullptr, gSession->thread);
  }
}

// The button a message taken from the queue is about to press in a known
// dialog (a posted click, BM_CLICK, the mouse let go over a pushed button,
// space on one, Enter, Escape): its id, else -1.
int PressOf(const MSG& m, HWND* dialog) {
  *dialog = KnownDialog(m.hwnd);
  if (*dialog == nullptr) return -1;
  const bool pushed = IsPushButton(m.hwnd) && (Send(m.hwnd, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
  switch (m.message) {
    case WM_COMMAND: {
      const HWND control = reinterpret_cast<HWND>(m.lParam);
      if (m.hwnd != *dialog || HIWORD(m.wParam) != BN_CLICKED) return -1;
      if (control == nullptr) return LOWORD(m.wParam) == IDOK || LOWORD(m.wParam) == IDCANCEL ? LOWORD(m.wParam) : -1;
      return GetParent(control) == m.hwnd && IsPushButton(control) ? LOWORD(m.wParam) : -1;
    }
    case BM_CLICK: return IsPushButton(m.hwnd) ? GetDlgCtrlID(m.hwnd) : -1;
    case WM_LBUTTONUP: return pushed && GetCapture() == m.hwnd ? GetDlgCtrlID(m.hwnd) : -1;
    case WM_KEYUP: return m.wParam == VK_SPACE && pushed ? GetDlgCtrlID(m.hwnd) : -1;
    case WM_KEYDOWN: {
      // A control that wants the key (a multi-line field, a combo box with
      // its list dropped; DLGC_WANTALLKEYS is the same bit) acts on it
      // itself, as the dialog manager lets it: it closes the list, or passes
      // the key on by a message of its own to the dialog or its default
      // button, which is then the press.
      const LRESULT wants = Send(m.hwnd, WM_GETDLGCODE, m.wParam, reinterpret_cast<LPARAM>(&m));
      if ((wants & DLGC_WANTMESSAGE) != 0) return -1;
      if (m.wParam == VK_ESCAPE) return IDCANCEL;
      if (m.wParam != VK_RETURN) return -1;
      if (IsPushButton(m.hwnd)) return GetDlgCtrlID(m.hwnd);
      const LRESULT def = Send(*dialog, DM_GETDEFID, 0, 0);
      return HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
    }
    default: return -1;
  }
}

// Messages taken from the queue, before they are handled.
LRESULT CALLBACK GetMsgProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    const MSG& m = *reinterpret_cast<const MSG*>(lParam);
    SettlePending();
    HWND main = nullptr;
    {
      std::lock_guard<std::mutex> hold(gRecordLock);
      if (gSession) main = gSession->main;
    }
    HWND dialog = nullptr;
    if (main != nullptr && m.hwnd == main && (m.message == WM_CLOSE || (m.message == WM_COMMAND && m.lParam == 0 &&
                                                                         HIWORD(m.wParam) == 0))) {
      Flush();
      std::lock_guard<std::mutex> hold(gRecordLock);
      if (gSession && m.message == WM_CLOSE && !gSession->ended) gSession->recorder.CloseMain();
      if (gSession && m.message == WM_COMMAND) gSession->recorder.Menu(LOWORD(m.wParam));
      if (gSession) gSession->ended = gSession->ended || m.message == WM_CLOSE || LOWORD(m.wParam) == IDM_EXIT;
    } else if (main != nullptr) {
      const int id = PressOf(m, &dialog);
      if (id >= 0) Pressed(dialog, id);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Windows shown (activated) and destroyed; the main window's close box. A
// dialog's close box needs nothing here: the dialog manager posts the click of
// Cancel for it, which GetMsgProc takes as any other.
LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
  const HWND window = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_ACTIVATE) {
    Opened(window);
  } else if (code == HCBT_DESTROYWND) {
    Closed(window);
  } else if (code == HCBT_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
    const HWND active = GetActiveWindow();
    std::lock_guard<std::mutex> hold(gRecordLock);
    if (gSession && active == gSession->main && !gSession->ended) {
      gSession->recorder.CloseMain();
      gSession->ended = true;
    }
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
  char text[MAX_PATH + 40];
  std::snprintf(text, sizeof text, "%s of %04u-%02u-%02u %02u:%02u UTC", winpath::BaseName(path).c_str(), t.wYear,
                t.wMonth, t.wDay, t.wHour, t.wMinute);
  return text;
}

// Unhooks, records the rest of the log and writes the scenario to `out`,
// opened for `file` (without the lock: the session is no longer shared).
bool Finish(std::unique_ptr<Session> session, std::FILE* out, const std::string& file, bool toolEnds,
            std::size_t* steps, std::string* why) {
  for (HHOOK hook : session->hooks) {
    if (hook != nullptr) UnhookWindowsHookEx(hook);
  }
  EndPending(*session);
  Append(*session, LogItems(session->log, session->seen), true);
  if (toolEnds && session->ended) session->recorder.ToolEnded(0);
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
  bool written = out != nullptr && std::fwrite(text.data(), 1, text.size(), out) == text.size();
  if (out != nullptr) written = std::fclose(out) == 0 && written;
  if (!written) *why = "cannot write " + file;
  return written;
}

// Hooks the thread of `main` and makes the session, the log counted as
// recorded up to `seen`; `prologue` gives its first events under the lock.
bool Begin(HWND main, DWORD thread, std::size_t seen, const std::function<void(Recorder&)>& prologue,
           std::string* why) {
  const HWND log = FindHostLog();
  std::lock_guard<std::mutex> hold(gRecordLock);
  if (gSession) {
    *why = "a recording runs already";
    return false;
  }
  gSession = std::make_unique<Session>(main);
  gSession->main = main;
  gSession->log = log;
  gSession->thread = thread;
  gSession->seen = seen;
  gSession->hooks[0] = SetWindowsHookExA(WH_GETMESSAGE, GetMsgProc, nullptr, thread);
  gSession->hooks[1] = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, thread);
  if (gSession->hooks[0] == nullptr || gSession->hooks[1] == nullptr) {
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

// The lines of the log now (-1 when it cannot be read).
LRESULT LogCount() {
  HWND log = nullptr;
  {
    std::lock_guard<std::mutex> hold(gRecordLock);
    if (gSession) log = gSession->log;
  }
  return log != nullptr ? Send(log, LB_GETCOUNT, 0, 0) : -1;
}

// Queues `step` after the `lines` log lines there were (or after the steps
// queued before it), and writes what is due. Called under the lock.
void Queue(Session& s, LRESULT lines, BenchStep step) {
  step.position = lines >= 0 ? static_cast<std::size_t>(lines) : s.seen;
  if (!s.bench.empty() && s.bench.back().position > step.position) step.position = s.bench.back().position;
  s.bench.push_back(std::move(step));
  Append(s, {}, false);
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
  const HWND log = FindHostLog();
  const LRESULT lines = log != nullptr ? Send(log, LB_GETCOUNT, 0, 0) : 0;
  if (!Begin(main, thread, lines > 0 ? static_cast<std::size_t>(lines) : 0, [](Recorder&) {}, why)) return false;
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
    // The log from the Initialize on: what came before is no step of the
    // recording, and its replay starts with an empty log.
    for (std::size_t i = command; i < log.size(); ++i) r.LogLine(log[i]);
  };
  if (!Begin(GetWindow(dialog, GW_OWNER), GetCurrentThreadId(), log.size(), prologue, &why)) return;
  std::lock_guard<std::mutex> hold(gRecordLock);
  if (gSession) {
    gSession->dialogs.push_back(dialog);
    gSession->before = found.boxes;
  }
}

// The file is opened before the recording ends: a name that cannot be
// written (a folder that does not exist, a read-only file) is refused and
// the recording goes on, to be stopped again under another name.
bool StopRecording(const std::string& file, std::size_t* steps, std::string* why) {
  bool running = false;
  {
    std::lock_guard<std::mutex> hold(gRecordLock);
    running = gSession != nullptr;
  }
  if (!running) {
    *why = "no recording runs";
    return false;
  }
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (out == nullptr) {
    *why = "cannot write " + file;
    return false;
  }
  std::unique_ptr<Session> session;
  {
    std::lock_guard<std::mutex> hold(gRecordLock);
    session = std::move(gSession);
  }
  if (!session) {  // stopped meanwhile from the bench or another client
    std::fclose(out);
    std::remove(file.c_str());
    *why = "no recording runs";
    return false;
  }
  return Finish(std::move(session), out, file, false, steps, why);
}

std::int32_t RecordedAction(std::string_view line, const std::function<std::int32_t()>& act) {
  // Counted before the action: every line it causes comes after its step.
  const LRESULT lines = LogCount();
  std::lock_guard<std::mutex> hold(gRecordLock);
  const std::int32_t status = act();
  if (gSession) Queue(*gSession, lines, BenchStep{0, std::string(line), status});
  return status;
}

bool RecordStep(const std::string& line, std::string* why) {
  *why = StepLineError(line);
  if (!why->empty()) return false;
  const LRESULT lines = LogCount();
  std::lock_guard<std::mutex> hold(gRecordLock);
  if (!gSession) {
    *why = "no recording runs";
    return false;
  }
  Queue(*gSession, lines, BenchStep{0, line, 0, true});
  return true;
}

bool EndRecording(std::string* file, std::size_t* steps) {
  std::unique_ptr<Session> session;
  {
    std::lock_guard<std::mutex> hold(gRecordLock);
    session = std::move(gSession);
  }
  if (!session) return false;
  *file = FreeSessionName();
  std::string why;
  return Finish(std::move(session), std::fopen(file->c_str(), "wb"), *file, true, steps, &why);
}

std::string FreeSessionName() {
  for (int n = 1;; ++n) {
    const std::string name = "session-" + std::to_string(n) + ".scn";
    if (GetFileAttributesA(name.c_str()) == INVALID_FILE_ATTRIBUTES) return name;
  }
}

}  // namespace sim
