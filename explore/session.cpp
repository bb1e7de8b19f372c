#include "explore/session.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "resources/resource_files.h"
#include "scenario/scenario.h"

namespace explore {
namespace {

using Lines = std::vector<std::string>;

std::string Line(std::string_view key, std::initializer_list<scn::Word> words = {}) {
  return scn::WriteStep(key, std::vector<scn::Word>(words));
}
scn::Word Text(std::string text) { return scn::PlainWord(std::move(text)); }
scn::Word Bare(std::string text) { return scn::BareWord(std::move(text)); }

// A value of a domain, now and then (percent of the time) a plain valid
// number of `range` instead.
std::string Draw(Random& random, const std::vector<std::string>& domain) { return random.Pick(domain); }
std::string DrawNumber(Random& random, const std::vector<std::string>& domain, Range range, int plain) {
  if (random.Chance(plain)) return std::to_string(random.Between(range.least, range.most));
  return Draw(random, domain);
}

// The steps of one command dialog, kept apart by how they reach it.
struct DialogSteps {
  Lines sent;    // set, select, radio: done when the step runs
  Lines posted;  // select-posted, click: queued to the dialog in order

  void Set(const char* id, std::string text) { sent.push_back(Line("set", {Bare(id), Text(std::move(text))})); }
  void Select(const char* id, std::string item) { sent.push_back(Line("select", {Bare(id), Text(std::move(item))})); }
  void SelectPosted(const char* id, std::string item) {
    posted.push_back(Line("select-posted", {Bare(id), Text(std::move(item))}));
  }
  void Click(const char* id) { posted.push_back(Line("click", {Bare(id)})); }
};

std::string ArgumentValue(Random& random, const std::string& type) {
  if (type.rfind("Dec", 0) == 0) return DrawNumber(random, NumberValues(kDecimalValueRange), {0, 9999}, 40);
  if (type.rfind("String", 0) == 0) return Draw(random, TextValues());
  if (!random.Chance(40)) return Draw(random, HexValues());
  char hex[16];
  std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(random.Between(0, 0xFFFF)));
  return hex;
}

// The argument controls of the Initialize, Open and Ioctl dialogs: a
// resource, its type and value, Add Resource some times (each press adds a
// row and writes the count into N Arguments), or else N Arguments typed.
// `list` is the file the Resource list holds at this point.
void ArgumentSteps(Random& random, const Vocabulary& vocabulary, const char* list, Range capacity,
                   DialogSteps* steps) {
  if (random.Chance(60)) {
    const std::vector<std::string>& entries = vocabulary.List(list);
    if (!entries.empty() && random.Chance(50))
      steps->Select("IDC_RESOURCE", random.Pick(entries));
    else
      steps->Set("IDC_RESOURCE", Draw(random, ResourceNames(vocabulary)));
  }
  std::string type = TypeLabels().front();  // the type each dialog starts with
  if (random.Chance(60)) steps->Select("IDC_TYPE", type = random.Pick(TypeLabels()));
  if (random.Chance(70)) steps->Set("IDC_VALUE", random.Chance(85) ? ArgumentValue(random, type) : Draw(random, TextValues()));

  std::int64_t adds = 0;
  if (random.Chance(50)) adds = random.Chance(92) ? random.Between(1, 3) : random.Between(capacity.most - 1, capacity.most + 2);
  if (adds == 0 && random.Chance(40))
    steps->Set("IDC_N_ARGUMENTS", DrawNumber(random, NumberValues(capacity), capacity, 30));
  for (std::int64_t i = 0; i < adds; ++i) steps->Click("IDC_ADD_RESOURCE");
}

// A list entry that names the resource list of the arguments (the Open
// dialog's class, the Ioctl dialog's request): chosen now and then, the
// argument rows from its list (else from `list`), and now and then a choice
// told by a post, which goes with the clicks, before them.
struct Choice {
  const char* field;
  const std::vector<std::string>& entries;
  int percent;                          // how often one is chosen
  const char* (*listOf)(const char*);  // its resource list, or null
  int postedPercent;
};

void ChoiceAndArguments(Random& random, const Vocabulary& vocabulary, const Choice& choice, const char* list,
                        Range range, DialogSteps* steps) {
  if (!choice.entries.empty() && random.Chance(choice.percent)) {
    const std::string& chosen = random.Pick(choice.entries);
    steps->Select(choice.field, chosen);
    if (const char* file = choice.listOf(chosen.c_str()); file != nullptr) list = file;
  }
  ArgumentSteps(random, vocabulary, list, range, steps);
  if (!choice.entries.empty() && random.Chance(choice.postedPercent))
    steps->posted.insert(steps->posted.begin(),
                         Line("select-posted", {Bare(choice.field), Text(random.Pick(choice.entries))}));
}

void InitializeSteps(Random& random, const Vocabulary& vocabulary, DialogSteps* steps) {
  if (random.Chance(40)) steps->Set("IDC_APPLICATION_NAME", Draw(random, TextValues()));
  if (random.Chance(30)) steps->Set("IDC_RESOURCE_FILE", random.Chance(50) ? Draw(random, FileNames()) : Draw(random, TextValues()));
  ArgumentSteps(random, vocabulary, "PSYSTEM.DAT", kInitializeArgumentRange, steps);
}

void OpenSteps(Random& random, const Vocabulary& vocabulary, DialogSteps* steps) {
  if (random.Chance(30)) steps->Set("IDC_DEVICE_NAME", Draw(random, TextValues()));
  const std::vector<std::string> classes = ClassNames(vocabulary);
  ChoiceAndArguments(random, vocabulary, {"IDC_DEVICE_CLASS", classes, 80, ClassResourceFile, 8}, "PSYSTEM.DAT",
                     kOpenArgumentRange, steps);
}

void HandleStep(Random& random, DialogSteps* steps, int percent) {
  if (random.Chance(percent))
    steps->Set("IDC_HANDLE", random.Chance(60) ? std::to_string(random.Between(0, 4)) : Draw(random, HandleValues()));
}

void CloseSteps(Random& random, const Vocabulary&, DialogSteps* steps) { HandleStep(random, steps, 90); }

void IoctlSteps(Random& random, const Vocabulary& vocabulary, DialogSteps* steps) {
  HandleStep(random, steps, 90);
  const std::vector<std::string> requests = RequestNames(vocabulary);
  ChoiceAndArguments(random, vocabulary, {"IDC_REQUEST", requests, 85, IoctlResourceFile, 5}, "PALARM.DAT",
                     kIoctlArgumentRange, steps);
}

// The file names a read may write: none of the resource lists, which later
// dialogs read (a list written over would no longer hold what a select names).
std::vector<std::string> OutputFileNames() {
  std::vector<std::string> names = FileNames();
  std::erase_if(names, [](const std::string& name) {
    return std::find(std::begin(kResourceListFiles), std::end(kResourceListFiles), name) != std::end(kResourceListFiles);
  });
  return names;
}

void ReadSteps(Random& random, const Vocabulary&, DialogSteps* steps) {
  HandleStep(random, steps, 90);
  if (random.Chance(75)) steps->Set("IDC_BUFFER_SIZE", DrawNumber(random, NumberValues(kBufferSizeRange), {0, 300}, 55));
  if (random.Chance(20)) steps->Set("IDC_OUTPUT_FILE", Draw(random, OutputFileNames()));
}

// The data box: one text, or lines joined by CR LF.
std::string DataBoxText(Random& random) {
  static const std::vector<std::string> kLines = {"HELLO", "\\x1b|N", "line two", "\\r\\n", "%d%s", "",
                                                  std::string(199, 'L'), std::string(200, 'M')};
  if (random.Chance(60)) return Draw(random, TextValues());
  std::string text = random.Pick(kLines);
  for (std::int64_t i = random.Between(1, 4); i > 0; --i) text += "\r\n" + random.Pick(kLines);
  return text;
}

void WriteSteps(Random& random, const Vocabulary&, DialogSteps* steps) {
  HandleStep(random, steps, 90);
  if (random.Chance(30)) {
    steps->sent.push_back(Line("radio", {Bare("IDC_FILE_MODE")}));
    if (random.Chance(85)) steps->Set("IDC_INPUT_FILE", Draw(random, FileNames()));
  } else {
    if (random.Chance(20)) steps->sent.push_back(Line("radio", {Bare("IDC_TEXT_MODE")}));
    if (random.Chance(85)) steps->Set("IDC_DATA_BOX", DataBoxText(random));
  }
}

struct DialogKind {
  const char* command;
  const char* caption;
  int weight;
  void (*steps)(Random&, const Vocabulary&, DialogSteps*);
  int extraOk;  // percent: OK twice (the Ioctl dialog stays open after a call)
};

// Initialize and Open come often, so that later calls reach an initialized
// library and open devices.
const DialogKind kDialogs[] = {
    {"PosInitialize", "POS Initialization", 20, InitializeSteps, 0},
    {"PosOpen", "POS Open", 22, OpenSteps, 0},
    {"PosClose", "POS Close", 9, CloseSteps, 0},
    {"PosIoctl", "POS Ioctl", 17, IoctlSteps, 8},
    {"PosRead", "POS Read", 17, ReadSteps, 0},
    {"PosWrite", "POS Write", 15, WriteSteps, 0},
};

Lines DialogChunk(Random& random, const Vocabulary& vocabulary) {
  int total = 0;
  for (const DialogKind& kind : kDialogs) total += kind.weight;
  std::int64_t draw = random.Below(static_cast<std::uint64_t>(total));
  const DialogKind* kind = kDialogs;
  while (draw >= kind->weight) draw -= (kind++)->weight;

  DialogSteps steps;
  kind->steps(random, vocabulary, &steps);
  const int button = static_cast<int>(random.Below(100));
  if (button < 80) {
    steps.Click("OK");
    if (random.Chance(kind->extraOk)) steps.Click("OK");
  } else if (button < 95) {
    steps.Click("Cancel");
  }  // else none: dismiss cancels the dialog

  Lines lines = {Line("menu", {Bare(kind->command)}), Line("dialog", {scn::TextWord(kind->caption)})};
  lines.insert(lines.end(), steps.sent.begin(), steps.sent.end());
  lines.insert(lines.end(), steps.posted.begin(), steps.posted.end());
  lines.push_back(Line("dismiss"));
  return lines;
}

std::string CardTracks(Random& random) {
  static const std::vector<std::string> kTracks = {
      ";4111111111111111=2512?", "%B4111111111111111^DOE/JOHN^2512101?;4111111111111111=2512101?", "x",
      std::string(300, '7'), "\x01\x02\r\n", "%s%n", "\\x00"};
  return random.Pick(kTracks);
}

std::string Label(Random& random) {
  static const std::vector<std::string> kLabels = {"]E00123456789012", "0", "]A0ABC-123", std::string(500, '9'),
                                                   "\t\x7f", "%x%x"};
  return random.Pick(kLabels);
}

std::string Keys(Random& random) {
  static const std::vector<std::string> kKeys = {"1250\r", "\r", "abc", "12\r34\r", std::string(1000, '5'), "\x1b\x03",
                                                 "%%"};
  return random.Pick(kKeys);
}

std::string FaultValue(Random& random, const std::string& kind) {
  if (kind == "error") return random.Chance(30) ? "0" : random.Pick(ErrorCodes());
  if (kind == "overclaim") return random.Pick(std::vector<std::string>{"0", "1", "16", "4096", "65536", "2147483647", "-1"});
  // Past one byte the device writes into the heap beyond the tool's guard
  // byte: a crash no program can prevent, so only the byte the guard sees.
  if (kind == "overrun") return random.Pick(std::vector<std::string>{"0", "1", "-1"});
  if (kind == "offline") return random.Pick(std::vector<std::string>{"1", "0", "2", "-1"});
  return random.Pick(std::vector<std::string>{"-1", "0", "1", "5", "-2", "100000"});  // short
}

std::string BenchChunk(Random& random, const Vocabulary& vocabulary) {
  struct Verb {
    const char* name;
    int weight;
  };
  static const Verb kVerbs[] = {
      {"swipe", 8},      {"scan", 8},       {"keys", 8},          {"weight", 6},        {"close-drawer", 4},
      {"touch", 6},      {"paper-out", 5},  {"cover-open", 5},    {"printer-error", 4}, {"burst", 5},
      {"fault", 14},     {"clear-faults", 9},
  };
  int total = 0;
  for (const Verb& verb : kVerbs) total += verb.weight;
  std::int64_t draw = random.Below(static_cast<std::uint64_t>(total));
  const Verb* verb = kVerbs;
  while (draw >= verb->weight) draw -= (verb++)->weight;

  const std::string key = std::string("bench ") + verb->name;
  const std::string name = verb->name;
  if (name == "swipe") return random.Chance(25) ? Line(key) : Line(key, {Text(CardTracks(random))});
  if (name == "scan") return random.Chance(25) ? Line(key) : Line(key, {Text(Label(random))});
  if (name == "keys") return Line(key, {Text(Keys(random))});
  if (name == "weight")
    return Line(key, {Bare(DrawNumber(random, NumberWords(kWeightRange), kWeightRange, 50))});
  if (name == "touch")
    return Line(key, {Bare(DrawNumber(random, NumberWords(kTouchRange), kTouchRange, 50)),
                      Bare(DrawNumber(random, NumberWords(kTouchRange), kTouchRange, 50))});
  if (name == "paper-out" || name == "cover-open") return Line(key, {Bare(random.Chance(50) ? "on" : "off")});
  if (name == "burst")
    return Line(key, {Text(random.Pick(FaultTargets(vocabulary))),
                      Bare(DrawNumber(random, NumberWords(kBurstRange), {1, 5}, 80))});
  if (name == "fault") {
    static const std::vector<std::string> kKinds = {"error", "error", "overclaim", "overrun", "offline", "short"};
    const std::string& kind = random.Pick(kKinds);
    return Line(key, {Text(random.Pick(FaultTargets(vocabulary))), Bare(kind), Bare(FaultValue(random, kind))});
  }
  return Line(key);  // close-drawer, printer-error, clear-faults
}

// A list file with its entries as they stand, then something odd.
std::string OddListFile(Random& random, const Vocabulary& vocabulary) {
  const char* file = random.Pick(kResourceListFiles);
  const std::string end = random.Chance(70) ? "\r\n" : "\n";
  std::string text;
  for (const std::string& entry : vocabulary.List(file)) text += entry + end;
  switch (random.Below(3)) {
    case 0:  // a line longer than the reader's buffer
      text += "PosN" + std::string(static_cast<std::size_t>(random.Between(75, 300)), 'L') + end;
      break;
    case 1:  // no final newline
      if (text.size() >= end.size()) text.resize(text.size() - end.size());
      break;
    default:  // binary bytes
      text += std::string("\x01\x02\x7f\x80\xff\x00tail", 11);
      if (random.Chance(50)) text += end;
      break;
  }
  return Line("file", {Bare(file), scn::TextWord(text)});
}

// --- Simpler forms -----------------------------------------------------------

void TextForms(const std::string& text, std::vector<std::string>* forms) {
  for (const std::string& form : {std::string(), std::string("0"), std::string("1"), text.substr(0, text.size() / 2),
                                  text.substr(0, text.empty() ? 0 : text.size() - 1)})
    forms->push_back(form);
}

void NumberForms(std::int64_t value, std::vector<std::string>* forms) {
  for (std::int64_t form : {std::int64_t{0}, std::int64_t{1}, value / 10, value / 2, value > 0 ? value - 1 : value + 1})
    forms->push_back(std::to_string(form));
}

// The forms of word `index` of `words`, each written into the whole line.
void WordForms(const std::string& key, std::vector<scn::Word> words, std::size_t index, bool number,
               std::vector<std::string>* lines) {
  std::vector<std::string> forms;
  std::int64_t value = 0;
  if (number && !words[index].quoted && scn::ParseNumber(words[index].text, &value))
    NumberForms(value, &forms);
  else
    TextForms(words[index].text, &forms);
  for (const std::string& form : forms) {
    words[index] = number ? scn::BareWord(form) : scn::PlainWord(form);
    lines->push_back(scn::WriteStep(key, words));
  }
}

bool ReadsAsOneStep(const std::string& line) {
  scn::Scenario scenario;
  std::vector<std::string> errors;
  return scn::ParseScenario(line, &scenario, &errors) && scenario.steps.size() == 1;
}

}  // namespace

std::vector<std::string> NextChunk(Random& random, const Vocabulary& vocabulary) {
  const std::uint64_t kind = random.Below(100);
  if (kind < 3) return {OddListFile(random, vocabulary)};
  if (kind < 38) return {BenchChunk(random, vocabulary)};
  return DialogChunk(random, vocabulary);
}

Complexity ComplexityOf(const std::string& line) {
  std::vector<scn::Word> words;
  std::string error;
  std::size_t length = 0;
  if (scn::SplitWords(line, &words, &error)) {
    for (const scn::Word& word : words) length += word.text.size();
  } else {
    length = line.size();
  }
  return {length, line};
}

std::vector<std::string> Simpler(const std::string& line) {
  scn::Scenario scenario;
  std::vector<std::string> errors;
  if (!scn::ParseScenario(line, &scenario, &errors) || scenario.steps.size() != 1) return {};
  const scn::Step& step = scenario.steps[0];
  std::vector<std::string> candidates;
  switch (step.kind) {
    case scn::StepKind::kSet:
      WordForms(step.key, step.args, 1, false, &candidates);
      break;
    case scn::StepKind::kFile:
      WordForms(step.key, step.args, 1, false, &candidates);
      if (step.args.size() == 4) WordForms(step.key, step.args, 3, true, &candidates);
      break;
    case scn::StepKind::kBench: {
      std::vector<scn::Word> words = step.args;
      // An expected status ("returns N") stays as it is.
      std::size_t request = words.size();
      if (request >= 2 && !words[request - 2].quoted && words[request - 2].text == "returns") request -= 2;
      for (std::size_t i = 0; i < request; ++i) {
        std::int64_t value = 0;
        const bool number = !words[i].quoted && scn::ParseNumber(words[i].text, &value);
        WordForms(step.key, words, i, number, &candidates);
      }
      // A request that takes its words as optional: swipe and scan alone.
      if (request > 0) {
        words.erase(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(request));
        candidates.push_back(scn::WriteStep(step.key, words));
      }
      break;
    }
    default:
      break;
  }
  const Complexity original = ComplexityOf(line);
  std::vector<std::pair<Complexity, std::string>> kept;
  for (const std::string& candidate : candidates) {
    Complexity complexity = ComplexityOf(candidate);
    if (complexity < original && ReadsAsOneStep(candidate)) kept.emplace_back(std::move(complexity), candidate);
  }
  std::sort(kept.begin(), kept.end());
  kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
  std::vector<std::string> forms;
  for (auto& [complexity, candidate] : kept) forms.push_back(std::move(candidate));
  return forms;
}

}  // namespace explore
