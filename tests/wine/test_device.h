// The test device library: a vavuro32.dll that records what the binding layer
// passes to it. Built in three variants, each in a folder of its own:
//   complete/    all eight entries; records every call;
//   no_version/  lacks "DLL_PosVersion";
//   init_fails/  "DLL_PosInitialize" always answers 305.
// Besides the eight __stdcall entries it exports three cdecl test-only calls
// (below), found with GetProcAddress on the loaded module.
//
// Lifecycle events also go, one line each, to "test_device.log" in the current
// directory, so they can be checked after the library is freed or the process
// has ended: "attach", "DLL_PosInitialize", "DLL_PosTerm", and on detach
// "detach unload" (freed by FreeLibrary) or "detach exit" (process ending).
#ifndef REVEDIZ_TESTS_WINE_TEST_DEVICE_H
#define REVEDIZ_TESTS_WINE_TEST_DEVICE_H

#include <cstdint>

#include "api/device_api.h"

// Entries in the order of the binding layer's entry table.
enum TestEntry {
  kTestClose,
  kTestInitialize,
  kTestIOCtl,
  kTestOpen,
  kTestRead,
  kTestTerm,
  kTestVersion,
  kTestWrite,
  kTestEntryCount
};

inline constexpr char kTestDeviceLog[] = "test_device.log";

// What the library saw; zero at load.
struct TestDeviceRecord {
  std::int32_t calls[kTestEntryCount];
  void* context[kTestEntryCount];      // the context of each entry's last call
  std::int32_t contextNotZero;         // calls whose 16-byte context held a non-zero byte
  std::int32_t outOnEntry;             // *out when the last call with an out value began
  std::int32_t outMissing;             // calls given a null out pointer
  unsigned int errorModeAtLoad;        // the process error mode while the library was loaded

  const char* initApplication;
  const char* initResourceFile;
  ResourceArg* initArgs;
  std::int32_t initCount;

  const char* openName;
  const char* openClass;
  ResourceArg* openArgs;
  std::int32_t openCount;

  std::int32_t closeHandle;

  std::int32_t ioctlHandle;
  std::int32_t ioctlRequest;
  ResourceArg* ioctlArgs;
  std::int32_t ioctlCount;

  std::int32_t readHandle;
  void* readBuffer;
  std::int32_t readSize;

  std::int32_t writeHandle;
  const void* writeData;
  std::int32_t writeLength;

  std::int32_t version[3];
};

// Test-only exports (cdecl, undecorated).
extern "C" {
// The record of this load of the library.
using TestDeviceGetRecordFn = TestDeviceRecord* (*)();
// The next entry call (any entry) answers `status` instead of its own.
using TestDeviceFailNextFn = void (*)(std::int32_t status);
// The next entry call with an out value writes `value` through it; without
// this the library leaves the out value untouched.
using TestDeviceSetNextOutFn = void (*)(std::int32_t value);
}

#endif  // REVEDIZ_TESTS_WINE_TEST_DEVICE_H
