// Scenario files of revediz-run: reading and checking them, window-free.
// The language is described in one place, runner/SCENARIOS.md (it ships in
// the package beside revediz-run).
//
// A scenario is plain text, one step per line: its name (one word, or two
// for "expect ...", "bench ..." and "skip ...") and its words. Every line is
// checked here before anything runs; the runner (runner/main.cpp) carries
// the steps out.
#ifndef REVEDIZ_RUNNER_SCENARIO_H
#define REVEDIZ_RUNNER_SCENARIO_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace runner {

struct Word {
  std::string text;
  bool quoted = false;
};

// One step: the scenario line it came from, its key ("menu", "expect log",
// "bench fault") and the words after the key.
struct Step {
  int line = 0;
  std::string source;
  std::string key;
  std::vector<Word> args;
  // "repeat": the index of its "end" in Scenario::steps; "end": the index
  // of its "repeat".
  std::size_t partner = 0;
};

struct Scenario {
  std::vector<Step> steps;
};

// Splits one line into words. Returns false and sets *error for an
// unterminated quote or a bad escape.
bool SplitWords(std::string_view line, std::vector<Word>* words, std::string* error);

// Reads a whole scenario. Every line is checked (known step, number of
// words, numbers and ids well formed) before anything runs; each problem
// adds "line N: ..." to *errors. Returns whether there were none.
bool ParseScenario(std::string_view text, Scenario* scenario, std::vector<std::string>* errors);

// A number: decimal, or hex with 0x; an optional leading '-'. 32 bits
// (signed or unsigned range).
bool ParseNumber(std::string_view text, std::int64_t* value);

// A control id: a number, OK, Cancel, or an IDC_ name.
bool ParseControlId(std::string_view text, int* id);

// A menu command: a menu item name (PosOpen, Exit, ...) or a number.
bool ParseMenuCommand(std::string_view text, int* id);

// The control pipe's request line of a bench step ("bench swipe X" ->
// "swipe X", each word quoted as the line needs), and the status it is
// expected to answer ("returns N", else 0).
std::string ControlLine(const Step& step, std::int64_t* expected);

// Text shown in quotes, with the escapes above for quotes, backslashes and
// control bytes, so blanks and line ends are visible.
std::string ShowText(std::string_view text);

// Replaces ${hwnd} and ${hwnd8} by the window handle's forms.
std::string Substitute(std::string_view text, std::uint32_t window);

}  // namespace runner

#endif  // REVEDIZ_RUNNER_SCENARIO_H
