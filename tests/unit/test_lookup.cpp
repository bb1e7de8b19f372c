// Code-to-name, subtype and name-to-code lookups, and the scratch area of
// fallback texts they share.
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

namespace {

class Lookup : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetShellRecord();
    ResetNameScratch();
  }
  void TearDown() override { ResetNameScratch(); }
};

bool InScratch(const char* text) {
  return text >= NameScratch && text < NameScratch + kNameScratchSize;
}

// The packed texts of NameScratch, walked the way the lookups walk them.
std::vector<std::string> ScratchTexts() {
  std::vector<std::string> texts;
  std::size_t at = 0;
  while (at < kNameScratchSize && NameScratch[at] != '\0') {
    texts.emplace_back(NameScratch + at);
    at += texts.back().size() + 1;
  }
  return texts;
}

}  // namespace

// --- CodeToName --------------------------------------------------------------

TEST_F(Lookup, CodeFoundInItsOwnTable) {
  EXPECT_STREQ(CodeToName(ErrorNames, 317), "POSERR_SYS_DEVICE_OFFLINE");
  EXPECT_STREQ(CodeToName(ErrorNames, 4401), "POSERR_DSP_INVALID_CURSOR");
  EXPECT_STREQ(CodeToName(IoctlRequestNames, 4401), "POS_DSP_CLEAR_SCREEN");
  EXPECT_STREQ(CodeToName(MessageNames, 0x420D), "POSM_SYS_DEVICE_ONLINE");
  EXPECT_STREQ(CodeToName(DeviceClassNames, 1), "UNKNOWN");
  EXPECT_STREQ(CodeToName(DeviceTypeNames, 0x5C), "TOUCH_SCREEN");
  // The first and last rows of a table are reached.
  EXPECT_STREQ(CodeToName(ErrorNames, 4405), "POSERR_DSP_BAD_BITMAP");
  EXPECT_STREQ(CodeToName(ErrorNames, 6707), "POSERR_TOUCH_INVALID_SCREEN_SAVER_TIME");
  EXPECT_STREQ(NameScratch, "");
}

TEST_F(Lookup, ZeroIsARowOnlyInSlotsAndPorts) {
  EXPECT_STREQ(CodeToName(SlotNames, 0), "SLOT_0");
  EXPECT_STREQ(CodeToName(PortNames, 0), "PORT_0");
  const CodeName* others[] = {ErrorNames,      MessageNames,     IoctlRequestNames,
                              DeviceTypeNames, DeviceClassNames, DeviceSubtypeNames};
  for (const CodeName* table : others) {
    ResetNameScratch();
    const char* name = CodeToName(table, 0);
    ASSERT_NE(name, nullptr);
    EXPECT_STREQ(name, "0      (0x00000000)");
    EXPECT_EQ(name, NameScratch);
  }
}

TEST_F(Lookup, RepeatedDeviceTypesYieldTheFirstRow) {
  EXPECT_STREQ(CodeToName(DeviceTypeNames, 0x10), "CHECKOUT_KEYBOARD_A");
  EXPECT_STREQ(CodeToName(DeviceTypeNames, 0x40), "MSR_1_TRACK_A");
  EXPECT_STREQ(CodeToName(DeviceTypeNames, 0x34), "PRINTER_3");
}

TEST_F(Lookup, PortCodesAreNotOneAndTwo) {
  EXPECT_STREQ(CodeToName(PortNames, 1), "1      (0x00000001)");
  ResetNameScratch();
  EXPECT_STREQ(CodeToName(PortNames, 0x11), "PORT_1");
  EXPECT_STREQ(CodeToName(PortNames, 0x22), "PORT_2");
  EXPECT_STREQ(CodeToName(SlotNames, 9), "9      (0x00000009)");
}

TEST_F(Lookup, WalkStopsAtTheNullNameNotAtCodeZero) {
  const CodeName zeroInside[] = {{5, "FIVE"}, {0, "ZERO"}, {6, "SIX"}, {0, nullptr}};
  EXPECT_STREQ(CodeToName(zeroInside, 0), "ZERO");
  EXPECT_STREQ(CodeToName(zeroInside, 6), "SIX");
  // A terminator with a code of its own is still a miss.
  const CodeName oddTerminator[] = {{1, "ONE"}, {7, nullptr}};
  EXPECT_STREQ(CodeToName(oddTerminator, 7), "7      (0x00000007)");
}

TEST_F(Lookup, FallbackTextsByteForByte) {
  const char* a = CodeToName(ErrorNames, 5701);
  EXPECT_STREQ(a, "5701   (0x00001645)");
  EXPECT_EQ(std::strlen(a), 19u);

  ResetNameScratch();
  EXPECT_STREQ(CodeToName(ErrorNames, -1), "-1     (0xFFFFFFFF)");

  ResetNameScratch();
  const char* widest = CodeToName(ErrorNames, INT32_MIN);
  EXPECT_STREQ(widest, "-2147483648 (0x80000000)");
  EXPECT_EQ(std::strlen(widest), 24u);
  // Text, its terminator and the closing NUL of the sequence.
  EXPECT_EQ(widest, NameScratch);
  EXPECT_EQ(NameScratch[24], '\0');
  EXPECT_EQ(NameScratch[25], '\0');

  ResetNameScratch();
  EXPECT_STREQ(CodeToName(ErrorNames, INT32_MAX), "2147483647 (0x7FFFFFFF)");
  ResetNameScratch();
  EXPECT_STREQ(CodeToName(ErrorNames, 123456), "123456 (0x0001E240)");
}

TEST_F(Lookup, TwoMissesInOneLineStayIntact) {
  const char* first = CodeToName(ErrorNames, 5701);
  const char* second = CodeToName(SlotNames, 9);
  EXPECT_EQ(first, NameScratch);
  EXPECT_EQ(second, NameScratch + 20);  // right behind the first and its NUL
  FormatMessageText("%s | %s", first, second);
  EXPECT_STREQ(MessageText, "5701   (0x00001645) | 9      (0x00000009)");
  EXPECT_EQ(ScratchTexts(), (std::vector<std::string>{"5701   (0x00001645)", "9      (0x00000009)"}));
}

TEST_F(Lookup, ResetPlacesTheNextMissAtTheStartAgain) {
  CodeToName(ErrorNames, 1);
  CodeToName(ErrorNames, 2);
  ResetNameScratch();
  EXPECT_STREQ(NameScratch, "");
  const char* next = CodeToName(ErrorNames, 3);
  EXPECT_EQ(next, NameScratch);
  EXPECT_STREQ(next, "3      (0x00000003)");
  EXPECT_EQ(ScratchTexts().size(), 1u);
}

TEST_F(Lookup, ScratchHoldsTenWidestOrTwelveCommonFallbacks) {
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(InScratch(CodeToName(ErrorNames, INT32_MIN + i)));
  ResetNameScratch();
  for (int i = 0; i < 12; ++i) EXPECT_TRUE(InScratch(CodeToName(ErrorNames, 1000 + i)));
}

TEST_F(Lookup, RunOfMissesBeyondTheScratchKeepsEveryText) {
  std::vector<const char*> handed;
  std::vector<std::string> expected;
  char buffer[64];
  for (int i = 0; i < 200; ++i) {
    if (i % 3 == 2) {
      const int subtype = 1 + i % 250;
      handed.push_back(SubtypeToName(0x77, subtype));
      std::snprintf(buffer, sizeof buffer, "%3d (0x%02X)", subtype, static_cast<unsigned>(subtype));
    } else {
      const std::int32_t code = INT32_MIN + i;
      handed.push_back(CodeToName(ErrorNames, code));
      std::snprintf(buffer, sizeof buffer, "%-6d (0x%08X)", static_cast<int>(code),
                    static_cast<unsigned>(code));
    }
    expected.emplace_back(buffer);
  }
  // Nothing handed out was overwritten, and no two texts share storage.
  for (std::size_t i = 0; i < handed.size(); ++i) {
    EXPECT_EQ(handed[i], expected[i]) << i;
    for (std::size_t j = 0; j < i; ++j) ASSERT_NE(handed[i], handed[j]);
  }
  // The area is still a closed sequence within its 256 bytes.
  std::size_t used = 0;
  for (const auto& t : ScratchTexts()) used += t.size() + 1;
  EXPECT_LT(used, kNameScratchSize);
  EXPECT_EQ(NameScratch[used], '\0');

  ResetNameScratch();
  EXPECT_EQ(CodeToName(ErrorNames, 5701), NameScratch);
}

// --- SubtypeToName -----------------------------------------------------------

TEST_F(Lookup, SubtypeZeroIsNoneForEveryType) {
  for (int type : {0x00, 0x24, 0x1C, 0x4A, 0xFF, 0x99}) EXPECT_STREQ(SubtypeToName(type, 0), "NONE");
  EXPECT_STREQ(NameScratch, "");
}

TEST_F(Lookup, SubtypeRowsAreKeyedByTypeAndSubtype) {
  EXPECT_STREQ(SubtypeToName(0x81, 3), "ANPOS_2");
  EXPECT_STREQ(SubtypeToName(0x24, 6), "2X20_VFD");
  EXPECT_STREQ(SubtypeToName(0x25, 7), "2_SIDE_VFD");
  EXPECT_STREQ(SubtypeToName(0x1D, 7), "KEYBOARD_VI");
  EXPECT_STREQ(SubtypeToName(0x4A, 1), SubtypeToName(0x6E, 1));
  EXPECT_STREQ(SubtypeToName(0x4A, 4), SubtypeToName(0x6A, 2));
  EXPECT_STRNE(SubtypeToName(0x4A, 1), SubtypeToName(0x4A, 4));
  EXPECT_STREQ(NameScratch, "");
}

TEST_F(Lookup, SubtypeFallbackShowsTheSubtypeNotTheKey) {
  const char* text = SubtypeToName(0x1C, 6);
  EXPECT_STREQ(text, "  6 (0x06)");
  EXPECT_EQ(std::strlen(text), 10u);
  EXPECT_EQ(text, NameScratch);
  EXPECT_STREQ(SubtypeToName(0x00, 0xFF), "255 (0xFF)");
  // Subtype 3 exists for 0x81 but not for 0x82.
  EXPECT_STREQ(SubtypeToName(0x82, 3), "  3 (0x03)");
  EXPECT_EQ(ScratchTexts(), (std::vector<std::string>{"  6 (0x06)", "255 (0xFF)", "  3 (0x03)"}));
}

// --- NameToCode --------------------------------------------------------------

TEST_F(Lookup, PiecesOfARequestNameFindItInAnyCase) {
  for (const char* text : {"sys get values", "GETVALUES", "getvalues", "POS_SYS_GET_VALUES",
                           "  Get_Values ", "s_y_s_g_e_t"}) {
    SCOPED_TRACE(text);
    std::int32_t code = -7;
    EXPECT_EQ(NameToCode(text, IoctlRequestNames, &code), 0);
    EXPECT_EQ(code, 302);
  }
  EXPECT_TRUE(ShellRecord().empty());
}

TEST_F(Lookup, EveryFullRequestNameIsFound) {
  int rows = 0;
  for (const CodeName* row = IoctlRequestNames; row->Name != nullptr; ++row, ++rows) {
    SCOPED_TRACE(row->Name);
    std::int32_t code = -7;
    EXPECT_EQ(NameToCode(row->Name, IoctlRequestNames, &code), 0);
    EXPECT_EQ(code, row->Code);

    // Typed in lower case, with blanks for the underscores.
    std::string typed = row->Name;
    for (char& c : typed) c = (c == '_') ? ' ' : static_cast<char>(std::tolower(c));
    code = -7;
    EXPECT_EQ(NameToCode(typed.c_str(), IoctlRequestNames, &code), 0);
    EXPECT_EQ(code, row->Code);
  }
  EXPECT_EQ(rows, 45);
  EXPECT_TRUE(ShellRecord().empty());
}

TEST_F(Lookup, AmbiguousTextLogsMultipleMatches) {
  std::int32_t code = 1234;
  EXPECT_EQ(NameToCode("sound tone", IoctlRequestNames, &code), 2);
  EXPECT_EQ(NameToCode("pos", IoctlRequestNames, &code), 2);
  EXPECT_EQ(code, 1234);
  EXPECT_EQ(LoggedLines(), (std::vector<std::string>{"  --> Multiple matches for: 'sound tone'  ",
                                                     "  --> Multiple matches for: 'pos'  "}));
  EXPECT_TRUE(ShownBoxes().empty());
}

TEST_F(Lookup, UnknownTextLogsNoMatchWithTheTextAsTyped) {
  std::int32_t code = 1234;
  EXPECT_EQ(NameToCode("no_such  Request", IoctlRequestNames, &code), 1);
  // The table name must contain the text, not the reverse.
  EXPECT_EQ(NameToCode("POS_SYS_GET_VALUES_NOW", IoctlRequestNames, &code), 1);
  // A tab is not a blank: it stays in the needle.
  EXPECT_EQ(NameToCode("get\tvalues", IoctlRequestNames, &code), 1);
  EXPECT_EQ(code, 1234);
  EXPECT_EQ(LoggedLines(),
            (std::vector<std::string>{"  --> Couldn't find match for: 'no_such  Request'  ",
                                      "  --> Couldn't find match for: 'POS_SYS_GET_VALUES_NOW'  ",
                                      "  --> Couldn't find match for: 'get\tvalues'  "}));
  EXPECT_TRUE(ShownBoxes().empty());
}

TEST_F(Lookup, EmptyTextGivesThreeAndLogsNothing) {
  for (const char* text : {"", " ", "___", " _ _  __ "}) {
    SCOPED_TRACE(text);
    std::int32_t code = 1234;
    EXPECT_EQ(NameToCode(text, IoctlRequestNames, &code), 3);
    EXPECT_EQ(code, 1234);
  }
  EXPECT_TRUE(ShellRecord().empty());
}

TEST_F(Lookup, NameLookupWorksOverAnyTable) {
  std::int32_t code = 0;
  EXPECT_EQ(NameToCode("device online", MessageNames, &code), 0);
  EXPECT_EQ(code, 0x420D);
  EXPECT_EQ(NameToCode("slot", SlotNames, &code), 2);
  EXPECT_EQ(NameToCode("slot 0", SlotNames, &code), 0);
  EXPECT_EQ(code, 0);
}

TEST(LookupDeathTest, TableNameOf128CharactersFailsTheAssertion) {
  static const std::string longName(128, 'A');
  static const std::string longestAllowed(127, 'B');
  const CodeName allowed[] = {{1, longestAllowed.c_str()}, {0, nullptr}};
  std::int32_t code = 0;
  EXPECT_EQ(NameToCode("b", allowed, &code), 0);
  EXPECT_EQ(code, 1);

  const CodeName tooLong[] = {{1, "FIRST"}, {2, longName.c_str()}, {0, nullptr}};
  EXPECT_DEATH(NameToCode("first", tooLong, &code),
               "strlen\\(pLookupTable->Name\\) < sizeof\\(Haystack\\)");
}
