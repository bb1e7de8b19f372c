// Scenario files of revediz-run: see scenario.h for the language.
#include "runner/scenario.h"

#include <cstdio>
#include <cstring>

#include "res/id_names.h"
#include "simulator/bench_ids.h"
#include "simulator/control_line.h"

namespace runner {
namespace {

// Words after which the next word belongs to the key.
constexpr const char* kTwoWordVerbs[] = {"expect", "bench", "skip"};

enum class Check {
  kAny,     // any word
  kNumber,  // ParseNumber
  kId,      // ParseControlId
  kMenu,    // ParseMenuCommand
};

struct StepRule {
  const char* key;
  int minArgs;
  int maxArgs;  // -1: any number
  // Checks of the first words, in order; later words are kAny.
  Check checks[3];
  // Bench steps may end in "returns N".
  bool returns;
};

constexpr int kMany = -1;

// Bound of a file made or expected with "times N".
constexpr std::uint64_t kMaxFileBytes = 64u << 20;

const StepRule kRules[] = {
    {"file", 2, 4, {}, false},
    {"remove", 1, 1, {}, false},
    {"copy", 2, 2, {}, false},
    {"place", 5, 5, {Check::kAny, Check::kNumber, Check::kNumber}, false},
    {"scroll", 2, 2, {Check::kAny, Check::kNumber}, false},
    {"start", 0, kMany, {}, false},
    {"exit", 0, 0, {}, false},
    {"close", 0, 1, {}, false},
    {"repeat", 1, 1, {Check::kNumber}, false},
    {"end", 0, 0, {}, false},
    {"screenshot", 1, 2, {}, false},
    {"menu", 1, 1, {Check::kMenu}, false},
    {"post", 3, 3, {Check::kNumber, Check::kNumber, Check::kNumber}, false},
    {"dialog", 1, 1, {}, false},
    {"set", 2, 2, {Check::kId}, false},
    {"select", 2, 2, {Check::kId}, false},
    {"select-posted", 2, 2, {Check::kId}, false},
    {"radio", 1, 1, {Check::kId}, false},
    {"click", 1, 1, {Check::kId}, false},
    {"press", 1, 1, {Check::kId}, false},
    {"cancel", 0, 0, {}, false},
    {"ok", 0, 0, {}, false},
    {"skip log", 1, 1, {Check::kNumber}, false},
    {"expect exit", 1, 1, {Check::kNumber}, false},
    {"expect box", 2, 2, {}, false},
    {"expect no-box", 0, 0, {}, false},
    {"expect closed", 0, 0, {}, false},
    {"expect open", 0, 0, {}, false},
    {"expect field", 2, 2, {Check::kId}, false},
    {"expect items", 1, kMany, {Check::kId}, false},
    {"expect item-contains", 2, 2, {Check::kId}, false},
    {"expect log", 1, 1, {}, false},
    {"expect log-contains", 1, 1, {}, false},
    {"expect log-find", 1, 1, {}, false},
    {"expect log-end", 0, 0, {}, false},
    {"expect journal", 1, 1, {}, false},
    {"expect journal-contains", 1, 1, {}, false},
    {"expect journal-end", 0, 0, {}, false},
    {"expect journal-count", 2, 2, {Check::kAny, Check::kNumber}, false},
    {"expect file", 2, 4, {}, false},
    {"expect no-file", 1, 1, {}, false},
    {"expect file-log", 1, 1, {}, false},
    {"expect window", 3, 3, {}, false},
    {"expect menu", 1, kMany, {}, false},
    {"expect device-text", 2, 2, {}, false},
    {"ctl", 1, kMany, {}, false},
    {"expect ctl-output", 1, 1, {}, false},
    {"expect ctl-log", 0, 0, {}, false},
    {"pipe", 1, 3, {}, false},
    {"expect reply", 1, 1, {}, false},
};

// Beside the tool's own names (res/id_names.h) and the device bench's
// (simulator/bench_ids.h): the dialog manager's.
const IdName kMoreControlIds[] = {
    {"IDOK", 1},
    {"IDCANCEL", 2},
};


constexpr const char* kTargets[] = {"main", "log", "bench", "dialog", "desktop"};
constexpr const char* kWindowFields[] = {"class", "text", "style", "x", "y", "width", "extent"};

bool IsTarget(std::string_view text) {
  for (const char* target : kTargets) {
    if (text == target) return true;
  }
  return false;
}

bool IsWindowField(std::string_view text) {
  for (const char* field : kWindowFields) {
    if (text == field) return true;
  }
  return false;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

template <typename Row, std::size_t N>
bool Lookup(const Row (&table)[N], std::string_view name, bool ignoreCase, int* value) {
  for (const Row& row : table) {
    const std::size_t length = std::strlen(row.name);
    if (length != name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < length && same; ++i) {
      char a = row.name[i];
      char b = name[i];
      if (ignoreCase) {
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
      }
      same = a == b;
    }
    if (same) {
      *value = row.id;
      return true;
    }
  }
  return false;
}

const StepRule* FindRule(const std::string& key) {
  for (const StepRule& rule : kRules) {
    if (key == rule.key) return &rule;
  }
  return nullptr;
}

bool CheckWord(Check check, const Word& word, std::string* error) {
  std::int64_t number = 0;
  int value = 0;
  switch (check) {
    case Check::kAny:
      return true;
    case Check::kNumber:
      if (!word.quoted && ParseNumber(word.text, &number)) return true;
      *error = "not a number: " + ShowText(word.text);
      return false;
    case Check::kId:
      if (!word.quoted && ParseControlId(word.text, &value)) return true;
      *error = "not a control id: " + ShowText(word.text);
      return false;
    case Check::kMenu:
      if (!word.quoted && ParseMenuCommand(word.text, &value)) return true;
      *error = "not a menu command: " + ShowText(word.text);
      return false;
  }
  return false;
}

bool IsWord(const Word& word, const char* text) { return !word.quoted && word.text == text; }

// The start step: "missing" takes the names after it; "no-library" stands
// alone; "library" takes one file.
bool CheckStart(const std::vector<Word>& args, std::string* error) {
  bool missing = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (IsWord(args[i], "missing")) {
      missing = true;
    } else if (IsWord(args[i], "no-library")) {
      missing = false;
    } else if (IsWord(args[i], "library") && i + 1 < args.size()) {
      missing = false;
      ++i;
    } else if (!missing) {
      *error = "start takes \"missing NAME...\", \"no-library\" and \"library FILE\", not " + ShowText(args[i].text);
      return false;
    }
  }
  return true;
}

// Checks what a step's words mean beyond their number and form.
bool CheckMeaning(const Step& step, std::string* error) {
  const std::vector<Word>& a = step.args;
  if (step.key == "start") return CheckStart(a, error);
  if ((step.key == "file" || step.key == "expect file") && a.size() != 2) {
    std::int64_t times = 0;
    if (a.size() == 4 && IsWord(a[2], "times") && !a[3].quoted && ParseNumber(a[3].text, &times) && times >= 0 &&
        static_cast<std::uint64_t>(times) * a[1].text.size() <= kMaxFileBytes)
      return true;
    *error = step.key + " NAME TEXT takes \"times N\" after the text (N from 0, at most " +
             std::to_string(kMaxFileBytes >> 20) + " MiB in all)";
    return false;
  }
  if (step.key == "pipe" && !(a.size() == 1 && (IsWord(a[0], "idle") || IsWord(a[0], "close"))) &&
      !(a[0].quoted && (a.size() == 1 || (a.size() == 3 && IsWord(a[1], "times") && CheckWord(Check::kNumber, a[2], error))))) {
    *error = "pipe takes a quoted line (and \"times N\"), idle or close";
    return false;
  }
  if (step.key == "ctl" && a.size() >= 2 && IsWord(a[a.size() - 2], "exits") &&
      !CheckWord(Check::kNumber, a.back(), error)) {
    return false;
  }
  if (step.key == "close" && !a.empty() && !IsWord(a[0], "log")) {
    *error = "close takes nothing or \"log\"";
    return false;
  }
  if (step.key == "repeat") {
    std::int64_t times = 0;
    ParseNumber(a[0].text, &times);
    if (times < 1) {
      *error = "repeat needs a count of 1 or more";
      return false;
    }
  }
  if ((step.key == "place" && (!IsTarget(a[0].text) || a[0].text == "desktop")) ||
      (step.key == "scroll" && a[0].text != "log")) {
    *error = step.key == "place" ? "place takes a window (main, log, bench, dialog) and X Y WIDTH HEIGHT"
                                 : "scroll takes log and the index of the line to show at the top";
    return false;
  }
  if (step.key == "place" && (!CheckWord(Check::kNumber, a[3], error) || !CheckWord(Check::kNumber, a[4], error))) {
    return false;
  }
  if (step.key == "screenshot" && a.size() == 2 && !IsTarget(a[1].text)) {
    *error = "screenshot NAME takes main, log, bench, dialog or desktop after the name";
    return false;
  }
  if (step.key == "expect window" && (!IsTarget(a[0].text) || !IsWindowField(a[1].text))) {
    *error = "expect window takes a window (main, log, bench, dialog) and one of class, text, style, x, y, width, extent";
    return false;
  }
  return true;
}

// A bench step is a request line of the simulator's control pipe (an
// action: the listing requests are read by their own steps).
bool CheckBench(const Step& step, std::string* error) {
  std::int64_t expected = 0;
  sim::Request request;
  std::string why;
  if (!sim::ParseRequest(ControlLine(step, &expected), &request, &why)) {
    *error = "bench: " + why;
    return false;
  }
  if (request.verb == sim::Verb::kState || request.verb == sim::Verb::kLog || request.verb == sim::Verb::kJournal ||
      request.verb == sim::Verb::kText) {
    *error = step.key + " is read with ctl or expect device-text, not as a bench step";
    return false;
  }
  return true;
}

bool CheckStep(const Step& step, std::string* error) {
  if (step.key.rfind("bench ", 0) == 0) return CheckBench(step, error);
  const StepRule* rule = FindRule(step.key);
  if (rule == nullptr) {
    *error = "unknown step " + ShowText(step.key);
    return false;
  }
  std::size_t count = step.args.size();
  if (rule->returns && count >= 2 && !step.args[count - 2].quoted && step.args[count - 2].text == "returns") {
    if (!CheckWord(Check::kNumber, step.args[count - 1], error)) return false;
    count -= 2;
  }
  if (static_cast<int>(count) < rule->minArgs || (rule->maxArgs != kMany && static_cast<int>(count) > rule->maxArgs)) {
    char text[160];
    if (rule->maxArgs == kMany) {
      std::snprintf(text, sizeof text, "%s takes at least %d word(s), not %zu", rule->key, rule->minArgs, count);
    } else if (rule->minArgs == rule->maxArgs) {
      std::snprintf(text, sizeof text, "%s takes %d word(s), not %zu", rule->key, rule->minArgs, count);
    } else {
      std::snprintf(text, sizeof text, "%s takes %d to %d words, not %zu", rule->key, rule->minArgs, rule->maxArgs,
                    count);
    }
    *error = text;
    return false;
  }
  for (std::size_t i = 0; i < count && i < 3; ++i) {
    if (!CheckWord(rule->checks[i], step.args[i], error)) return false;
  }
  return CheckMeaning(step, error);
}

}  // namespace

bool SplitWords(std::string_view line, std::vector<Word>* words, std::string* error) {
  words->clear();
  std::size_t i = 0;
  while (i < line.size()) {
    if (IsBlank(line[i])) {
      ++i;
      continue;
    }
    if (line[i] == '#') break;  // comment to the end of the line
    Word word;
    if (line[i] != '"') {
      while (i < line.size() && !IsBlank(line[i])) word.text += line[i++];
      words->push_back(std::move(word));
      continue;
    }
    word.quoted = true;
    if (!sim::ReadQuoted(line, &i, &word.text, error)) return false;
    words->push_back(std::move(word));
  }
  return true;
}

bool ParseScenario(std::string_view text, Scenario* scenario, std::vector<std::string>* errors) {
  scenario->steps.clear();
  errors->clear();
  std::vector<std::size_t> open;  // repeat steps waiting for their end
  int lineNumber = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    std::vector<Word> words;
    std::string error;
    if (!SplitWords(line, &words, &error)) {
      errors->push_back("line " + std::to_string(lineNumber) + ": " + error);
      continue;
    }
    if (words.empty()) continue;
    Step step;
    step.line = lineNumber;
    step.source = std::string(line);
    std::size_t first = 1;
    step.key = words[0].text;
    if (words[0].quoted) {
      errors->push_back("line " + std::to_string(lineNumber) + ": a step starts with its name, not a text");
      continue;
    }
    for (const char* verb : kTwoWordVerbs) {
      if (step.key == verb && words.size() > 1 && !words[1].quoted) {
        step.key += " " + words[1].text;
        first = 2;
      }
    }
    step.args.assign(words.begin() + static_cast<std::ptrdiff_t>(first), words.end());
    if (!CheckStep(step, &error)) {
      errors->push_back("line " + std::to_string(lineNumber) + ": " + error);
      continue;
    }
    if (step.key == "repeat") {
      open.push_back(scenario->steps.size());
    } else if (step.key == "end") {
      if (open.empty()) {
        errors->push_back("line " + std::to_string(lineNumber) + ": end without repeat");
        continue;
      }
      step.partner = open.back();
      scenario->steps[open.back()].partner = scenario->steps.size();
      open.pop_back();
    }
    scenario->steps.push_back(std::move(step));
  }
  for (std::size_t index : open) {
    errors->push_back("line " + std::to_string(scenario->steps[index].line) + ": repeat without end");
  }
  return errors->empty();
}

bool ParseNumber(std::string_view text, std::int64_t* value) {
  bool negative = false;
  if (!text.empty() && text.front() == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return false;
  std::int64_t number = 0;
  for (char c : text) {
    int digit = HexDigit(c);
    if (digit < 0 || digit >= base) return false;
    number = number * base + digit;
    if (number > 0xFFFFFFFFLL) return false;
  }
  if (negative) {
    if (number > 0x80000000LL) return false;
    number = -number;
  }
  *value = number;
  return true;
}

bool ParseControlId(std::string_view text, int* id) {
  std::int64_t number = 0;
  if (ParseNumber(text, &number)) {
    if (number < 0 || number > 0xFFFF) return false;
    *id = static_cast<int>(number);
    return true;
  }
  return Lookup(kDialogControlNames, text, false, id) || Lookup(kMoreControlIds, text, false, id) ||
         Lookup(kBenchControlNames, text, false, id);
}

bool ParseMenuCommand(std::string_view text, int* id) {
  std::int64_t number = 0;
  if (ParseNumber(text, &number)) {
    if (number < 0 || number > 0xFFFF) return false;
    *id = static_cast<int>(number);
    return true;
  }
  return Lookup(kMenuCommandNames, text, true, id);
}

std::string ControlLine(const Step& step, std::int64_t* expected) {
  std::size_t count = step.args.size();
  *expected = 0;
  if (count >= 2 && IsWord(step.args[count - 2], "returns") && ParseNumber(step.args[count - 1].text, expected)) {
    count -= 2;
  }
  std::string line = step.key.substr(step.key.find(' ') + 1);
  for (std::size_t i = 0; i < count; ++i) (line += ' ') += sim::QuoteWord(step.args[i].text);
  return line;
}

std::string ShowText(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02X", byte);
          out += hex;
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

std::string Substitute(std::string_view text, std::uint32_t window) {
  char shortForm[16];
  char longForm[16];
  std::snprintf(shortForm, sizeof shortForm, "%lX", static_cast<unsigned long>(window));
  std::snprintf(longForm, sizeof longForm, "%08lX", static_cast<unsigned long>(window));
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text.compare(i, 8, "${hwnd8}") == 0) {
      out += longForm;
      i += 8;
    } else if (text.compare(i, 7, "${hwnd}") == 0) {
      out += shortForm;
      i += 7;
    } else {
      out += text[i++];
    }
  }
  return out;
}

}  // namespace runner
