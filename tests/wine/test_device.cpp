// The test device library (see test_device.h). One source, three variants:
// TEST_DEVICE_NO_VERSION leaves out "DLL_PosVersion", TEST_DEVICE_INIT_FAILS
// makes "DLL_PosInitialize" answer 305. Linked with --kill-at so the __stdcall
// entries are exported undecorated, as the real library exports them.
#include "tests/wine/test_device.h"

#include <windows.h>

#include <cstring>

namespace {

TestDeviceRecord Record = {};
std::int32_t NextStatus = 0;
bool NextOutSet = false;
std::int32_t NextOut = 0;

void Log(const char* line) {
  HANDLE file = CreateFileA(kTestDeviceLog, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return;
  }
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
  WriteFile(file, "\r\n", 2, &written, nullptr);
  CloseHandle(file);
}

// Counts the call and checks its context; returns the status to answer.
std::int32_t Enter(TestEntry entry, void* context) {
  ++Record.calls[entry];
  Record.context[entry] = context;
  const unsigned char* bytes = static_cast<const unsigned char*>(context);
  for (int i = 0; i < 16; ++i) {
    if (bytes[i] != 0) {
      ++Record.contextNotZero;
      break;
    }
  }
  const std::int32_t status = NextStatus;
  NextStatus = 0;
  return status;
}

void HandleOut(std::int32_t* out) {
  if (out == nullptr) {
    ++Record.outMissing;
    return;
  }
  Record.outOnEntry = *out;
  if (NextOutSet) {
    *out = NextOut;
    NextOutSet = false;
  }
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    Record.errorModeAtLoad = GetErrorMode();
    Log("attach");
  } else if (reason == DLL_PROCESS_DETACH) {
    Log(reserved == nullptr ? "detach unload" : "detach exit");
  }
  return TRUE;
}

__declspec(dllexport) std::int32_t POSAPI DLL_PosInitialize(void* context,
                                                            const char* applicationName,
                                                            const char* resourceFile,
                                                            ResourceArg* args,
                                                            std::int32_t count) {
  std::int32_t status = Enter(kTestInitialize, context);
  Record.initApplication = applicationName;
  Record.initResourceFile = resourceFile;
  Record.initArgs = args;
  Record.initCount = count;
  Log("DLL_PosInitialize");
#if defined(TEST_DEVICE_INIT_FAILS)
  status = 305;  // POSERR_SYS_MEMORY_ALLOCATION
#endif
  return status;
}

__declspec(dllexport) std::int32_t POSAPI DLL_PosOpen(void* context, const char* deviceName,
                                                      const char* deviceClass, ResourceArg* args,
                                                      std::int32_t count, std::int32_t* out) {
  const std::int32_t status = Enter(kTestOpen, context);
  Record.openName = deviceName;
  Record.openClass = deviceClass;
  Record.openArgs = args;
  Record.openCount = count;
  HandleOut(out);
  return status;
}

__declspec(dllexport) std::int32_t POSAPI DLL_PosClose(void* context, std::int32_t handle) {
  const std::int32_t status = Enter(kTestClose, context);
  Record.closeHandle = handle;
  return status;
}

__declspec(dllexport) std::int32_t POSAPI DLL_PosIOCtl(void* context, std::int32_t handle,
                                                       std::int32_t request, ResourceArg* args,
                                                       std::int32_t count, std::int32_t* out) {
  const std::int32_t status = Enter(kTestIOCtl, context);
  Record.ioctlHandle = handle;
  Record.ioctlRequest = request;
  Record.ioctlArgs = args;
  Record.ioctlCount = count;
  HandleOut(out);
  return status;
}

__declspec(dllexport) std::int32_t POSAPI DLL_PosRead(void* context, std::int32_t handle,
                                                      void* buffer, std::int32_t size,
                                                      std::int32_t* out) {
  const std::int32_t status = Enter(kTestRead, context);
  Record.readHandle = handle;
  Record.readBuffer = buffer;
  Record.readSize = size;
  HandleOut(out);
  return status;
}

__declspec(dllexport) std::int32_t POSAPI DLL_PosWrite(void* context, std::int32_t handle,
                                                       const void* data, std::int32_t length,
                                                       std::int32_t* out) {
  const std::int32_t status = Enter(kTestWrite, context);
  Record.writeHandle = handle;
  Record.writeData = data;
  Record.writeLength = length;
  HandleOut(out);
  return status;
}

__declspec(dllexport) std::int32_t POSAPI DLL_PosTerm(void* context) {
  const std::int32_t status = Enter(kTestTerm, context);
  Log("DLL_PosTerm");
  return status;
}

#if !defined(TEST_DEVICE_NO_VERSION)
__declspec(dllexport) std::int32_t POSAPI DLL_PosVersion(void* context, std::int32_t a,
                                                         std::int32_t b, std::int32_t c) {
  const std::int32_t status = Enter(kTestVersion, context);
  Record.version[0] = a;
  Record.version[1] = b;
  Record.version[2] = c;
  return status;
}
#endif

__declspec(dllexport) TestDeviceRecord* TestDeviceGetRecord() { return &Record; }

__declspec(dllexport) void TestDeviceFailNext(std::int32_t status) { NextStatus = status; }

__declspec(dllexport) void TestDeviceSetNextOut(std::int32_t value) {
  NextOutSet = true;
  NextOut = value;
}

}  // extern "C"
