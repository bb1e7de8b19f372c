// Reading the windows of REVEDIZ.exe from outside the tool's own code: from
// another process (the driver of revediz-run and the benchmarks) or from a
// thread of the tool's process that is not its GUI thread (the simulator's
// control pipe, its bench and its recording hooks). What the tool's windows
// are known by: the main window's class, the log's caption, the dialog class
// that dialogs and message boxes share, and the id of a box's text.
//
// Every message goes through SendMessageTimeout, so a hung tool costs a
// bounded wait and never blocks the reader. List box and combo box items are
// read with the wide messages and converted: Wine 8 overruns a char buffer
// with the ANSI ones across processes.
#ifndef REVEDIZ_TOOLWINDOWS_TOOL_WINDOWS_H
#define REVEDIZ_TOOLWINDOWS_TOOL_WINDOWS_H

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace toolwin {

inline constexpr char kMainClass[] = "REVEDIZ";
inline constexpr char kDialogClass[] = "#32770";
inline constexpr char kLogCaption[] = "Command and Status";
inline constexpr int kBoxTextId = 0xFFFF;

// How long a message may take and how the sender waits
// (SendMessageTimeout's flags).
struct Patience {
  UINT timeoutMs;
  UINT flags;
};
// A reader in another process.
inline constexpr Patience kFromOtherProcess{5000, SMTO_ABORTIFHUNG};
// A thread of the tool's own process (the simulator's), which must not take
// sent messages while it waits.
inline constexpr Patience kFromOwnProcess{2000, SMTO_ABORTIFHUNG | SMTO_BLOCK};

// SendMessageTimeout (ANSI / wide): whether the message was handled in time;
// *result (if given) gets its result.
bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result, Patience patience);
bool SendW(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result, Patience patience);

std::string ClassOf(HWND window);
// Case-insensitive, as Windows compares class names.
bool IsClass(HWND window, const char* name);

// A top-level window's caption as the system holds it: for a window of
// another process, read without a message, so a hung program cannot block.
std::string CaptionOf(HWND window);

// A window's text by WM_GETTEXTLENGTH and WM_GETTEXT. When the window does
// not answer: its caption as the system holds it if it belongs to another
// process, else "" (reading that would send the message again, unbounded).
std::string WindowText(HWND window, Patience patience);

// Dialogs of the tool are owned by its main window; message boxes have no
// owner. Both are of kDialogClass.
bool IsOwnedDialog(HWND window);
bool IsBox(HWND window);
// The text of a message box (its static control kBoxTextId), "" if none.
std::string BoxText(HWND box, Patience patience);

// The top-level windows of a process, in z-order.
std::vector<HWND> WindowsOf(DWORD processId);

// The "Command and Status" list box of a main window, or null.
HWND LogOf(HWND main);
// The log of the first top-level window of that process that has one, or
// null.
HWND FindLog(DWORD processId);

// The items of a list box or combo box from index `first` on, appended to
// *items. False at the first message that is not answered, with what
// was read before it and *why saying which read failed. A control that
// reports no count (LB_ERR) has no items.
bool ReadListItems(HWND control, std::size_t first, std::vector<std::string>* items, std::string* why,
                   Patience patience);

}  // namespace toolwin

#endif  // REVEDIZ_TOOLWINDOWS_TOOL_WINDOWS_H
