// The scenario reader of revediz-run: words and escapes, which lines read and which are refused (with their line
// numbers), repeats and their ends, numbers and names, and the shown form of texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <map>
#include <sstream>

#include "scenario/scenario.h"

namespace {

using scn::Word;

// One line read on its own: "" when it reads, else "refused: " and the error after "line 1: ".
std::string Check(const std::string& line) {
  scn::Scenario scenario;
  std::vector<std::string> errors;
  if (scn::ParseScenario(line, &scenario, &errors)) return "";
  return errors.empty() ? "?" : "refused: " + errors[0].substr(errors[0].find(": ") + 2);
}

// Lines refused for what their words mean, with the reason given.
TEST(ScenarioParse, LinesRefusedForTheirMeaningSayWhy) {
  const struct { const char* line; const char* error; } kCases[] = {  // the error: a part of it
      {"start 3", "start takes"}, {"file a \"AB\" times 40000000", "at most 64 MiB in all)"},
      {"start returns 0", "start takes"}, {"repeat 2 returns 0\nend", "repeat takes 1 word(s), not 3"},
      {"screenshot", "screenshot takes 1 to 2 words, not 0"},
      {"screenshot a b c d e f g h i j", "screenshot takes 1 to 2 words, not 10"}, {"include", "include takes at least 1 word(s), not 0"},
      {"file a.bin \"AB\" twice 4", "file NAME TEXT takes \"times N\""},
      {"start missing A no-library B", "start takes"}, {"start missing A library B C", "start takes"}, {"expect file a.bin \"A\" times -1", "times N"},
      {"close box", "close takes"}, {"bench fault X melt 1", "bench: fault kinds are"},
      {"bench state", "bench state is read with ctl"}, {"bench log", "read with ctl"},
      {"bench text 1", "read with ctl"}, {"pipe idle 2", "pipe takes a quoted line"},
      {"menu Nonesuch", "not a menu command: \"Nonesuch\""}, {"ctl x exits y", "not a number: \"y\""}, {"ctl exits z", "\"z\""},
      {"click 70000", "not a control id"}, {"click -1", "not a control id"}, {"frobnicate", "unknown step \"frobnicate\""},
      {"expect \"log\" \"x\"", "unknown step"}, {"\"menu\" PosOpen", "a step starts with its name"},
      {"expect window desk text x", "expect window takes"}, {"screenshot a.bmp menu", "screenshot NAME takes"},
      {"place desktop 0 0 1 1", "place takes"}, {"scroll main 75", "scroll takes"},
      {"key OK Return", "key takes a control and Enter"}, {"key OK \"Enter\"", "key takes"}, {"key Enter", "key takes 2"},
      {"ok 1 2 3 4 5 6 7 8 9 10", "ok takes 0 word(s), not 10"},
      {"repeat 0\nend", "repeat needs a count of 1 or more"}, {"end", "end without repeat"},
      {"repeat 2\nrepeat 3\nend", "repeat without end"}, {"fails \"x\"", "fails must come right before"},
      {"fails \"x\"\nrepeat 2\nend", "fails must come right before"},
      {"fails \"x\"\nfails \"y\"\nok", "fails must come right before"},
  };
  for (const auto& c : kCases) {
    const std::string error = Check(c.line);
    EXPECT_NE(error.find(c.error), std::string::npos) << c.line << " -> " << error;
  }
  scn::Scenario scenario;  // a line whose words do not split gives that error alone
  std::vector<std::string> errors;
  EXPECT_FALSE(scn::ParseScenario("set IDC_HANDLE \"1", &scenario, &errors));
  EXPECT_EQ(errors, std::vector<std::string>{"line 1: text not closed by \""});
  // The keys by their virtual-key codes, names matched exactly.
  const std::pair<const char*, int> kKeys[] = {{"Enter", 0x0D}, {"Escape", 0x1B}, {"Space", 0x20}, {"Tab", 0x09},
                                               {"F4", 0x73}, {"enter", -1}, {"F", -1}, {"", -1}};
  for (const auto& [name, code] : kKeys) EXPECT_EQ(scn::KeyCode(name), code) << name;
  // At their bounds the same steps read: every window field, no times, a library after missing names, every key.
  for (const std::string good : {"class", "text", "style", "x", "y", "width", "extent", "file a \"B\" times 0", "start missing A library B",
                                 "key OK Enter", "key 1 Escape", "key IDC_HANDLE Space", "key OK Tab", "key 1 F4"})
    EXPECT_EQ(Check(good.find(' ') == std::string::npos ? "expect window main " + good + " 0" : good), "") << good;
}

TEST(ScenarioParse, StepsKeepTheirLinesKeysAndRepeatPartners) {
  scn::Scenario s;
  std::vector<std::string> errors;
  // A repeat left without its end is an error, not a step: the others pair as before.
  EXPECT_FALSE(scn::ParseScenario("repeat 9\n# c\r\n\nrepeat 2\n  repeat 3\n  expect log \"x\"\n  end\nend\r\nok\n", &s, &errors));
  EXPECT_EQ(errors, std::vector<std::string>{"line 1: repeat without end"});
  ASSERT_EQ(s.steps.size(), 6u);
  EXPECT_TRUE(s.steps[0].line == 4 && s.steps[2].key == "expect log" && s.steps[2].kind == scn::StepKind::kExpectLog &&
              s.steps[2].line == 6);
  EXPECT_TRUE(s.steps[0].partner == 4 && s.steps[4].partner == 0 && s.steps[1].partner == 3 && s.steps[3].partner == 1);
  // Every bad line is named before anything runs; the good ones stay.
  EXPECT_FALSE(scn::ParseScenario("menu Nonesuch\nok\n\"click\" OK\n", &s, &errors));
  EXPECT_TRUE(errors.size() == 2 && errors[0].starts_with("line 1: ") && errors[1].starts_with("line 3: "));
  EXPECT_TRUE(s.steps.size() == 1 && s.steps[0].line == 2);
}

// An include stands for the steps of its file, its words put in for ${1}, ${2} (${0}, and a number past its words,
// stay as they are); they take the include's line, and what is wrong in the file is named at that line.
TEST(ScenarioParse, IncludesSpliceTheirStepsWithTheirWords) {
  const std::map<std::string, std::string> files = {
      {"open.steps", "menu PosOpen\nselect IDC_DEVICE_CLASS \"${1}\"\nexpect box \"POS Open\" \"${2} ${1}${1}${3}${0}\"\n"},
      {"bad.steps", "ok\nfrobnicate\ninclude open.steps\n"}};
  const scn::IncludeReader read = [&](const std::string& name, std::string* text) {
    return files.contains(name) && (*text = files.at(name), true);
  };
  scn::Scenario s;
  std::vector<std::string> errors;
  ASSERT_TRUE(scn::ParseScenario("start\n\ninclude open.steps PosMsr \"a b\"\nok\n", &s, &errors, read));
  ASSERT_EQ(s.steps.size(), 5u);
  EXPECT_TRUE(s.steps[1].kind == scn::StepKind::kMenu && s.steps[1].line == 3 && s.steps[3].line == 3 && s.steps[4].line == 4);
  EXPECT_EQ(s.steps[2].args[1].text + "|" + s.steps[3].args[1].text, "PosMsr|a b PosMsrPosMsr${3}${0}");
  EXPECT_FALSE(scn::ParseScenario("start\ninclude bad.steps\ninclude none.steps\n", &s, &errors, read));
  EXPECT_EQ(errors, (std::vector<std::string>{"line 2: bad.steps line 2: unknown step \"frobnicate\"",
                                              "line 2: bad.steps line 3: includes another file",
                                              "line 3: cannot read none.steps"}));
  EXPECT_EQ(s.steps.size(), 2u);  // start, and the file's ok
}

TEST(ScenarioValues, NumbersIdsMenusKindsShownTextsAndPlaceholders) {
  const struct { const char* text; bool good; std::int64_t value; } kNumbers[] = {{"0x4F0D", true, 0x4F0D},      {"-1", true, -1},  {"4294967295", true, 4294967295LL},
                  {"-2147483648", true, INT32_MIN}, {"0X1f", true, 0x1F}, {"4294967296", false, 0}, {"-2147483649", false, 0},
                  {"0x", false, 0},             {"12a", false, 0}, {"", false, 0}};
  for (const auto& c : kNumbers) {
    std::int64_t n = 0;
    EXPECT_TRUE(scn::ParseNumber(c.text, &n) == c.good && (!c.good || n == c.value)) << c.text << " read as " << n;
  }
  int id = 0;
  for (const auto& [text, value] : {std::pair{"OK", 1}, {"IDOK", 1}, {"IDCANCEL", 2}, {"0", 0}, {"65535", 65535},
                                    {"IDC_NONE", -1}, {"65536", -1}, {"idc_bench_swipe", -1}, {"XDC_HANDLE", -1},
                                    {"ok", -1}, {"-1", -1}})
    EXPECT_TRUE(scn::ParseControlId(text, &id) ? id == value : value < 0) << text;
  EXPECT_TRUE(scn::ParseMenuCommand("posOPEN", &id) && id == 101) << id;  // menu commands in any case
  // The writer quotes a word only where the reader would not take it back bare.
  for (const auto& [word, written] : {std::pair{"ab", "ab"}, {"\"a", "\"\\\"a\""}, {"#1", "\"#1\""}, {"returns", "\"returns\""}, {"x\x7F", "\"x\\x7F\""}})
    EXPECT_EQ(scn::WriteStep("bench keys", {scn::PlainWord(word)}), "bench keys " + std::string(written)) << word;
  EXPECT_EQ(scn::ShowText(" a\"b\\\r\n\t\x01\x7F "), "\" a\\\"b\\\\\\r\\n\\t\\x01\\x7F \"");
  EXPECT_EQ(scn::Substitute("(0x${hwnd})  ${hwnd8}${hwnd (${hwnd-dec})", 0x1004C), "(0x1004C)  0001004C${hwnd (65612)");
}

std::string SourceFile(const std::string& name) {
  std::ifstream in(std::string(REVEDIZ_SOURCE_DIR) + "/" + name);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A placeholder of the language's documentation given a value that reads, or one that does not ("" for any text).
std::string Fill(const std::string& word, bool good) {
  static const std::set<std::string> numbers = {"N", "X", "Y", "WIDTH", "HEIGHT", "MSG", "WPARAM", "LPARAM", "GRAMS", "VALUE"};
  if (numbers.count(word)) return good ? "1" : "x";
  if (word == "TARGET") return "PosMsr";  // the simulator judges it
  if (word == "COMMAND" || word == "ID") return good ? (word == "ID" ? "OK" : "PosOpen") : "Nonesuch";
  if (word == "FIELD") return good ? "class" : "height";
  if (!word.empty() && std::all_of(word.begin(), word.end(), [](char c) { return c >= 'A' && c <= 'Z'; })) return "\"t\"";
  return word;  // a literal word of the step
}

// Every step form that runner/SCENARIOS.md shows reads with each of its choices and with its optional words left out;
// it is refused with a word short or one too many, and with a number, id or name that is none; "returns N" ends only a
// bench step. So the language and its one description stay in step.
TEST(ScenarioParse, EveryDocumentedStepFormReadsAndItsWrongFormsDoNot) {
  std::istringstream doc(SourceFile("runner/SCENARIOS.md"));
  std::vector<std::string> texts;
  for (std::string row; std::getline(doc, row);) {
    if (row.rfind("| `", 0) != 0) continue;
    const std::string cell = row.substr(2, row.find(" | ") - 2);
    for (std::size_t open = cell.find('`'); open != std::string::npos; open = cell.find('`', cell.find('`', open + 1) + 1))
      texts.push_back(cell.substr(open + 1, cell.find('`', open + 1) - open - 1));
  }
  for (const std::string& text : texts) {
    std::vector<std::vector<std::string>> words;  // the choices of each word
    std::size_t optional = 0;
    bool many = false;
    std::string plain = text;  // "\|" in a table cell is a "|"
    for (std::size_t at; (at = plain.find("\\|")) != std::string::npos;) plain.erase(at, 1);
    std::istringstream in(plain);
    for (std::string w; in >> w;) {
      if (w.front() == '[' || optional > 0 || w.ends_with("...")) ++optional;
      std::erase_if(w, [](char c) { return c == '[' || c == ']'; });
      if (w.size() > 3 && w.ends_with("...")) many = true, w.resize(w.size() - 3);
      std::vector<std::string> choices;
      std::istringstream alt(w);
      for (std::string c; std::getline(alt, c, '|');) choices.push_back(c);
      words.push_back(choices);
    }
    const std::string& verb = words[0][0];
    many = many || verb == "start";  // its words combine: start library X missing Y
    const std::size_t keyWords = verb == "expect" || verb == "bench" || verb == "skip" ? 2 : 1;
    const std::string lead = verb == "end" ? "repeat 1\n" : "";
    const std::string tail = verb == "repeat" ? "\nend" : verb == "fails" ? "\nok" : "";
    auto line = [&](std::size_t count, std::size_t choice, std::size_t bad) {
      std::string out = lead;
      for (std::size_t i = 0; i < count; ++i) {
        const auto& c = words[std::min(i, words.size() - 1)];
        if (i) out += ' ';
        out += Fill(c[std::min(choice, c.size() - 1)], i != bad);
      }
      return out + tail;
    };
    const std::size_t all = words.size(), least = all - optional, none = all + 1;
    for (std::size_t choice = 0; choice < 5; ++choice)
      for (const std::size_t count : {all, least}) EXPECT_EQ(Check(line(count, choice, none)), "") << line(count, choice, none);
    // (a word short is refused unless the shorter line is a documented form of its own: close, start)
    EXPECT_TRUE(least <= keyWords || std::ranges::find(texts, line(least - 1, 0, none)) != texts.end() ||
                Check(line(least - 1, 0, none)) != "") << line(least - 1, 0, none);
    EXPECT_TRUE(many || Check(line(all + 1, 0, none)) != "") << line(all + 1, 0, none);
    for (std::size_t i = keyWords; i < all; ++i)
      EXPECT_TRUE(Fill(words[i][0], false) == Fill(words[i][0], true) || Check(line(all, 0, i)) != "") << line(all, 0, i);
    EXPECT_TRUE(many || !lead.empty() || !tail.empty() || (Check(line(all, 0, none) + " returns 0") == "") == (verb == "bench"))
        << line(all, 0, none);
  }
  // And every step of the language is documented.
  for (std::size_t kind = 0; kind < scn::kStepKinds; ++kind) {
    const std::string key = scn::Key(static_cast<scn::StepKind>(kind));
    EXPECT_TRUE(std::ranges::any_of(texts, [&](const std::string& t) { return (t + " ").starts_with(key + " "); })) << key;
  }
}

}  // namespace
