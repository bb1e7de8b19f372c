// The code-name tables against the API's codes and names, and the lookups over them with the scratch area of fallback
// texts.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tables/code_tables.h"
#include "tables/lookup.h"
#include "tables/pos_codes.h"
#include "tests/support/recording_shell.h"
#include "tests/unit/api_names.h"

namespace {

// The rows before the terminator, which must be {0, null}.
ApiRows Stored(const CodeName* table) {
  ApiRows rows;
  for (; table->Name != nullptr; ++table) rows.emplace_back(table->Name, table->Code);
  EXPECT_EQ(table->Code, 0) << "terminator";
  return rows;
}

}  // namespace

// The error, message and request tables are held against the device library's public header, both ways
// (tests/simulator/test_sim_header.cpp); the order of their rows shows nowhere, as none shares a code.
TEST(CodeTables, EveryRowInStoredOrder) {
  for (const auto& [table, rows] : {std::pair<const CodeName*, const ApiRows*>{SlotNames, &ApiSlots()},
           {PortNames, &ApiPorts()}, {DeviceTypeNames, &ApiTypes()}, {DeviceClassNames, &ApiClasses()}})
    EXPECT_EQ(Stored(table), *rows) << rows->front().first;
}

TEST(CodeTables, TypeLabelsAreTwelveCharactersInFifteenByteSlots) {
  const char kSlots[] = "Hex         \0\0\0Dec         \0\0\0String      \0\0\0";
  ASSERT_EQ(sizeof ArgumentTypeNames, sizeof kSlots - 1);
  EXPECT_EQ(std::memcmp(ArgumentTypeNames, kSlots, sizeof kSlots - 1), 0);
}

// Keys are unique: the stored keys are the API's and the models'. Model names are free, but a scanner-scale model has
// one name under all three types.
TEST(CodeTables, SubtypeRowsByKey) {
  const std::multiset<std::int32_t> kModels = {0x4A01, 0x4A02, 0x4A03, 0x4A04, 0x4A05, 0x4A06, 0x4B01, 0x4B02, 0x4B03,
                                               0x6A01, 0x6A02, 0x6E01, 0x6E02, 0x5C01, 0x5C02, 0x5C03, 0x5C0A, 0x5C0B};
  std::multiset<std::int32_t> stored, expected = kModels;
  for (const auto& row : Stored(DeviceSubtypeNames)) stored.insert(row.second);
  for (const auto& row : ApiSubtypes()) expected.insert(row.second);
  EXPECT_EQ(stored, expected);
  auto nameOf = [](std::int32_t key) { return std::string(CodeToName(DeviceSubtypeNames, key)); };
  for (const auto& [name, key] : ApiSubtypes()) EXPECT_EQ(nameOf(key), name) << std::hex << key;
  std::set<std::string> models;
  for (std::int32_t key : kModels) models.insert(nameOf(key));
  EXPECT_EQ(models.size(), kModels.size() - 4);
  for (std::int32_t key : {0x6A01, 0x6E01}) EXPECT_EQ(nameOf(key), nameOf(0x4A01));
  for (std::int32_t key : {0x6A02, 0x6E02}) EXPECT_EQ(nameOf(key), nameOf(0x4A04));
}

// Misses are packed one after another, each text followed by its NUL and the run closed by one more; a text for which
// both NULs do not fit is kept elsewhere, and every text stays intact until the reset. With their NUL, codes of up to
// six characters take 20 bytes, 1000000 21, INT32_MIN 25.
TEST(Lookup, ScratchPacksMissesAndKeepsTheOnesThatDoNotFit) {
  const struct { std::vector<std::pair<int, std::int32_t>> runs; std::size_t inside; } kCases[] = {  // count, from
      {{{15, 1000}}, 12},                                          // twelve common texts: 241 bytes
      {{{11, INT32_MIN}}, 10},                                     // ten of the widest: 251 bytes
      {{{8, 1000}, {3, INT32_MIN}, {2, 2000}}, 12},                // 235 used: the next ends at the last byte
      {{{7, 1000}, {3, INT32_MIN}, {1, 1000000}, {1, 2000}}, 11},  // 236: one byte short
  };
  for (const auto& c : kCases) {
    ResetNameScratch();
    std::vector<std::pair<const char*, std::string>> handed;  // each name and the text it must still hold
    std::size_t used = 0;
    for (const auto& [count, from] : c.runs) {
      for (std::int32_t code = from; code < from + count; ++code) {
        char text[32];
        std::snprintf(text, sizeof text, "%-6d (0x%08X)", code, static_cast<unsigned>(code));
        const char* name = CodeToName(ErrorNames, code);
        handed.emplace_back(name, text);
        EXPECT_EQ(name >= NameScratch && name < NameScratch + kNameScratchSize, handed.size() <= c.inside) << text;
        if (handed.size() > c.inside) continue;
        EXPECT_EQ(name - NameScratch, static_cast<std::ptrdiff_t>(used));
        used += std::strlen(text) + 1;
      }
    }
    EXPECT_EQ(NameScratch[used], '\0');
    for (const auto& [name, text] : handed) EXPECT_EQ(name, text);
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
}

TEST(LookupDeathTest, TableNameOf128CharactersFailsTheAssertion) {
  const std::string allowed(127, 'B'), tooLong(128, 'A');
  const CodeName fits[] = {{1, allowed.c_str()}, {2, "XY"}, {0, nullptr}};  // no stale B after XY
  const CodeName overlong[] = {{1, "FIRST"}, {2, tooLong.c_str()}, {0, nullptr}};
  std::int32_t code = 0;
  EXPECT_TRUE(NameToCode("b", fits, &code) == 0 && code == 1) << code;
  EXPECT_DEATH(NameToCode("first", overlong, &code),
               "REVEDIZ:[0-9]+: REVEDIZ: Assertion .*strlen\\(pLookupTable->Name\\) < sizeof\\(Haystack\\)");
#if !defined(__SANITIZE_ADDRESS__)  // its allocator ends the process itself
  // A needle the heap cannot give (the address space cut to what the process holds) ends the tool the same way.
  const std::string text(32 << 20, 'a');
  const auto lookUpStarved = [&] {
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t held = static_cast<rlim_t>(pages * ::sysconf(_SC_PAGESIZE)) + (1 << 20);
    const rlimit limit{held, held};
    if (::setrlimit(RLIMIT_AS, &limit) == 0) NameToCode(text.c_str(), IoctlRequestNames, &code);
  };
  EXPECT_DEATH(lookUpStarved(), "Assertion .Needle. failed");
#endif
}
