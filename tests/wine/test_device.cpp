// The test device library (test_device.h); linked with --kill-at so the
// __stdcall entries are exported undecorated, as the real library's are.
#include "tests/wine/test_device.h"

#include <windows.h>

#include <cstring>

#include "api/device_api.h"
#if defined(TEST_DEVICE_MUTE)
#include "simulator/control_line.h"
#elif defined(TEST_DEVICE_SCRIBBLES) || defined(TEST_DEVICE_NO_PAINT)
#include "toolwindows/tool_windows.h"
#endif

namespace {

TestDeviceRecord Record = {};
std::int32_t NextStatus = 0;

void Log(const char* line) {
  HANDLE file = CreateFileA("test_device.log", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
  WriteFile(file, "\r\n", 2, &written, nullptr);
  CloseHandle(file);
}

// Records the call's context and out value; returns the status to answer.
std::int32_t Enter(const void* context, const std::int32_t* out = nullptr) {
  if (Record.calls++ == 0) Record.firstContext = context;
  if (context != Record.firstContext) ++Record.otherContexts;
  const auto* bytes = static_cast<const unsigned char*>(context);
  for (int i = 0; i < 16; ++i) {
    if (bytes[i] != 0) {
      ++Record.contextNotZero;
      break;
    }
  }
  if (out != nullptr && *out != 0) ++Record.outNotZero;
  const std::int32_t status = NextStatus;
  NextStatus = 0;
  return status;
}

#if defined(TEST_DEVICE_NO_PAINT)
// The main window made to leave what it is asked to paint unvalidated, so
// that WM_PAINT comes without end.
WNDPROC MainProcedure = nullptr;

LRESULT CALLBACK PaintNothing(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) return 0;
  return CallWindowProcA(MainProcedure, window, message, wParam, lParam);
}

void LeaveUnpainted() {
  const HWND window = GetParent(toolwin::FindLog(GetCurrentProcessId()));  // the main window holds the log
  MainProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PaintNothing)));
  InvalidateRect(window, nullptr, FALSE);
}
#endif

#if defined(TEST_DEVICE_MUTE)
// The simulator's control pipe, served by one that takes a client's request
// and never answers it.
DWORD WINAPI NeverAnswer(LPVOID pipe) {
  ConnectNamedPipe(pipe, nullptr);
  Sleep(INFINITE);
  return 0;
}

void ServeMutely() {
  const HANDLE pipe = CreateNamedPipeA(sim::ControlPipeName(GetCurrentProcessId()).c_str(), PIPE_ACCESS_DUPLEX,
                                       PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
  if (pipe != INVALID_HANDLE_VALUE) CloseHandle(CreateThread(nullptr, 0, NeverAnswer, pipe, 0, nullptr));
}
#endif

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    Record.errorModeAtLoad = GetErrorMode();
    Log("attach");
  } else if (reason == DLL_PROCESS_DETACH) {
    Log(reserved == nullptr ? "detach unload" : "detach exit");
  }
  return TRUE;
}

__declspec(dllexport) std::int32_t POSAPI DLL_PosInitialize(void* context, const char*, const char*, ResourceArg*,
                                                            std::int32_t) {
  std::int32_t status = Enter(context);
  Log("DLL_PosInitialize");
#if defined(TEST_DEVICE_INIT_FAILS)
  status = 305;  // POSERR_SYS_MEMORY_ALLOCATION
#elif defined(TEST_DEVICE_CRASH_WINDOW)
  // The window Wine shows for a program that crashed, as the tool's own.
  CreateWindowExA(0, "STATIC", "Program Error", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 40, 40, 240, 90, nullptr,
                  nullptr, nullptr, nullptr);
#elif defined(TEST_DEVICE_NO_PAINT)
  LeaveUnpainted();
#elif defined(TEST_DEVICE_MUTE)
  ServeMutely();
#elif defined(TEST_DEVICE_SCRIBBLES)
  // A line of no form the tool writes, added to its log (the list box in
  // its main window) as if the tool had written it.
  SendMessageA(toolwin::FindLog(GetCurrentProcessId()), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("no form at all"));
#elif defined(TEST_DEVICE_STUBBORN)
  // A box (a dialog window of no owner) with no procedure of its own: the
  // default one ends nothing, so pressing OK leaves it showing.
  CreateWindowExA(0, "#32770", "Stubborn", WS_POPUP | WS_CAPTION | WS_VISIBLE, 60, 60, 200, 80, nullptr, nullptr,
                  nullptr, nullptr);
#elif defined(TEST_DEVICE_SLOW)
  Sleep(10000);  // the tool's windows answer nothing meanwhile
#elif defined(TEST_DEVICE_HOARDS)
  // 96 MiB kept and touched: the tool's working set grows by as much.
  const SIZE_T size = SIZE_T{96} << 20;
  if (auto* kept = static_cast<char*>(VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)))
    for (SIZE_T at = 0; at < size; at += 4096) kept[at] = 1;
#endif
  return status;
}
__declspec(dllexport) std::int32_t POSAPI DLL_PosOpen(void* context, const char*, const char*, ResourceArg*,
                                                      std::int32_t, std::int32_t* out) {
  return Enter(context, out);
}
#if !defined(TEST_DEVICE_NO_CLOSE)
__declspec(dllexport) std::int32_t POSAPI DLL_PosClose(void* context, std::int32_t) { return Enter(context); }
#endif
__declspec(dllexport) std::int32_t POSAPI DLL_PosIOCtl(void* context, std::int32_t, std::int32_t, ResourceArg*,
                                                       std::int32_t, std::int32_t* out) {
  return Enter(context, out);
}
__declspec(dllexport) std::int32_t POSAPI DLL_PosRead(void* context, std::int32_t, void*, std::int32_t,
                                                      std::int32_t* out) {
  return Enter(context, out);
}
__declspec(dllexport) std::int32_t POSAPI DLL_PosWrite(void* context, std::int32_t, const void*, std::int32_t,
                                                       std::int32_t* out) {
  return Enter(context, out);
}
__declspec(dllexport) std::int32_t POSAPI DLL_PosTerm(void* context) {
  const std::int32_t status = Enter(context);
  Log("DLL_PosTerm");
  return status;
}
#if !defined(TEST_DEVICE_NO_VERSION)
__declspec(dllexport) std::int32_t POSAPI DLL_PosVersion(void* context, std::int32_t a, std::int32_t b,
                                                         std::int32_t c) {
  Record.version[0] = a;
  Record.version[1] = b;
  Record.version[2] = c;
  return Enter(context);
}
#endif

__declspec(dllexport) TestDeviceRecord* TestDeviceGetRecord() { return &Record; }
__declspec(dllexport) void TestDeviceFailNext(std::int32_t status) { NextStatus = status; }

}  // extern "C"
