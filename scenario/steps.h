// The steps of the scenario language (runner/SCENARIOS.md), each written
// once: the reader (scenario.h), the writer (the recorder) and the runner's
// handlers (runner/) are all made from this list.
//
// X(Name, key, least, most, first, second, third, returns, meaning, summary)
//   Name     the step's enumerator (StepKind::kName) and handler (runner/)
//   key      what the line starts with; "expect", "bench" and "skip" take the
//            next word too. The row of a lone "bench" takes every
//            "bench VERB": a request line of the simulator's control pipe.
//   least, most   how many words follow the key (Many: no bound)
//   first, second, third   what the first words must be: Any, Number, Id
//            (a control id) or Menu (a menu command); later words are Any
//   returns  the step may end in "returns N" (not counted above)
//   meaning  the check of what the words mean beyond their form (Check...
//            in reader.cpp)
//   summary  one line on what the step does (for the reader of this list;
//            SCENARIOS.md says it in full)
#ifndef REVEDIZ_SCENARIO_STEPS_H
#define REVEDIZ_SCENARIO_STEPS_H

// clang-format off
#define REVEDIZ_SCENARIO_STEPS(X)                                                                                     \
  /* working folder and tool */                                                                                     \
  X(File, "file", 2, 4, Any, Any, Any, false, FileTimes, "a file of the working folder holding TEXT (N times over)") \
  X(Remove, "remove", 1, 1, Any, Any, Any, false, Nothing, "removes a file of the working folder")                    \
  X(Copy, "copy", 2, 2, Any, Any, Any, false, Nothing, "copies a file into the working folder")                      \
  X(Start, "start", 0, Many, Any, Any, Any, false, Start, "starts the tool (missing files, no or another library)")   \
  X(Exit, "exit", 0, 0, Any, Any, Any, false, Nothing, "the menu's Exit")                                             \
  X(Close, "close", 0, 1, Any, Any, Any, false, Close, "the main window's (or the log's or the dialog's) close box")  \
  X(ExpectExit, "expect exit", 1, 1, Number, Any, Any, false, Nothing, "the tool ends with status N")                \
  X(Include, "include", 1, Many, Any, Any, Any, false, Nothing, "the steps of another file, ${1}... filled in")      \
  X(Screenshot, "screenshot", 1, 2, Any, Any, Any, false, Screenshot, "a picture of the desktop or one window")      \
  X(Place, "place", 5, 5, Any, Number, Number, false, Place, "moves and sizes a window")                             \
  X(Scroll, "scroll", 2, 2, Any, Number, Any, false, Scroll, "scrolls the log to a line")                            \
  /* commands and dialogs */                                                                                        \
  X(Menu, "menu", 1, 1, Menu, Any, Any, false, Nothing, "a menu command posted to the main window")                  \
  X(Post, "post", 3, 3, Number, Number, Number, false, Nothing, "a message posted to the main window")                \
  X(Dialog, "dialog", 1, 1, Any, Any, Any, false, Nothing, "waits for a dialog and acts on it from now on")          \
  X(Set, "set", 2, 2, Id, Any, Any, false, Nothing, "a field's text")                                                 \
  X(Select, "select", 2, 2, Id, Any, Any, false, Nothing, "chooses a list entry")                                    \
  X(SelectPosted, "select-posted", 2, 2, Id, Any, Any, false, Nothing, "chooses a list entry, told by a post")         \
  X(Radio, "radio", 1, 1, Id, Any, Any, false, Nothing, "turns on a radio button")                                   \
  X(Click, "click", 1, 1, Id, Any, Any, false, Nothing, "a button's click posted to the dialog")                      \
  X(Press, "press", 1, 1, Id, Any, Any, false, Nothing, "a button's own click")                                      \
  X(Key, "key", 2, 2, Id, Any, Any, false, Key, "a key pressed and let go in a control of the dialog")               \
  X(Cancel, "cancel", 0, 0, Any, Any, Any, false, Nothing, "Cancel, then waits until the dialog is gone")            \
  X(Ok, "ok", 0, 0, Any, Any, Any, false, Nothing, "OK of the box last expected (or the topmost)")                   \
  X(Dismiss, "dismiss", 0, 0, Any, Any, Any, false, Nothing, "OK on every box, then Cancel on any dialog left")      \
  /* expectations */                                                                                                \
  X(ExpectBox, "expect box", 2, 2, Any, Any, Any, false, Nothing, "a message box is showing")                        \
  X(ExpectNoBox, "expect no-box", 0, 0, Any, Any, Any, false, Nothing, "no message box is showing")                  \
  X(ExpectClosed, "expect closed", 0, 0, Any, Any, Any, false, Nothing, "the dialog has closed")                     \
  X(ExpectOpen, "expect open", 0, 0, Any, Any, Any, false, Nothing, "the dialog is still showing")                   \
  X(ExpectField, "expect field", 2, 2, Id, Any, Any, false, Nothing, "a field's text (polled)")                      \
  X(ExpectItems, "expect items", 1, Many, Id, Any, Any, false, Nothing, "the entries of a list (polled)")            \
  X(ExpectItemContains, "expect item-contains", 2, 2, Id, Any, Any, false, Nothing, "an entry holds TEXT (polled)")  \
  X(ExpectLog, "expect log", 1, 1, Any, Any, Any, false, Nothing, "the next log line is TEXT")                       \
  X(ExpectLogContains, "expect log-contains", 1, 1, Any, Any, Any, false, Nothing, "the next log line holds TEXT")   \
  X(ExpectLogFind, "expect log-find", 1, 1, Any, Any, Any, false, Nothing, "a later log line is TEXT")               \
  X(ExpectLogEnd, "expect log-end", 0, 0, Any, Any, Any, false, Nothing, "no log line after those expected")         \
  X(SkipLog, "skip log", 1, 1, Number, Any, Any, false, Nothing, "passes over N log lines")                           \
  X(ExpectJournal, "expect journal", 1, 1, Any, Any, Any, false, Nothing, "a later journal line is TEXT")            \
  X(ExpectJournalContains, "expect journal-contains", 1, 1, Any, Any, Any, false, Nothing,                           \
    "a later journal line holds TEXT")                                                                              \
  X(ExpectJournalEnd, "expect journal-end", 0, 0, Any, Any, Any, false, Nothing, "no journal line after those expected") \
  X(ExpectJournalCount, "expect journal-count", 2, 2, Any, Number, Any, false, Nothing,                              \
    "N lines of the whole journal hold TEXT")                                                                       \
  X(ExpectFile, "expect file", 2, 4, Any, Any, Any, false, FileTimes, "a file holds exactly TEXT (N times over)")    \
  X(ExpectNoFile, "expect no-file", 1, 1, Any, Any, Any, false, Nothing, "a file does not exist")                    \
  X(ExpectFileLog, "expect file-log", 1, 1, Any, Any, Any, false, Nothing, "a file holds the tool's log lines")      \
  X(ExpectDeviceText, "expect device-text", 2, 2, Any, Any, Any, false, Nothing, "what the simulated device shows")  \
  X(ExpectWindow, "expect window", 3, 3, Any, Any, Any, false, Window, "a window's class, text, style or place")     \
  X(ExpectMenu, "expect menu", 1, Many, Any, Any, Any, false, Nothing, "the menu as the program holds it")           \
  X(ExpectAlive, "expect alive", 0, 0, Any, Any, Any, false, Nothing, "the tool runs and its window answers")     \
  X(ExpectLogForms, "expect log-forms", 0, 0, Any, Any, Any, false, Nothing, "every log line has a form of the tool's") \
  X(ExpectAgreement, "expect agreement", 0, 0, Any, Any, Any, false, Nothing, "the log and the journal agree")      \
  X(ExpectBounded, "expect bounded", 0, 0, Any, Any, Any, false, Nothing, "boxes and the tool's objects stay bounded") \
  X(Fails, "fails", 1, 3, Any, Any, Any, false, Nothing, "the next step must fail with this report")               \
  /* repeats */                                                                                                     \
  X(Repeat, "repeat", 1, 1, Number, Any, Any, false, Repeat, "the steps up to its end run N times")                 \
  X(End, "end", 0, 0, Any, Any, Any, false, Nothing, "ends a repeat")                                                 \
  /* simulator bench and control pipe */                                                                            \
  X(Bench, "bench", 0, Many, Any, Any, Any, true, Bench, "a request line of the simulator's control pipe")          \
  X(Ctl, "ctl", 1, Many, Any, Any, Any, false, Ctl, "runs vavuro-ctl and expects its exit status")                   \
  X(ExpectCtlOutput, "expect ctl-output", 1, 1, Any, Any, Any, false, Nothing, "the last ctl's output is TEXT")      \
  X(ExpectCtlLog, "expect ctl-log", 0, 0, Any, Any, Any, false, Nothing, "the last ctl's output is the tool's log")   \
  X(Pipe, "pipe", 1, 3, Any, Any, Any, false, Pipe, "a line sent to the pipe, or a client that never writes")       \
  X(ExpectReply, "expect reply", 1, 1, Any, Any, Any, false, Nothing, "the first line of the pipe's reply")
// clang-format on

#endif  // REVEDIZ_SCENARIO_STEPS_H
