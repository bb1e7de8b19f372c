// Scenario files of revediz-run: reading and checking them, window-free.
//
// A scenario is plain text, one step per line. Words are separated by blanks;
// a word in double quotes may hold blanks and these escapes: \" \\ \n \r \t
// and \xHH (two hex digits). Everything else inside quotes is taken as it
// stands, so leading and trailing blanks of the tool's texts are exact. A
// line whose first word starts with '#' is a comment; so is the rest of a
// line after a word starting with '#' outside quotes. Empty lines are
// skipped.
//
// Steps (ID is a control id: a number, OK, Cancel or an IDC_ name of
// res/resource_ids.h; TEXT is a word, usually quoted):
//
//   Working folder and tool
//     file NAME TEXT           a file in the working folder (before start:
//                              made before the tool starts)
//     start                    start the tool and wait for its main window
//     start missing NAME...    leave resource list files out; the tool shows
//                              its start-up box and no window
//     start no-library         no vavuro32.dll in the working folder
//     exit                     the menu's Exit
//     close                    the main window's close box
//     expect exit N            the tool ends with status N
//   Commands and dialogs
//     menu NAME|N              PosInitialize PosOpen PosClose PosIoctl
//                              PosRead PosWrite Exit, or any command id
//     post MSG WPARAM LPARAM   a message posted to the main window
//     dialog TEXT              wait for the command dialog of that caption
//     set ID TEXT              a field's text
//     select ID TEXT           choose a list entry (the dialog is told)
//     select-posted ID TEXT    the same, for a choice that opens a box
//     radio ID                 turn on a radio button
//     click ID                 a button click (posted)
//     press ID                 the button's own click (BM_CLICK)
//     cancel                   Cancel, then wait until the dialog is gone
//     ok                       OK of the box last expected (or of any box)
//   Expectations
//     expect box CAPTION TEXT  a message box (caption * matches any)
//     expect no-box            no message box is showing
//     expect closed            the dialog has closed
//     expect open              the dialog is still showing
//     expect field ID TEXT     a field's text
//     expect items ID TEXT...  the entries of a list
//     expect log TEXT          the next log line is TEXT
//     expect log-contains TEXT the next log line holds TEXT
//     expect log-find TEXT     a later log line is TEXT (lines between are
//                              passed over)
//     expect log-end           no log line after those expected so far
//     skip log N               pass over N log lines
//     expect journal TEXT      a later journal line is TEXT
//     expect journal-contains TEXT   a later journal line holds TEXT
//     expect file NAME TEXT    a file in the working folder holds TEXT
//     expect device-text TARGET TEXT  what the simulated device shows
//   Simulator bench (the simulator's control exports)
//     bench fault TARGET KIND VALUE [returns N]
//                              KIND: error overclaim overrun offline or N
//     bench clear-faults
//     bench swipe [TEXT]       bench scan [TEXT]    bench keys TEXT
//     bench weight GRAMS       bench close-drawer
//                              (every bench step expects result 0 unless
//                              "returns N" ends it)
//
// In texts of steps that run after start, ${hwnd} stands for the main
// window handle in %lX form and ${hwnd8} in %08lX form (as the log and the
// journal show it).
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

// A fault kind name (error, overclaim, overrun, offline) or a number.
bool ParseFaultKind(std::string_view text, int* kind);

// Text shown in quotes, with the escapes above for quotes, backslashes and
// control bytes, so blanks and line ends are visible.
std::string ShowText(std::string_view text);

// Replaces ${hwnd} and ${hwnd8} by the window handle's forms.
std::string Substitute(std::string_view text, std::uint32_t window);

}  // namespace runner

#endif  // REVEDIZ_RUNNER_SCENARIO_H
