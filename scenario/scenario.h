// Scenario files of revediz-run: reading, checking and writing them,
// window-free. The language is described in one place, runner/SCENARIOS.md
// (it ships in the package beside revediz-run); its steps are listed once,
// in scenario/steps.h.
//
// A scenario is plain text, one step per line: its name (one word, or two
// for "expect ...", "bench ..." and "skip ...") and its words. Every line is
// checked here before anything runs; the runner (runner/) carries the steps
// out, and the recorder (simulator/recorder.h) writes them.
#ifndef REVEDIZ_SCENARIO_SCENARIO_H
#define REVEDIZ_SCENARIO_SCENARIO_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "scenario/steps.h"

namespace scn {

enum class StepKind {
#define REVEDIZ_SCENARIO_KIND(Name, ...) k##Name,
  REVEDIZ_SCENARIO_STEPS(REVEDIZ_SCENARIO_KIND)
#undef REVEDIZ_SCENARIO_KIND
};

// How many steps the language has, and the key of one.
constexpr std::size_t kStepKinds = 0
#define REVEDIZ_SCENARIO_COUNT(...) +1
    REVEDIZ_SCENARIO_STEPS(REVEDIZ_SCENARIO_COUNT);
#undef REVEDIZ_SCENARIO_COUNT
const char* Key(StepKind kind);

struct Word {
  std::string text;
  bool quoted = false;
};

// One step: the scenario line it came from, its kind, its key ("menu",
// "expect log", "bench fault") and the words after the key.
struct Step {
  int line = 0;
  std::string source;
  StepKind kind = StepKind::kEnd;
  std::string key;
  std::vector<Word> args;
  // "repeat": the index of its "end" in Scenario::steps; "end": the index
  // of its "repeat".
  std::size_t partner = 0;
};

struct Scenario {
  std::vector<Step> steps;
};

// --- Reading ---------------------------------------------------------------

// Splits one line into words. Returns false and sets *error for an
// unterminated quote or a bad escape.
bool SplitWords(std::string_view line, std::vector<Word>* words, std::string* error);

// Reads a whole scenario. Every line is checked (known step, number of
// words, numbers and ids well formed) before anything runs; each line gives
// one step, one error ("line N: ...", in *errors) or nothing (a blank or a
// comment); a repeat without its end is an error. Returns whether there
// were none.
bool ParseScenario(std::string_view text, Scenario* scenario, std::vector<std::string>* errors);

// Reads the text of a file an "include" step names; false when it cannot.
using IncludeReader = std::function<bool(const std::string& name, std::string* text)>;

// The same, with each "include FILE [WORD...]" replaced by the steps of
// FILE, read through `include` with ${1}, ${2}, ... replaced by the words as
// they stand. Its steps keep their own text and take the include's line;
// an error in FILE is given at that line too ("line 4: FILE line 2: ...").
// An included file includes no other.
bool ParseScenario(std::string_view text, Scenario* scenario, std::vector<std::string>* errors,
                   const IncludeReader& include);

// A number: decimal, or hex with 0x; an optional leading '-'. 32 bits
// (signed or unsigned range).
bool ParseNumber(std::string_view text, std::int64_t* value);

// A control id: a number, OK, Cancel, or an IDC_ name.
bool ParseControlId(std::string_view text, int* id);

// A menu command: a menu item name (PosOpen, Exit, ...) or a number.
bool ParseMenuCommand(std::string_view text, int* id);

// The virtual-key code of a key the "key" step presses (Enter, Escape,
// Space, Tab, F4), or -1.
int KeyCode(std::string_view name);

// The control pipe's request line of a bench step ("bench swipe X" ->
// "swipe X", each word quoted as the line needs), and the status it is
// expected to answer ("returns N", else 0).
std::string ControlLine(const Step& step, std::int64_t* expected);

// Text shown in quotes, with the escapes above for quotes, backslashes and
// control bytes, so blanks and line ends are visible.
std::string ShowText(std::string_view text);

// Replaces ${hwnd}, ${hwnd8} and ${hwnd-dec} by the window handle's forms.
std::string Substitute(std::string_view text, std::uint32_t window);

// The main window handle's forms in texts: its placeholder and the text it
// stands for, longest placeholder first ("${hwnd8}" before "${hwnd}"); hex
// forms may follow "0x".
struct HandleForm {
  const char* placeholder;
  std::string text;
  bool hex;
};
std::vector<HandleForm> HandleForms(std::uint32_t window);

// --- Writing ---------------------------------------------------------------

// A text in quotes with the control line's escapes (simulator/control_line.h)
// and \" : the reader takes it back as it is.
std::string QuoteText(std::string_view text);

// A word that is written bare where the reader takes it back as it is (no
// blank or control byte, no leading quote or comment sign, not "returns"),
// else quoted.
Word PlainWord(std::string text);
inline Word BareWord(std::string text) { return Word{std::move(text), false}; }
inline Word TextWord(std::string text) { return Word{std::move(text), true}; }

// A scenario line: the key, then each word, bare or quoted as it says.
std::string WriteStep(std::string_view key, const std::vector<Word>& words = {});
inline std::string WriteStep(StepKind kind, const std::vector<Word>& words = {}) {
  return WriteStep(Key(kind), words);
}

}  // namespace scn

#endif  // REVEDIZ_SCENARIO_SCENARIO_H
