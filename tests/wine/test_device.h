// A vavuro32.dll that records how the binding layer calls it, in ten folders:
// complete/ (all eight entries), no_version/ (no "DLL_PosVersion"), no_close/
// (no "DLL_PosClose"), init_fails/ ("DLL_PosInitialize" answers 305),
// crash_window/ ("DLL_PosInitialize" shows a window as Wine's crash window),
// no_paint/ (it leaves the tool's windows unpainted), slow/ (it takes 10 s),
// hoards/ (it keeps 96 MiB), scribbles/ (it adds a line to the tool's log) and
// mute/ (it serves the control pipe and answers nothing).
// "test_device.log" in the current folder gets "attach", "DLL_PosInitialize",
// "DLL_PosTerm", "detach unload" or "detach exit".
#ifndef REVEDIZ_TESTS_WINE_TEST_DEVICE_H
#define REVEDIZ_TESTS_WINE_TEST_DEVICE_H

#include <cstdint>

// What the library saw since it was loaded.
struct TestDeviceRecord {
  std::int32_t calls;              // entry calls
  const void* firstContext;        // the context of the first call
  std::int32_t otherContexts;      // calls with another context than the first
  std::int32_t contextNotZero;     // calls whose 16-byte context held a non-zero byte
  std::int32_t outNotZero;         // calls whose out value was not 0 on entry
  unsigned int errorModeAtLoad;    // the process error mode while the library loaded
  std::int32_t version[3];         // the arguments of DLL_PosVersion
};

// Test-only exports (cdecl, undecorated): the record of this load, and the
// status that the next entry call answers instead of 0.
extern "C" {
using TestDeviceGetRecordFn = TestDeviceRecord* (*)();
using TestDeviceFailNextFn = void (*)(std::int32_t status);
}

#endif  // REVEDIZ_TESTS_WINE_TEST_DEVICE_H
