// The session recorder: see recorder.h.
#include "simulator/recorder.h"

#include <algorithm>
#include <cstdio>

#include "res/id_names.h"
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

// A scenario text in quotes: the escapes of the control line, and \" .
std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) out += c == '"' ? std::string("\\\"") : EscapeText(std::string_view(&c, 1));
  return out + "\"";
}

// A word of a bench step: bare where the scenario reader takes it back as it
// is (no blank or control byte, no leading quote or comment sign, not the
// "returns" that would end the step), else quoted.
std::string BenchWord(const std::string& word) {
  bool bare = !word.empty() && word[0] != '"' && word[0] != '#' && word != "returns";
  for (char c : word) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u <= ' ' || u == 0x7F) bare = false;
  }
  return bare ? word : Quote(word);
}

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

void Recorder::Step(std::string_view line) {
  body_.append(line);
  body_ += '\n';
  ++steps_;
}

// The handle stands alone (after a non-alphanumeric or "0x") in either form.
std::string Recorder::Text(std::string_view text) const {
  if (window_ == 0) return Quote(text);
  char shortForm[16], longForm[16];
  std::snprintf(shortForm, sizeof shortForm, "%lX", static_cast<unsigned long>(window_));
  std::snprintf(longForm, sizeof longForm, "%08lX", static_cast<unsigned long>(window_));
  std::string out = "\"";
  std::size_t i = 0;
  while (i < text.size()) {
    const bool startsWord = i == 0 || !IsAlnum(text[i - 1]) ||
                            (i >= 2 && (text[i - 1] == 'x' || text[i - 1] == 'X') && text[i - 2] == '0');
    bool replaced = false;
    for (const auto& [form, name] : {std::pair<std::string_view, const char*>{longForm, "${hwnd8}"},
                                     std::pair<std::string_view, const char*>{shortForm, "${hwnd}"}}) {
      const std::size_t end = i + form.size();
      if (!replaced && startsWord && text.substr(i, form.size()) == form && (end >= text.size() || !IsAlnum(text[end]))) {
        out += name;
        i = end;
        replaced = true;
      }
    }
    if (replaced) continue;
    const char c = text[i++];
    out += c == '"' ? std::string("\\\"") : EscapeText(std::string_view(&c, 1));
  }
  return out + "\"";
}

void Recorder::Menu(int command) {
  if (!IsId(command)) return;
  if (command == IDM_EXIT) return Step("exit");
  Step("menu " + NameOf(kMenuCommandNames, command));
}

void Recorder::CloseMain() { Step("close"); }

void Recorder::DialogOpened(std::uintptr_t dialog, std::string_view caption, const RecordedFields& fields) {
  if (Find(dialog) != nullptr) return;
  dialogs_.push_back(Dialog{dialog, std::string(caption), fields});
  Step("dialog " + Text(caption));
  acting_ = dialog;
}

void Recorder::Pressed(std::uintptr_t handle, int id, const RecordedFields& fields) {
  Dialog* dialog = Find(handle);
  if (dialog == nullptr || !IsId(id)) return;
  if (acting_ != handle) {
    Step("dialog " + Text(dialog->caption));
    acting_ = handle;
  }
  if (id == 2) return Step("cancel");
  for (const RecordedField& field : fields) {
    const auto was = std::find_if(dialog->shown.begin(), dialog->shown.end(),
                                  [&](const RecordedField& f) { return f.id == field.id; });
    const bool known = was != dialog->shown.end();
    const std::string name = ControlIdName(field.id);
    if (!IsId(field.id)) continue;
    if (field.kind == RecordedField::kRadio) {
      if (field.checked && !(known && was->checked)) Step("radio " + name);
    } else if (!known || was->text != field.text) {
      Step((field.kind == RecordedField::kEdit ? "set " : "select ") + name + " " + Text(field.text));
    }
  }
  dialog->shown = fields;
  Step("click " + ControlIdName(id));
}

void Recorder::PressDone(std::uintptr_t handle, const RecordedFields& fields, bool stillOpen) {
  Dialog* dialog = Find(handle);
  if (dialog == nullptr) return;
  for (const RecordedField& field : fields) {
    if (!stillOpen || field.kind == RecordedField::kRadio || !IsId(field.id)) continue;
    const auto was = std::find_if(dialog->shown.begin(), dialog->shown.end(),
                                  [&](const RecordedField& f) { return f.id == field.id; });
    if (was == dialog->shown.end() || was->text != field.text) {
      Step("expect field " + ControlIdName(field.id) + " " + Text(field.text));
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
  Step("expect box " + Text(caption) + " " + Text(text));
}

void Recorder::BoxClosed(std::uintptr_t box) {
  const auto at = std::find(boxes_.begin(), boxes_.end(), box);
  if (at == boxes_.end()) return;
  boxes_.erase(at);
  Step("ok");
}

void Recorder::LogLine(std::string_view text) { Step("expect log " + Text(text)); }

void Recorder::Bench(std::string_view line, std::int32_t status) {
  Request request;
  std::vector<std::string> words;
  std::string why;
  if (!ParseRequest(line, &request, &why) || !SplitLine(line, &words, &why)) return;
  if (request.verb == Verb::kState || request.verb == Verb::kLog || request.verb == Verb::kJournal ||
      request.verb == Verb::kText || request.verb == Verb::kRecord) {
    return;
  }
  std::string step = "bench";
  for (const std::string& word : words) (step += ' ') += BenchWord(word);
  if (status != 0) (step += " returns ") += std::to_string(status);
  Step(step);
}

void Recorder::ToolEnded(int status) { Step("expect exit " + std::to_string(status)); }

std::string Recorder::Scenario(std::string_view when, std::string_view build) const {
  return "# Recorded by hand on " + CommentText(when) + ", build " + CommentText(build) + ".\n# Replay: revediz-run FILE\nstart\n" +
         body_;
}

}  // namespace sim
