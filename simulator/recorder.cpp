// The session recorder: see recorder.h.
#include "simulator/recorder.h"

#include <algorithm>
#include <cstdio>

#include "res/id_names.h"
#include "scenario/scenario.h"
#include "simulator/control_line.h"

namespace sim {
namespace {

template <std::size_t N>
std::string NameOf(const IdName (&table)[N], int id) {
  for (const IdName& row : table) {
    if (row.id == id) return row.name;
  }
  return std::to_string(id);
}

// Control ids and commands are 16 bits wide.
bool IsId(int id) { return id >= 0 && id <= 0xFFFF; }

bool IsAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

using scn::StepKind;
using scn::BareWord;

// One line of comment: control bytes become blanks.
std::string CommentText(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < ' ' || u == 0x7F) c = ' ';
  }
  return out;
}

}  // namespace

std::string ControlIdName(int id) { return NameOf(kDialogControlNames, id); }

Recorder::Dialog* Recorder::Find(std::uintptr_t handle) {
  for (Dialog& dialog : dialogs_) {
    if (dialog.handle == handle) return &dialog;
  }
  return nullptr;
}

void Recorder::Step(StepKind kind, const std::vector<scn::Word>& words) {
  body_ += scn::WriteStep(kind, words);
  body_ += '\n';
  ++steps_;
}

// The handle stands alone (after a non-alphanumeric, or "0x" in a hex
// form) in any of its forms: hex, hex of eight digits, decimal (a value
// shown as Dec, such as a queue handle read back).
scn::Word Recorder::Text(std::string_view text) const {
  if (window_ == 0) return scn::TextWord(std::string(text));
  const std::vector<scn::HandleForm> forms = scn::HandleForms(window_);
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    const bool startsWord = i == 0 || !IsAlnum(text[i - 1]);
    const bool afterHexPrefix = i >= 2 && (text[i - 1] == 'x' || text[i - 1] == 'X') && text[i - 2] == '0';
    const auto form = std::find_if(forms.begin(), forms.end(), [&](const scn::HandleForm& f) {
      const std::size_t end = i + f.text.size();
      return (startsWord || (f.hex && afterHexPrefix)) && text.substr(i).starts_with(f.text) &&
             (end >= text.size() || !IsAlnum(text[end]));
    });
    if (form != forms.end()) {
      out += form->placeholder;
      i += form->text.size();
    } else {
      out += text[i++];
    }
  }
  return scn::TextWord(std::move(out));
}

void Recorder::Menu(int command) {
  if (!IsId(command)) return;
  if (command == IDM_EXIT) return Step(StepKind::kExit);
  Step(StepKind::kMenu, {BareWord(NameOf(kMenuCommandNames, command))});
}

void Recorder::CloseMain() { Step(StepKind::kClose); }

void Recorder::DialogOpened(std::uintptr_t dialog, std::string_view caption, const RecordedFields& fields) {
  if (Find(dialog) != nullptr) return;
  dialogs_.push_back(Dialog{dialog, std::string(caption), fields});
  Step(StepKind::kDialog, {Text(caption)});
  acting_ = dialog;
}

void Recorder::Pressed(std::uintptr_t handle, int id, const RecordedFields& fields) {
  Dialog* dialog = Find(handle);
  if (dialog == nullptr || !IsId(id)) return;
  if (acting_ != handle) {
    Step(StepKind::kDialog, {Text(dialog->caption)});
    acting_ = handle;
  }
  // Cancel closes the dialog at once, unless a box shows: its loop holds
  // the dialog until it goes, so the press is a click, and the box's ok
  // comes before the dialog is gone.
  if (id == 2 && boxes_.empty()) return Step(StepKind::kCancel);
  if (id == 2) return Step(StepKind::kClick, {BareWord("Cancel")});
  // A list entry chosen may refill the fields after it (an Ioctl request or
  // an Open class its resource list): from there on each field is written
  // as it stands, though it may show what it showed before.
  bool afterChoice = false;
  for (const RecordedField& field : fields) {
    const auto was = std::find_if(dialog->shown.begin(), dialog->shown.end(),
                                  [&](const RecordedField& f) { return f.id == field.id; });
    const bool known = was != dialog->shown.end();
    const std::string name = ControlIdName(field.id);
    if (!IsId(field.id)) continue;
    if (field.kind == RecordedField::kRadio) {
      if (field.checked && !(known && was->checked)) Step(StepKind::kRadio, {BareWord(name)});
    } else if (afterChoice || !known || was->text != field.text) {
      Step(field.kind == RecordedField::kEdit ? StepKind::kSet : StepKind::kSelect, {BareWord(name), Text(field.text)});
      afterChoice = afterChoice || field.kind == RecordedField::kChoice;
    }
  }
  dialog->shown = fields;
  Step(StepKind::kClick, {BareWord(ControlIdName(id))});
}

void Recorder::PressDone(std::uintptr_t handle, const RecordedFields& fields, bool stillOpen) {
  Dialog* dialog = Find(handle);
  if (dialog == nullptr) return;
  for (const RecordedField& field : fields) {
    if (!stillOpen || field.kind == RecordedField::kRadio || !IsId(field.id)) continue;
    const auto was = std::find_if(dialog->shown.begin(), dialog->shown.end(),
                                  [&](const RecordedField& f) { return f.id == field.id; });
    if (was == dialog->shown.end() || was->text != field.text) {
      Step(StepKind::kExpectField, {BareWord(ControlIdName(field.id)), Text(field.text)});
    }
  }
  dialog->shown = fields;
}

void Recorder::DialogClosed(std::uintptr_t handle) {
  dialogs_.erase(std::remove_if(dialogs_.begin(), dialogs_.end(), [&](const Dialog& d) { return d.handle == handle; }),
                 dialogs_.end());
  if (acting_ == handle) acting_ = 0;
}

void Recorder::BoxShown(std::uintptr_t box, std::string_view caption, std::string_view text) {
  boxes_.push_back(box);
  Step(StepKind::kExpectBox, {Text(caption), Text(text)});
}

void Recorder::BoxClosed(std::uintptr_t box) {
  const auto at = std::find(boxes_.begin(), boxes_.end(), box);
  if (at == boxes_.end()) return;
  boxes_.erase(at);
  Step(StepKind::kOk);
}

void Recorder::LogLine(std::string_view text) { Step(StepKind::kExpectLog, {Text(text)}); }

void Recorder::Bench(std::string_view line, std::int32_t status) {
  Request request;
  std::vector<std::string> words;
  std::string why;
  if (!ParseRequest(line, &request, &why) || !SplitLine(line, &words, &why)) return;
  if (request.verb == Verb::kState || request.verb == Verb::kLog || request.verb == Verb::kJournal ||
      request.verb == Verb::kText || request.verb == Verb::kRecord) {
    return;
  }
  std::vector<scn::Word> written;
  for (std::string& word : words) written.push_back(scn::PlainWord(std::move(word)));
  if (status != 0) {
    written.push_back(BareWord("returns"));
    written.push_back(BareWord(std::to_string(status)));
  }
  Step(StepKind::kBench, written);
}

void Recorder::Line(std::string_view line) {
  body_.append(line) += '\n';
  ++steps_;
}

std::string StepLineError(std::string_view line) {
  if (line.find_first_of("\r\n") != std::string_view::npos) return "a step is one line";
  scn::Scenario scenario;
  std::vector<std::string> errors;
  scn::ParseScenario(line, &scenario, &errors);
  if (!errors.empty()) return errors.front();
  return scenario.steps.size() == 1 ? "" : "not a scenario step";
}

void Recorder::ToolEnded(int status) { Step(StepKind::kExpectExit, {BareWord(std::to_string(status))}); }

std::string Recorder::Scenario(std::string_view when, std::string_view build) const {
  return "# Recorded by hand on " + CommentText(when) + ", build " + CommentText(build) + ".\n# Replay: revediz-run FILE\nstart\n" +
         body_;
}

}  // namespace sim
