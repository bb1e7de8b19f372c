// The bare baseline for the Win32 measurements: registers a class, creates a
// main window with one list box and shows it, and on request adds lines to
// the list box one LB_ADDSTRING at a time, as the tool's log does.
//
// The list box has the same styles, geometry and horizontal extent as the
// tool's "Command and Status" log, so that a line costs the same in both and
// a ratio measures what the tool does around its lines.
//
//   bare_window.exe              start-up runs: window and list box only
//   bare_window.exe LINES-FILE   loads the lines first (NUL-terminated items,
//                                read before the window exists), then waits
//                                for the driver's messages:
//     kAddAllMessage             adds every line, in order
//     kAddNextMessage, wParam n  adds the next n lines
//     kAddAllBatchedMessage      adds every line in one redraw batch
//                                (WM_SETREDRAW off, the lines, on, one
//                                invalidation), as a careful program would
// WM_CLOSE ends it (exit status 0).
#include <windows.h>

#include <string>
#include <vector>

#include "bench/bench_messages.h"

namespace {

constexpr char kClassName[] = "BareWindow";
constexpr char kWindowTitle[] = "Bare window";

HWND List = nullptr;
std::vector<std::string> Lines;
std::size_t NextLine = 0;

// Reads the items of a NUL-separated lines file; false if it cannot be read.
bool LoadLines(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string bytes;
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\0') {
      Lines.emplace_back(bytes, start, i - start);
      start = i + 1;
    }
  }
  return true;
}

void AddLines(std::size_t count) {
  for (; count > 0 && NextLine < Lines.size(); --count, ++NextLine) {
    SendMessageA(List, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Lines[NextLine].c_str()));
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      List = CreateWindowExA(0, "LISTBOX", "Command and Status",
                             WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                 WS_VSCROLL | WS_HSCROLL,
                             270, 5, 350, 200, window, nullptr,
                             reinterpret_cast<const CREATESTRUCTA*>(lParam)->hInstance, nullptr);
      SendMessageA(List, LB_SETHORIZONTALEXTENT, 600, 0);
      return 0;
    case bench::kAddAllMessage:
      AddLines(Lines.size());
      return 0;
    case bench::kAddNextMessage:
      AddLines(static_cast<std::size_t>(wParam));
      return 0;
    case bench::kAddAllBatchedMessage:
      SendMessageA(List, WM_SETREDRAW, FALSE, 0);
      AddLines(Lines.size());
      SendMessageA(List, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(List, nullptr, TRUE);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  // The one argument, quoted or not.
  std::string path = commandLine != nullptr ? commandLine : "";
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
  if (!path.empty() && !LoadLines(path.c_str())) return 2;

  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = kClassName;
  if (RegisterClassA(&windowClass) == 0) return 3;

  HWND window = CreateWindowExA(0, kClassName, kWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                instance, nullptr);
  if (window == nullptr) return 4;
  ShowWindow(window, showCommand);
  UpdateWindow(window);

  MSG message = {};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
