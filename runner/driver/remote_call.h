// Calls a cdecl export of a library that another process has loaded, inside
// that process: revediz-run acts on the simulator the tool has loaded (its
// control exports, simulator/sim_control.h), not on a copy of its own.
//
// How: the export's offset comes from the library file loaded here without
// running it; the library's base in the other process from its module list.
// A small routine written into the other process passes the arguments the
// way the C calling convention of its architecture does (on the stack for
// 32-bit x86, in registers and then on the stack for x86-64), calls the
// export and hands its result back as the exit code of the thread that ran
// it. Both processes must be of the same architecture.
#ifndef REVEDIZ_RUNNER_DRIVER_REMOTE_CALL_H
#define REVEDIZ_RUNNER_DRIVER_REMOTE_CALL_H

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace driver {

// One argument of a remote call.
struct RemoteArg {
  enum class Kind { kNumber, kText, kNull, kOutBuffer };
  Kind kind = Kind::kNumber;
  std::int32_t number = 0;  // kNumber; kOutBuffer: its size in bytes
  std::string text;         // kText (passed as a pointer to a copy); kOutBuffer: filled after the call

  static RemoteArg Number(std::int32_t value) { return {Kind::kNumber, value, {}}; }
  static RemoteArg Text(std::string value) { return {Kind::kText, 0, std::move(value)}; }
  static RemoteArg Null() { return {Kind::kNull, 0, {}}; }
  static RemoteArg OutBuffer(std::int32_t size) { return {Kind::kOutBuffer, size, {}}; }
};

// Calls `entry` of the module `moduleName` (e.g. "vavuro32.dll") loaded in
// process `pid`; `libraryFile` is the same library's file here. Returns true
// and sets *result to the export's result; false with *error when the call
// could not be made (module not loaded there, no such export, ...). Out
// buffers are read back into their `text`.
bool CallRemoteExport(DWORD pid, const std::string& moduleName, const std::string& libraryFile,
                      const std::string& entry, std::vector<RemoteArg>* args, std::int32_t* result,
                      std::string* error, DWORD timeoutMs);

}  // namespace driver

#endif  // REVEDIZ_RUNNER_DRIVER_REMOTE_CALL_H
