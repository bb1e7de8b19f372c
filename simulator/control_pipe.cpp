// The control pipe: see control_pipe.h.
#include "simulator/control_pipe.h"

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "simulator/bench_window.h"
#include "simulator/control_line.h"
#include "simulator/control_serve.h"
#include "simulator/host_log.h"
#include "simulator/record_hooks.h"

namespace sim {
namespace {

// A reply the client does not take within this long ends its connection.
constexpr DWORD kWriteTimeoutMs = 5000;

struct Server {
  HANDLE thread = nullptr;
  HANDLE stop = nullptr;
};
Server gServer;

// The journal lines this library instance wrote (the file may hold other
// programs' too, when they share a working folder).
std::mutex gJournalLock;
JournalMemory& Journal() {
  static JournalMemory* memory = new JournalMemory;  // left to the process's end, used until then
  return *memory;
}

class PipeHost : public ControlHost {
 public:
  std::int32_t Run(const std::function<std::int32_t(Simulator&)>& call) override { return WithSimulator(call); }

  bool LogLines(std::vector<std::string>* lines, std::string* why) override { return ReadHostLog(lines, why); }

  std::int32_t Act(std::string_view line, const std::function<std::int32_t(Simulator&)>& call) override {
    return RecordedAction(line, [&] { return WithSimulator(call); });
  }

  bool StartRecording(std::string* why) override {
    std::uintptr_t window = 0;
    WithSimulator([&](Simulator& s) {
      window = s.QueueWindow();
      return 0;
    });
    return sim::StartRecording(window, why);
  }

  bool StopRecording(const std::string& file, std::size_t* steps, std::string* why) override {
    return sim::StopRecording(file, steps, why);
  }
  bool RecordStep(const std::string& line, std::string* why) override { return sim::RecordStep(line, why); }

  std::vector<std::string> JournalLines() override { return JournalTail(JournalMemory::kMost); }

  std::vector<std::string> JournalTail(std::size_t count) override {
    std::lock_guard<std::mutex> hold(gJournalLock);
    return Journal().Last(count);
  }
};

// Waits for an overlapped operation, the stop event or the time; false
// (with the operation cancelled) unless the operation completed.
bool Finish(HANDLE pipe, OVERLAPPED* ov, DWORD timeoutMs, DWORD* bytes) {
  HANDLE waits[2] = {ov->hEvent, gServer.stop};
  const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, timeoutMs);
  if (woke != WAIT_OBJECT_0) CancelIo(pipe);
  const BOOL done = GetOverlappedResult(pipe, ov, bytes, TRUE);
  return woke == WAIT_OBJECT_0 && done;
}

bool WriteAll(HANDLE pipe, OVERLAPPED* ov, const std::string& reply) {
  std::size_t at = 0;
  while (at < reply.size()) {
    DWORD wrote = 0;
    ResetEvent(ov->hEvent);
    const DWORD size = static_cast<DWORD>(reply.size() - at);
    if (!WriteFile(pipe, reply.data() + at, size, nullptr, ov) && GetLastError() != ERROR_IO_PENDING) return false;
    if (!Finish(pipe, ov, kWriteTimeoutMs, &wrote) || wrote == 0) return false;
    at += wrote;
  }
  return true;
}

// Serves one client until it leaves, is let go (a line not finished in
// time, ControlSession) or the server stops.
void ServeClient(HANDLE pipe, OVERLAPPED* ov, PipeHost& host) {
  ControlSession session(host, GetTickCount());
  char chunk[4096];
  for (;;) {
    DWORD got = 0;
    ResetEvent(ov->hEvent);
    if (!ReadFile(pipe, chunk, sizeof chunk, nullptr, ov) && GetLastError() != ERROR_IO_PENDING) return;
    if (!Finish(pipe, ov, session.Left(GetTickCount()), &got) || got == 0) return;
    const std::string replies = session.Take(std::string_view(chunk, got), GetTickCount());
    if (replies.empty()) continue;
    if (!WriteAll(pipe, ov, replies)) return;
    session.Replied(GetTickCount());
  }
}

DWORD WINAPI ServeThread(LPVOID parameter) {
  const HMODULE module = static_cast<HMODULE>(parameter);
  const std::string name = ControlPipeName(GetCurrentProcessId());
  HANDLE pipe = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                 PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
                                 65536, 65536, 0, nullptr);
  OVERLAPPED ov = {};
  ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (pipe == INVALID_HANDLE_VALUE || ov.hEvent == nullptr) {
    const std::string note = "control pipe " + name + " could not be made (error " + std::to_string(GetLastError()) + ")";
    WithSimulator([&](Simulator& s) {
      s.JournalNote(note.c_str());
      return 0;
    });
  } else {
    PipeHost host;
    for (;;) {
      ResetEvent(ov.hEvent);
      bool connected = ConnectNamedPipe(pipe, &ov) != FALSE;
      const DWORD error = GetLastError();
      if (!connected && error == ERROR_PIPE_CONNECTED) {
        connected = true;
      } else if (!connected && error == ERROR_IO_PENDING) {
        DWORD unused = 0;
        connected = Finish(pipe, &ov, INFINITE, &unused);
      }
      if (WaitForSingleObject(gServer.stop, 0) == WAIT_OBJECT_0) break;
      if (connected) ServeClient(pipe, &ov, host);
      FlushFileBuffers(pipe);
      DisconnectNamedPipe(pipe);
    }
  }
  if (pipe != INVALID_HANDLE_VALUE) CloseHandle(pipe);
  if (ov.hEvent != nullptr) CloseHandle(ov.hEvent);
  // Like the bench, the thread holds its own reference on the library.
  FreeLibraryAndExitThread(module, 0);
}

}  // namespace

void KeepJournal(const char* text, std::size_t length) {
  std::lock_guard<std::mutex> hold(gJournalLock);
  Journal().Add(std::string_view(text, length));
}

void StartControlPipe() {
  if (gServer.thread != nullptr) {
    if (WaitForSingleObject(gServer.thread, 0) == WAIT_TIMEOUT) return;
    StopControlPipe();
  }
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&ServeThread), &module))
    return;
  gServer.stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  gServer.thread = gServer.stop != nullptr ? CreateThread(nullptr, 0, ServeThread, module, 0, nullptr) : nullptr;
  if (gServer.thread == nullptr) {
    if (gServer.stop != nullptr) CloseHandle(gServer.stop);
    gServer.stop = nullptr;
    FreeLibrary(module);
  }
}

void StopControlPipe() {
  if (gServer.thread == nullptr) return;
  SetEvent(gServer.stop);
  const DWORD deadline = GetTickCount() + 5000;
  for (;;) {
    const DWORD now = GetTickCount();
    const DWORD left = static_cast<LONG>(deadline - now) > 0 ? deadline - now : 0;
    const DWORD woke = MsgWaitForMultipleObjects(1, &gServer.thread, FALSE, left, QS_SENDMESSAGE);
    if (woke != WAIT_OBJECT_0 + 1) break;
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // answers sent messages
  }
  CloseHandle(gServer.thread);
  CloseHandle(gServer.stop);
  gServer.thread = nullptr;
  gServer.stop = nullptr;
}

}  // namespace sim
