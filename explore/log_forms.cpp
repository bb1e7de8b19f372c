#include "explore/log_forms.h"

#include <array>
#include <bitset>
#include <cstddef>
#include <vector>

namespace explore {
namespace {

// The tool's log lines as it writes them. Where a line holds an operator's
// text or a looked-up name, {s} stands for it; a name for a code without a
// row is the numeric fallback text, so names are never narrower than {s}.
constexpr LogForm kForms[] = {
    // The command lines, one per dialog (the Write dialog has two modes).
    {"command.initialize", "Command-->  PosInitialize({s}, {s}, 0, 0, [], {d})"},
    {"command.open", "Command-->  PosOpen({s}, {s}, [], {d})"},
    {"command.close", "Command-->  PosClose({d})  "},
    {"command.ioctl", "Command-->  PosIoctl({d}, {s}, [..], {d})"},
    {"command.read", "Command-->  PosRead({d}, [], {d})"},
    {"command.write_text", "Command-->  PosWrite({d}, [], {d})"},
    {"command.write_file", "Command-->  PosWrite({d},{s},{d})"},
    // Outcomes: the failure report and the success lines.
    {"result.report", "  RC = {d}, errno = ({d}) {s}  "},
    {"result.open_handle", "  Handle :  {d}  Device Name :  {s}"},
    {"result.close_handle", "Close Handle {d} successful"},
    // Argument echo: the numbered name line, then the value by its type.
    {"argument.name", "     {u}: {s}   "},
    {"argument.decimal", "               ({d})  "},
    {"argument.hex", "               (0x{X})  "},
    // Device notifications at the main window.
    {"notification.keyboard_status", "POSM_KBD_STATUS_CHANGE (Msg = 16897)"},
    {"notification.msr_data", "MSR DATA AVAILABLE (Length = {u})"},
    {"notification.printer_chase", "PRINTER CHASE COMPLETE (Device Descriptor = {u})"},
    {"notification.printer_error", "PRINTER ERROR (Device Descriptor = {u})"},
    {"notification.printer_status", "PRINTER STATUS CHANGE (Device Descriptor = {u})"},
    {"notification.scanner_data", "SCANNER DATA AVAILABLE (Length = {u})"},
    {"notification.offline_display", "DEVICE_ANOP_DISPLAY_A OFF LINE (Device Descriptor = {u})"},
    {"notification.offline_msr", "MSR_3_TRACK OFF LINE (Device Descriptor = {u})"},
    {"notification.offline_drawer", "DEVICE_CASH_DRAWER OFF LINE(Device Descriptor = {u})"},
    {"notification.till_opened", "TILL OPENED (Device Descriptor = {u})"},
    {"notification.printer_data", "PRINTER DATA AVAILABLE (Device Descriptor = {u})"},
    {"notification.online_wparam", " wParam --> {x4+} "},
    {"notification.online_lparam", " lParam --> {x8} "},
    {"notification.online_name", "  POSM_SYS_DEVICE_ONLINE "},
    {"notification.online_device", "        Device: {s}  (Subtype: {s}) (Device Num: {#})"},
    {"notification.online_place", "            {s}   ({#}) "},
    {"notification.boxes_held", "REVEDIZ: {u} notification boxes are open; further ones are held back"},
    {"notification.boxes_released", "REVEDIZ: {u} notification boxes were held back"},
    {"initialize.online_command", "Message from DEVICE ON LINE"},
    // The Ioctl dialog's request lookup.
    {"lookup.no_match", "  --> Couldn't find match for: '{s}'  "},
    {"lookup.several_matches", "  --> Multiple matches for: '{s}'  "},
    // Resource list files.
    {"resource_list.missing", " File : {s} is not found."},
    // The Write dialog's text and its escapes.
    {"write.line_count", "nLines    -> {d} "},
    {"write.unknown_escape", "--> Error, unknown escape sequence '\\{c}'"},
    // Files read for PosWrite and written after PosRead.
    {"file.read", "REVEDIZ: Read {d} bytes from '{s}'"},
    {"file.read_open_error", "REVEDIZ: Error {d} on open of file '{s}'"},
    {"file.write_open_error", "REVEDIZ: Error {d} on open of file '{s}'  "},
    {"file.seek_end_error", "REVEDIZ: Error {d}/{d} on seek_end of file '{s}'"},
    {"file.ftell_error", "REVEDIZ: Error -1/{d} on ftell of file '{s}'"},
    {"file.seek_set_error", "REVEDIZ: Error {d}/{d} on seek_set of file '{s}'"},
    {"file.too_big", "REVEDIZ: Buffer not big enough: have {d} bytes, '{s}' is {d} bytes long\n"},
    {"file.read_short", "REVEDIZ: Only read {d} out of {d} bytes of file '{s}'"},
    {"file.read_error", "REVEDIZ: Error 32 reading file '{s}'"},
    {"file.wrote", "REVEDIZ: Wrote {d} bytes to '{s}'"},
    {"file.write_short", "Only wrote {d} out of {d} bytes of file '{s}'"},
    {"file.write_error", "Error 32 writing file '{s}'"},
    // The Read dialog's checks of what the device returned.
    {"read.overclaim", "REVEDIZ: Device returned {d} bytes for a buffer of {d}; showing {d}"},
    {"read.guard_changed", "REVEDIZ: Device wrote outside the read buffer (guard byte {s} changed)"},
    // Hex dump: title, byte count, rows.
    {"dump.count", "      ({u} bytes)"},
    {"dump.row", "   {X4+}: {g} | {p}\n"},
    {"dump.title", "      {s}:  "},
    // Records read from the queue (descriptor 0); lines may be indented.
    {"queue.unknown_format", "ERROR: Unknown POSQ message format!!!!"},
    {"queue.message", "{b}POSQ Message from Handle {b}{d}: {s}"},
    {"queue.mp1", "{b}     mp1 = 0x{X8} ({u})"},
    {"queue.mp2", "{b}     mp2 = 0x{X8} ({u})"},
    {"queue.device_type", "{b}*** Device: {s}  (Subtype: {s})"},
    {"queue.device", "  {b}{s} - {s}, {s}, {s}  "},
    // Last: the string value line takes any text between its blanks.
    {"argument.string", "  {s}    "},
};

using CharSet = std::bitset<256>;

// One state of a pattern's automaton: a character set to consume (then on to
// `out`), a split (on to both `out` and `other` without consuming), or the
// accepting end.
struct State {
  enum Kind { kSet, kSplit, kAccept } kind;
  CharSet set;
  int out = -1, other = -1;
};

struct Compiled {
  std::vector<State> states;  // empty: malformed pattern, matches nothing
  std::string_view prefix, suffix;  // literal text before the first and after the last placeholder
};

CharSet Range(unsigned char low, unsigned char high) {
  CharSet set;
  for (unsigned c = low; c <= high; ++c) set.set(c);
  return set;
}
CharSet One(unsigned char c) { return Range(c, c); }
CharSet Digits() { return Range('0', '9'); }
CharSet UpperHex() { return Digits() | Range('A', 'F'); }
CharSet LowerHex() { return Digits() | Range('a', 'f'); }

class Builder {
 public:
  int Here() const { return static_cast<int>(states_.size()); }
  // Consumes one character of the set, then goes on to the next state.
  void Set(const CharSet& set) { Add({State::kSet, set, Here() + 1, -1}); }
  void SetTo(const CharSet& set, int to) { Add({State::kSet, set, to, -1}); }
  void Split(int a, int b) { Add({State::kSplit, {}, a, b}); }
  // Zero or more characters of the set.
  void Star(const CharSet& set) {
    const int at = Here();
    Split(at + 1, at + 2);
    SetTo(set, at);
  }
  // min characters of the set, and more when `more`.
  void Count(const CharSet& set, int min, bool more) {
    for (int i = 0; i < min; ++i) Set(set);
    if (more) Star(set);
  }
  void Accept() { Add({State::kAccept, {}, -1, -1}); }
  std::vector<State> Take() { return std::move(states_); }

 private:
  void Add(State state) { states_.push_back(std::move(state)); }
  std::vector<State> states_;
};

// Adds one placeholder (the text between the braces); false if malformed.
bool AddPlaceholder(Builder& b, std::string_view placeholder) {
  if (placeholder.empty()) return false;
  const char kind = placeholder[0];
  placeholder.remove_prefix(1);
  int count = -1;
  bool more = false;
  if (!placeholder.empty() && placeholder[0] >= '0' && placeholder[0] <= '9') {
    count = 0;
    while (!placeholder.empty() && placeholder[0] >= '0' && placeholder[0] <= '9' && count < 1000) {
      count = count * 10 + (placeholder[0] - '0');
      placeholder.remove_prefix(1);
    }
    if (!placeholder.empty() && placeholder[0] == '+') {
      more = true;
      placeholder.remove_prefix(1);
    }
  }
  if (!placeholder.empty()) return false;
  const bool counted = count >= 0;
  const int min = counted ? count : 1;
  const bool atLeast = counted ? more : true;
  switch (kind) {
    case 'd': {
      const int at = b.Here();
      b.Split(at + 1, at + 2);  // an optional minus sign
      b.Set(One('-'));
      b.Count(Digits(), min, atLeast);
      return true;
    }
    case 'u': b.Count(Digits(), min, atLeast); return true;
    case 'X': b.Count(UpperHex(), min, atLeast); return true;
    case 'x': b.Count(LowerHex(), min, atLeast); return true;
    case 'p': b.Count(Range(0x20, 0x7E), min, atLeast); return true;
    case 'b': b.Count(One(' '), counted ? count : 0, counted ? more : true); return true;
    case 's': b.Count(CharSet().set(), counted ? count : 0, counted ? more : true); return true;
    case 'c':
      if (counted) return false;
      b.Set(CharSet().set());
      return true;
    case 'g': {
      if (counted) return false;
      const int at = b.Here();
      b.Set(UpperHex());
      b.Set(UpperHex());
      b.Set(One(' '));
      b.Split(at, at + 4);
      return true;
    }
    case '#': {
      if (counted) return false;
      // "0" then "000" or "x" and two lower-case hexadecimal digits.
      b.Set(One('0'));
      const int at = b.Here();
      b.Split(at + 1, at + 4);
      b.Set(One('0'));
      b.Set(One('0'));
      b.SetTo(One('0'), at + 7);
      b.Set(One('x'));
      b.Set(LowerHex());
      b.Set(LowerHex());
      return true;
    }
    default: return false;
  }
}

Compiled Compile(std::string_view pattern) {
  Compiled compiled;
  Builder b;
  std::size_t firstBrace = std::string_view::npos, lastClose = 0;
  for (std::size_t i = 0; i < pattern.size();) {
    if (pattern[i] == '}') return compiled;
    if (pattern[i] != '{') {
      b.Set(One(static_cast<unsigned char>(pattern[i])));
      ++i;
      continue;
    }
    const std::size_t close = pattern.find('}', i);
    if (close == std::string_view::npos) return compiled;
    if (!AddPlaceholder(b, pattern.substr(i + 1, close - i - 1))) return compiled;
    if (firstBrace == std::string_view::npos) firstBrace = i;
    lastClose = close + 1;
    i = close + 1;
  }
  b.Accept();
  compiled.states = b.Take();
  if (firstBrace == std::string_view::npos) {
    compiled.prefix = pattern;
    compiled.suffix = pattern;
  } else {
    compiled.prefix = pattern.substr(0, firstBrace);
    compiled.suffix = pattern.substr(lastClose);
  }
  return compiled;
}

// Runs the automaton over the line, all paths at once: each character is
// looked at once per state, so the time is the line's length times the
// pattern's size, whatever the line holds.
class Runner {
 public:
  explicit Runner(const std::vector<State>& states)
      : states_(states), mark_(states.size(), 0) {}

  bool Run(std::string_view line) {
    std::vector<int> current, next;
    ++generation_;
    Add(current, 0);
    for (const char ch : line) {
      const auto c = static_cast<unsigned char>(ch);
      next.clear();
      ++generation_;
      for (const int s : current) {
        const State& state = states_[static_cast<std::size_t>(s)];
        if (state.kind == State::kSet && state.set.test(c)) Add(next, state.out);
      }
      current.swap(next);
      if (current.empty()) return false;
    }
    for (const int s : current) {
      if (states_[static_cast<std::size_t>(s)].kind == State::kAccept) return true;
    }
    return false;
  }

 private:
  // Adds a state and, through splits, every state it reaches without
  // consuming a character.
  void Add(std::vector<int>& list, int first) {
    stack_.clear();
    stack_.push_back(first);
    while (!stack_.empty()) {
      const int s = stack_.back();
      stack_.pop_back();
      if (s < 0 || static_cast<std::size_t>(s) >= states_.size()) continue;
      if (mark_[static_cast<std::size_t>(s)] == generation_) continue;
      mark_[static_cast<std::size_t>(s)] = generation_;
      const State& state = states_[static_cast<std::size_t>(s)];
      if (state.kind == State::kSplit) {
        stack_.push_back(state.other);
        stack_.push_back(state.out);
      } else {
        list.push_back(s);
      }
    }
  }

  const std::vector<State>& states_;
  std::vector<unsigned> mark_;
  unsigned generation_ = 0;
  std::vector<int> stack_;
};

bool Matches(const Compiled& compiled, std::string_view line) {
  if (compiled.states.empty()) return false;
  if (!line.starts_with(compiled.prefix) || !line.ends_with(compiled.suffix)) return false;
  return Runner(compiled.states).Run(line);
}

const std::vector<Compiled>& CompiledForms() {
  static const std::vector<Compiled> compiled = [] {
    std::vector<Compiled> all;
    for (const LogForm& form : kForms) all.push_back(Compile(form.pattern));
    return all;
  }();
  return compiled;
}

}  // namespace

std::span<const LogForm> LogForms() { return kForms; }

std::string_view MatchLogForm(std::string_view line) {
  const std::vector<Compiled>& compiled = CompiledForms();
  for (std::size_t i = 0; i < compiled.size(); ++i) {
    if (Matches(compiled[i], line)) return kForms[i].name;
  }
  return {};
}

bool MatchesPattern(std::string_view pattern, std::string_view line) {
  return Matches(Compile(pattern), line);
}

}  // namespace explore
