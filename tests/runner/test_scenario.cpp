// The scenario reader of revediz-run: words and escapes, step checks with
// their line numbers, numbers and names, and the shown form of texts.
#include <gtest/gtest.h>

#include "runner/scenario.h"

namespace {

using runner::Word;

std::vector<Word> Split(const std::string& line) {
  std::vector<Word> words;
  std::string error;
  EXPECT_TRUE(runner::SplitWords(line, &words, &error)) << error;
  return words;
}

TEST(ScenarioWords, QuotedTextsKeepBlanksAndEscapes) {
  const std::vector<Word> words = Split("expect box \"POS Open\" \"  Handle :  1 \\\"x\\\" \\\\ \\x1B\\n\"  # note");
  ASSERT_EQ(words.size(), 4u);
  EXPECT_EQ(words[2].text, "POS Open");
  EXPECT_TRUE(words[2].quoted);
  EXPECT_EQ(words[3].text, "  Handle :  1 \"x\" \\ \x1B\n");
  EXPECT_FALSE(words[0].quoted);
  EXPECT_TRUE(Split("   # only a comment").empty());
  EXPECT_EQ(Split("set 223 \"\"")[2].text, "");
}

TEST(ScenarioWords, BadQuotesAndEscapesAreRefused) {
  std::vector<Word> words;
  std::string error;
  EXPECT_FALSE(runner::SplitWords("set 1 \"open", &words, &error));
  EXPECT_FALSE(runner::SplitWords("set 1 \"a\\q\"", &words, &error));
  EXPECT_FALSE(runner::SplitWords("set 1 \"\\x4\"", &words, &error));
  EXPECT_FALSE(runner::SplitWords("set 1 \"a\"b", &words, &error));
}

TEST(ScenarioParse, StepsKeepTheirLinesAndTwoWordKeys) {
  runner::Scenario scenario;
  std::vector<std::string> errors;
  ASSERT_TRUE(runner::ParseScenario("# c\r\n\nstart missing PTOUCH.DAT\nexpect log \"x\"\nbench fault Queue overclaim 16 returns 0\n",
                                    &scenario, &errors));
  ASSERT_EQ(scenario.steps.size(), 3u);
  EXPECT_EQ(scenario.steps[0].line, 3);
  EXPECT_EQ(scenario.steps[0].key, "start");
  EXPECT_EQ(scenario.steps[1].key, "expect log");
  EXPECT_EQ(scenario.steps[1].line, 4);
  EXPECT_EQ(scenario.steps[2].key, "bench fault");
  EXPECT_EQ(scenario.steps[2].args.size(), 5u);
}

TEST(ScenarioParse, EveryBadLineIsNamedBeforeAnythingRuns) {
  runner::Scenario scenario;
  std::vector<std::string> errors;
  EXPECT_FALSE(runner::ParseScenario("menu Nonesuch\nclick 70000\nexpect log\npost 1 2\nfrobnicate\n"
                                     "start 3\nbench fault X melt 1\nexpect \"log\" \"x\"\nok\n",
                                     &scenario, &errors));
  ASSERT_EQ(errors.size(), 8u);
  EXPECT_EQ(errors[0].rfind("line 1: ", 0), 0u);
  EXPECT_EQ(errors[4], "line 5: unknown step \"frobnicate\"");
  EXPECT_EQ(errors[7].rfind("line 8: ", 0), 0u);
  ASSERT_EQ(scenario.steps.size(), 1u);  // only "ok"
  EXPECT_EQ(scenario.steps[0].line, 9);
}

TEST(ScenarioValues, NumbersIdsMenusAndKinds) {
  std::int64_t n = 0;
  EXPECT_TRUE(runner::ParseNumber("0x420D", &n));
  EXPECT_EQ(n, 0x420D);
  EXPECT_TRUE(runner::ParseNumber("-1", &n));
  EXPECT_EQ(n, -1);
  EXPECT_TRUE(runner::ParseNumber("4294967295", &n));
  EXPECT_FALSE(runner::ParseNumber("4294967296", &n));
  EXPECT_FALSE(runner::ParseNumber("0x", &n));
  EXPECT_FALSE(runner::ParseNumber("12a", &n));
  int id = 0;
  EXPECT_TRUE(runner::ParseControlId("OK", &id));
  EXPECT_EQ(id, 1);
  EXPECT_TRUE(runner::ParseControlId("IDC_HANDLE", &id));
  EXPECT_EQ(id, 224);
  EXPECT_FALSE(runner::ParseControlId("IDC_NONE", &id));
  EXPECT_TRUE(runner::ParseMenuCommand("posopen", &id));
  EXPECT_EQ(id, 101);
  EXPECT_TRUE(runner::ParseFaultKind("offline", &id));
  EXPECT_EQ(id, 4);
}

TEST(ScenarioValues, ShownTextsAndWindowPlaceholders) {
  EXPECT_EQ(runner::ShowText(" a\"b\\\r\n\x01 "), "\" a\\\"b\\\\\\r\\n\\x01 \"");
  EXPECT_EQ(runner::Substitute("(0x${hwnd})  ${hwnd8}${hwnd", 0x1004C), "(0x1004C)  0001004C${hwnd");
}

}  // namespace
