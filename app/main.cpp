// Program entry and the main window: the start-up check and defaults, the
// "REVEDIZ" window class, the "Pos_Commands" menu that runs one modal dialog
// per device call, and the hand-over of device notifications to the decoder.
#include <windows.h>

#include <cstdint>

#include "app/main_window.h"
#include "app/shell_globals.h"
#include "app/startup_check.h"
#include "decode/notifications.h"
#include "dialogs/dialogs.h"
#include "res/resource_ids.h"

HWND MainWindow = nullptr;
HINSTANCE ModuleInstance = nullptr;

namespace {

constexpr char kClassName[] = "REVEDIZ";
constexpr char kWindowTitle[] = "The REVEDIZ Program for Win95 and WinNT";
constexpr char kMenuName[] = "WinPOSMenu";

// The log's geometry in client pixels and how far it scrolls sideways.
constexpr int kLogX = 270;
constexpr int kLogY = 5;
constexpr int kLogWidth = 350;
constexpr int kLogHeight = 200;
constexpr WPARAM kLogHorizontalExtent = 600;

HMENU MainMenu = nullptr;

struct CommandDialog {
  WPARAM command;
  const char* templateName;
  DLGPROC procedure;
};

const CommandDialog kCommandDialogs[] = {
    {IDM_POS_INITIALIZE, "DispPosInit", InitDialogProc},
    {IDM_POS_OPEN, "DispPosOpen", OpenDialogProc},
    {IDM_POS_CLOSE, "DispPosClose", CloseDialogProc},
    {IDM_POS_IOCTL, "DispPosIoctl", IoctlDialogProc},
    {IDM_POS_READ, "DispPosRead", ReadDialogProc},
    {IDM_POS_WRITE, "DispPosWrite", WriteDialogProc},
};

// The device library posts 0x4201 and 0x4203 to 0x4210 to this window.
constexpr UINT kFirstNotification = 0x4201;
constexpr UINT kLastNotification = 0x4210;

bool IsDeviceNotification(UINT message) {
  return message == kFirstNotification || (message >= 0x4203 && message <= kLastNotification);
}

// A burst of notifications is logged under one held redraw of the log. The
// first one takes the hold and marks one pixel of this window for painting;
// the system sends WM_PAINT only once no posted message is left in the
// thread's queue, and OnPaint gives the hold back. So the log is redrawn once
// per burst, as soon as the queue is quiet, with no look at the queue per
// notification; a message box gives the hold back before it is shown.
LRESULT OnNotification(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static const RECT kCorner = {0, 0, 1, 1};
  if (HoldStatusLogRedraw()) InvalidateRect(window, &kCorner, FALSE);
  LRESULT result = 0;
  if (!IsDeviceNotification(message) ||
      !HandleDeviceNotification(message, static_cast<std::uint32_t>(wParam),
                                static_cast<std::uint32_t>(lParam))) {
    result = DefWindowProcA(window, message, wParam, lParam);
  }
  return result;
}

LRESULT OnCreate(HWND window, const CREATESTRUCTA* creation) {
  ModuleInstance = creation->hInstance;
  EnableMenuItem(MainMenu, IDM_POS_INITIALIZE, MF_BYCOMMAND | MF_ENABLED);
  // A captioned, movable, resizable, closable child; no list-box style bits,
  // so it is unsorted and sends no notifications. Child id 0.
  StatusLog = CreateWindowExA(
      0, "LISTBOX", "Command and Status",
      WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VSCROLL | WS_HSCROLL,
      kLogX, kLogY, kLogWidth, kLogHeight, window, nullptr, ModuleInstance, nullptr);
  SendMessageA(StatusLog, LB_SETHORIZONTALEXTENT, kLogHorizontalExtent, 0);
  return 0;
}

// Nothing is drawn; a paint means the queue is quiet (see OnNotification).
LRESULT OnPaint(HWND window) {
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  EndPaint(window, &paint);
  ReleaseStatusLogRedraw();
  return 0;
}

// The command id is the whole first parameter: a notification code in the
// high word makes it match no command.
LRESULT OnCommand(HWND window, WPARAM command) {
  if (command == IDM_EXIT) {
    DestroyWindow(window);
  } else {
    for (const CommandDialog& dialog : kCommandDialogs) {
      if (dialog.command == command) {
        DialogBoxParamA(ModuleInstance, dialog.templateName, window, dialog.procedure, 0);
        break;
      }
    }
  }
  DrawMenuBar(window);
  return 0;
}

LRESULT OnDestroy() {
  PostQuitMessage(0);
  if (StatusLog != nullptr && IsWindow(StatusLog)) SendMessageA(StatusLog, LB_RESETCONTENT, 0, 0);
  return 0;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= kFirstNotification && message <= kLastNotification) {
    return OnNotification(window, message, wParam, lParam);
  }
  switch (message) {
    case WM_CREATE:
      return OnCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_PAINT:
      return OnPaint(window);
    case WM_COMMAND:
      return OnCommand(window, wParam);
    case WM_DESTROY:
      return OnDestroy();
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

bool RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszMenuName = nullptr;  // the menu is given at window creation
  windowClass.lpszClassName = kClassName;
  return RegisterClassA(&windowClass) != 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  if (StartupFileCheck() != 0) return 1;

  ModuleInstance = instance;
  SetStartupDefaults();
  RegisterMainWindowClass(instance);
  MainMenu = LoadMenuA(instance, kMenuName);
  MainWindow = CreateWindowExA(0, kClassName, kWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, MainMenu,
                               instance, nullptr);
  ShowWindow(MainWindow, showCommand);
  UpdateWindow(MainWindow);

  MSG message = {};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
