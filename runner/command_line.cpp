// revediz-run's command line: see command_line.h.
#include "runner/command_line.h"

#include "scenario/scenario.h"

namespace runner {

const char kUsage[] =
    "usage: revediz-run [--tool DIR] [--work DIR] [--out DIR] [--timeout MS] SCENARIO\n"
    "  --tool     folder of REVEDIZ.exe, vavuro32.dll and the .DAT files (default: this program's)\n"
    "  --work     where the run's working folder is made (default: the temp folder)\n"
    "  --out      where SCENARIO.fail.bmp goes after a failure (default: the current folder)\n"
    "  --timeout  bound of every wait, in milliseconds (default 10000)\n"
    "       revediz-run --explore [--seed S] [--steps N | --minutes M] [--out DIR] [--tool DIR] [--work DIR]\n"
    "  --explore  plays a random session and checks the oracles; a failure is shrunk to\n"
    "             explore-S-min.scn in --out (default: 1000 steps, seed 1; --shrink-minutes\n"
    "             bounds the shrinking, default 15)\n"
    "The scenario language is described in SCENARIOS.md.\n";

namespace {

bool Within(const std::string& text, std::int64_t least, std::int64_t most, std::int64_t* value) {
  return scn::ParseNumber(text, value) && *value >= least && *value <= most;
}

}  // namespace

bool ReadCommandLine(const std::vector<std::string>& args, CommandLine* line) {
  constexpr std::int64_t kMost = INT64_MAX;
  bool exploreWords = false;  // --seed, --steps, --minutes, --shrink-minutes: only with --explore
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--explore") {
      line->exploring = true;
      continue;
    }
    if (arg.empty() || arg[0] != '-') {
      if (!line->scenario.empty()) return false;
      line->scenario = arg;
      continue;
    }
    if (i + 1 == args.size()) return false;  // every other option takes a value
    const std::string& value = args[++i];
    std::int64_t number = 0;
    if (arg == "--seed") {
      if (!Within(value, 0, kMost, &number)) return false;
      line->explore.seed = static_cast<std::uint64_t>(number);
    } else if (arg == "--steps" || arg == "--minutes") {
      if (line->explore.steps != 0 || line->explore.minutes != 0 || !Within(value, 1, kMost, &number)) return false;
      (arg == "--steps" ? line->explore.steps : line->explore.minutes) = number;
    } else if (arg == "--shrink-minutes") {
      if (!Within(value, 1, kMost, &line->explore.shrinkMinutes)) return false;
    } else if (arg == "--timeout") {
      if (!Within(value, 1, UINT32_MAX, &line->timeoutMs)) return false;
    } else if (arg == "--tool" || arg == "--work" || arg == "--out") {
      (arg == "--tool" ? line->tool : arg == "--work" ? line->work : line->out) = value;
    } else {
      return false;
    }
    exploreWords = exploreWords || (arg != "--tool" && arg != "--work" && arg != "--out" && arg != "--timeout");
  }
  if (!line->exploring) return !exploreWords && !line->scenario.empty();
  if (line->explore.steps == 0 && line->explore.minutes == 0) line->explore.steps = kExploreSteps;
  if (line->timeoutMs == 0) line->timeoutMs = kExploreTimeoutMs;
  return line->scenario.empty();
}

}  // namespace runner
