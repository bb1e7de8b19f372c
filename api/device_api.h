// The device API contract: what the tool passes to the device library
// vavuro32.dll and what it relies on. Window-free; shared by the binding
// layer, the dialogs and the simulator that ships in place of the library.
//
// Calling convention: every entry point is __stdcall (the Win32 API's own
// convention) and is exported under its exact undecorated name
// ("DLL_PosOpen", not "DLL_PosOpen@24"). A replacement library must do the
// same.
#ifndef REVEDIZ_API_DEVICE_API_H
#define REVEDIZ_API_DEVICE_API_H

#include <cstdint>

#if defined(_WIN32)
#define POSAPI __stdcall
#else
#define POSAPI
#endif

// One named resource argument: a name and a 32-bit value (a number, or a
// pointer to text for string values). On 32-bit Windows both are 32 bits.
struct ResourceArg {
  const char* name;
  std::intptr_t value;
};

// Entry point types; the first argument is always the address of the
// binding layer's 16-byte DeviceApiContext.
using DllPosInitializeFn = std::int32_t(POSAPI*)(void* context, const char* applicationName,
                                                 const char* resourceFile, ResourceArg* args,
                                                 std::int32_t count);
using DllPosOpenFn = std::int32_t(POSAPI*)(void* context, const char* deviceName,
                                           const char* deviceClass, ResourceArg* args,
                                           std::int32_t count, std::int32_t* out);
using DllPosCloseFn = std::int32_t(POSAPI*)(void* context, std::int32_t handle);
using DllPosIOCtlFn = std::int32_t(POSAPI*)(void* context, std::int32_t handle,
                                            std::int32_t request, ResourceArg* args,
                                            std::int32_t count, std::int32_t* out);
using DllPosReadFn = std::int32_t(POSAPI*)(void* context, std::int32_t handle, void* buffer,
                                           std::int32_t size, std::int32_t* out);
using DllPosWriteFn = std::int32_t(POSAPI*)(void* context, std::int32_t handle,
                                            const void* data, std::int32_t length,
                                            std::int32_t* out);
using DllPosTermFn = std::int32_t(POSAPI*)(void* context);
using DllPosVersionFn = std::int32_t(POSAPI*)(void* context, std::int32_t a, std::int32_t b,
                                              std::int32_t c);

// Codes the binding layer produces itself.
inline constexpr std::int32_t kPosErrNotInitialized = 302;       // POSERR_SYS_NOT_INITIALIZED
inline constexpr std::int32_t kPosErrAlreadyInitialized = 304;   // POSERR_SYS_ALREADY_INITIALIZED
inline constexpr std::int32_t kPosErrFunctionNotSupported = 311; // POSERR_SYS_FUNCTION_NOT_SUPPORTED
inline constexpr std::int32_t kPosErrLoadFailed = 337;           // no row: library or entry missing

// The request whose values the library writes back into the argument array.
inline constexpr std::int32_t kPosSysGetValues = 302;  // POS_SYS_GET_VALUES

#endif  // REVEDIZ_API_DEVICE_API_H
