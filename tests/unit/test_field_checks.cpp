// Digit sets, 32-bit conversions and the shared handle and N Arguments
// refusals.
#include <gtest/gtest.h>

#include <cstdint>

#include "dialogs/field_checks.h"
#include "tests/support/recording_shell.h"

namespace {

class FieldChecksTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetShellRecord(); }
  static ShellEvent Box(const std::string& text, const std::string& caption) {
    return {ShellEvent::kMessageBox, text, caption, false};
  }
};

TEST_F(FieldChecksTest, DigitSets) {
  EXPECT_TRUE(IsDecimalText("0123456789"));
  EXPECT_FALSE(IsDecimalText(""));
  EXPECT_FALSE(IsDecimalText("-5"));
  EXPECT_FALSE(IsDecimalText(" 5"));
  EXPECT_FALSE(IsDecimalText("5 "));
  EXPECT_FALSE(IsDecimalText("+5"));
  EXPECT_TRUE(IsHexText("0123456789ABCDEFabcdef"));
  EXPECT_FALSE(IsHexText("0x10"));
  EXPECT_FALSE(IsHexText("G"));
  EXPECT_TRUE(IsAllOf("", kDecimalDigits));
}

TEST_F(FieldChecksTest, DecimalRange) {
  std::int32_t v = 7;
  EXPECT_TRUE(ParseDecimal32("2147483647", &v));
  EXPECT_EQ(v, 2147483647);
  EXPECT_TRUE(ParseDecimal32("0000000000000042", &v));
  EXPECT_EQ(v, 42);
  v = 7;
  EXPECT_FALSE(ParseDecimal32("2147483648", &v));
  EXPECT_FALSE(ParseDecimal32("99999999999999999999999999", &v));
  EXPECT_FALSE(ParseDecimal32("12a", &v));
  EXPECT_FALSE(ParseDecimal32("", &v));
  EXPECT_EQ(v, 7);
}

TEST_F(FieldChecksTest, HexRange) {
  std::int32_t v = 7;
  EXPECT_TRUE(ParseHex32("1a2B", &v));
  EXPECT_EQ(v, 0x1A2B);
  EXPECT_TRUE(ParseHex32("FFFFFFFF", &v));
  EXPECT_EQ(v, -1);
  EXPECT_TRUE(ParseHex32("80000000", &v));
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_TRUE(ParseHex32("0000000000ff", &v));  // leading zeros do not count
  EXPECT_EQ(v, 255);
  v = 7;
  EXPECT_FALSE(ParseHex32("100000000", &v));
  EXPECT_FALSE(ParseHex32("x1", &v));
  EXPECT_FALSE(ParseHex32("", &v));
  EXPECT_EQ(v, 7);
}

TEST_F(FieldChecksTest, HandleAcceptedOrRefusedWithItsBox) {
  std::int32_t handle = -9;
  EXPECT_TRUE(CheckHandleText("0", &handle));
  EXPECT_EQ(handle, 0);
  EXPECT_TRUE(CheckHandleText("2147483647", &handle));
  EXPECT_EQ(handle, 2147483647);
  EXPECT_TRUE(ShellRecord().empty());

  handle = -9;
  EXPECT_FALSE(CheckHandleText("", &handle));
  EXPECT_FALSE(CheckHandleText("-1", &handle));
  EXPECT_FALSE(CheckHandleText(" 5", &handle));
  EXPECT_FALSE(CheckHandleText("4294967297", &handle));
  EXPECT_EQ(handle, -9);
  const std::vector<ShellEvent> expected = {
      Box("Missing Handle number", "Handle Error "),
      Box("Non numeric Handle : -1 ", "Handle Error "),
      Box("Non numeric Handle :  5 ", "Handle Error "),
      Box("Handle out of range : 4294967297 ", "Handle Error "),
  };
  EXPECT_EQ(ShellRecord(), expected);  // boxes only, nothing logged
}

TEST_F(FieldChecksTest, ArgumentCount) {
  std::int32_t n = -9;
  EXPECT_TRUE(CheckArgumentCountText("", 19, &n));
  EXPECT_EQ(n, 0);
  EXPECT_TRUE(CheckArgumentCountText("19", 19, &n));
  EXPECT_EQ(n, 19);
  EXPECT_TRUE(ShellRecord().empty());

  n = -9;
  EXPECT_FALSE(CheckArgumentCountText("2a", 20, &n));
  EXPECT_FALSE(CheckArgumentCountText("20", 19, &n));
  EXPECT_FALSE(CheckArgumentCountText("99999999999", 20, &n));
  EXPECT_EQ(n, -9);
  const std::vector<ShellEvent> expected = {
      Box("Non Numeric Argument : 2a ", "Argument Error "),
      Box("Too many arguments : 20 ", "Argument Error "),
      Box("Too many arguments : 99999999999 ", "Argument Error "),
  };
  EXPECT_EQ(ShellRecord(), expected);
}

TEST_F(FieldChecksTest, LongFieldTextIsQuotedWhole) {
  const std::string text(253, '7');
  std::int32_t handle = 0;
  EXPECT_FALSE(CheckHandleText(text.c_str(), &handle));
  ASSERT_EQ(ShownBoxes().size(), 1u);
  EXPECT_EQ(ShownBoxes()[0].text, "Handle out of range : " + text + " ");
}

}  // namespace
