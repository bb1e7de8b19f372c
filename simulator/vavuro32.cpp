// vavuro32.dll: the Win32 layer of the device simulator. It holds the one
// Simulator, gives it the platform hooks (PostMessageA, the journal file
// "vavuro32.jnl" in the working directory, VirtualQuery to probe caller
// memory) and forwards each export to it. No exception leaves an export: a
// failed allocation answers POSERR_SYS_MEMORY_ALLOCATION. It also opens the
// device bench window (bench_window.h) and serves the control pipe
// (control_pipe.h) from initialize to termination.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <mutex>
#include <new>
#include <string>

#include "api/device_api.h"
#include "simulator/bench_window.h"
#include "simulator/control_pipe.h"
#include "simulator/record_hooks.h"
#include "simulator/simulator.h"
#include "tables/pos_codes.h"

namespace sim {
namespace {

bool PostToWindow(std::uintptr_t window, std::uint32_t message, std::uint32_t wParam,
                  std::uint32_t lParam) {
  return PostMessageA(reinterpret_cast<HWND>(window), message, static_cast<WPARAM>(wParam),
                      static_cast<LPARAM>(lParam)) != FALSE;
}

// Appends the block and closes the file again, so the journal is complete
// on disk after every call and a test may read it while the tool runs; the
// control pipe keeps it too, so "journal N" shows this program's lines only.
void AppendToJournal(const char* text, std::size_t length) {
  KeepJournal(text, length);
  std::FILE* file = std::fopen(sim::kJournalFile, "ab");
  if (file == nullptr) return;
  std::fwrite(text, 1, length, file);
  std::fclose(file);
}

// Bytes from `address` to the end of its committed region, if that region
// may be read (or written).
std::size_t AccessibleBytes(const void* address, bool forWrite) {
  if (address == nullptr) return 0;
  MEMORY_BASIC_INFORMATION info;
  if (VirtualQuery(address, &info, sizeof info) == 0 || info.State != MEM_COMMIT) return 0;
  const DWORD protect = info.Protect & 0xFF;
  const DWORD writable = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE |
                         PAGE_EXECUTE_WRITECOPY;
  const DWORD readable = writable | PAGE_READONLY | PAGE_EXECUTE_READ;
  if ((info.Protect & PAGE_GUARD) != 0 || (protect & (forWrite ? writable : readable)) == 0) {
    return 0;
  }
  const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(info.BaseAddress) + info.RegionSize;
  return static_cast<std::size_t>(end - reinterpret_cast<std::uintptr_t>(address));
}

std::mutex gLock;

Simulator& Bench() {
  static Simulator simulator(Platform{PostToWindow, AppendToJournal, AccessibleBytes});
  return simulator;
}

// Runs one call on the bench under the lock; a failed allocation becomes a
// status instead of an exception leaving the library.
template <typename Call>
std::int32_t Guarded(Call call) {
  try {
    std::lock_guard<std::mutex> hold(gLock);
    return call(Bench());
  } catch (const std::bad_alloc&) {
    return pos::kErrSysMemoryAllocation;
  } catch (...) {
    return pos::kErrSysInternalError;
  }
}

}  // namespace

std::int32_t WithSimulator(const std::function<std::int32_t(Simulator&)>& call) {
  return Guarded([&](Simulator& s) { return call(s); });
}

}  // namespace sim

using sim::Guarded;
using sim::Simulator;

extern "C" {

std::int32_t POSAPI DLL_PosInitialize(void*, const char* applicationName,
                                      const char* resourceFile, ResourceArg* args,
                                      std::int32_t count) {
  std::uintptr_t window = 0;
  const std::int32_t status = Guarded([&](Simulator& s) {
    const std::int32_t result = s.Initialize(applicationName, resourceFile, args, count);
    window = s.QueueWindow();
    return result;
  });
  // The bench opens once the library is up, beside the window it notifies,
  // and the control pipe is served from then on.
  // A refused Initialize makes the program unload the library again: a
  // recording begun then would leave its hooks behind, and a later load
  // would record every event twice. It begins with the first that succeeds.
  if (status == 0) {
    sim::RecordFromInitialize();
    sim::OpenBenchWindow(window);
    sim::StartControlPipe();
  }
  return status;
}

std::int32_t POSAPI DLL_PosOpen(void*, const char* deviceName, const char* deviceClass,
                                ResourceArg* args, std::int32_t count, std::int32_t* out) {
  return Guarded([&](Simulator& s) { return s.Open(deviceName, deviceClass, args, count, out); });
}

std::int32_t POSAPI DLL_PosClose(void*, std::int32_t handle) {
  const std::int32_t status = Guarded([&](Simulator& s) { return s.Close(handle); });
#ifdef VAVURO_PLANTED_FAULT
  // Built so only for a test of the explorer: a refused Close answers one
  // more than the status its journal gives.
  if (status != 0) return status + 1;
#endif
  return status;
}

std::int32_t POSAPI DLL_PosIOCtl(void*, std::int32_t handle, std::int32_t request,
                                 ResourceArg* args, std::int32_t count, std::int32_t* out) {
  return Guarded([&](Simulator& s) { return s.IOCtl(handle, request, args, count, out); });
}

std::int32_t POSAPI DLL_PosRead(void*, std::int32_t handle, void* buffer, std::int32_t size,
                                std::int32_t* out) {
  return Guarded([&](Simulator& s) { return s.Read(handle, buffer, size, out); });
}

std::int32_t POSAPI DLL_PosWrite(void*, std::int32_t handle, const void* data,
                                 std::int32_t length, std::int32_t* out) {
  return Guarded([&](Simulator& s) { return s.Write(handle, data, length, out); });
}

std::int32_t POSAPI DLL_PosTerm(void*) {
  const std::int32_t status = Guarded([&](Simulator& s) { return s.Term(); });
  // A recording that runs when the program ends is kept as session-N.scn.
  std::string file;
  std::size_t steps = 0;
  if (sim::EndRecording(&file, &steps)) {
    const std::string note = "recording written to " + file + " (" + std::to_string(steps) + " steps)";
    Guarded([&](Simulator& s) {
      s.JournalNote(note.c_str());
      return 0;
    });
  }
  if (status == 0) {
    sim::StopControlPipe();
    sim::CloseBenchWindow();
  }
  return status;
}

std::int32_t POSAPI DLL_PosVersion(void*, std::int32_t a, std::int32_t b, std::int32_t c) {
  return Guarded([&](Simulator& s) { return s.Version(a, b, c); });
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}

}  // extern "C"
