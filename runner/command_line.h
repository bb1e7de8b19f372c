// revediz-run's command line, read without a window (main.cpp turns it into
// the run's options):
//
//   revediz-run [--tool DIR] [--work DIR] [--out DIR] [--timeout MS] SCENARIO
//   revediz-run --explore [--seed S] [--steps N | --minutes M] [--shrink-minutes M]
//               [--out DIR] [--tool DIR] [--work DIR] [--timeout MS]
#ifndef REVEDIZ_RUNNER_COMMAND_LINE_H
#define REVEDIZ_RUNNER_COMMAND_LINE_H

#include <cstdint>
#include <string>
#include <vector>

namespace runner {

// An exploration without --steps or --minutes plays this many steps, and
// without --timeout its random steps wait this long for what may not come.
inline constexpr std::int64_t kExploreSteps = 1000;
inline constexpr std::int64_t kExploreTimeoutMs = 3000;

// Where an exploration starts and how far it goes.
struct ExploreBounds {
  std::uint64_t seed = 1;
  std::int64_t steps = 0;           // stop after this many steps (0: not bounded so), or
  std::int64_t minutes = 0;         // after this many minutes (0: not bounded so)
  std::int64_t shrinkMinutes = 15;  // the time the shrinking of a failure may take
};

struct CommandLine {
  bool exploring = false;
  std::string scenario;          // the scenario file (a run's only word that is not an option)
  std::string tool, work, out;   // folders as typed; empty when not given
  std::int64_t timeoutMs = 0;    // 0 when not given (a run then waits the driver's default)
  ExploreBounds explore;         // --seed, --steps or --minutes, --shrink-minutes
};

// Reads the words after the program's name. False for a wrong line: an
// unknown option, an option without its value, a value out of its range
// (a timeout from 1 ms to 2^32 - 1, counts from 1, a seed from 0), both
// bounds, the exploration's options on a run, a scenario beside --explore,
// no scenario or two of them.
bool ReadCommandLine(const std::vector<std::string>& args, CommandLine* line);

// What a wrong line shows.
extern const char kUsage[];

}  // namespace runner

#endif  // REVEDIZ_RUNNER_COMMAND_LINE_H
