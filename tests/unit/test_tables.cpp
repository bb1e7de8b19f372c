// The code-name tables against the API's codes and names, and the lookups
// over them with the scratch area of fallback texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tables/code_tables.h"
#include "tables/lookup.h"
#include "tables/pos_codes.h"
#include "tests/support/recording_shell.h"
#include "tests/unit/api_names.h"

namespace {

// "NAME code" for each row before the terminator, which must be {0, null}.
std::vector<std::string> Stored(const CodeName* table) {
  std::vector<std::string> rows;
  for (; table->Name != nullptr; ++table) rows.push_back(std::string(table->Name) + " " + std::to_string(table->Code));
  EXPECT_EQ(table->Code, 0) << "terminator";
  return rows;
}

std::vector<std::string> Listed(const ApiRows& rows) {
  std::vector<std::string> out;
  for (const ApiRow& row : rows) out.push_back(row.name + " " + std::to_string(row.code));
  return out;
}

std::int32_t CodeOf(const ApiRows& rows, const char* name) {
  for (const ApiRow& row : rows)
    if (row.name == name) return row.code;
  ADD_FAILURE() << name << " names no row";
  return -1;
}

// A fallback text is placed at the start of the empty scratch area; a name
// never is.
void ExpectName(const char* name, const char* expected) {
  EXPECT_STREQ(name, expected);
  EXPECT_EQ(name == NameScratch, std::strchr(expected, '(') != nullptr) << expected;
  ResetNameScratch();
}

}  // namespace

TEST(CodeTables, EveryRowInStoredOrder) {
  EXPECT_EQ(Stored(ErrorNames), Listed(ApiErrors()));
  EXPECT_EQ(Stored(MessageNames), Listed(ApiMessages()));
  EXPECT_EQ(Stored(IoctlRequestNames), Listed(ApiRequests()));
  EXPECT_EQ(Stored(SlotNames), Listed(ApiSlots()));
  EXPECT_EQ(Stored(PortNames), Listed(ApiPorts()));
  EXPECT_EQ(Stored(DeviceTypeNames), Listed(ApiTypes()));
  EXPECT_EQ(Stored(DeviceClassNames), Listed(ApiClasses()));
}

// Keys are unique: the set of keys and each key's name count. Model names
// are free, but a scanner-scale model has one name under all three types.
TEST(CodeTables, SubtypeRowsByKey) {
  const std::vector<std::int32_t> kModels = {0x4A01, 0x4A02, 0x4A03, 0x4A04, 0x4A05, 0x4A06, 0x4B01, 0x4B02, 0x4B03,
                                             0x6A01, 0x6A02, 0x6E01, 0x6E02, 0x5C01, 0x5C02, 0x5C03, 0x5C0A, 0x5C0B};
  std::vector<std::int32_t> stored, expected = kModels;
  for (const std::string& row : Stored(DeviceSubtypeNames)) stored.push_back(std::stoi(row.substr(row.find(' '))));
  for (const ApiRow& row : ApiSubtypes()) expected.push_back(row.code);
  std::sort(stored.begin(), stored.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(stored, expected);
  auto nameOf = [](std::int32_t key) { return std::string(CodeToName(DeviceSubtypeNames, key)); };
  for (const ApiRow& row : ApiSubtypes()) EXPECT_EQ(nameOf(row.code), row.name) << std::hex << row.code;
  std::set<std::string> models;
  for (std::int32_t key : kModels) models.insert(nameOf(key));
  for (const std::string& name : models)
    EXPECT_EQ(name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_"), name.npos) << name;
  EXPECT_EQ(models.size(), kModels.size() - 4);
  for (std::int32_t key : {0x6A01, 0x6E01}) EXPECT_EQ(nameOf(key), nameOf(0x4A01));
  for (std::int32_t key : {0x6A02, 0x6E02}) EXPECT_EQ(nameOf(key), nameOf(0x4A04));
}

TEST(CodeTables, NamedConstantsCarryTheirRowsCodes) {
#define EXPECT_ROW_CODE(constant, code, name) EXPECT_EQ(pos::constant, CodeOf(rows, name)) << #constant;
  { const ApiRows& rows = ApiErrors(); REVEDIZ_POS_SYS_ERRORS(EXPECT_ROW_CODE) }
  { const ApiRows& rows = ApiMessages(); REVEDIZ_POS_MESSAGES(EXPECT_ROW_CODE) }
  { const ApiRows& rows = ApiRequests(); REVEDIZ_POS_REQUESTS(EXPECT_ROW_CODE) }
  { const ApiRows& rows = ApiSlots(); REVEDIZ_POS_SLOTS(EXPECT_ROW_CODE) }
  { const ApiRows& rows = ApiPorts(); REVEDIZ_POS_PORTS(EXPECT_ROW_CODE) }
  { const ApiRows& rows = ApiTypes(); REVEDIZ_POS_DEVICE_TYPES(EXPECT_ROW_CODE) }
  { const ApiRows& rows = ApiClasses(); REVEDIZ_POS_DEVICE_CLASSES(EXPECT_ROW_CODE) }
#undef EXPECT_ROW_CODE
}

TEST(CodeTables, TypeLabelsAreTwelveCharactersInFifteenByteSlots) {
  const char kSlots[] = "Hex         \0\0\0Dec         \0\0\0String      \0\0\0";
  ASSERT_EQ(sizeof ArgumentTypeNames, sizeof kSlots - 1);
  EXPECT_EQ(std::memcmp(ArgumentTypeNames, kSlots, sizeof kSlots - 1), 0);
}

TEST(Lookup, CodeToNameGivesTheFirstMatchingRowOrTheFallback) {
  ResetNameScratch();
  const CodeName kZeroInside[] = {{5, "FIVE"}, {0, "ZERO"}, {6, "SIX"}, {7, nullptr}};
  const char* const kZero = "0      (0x00000000)";
  const struct { const CodeName* table; std::int32_t code; const char* name; } kCases[] = {
      {ErrorNames, 4405, "POSERR_DSP_BAD_BITMAP"}, {ErrorNames, 6707, "POSERR_TOUCH_INVALID_SCREEN_SAVER_TIME"},
      {ErrorNames, 4401, "POSERR_DSP_INVALID_CURSOR"}, {IoctlRequestNames, 4401, "POS_DSP_CLEAR_SCREEN"},
      {DeviceTypeNames, 0x10, "CHECKOUT_KEYBOARD_A"}, {DeviceTypeNames, 0x40, "MSR_1_TRACK_A"},
      {DeviceTypeNames, 0x34, "PRINTER_3"}, {SlotNames, 0, "SLOT_0"}, {PortNames, 0, "PORT_0"},
      {PortNames, 0x11, "PORT_1"}, {PortNames, 1, "1      (0x00000001)"}, {SlotNames, 9, "9      (0x00000009)"},
      {ErrorNames, 0, kZero}, {MessageNames, 0, kZero}, {IoctlRequestNames, 0, kZero}, {DeviceTypeNames, 0, kZero},
      {DeviceClassNames, 0, kZero}, {DeviceSubtypeNames, 0, kZero}, {ErrorNames, 5701, "5701   (0x00001645)"},
      {ErrorNames, -1, "-1     (0xFFFFFFFF)"}, {ErrorNames, INT32_MIN, "-2147483648 (0x80000000)"},
      {ErrorNames, INT32_MAX, "2147483647 (0x7FFFFFFF)"}, {ErrorNames, 123456, "123456 (0x0001E240)"},
      {ErrorNames, 1234567, "1234567 (0x0012D687)"}, {kZeroInside, 0, "ZERO"}, {kZeroInside, 6, "SIX"},
      {kZeroInside, 7, "7      (0x00000007)"},
  };
  for (const auto& c : kCases) ExpectName(CodeToName(c.table, c.code), c.name);
  const struct { int type, subtype; const char* name; } kSubtypes[] = {
      {0x81, 3, "ANPOS_2"},    {0x24, 6, "2X20_VFD"}, {0x1D, 7, "KEYBOARD_VI"}, {0x1C, 6, "  6 (0x06)"},
      {0x82, 3, "  3 (0x03)"}, {0x00, 0xFF, "255 (0xFF)"}, {0x24, 0, "NONE"},  {0x99, 0, "NONE"}, {0xFF, 0, "NONE"},
  };
  for (const auto& c : kSubtypes) ExpectName(SubtypeToName(c.type, c.subtype), c.name);
}

// Misses are packed one after another, each text followed by its NUL and
// the run closed by one more; a text for which both NULs do not fit is kept
// elsewhere, and every text stays intact until the reset. With their NUL,
// codes of up to six characters take 20 bytes, 1000000 21, INT32_MIN 25.
TEST(Lookup, ScratchPacksMissesAndKeepsTheOnesThatDoNotFit) {
  auto run = [](std::vector<std::int32_t> codes, std::int32_t from, int n) {
    for (int i = 0; i < n; ++i) codes.push_back(from + i);
    return codes;
  };
  const struct { std::vector<std::int32_t> codes; std::size_t inside; } kCases[] = {
      {run({}, 1000, 15), 12},                                          // twelve common texts: 241 bytes
      {run({}, INT32_MIN, 11), 10},                                     // ten of the widest: 251 bytes
      {run(run(run({}, 1000, 8), INT32_MIN, 3), 2000, 2), 12},          // 235 used: the next ends at the last byte
      {run(run(run(run({}, 1000, 7), INT32_MIN, 3), 1000000, 1), 2000, 1), 11},  // 236: one byte short
  };
  for (const auto& c : kCases) {
    ResetNameScratch();
    std::vector<const char*> handed;
    std::vector<std::string> texts;
    std::size_t used = 0;
    for (std::int32_t code : c.codes) {
      char text[32];
      std::snprintf(text, sizeof text, "%-6d (0x%08X)", code, static_cast<unsigned>(code));
      texts.push_back(text);
      handed.push_back(CodeToName(ErrorNames, code));
      const bool inside = handed.back() >= NameScratch && handed.back() < NameScratch + kNameScratchSize;
      EXPECT_EQ(inside, handed.size() <= c.inside) << text;
      if (handed.size() <= c.inside) {
        EXPECT_EQ(handed.back() - NameScratch, static_cast<std::ptrdiff_t>(used));
        used += texts.back().size() + 1;
      }
    }
    EXPECT_EQ(NameScratch[used], '\0');
    for (std::size_t i = 0; i < handed.size(); ++i) EXPECT_EQ(handed[i], texts[i]);
  }
  ResetNameScratch();
  EXPECT_EQ(CodeToName(ErrorNames, 3), NameScratch);
}

TEST(Lookup, NameToCodeFindsTheOneRowContainingTheText) {
  const std::string kMany = "  --> Multiple matches for: '", kNone = "  --> Couldn't find match for: '";
  const struct { std::string text; int result; std::int32_t code; std::string logged; } kCases[] = {
      {"sys get values", 0, 302, ""}, {"GETVALUES", 0, 302, ""}, {"  Get_Values ", 0, 302, ""},
      {"s_y_s_g_e_t", 0, 302, ""},   {"zero scale", 0, 6101, ""}, {"sound alarm", 0, 5403, ""},
      {"sound tone", 2, -7, kMany},  {"pos", 2, -7, kMany},     {"no_such  Request", 1, -7, kNone},
      {"POS_SYS_GET_VALUES_NOW", 1, -7, kNone}, {"get\tvalues", 1, -7, kNone}, {"", 3, -7, ""},
      {" _ _  __ ", 3, -7, ""},
  };
  for (const auto& c : kCases) {
    ResetShellRecord();
    std::int32_t code = -7;
    EXPECT_EQ(NameToCode(c.text.c_str(), IoctlRequestNames, &code), c.result) << c.text;
    EXPECT_EQ(code, c.code) << c.text;
    EXPECT_EQ(ShellRecord(), c.logged.empty() ? Events{} : Events{LogEvent(c.logged + c.text + "'  ")}) << c.text;
  }
  // Every request name typed in full, as listed or in words, finds its code.
  ResetShellRecord();
  for (const ApiRow& row : ApiRequests()) {
    std::string words = row.name;
    for (char& c : words) c = (c == '_') ? ' ' : static_cast<char>(std::tolower(c));
    for (const std::string& text : {row.name, words}) {
      std::int32_t code = -7;
      EXPECT_EQ(NameToCode(text.c_str(), IoctlRequestNames, &code), 0) << text;
      EXPECT_EQ(code, row.code) << text;
    }
  }
  EXPECT_TRUE(ShellRecord().empty());
}

TEST(LookupDeathTest, TableNameOf128CharactersFailsTheAssertion) {
  const std::string allowed(127, 'B'), tooLong(128, 'A');
  const CodeName fits[] = {{1, allowed.c_str()}, {0, nullptr}};
  const CodeName overlong[] = {{1, "FIRST"}, {2, tooLong.c_str()}, {0, nullptr}};
  std::int32_t code = 0;
  EXPECT_EQ(NameToCode("b", fits, &code), 0);
  EXPECT_EQ(code, 1);
  EXPECT_DEATH(NameToCode("first", overlong, &code),
               "REVEDIZ:[0-9]+: .*strlen\\(pLookupTable->Name\\) < sizeof\\(Haystack\\)");
}
