#include "explore/domains.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "resources/resource_files.h"
#include "simulator/control_line.h"
#include "tables/code_tables.h"

namespace explore {
namespace {

std::string Decimal(std::int64_t value) { return std::to_string(value); }

std::string Hex(std::int64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

// A number a bench request reads: 32 bits, signed or unsigned.
bool FitsWord(std::int64_t value) { return value >= -0x80000000LL && value <= 0xFFFFFFFFLL; }

// Appends the items not in `out` yet, keeping the first of each.
void AddNew(std::vector<std::string>* out, std::initializer_list<std::string> items) {
  for (const std::string& item : items)
    if (std::find(out->begin(), out->end(), item) == out->end()) out->push_back(item);
}

}  // namespace

const std::vector<std::string>& Vocabulary::List(std::string_view file) const {
  static const std::vector<std::string> kNone;
  const auto found = lists.find(std::string(file));
  return found == lists.end() ? kNone : found->second;
}

std::vector<std::string> ListEntries(std::string_view text) { return sim::SplitLines(text); }

Vocabulary ReadVocabulary(const ListText& text) {
  Vocabulary vocabulary;
  for (const char* file : kResourceListFiles) {
    std::string content;
    vocabulary.lists[file] = text(file, &content) ? ListEntries(content) : std::vector<std::string>{};
  }
  return vocabulary;
}

bool LoadVocabulary(const std::string& folder, Vocabulary* vocabulary, std::string* error) {
  std::string missing;
  *vocabulary = ReadVocabulary([&](const std::string& file, std::string* text) {
    std::ifstream in(folder + "/" + file, std::ios::binary);
    if (!in) {
      if (missing.empty()) missing = file;
      return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    *text = content.str();
    return true;
  });
  if (missing.empty()) return true;
  *error = "no " + missing + " in " + folder;
  return false;
}

std::vector<std::string> NumberValues(Range range) {
  std::vector<std::string> values;
  // The negated end is made by appending: GCC 12 at -O2 sees a false overlap in "-" + a temporary.
  std::string negated = "-";
  negated += Decimal(range.most);
  AddNew(&values, {"", Decimal(range.least + (range.most - range.least) / 2), Decimal(range.least),
                   Decimal(range.most), Decimal(range.least - 1), Decimal(range.most + 1), "abc", "12a",
                   negated, Hex(range.most), " 1", "1 ", "007",
                   std::string(kFieldTextLimit + 7, '9'), "1\\n", "1\t2"});
  return values;
}

std::vector<std::string> NumberWords(Range range) {
  std::vector<std::string> words;
  for (std::int64_t value : {range.least, range.most, range.least - 1, range.most + 1,
                             range.least + (range.most - range.least) / 2, std::int64_t{-1}}) {
    if (FitsWord(value)) AddNew(&words, {Decimal(value)});
  }
  if (FitsWord(range.most)) AddNew(&words, {Hex(range.most)});
  return words;
}

std::vector<std::string> HexValues() {
  return {"", "0", "1A", "ffff", "7FFFFFFF", "FFFFFFFF", "100000000", "00000000FF", "0x10", "-1", "G1",
          std::string(kFieldTextLimit + 7, 'F'), "1 "};
}

std::vector<std::string> TextValues(std::size_t limit) {
  return {"",
          "REVEDIZ",
          std::string(limit, 'A'),
          std::string(limit + 1, 'B'),
          std::string(limit - 1, 'C') + "%",
          "   ",
          "  lead and trail  ",
          "say \"hi\"",
          "C:\\temp\\x.dat",
          "\\x1b\\n\\0\\q\\",
          "%s%s%n%d%x%%",
          "100%",
          std::string("\x01\x02\x1b\x7f\x80\xff", 6),
          "one\r\ntwo",
          std::string(4 * limit, 'D')};
}

std::vector<std::string> HandleValues() {
  return {"0",  "1",  "2", "3",  "4",   "-1", "2147483647", "2147483648", "99999999999999999999",
          "",   "a1", "1a", " 1", "0x1", "01"};
}

std::vector<std::string> FileNames() {
  return {"out.bin",
          "PMSR.DAT",
          "missing.bin",
          "",
          std::string(kFileNameLimit - 4, 'f') + ".bin",
          std::string(kFileNameLimit + 1, 'g'),
          "no-such-folder\\x.bin",
          "a?b*c.bin",
          "  spaced name.bin  ",
          "%s%n.bin"};
}

std::vector<std::string> ResourceNames(const Vocabulary& vocabulary) {
  std::vector<std::string> names;
  for (const auto& [file, entries] : vocabulary.lists) {
    if (file == "PRESOURC.DAT" || file == "PIOCTLRE.DAT") continue;
    for (const std::string& entry : entries) AddNew(&names, {entry});
  }
  AddNew(&names, {"PosNUnknown", "PosSUnknown", "PosNDIWidth", "PosN", "Pos", "", "%s%n",
                  "PosN" + std::string(kResourceNameLimit - 4, 'R'), "PosN" + std::string(kResourceNameLimit - 3, 'R')});
  return names;
}

std::vector<std::string> ClassNames(const Vocabulary& vocabulary) { return vocabulary.List("PRESOURC.DAT"); }

std::vector<std::string> RequestNames(const Vocabulary& vocabulary) { return vocabulary.List("PIOCTLRE.DAT"); }

std::vector<std::string> TypeLabels() { return {std::begin(ArgumentTypeNames), std::end(ArgumentTypeNames)}; }

std::vector<std::string> FaultTargets(const Vocabulary& vocabulary) {
  std::vector<std::string> targets = ClassNames(vocabulary);
  AddNew(&targets, {"Queue", "", "PosNothing"});
  return targets;
}

std::vector<std::string> ErrorCodes() {
  std::vector<std::string> codes = {"0", "-1"};
  std::set<std::int32_t> named;
  for (const CodeName* row = ErrorNames; row->Name != nullptr; ++row) named.insert(row->Code);
  for (std::int32_t code : named) AddNew(&codes, {Decimal(code)});
  std::int32_t unnamed = 12345;
  while (named.count(unnamed) != 0) ++unnamed;
  AddNew(&codes, {Decimal(unnamed)});
  return codes;
}

}  // namespace explore
