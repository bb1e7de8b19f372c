// The scenario reader: lines to steps, each checked against its row of
// scenario/steps.h. See scenario.h.
#include <array>
#include <cstdio>
#include <unordered_map>

#include "scenario/scenario.h"
#include "simulator/control_line.h"

namespace scn {
namespace {

// Words after which the next word belongs to the key.
constexpr std::string_view kTwoWordVerbs[] = {"expect", "bench", "skip"};

enum class Check {
  Any,     // any word
  Number,  // ParseNumber
  Id,      // ParseControlId
  Menu,    // ParseMenuCommand
};

constexpr int Many = -1;

// Bound of a file made or expected with "times N".
constexpr std::uint64_t kMaxFileBytes = 64u << 20;

using MeaningCheck = bool (*)(const Step& step, std::string* error);

struct StepRule {
  StepKind kind;
  std::string_view key;
  int minArgs;
  int maxArgs;  // Many: no bound
  // Checks of the first words, in order; later words are Any.
  Check checks[3];
  bool returns;
  MeaningCheck meaning;
};

constexpr std::string_view kTargets[] = {"main", "log", "bench", "dialog", "desktop"};
constexpr std::string_view kWindowFields[] = {"class", "text", "style", "x", "y", "width", "extent"};

template <std::size_t N>
bool OneOf(const std::string_view (&choices)[N], std::string_view text) {
  for (std::string_view choice : choices) {
    if (text == choice) return true;
  }
  return false;
}

// Blanks between words (a table: the reader looks at every byte of a file).
constexpr std::array<bool, 256> kBlanks = [] {
  std::array<bool, 256> blanks{};
  blanks[' '] = blanks['\t'] = blanks['\r'] = true;
  return blanks;
}();
bool IsBlank(char c) { return kBlanks[static_cast<unsigned char>(c)]; }

bool CheckWord(Check check, const Word& word, std::string* error) {
  std::int64_t number = 0;
  int value = 0;
  switch (check) {
    case Check::Any:
      return true;
    case Check::Number:
      if (!word.quoted && ParseNumber(word.text, &number)) return true;
      *error = "not a number: " + ShowText(word.text);
      return false;
    case Check::Id:
      if (!word.quoted && ParseControlId(word.text, &value)) return true;
      *error = "not a control id: " + ShowText(word.text);
      return false;
    case Check::Menu:
      if (!word.quoted && ParseMenuCommand(word.text, &value)) return true;
      *error = "not a menu command: " + ShowText(word.text);
      return false;
  }
  return false;
}

bool IsWord(const Word& word, std::string_view text) { return !word.quoted && word.text == text; }

// --- What the words mean (the "meaning" column of the steps) ---------------

bool CheckNothing(const Step&, std::string*) { return true; }

// "missing" takes the names after it; "no-library" stands alone; "library"
// takes one file.
bool CheckStart(const Step& step, std::string* error) {
  const std::vector<Word>& args = step.args;
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

bool CheckFileTimes(const Step& step, std::string* error) {
  const std::vector<Word>& a = step.args;
  if (a.size() == 2) return true;
  std::int64_t times = 0;
  if (a.size() == 4 && IsWord(a[2], "times") && !a[3].quoted && ParseNumber(a[3].text, &times) && times >= 0 &&
      static_cast<std::uint64_t>(times) * a[1].text.size() <= kMaxFileBytes)
    return true;
  *error = step.key;
  *error += " NAME TEXT takes \"times N\" after the text (N from 0, at most ";
  *error += std::to_string(kMaxFileBytes >> 20);
  *error += " MiB in all)";
  return false;
}

bool CheckPipe(const Step& step, std::string* error) {
  const std::vector<Word>& a = step.args;
  if (a.size() == 1 && (IsWord(a[0], "idle") || IsWord(a[0], "close"))) return true;
  if (a[0].quoted && (a.size() == 1 || (a.size() == 3 && IsWord(a[1], "times") && CheckWord(Check::Number, a[2], error))))
    return true;
  *error = "pipe takes a quoted line (and \"times N\"), idle or close";
  return false;
}

bool CheckCtl(const Step& step, std::string* error) {
  const std::vector<Word>& a = step.args;
  return !(a.size() >= 2 && IsWord(a[a.size() - 2], "exits")) || CheckWord(Check::Number, a.back(), error);
}

bool CheckClose(const Step& step, std::string* error) {
  if (step.args.empty() || IsWord(step.args[0], "log") || IsWord(step.args[0], "dialog")) return true;
  *error = "close takes nothing, \"log\" or \"dialog\"";
  return false;
}

bool CheckRepeat(const Step& step, std::string* error) {
  std::int64_t times = 0;
  ParseNumber(step.args[0].text, &times);
  if (times >= 1) return true;
  *error = "repeat needs a count of 1 or more";
  return false;
}

bool CheckPlace(const Step& step, std::string* error) {
  const std::vector<Word>& a = step.args;
  if (!OneOf(kTargets, a[0].text) || a[0].text == "desktop") {
    *error = "place takes a window (main, log, bench, dialog) and X Y WIDTH HEIGHT";
    return false;
  }
  return CheckWord(Check::Number, a[3], error) && CheckWord(Check::Number, a[4], error);
}

bool CheckKey(const Step& step, std::string* error) {
  if (!step.args[1].quoted && KeyCode(step.args[1].text) >= 0) return true;
  *error = "key takes a control and Enter, Escape, Space, Tab or F4";
  return false;
}

bool CheckScroll(const Step& step, std::string* error) {
  if (step.args[0].text == "log") return true;
  *error = "scroll takes log and the index of the line to show at the top";
  return false;
}

bool CheckScreenshot(const Step& step, std::string* error) {
  if (step.args.size() != 2 || OneOf(kTargets, step.args[1].text)) return true;
  *error = "screenshot NAME takes main, log, bench, dialog or desktop after the name";
  return false;
}

bool CheckWindow(const Step& step, std::string* error) {
  if (OneOf(kTargets, step.args[0].text) && OneOf(kWindowFields, step.args[1].text)) return true;
  *error = "expect window takes a window (main, log, bench, dialog) and one of class, text, style, x, y, width, extent";
  return false;
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

constexpr StepRule kRules[] = {
#define REVEDIZ_SCENARIO_RULE(Name, key, least, most, first, second, third, returns, meaning, summary) \
  {StepKind::k##Name, key, least, most, {Check::first, Check::second, Check::third}, returns, &Check##meaning},
    REVEDIZ_SCENARIO_STEPS(REVEDIZ_SCENARIO_RULE)
#undef REVEDIZ_SCENARIO_RULE
};
static_assert(std::size(kRules) == kStepKinds);

constexpr bool RowsInOrder() {
  for (std::size_t i = 0; i < std::size(kRules); ++i) {
    if (static_cast<std::size_t>(kRules[i].kind) != i) return false;
  }
  return true;
}
static_assert(RowsInOrder());

// The row of a key: its own, or for "bench VERB" the row of the lone verb.
const StepRule* FindRule(std::string_view key) {
  static const std::unordered_map<std::string_view, const StepRule*> byKey = [] {
    std::unordered_map<std::string_view, const StepRule*> rows;
    for (const StepRule& rule : kRules) {
      if (!OneOf(kTwoWordVerbs, rule.key)) rows.emplace(rule.key, &rule);
    }
    return rows;
  }();
  const auto found = byKey.find(key);
  if (found != byKey.end()) return found->second;
  const StepRule& bench = kRules[static_cast<std::size_t>(StepKind::kBench)];
  const bool family = key.size() > bench.key.size() && key.starts_with(bench.key) && key[bench.key.size()] == ' ';
  return family ? &bench : nullptr;
}

std::string CountError(const StepRule& rule, std::size_t count) {
  char text[160];
  const int key = static_cast<int>(rule.key.size());
  if (rule.maxArgs == Many) {
    std::snprintf(text, sizeof text, "%.*s takes at least %d word(s), not %zu", key, rule.key.data(), rule.minArgs,
                  count);
  } else if (rule.minArgs == rule.maxArgs) {
    std::snprintf(text, sizeof text, "%.*s takes %d word(s), not %zu", key, rule.key.data(), rule.minArgs, count);
  } else {
    std::snprintf(text, sizeof text, "%.*s takes %d to %d words, not %zu", key, rule.key.data(), rule.minArgs,
                  rule.maxArgs, count);
  }
  return text;
}

bool CheckStep(Step* step, std::string* error) {
  const StepRule* rule = FindRule(step->key);
  if (rule == nullptr) {
    *error = "unknown step " + ShowText(step->key);
    return false;
  }
  step->kind = rule->kind;
  std::size_t count = step->args.size();
  std::int64_t status = 0;
  if (rule->returns && count >= 2 && IsWord(step->args[count - 2], "returns") &&
      ParseNumber(step->args[count - 1].text, &status)) {
    count -= 2;
  }
  if (static_cast<int>(count) < rule->minArgs || (rule->maxArgs != Many && static_cast<int>(count) > rule->maxArgs)) {
    *error = CountError(*rule, count);
    return false;
  }
  for (std::size_t i = 0; i < count && i < 3; ++i) {
    if (!CheckWord(rule->checks[i], step->args[i], error)) return false;
  }
  return rule->meaning(*step, error);
}

// Each repeat's partner is its end, and the end's its repeat.
void Pair(std::vector<Step>* steps) {
  std::vector<std::size_t> open;
  for (std::size_t i = 0; i < steps->size(); ++i) {
    Step& step = (*steps)[i];
    if (step.kind == StepKind::kRepeat) open.push_back(i);
    if (step.kind != StepKind::kEnd) continue;
    step.partner = open.back();
    (*steps)[open.back()].partner = i;
    open.pop_back();
  }
}

std::string LineError(int line, std::string_view error) {
  std::string out = "line ";
  out += std::to_string(line);
  out += ": ";
  out += error;
  return out;
}

}  // namespace

const char* Key(StepKind kind) { return kRules[static_cast<std::size_t>(kind)].key.data(); }

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
      const std::size_t start = i;
      while (i < line.size() && !IsBlank(line[i])) ++i;
      word.text.assign(line.substr(start, i - start));
      words->push_back(std::move(word));
      continue;
    }
    word.quoted = true;
    if (!sim::ReadQuoted(line, &i, &word.text, error)) return false;
    words->push_back(std::move(word));
  }
  return true;
}

namespace {

// Appends the steps an include step stands for, at its line; an error for each of its file's (and when the file
// cannot be read or includes another).
void Include(const Step& step, const IncludeReader& include, std::vector<Step>* steps,
             std::vector<std::string>* errors) {
  const std::string& name = step.args[0].text;
  std::string text;
  if (!include(name, &text)) return errors->push_back(LineError(step.line, "cannot read " + name));
  for (std::size_t i = 1; i < step.args.size(); ++i) {
    const std::string mark = "${" + std::to_string(i) + "}";
    for (std::size_t at = 0; (at = text.find(mark, at)) != std::string::npos; at += step.args[i].text.size())
      text.replace(at, mark.size(), step.args[i].text);
  }
  Scenario included;
  std::vector<std::string> inner;
  ParseScenario(text, &included, &inner);
  for (const std::string& error : inner) errors->push_back(LineError(step.line, name + " " + error));
  for (Step& each : included.steps) {
    if (each.kind == StepKind::kInclude) {
      errors->push_back(LineError(step.line, name + " line " + std::to_string(each.line) + ": includes another file"));
      continue;
    }
    each.line = step.line;
    steps->push_back(std::move(each));
  }
}

}  // namespace

bool ParseScenario(std::string_view text, Scenario* scenario, std::vector<std::string>* errors) {
  return ParseScenario(text, scenario, errors, nullptr);
}

bool ParseScenario(std::string_view text, Scenario* scenario, std::vector<std::string>* errors,
                   const IncludeReader& include) {
  scenario->steps.clear();
  errors->clear();
  std::vector<std::size_t> open;  // repeat steps waiting for their end
  std::vector<Word> words;
  std::string error;
  int lineNumber = 0;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    if (!SplitWords(line, &words, &error)) {
      errors->push_back(LineError(lineNumber, error));
      continue;
    }
    if (words.empty()) continue;
    if (words[0].quoted) {
      errors->push_back(LineError(lineNumber, "a step starts with its name, not a text"));
      continue;
    }
    Step step;
    step.line = lineNumber;
    step.source = std::string(line);
    step.key = std::move(words[0].text);
    std::size_t first = 1;
    if (OneOf(kTwoWordVerbs, step.key) && words.size() > 1 && !words[1].quoted) {
      (step.key += ' ') += words[1].text;
      first = 2;
    }
    step.args.assign(std::make_move_iterator(words.begin() + static_cast<std::ptrdiff_t>(first)),
                     std::make_move_iterator(words.end()));
    if (!CheckStep(&step, &error)) {
      errors->push_back(LineError(lineNumber, error));
      continue;
    }
    if (step.kind == StepKind::kInclude && include) {
      Include(step, include, &scenario->steps, errors);
      continue;
    }
    if (step.kind == StepKind::kRepeat) open.push_back(scenario->steps.size());
    if (step.kind == StepKind::kEnd) {
      if (open.empty()) {
        errors->push_back(LineError(lineNumber, "end without repeat"));
        continue;
      }
      open.pop_back();
    }
    scenario->steps.push_back(std::move(step));
  }
  // A repeat left open is an error and not a step.
  for (std::size_t index : open) errors->push_back(LineError(scenario->steps[index].line, "repeat without end"));
  for (auto index = open.rbegin(); index != open.rend(); ++index) {
    scenario->steps.erase(scenario->steps.begin() + static_cast<std::ptrdiff_t>(*index));
  }
  // "fails" speaks of the step after it, which must be one that can fail; a "fails" without one is an error
  // and not a step.
  std::vector<Step>& steps = scenario->steps;
  for (std::size_t i = steps.size(); i-- > 0;) {
    if (steps[i].kind != StepKind::kFails) continue;
    const StepKind next = i + 1 < steps.size() ? steps[i + 1].kind : StepKind::kFails;
    if (next != StepKind::kFails && next != StepKind::kRepeat && next != StepKind::kEnd) continue;
    errors->push_back(LineError(steps[i].line, "fails must come right before the step that is to fail"));
    steps.erase(steps.begin() + static_cast<std::ptrdiff_t>(i));
  }
  Pair(&scenario->steps);
  return errors->empty();
}

}  // namespace scn
