// Inside the driver: one started program (its process, main window and
// working folder), shared by the driver's objects, and the message helpers
// its parts share. Not for the driver's users (driver.h).
#ifndef REVEDIZ_RUNNER_DRIVER_SESSION_H
#define REVEDIZ_RUNNER_DRIVER_SESSION_H

#include <string>
#include <string_view>
#include <vector>

#include "runner/driver/driver.h"
#include "toolwindows/tool_windows.h"

namespace driver::detail {

// The program is another process: every message is bounded so.
inline constexpr toolwin::Patience kPatience = toolwin::kFromOtherProcess;

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

// SendMessageTimeout that reports whether the message was handled.
bool SendA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result,
           UINT timeoutMs = kPatience.timeoutMs);
// The text of a message box of the program.
std::string BoxText(HWND box);
// text in double quotes, for failure messages.
std::string Quote(std::string_view text);

}  // namespace driver::detail

#endif  // REVEDIZ_RUNNER_DRIVER_SESSION_H
