// The scenario reader of revediz-run: words and escapes, which lines read
// and which are refused (with their line numbers), repeats and their ends,
// numbers and names, and the shown form of texts.
#include <gtest/gtest.h>

#include "runner/scenario.h"

namespace {

using runner::Word;

TEST(ScenarioWords, QuotedTextsKeepBlanksAndEscapesBadOnesAreRefused) {
  std::vector<Word> w;
  std::string error;
  ASSERT_TRUE(runner::SplitWords("expect box \"POS Open\" \"  H :  1 \\\"x\\\" \\\\ \\x1B\\n\"  # note", &w, &error));
  ASSERT_EQ(w.size(), 4u);
  EXPECT_EQ(w[2].text, "POS Open");
  EXPECT_EQ(w[3].text, "  H :  1 \"x\" \\ \x1B\n");
  EXPECT_TRUE(w[3].quoted);
  EXPECT_FALSE(w[0].quoted);
  ASSERT_TRUE(runner::SplitWords("set 223 \"\"   # c", &w, &error));
  EXPECT_EQ(w.size(), 3u);
  for (const char* bad : {"set 1 \"open", "set 1 \"a\\q\"", "set 1 \"\\x4\"", "set 1 \"a\"b"}) {
    EXPECT_FALSE(runner::SplitWords(bad, &w, &error)) << bad;
  }
}

// One line read on its own: "" when it reads, else the error after "line 1: ".
std::string Check(const std::string& line) {
  runner::Scenario scenario;
  std::vector<std::string> errors;
  if (runner::ParseScenario(line, &scenario, &errors)) return "";
  return errors.empty() ? "?" : errors[0].substr(errors[0].find(": ") + 2);
}

TEST(ScenarioParse, WhichLinesReadAndWhyTheOthersDoNot) {
  const struct {
    const char* line;
    const char* error;  // "" reads; else a part of the error
  } kCases[] = {
      {"start missing PTOUCH.DAT PSCANNER.DAT", ""},
      {"start library tests/wine/no_version/vavuro32.dll", ""},
      {"start no-library", ""},
      {"start 3", "start takes"},
      {"start library", "start takes"},
      {"file a.bin \"\\x00A\" times 4096", ""},
      {"file a.bin \"AB\" times 40000000", "times N"},
      {"file a.bin \"AB\" twice 4", "times N"},
      {"expect file a.bin \"A\" times -1", "times N"},
      {"close log", ""},
      {"close box", "close takes"},
      {"bench fault Queue overclaim 16 returns 0", ""},
      {"bench fault X melt 1", "not a fault kind"},
      {"bench weight heavy", "not a number"},
      {"menu Nonesuch", "not a menu command"},
      {"click 70000", "not a control id"},
      {"click IDC_BENCH_SWIPE", ""},
      {"expect log", "takes 1 word"},
      {"post 1 2", "takes 3 word"},
      {"frobnicate", "unknown step \"frobnicate\""},
      {"expect \"log\" \"x\"", "unknown step"},
      {"\"menu\" PosOpen", "starts with its name"},
      {"expect window log width 350", ""},
      {"expect window log height 350", "expect window takes"},
      {"expect window desk text x", "expect window takes"},
      {"screenshot a.bmp bench", ""},
      {"screenshot a.bmp menu", "screenshot NAME takes"},
      {"place main 0 0 760 560", ""},
      {"place desktop 0 0 1 1", "place takes"},
      {"place main 0 0 760 tall", "not a number"},
      {"scroll log 75", ""},
      {"scroll main 75", "scroll takes"},
      {"expect journal-count \"DLL_PosTerm\" 1", ""},
      {"expect item-contains IDC_BENCH_DEVICES \"paper out\"", ""},
      {"repeat 0\nend", "count of 1 or more"},
      {"end", "end without repeat"},
      {"repeat 2\nrepeat 3\nend", "repeat without end"},
  };
  for (const auto& c : kCases) {
    const std::string error = Check(c.line);
    if (*c.error == '\0') {
      EXPECT_EQ(error, "") << c.line;
    } else {
      EXPECT_NE(error.find(c.error), std::string::npos) << c.line << " -> " << error;
    }
  }
}

TEST(ScenarioParse, StepsKeepTheirLinesKeysAndRepeatPartners) {
  runner::Scenario s;
  std::vector<std::string> errors;
  ASSERT_TRUE(runner::ParseScenario("# c\r\n\nrepeat 2\n  repeat 3\n  expect log \"x\"\n  end\nend\nok\n", &s, &errors));
  ASSERT_EQ(s.steps.size(), 6u);
  EXPECT_EQ(s.steps[0].line, 3);
  EXPECT_EQ(s.steps[2].key, "expect log");
  EXPECT_EQ(s.steps[2].line, 5);
  EXPECT_EQ(s.steps[0].partner, 4u);
  EXPECT_EQ(s.steps[4].partner, 0u);
  EXPECT_EQ(s.steps[1].partner, 3u);
  EXPECT_EQ(s.steps[3].partner, 1u);
  // Every bad line is named before anything runs; the good ones stay.
  EXPECT_FALSE(runner::ParseScenario("menu Nonesuch\nok\nclick 70000\n", &s, &errors));
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].rfind("line 1: ", 0), 0u);
  EXPECT_EQ(errors[1].rfind("line 3: ", 0), 0u);
  ASSERT_EQ(s.steps.size(), 1u);
  EXPECT_EQ(s.steps[0].line, 2);
}

TEST(ScenarioValues, NumbersIdsMenusKindsShownTextsAndPlaceholders) {
  const struct {
    const char* text;
    bool good;
    std::int64_t value;
  } kNumbers[] = {{"0x420D", true, 0x420D},      {"-1", true, -1},  {"4294967295", true, 4294967295LL},
                  {"-2147483648", true, INT32_MIN}, {"4294967296", false, 0}, {"-2147483649", false, 0},
                  {"0x", false, 0},             {"12a", false, 0}, {"", false, 0}};
  for (const auto& c : kNumbers) {
    std::int64_t n = 0;
    EXPECT_EQ(runner::ParseNumber(c.text, &n), c.good) << c.text;
    if (c.good) {
      EXPECT_EQ(n, c.value) << c.text;
    }
  }
  int id = 0;
  EXPECT_TRUE(runner::ParseControlId("OK", &id) && id == 1);
  EXPECT_TRUE(runner::ParseControlId("IDC_HANDLE", &id) && id == 224);
  EXPECT_FALSE(runner::ParseControlId("IDC_NONE", &id));
  EXPECT_FALSE(runner::ParseControlId("65536", &id));
  EXPECT_TRUE(runner::ParseMenuCommand("posopen", &id) && id == 101);
  EXPECT_TRUE(runner::ParseFaultKind("offline", &id) && id == 4);
  EXPECT_EQ(runner::ShowText(" a\"b\\\r\n\t\x01\x7F "), "\" a\\\"b\\\\\\r\\n\\t\\x01\\x7F \"");
  EXPECT_EQ(runner::Substitute("(0x${hwnd})  ${hwnd8}${hwnd", 0x1004C), "(0x1004C)  0001004C${hwnd");
}

}  // namespace
