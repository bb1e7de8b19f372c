// The control pipe's client: see control_client.h.
#include "simulator/control_client.h"

#include <windows.h>
#include <tlhelp32.h>

namespace sim {
namespace {

bool PipeExists(const std::string& name) {
  if (WaitNamedPipeA(name.c_str(), 1)) return true;
  const DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_BAD_PATHNAME && error != ERROR_PATH_NOT_FOUND;
}

DWORD Left(DWORD deadline) {
  const LONG left = static_cast<LONG>(deadline - GetTickCount());
  return left > 0 ? static_cast<DWORD>(left) : 0;
}

// Waits for an overlapped operation until the deadline; false (cancelled)
// when it did not complete in time.
bool Finish(HANDLE pipe, OVERLAPPED* ov, DWORD deadline, DWORD* bytes) {
  const DWORD woke = WaitForSingleObject(ov->hEvent, Left(deadline));
  if (woke != WAIT_OBJECT_0) CancelIo(pipe);
  return GetOverlappedResult(pipe, ov, bytes, TRUE) && woke == WAIT_OBJECT_0;
}

}  // namespace

std::vector<unsigned long> RunningSimulators() {
  std::vector<unsigned long> found;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return found;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (PipeExists(ControlPipeName(entry.th32ProcessID))) found.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return found;
}

HANDLE ConnectControlPipe(unsigned long processId, DWORD flags, unsigned long timeoutMs, bool* missing,
                          std::string* why) {
  const std::string name = ControlPipeName(processId);
  const DWORD deadline = GetTickCount() + timeoutMs;
  *missing = false;
  for (;;) {
    HANDLE pipe = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, flags, nullptr);
    if (pipe != INVALID_HANDLE_VALUE) return pipe;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) {
      *missing = true;
      *why = "no simulator serves " + name;
      return INVALID_HANDLE_VALUE;
    }
    if (error == ERROR_PIPE_BUSY && Left(deadline) == 0) {
      *why = "the simulator in process " + std::to_string(processId) + " is busy with another client";
      return INVALID_HANDLE_VALUE;
    }
    if (error != ERROR_PIPE_BUSY) {
      *why = "cannot open " + name + " (error " + std::to_string(error) + ")";
      return INVALID_HANDLE_VALUE;
    }
    // Another client holds the pipe: wait for it to be let go.
    WaitNamedPipeA(name.c_str(), Left(deadline) < 500 ? Left(deadline) : 500);
  }
}

Exchange ControlExchange(unsigned long processId, const std::string& line, Reply* reply, std::string* why,
                         unsigned long timeoutMs) {
  const DWORD deadline = GetTickCount() + timeoutMs;
  bool missing = false;
  HANDLE pipe = ConnectControlPipe(processId, FILE_FLAG_OVERLAPPED, timeoutMs, &missing, why);
  if (pipe == INVALID_HANDLE_VALUE) return missing ? Exchange::kNoSimulator : Exchange::kFailed;
  OVERLAPPED ov = {};
  ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  Exchange result = Exchange::kFailed;
  const std::string request = line + "\n";
  std::string received;
  DWORD done = 0;
  std::size_t sent = 0;
  while (sent < request.size()) {
    ResetEvent(ov.hEvent);
    if ((!WriteFile(pipe, request.data() + sent, static_cast<DWORD>(request.size() - sent), nullptr, &ov) &&
         GetLastError() != ERROR_IO_PENDING) ||
        !Finish(pipe, &ov, deadline, &done)) {
      *why = "the request could not be sent (error " + std::to_string(GetLastError()) + ")";
      break;
    }
    sent += done;
  }
  char chunk[65536];
  while (sent == request.size()) {
    const ReplyRead read = ParseReply(received, reply);
    if (read == ReplyRead::kComplete) {
      result = Exchange::kDone;
      break;
    }
    if (read == ReplyRead::kMalformed) {
      *why = "the reply cannot be read";
      break;
    }
    ResetEvent(ov.hEvent);
    if ((!ReadFile(pipe, chunk, sizeof chunk, nullptr, &ov) && GetLastError() != ERROR_IO_PENDING) ||
        !Finish(pipe, &ov, deadline, &done) || done == 0) {
      *why = received.empty() ? "no reply" : "the reply broke off";
      break;
    }
    received.append(chunk, done);
  }
  CloseHandle(ov.hEvent);
  CloseHandle(pipe);
  return result;
}

}  // namespace sim
