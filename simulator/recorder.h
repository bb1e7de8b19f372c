// A session recorded as a revediz-run scenario (runner/SCENARIOS.md),
// window-free. The Win32 side (record_hooks.h) watches the tool's GUI
// thread and hands over what the operator did and what the tool answered,
// as typed events; the recorder turns them into steps:
//
//   menu command         -> menu PosOpen (Exit -> exit), close box -> close
//   dialog opened        -> dialog "POS Open"
//   button pressed       -> set / select / radio for each field that differs
//                           from what the dialog showed (when it opened, or
//                           after the last press), then click ID (Cancel ->
//                           cancel; while a box shows, click Cancel)
//   press handled, the dialog still open
//                        -> expect field for each field the press changed
//   message box          -> expect box CAPTION TEXT, and ok once it closes
//   log line             -> expect log TEXT
//   bench action         -> bench VERB WORDS... [returns N]
//   the tool ends        -> expect exit N
//
// The main window's handle, where a text shows it in %lX or %08lX form, is
// written as ${hwnd} / ${hwnd8}. Every text is quoted with the scenario's
// escapes, so what it writes reads back (scn::ParseScenario) as written.
#ifndef REVEDIZ_SIMULATOR_RECORDER_H
#define REVEDIZ_SIMULATOR_RECORDER_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scenario/scenario.h"

namespace sim {

// A dialog field as it stands: an edit's (or editable combo's) text, a
// list combo's chosen entry, a radio button's check.
struct RecordedField {
  enum Kind { kEdit, kChoice, kRadio };
  Kind kind = kEdit;
  int id = 0;
  std::string text;
  bool checked = false;
  bool operator==(const RecordedField&) const = default;
};
using RecordedFields = std::vector<RecordedField>;

class Recorder {
 public:
  // `mainWindow`: the handle the tool's texts may show (the queue window).
  explicit Recorder(std::uint32_t mainWindow = 0) : window_(mainWindow) {}

  void Menu(int command);
  void CloseMain();
  // Dialogs and boxes are told apart by an opaque handle.
  void DialogOpened(std::uintptr_t dialog, std::string_view caption, const RecordedFields& fields);
  void Pressed(std::uintptr_t dialog, int id, const RecordedFields& fields);
  // The press's handler returned; `fields` as it left them.
  void PressDone(std::uintptr_t dialog, const RecordedFields& fields, bool stillOpen);
  void DialogClosed(std::uintptr_t dialog);
  void BoxShown(std::uintptr_t box, std::string_view caption, std::string_view text);
  void BoxClosed(std::uintptr_t box);
  void LogLine(std::string_view text);
  // A control pipe request line (control_line.h) and the status it gave.
  // Lines that are not actions (listings, refused lines) are left out.
  void Bench(std::string_view line, std::int32_t status);
  // A step given whole (the pipe's record step), written as it stands.
  void Line(std::string_view line);
  void ToolEnded(int status);

  std::size_t Steps() const { return steps_; }
  // The scenario: a header comment naming `when` and `build`, start, the
  // steps.
  std::string Scenario(std::string_view when, std::string_view build) const;

 private:
  struct Dialog {
    std::uintptr_t handle;
    std::string caption;
    RecordedFields shown;  // as it stood after opening or the last press
  };
  Dialog* Find(std::uintptr_t handle);
  void Step(scn::StepKind kind, const std::vector<scn::Word>& words = {});
  scn::Word Text(std::string_view text) const;  // quoted, handle substituted

  std::uint32_t window_;
  std::string body_;
  std::size_t steps_ = 0;
  std::vector<Dialog> dialogs_;  // open, oldest first
  std::uintptr_t acting_ = 0;    // the dialog the script's steps act on
  std::vector<std::uintptr_t> boxes_;
};

// Why `line` is not one scenario step of one line (the reader's error), or
// "" when it is one.
std::string StepLineError(std::string_view line);

// A control id as a scenario names it: OK, Cancel, IDC_..., else the number.
std::string ControlIdName(int id);

}  // namespace sim

#endif  // REVEDIZ_SIMULATOR_RECORDER_H
