// The device bench window: see bench_window.h.
#include "simulator/bench_window.h"

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "simulator/bench_ids.h"
#include "simulator/bench_request.h"
#include "simulator/bench_state.h"
#include "simulator/host_log.h"
#include "simulator/log_file.h"
#include "simulator/control_line.h"
#include "simulator/control_serve.h"
#include "simulator/record_hooks.h"
#include "simulator/resource_table.h"
#include "tables/code_tables.h"
#include "tables/pos_codes.h"

namespace sim {
namespace {

constexpr int kWidth = 540;   // outer size of the window
constexpr int kHeight = 520;
constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshMs = 200;

// The one bench: its thread, window and the lines it shows. Only the bench
// thread touches `lines`; `window` and `thread` are set before the opener
// returns and cleared by the closer.
struct Bench {
  HANDLE thread = nullptr;
  HWND window = nullptr;
  std::vector<std::string> lines;
  HFONT font = nullptr;
};
Bench gBench;

struct StartInfo {
  HWND nearWindow;
  HMODULE module;
  HANDLE ready;
  HWND window;
};

// ---- Building the window ---------------------------------------------------

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h,
           int id, DWORD exStyle = 0) {
  HWND control = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)),
                                 nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(gBench.font), FALSE);
  return control;
}

void Label(HWND parent, const char* text, int x, int y, int w) {
  Child(parent, "STATIC", text, SS_LEFT, x, y + 3, w, 16, -1);
}

void Edit(HWND parent, int id, const char* text, int x, int y, int w) {
  Child(parent, "EDIT", text, WS_TABSTOP | ES_AUTOHSCROLL, x, y, w, 21, id, WS_EX_CLIENTEDGE);
}

void Button(HWND parent, int id, const char* text, int x, int y, int w, DWORD style = BS_PUSHBUTTON) {
  Child(parent, "BUTTON", text, WS_TABSTOP | style, x, y, w, 23, id);
}

void Build(HWND window) {
  const int left = 10, field = 100;
  HWND list = Child(window, "LISTBOX", "", WS_VSCROLL | WS_HSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT | LBS_NOSEL,
                    left, 10, 512, 166, IDC_BENCH_DEVICES);
  SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), FALSE);
  SendMessageA(list, LB_SETHORIZONTALEXTENT, 900, 0);

  int y = 186;
  Label(window, "Card reader:", left, y, 88);
  Edit(window, IDC_BENCH_TRACKS, kTestCardTracks, field, y, 330);
  Button(window, IDC_BENCH_SWIPE, "Swipe", 440, y - 1, 82);
  y += 28;
  Label(window, "Scanner:", left, y, 88);
  Edit(window, IDC_BENCH_SYMBOLOGY, "]E0", field, y, 50);
  Edit(window, IDC_BENCH_LABEL, kTestLabel, field + 56, y, 274);
  Button(window, IDC_BENCH_SCAN, "Scan", 440, y - 1, 82);
  y += 28;
  Label(window, "Scale (g):", left, y, 88);
  Edit(window, IDC_BENCH_GRAMS, "1250", field, y, 80);
  Button(window, IDC_BENCH_PLACE, "Place", field + 86, y - 1, 70);
  Button(window, IDC_BENCH_REMOVE, "Remove", field + 160, y - 1, 70);
  Label(window, "Touch x, y:", 340, y, 62);
  Edit(window, IDC_BENCH_TOUCH_X, "120", 404, y, 36);
  Edit(window, IDC_BENCH_TOUCH_Y, "80", 444, y, 36);
  Button(window, IDC_BENCH_TOUCH, "Tap", 484, y - 1, 38);
  y += 28;
  Label(window, "Keyboard:", left, y, 88);
  Edit(window, IDC_BENCH_KEYS, "1250\\r", field, y, 150);
  Button(window, IDC_BENCH_PRESS, "Type", field + 156, y - 1, 70);
  Button(window, IDC_BENCH_CLOSE_DRAWER, "Close drawer", 412, y - 1, 110);
  y += 28;
  Label(window, "Printer:", left, y, 88);
  Button(window, IDC_BENCH_PAPER_OUT, "Paper out", field, y - 1, 90, BS_AUTOCHECKBOX);
  Button(window, IDC_BENCH_COVER_OPEN, "Cover open", field + 96, y - 1, 96, BS_AUTOCHECKBOX);
  Button(window, IDC_BENCH_PRINTER_ERROR, "Printer error", 412, y - 1, 110);

  y += 36;
  Child(window, "BUTTON", "Device faults", BS_GROUPBOX, left - 2, y, 516, 114, -1);
  y += 20;
  Label(window, "Device:", left + 8, y, 80);
  HWND devices = Child(window, "COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, field, y, 140, 240,
                       IDC_BENCH_DEVICE);
  for (int classIndex : BenchDevices()) SendMessageA(devices, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kClasses[classIndex].name));
  SendMessageA(devices, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Queue"));
  SendMessageA(devices, CB_SETCURSEL, 0, 0);
  Button(window, IDC_BENCH_OFFLINE, "Off line", 252, y - 1, 80);
  Button(window, IDC_BENCH_ONLINE, "On line", 338, y - 1, 80);
  Button(window, IDC_BENCH_CLEAR_FAULTS, "Clear all", 424, y - 1, 90);
  y += 30;
  Label(window, "Error code:", left + 8, y, 80);
  HWND codes = Child(window, "COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, field, y, 240, 240,
                     IDC_BENCH_ERROR_CODE);
  SendMessageA(codes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("0 (none)"));
  for (const CodeName* row = ErrorNames; row->Name != nullptr; ++row) {
    const std::string item = std::to_string(row->Code) + " " + row->Name;
    SendMessageA(codes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  SendMessageA(codes, CB_SETCURSEL, 0, 0);
  Button(window, IDC_BENCH_SET_ERROR, "Answer with it", 346, y - 1, 120);
  y += 30;
  Label(window, "Read claims +", left + 8, y, 80);
  Edit(window, IDC_BENCH_OVERCLAIM, "1000", field, y, 50);
  Button(window, IDC_BENCH_SET_OVERCLAIM, "Set", field + 54, y - 1, 40);
  Label(window, "writes past end", 210, y, 86);
  Edit(window, IDC_BENCH_OVERRUN, "16", 298, y, 40);
  Button(window, IDC_BENCH_SET_OVERRUN, "Set", 342, y - 1, 40);
  Edit(window, IDC_BENCH_BURST_COUNT, "100", 392, y, 40);
  Button(window, IDC_BENCH_BURST, "Burst", 436, y - 1, 78);

  Child(window, "STATIC", "Ready.", SS_LEFT | SS_SUNKEN | SS_ENDELLIPSIS, left, 458, 254, 20, IDC_BENCH_STATUS);
  Button(window, IDC_BENCH_RECORD, "Record", 270, 456, 74);
  Button(window, IDC_BENCH_STOP, "Stop", 348, 456, 74);
  Button(window, IDC_BENCH_SAVE_LOG, "Save log...", 426, 456, 96);
}

// Beside the tool's window where there is room, else in the bottom right
// corner of the work area.
void Place(HWND window, HWND nearWindow) {
  RECT work;
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
    work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  int x = work.right - kWidth;
  int y = work.bottom - kHeight;
  HWND top = nearWindow != nullptr ? GetAncestor(nearWindow, GA_ROOT) : nullptr;
  RECT beside;
  if (top != nullptr && GetWindowRect(top, &beside) && beside.right + kWidth <= work.right) {
    x = beside.right;
    y = beside.top;
  }
  SetWindowPos(window, nullptr, x < work.left ? work.left : x, y < work.top ? work.top : y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Showing the state -----------------------------------------------------

void Refresh(HWND window) {
  std::vector<std::string> lines;
  bool paperOut = false, coverOpen = false;
  WithSimulator([&](Simulator& s) {
    lines = BenchStateLines(s);
    paperOut = s.PaperOut();
    coverOpen = s.CoverOpen();
    return 0;
  });
  HWND list = GetDlgItem(window, IDC_BENCH_DEVICES);
  if (lines != gBench.lines) {
    // Only the lines that changed are replaced: no flicker, no lost scroll.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i < gBench.lines.size() && gBench.lines[i] == lines[i]) continue;
      if (i < gBench.lines.size()) SendMessageA(list, LB_DELETESTRING, i, 0);
      SendMessageA(list, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(lines[i].c_str()));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    gBench.lines = lines;
  }
  CheckDlgButton(window, IDC_BENCH_PAPER_OUT, paperOut ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(window, IDC_BENCH_COVER_OPEN, coverOpen ? BST_CHECKED : BST_UNCHECKED);
}

// ---- Acting ----------------------------------------------------------------

std::string TextOf(HWND window, int id) {
  HWND control = GetDlgItem(window, id);
  const int length = GetWindowTextLengthA(control);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
  const int got = GetWindowTextA(control, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

// The fault target chosen in the Device combo: a class index or the queue.
int ChosenTarget(HWND window) {
  const LRESULT index = SendDlgItemMessageA(window, IDC_BENCH_DEVICE, CB_GETCURSEL, 0, 0);
  const std::vector<int> devices = BenchDevices();
  if (index >= 0 && static_cast<std::size_t>(index) < devices.size()) return devices[static_cast<std::size_t>(index)];
  return index == static_cast<LRESULT>(devices.size()) ? kQueueTarget : -2;
}

void Report(HWND window, const std::string& action, std::int32_t status) {
  std::string text = action + ": ";
  if (status == 0) {
    text += "done";
  } else {
    const char* name = NameOf(ErrorNames, status);
    text += (name != nullptr ? std::string(name) : "error") + " (" + std::to_string(status) + ")";
  }
  SetDlgItemTextA(window, IDC_BENCH_STATUS, text.c_str());
}

void ReportRefused(HWND window, const std::string& action, const char* why) {
  SetDlgItemTextA(window, IDC_BENCH_STATUS, (action + ": " + why).c_str());
  WithSimulator([&](Simulator& s) {
    s.JournalNote(("window " + action + " refused: " + why).c_str());
    return 0;
  });
}

// The bench's fields as they stand, for MakeBenchRequest.
class WindowFields : public BenchFields {
 public:
  explicit WindowFields(HWND window) : window_(window) {}
  std::string Text(int id) const override { return TextOf(window_, id); }
  bool Checked(int id) const override { return IsDlgButtonChecked(window_, id) == BST_CHECKED; }
  int Target() const override { return ChosenTarget(window_); }

 private:
  HWND window_;
};

// A device action: the request the pipe would be sent for it, performed as
// the pipe performs it, recorded by that line, reported in the status line.
void Act(HWND window, int id) {
  BenchRequest asked;
  if (!MakeBenchRequest(id, WindowFields(window), &asked)) return;
  if (asked.refused != nullptr) return ReportRefused(window, asked.action, asked.refused);
  Request request;
  std::string why;
  if (!ParseRequest(asked.line, &request, &why)) return ReportRefused(window, asked.action, why.c_str());
  WithSimulator([&](Simulator& s) {
    why = OutOfRange(request, s);
    return 0;
  });
  if (!why.empty()) return ReportRefused(window, asked.action, why.c_str());
  const std::int32_t status = RecordedAction(asked.line, [&] {
    return WithSimulator([&](Simulator& s) { return Perform(request, s); });
  });
  Report(window, asked.action, status);
  Refresh(window);
}

// Record and Stop: the session as a scenario, written to the first free
// session-N.scn of the working folder.
void Record(HWND window, bool start) {
  std::uintptr_t queue = 0;
  WithSimulator([&](Simulator& s) {
    queue = s.QueueWindow();
    return 0;
  });
  std::string why, file = FreeSessionName();
  std::size_t steps = 0;
  if (start ? !StartRecording(queue, &why) : !StopRecording(file, &steps, &why)) {
    return ReportRefused(window, start ? "Record" : "Stop", why.c_str());
  }
  const std::string done = start ? "recording" : std::to_string(steps) + (steps == 1 ? " step to " : " steps to ") + file;
  SetDlgItemTextA(window, IDC_BENCH_STATUS, ((start ? "Record: " : "Stop: ") + done).c_str());
  WithSimulator([&](Simulator& s) {
    s.JournalNote(("window " + (start ? std::string("recording started") : "recording written: " + done)).c_str());
    return 0;
  });
}

// The common file dialog, loaded the first time the operator saves the log:
// comdlg32 and the shell libraries it brings would otherwise be mapped and
// set up in every program that loads the simulator, megabytes of working
// set for a button seldom pressed.
bool ChooseSaveName(OPENFILENAMEA* name) {
  using SaveName = BOOL(WINAPI*)(OPENFILENAMEA*);
  static HMODULE dialogs = LoadLibraryA("comdlg32.dll");
  const FARPROC entry = dialogs != nullptr ? GetProcAddress(dialogs, "GetSaveFileNameA") : nullptr;
  const auto save = reinterpret_cast<SaveName>(reinterpret_cast<void (*)()>(entry));
  return entry != nullptr && save(name) != FALSE;
}

// The tool's log to a text file the operator names, so that a session can
// go with a report.
void SaveLog(HWND window) {
  char path[MAX_PATH] = "revediz-log.txt";
  char folder[MAX_PATH] = "";  // the working folder, beside the journal
  const DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
  OPENFILENAMEA name = {};
  name.lpstrInitialDir = length > 0 && length < sizeof folder ? folder : nullptr;
  name.lStructSize = sizeof name;
  name.hwndOwner = window;
  name.lpstrFilter = "Text files (*.txt)\0*.txt\0All files\0*.*\0";
  name.lpstrFile = path;
  name.nMaxFile = sizeof path;
  name.lpstrTitle = "Save log";
  name.lpstrDefExt = "txt";
  name.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!ChooseSaveName(&name)) return;  // cancelled
  std::vector<std::string> lines;
  std::string why;
  if (!ReadHostLog(&lines, &why) || !WriteLogFile(path, lines, &why)) return ReportRefused(window, "Save log", why.c_str());
  const std::string done = std::to_string(lines.size()) + " lines to " + path;
  SetDlgItemTextA(window, IDC_BENCH_STATUS, ("Save log: " + done).c_str());
  WithSimulator([&](Simulator& s) {
    s.JournalNote(("window saved the log: " + done).c_str());
    return 0;
  });
}

void Command(HWND window, int id) {
  switch (id) {
    case IDC_BENCH_SAVE_LOG:
      return SaveLog(window);
    case IDC_BENCH_RECORD:
    case IDC_BENCH_STOP:
      return Record(window, id == IDC_BENCH_RECORD);
    default:
      return Act(window, id);
  }
}

LRESULT CALLBACK BenchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      Build(window);
      Refresh(window);
      SetTimer(window, kRefreshTimer, kRefreshMs, nullptr);
      return 0;
    case WM_TIMER:
      if (wParam == kRefreshTimer) Refresh(window);
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) Command(window, LOWORD(wParam));
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      KillTimer(window, kRefreshTimer);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

DWORD WINAPI BenchThread(LPVOID parameter) {
  auto* start = static_cast<StartInfo*>(parameter);
  const HMODULE module = start->module;
  WNDCLASSA cls = {};
  cls.lpfnWndProc = BenchProc;
  cls.hInstance = module;
  cls.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = VAVURO_BENCH_CLASS;
  RegisterClassA(&cls);  // fails harmlessly when a former bench registered it
  gBench.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  gBench.lines.clear();
  HWND window = CreateWindowExA(WS_EX_CONTROLPARENT, VAVURO_BENCH_CLASS, VAVURO_BENCH_TITLE,
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                                CW_USEDEFAULT, kWidth, kHeight, nullptr, nullptr, module, nullptr);
  if (window != nullptr) {
    Place(window, start->nearWindow);
    ShowWindow(window, SW_SHOWNOACTIVATE);
  }
  start->window = window;
  SetEvent(start->ready);  // `start` belongs to the opener from here on
  if (window != nullptr) {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      if (!IsDialogMessageA(window, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
  }
  // The thread held its own reference on the library: a host that frees
  // the library without terminating it first cannot pull the code away
  // under a running bench.
  FreeLibraryAndExitThread(module, 0);
}

}  // namespace

void OpenBenchWindow(std::uintptr_t nearWindow) {
  if (gBench.thread != nullptr) {
    if (WaitForSingleObject(gBench.thread, 0) == WAIT_TIMEOUT) return;  // still open
    CloseHandle(gBench.thread);  // closed by the person at the bench
    gBench.thread = nullptr;
    gBench.window = nullptr;
  }
  StartInfo start = {reinterpret_cast<HWND>(nearWindow), nullptr, nullptr, nullptr};
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&BenchProc),
                          &start.module)) {
    return;
  }
  start.ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = start.ready != nullptr ? CreateThread(nullptr, 0, BenchThread, &start, 0, nullptr) : nullptr;
  if (thread == nullptr) {
    if (start.ready != nullptr) CloseHandle(start.ready);
    FreeLibrary(start.module);
    return;
  }
  HANDLE waits[2] = {start.ready, thread};
  WaitForMultipleObjects(2, waits, FALSE, INFINITE);
  CloseHandle(start.ready);
  gBench.thread = thread;
  gBench.window = start.window;
  WithSimulator([&](Simulator& s) {
    s.JournalNote(start.window != nullptr ? "window opened" : "window could not be created");
    return 0;
  });
}

void CloseBenchWindow() {
  if (gBench.thread == nullptr) return;
  if (gBench.window != nullptr) PostMessageA(gBench.window, WM_CLOSE, 0, 0);
  WaitForSingleObject(gBench.thread, 5000);
  CloseHandle(gBench.thread);
  gBench.thread = nullptr;
  gBench.window = nullptr;
  WithSimulator([](Simulator& s) {
    s.JournalNote("window closed");
    return 0;
  });
}

}  // namespace sim
