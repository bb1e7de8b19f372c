// The argument table: row addition with its refusals, the conversion into
// ResourceArgs and the echo lines with their exact blanks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/arguments.h"
#include "tests/support/recording_shell.h"

namespace {

const char kHex[] = "Hex         ";
const char kDec[] = "Dec         ";
const char kString[] = "String      ";

using Lines = std::vector<std::string>;

class ArgumentsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetShellRecord();
    ClearArgumentTable();
    Count = 0;
  }
  void TearDown() override { ClearArgumentTable(); }

  ShellEvent ArgumentError(const std::string& text) {
    return {ShellEvent::kMessageBox, text, "Argument Error ", false};
  }

  std::int32_t Count = 0;
};

TEST_F(ArgumentsTest, HexRowAndItsEcho) {
  ASSERT_TRUE(AddPendingResource("PosNRows", kHex, "1a2B", Count));
  EXPECT_EQ(Count, 1);
  EXPECT_EQ(ArrayRes[0].tag, 'X');
  EXPECT_STREQ(ArrayRes[0].name, "PosNRows");
  EXPECT_EQ(ArrayRes[0].value, 0x1A2B);
  BuildResourceArgs(1);
  LogResourceArgs(ResourceArgs, 1);
  EXPECT_EQ(LoggedLines(), (Lines{"     1: Rows   ", "               (0x1A2B)  "}));
  EXPECT_TRUE(ShownBoxes().empty());
}

TEST_F(ArgumentsTest, EmptyNumbersAreMinusOne) {
  ASSERT_TRUE(AddPendingResource("PosNA", kHex, "", Count));
  ASSERT_TRUE(AddPendingResource("PosNB", kDec, "", Count));
  ASSERT_TRUE(AddPendingResource("PosNC", kHex, "FFFFFFFF", Count));
  EXPECT_EQ(ArrayRes[0].value, -1);
  EXPECT_EQ(ArrayRes[1].value, -1);
  EXPECT_EQ(ArrayRes[2].value, -1);
  BuildResourceArgs(3);
  LogResourceArgs(ResourceArgs, 3);
  EXPECT_EQ(LoggedLines(), (Lines{"     1: A   ", "               (0xFFFFFFFF)  ", "     2: B   ",
                                  "               (-1)  ", "     3: C   ",
                                  "               (0xFFFFFFFF)  "}));
}

TEST_F(ArgumentsTest, DecimalRowsAndTheirRange) {
  ASSERT_TRUE(AddPendingResource("PosNMax", kDec, "2147483647", Count));
  ASSERT_TRUE(AddPendingResource("PosNZero", kDec, "0", Count));
  EXPECT_EQ(ArrayRes[0].value, 2147483647);
  EXPECT_EQ(ArrayRes[1].value, 0);
  BuildResourceArgs(2);
  LogResourceArgs(ResourceArgs, 2);
  EXPECT_EQ(LoggedLines(), (Lines{"     1: Max   ", "               (2147483647)  ",
                                  "     2: Zero   ", "               (0)  "}));
}

TEST_F(ArgumentsTest, StringRowsOwnTheirBlocks) {
  ASSERT_TRUE(AddPendingResource("PosSText", kString, "abc", Count));
  ASSERT_TRUE(AddPendingResource("PosSNone", kString, "", Count));
  EXPECT_EQ(ArrayRes[0].tag, 'S');
  const char* text = reinterpret_cast<const char*>(ArrayRes[0].value);
  EXPECT_STREQ(text, "abc");
  const char* empty = reinterpret_cast<const char*>(ArrayRes[1].value);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty[0], '\0');
  // The empty block has room for a value the library writes back.
  std::memset(const_cast<char*>(empty), 'w', 99);
  const_cast<char*>(empty)[99] = '\0';
  BuildResourceArgs(2);
  EXPECT_EQ(ResourceArgs[0].value, ArrayRes[0].value);  // the block itself, not a copy
  LogResourceArgs(ResourceArgs, 2);
  EXPECT_EQ(LoggedLines(), (Lines{"     1: Text   ", "  abc    ", "     2: None   ",
                                  "  " + std::string(99, 'w') + "    "}));
}

TEST_F(ArgumentsTest, EmptyStringEchoIsSixBlanks) {
  ASSERT_TRUE(AddPendingResource("PosSNone", kString, "", Count));
  BuildResourceArgs(1);
  LogResourceArgs(ResourceArgs, 1);
  EXPECT_EQ(LoggedLines(), (Lines{"     1: None   ", "      "}));
}

TEST_F(ArgumentsTest, RefusedValuesAddNoRow) {
  ASSERT_TRUE(AddPendingResource("PosNFirst", kDec, "5", Count));
  EXPECT_FALSE(AddPendingResource("PosNRows", kHex, "0x10", Count));
  EXPECT_FALSE(AddPendingResource("PosNRows", kDec, "-5", Count));
  EXPECT_FALSE(AddPendingResource("PosNRows", kDec, "1a", Count));
  EXPECT_FALSE(AddPendingResource("PosNRows", kHex, "100000000", Count));
  EXPECT_FALSE(AddPendingResource("PosNRows", kDec, "2147483648", Count));
  EXPECT_EQ(Count, 1);
  EXPECT_EQ(ArrayRes[1].name[0], '\0');
  const std::vector<ShellEvent> expected = {
      ArgumentError("Non Hexadecimal Argument : 0x10 "),
      ArgumentError("Non decimal Argument : -5 "),
      ArgumentError("Non decimal Argument : 1a "),
      ArgumentError("Argument out of range : 100000000 "),
      ArgumentError("Argument out of range : 2147483648 "),
  };
  EXPECT_EQ(ShellRecord(), expected);  // boxes only, nothing logged
  // The next addition takes the refused row's place.
  ASSERT_TRUE(AddPendingResource("PosSText", kString, "x", Count));
  EXPECT_EQ(ArrayRes[1].tag, 'S');
  EXPECT_EQ(Count, 2);
}

TEST_F(ArgumentsTest, RefusedRowLeavesOnlyItsTag) {
  EXPECT_FALSE(AddPendingResource("PosNRows", kHex, "zz", Count));
  EXPECT_EQ(ArrayRes[0].tag, 'X');
  EXPECT_EQ(ArrayRes[0].value, 0);
  // Passed anyway by a hand-set N: empty name, value 0, echoed as hex.
  BuildResourceArgs(1);
  ResetShellRecord();
  LogResourceArgs(ResourceArgs, 1);
  EXPECT_EQ(LoggedLines(), (Lines{"     1:    ", "               (0x0)  "}));
}

TEST_F(ArgumentsTest, TableHoldsAHundredRows) {
  for (int i = 0; i < kArrayResRows; ++i)
    ASSERT_TRUE(AddPendingResource("PosSRow", kString, "v", Count)) << i;
  EXPECT_EQ(Count, 100);
  EXPECT_FALSE(AddPendingResource("PosSRow", kString, "v", Count));
  EXPECT_EQ(Count, 100);
  EXPECT_EQ(ShellRecord(),
            (std::vector<ShellEvent>{ArgumentError("Too many resources : 100 ")}));
}

TEST_F(ArgumentsTest, NameLongerThanTheRowIsRefused) {
  const std::string fits(102, 'n');
  const std::string tooLong(103, 'n');
  ASSERT_TRUE(AddPendingResource(fits.c_str(), kDec, "1", Count));
  EXPECT_EQ(std::string(ArrayRes[0].name), fits);
  EXPECT_FALSE(AddPendingResource(tooLong.c_str(), kDec, "1", Count));
  EXPECT_EQ(Count, 1);
  EXPECT_EQ(ArrayRes[1].tag, 0);  // nothing written
  EXPECT_EQ(ShellRecord(),
            (std::vector<ShellEvent>{ArgumentError("Resource name too long : " + tooLong + " ")}));
}

TEST_F(ArgumentsTest, NamesLoseTheirFirstFourCharacters) {
  ASSERT_TRUE(AddPendingResource("PosNDIWidth", kDec, "1", Count));
  ASSERT_TRUE(AddPendingResource("PosNxyz", kDec, "2", Count));
  ASSERT_TRUE(AddPendingResource("abc", kDec, "3", Count));
  ASSERT_TRUE(AddPendingResource("PosNDIWidthX", kDec, "4", Count));
  ASSERT_TRUE(AddPendingResource("posndiwidth", kDec, "5", Count));
  BuildResourceArgs(5);
  EXPECT_EQ(ResourceArgCount, 5);
  EXPECT_STREQ(ResourceArgs[0].name, "diWidth");
  EXPECT_STREQ(ResourceArgs[1].name, "xyz");
  EXPECT_STREQ(ResourceArgs[2].name, "");
  EXPECT_STREQ(ResourceArgs[3].name, "DIWidthX");
  EXPECT_STREQ(ResourceArgs[4].name, "diwidth");
  EXPECT_EQ(ResourceArgs[2].value, 3);
}

TEST_F(ArgumentsTest, CountAboveRowsGivesEmptyRecords) {
  ASSERT_TRUE(AddPendingResource("PosNRows", kDec, "2", Count));
  BuildResourceArgs(3);
  EXPECT_EQ(ResourceArgCount, 3);
  EXPECT_STREQ(ResourceArgs[1].name, "");
  EXPECT_EQ(ResourceArgs[1].value, 0);
  LogResourceArgs(ResourceArgs, 3);
  EXPECT_EQ(LoggedLines(),
            (Lines{"     1: Rows   ", "               (2)  ", "     2:    ", "     3:    "}));
}

TEST_F(ArgumentsTest, ZeroCountBuildsAndLogsNothing) {
  ASSERT_TRUE(AddPendingResource("PosNRows", kDec, "2", Count));
  BuildResourceArgs(0);
  EXPECT_EQ(ResourceArgCount, 0);
  LogResourceArgs(ResourceArgs, 0);
  EXPECT_TRUE(LoggedLines().empty());
}

TEST_F(ArgumentsTest, ConversionStaysInsideTheArray) {
  for (int i = 0; i < 25; ++i) ASSERT_TRUE(AddPendingResource("PosNRow", kDec, "1", Count));
  BuildResourceArgs(kResourceArgCapacity + 5);
  EXPECT_EQ(ResourceArgCount, kResourceArgCapacity);
}

TEST_F(ArgumentsTest, UnknownTypeAddsNothing) {
  EXPECT_FALSE(AddPendingResource("PosNRows", "", "1", Count));
  EXPECT_FALSE(AddPendingResource("PosNRows", "Float", "1", Count));
  EXPECT_EQ(Count, 0);
  EXPECT_EQ(ArrayRes[0].tag, 0);
  EXPECT_TRUE(ShellRecord().empty());
}

TEST_F(ArgumentsTest, ClearingZeroesTheTable) {
  ASSERT_TRUE(AddPendingResource("PosSText", kString, "abc", Count));
  BuildResourceArgs(1);
  ClearArgumentTable();
  EXPECT_EQ(ArrayRes[0].tag, 0);
  EXPECT_EQ(ArrayRes[0].value, 0);
  EXPECT_EQ(ArrayRes[0].name[0], '\0');
  EXPECT_EQ(ResourceArgs[0].name, nullptr);
  EXPECT_EQ(ResourceArgCount, 0);
}

TEST_F(ArgumentsTest, LongEchoLinesAreKeptWhole) {
  const std::string name = "PosS" + std::string(98, 'n');
  const std::string value(253, 'v');
  ASSERT_TRUE(AddPendingResource(name.c_str(), kString, value.c_str(), Count));
  BuildResourceArgs(1);
  LogResourceArgs(ResourceArgs, 1);
  EXPECT_EQ(LoggedLines(), (Lines{"     1: " + std::string(98, 'n') + "   ", "  " + value + "    "}));
}

}  // namespace
