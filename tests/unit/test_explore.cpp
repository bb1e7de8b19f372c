// The explorer's window-free parts: the vocabulary of the resource lists, session chunks, simpler lines and the
// shrinker on synthetic predicates.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>

#include "explore/domains.h"
#include "explore/random.h"
#include "explore/session.h"
#include "explore/shrink.h"
#include "resources/resource_files.h"
#include "scenario/scenario.h"
#include "tables/code_tables.h"

namespace {

using explore::Random;
using Lines = std::vector<std::string>;

std::string DataDir() { const char* dir = std::getenv("REVEDIZ_DATA_DIR"); return dir != nullptr ? dir : "data"; }

const explore::Vocabulary& Vocabulary() {
  static const explore::Vocabulary vocabulary = [] {
    explore::Vocabulary read;
    std::string error;
    EXPECT_TRUE(explore::LoadVocabulary(DataDir(), &read, &error)) << error;
    return read;
  }();
  return vocabulary;
}

bool Contains(const Lines& items, const std::string& item) { return std::find(items.begin(), items.end(), item) != items.end(); }

scn::Step ParseOne(const std::string& line) {
  scn::Scenario scenario;
  std::vector<std::string> errors;
  EXPECT_TRUE(scn::ParseScenario(line, &scenario, &errors)) << line << ": " << (errors.empty() ? "" : errors[0]);
  EXPECT_EQ(scenario.steps.size(), 1u) << line;
  return scenario.steps.empty() ? scn::Step{} : scenario.steps[0];
}

// The controls of each dialog template of the resource script, by caption.
std::map<std::string, std::set<std::string>> DialogControls() {
  std::ifstream in(DataDir() + "/../res/revediz.rc");
  EXPECT_TRUE(in) << "res/revediz.rc";
  std::map<std::string, std::set<std::string>> controls;
  std::string line, caption;
  while (std::getline(in, line)) {
    if (line.rfind("CAPTION \"", 0) == 0) caption = line.substr(9, line.rfind('"') - 9);
    for (const auto& [word, name] : {std::pair<std::string, std::string>{"IDOK", "OK"}, {"IDCANCEL", "Cancel"}})
      if (line.find(", " + word + ",") != std::string::npos) controls[caption].insert(name);
    const std::size_t at = line.find("IDC_");
    if (!caption.empty() && at != std::string::npos && line.find("IDC_STATIC") == std::string::npos)
      controls[caption].insert(line.substr(at, line.find(',', at) - at));
  }
  return controls;
}

TEST(ExploreSession, ChunksReadActOnTheirOwnDialogAndReachEveryEnd) {
  const std::map<std::string, std::string> captions = {
      {"PosInitialize", "POS Initialization"}, {"PosOpen", "POS Open"}, {"PosClose", "POS Close"},
      {"PosIoctl", "POS Ioctl"}, {"PosRead", "POS Read"}, {"PosWrite", "POS Write"}};
  const std::map<std::string, std::set<std::string>> templates = DialogControls();
  std::map<std::string, int> menus;
  std::set<std::string> verbs;
  std::map<std::string, std::set<std::string>> values;  // by "CAPTION CONTROL" or "bench VERB WORD-INDEX"
  std::set<std::string> oddities;
  std::set<scn::StepKind> kinds;  // of the steps inside the dialogs
  int files = 0;
  const Lines types(std::begin(ArgumentTypeNames), std::end(ArgumentTypeNames));
  explore::Vocabulary none;  // a folder without the lists is refused, naming one
  std::string error;
  EXPECT_TRUE(!explore::LoadVocabulary("no-such-folder", &none, &error) && error.starts_with("no P") &&
              error.ends_with(".DAT in no-such-folder")) << error;
  Random random(1);
  for (int n = 0; n < 2000; ++n) {
    const Lines chunk = explore::NextChunk(random, Vocabulary());
    ASSERT_FALSE(chunk.empty());
    std::vector<scn::Step> steps;
    for (const std::string& line : chunk) steps.push_back(ParseOne(line));
    if (steps[0].kind == scn::StepKind::kFile) {
      ++files;
      const Lines entries = explore::ListEntries(steps[0].args[1].text);
      const Lines& original = Vocabulary().List(steps[0].args[0].text);
      ASSERT_GE(entries.size(), original.size()) << chunk[0];
      EXPECT_TRUE(std::equal(original.begin(), original.end(), entries.begin())) << chunk[0];
      const std::string& text = steps[0].args[1].text;
      // One oddity after the entries as they stand: binary bytes (a NUL among them), with or without a line end;
      // one line past the reader's 78 characters; or the last entry's line end left out.
      const std::size_t added = entries.size() - original.size();
      const bool end = text.ends_with('\n'), binary = text.find(std::string("\x01\x02\x7f\x80\xff\0", 6)) != std::string::npos,
                 longLine = added == 1 && end && entries.back().size() >= 79 && entries.back().starts_with("PosNLLL");
      oddities.insert(binary ? (end ? "binary bytes, line end" : "binary bytes")
                      : longLine ? "a long line" : added == 0 && !end ? "no final newline" : "none");
      continue;
    }
    if (steps[0].kind == scn::StepKind::kBench) {
      verbs.insert(steps[0].key.substr(6));
      const std::vector<scn::Word>& words = steps[0].args;
      for (std::size_t w = 0; w < words.size(); ++w) values[steps[0].key + " " + std::to_string(w)].insert(words[w].text);
      if (steps[0].key == "bench fault") values["bench fault " + words[1].text].insert(words[2].text);
      continue;
    }
    ASSERT_EQ(steps[0].kind, scn::StepKind::kMenu) << chunk[0];
    const std::string command = steps[0].args[0].text;
    ++menus[command];
    ASSERT_EQ(steps[1].kind, scn::StepKind::kDialog);
    const std::string& caption = steps[1].args[0].text;
    EXPECT_EQ(caption, captions.at(command));
    EXPECT_EQ(steps.back().kind, scn::StepKind::kDismiss);
    // The Resource list holds the file the dialog loads first, then that of the class or request chosen.
    std::string list = command == "PosIoctl" ? "PALARM.DAT" : "PSYSTEM.DAT";
    bool posted = false;
    int adds = 0;
    for (std::size_t i = 2; i + 1 < steps.size(); ++i) {
      const scn::Step& step = steps[i];
      ASSERT_FALSE(step.args.empty()) << chunk[i];
      EXPECT_EQ(templates.at(caption).count(step.args[0].text), 1u) << caption << ": " << chunk[i];
      const bool sent = step.kind == scn::StepKind::kSet || step.kind == scn::StepKind::kSelect ||
                        step.kind == scn::StepKind::kRadio;
      EXPECT_FALSE(sent && posted) << "a sent step after a posted one: " << chunk[i];
      posted |= !sent;
      kinds.insert(step.kind);
      adds += step.args[0].text == "IDC_ADD_RESOURCE";
      if (step.kind == scn::StepKind::kRadio) values[caption + " radio"].insert(step.args[0].text);
      for (const std::string& field : {caption + " " + step.args[0].text, step.args[0].text})
        if (step.kind == scn::StepKind::kSet) values[field].insert({step.args[1].text, "#" + std::to_string(step.args[1].text.size())});
      EXPECT_FALSE(step.args[0].text == "IDC_OUTPUT_FILE" && !Vocabulary().List(step.args[1].text).empty()) << chunk[i];
      if (step.kind != scn::StepKind::kSelect && step.kind != scn::StepKind::kSelectPosted) continue;
      const std::string& id = step.args[0].text;
      const std::string& item = step.args[1].text;
      const Lines& items = id == "IDC_TYPE"           ? types
                           : id == "IDC_DEVICE_CLASS" ? Vocabulary().List("PRESOURC.DAT")
                           : id == "IDC_REQUEST"      ? Vocabulary().List("PIOCTLRE.DAT")
                                                      : Vocabulary().List(list);
      EXPECT_TRUE(Contains(items, item)) << chunk[i] << " (list " << list << ")";
      const char* file = id == "IDC_DEVICE_CLASS" ? ClassResourceFile(item.c_str())
                         : id == "IDC_REQUEST"    ? IoctlResourceFile(item.c_str())
                                                  : nullptr;
      if (file != nullptr) list = file;
    }
    values[caption + " adds"].insert(std::to_string(adds));
  }
  int dialogs = 0;
  for (const auto& [command, count] : menus) dialogs += count;
  EXPECT_EQ(menus.size(), 6u);
  EXPECT_GT(menus["PosInitialize"] * 8, dialogs);  // each above an eighth of the dialogs
  EXPECT_GT(menus["PosOpen"] * 8, dialogs);
  EXPECT_EQ(verbs, (std::set<std::string>{  // every verb of the bench but the listings and record
"burst", "clear-faults", "close-drawer", "cover-open", "fault", "keys",
                                              "paper-out", "printer-error", "scan", "swipe", "touch", "weight"}));
  EXPECT_EQ(oddities, (std::set<std::string>{"a long line", "binary bytes", "binary bytes, line end", "no final newline"}));
  EXPECT_TRUE(files > 10 && files < 200) << files;  // rare, but there
  using enum scn::StepKind;
  EXPECT_EQ(kinds, (std::set<scn::StepKind>{kSet, kSelect, kSelectPosted, kRadio, kClick}));
  for (const std::string& text : values["POS Write IDC_DATA_BOX"]) {  // the data box's lines, by their sizes
    for (std::size_t from = 0, to = 0; to != std::string::npos; from = to + 2) {
      to = text.find("\r\n", from);
      values["POS Write IDC_DATA_BOX line"].insert("#" + std::to_string((to == std::string::npos ? text.size() : to) - from));
    }
  }
  EXPECT_TRUE(std::any_of(values["POS Write IDC_DATA_BOX"].begin(), values["POS Write IDC_DATA_BOX"].end(),
                          [](const std::string& text) { return text.find("\r\n", text.find("\r\n") + 2) != std::string::npos; }));
  // Each numeric field: its range's ends and one past each (the fault values as simulator/CONTROL.md gives them);
  // each text field ("#" and a size): its limit and one past it, a line of the data box those of its 200-byte buffer.
  const std::pair<std::string, std::set<std::string>> ends[] = {
      {"POS Read IDC_BUFFER_SIZE", {"0", "2147483645", "-1", "2147483646"}}, {"POS Open adds", {"0", "1", "19", "20"}},
      {"IDC_HANDLE", {"0", "2147483647", "-1", "2147483648"}}, {"POS Open IDC_N_ARGUMENTS", {"0", "19", "-1", "20"}},
      {"POS Initialization IDC_N_ARGUMENTS", {"0", "20", "-1", "21"}}, {"POS Initialization adds", {"0", "1", "20", "21"}},
      {"POS Ioctl IDC_N_ARGUMENTS", {"0", "20", "21"}}, {"IDC_VALUE", {"2147483647", "2147483648"}},
      {"POS Ioctl adds", {"0", "1", "20", "21"}}, {"bench weight 0", {"0", "15000", "-1", "15001"}},
      {"bench touch 1", {"0", "65535", "-1", "65536"}}, {"bench burst 1", {"1", "5", "10000", "0", "10001"}},
      {"bench fault offline", {"0", "1", "-1", "2"}}, {"bench fault short", {"-1", "0", "-2"}},
      {"bench fault overclaim", {"-1", "0", "1", "16", "2147483647"}}, {"bench fault 0", {"Queue", "", "PosNothing"}},
      {"POS Initialization IDC_APPLICATION_NAME", {"#253", "#254"}},
      {"POS Open IDC_DEVICE_NAME", {"#253", "#254"}}, {"POS Open IDC_VALUE", {"#253", "#254"}},
      {"POS Write IDC_INPUT_FILE", {"#99", "#100"}}, {"POS Read IDC_OUTPUT_FILE", {"#99", "#100"}},
      {"POS Write IDC_DATA_BOX line", {"#199", "#200"}}, {"POS Write radio", {"IDC_FILE_MODE", "IDC_TEXT_MODE"}},
      {"IDC_RESOURCE", {"PosNUnknown", "%s%n", "#0"}},  // names no list holds
  };
  for (const auto& [field, wanted] : ends) {
    for (const std::string& value : wanted) EXPECT_EQ(values[field].count(value), 1u) << field << " " << value;
  }
  for (const auto& [field, past] : {std::pair("POS Open IDC_N_ARGUMENTS", "21"), {"POS Initialization IDC_N_ARGUMENTS", "22"}})
    EXPECT_EQ(values[field].count(past), 0u) << field << ": the count's range ends one before";
  for (const char* words : {"bench swipe 0", "bench scan 0", "bench keys 0"}) EXPECT_FALSE(values[words].empty()) << words;
  // Past one byte an overrun writes beyond the guard byte; a Hex argument takes the hex domain's odd values too.
  EXPECT_EQ(values["bench fault overrun"], (std::set<std::string>{"-1", "0", "1"}));
  // A burst: one of its range's ends, one past each, its middle, -1 or its top in hex, else a short one (1 to 5).
  const std::set<std::string> bursts = {"-1", "0", "1", "2", "3", "4", "5", "5000", "10000", "10001", "0x2710"};
  for (const std::string& count : values["bench burst 1"]) EXPECT_EQ(bursts.count(count), 1u) << count;
  const std::set<std::string>& errors = values["bench fault error"];  // the library's own codes among them
  EXPECT_TRUE(std::any_of(errors.begin(), errors.end(), [](const std::string& v) { return v != "0" && NameOf(ErrorNames, std::stoi(v)); }));
  const Lines text = explore::TextValues(), decimal = explore::NumberValues(explore::kDecimalValueRange);
  for (const char* end : {"0", "1073741823", "2147483647", "-1", "2147483648"})  // 0 to INT32_MAX, its middle, one past each
    EXPECT_NE(std::find(decimal.begin(), decimal.end(), end), decimal.end()) << end;
  EXPECT_TRUE(std::any_of(values["IDC_VALUE"].begin(), values["IDC_VALUE"].end(), [&](const std::string& v) {
    return Contains(explore::HexValues(), v) && !Contains(text, v) && !Contains(decimal, v) &&
           (v.size() > 4 || v.find_first_not_of("0123456789ABCDEF") != std::string::npos);
  }));

  Random first(1), again(1), other(2);
  int same = 0;
  for (int n = 0; n < 50; ++n) same += explore::NextChunk(first, Vocabulary()) == explore::NextChunk(again, Vocabulary());
  for (int n = 0; n < 50; ++n) same += explore::NextChunk(first, Vocabulary()) == explore::NextChunk(other, Vocabulary());
  EXPECT_TRUE(same >= 50 && same < 80) << same;  // the same for a seed, mostly not for another
  EXPECT_EQ(std::tuple(first.Between(4, 4), first.Between(3, -3), first.Below(0)),
            std::tuple(std::int64_t{4}, std::int64_t{3}, std::uint64_t{0}));
}

// The total length of a line's word texts: what a simpler form has less of (or as much, and sorts first).
std::size_t WordLength(const std::string& line) {
  std::vector<scn::Word> words;
  std::string error;
  EXPECT_TRUE(scn::SplitWords(line, &words, &error)) << line;
  std::size_t length = 0;
  for (const scn::Word& word : words) length += word.text.size();
  return length;
}

TEST(ExploreSession, SimplerFormsAreSimplerReadAndComeSimplestFirst) {
  const struct { const char* line; const char* first; Lines among; } cases[] = {
      {"set IDC_VALUE hello", "set IDC_VALUE \"\"", {"set IDC_VALUE 0", "set IDC_VALUE he", "set IDC_VALUE hell"}},
      {"bench weight 15000", "bench weight 0", {"bench weight 1", "bench weight 1500", "bench weight 7500", "bench weight 14999"}},
      {"bench weight -8", "bench weight 0", {"bench weight -4", "bench weight -7"}},  // nearer 0
      {"bench fault PosMsr error 306 returns 306", "bench fault \"\" error 306 returns 306", {"bench fault PosMsr error 0 returns 306"}},
      {"bench keys abc", "bench keys 0", {"bench keys ab"}},  // keys takes no empty text
      {"bench burst \"returns\" 5", "bench burst \"\" 5", {"bench burst \"returns\" 1"}},  // a quoted "returns" is a word
      {"bench swipe \";4111\"", "bench swipe", {"bench swipe ;4", "bench swipe ;411"}},
      {"file PMSR.DAT \"abc\\r\\n\" times 3", "file PMSR.DAT \"\" times 3", {"file PMSR.DAT \"abc\\r\\n\" times 1"}},
      {"set IDC_VALUE \"\"", nullptr, {}},
      {"menu PosOpen", nullptr, {}},
      {"select IDC_TYPE \"Hex         \"", nullptr, {}},
      {"dismiss", nullptr, {}},
      {"bench weight 5\nbench weight 6", nullptr, {}},  // not one step
  };
  for (const auto& c : cases) {
    const Lines forms = explore::Simpler(c.line);
    ASSERT_EQ(forms.empty(), c.first == nullptr) << c.line;
    EXPECT_EQ(forms.empty() ? "" : forms[0], c.first ? c.first : "") << c.line;
    for (const std::string& form : c.among) EXPECT_TRUE(Contains(forms, form)) << c.line << " -> " << form;
    if (forms.empty()) continue;
    const std::size_t length = WordLength(c.line), returns = std::string_view(c.line).find(" returns ");
    std::size_t previous = 0;
    for (const std::string& form : forms) {
      ParseOne(form);
      EXPECT_NE(form, c.line);
      EXPECT_TRUE(returns == std::string::npos || form.ends_with(c.line + returns)) << form;  // the status stays
      EXPECT_TRUE(WordLength(form) < length || (WordLength(form) == length && form < c.line)) << form;
      EXPECT_GE(WordLength(form), previous) << c.line << " -> " << form;
      previous = WordLength(form);
    }
  }
}

// Fails when line `a` comes before line `b`, counting its calls.
struct Before {
  std::string a, b;
  int* calls;
  bool operator()(const Lines& lines) const {
    ++*calls;
    const auto at = std::find(lines.begin(), lines.end(), a);
    return at != lines.end() && std::find(at, lines.end(), b) != lines.end();
  }
};

explore::Chunks Filler(int count) {
  explore::Chunks chunks;
  for (int i = 0; i < count; ++i) chunks.push_back({"menu PosClose", "set IDC_HANDLE " + std::to_string(i), "dismiss"});
  return chunks;
}

TEST(ExploreShrink, SmallestFailingSessionWithinTheBudget) {
  explore::Chunks chunks = Filler(40);
  chunks[7].insert(chunks[7].begin() + 1, "A");
  chunks[30].push_back("B");
  chunks[3].push_back("B");  // a B before the A does not count
  int calls = 0, again = 0;
  // In their order: no chunk split before the chunks are down to the two the failure needs (8 lines), no line made
  // simpler before the lines are down to A and B (which have no simpler form).
  std::size_t split = 0;
  bool simplified = false;
  const auto watched = [&](const Lines& lines) {
    const auto count = [&](const char* head) { return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(head); }); };
    if (count("menu ") != count("set ") || count("set ") != count("dismiss")) split = std::max(split, lines.size());
    simplified |= count("set IDC_HANDLE \"\"") > 0;
    return Before{"A", "B", &calls}(lines);
  };
  explore::ShrinkResult result = explore::Shrink(chunks, watched, 10000);
  EXPECT_EQ(result.lines, (Lines{"A", "B"}));
  EXPECT_TRUE(split <= 8 && !simplified) << split;
  EXPECT_EQ(std::tuple(result.failed, result.tries), std::tuple(true, calls));
  EXPECT_LT(calls, 400);
  // Deterministic: the same input gives the same tries and lines.
  explore::ShrinkResult second = explore::Shrink(chunks, Before{"A", "B", &again}, 10000);
  EXPECT_EQ(std::tie(second.lines, second.tries), std::tie(result.lines, result.tries));

  // The failure shows on the seventh try: the last 1, 2, ... 32 of the 40 chunks lack the A, the whole has it.
  for (int budget : {0, 1, 6, 7, 30}) {
    calls = 0;
    result = explore::Shrink(chunks, Before{"A", "B", &calls}, budget);
    EXPECT_EQ(std::tuple(result.tries, result.failed), std::tuple(calls, budget >= 7));
    EXPECT_LE(calls, budget);
    EXPECT_TRUE((Before{"A", "B", &again}(result.lines))) << budget;  // what it gives still fails
  }

  // A line made simpler can let another go: the rounds go on while either changes something.
  const auto needs = [](const Lines& lines) {
    const auto has = [&](const std::string& line) { return Contains(lines, line); };
    return has("B") && ((has("A") && has("set IDC_HANDLE 12")) || has("set IDC_HANDLE 0"));
  };
  EXPECT_EQ(explore::Shrink({{"set IDC_HANDLE 12", "A", "B"}}, needs, 1000).lines, (Lines{"set IDC_HANDLE 0", "B"}));

  // A session that does not fail comes back as it is, after its last 1, 2 and 4 chunks and the whole were tried.
  calls = 0;
  result = explore::Shrink(Filler(5), Before{"A", "B", &calls}, 100);
  Lines whole;
  for (const Lines& chunk : Filler(5)) whole.insert(whole.end(), chunk.begin(), chunk.end());
  EXPECT_EQ(std::tuple(result.lines, result.failed, result.tries, calls), std::tuple(whole, false, 4, 4));
}

}  // namespace
