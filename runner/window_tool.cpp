// A small console helper for scripts/run.sh, run under the same Wine desktop
// as the tool:
//   revediz_window wait [ms]   waits until REVEDIZ's main window is visible
//                              and prints its rectangle "x y width height"
//                              (desktop pixels); status 1 if it never shows
//   revediz_window close [ms]  closes the main window with its close box and
//                              waits until it is gone; status 1 if it stays
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HWND FindMainWindow() {
  HWND window = FindWindowA("REVEDIZ", nullptr);
  return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

// Polls every 20 ms until want(FindMainWindow()) holds or ms pass.
template <typename Want>
HWND PollMainWindow(DWORD ms, Want want) {
  ULONGLONG deadline = GetTickCount64() + ms;
  for (;;) {
    HWND window = FindMainWindow();
    if (want(window)) return window;
    if (GetTickCount64() >= deadline) return reinterpret_cast<HWND>(-1);
    Sleep(20);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: revediz_window wait|close [ms] | hold [file]\n");
    return 2;
  }
  DWORD ms = argc > 2 ? static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)) : 20000;
  if (std::strcmp(argv[1], "wait") == 0) {
    HWND window = PollMainWindow(ms, [](HWND w) { return w != nullptr; });
    if (window == reinterpret_cast<HWND>(-1)) return 1;
    // Let the first paint finish before anyone looks at the screen.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    RECT rect = {};
    GetWindowRect(window, &rect);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    return 0;
  }
  if (std::strcmp(argv[1], "close") == 0) {
    HWND window = FindMainWindow();
    if (window != nullptr) PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND left = PollMainWindow(ms, [](HWND w) { return w == nullptr; });
    return left == nullptr ? 0 : 1;
  }
  if (std::strcmp(argv[1], "hold") == 0) {
    GetDesktopWindow();  // returns once the desktop process has made it
    if (argc > 2) {
      HANDLE ready = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
    }
    for (;;) Sleep(INFINITE);
  }
  std::fprintf(stderr, "unknown command %s\n", argv[1]);
  return 2;
}
