// revediz-run's command line: which lines are read and what each option sets, which are refused, and the usage
// shown for them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runner/command_line.h"

namespace {

using Args = std::vector<std::string>;

std::string Shown(const Args& args) {
  std::string text;
  for (const std::string& arg : args) text += " [" + arg + "]";
  return text;
}

// All that a line which reads sets, in one text.
std::string Set(const runner::CommandLine& l) {
  return (l.exploring ? "explore" : "run " + l.scenario) + " tool=" + l.tool + " work=" + l.work + " out=" + l.out +
         " timeout=" + std::to_string(l.timeoutMs) + " seed=" + std::to_string(l.explore.seed) +
         " steps=" + std::to_string(l.explore.steps) + " minutes=" + std::to_string(l.explore.minutes) +
         " shrink=" + std::to_string(l.explore.shrinkMinutes);
}

// A run takes its folders, timeout and one scenario in any order; an exploration bounds itself and waits briefly
// unless told otherwise.
TEST(CommandLine, LinesThatReadSetWhatTheyNameAndTheRestByDefault) {
  const struct {
    Args args;
    const char* set;
  } kCases[] = {
      {{"a.scn"}, "run a.scn tool= work= out= timeout=0 seed=1 steps=0 minutes=0 shrink=15"},
      {{"--tool", "T", "--work", "W", "--out", "O", "--timeout", "250", "a.scn"},
       "run a.scn tool=T work=W out=O timeout=250 seed=1 steps=0 minutes=0 shrink=15"},
      {{"a.scn", "--out", "-o", "--timeout", "1"},
       "run a.scn tool= work= out=-o timeout=1 seed=1 steps=0 minutes=0 shrink=15"},
      {{"--timeout", "4294967295", "b"},
       "run b tool= work= out= timeout=4294967295 seed=1 steps=0 minutes=0 shrink=15"},
      {{"", "c"}, "run c tool= work= out= timeout=0 seed=1 steps=0 minutes=0 shrink=15"},  // "" is no scenario
      {{"--explore"}, "explore tool= work= out= timeout=3000 seed=1 steps=1000 minutes=0 shrink=15"},
      {{"--explore", "--seed", "0", "--steps", "1"},
       "explore tool= work= out= timeout=3000 seed=0 steps=1 minutes=0 shrink=15"},
      {{"--seed", "0x10", "--explore", "--minutes", "2"},
       "explore tool= work= out= timeout=3000 seed=16 steps=0 minutes=2 shrink=15"},
      {{"--steps", "7", "--explore", "--timeout", "500", "--shrink-minutes", "1", "--out", "o"},
       "explore tool= work= out=o timeout=500 seed=1 steps=7 minutes=0 shrink=1"},
  };
  for (const auto& c : kCases) {
    runner::CommandLine line;
    EXPECT_TRUE(runner::ReadCommandLine(c.args, &line)) << Shown(c.args);
    EXPECT_EQ(Set(line), c.set) << Shown(c.args);
  }
}

TEST(CommandLine, WrongLinesAreRefused) {
  const Args kWrong[] = {
      {}, {""}, {"a", "b"}, {"-"}, {"--frob", "x", "a"}, {"a", "--tool"}, {"a", "--timeout"},
      {"--timeout", "0", "a"}, {"--timeout", "-5", "a"}, {"--timeout", "4294967296", "a"}, {"--timeout", "9x", "a"},
      {"--seed", "1", "a"}, {"--steps", "5", "a"}, {"--minutes", "1", "a"}, {"--shrink-minutes", "2", "a"},
      {"--explore", "a.scn"}, {"--explore", "--steps", "5", "--minutes", "1"},
      {"--explore", "--steps", "1", "--steps", "2"},
      {"--explore", "--steps", "0"}, {"--explore", "--minutes", "-1"}, {"--explore", "--seed", "-1"},
      {"--explore", "--shrink-minutes", "0"}, {"--explore", "--minutes", "x"}, {"--explore", "--seed"},
      {"--explore", "--timeout", "0"}, {"--explore", "--frob", "x"},
  };
  for (const Args& args : kWrong) {
    runner::CommandLine line;
    EXPECT_FALSE(runner::ReadCommandLine(args, &line)) << Shown(args);
  }
}

TEST(CommandLine, TheUsageNamesEveryOption) {
  const std::string usage = runner::kUsage;
  EXPECT_EQ(usage.rfind("usage: revediz-run [--tool DIR] [--work DIR] [--out DIR] [--timeout MS] SCENARIO\n", 0), 0u);
  for (const char* option : {"--explore", "--seed S", "--steps N", "--minutes M", "--shrink-minutes", "SCENARIOS.md"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
}

}  // namespace
