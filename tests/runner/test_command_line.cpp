// revediz-run's command line: which lines are read and what each option sets, which are refused, and the usage
// shown for them.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "runner/command_line.h"

namespace {

using Args = std::vector<std::string>;

std::optional<runner::CommandLine> Read(const Args& args) {
  runner::CommandLine line;
  if (!runner::ReadCommandLine(args, &line)) return std::nullopt;
  return line;
}

std::string Shown(const Args& args) {
  std::string text;
  for (const std::string& arg : args) text += " [" + arg + "]";
  return text;
}

TEST(CommandLine, ARunTakesItsFoldersTimeoutAndOneScenarioInAnyOrder) {
  const struct {
    Args args;
    const char *scenario, *tool, *work, *out;
    std::int64_t timeoutMs;
  } kCases[] = {
      {{"a.scn"}, "a.scn", "", "", "", 0},
      {{"--tool", "T", "--work", "W", "--out", "O", "--timeout", "250", "a.scn"}, "a.scn", "T", "W", "O", 250},
      {{"a.scn", "--out", "-o", "--timeout", "1"}, "a.scn", "", "", "-o", 1},  // a value may start with '-'
      {{"--timeout", "4294967295", "b"}, "b", "", "", "", 4294967295},
      {{"", "c"}, "c", "", "", "", 0},  // an empty word is no scenario
  };
  for (const auto& c : kCases) {
    const auto line = Read(c.args);
    ASSERT_TRUE(line) << Shown(c.args);
    EXPECT_FALSE(line->exploring);
    EXPECT_EQ(line->scenario, c.scenario) << Shown(c.args);
    EXPECT_EQ(line->tool, c.tool) << Shown(c.args);
    EXPECT_EQ(line->work, c.work) << Shown(c.args);
    EXPECT_EQ(line->out, c.out) << Shown(c.args);
    EXPECT_EQ(line->timeoutMs, c.timeoutMs) << Shown(c.args);
  }
}

TEST(CommandLine, AnExplorationBoundsItselfAndWaitsBrieflyUnlessTold) {
  const struct {
    Args args;
    std::uint64_t seed;
    std::int64_t steps, minutes, shrinkMinutes, timeoutMs;
  } kCases[] = {
      {{"--explore"}, 1, 1000, 0, 15, 3000},
      {{"--explore", "--seed", "0", "--steps", "1"}, 0, 1, 0, 15, 3000},
      {{"--seed", "0x10", "--explore", "--minutes", "2"}, 16, 0, 2, 15, 3000},
      {{"--steps", "7", "--explore", "--timeout", "500", "--shrink-minutes", "1", "--out", "o"}, 1, 7, 0, 1, 500},
  };
  for (const auto& c : kCases) {
    const auto line = Read(c.args);
    ASSERT_TRUE(line) << Shown(c.args);
    EXPECT_TRUE(line->exploring);
    EXPECT_EQ(line->scenario, "");
    EXPECT_EQ(line->seed, c.seed) << Shown(c.args);
    EXPECT_EQ(line->steps, c.steps) << Shown(c.args);
    EXPECT_EQ(line->minutes, c.minutes) << Shown(c.args);
    EXPECT_EQ(line->shrinkMinutes, c.shrinkMinutes) << Shown(c.args);
    EXPECT_EQ(line->timeoutMs, c.timeoutMs) << Shown(c.args);
  }
}

TEST(CommandLine, WrongLinesAreRefused) {
  const Args kWrong[] = {
      {}, {""}, {"a", "b"}, {"-"}, {"--frob", "x", "a"}, {"a", "--tool"}, {"a", "--timeout"},
      {"--timeout", "0", "a"}, {"--timeout", "-5", "a"}, {"--timeout", "4294967296", "a"}, {"--timeout", "9x", "a"},
      {"--seed", "1", "a"}, {"--steps", "5", "a"}, {"--minutes", "1", "a"}, {"--shrink-minutes", "2", "a"},
      {"--explore", "a.scn"}, {"--explore", "--steps", "5", "--minutes", "1"}, {"--explore", "--steps", "1", "--steps", "2"},
      {"--explore", "--steps", "0"}, {"--explore", "--minutes", "-1"}, {"--explore", "--seed", "-1"},
      {"--explore", "--shrink-minutes", "0"}, {"--explore", "--minutes", "x"}, {"--explore", "--seed"},
      {"--explore", "--timeout", "0"}, {"--explore", "--frob", "x"},
  };
  for (const Args& args : kWrong) EXPECT_FALSE(Read(args)) << Shown(args);
}

TEST(CommandLine, TheUsageNamesEveryOption) {
  const std::string usage = runner::kUsage;
  EXPECT_EQ(usage.rfind("usage: revediz-run [--tool DIR] [--work DIR] [--out DIR] [--timeout MS] SCENARIO\n", 0), 0u);
  for (const char* option : {"--explore", "--seed S", "--steps N", "--minutes M", "--shrink-minutes", "SCENARIOS.md"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
}

}  // namespace
