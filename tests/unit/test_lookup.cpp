// CodeToName, SubtypeToName and NameToCode, and the scratch area of fallback
// texts they share.
#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/status_log.h"
#include "tables/lookup.h"
#include "tests/support/recording_shell.h"
#include "tests/unit/reference_tables.h"

namespace {

class Lookup : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetShellRecord();
    ResetNameScratch();
  }
  void TearDown() override { ResetNameScratch(); }
};

bool InScratch(const char* text) { return text >= NameScratch && text < NameScratch + kNameScratchSize; }

}  // namespace

TEST_F(Lookup, CodeToNameGivesTheFirstMatchingRowOrTheFallback) {
  const CodeName kZeroInside[] = {{5, "FIVE"}, {0, "ZERO"}, {6, "SIX"}, {7, nullptr}};
  const struct {
    const CodeName* table;
    std::int32_t code;
    const char* name;
  } kCases[] = {
      {ErrorNames, 4405, "POSERR_DSP_BAD_BITMAP"}, {ErrorNames, 6707, "POSERR_TOUCH_INVALID_SCREEN_SAVER_TIME"},
      {ErrorNames, 4401, "POSERR_DSP_INVALID_CURSOR"}, {IoctlRequestNames, 4401, "POS_DSP_CLEAR_SCREEN"},
      {DeviceTypeNames, 0x10, "CHECKOUT_KEYBOARD_A"}, {DeviceTypeNames, 0x40, "MSR_1_TRACK_A"},
      {DeviceTypeNames, 0x34, "PRINTER_3"}, {SlotNames, 0, "SLOT_0"}, {PortNames, 0, "PORT_0"},
      {PortNames, 0x11, "PORT_1"}, {PortNames, 1, "1      (0x00000001)"}, {SlotNames, 9, "9      (0x00000009)"},
      {ErrorNames, 0, "0      (0x00000000)"}, {MessageNames, 0, "0      (0x00000000)"},
      {IoctlRequestNames, 0, "0      (0x00000000)"}, {DeviceTypeNames, 0, "0      (0x00000000)"},
      {DeviceClassNames, 0, "0      (0x00000000)"}, {DeviceSubtypeNames, 0, "0      (0x00000000)"},
      {ErrorNames, 5701, "5701   (0x00001645)"}, {ErrorNames, -1, "-1     (0xFFFFFFFF)"},
      {ErrorNames, INT32_MIN, "-2147483648 (0x80000000)"}, {ErrorNames, INT32_MAX, "2147483647 (0x7FFFFFFF)"},
      {ErrorNames, 123456, "123456 (0x0001E240)"}, {ErrorNames, 1234567, "1234567 (0x0012D687)"},
      {kZeroInside, 0, "ZERO"}, {kZeroInside, 6, "SIX"}, {kZeroInside, 7, "7      (0x00000007)"},
  };
  for (const auto& c : kCases) {
    const char* name = CodeToName(c.table, c.code);
    EXPECT_STREQ(name, c.name) << c.code;
    EXPECT_EQ(name == NameScratch, std::strchr(c.name, '(') != nullptr) << c.code;
    ResetNameScratch();
  }
  EXPECT_TRUE(ShellRecord().empty());
}

TEST_F(Lookup, SubtypeToNameKeysByTypeAndSubtype) {
  const struct {
    int type, subtype;
    const char* name;
  } kCases[] = {
      {0x81, 3, "ANPOS_2"},      {0x24, 6, "2X20_VFD"},   {0x1D, 7, "KEYBOARD_VI"}, {0x1C, 6, "  6 (0x06)"},
      {0x82, 3, "  3 (0x03)"},   {0x00, 0xFF, "255 (0xFF)"}, {0x24, 0, "NONE"},    {0x99, 0, "NONE"},
      {0xFF, 0, "NONE"},
  };
  for (const auto& c : kCases) {
    const char* name = SubtypeToName(c.type, c.subtype);
    EXPECT_STREQ(name, c.name) << c.type << " " << c.subtype;
    EXPECT_EQ(name == NameScratch, std::strchr(c.name, '(') != nullptr) << c.type << " " << c.subtype;
    ResetNameScratch();
  }
}

// Misses are packed one after another, each text followed by its NUL and
// the sequence closed by one more; a text for which both NULs do not fit is
// kept elsewhere. Each text stays intact until the reset. Sizes with the
// NUL: a subtype text 11, a code of up to six characters 20, 1000000000 24,
// INT32_MIN 25.
TEST_F(Lookup, ScratchPacksMissesAndKeepsTheOnesThatDoNotFit) {
  struct Miss {
    int subtype;  // SubtypeToName of a type without rows; 0 for CodeToName
    std::int32_t code;
  };
  auto codes = [](std::int32_t from, int n) {
    std::vector<Miss> misses;
    for (int i = 0; i < n; ++i) misses.push_back({0, from + i});
    return misses;
  };
  auto exact = [&](std::int32_t wide) {
    std::vector<Miss> misses = {{6, 0}};
    for (const Miss& m : codes(1000, 10)) misses.push_back(m);
    misses.push_back({0, wide});
    misses.push_back({0, 2000});
    misses.push_back({0, 2001});
    return misses;
  };
  const struct {
    std::vector<Miss> misses;
    std::size_t firstOutside;
  } kCases[] = {
      {codes(1000, 15), 12},       // twelve common texts: 241 bytes
      {codes(INT32_MIN, 11), 10},  // ten of the widest: 251 bytes
      {exact(1000000000), 13},       // 235 used: the next 19 characters end at the last byte
      {exact(INT32_MIN), 12},        // 236 used: they would need one byte more
  };
  for (const auto& c : kCases) {
    ResetNameScratch();
    std::vector<const char*> handed;
    std::vector<std::string> texts;
    std::size_t used = 0;
    for (const Miss& m : c.misses) {
      char text[32];
      if (m.subtype)
        std::snprintf(text, sizeof text, "%3d (0x%02X)", m.subtype, static_cast<unsigned>(m.subtype));
      else
        std::snprintf(text, sizeof text, "%-6d (0x%08X)", m.code, static_cast<unsigned>(m.code));
      handed.push_back(m.subtype ? SubtypeToName(0x77, m.subtype) : CodeToName(ErrorNames, m.code));
      texts.push_back(text);
      if (handed.size() <= c.firstOutside) {
        EXPECT_EQ(handed.back(), NameScratch + used) << text;
        used += texts.back().size() + 1;
      } else {
        EXPECT_FALSE(InScratch(handed.back())) << text;
      }
    }
    EXPECT_EQ(NameScratch[used], '\0');
    for (std::size_t i = 0; i < handed.size(); ++i) EXPECT_EQ(handed[i], texts[i]);
  }
  ResetNameScratch();
  EXPECT_EQ(CodeToName(ErrorNames, 3), NameScratch);
}

TEST_F(Lookup, NameToCodeFindsTheOneRowContainingTheText) {
  const struct {
    const char* text;
    int result;
    std::int32_t code;  // -7: left alone
    const char* logged;
  } kCases[] = {
      {"sys get values", 0, 302, nullptr},
      {"GETVALUES", 0, 302, nullptr},
      {"  Get_Values ", 0, 302, nullptr},
      {"s_y_s_g_e_t", 0, 302, nullptr},
      {"zero scale", 0, 6101, nullptr},
      {"sound alarm", 0, 5403, nullptr},
      {"sound tone", 2, -7, "  --> Multiple matches for: 'sound tone'  "},
      {"pos", 2, -7, "  --> Multiple matches for: 'pos'  "},
      {"no_such  Request", 1, -7, "  --> Couldn't find match for: 'no_such  Request'  "},
      {"POS_SYS_GET_VALUES_NOW", 1, -7, "  --> Couldn't find match for: 'POS_SYS_GET_VALUES_NOW'  "},
      {"get\tvalues", 1, -7, "  --> Couldn't find match for: 'get\tvalues'  "},
      {"", 3, -7, nullptr},
      {" _ _  __ ", 3, -7, nullptr},
  };
  for (const auto& c : kCases) {
    ResetShellRecord();
    std::int32_t code = -7;
    EXPECT_EQ(NameToCode(c.text, IoctlRequestNames, &code), c.result) << c.text;
    EXPECT_EQ(code, c.code) << c.text;
    EXPECT_EQ(ShellRecord(), c.logged ? Events{LogEvent(c.logged)} : Events{}) << c.text;
  }
}

TEST_F(Lookup, EveryRequestNameTypedInFullFindsItsCode) {
  for (const RefRow& row : RefRequests()) {
    std::string typed = row.name;
    for (char& c : typed) c = (c == '_') ? ' ' : static_cast<char>(std::tolower(c));
    for (const std::string& text : {row.name, typed}) {
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
