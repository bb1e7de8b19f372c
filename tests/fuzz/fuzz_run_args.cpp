// revediz-run's command line, whatever is typed: a line it reads is either a run of one scenario, with no word of
// the exploration, or an exploration of one bound and no scenario; every number it took is in its range.
#include "runner/command_line.h"
#include "tests/fuzz/fuzz_harness.h"

void FuzzOne(FuzzInput& input) {
  static const char* const kWords[] = {"--explore", "--seed", "--steps", "--minutes", "--shrink-minutes",
                                       "--timeout", "--tool", "--work", "--out"};
  std::vector<std::string> args;
  while (input.remaining_bytes() > 0 && args.size() < 10) {
    const std::uint8_t pick = input.Front() % 16;  // an option, or any text
    args.push_back(pick < 9 ? kWords[pick] : input.Field(24));
  }
  runner::CommandLine line;
  if (!runner::ReadCommandLine(args, &line)) return;
  FUZZ_CHECK(line.exploring == line.scenario.empty());
  FUZZ_CHECK(line.timeoutMs >= 0 && line.timeoutMs <= 0xFFFFFFFFLL && line.explore.shrinkMinutes >= 1);
  if (line.exploring) return FUZZ_CHECK((line.explore.steps > 0) != (line.explore.minutes > 0) && line.timeoutMs > 0);
  const runner::CommandLine fresh;
  FUZZ_CHECK(line.explore.steps == 0 && line.explore.minutes == 0 && line.explore.seed == fresh.explore.seed &&
             line.explore.shrinkMinutes == fresh.explore.shrinkMinutes);
}
