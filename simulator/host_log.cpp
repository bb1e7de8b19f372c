// The host program's log: see host_log.h.
#include "simulator/host_log.h"

#include <windows.h>

#include <memory>
#include <mutex>

#include "toolwindows/tool_windows.h"

namespace sim {
namespace {

using toolwin::kFromOwnProcess;

// One read handed to the log's thread. Shared with the hook, which may
// still hold it when the reader has given up waiting.
struct Job {
  HWND log = nullptr;
  std::size_t from = 0;
  LPARAM id = 0;
  HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::vector<std::string> lines;
  bool read = false;
  ~Job() {
    if (done != nullptr) CloseHandle(done);
  }
};

std::mutex gReadLock;  // one read on the log's thread at a time
std::mutex gJobLock;   // guards gJob
std::shared_ptr<Job> gJob;
LPARAM gJobs = 0;

UINT JobMessage() {
  static const UINT message = RegisterWindowMessageA("vavuro32 read log");
  return message;
}

bool ReadHere(HWND log, std::size_t from, std::vector<std::string>* lines) {
  std::string why;
  return toolwin::ReadListItems(log, from, lines, &why, kFromOwnProcess);
}

// On the log's thread: the job's message does its read and is then taken
// as WM_NULL, so nothing else sees it.
LRESULT CALLBACK JobHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    MSG& m = *reinterpret_cast<MSG*>(lParam);
    if (m.message == JobMessage()) {
      std::shared_ptr<Job> job;
      {
        std::lock_guard<std::mutex> hold(gJobLock);
        if (gJob && gJob->id == m.lParam && gJob->log == m.hwnd) job = gJob;
      }
      if (job) {
        job->read = ReadHere(job->log, job->from, &job->lines);
        SetEvent(job->done);
      }
      m.message = WM_NULL;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Waits for the job, taking the messages sent to this thread meanwhile (the
// bench's thread has a window the log's thread may be sending to).
bool WaitFor(const Job& job, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
    const DWORD woke = MsgWaitForMultipleObjects(1, &job.done, FALSE, left, QS_SENDMESSAGE);
    if (woke == WAIT_OBJECT_0) return true;
    if (woke != WAIT_OBJECT_0 + 1) return false;
    MSG m;
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

// The read done on the log's thread; false when that thread did not come to
// its queue in time.
bool ReadOnLogThread(HWND log, DWORD thread, std::size_t from, std::vector<std::string>* lines) {
  std::lock_guard<std::mutex> one(gReadLock);
  auto job = std::make_shared<Job>();
  job->log = log, job->from = from;
  if (job->done == nullptr) return false;
  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, JobHook, nullptr, thread);
  if (hook == nullptr) return false;
  {
    std::lock_guard<std::mutex> hold(gJobLock);
    job->id = ++gJobs;
    gJob = job;
  }
  const bool done = PostMessageA(log, JobMessage(), 0, job->id) && WaitFor(*job, kFromOwnProcess.timeoutMs);
  {
    std::lock_guard<std::mutex> hold(gJobLock);
    gJob.reset();
  }
  UnhookWindowsHookEx(hook);
  if (!done || !job->read) return false;
  lines->insert(lines->end(), job->lines.begin(), job->lines.end());
  return true;
}

}  // namespace

HWND FindHostLog() { return toolwin::FindLog(GetCurrentProcessId()); }

bool ReadLogLines(HWND log, std::size_t from, std::vector<std::string>* lines) {
  if (log == nullptr) return false;
  const DWORD thread = GetWindowThreadProcessId(log, nullptr);
  if (thread != 0 && thread != GetCurrentThreadId() && ReadOnLogThread(log, thread, from, lines)) return true;
  return ReadHere(log, from, lines);
}

bool ReadHostLog(std::vector<std::string>* lines, std::string* why) {
  lines->clear();
  const HWND log = FindHostLog();
  if (log == nullptr) {
    *why = "no \"Command and Status\" log in this program";
    return false;
  }
  *why = "the log did not answer";
  return ReadLogLines(log, 0, lines);
}

}  // namespace sim
