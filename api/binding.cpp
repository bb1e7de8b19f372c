// Lazy binding of the device library vavuro32.dll.
//
// Calling convention: every entry of the library is __stdcall (POSAPI in
// api/device_api.h), with the context pointer as its first argument, and is
// exported under its exact undecorated name: "DLL_PosClose",
// "DLL_PosInitialize", "DLL_PosIOCtl", "DLL_PosOpen", "DLL_PosRead",
// "DLL_PosTerm", "DLL_PosVersion", "DLL_PosWrite" ("DLL_PosOpen", never
// "DLL_PosOpen@24"). A replacement library must export
// all eight so (with mingw: a .def file or -Wl,--kill-at); the layer resolves
// them by exact name and refuses a library that lacks any one of them.
//
// The library is loaded by file name through the system's normal search order
// on the first PosInitialize and freed by PosTerm, which the exit-time routine
// calls when the program ends with the library still initialized. All state
// is process-wide; only the GUI thread calls in, so nothing is locked.
#include "api/binding.h"

#include <windows.h>

#include <cerrno>
#include <cstdlib>

namespace {

// Entry addresses, in this order; all null while the library is not loaded.
struct DeviceApiEntries {
  DllPosCloseFn Close;
  DllPosInitializeFn Initialize;
  DllPosIOCtlFn IOCtl;
  DllPosOpenFn Open;
  DllPosReadFn Read;
  DllPosTermFn Term;
  DllPosVersionFn Version;
  DllPosWriteFn Write;
};

std::int32_t Initialized = 0;  // 1 from a successful PosInitialize until PosTerm
std::int32_t Registered = 0;   // 1 once the exit-time routine is registered; never cleared
DeviceApiEntries EntryTable = {};
HMODULE Library = nullptr;

// First argument of every entry; the library may keep its own data in it,
// the tool never reads or writes it.
unsigned char DeviceApiContext[16] = {};

// A status of 0 yields the value; any other status goes to errno and yields
// -1. errno is written only on failure.
std::int32_t ApiResult(std::int32_t status, std::int32_t value) {
  if (status == 0) {
    return value;
  }
  errno = status;
  return -1;
}

// Looks up one entry by its exact name into its slot; true when found.
// GetProcAddress's result goes through void* to the entry's own type.
template <typename Entry>
bool ResolveEntry(const char* name, Entry& slot) {
  slot = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(Library, name)));
  return slot != nullptr;
}

// Loads "vavuro32.dll" and resolves all eight entries. Returns 0, or 337 when
// the file cannot be loaded or lacks an entry (then nothing stays loaded).
std::int32_t LoadDeviceApi() {
  // No system box of its own when the file cannot be opened; the caller
  // reports the failure.
  const UINT previousMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
  Library = LoadLibraryA("vavuro32.dll");
  SetErrorMode(previousMode);
  if (Library == nullptr) {
    return kPosErrLoadFailed;
  }

  bool found = true;
  found = ResolveEntry("DLL_PosClose", EntryTable.Close) && found;
  found = ResolveEntry("DLL_PosInitialize", EntryTable.Initialize) && found;
  found = ResolveEntry("DLL_PosIOCtl", EntryTable.IOCtl) && found;
  found = ResolveEntry("DLL_PosOpen", EntryTable.Open) && found;
  found = ResolveEntry("DLL_PosRead", EntryTable.Read) && found;
  found = ResolveEntry("DLL_PosTerm", EntryTable.Term) && found;
  found = ResolveEntry("DLL_PosVersion", EntryTable.Version) && found;
  found = ResolveEntry("DLL_PosWrite", EntryTable.Write) && found;
  if (!found) {
    EntryTable = DeviceApiEntries{};
    FreeLibrary(Library);
    Library = nullptr;
    return kPosErrLoadFailed;
  }
  return 0;
}

// Frees the library and clears the entry table.
void UnloadDeviceApi() {
  if (Library != nullptr) {
    FreeLibrary(Library);
    Library = nullptr;
  }
  EntryTable = DeviceApiEntries{};
}

// Run at normal program exit: terminates a library left initialized.
void TerminateDeviceApiAtExit() {
  if (Initialized == 1) {
    (void)PosTerm();
  }
}

}  // namespace

std::int32_t PosInitialize(const char* applicationName, const char* resourceFile,
                           std::int32_t /*reserved1*/, std::int32_t /*reserved2*/,
                           ResourceArg* args, std::int32_t count) {
  std::int32_t status = 0;
  if (Initialized == 1) {
    status = kPosErrAlreadyInitialized;
  } else {
    status = LoadDeviceApi();
    if (status == 0) {
      status = EntryTable.Initialize(DeviceApiContext, applicationName, resourceFile, args, count);
      if (status != 0) {
        UnloadDeviceApi();
      } else {
        Initialized = 1;
        if (Registered == 0) {
          // The library stays initialized even when registering fails; the
          // caller then sees -1 with code -1.
          status = std::atexit(TerminateDeviceApiAtExit) == 0 ? 0 : -1;
          Registered = 1;
        }
      }
    }
  }
  return ApiResult(status, 0);
}

std::int32_t PosOpen(const char* deviceName, const char* deviceClass, ResourceArg* args,
                     std::int32_t count) {
  std::int32_t status = kPosErrNotInitialized;
  std::int32_t out = 0;
  if (Initialized == 1) {
    status = EntryTable.Open(DeviceApiContext, deviceName, deviceClass, args, count, &out);
  }
  return ApiResult(status, out);
}

std::int32_t PosClose(std::int32_t handle) {
  std::int32_t status = 0;
  if (Initialized == 0) {
    status = kPosErrNotInitialized;
  } else if (handle == 0) {
    status = kPosErrFunctionNotSupported;  // the queue is never closed
  } else {
    status = EntryTable.Close(DeviceApiContext, handle);
  }
  return ApiResult(status, 0);
}

std::int32_t PosIoctl(std::int32_t handle, std::int32_t request, ResourceArg* args,
                      std::int32_t count) {
  std::int32_t status = kPosErrNotInitialized;
  std::int32_t out = 0;
  if (Initialized == 1) {
    status = EntryTable.IOCtl(DeviceApiContext, handle, request, args, count, &out);
  }
  return ApiResult(status, out);
}

std::int32_t PosRead(std::int32_t handle, void* buffer, std::int32_t size) {
  std::int32_t status = kPosErrNotInitialized;
  std::int32_t out = 0;
  if (Initialized == 1) {
    status = EntryTable.Read(DeviceApiContext, handle, buffer, size, &out);
  }
  return ApiResult(status, out);
}

std::int32_t PosWrite(std::int32_t handle, const void* data, std::int32_t length) {
  std::int32_t status = kPosErrNotInitialized;
  std::int32_t out = 0;
  if (Initialized == 1) {
    status = EntryTable.Write(DeviceApiContext, handle, data, length, &out);
  }
  return ApiResult(status, out);
}

std::int32_t PosTerm() {
  std::int32_t status = kPosErrNotInitialized;
  if (Initialized == 1) {
    // Cleared first: whatever the library answers, it is not used again.
    Initialized = 0;
    status = EntryTable.Term(DeviceApiContext);
    UnloadDeviceApi();
  }
  return ApiResult(status, 0);
}

std::int32_t PosVersion(std::int32_t a, std::int32_t b, std::int32_t c) {
  std::int32_t status = kPosErrNotInitialized;
  if (Initialized == 1) {
    status = EntryTable.Version(DeviceApiContext, a, b, c);
  }
  return ApiResult(status, 0);
}
