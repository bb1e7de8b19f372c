// revediz-run's use of the control pipe: see control_steps.h.
#include "runner/control_steps.h"

namespace runner {
namespace {

// A word of a command line as the C runtime splits it back: in quotes,
// backslashes doubled where they come before a quote.
std::string CommandWord(const std::string& word) {
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (char c : word) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  return out + "\"";
}

}  // namespace

bool RunCtl(const std::string& program, const std::vector<std::string>& words, const std::string& folder,
            DWORD timeoutMs, CtlRun* run, std::string* why) {
  std::string commandLine = CommandWord(program);
  for (const std::string& word : words) (commandLine += ' ') += CommandWord(word);
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 1 << 20)) {
    *why = "no pipe for the output of " + program;
    return false;
  }
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION process = {};
  const BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                     folder.c_str(), &startup, &process);
  CloseHandle(writeEnd);
  if (!started) {
    CloseHandle(readEnd);
    *why = "cannot start " + program + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  // Read as the program writes, until it has ended and its output is all
  // read, or the time is up.
  std::string output;
  char chunk[4096];
  const DWORD deadline = GetTickCount() + timeoutMs;
  bool ended = false;
  for (;;) {
    DWORD available = 0, got = 0;
    if (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
      if (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr)) output.append(chunk, got);
      continue;
    }
    if (ended) break;
    ended = WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0;
    if (!ended && static_cast<LONG>(deadline - GetTickCount()) <= 0) break;
  }
  CloseHandle(readEnd);
  if (!ended) TerminateProcess(process.hProcess, 99);
  GetExitCodeProcess(process.hProcess, &run->exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (!ended) {
    *why = program + " did not end within the time";
    return false;
  }
  run->output.clear();
  for (std::size_t i = 0; i < output.size(); ++i) {
    if (!(output[i] == '\r' && i + 1 < output.size() && output[i + 1] == '\n')) run->output += output[i];
  }
  return true;
}

std::string ReplyHead(const sim::Reply& reply) {
  if (!reply.ok) return "error " + sim::EscapeText(reply.text);
  return reply.text.empty() ? "ok" : "ok " + sim::EscapeText(reply.text);
}

}  // namespace runner
