// The argument table: one row added from the operator's name, type and
// value (or refused with its box), its record and its echo lines; then the
// conversion of several rows, the limits of the table and the array, and
// what the library writes back.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/arguments.h"
#include "tables/code_tables.h"
#include "tests/support/recording_shell.h"

namespace {

class Arguments : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetShellRecord();
    ClearArgumentTable();
  }
  void TearDown() override { ClearArgumentTable(); }

  // Adds rows of one type; each must be taken.
  void AddRows(const std::vector<std::string>& names, int type, const char* value) {
    for (const std::string& name : names)
      ASSERT_TRUE(AddPendingResource(name.c_str(), ArgumentTypeNames[type], value, Count)) << name;
  }
  Lines Echo(std::int32_t n) {
    ResetShellRecord();
    LogResourceArgs(ResourceArgs, n);
    return LoggedLines();
  }

  std::int32_t Count = 0;
};

constexpr int kHex = 0, kDec = 1, kString = 2;

std::string ValueLine(const std::string& shown) { return "               (" + shown + ")  "; }

}  // namespace

// Each case starts from an empty table: the row added (or refused, its tag
// left in the row), then the echo of one record built from row 0.
TEST_F(Arguments, OneRowFromNameTypeAndValue) {
  const std::string zeros(250, '0'), many7(300, '7'), v253(253, 'v'), name102 = "PosN" + std::string(98, 'q');
  const std::string name103 = name102 + "q";
  const char* const kLabels[] = {ArgumentTypeNames[kHex], ArgumentTypeNames[kDec], ArgumentTypeNames[kString],
                                 "Float", "", "Hez", "Dez", "Strin"};
  const struct {
    std::string name;
    int type;  // index into kLabels
    std::string value;
    std::string refusal;  // "" when no box is shown
    Lines echo;
  } kCases[] = {
      {"PosNRows", kHex, "1a2B", "", {"     1: Rows   ", ValueLine("0x1A2B")}},
      {"PosNRows", kHex, "", "", {"     1: Rows   ", ValueLine("0xFFFFFFFF")}},
      {"PosNRows", kHex, "FFFFFFFF", "", {"     1: Rows   ", ValueLine("0xFFFFFFFF")}},
      {"PosNRows", kHex, "80000000", "", {"     1: Rows   ", ValueLine("0x80000000")}},
      {"PosNRows", kHex, zeros + "Ff", "", {"     1: Rows   ", ValueLine("0xFF")}},
      {"PosNRows", kHex, "0", "", {"     1: Rows   ", ValueLine("0x0")}},
      {"PosNRows", kDec, "2147483647", "", {"     1: Rows   ", ValueLine("2147483647")}},
      {"PosNRows", kDec, "", "", {"     1: Rows   ", ValueLine("-1")}},
      {"PosNRows", kDec, zeros + "7", "", {"     1: Rows   ", ValueLine("7")}},
      {"PosSText", kString, "abc", "", {"     1: Text   ", "  abc    "}},
      {"PosSText", kString, "", "", {"     1: Text   ", "      "}},
      {"PosSText", kString, v253, "", {"     1: Text   ", "  " + v253 + "    "}},
      {name102, kDec, "1", "", {"     1: " + name102.substr(4) + "   ", ValueLine("1")}},
      {"PosNRows", kHex, "0x10", "Non Hexadecimal Argument : 0x10 ", {"     1:    ", ValueLine("0x0")}},
      {"PosNRows", kHex, "G", "Non Hexadecimal Argument : G ", {"     1:    ", ValueLine("0x0")}},
      {"PosNRows", kHex, " 5", "Non Hexadecimal Argument :  5 ", {"     1:    ", ValueLine("0x0")}},
      {"PosNRows", kHex, "100000000", "Argument out of range : 100000000 ", {"     1:    ", ValueLine("0x0")}},
      {"PosNRows", kDec, "-5", "Non decimal Argument : -5 ", {"     1:    ", ValueLine("0")}},
      {"PosNRows", kDec, "+5", "Non decimal Argument : +5 ", {"     1:    ", ValueLine("0")}},
      {"PosNRows", kDec, "1a", "Non decimal Argument : 1a ", {"     1:    ", ValueLine("0")}},
      {"PosNRows", kDec, "2147483648", "Argument out of range : 2147483648 ", {"     1:    ", ValueLine("0")}},
      {"PosNRows", kDec, "4294967296", "Argument out of range : 4294967296 ", {"     1:    ", ValueLine("0")}},
      {"PosNRows", kDec, many7, "Argument out of range : " + many7 + " ", {"     1:    ", ValueLine("0")}},
      {name103, kDec, "1", "Resource name too long : " + name103 + " ", {"     1:    "}},
      {"PosNRows", 3, "1", "", {"     1:    "}},
      {"PosNRows", 4, "1", "", {"     1:    "}},
      {"PosNRows", 5, "1", "", {"     1:    "}},
      {"PosNRows", 6, "1", "", {"     1:    "}},
      {"PosNRows", 7, "1", "", {"     1:    "}},
  };
  for (const auto& c : kCases) {
    SetUp();
    Count = 0;
    const bool added = c.refusal.empty() && c.type <= kString;
    EXPECT_EQ(AddPendingResource(c.name.c_str(), kLabels[c.type], c.value.c_str(), Count), added) << c.value;
    EXPECT_EQ(Count, added ? 1 : 0) << c.value;
    EXPECT_EQ(ShellRecord(), c.refusal.empty() ? Events{} : Events{BoxEvent(c.refusal, "Argument Error ")});
    BuildResourceArgs(1);
    EXPECT_EQ(ResourceArgCount, 1);
    EXPECT_EQ(ResourceArgs[0].value, ArrayRes[0].value) << c.value;
    EXPECT_EQ(Echo(1), c.echo) << c.value;
  }
}

TEST_F(Arguments, NamesLoseTheirFirstFourCharactersExceptTheWidth) {
  AddRows({"PosNDIWidth", "PosNxyz", "abc", "PosN", "PosNDIWidthX", "posndiwidth"}, kDec, "9");
  BuildResourceArgs(6);
  EXPECT_EQ(ResourceArgCount, 6);
  const char* const kPassed[] = {"diWidth", "xyz", "", "", "DIWidthX", "diwidth"};
  for (int i = 0; i < 6; ++i) {
    EXPECT_STREQ(ResourceArgs[i].name, kPassed[i]);
    EXPECT_EQ(ResourceArgs[i].value, 9);
  }
}

// Records past the rows added are empty, echoed with one line each; the
// array holds 20 records and the echo stops at the table's 100 rows.
TEST_F(Arguments, CountsBeyondTheRowsAndTheArray) {
  AddRows({"PosNRows"}, kDec, "2");
  BuildResourceArgs(3);
  EXPECT_EQ(ResourceArgCount, 3);
  EXPECT_STREQ(ResourceArgs[2].name, "");
  EXPECT_EQ(ResourceArgs[2].value, 0);
  EXPECT_EQ(Echo(3), (Lines{"     1: Rows   ", ValueLine("2"), "     2:    ", "     3:    "}));
  BuildResourceArgs(kResourceArgCapacity + 1);
  EXPECT_EQ(ResourceArgCount, kResourceArgCapacity);
  BuildResourceArgs(-1);
  EXPECT_EQ(ResourceArgCount, 0);
  EXPECT_TRUE(Echo(0).empty());
  ClearArgumentTable();
  const std::vector<ResourceArg> records(kArrayResRows + 1);
  ResetShellRecord();
  LogResourceArgs(records.data(), kArrayResRows + 1);
  EXPECT_EQ(LoggedLines().size(), static_cast<std::size_t>(kArrayResRows));
  EXPECT_EQ(LoggedLines().back(), "     100:    ");
}

TEST_F(Arguments, HundredRowsAndARefusedRowsPlace) {
  EXPECT_FALSE(AddPendingResource("PosNRows", ArgumentTypeNames[kHex], "zz", Count));
  AddRows(std::vector<std::string>(kArrayResRows, "PosSText"), kString, "x");
  EXPECT_EQ(ArrayRes[0].tag, 'S');  // the refused row was taken by the next
  ResetShellRecord();
  EXPECT_FALSE(AddPendingResource("PosSText", ArgumentTypeNames[kString], "x", Count));
  EXPECT_EQ(Count, kArrayResRows);
  Count = -1;
  EXPECT_FALSE(AddPendingResource("PosSText", ArgumentTypeNames[kString], "x", Count));
  EXPECT_EQ(Count, -1);
  EXPECT_EQ(ShownBoxes(), Events(2, BoxEvent("Too many resources : 100 ", "Argument Error ")));
}

// The records hand the library the rows' own values and string blocks, so
// the echo after the call shows what it wrote back; an empty string value
// has 100 bytes of room.
TEST_F(Arguments, EchoShowsWhatTheLibraryWroteBack) {
  AddRows({"PosSName"}, kString, "");
  AddRows({"PosNRows"}, kDec, "1");
  AddRows({"PosNMask"}, kHex, "1");
  BuildResourceArgs(3);
  char* block = reinterpret_cast<char*>(ResourceArgs[0].value);
  std::memset(block, 'w', 99);
  block[99] = '\0';
  ResourceArgs[1].value = -5;
  ResourceArgs[2].value = static_cast<std::intptr_t>(-6);
  EXPECT_EQ(Echo(3), (Lines{"     1: Name   ", "  " + std::string(99, 'w') + "    ", "     2: Rows   ",
                            ValueLine("-5"), "     3: Mask   ", ValueLine("0xFFFFFFFA")}));
}

TEST_F(Arguments, ClearingZeroesTableAndArray) {
  AddRows({"PosSText", "PosNRows"}, kString, "abc");
  BuildResourceArgs(2);
  ClearArgumentTable();
  const PendingResource zeroRow{};
  const ResourceArg zeroRecord{};
  for (const PendingResource& row : ArrayRes) ASSERT_EQ(std::memcmp(&row, &zeroRow, sizeof row), 0);
  for (const ResourceArg& record : ResourceArgs) ASSERT_EQ(std::memcmp(&record, &zeroRecord, sizeof record), 0);
  EXPECT_EQ(ResourceArgCount, 0);
}
