// Loads the built vavuro32.dll the way the tool does (by file, entries by
// exact name) and checks, under Wine, what only the real library can show:
// the exports, the notifications posted to a real window with their packing,
// the journal file, and that caller memory is probed rather than trusted.
// Exit status 0 when every check holds; each failure prints one line.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "api/device_api.h"
#include "simulator/sim_control.h"

namespace {

int gFailures = 0;

#define CHECK(cond)                                                        \
  do {                                                                     \
    if (!(cond)) {                                                         \
      std::printf("FAILED line %d: %s\n", __LINE__, #cond);                \
      ++gFailures;                                                         \
    }                                                                      \
  } while (0)

#define CHECK_EQ(expected, actual)                                                  \
  do {                                                                              \
    const long long e_ = static_cast<long long>(expected);                          \
    const long long a_ = static_cast<long long>(actual);                            \
    if (e_ != a_) {                                                                 \
      std::printf("FAILED line %d: %s == %s (0x%llX != 0x%llX)\n", __LINE__,         \
                  #expected, #actual, e_, a_);                                      \
      ++gFailures;                                                                  \
    }                                                                               \
  } while (0)

template <typename Fn>
Fn Entry(HMODULE module, const char* name) {
  Fn fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  if (fn == nullptr) {
    std::printf("FAILED: no export %s\n", name);
    ++gFailures;
  }
  return fn;
}

struct Notification {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// Collects the device messages that reach `window` until `count` arrived or
// two seconds passed (polled every 10 ms).
std::vector<Notification> Collect(HWND window, std::size_t count) {
  std::vector<Notification> got;
  for (int waited = 0; waited < 2000 && got.size() < count; waited += 10) {
    MSG msg;
    while (PeekMessageA(&msg, window, 0x4200, 0x42FF, PM_REMOVE)) {
      got.push_back({msg.message, msg.wParam, msg.lParam});
    }
    if (got.size() < count) Sleep(10);
  }
  return got;
}

std::string ReadFileText(const char* name) {
  std::string text;
  std::FILE* file = std::fopen(name, "rb");
  if (file == nullptr) return text;
  char chunk[4096];
  std::size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, n);
  std::fclose(file);
  return text;
}

std::uint32_t LittleEndian32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

int main() {
  DeleteFileA("vavuro32.jnl");

  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dll(path, length);
  dll = dll.substr(0, dll.find_last_of('\\') + 1) + SIM_DLL_RELATIVE_PATH;
  HMODULE module = LoadLibraryA(dll.c_str());
  if (module == nullptr) {
    std::printf("FAILED: cannot load %s (error %lu)\n", dll.c_str(), GetLastError());
    return 1;
  }

  auto initialize = Entry<DllPosInitializeFn>(module, "DLL_PosInitialize");
  auto open = Entry<DllPosOpenFn>(module, "DLL_PosOpen");
  auto close = Entry<DllPosCloseFn>(module, "DLL_PosClose");
  auto ioctl = Entry<DllPosIOCtlFn>(module, "DLL_PosIOCtl");
  auto read = Entry<DllPosReadFn>(module, "DLL_PosRead");
  auto write = Entry<DllPosWriteFn>(module, "DLL_PosWrite");
  auto term = Entry<DllPosTermFn>(module, "DLL_PosTerm");
  auto version = Entry<DllPosVersionFn>(module, "DLL_PosVersion");
  auto setFault = Entry<SimSetFaultFn>(module, "SimSetFault");
  auto clearFaults = Entry<SimClearFaultsFn>(module, "SimClearFaults");
  auto deviceText = Entry<SimGetDeviceTextFn>(module, "SimGetDeviceText");
  auto swipe = Entry<SimSwipeCardFn>(module, "SimSwipeCard");
  CHECK(GetProcAddress(module, "DLL_PosOpen@24") == nullptr);
  CHECK(GetProcAddress(module, "_DLL_PosOpen@24") == nullptr);
  if (gFailures != 0) return 1;

  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "SimDllTestWindow";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                wc.hInstance, nullptr);
  CHECK(window != nullptr);

  unsigned char context[16] = {};
  std::int32_t out = -1;

  // Before initialize.
  CHECK_EQ(302, open(context, "DEVNAME", "PosDisplay", nullptr, 0, &out));
  CHECK_EQ(0, out);

  // Initialize: twelve devices come on line at the window.
  ResourceArg queue{"queueHandle", reinterpret_cast<std::intptr_t>(window)};
  CHECK_EQ(0, initialize(context, "REVEDIZ", "C:\\VORN", &queue, 1));
  std::vector<Notification> online = Collect(window, 12);
  CHECK_EQ(12, online.size());
  bool sawDisplay = false;
  for (const Notification& n : online) {
    CHECK_EQ(0x420D, n.message);
    if (n.wParam == 0x02112402) {
      sawDisplay = true;
      CHECK_EQ(6, n.lParam);
    }
  }
  CHECK(sawDisplay);
  CHECK_EQ(304, initialize(context, "REVEDIZ", "C:\\VORN", &queue, 1));

  // The same events are queued for descriptor 0.
  unsigned char records[12 * 16];
  CHECK_EQ(312, read(context, 0, records, 15, &out));
  CHECK_EQ(0, read(context, 0, records, sizeof records, &out));
  CHECK_EQ(12 * 16, out);
  CHECK_EQ(0x420D, LittleEndian32(records + 4));
  CHECK_EQ(online[0].wParam, LittleEndian32(records + 8));
  CHECK_EQ(329, read(context, 0, records, sizeof records, &out));

  // The tool's defaults open a display; what is written shows on it.
  std::int32_t display = 0;
  CHECK_EQ(0, open(context, "DEVNAME", "PosDisplay", &queue, 1, &display));
  CHECK(display > 0);
  CHECK_EQ(0, write(context, display, "HELLO", 5, &out));
  CHECK_EQ(5, out);
  char shown[64] = {};
  CHECK_EQ(42, deviceText("PosDisplay", shown, sizeof shown));
  CHECK(std::strncmp(shown, "HELLO     ", 10) == 0);

  // A number where a text pointer belongs is refused, not followed.
  ResourceArg numberText{"DisplayText", 40};
  CHECK_EQ(334, open(context, "DEVNAME", "PosDisplay", &numberText, 1, &out));

  // GET_VALUES into an empty block right before an inaccessible page stops at
  // the page, though an empty block counts as 100 bytes.
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  char* pages = static_cast<char*>(
      VirtualAlloc(nullptr, info.dwPageSize * 2, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  DWORD old = 0;
  VirtualProtect(pages + info.dwPageSize, info.dwPageSize, PAGE_NOACCESS, &old);
  char* block = pages + info.dwPageSize - 30;
  block[0] = '\0';
  ResourceArg get{"DisplayText", reinterpret_cast<std::intptr_t>(block)};
  CHECK_EQ(0, ioctl(context, display, 302, &get, 1, &out));
  CHECK_EQ(29, std::strlen(block));
  CHECK(std::strncmp(block, "HELLO", 5) == 0);

  // The printer reports chase completion for the writing handle.
  std::int32_t printer = 0;
  CHECK_EQ(0, open(context, "PRN", "PosPrinter", &queue, 1, &printer));
  CHECK_EQ(0, write(context, printer, "LINE\n", 5, &out));
  std::vector<Notification> chase = Collect(window, 1);
  CHECK_EQ(1, chase.size());
  if (!chase.empty()) {
    CHECK_EQ(0x4204, chase[0].message);
    CHECK_EQ(printer, chase[0].wParam & 0xFF);
    CHECK_EQ(0x34, (chase[0].wParam >> 8) & 0xFF);
  }

  // The card reader tells its handle that data came.
  std::int32_t msr = 0;
  CHECK_EQ(0, open(context, "MSR", "PosMsr", &queue, 1, &msr));
  CHECK_EQ(0, swipe(";1234=5678?"));
  std::vector<Notification> data = Collect(window, 1);
  CHECK_EQ(1, data.size());
  if (!data.empty()) {
    CHECK_EQ(0x4203, data[0].message);
    CHECK_EQ(11, data[0].lParam & 0xFF);
  }

  // A read overrun asked for by a test writes past the buffer.
  std::int32_t nvram = 0;
  CHECK_EQ(0, open(context, "NV", "PosNvram", &queue, 1, &nvram));
  CHECK_EQ(0, setFault("PosNvram", kSimFaultReadOverrun, 4));
  unsigned char buffer[40];
  std::memset(buffer, 0xBB, sizeof buffer);
  CHECK_EQ(0, read(context, nvram, buffer, 32, &out));
  CHECK_EQ(32, out);
  CHECK_EQ(0xEE, buffer[32]);
  CHECK_EQ(0xEE, buffer[35]);
  CHECK_EQ(0xBB, buffer[36]);
  CHECK_EQ(331, setFault("PosBogus", kSimFaultError, 1));
  clearFaults();

  CHECK_EQ(0, version(context, 1, 2, 3));
  CHECK_EQ(0, close(context, display));
  CHECK_EQ(303, close(context, display));
  CHECK_EQ(0, term(context));
  CHECK_EQ(0, initialize(context, "REVEDIZ", "C:\\VORN", &queue, 1));
  CHECK_EQ(12, Collect(window, 12).size());
  CHECK_EQ(0, term(context));
  FreeLibrary(module);

  // The journal is on disk, one line per argument, CR LF ended.
  const std::string journal = ReadFileText("vavuro32.jnl");
  CHECK(journal.find("DLL_PosInitialize app=\"REVEDIZ\" resfile=\"C:\\VORN\" count=1\r\n") !=
        std::string::npos);
  char queueLine[64];
  std::snprintf(queueLine, sizeof queueLine, "  arg[0] queueHandle = 0x%08X\r\n",
                static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(window)));
  CHECK(journal.find(queueLine) != std::string::npos);
  CHECK(journal.find("DLL_PosWrite handle=1 length=5 data=48 45 4C 4C 4F\r\n  -> 0 out=5\r\n") !=
        std::string::npos);
  CHECK(journal.find("  # posted 0x420D wParam=0x02112402 lParam=0x00000006 to ") !=
        std::string::npos);

  DestroyWindow(window);
  std::printf("%s: %d failures\n", gFailures == 0 ? "PASSED" : "FAILED", gFailures);
  return gFailures == 0 ? 0 : 1;
}
