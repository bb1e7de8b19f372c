// Reading the tool's windows: see tool_windows.h.
#include "toolwindows/tool_windows.h"

namespace toolwin {
namespace {

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size, nullptr, nullptr);
  return out;
}

bool OfOtherProcess(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process != GetCurrentProcessId();
}

struct Collected {
  DWORD processId;
  std::vector<HWND> windows;
};

BOOL CALLBACK Collect(HWND window, LPARAM lParam) {
  auto* collected = reinterpret_cast<Collected*>(lParam);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == collected->processId) collected->windows.push_back(window);
  return TRUE;
}

}  // namespace

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result, Patience patience) {
  DWORD_PTR value = 0;
  const LRESULT ok = SendMessageTimeoutA(window, message, wParam, lParam, patience.flags, patience.timeoutMs, &value);
  if (result != nullptr) *result = value;
  return ok != 0;
}

bool SendW(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result, Patience patience) {
  DWORD_PTR value = 0;
  const LRESULT ok = SendMessageTimeoutW(window, message, wParam, lParam, patience.flags, patience.timeoutMs, &value);
  if (result != nullptr) *result = value;
  return ok != 0;
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

bool IsClass(HWND window, const char* name) { return lstrcmpiA(ClassOf(window).c_str(), name) == 0; }

std::string CaptionOf(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string WindowText(HWND window, Patience patience) {
  DWORD_PTR length = 0;
  if (!Send(window, WM_GETTEXTLENGTH, 0, 0, &length, patience)) {
    return OfOtherProcess(window) ? CaptionOf(window) : std::string();
  }
  if (static_cast<LRESULT>(length) <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  DWORD_PTR copied = 0;
  if (!Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &copied, patience)) {
    return OfOtherProcess(window) ? CaptionOf(window) : std::string();
  }
  text.resize(copied < text.size() ? static_cast<std::size_t>(copied) : text.size() - 1);
  return text;
}

bool IsOwnedDialog(HWND window) { return IsClass(window, kDialogClass) && GetWindow(window, GW_OWNER) != nullptr; }
bool IsBox(HWND window) { return IsClass(window, kDialogClass) && GetWindow(window, GW_OWNER) == nullptr; }

std::string BoxText(HWND box, Patience patience) {
  const HWND text = GetDlgItem(box, kBoxTextId);
  return text == nullptr ? std::string() : WindowText(text, patience);
}

std::vector<HWND> WindowsOf(DWORD processId) {
  Collected collected{processId, {}};
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&collected));
  return collected.windows;
}

HWND LogOf(HWND main) {
  if (main == nullptr || !IsWindow(main)) return nullptr;
  return FindWindowExA(main, nullptr, "LISTBOX", kLogCaption);
}

HWND FindLog(DWORD processId) {
  for (HWND window : WindowsOf(processId)) {
    if (HWND log = LogOf(window)) return log;
  }
  return nullptr;
}

bool ReadListItems(HWND control, std::size_t first, std::vector<std::string>* items, std::string* why,
                   Patience patience) {
  const bool combo = IsClass(control, "ComboBox");
  const UINT getCount = combo ? CB_GETCOUNT : LB_GETCOUNT;
  const UINT getLength = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
  const UINT getText = combo ? CB_GETLBTEXT : LB_GETTEXT;
  DWORD_PTR count = 0;
  if (!SendW(control, getCount, 0, 0, &count, patience)) {
    *why = "the list does not answer (hung?)";
    return false;
  }
  if (static_cast<LRESULT>(count) < 0) return true;
  for (DWORD_PTR i = first; i < count; ++i) {
    DWORD_PTR length = 0;
    if (!SendW(control, getLength, i, 0, &length, patience) || static_cast<LRESULT>(length) < 0) {
      *why = "cannot read the length of list item " + std::to_string(i);
      return false;
    }
    // Room to spare: the wide text is never longer than its length.
    std::wstring wide(length + 16, L'\0');
    DWORD_PTR copied = 0;
    if (!SendW(control, getText, i, reinterpret_cast<LPARAM>(wide.data()), &copied, patience) ||
        static_cast<LRESULT>(copied) < 0) {
      *why = "cannot read list item " + std::to_string(i);
      return false;
    }
    wide.resize(copied <= length ? copied : length);
    items->push_back(Narrow(wide));
  }
  return true;
}

}  // namespace toolwin
