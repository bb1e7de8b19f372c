// The host program's log: see host_log.h.
#include "simulator/host_log.h"

#include <windows.h>

namespace sim {
namespace {

constexpr UINT kLogTimeoutMs = 2000;
constexpr char kLogCaption[] = "Command and Status";

BOOL CALLBACK FindLog(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  HWND log = FindWindowExA(window, nullptr, "LISTBOX", kLogCaption);
  if (log == nullptr) return TRUE;
  *reinterpret_cast<HWND*>(found) = log;
  return FALSE;
}

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
  return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK, kLogTimeoutMs, result) !=
             0 &&
         static_cast<LRESULT>(*result) != LB_ERR;
}

}  // namespace

HWND FindHostLog() {
  HWND log = nullptr;
  EnumWindows(FindLog, reinterpret_cast<LPARAM>(&log));
  return log;
}

bool ReadListItems(HWND list, std::size_t from, std::vector<std::string>* items) {
  DWORD_PTR count = 0;
  if (!Send(list, LB_GETCOUNT, 0, 0, &count)) return false;
  for (DWORD_PTR i = from; i < count; ++i) {
    DWORD_PTR length = 0, got = 0;
    if (!Send(list, LB_GETTEXTLEN, i, 0, &length)) return false;
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    if (!Send(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()), &got)) return false;
    text.resize(static_cast<std::size_t>(got < length ? got : length));
    items->push_back(text);
  }
  return true;
}

bool ReadHostLog(std::vector<std::string>* lines, std::string* why) {
  lines->clear();
  const HWND log = FindHostLog();
  if (log == nullptr) {
    *why = "no \"Command and Status\" log in this program";
    return false;
  }
  *why = "the log did not answer";
  return ReadListItems(log, 0, lines);
}

}  // namespace sim
