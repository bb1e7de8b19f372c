// vavuro-ctl's command line, whatever is typed: it is refused with a reason, asks for the usage, or makes one
// request line whose verb and words read back as typed (the file of "record stop" always; another word when it
// holds no backslash, which the line reads as the start of an escape); a process id comes only from --pid.
#include "simulator/control_line.h"
#include "tests/fuzz/fuzz_harness.h"

void FuzzOne(FuzzInput& input) {
  std::vector<std::string> args;
  while (input.remaining_bytes() > 0 && args.size() < 8) {
    const std::uint8_t pick = input.Front() % 8;  // the words that steer it, or any text
    args.push_back(pick == 0 ? "--pid" : pick == 1 ? "record" : pick == 2 ? "stop" : input.Field(64));
  }
  sim::CtlCommand command;
  std::string why;
  switch (sim::ParseCtlArgs(args, &command, &why)) {
    case sim::CtlArgs::kWrong: return FUZZ_CHECK(!why.empty() && command.line.empty() && command.pid == 0);
    case sim::CtlArgs::kHelp: return;
    case sim::CtlArgs::kRequest: break;
  }
  std::size_t verb = 0;
  while (args[verb].starts_with('-')) verb += 2;  // only "--pid N" pairs get through
  FUZZ_CHECK((command.pid != 0) == (verb > 0) && (verb == 0 || std::stoul(args[verb - 1]) == command.pid));
  const std::vector<std::string> typed(args.begin() + static_cast<std::ptrdiff_t>(verb), args.end());
  bool escapes = false;
  for (std::size_t i = 1; i < typed.size(); ++i) {
    const bool file = i == 2 && typed[0] == "record" && typed[1] == "stop";
    escapes = escapes || (!file && typed[i].find('\\') != std::string::npos);
  }
  std::vector<std::string> words;
  std::string error;
  FUZZ_CHECK(escapes || (sim::SplitLine(command.line, &words, &error) && words == typed));
}
