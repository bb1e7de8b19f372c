// Steps on the simulator: bench requests, vavuro-ctl, raw lines to the
// control pipe and what the simulated devices show. See control_steps.h.
#include "runner/control_steps.h"

#include "runner/run.h"
#include "runner/steps.h"
#include "simulator/control_client.h"

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
    *why = program.substr(program.find_last_of("\\/") + 1) + " did not end within the time";
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

// Bench steps: one request line each to the simulator's control pipe.
// (The bench window is acted on as a dialog: dialog "Device Bench".)
void OnBench(Run& run, const Step& step) {
  std::int64_t expected = 0;
  const std::string line = scn::ControlLine(step, &expected);
  const sim::Reply reply = run.App(step).Control(line, run.timeout());
  if (!reply.ok && reply.status == 0) throw StepError{step.key + ": " + reply.text};
  if (reply.status != expected) throw Mismatch{line + " result", std::to_string(expected), std::to_string(reply.status)};
}

// vavuro-ctl, beside the tool, run as the operator would (with the tool's
// process id, as several tools may run at once).
void OnCtl(Run& run, const Step& step) {
  std::vector<std::string> words = {"--pid", std::to_string(run.App(step).ProcessId())};
  std::size_t count = step.args.size();
  std::int64_t exits = 0;
  if (count >= 2 && !step.args[count - 2].quoted && step.args[count - 2].text == "exits") {
    exits = Run::Number(step.args[count - 1]);
    count -= 2;
  }
  for (std::size_t i = 0; i < count; ++i) words.push_back(run.Text(step.args[i]));
  std::string why;
  if (!RunCtl(run.ToolFile("vavuro-ctl.exe"), words, run.App(step).PathOf(""), run.timeout(), &run.ctl, &why)) {
    throw StepError{"ctl: " + why};
  }
  if (run.ctl.exitCode != static_cast<DWORD>(exits)) {
    throw Mismatch{"vavuro-ctl exit status", std::to_string(exits),
                   std::to_string(run.ctl.exitCode) + ", output " + scn::ShowText(run.ctl.output)};
  }
}

void OnExpectCtlOutput(Run& run, const Step& step) {
  const std::string expected = run.Text(step.args[0]);
  if (run.ctl.output != expected) {
    throw Mismatch{"output of vavuro-ctl", scn::ShowText(expected), scn::ShowText(run.ctl.output)};
  }
}

void OnExpectCtlLog(Run& run, const Step& step) {
  std::string expected;
  for (const std::string& line : run.App(step).LogLines()) (expected += line) += "\n";
  if (run.ctl.output != expected) {
    throw Mismatch{"output of vavuro-ctl", scn::ShowText(expected), scn::ShowText(run.ctl.output)};
  }
}

// A raw line to the pipe, a client that never writes, or its end.
void OnPipe(Run& run, const Step& step) {
  if (run.idle != INVALID_HANDLE_VALUE) CloseHandle(run.idle);
  run.idle = INVALID_HANDLE_VALUE;
  const std::vector<Word>& a = step.args;
  if (!a[0].quoted && a[0].text == "close") return;
  std::string why;
  if (!a[0].quoted) {
    bool missing = false;
    run.idle = sim::ConnectControlPipe(run.App(step).ProcessId(), 0, run.timeout(), &missing, &why);
    if (run.idle == INVALID_HANDLE_VALUE) throw StepError{"pipe: " + why};
    return;
  }
  std::string line;
  for (std::int64_t n = a.size() == 3 ? Run::Number(a[2]) : 1; n > 0; --n) line += run.Text(a[0]);
  run.reply = run.App(step).Control(line, run.timeout());
}

void OnExpectReply(Run& run, const Step& step) {
  const std::string expected = run.Text(step.args[0]);
  if (ReplyHead(run.reply) != expected) {
    throw Mismatch{"reply", scn::ShowText(expected), scn::ShowText(ReplyHead(run.reply))};
  }
}

void OnExpectDeviceText(Run& run, const Step& step) {
  const std::string& target = step.args[0].text;
  const sim::Reply reply = run.App(step).Control("text " + sim::QuoteWord(target), run.timeout());
  if (!reply.ok) throw StepError{"device " + target + ": " + reply.text};
  std::string actual;
  for (const std::string& line : reply.lines) (actual += line) += "\n";
  const std::string expected = run.Text(step.args[1]);
  if (actual != expected) throw Mismatch{"text of " + target, scn::ShowText(expected), scn::ShowText(actual)};
}

}  // namespace runner
