// The numeric fields of the dialogs: the handle, N Arguments and buffer
// size fields with their refusal texts and captions, the hexadecimal
// conversion, and the guarded read buffer.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "dialogs/field_checks.h"
#include "dialogs/read_checks.h"
#include "tests/support/recording_shell.h"

namespace {

const std::string kZeros(250, '0'), kSevens(300, '7'), kLong(253, '7');

struct FieldCase {
  std::string text;
  std::int32_t value;   // the value taken; -9 (left alone) when refused
  std::string refusal;  // "" when taken
};

// Runs check over the cases: a refusal is one box, under nonDigitCaption
// for a text holding a non-digit and under caption otherwise; nothing is
// ever logged.
template <typename Check>
void ExpectField(const std::vector<FieldCase>& cases, Check check, const char* caption,
                 const char* nonDigitCaption) {
  for (const FieldCase& c : cases) {
    ResetShellRecord();
    std::int32_t value = -9;
    EXPECT_EQ(check(c.text.c_str(), &value), c.refusal.empty()) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
    const bool digits = c.text.find_first_not_of("0123456789") == std::string::npos;
    const Events expected = c.refusal.empty()
                                ? Events{}
                                : Events{BoxEvent(c.refusal, !c.text.empty() && !digits ? nonDigitCaption : caption)};
    EXPECT_EQ(ShellRecord(), expected) << c.text;
  }
}

}  // namespace

TEST(FieldChecks, HandleField) {
  ExpectField({{"0", 0, ""},
               {"2147483647", INT32_MAX, ""},
               {kZeros + "7", 7, ""},
               {"", -9, "Missing Handle number"},
               {"-1", -9, "Non numeric Handle : -1 "},
               {" 5", -9, "Non numeric Handle :  5 "},
               {"5 ", -9, "Non numeric Handle : 5  "},
               {"+5", -9, "Non numeric Handle : +5 "},
               {"0x10", -9, "Non numeric Handle : 0x10 "},
               {"-2147483649", -9, "Non numeric Handle : -2147483649 "},
               {"2147483648", -9, "Handle out of range : 2147483648 "},
               {"4294967297", -9, "Handle out of range : 4294967297 "},
               {kLong, -9, "Handle out of range : " + kLong + " "}},
              CheckHandleText, "Handle Error ", "Handle Error ");
}

TEST(FieldChecks, ArgumentCountField) {
  for (std::int32_t capacity : {19, 20}) {
    const std::string over = std::to_string(capacity + 1);
    ExpectField({{"", 0, ""},
                 {"0", 0, ""},
                 {std::to_string(capacity), capacity, ""},
                 {kZeros + "19", 19, ""},
                 {over, -9, "Too many arguments : " + over + " "},
                 {"100", -9, "Too many arguments : 100 "},
                 {"101", -9, "Too many arguments : 101 "},
                 {"2147483648", -9, "Too many arguments : 2147483648 "},
                 {kSevens, -9, "Too many arguments : " + kSevens + " "},
                 {"2a", -9, "Non Numeric Argument : 2a "},
                 {" 5", -9, "Non Numeric Argument :  5 "},
                 {"-0", -9, "Non Numeric Argument : -0 "}},
                [capacity](const char* text, std::int32_t* n) { return CheckArgumentCountText(text, capacity, n); },
                "Argument Error ", "Argument Error ");
  }
}

// The non-numeric refusal alone has a caption without the trailing blank.
TEST(FieldChecks, BufferSizeField) {
  ExpectField({{"80", 80, ""},
               {"0", 0, ""},
               {"000016", 16, ""},
               {"2147483645", 2147483645, ""},
               {"", -9, "Missing Buffer Size"},
               {"-1", -9, "Non numeric Buffer Size : -1 "},
               {" 8", -9, "Non numeric Buffer Size :  8 "},
               {"2147483646", -9, "Buffer Size too large : 2147483646 "},
               {"2147483648", -9, "Buffer Size too large : 2147483648 "},
               {kSevens, -9, "Buffer Size too large : " + kSevens + " "}},
              CheckBufferSizeText, "Buffer Size Error ", "Buffer Size Error");
}

TEST(FieldChecks, HexValuesTakeAtMostEightDigitsAfterLeadingZeros) {
  const struct {
    const char* text;
    bool taken;
    std::int32_t value;
  } kCases[] = {
      {"1a2B", true, 0x1A2B},    {"09afAF", true, 0x09AFAF}, {"FFFFFFFF", true, -1},   {"80000000", true, INT32_MIN},
      {"7fffffff", true, INT32_MAX}, {"0000000000ff", true, 255}, {"0", true, 0},       {"100000000", false, -9},
      {"x1", false, -9},          {"", false, -9},            {"fg", false, -9},       {"G", false, -9},
  };
  for (const auto& c : kCases) {
    std::int32_t value = -9;
    EXPECT_EQ(ParseHex32(c.text, &value), c.taken) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
}

// The data area lies between two guard bytes; what the device did with it
// is checked after the call.
TEST(ReadChecks, GuardBytesAndTheCountShown) {
  const struct {
    std::int32_t size, result;
    bool before, after;  // guard byte changed
    std::int32_t shown;
    Lines lines;
  } kCases[] = {
      {80, 16, false, false, 16, {}},
      {80, 80, false, false, 80, {}},
      {80, 0, false, false, 0, {}},
      {80, -1, false, false, -1, {}},
      {80, 81, false, false, 80, {"REVEDIZ: Device returned 81 bytes for a buffer of 80; showing 80"}},
      {8, 8, true, false, 8, {"REVEDIZ: Device wrote outside the read buffer (guard byte before changed)"}},
      {8, 3, false, true, 3, {"REVEDIZ: Device wrote outside the read buffer (guard byte after changed)"}},
      {8, -1, true, true, -1, {"REVEDIZ: Device wrote outside the read buffer (guard byte before and after changed)"}},
      {0, 16, false, true, 0,
       {"REVEDIZ: Device returned 16 bytes for a buffer of 0; showing 0",
        "REVEDIZ: Device wrote outside the read buffer (guard byte after changed)"}},
  };
  for (const auto& c : kCases) {
    ResetShellRecord();
    unsigned char* block = TakeReadBuffer(c.size, "n");
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[0], 0xBB);
    EXPECT_EQ(block[c.size + 1], 0xBB);
    std::memset(block + 1, 0x5A, static_cast<std::size_t>(c.size));
    if (c.before) block[0] = 0;
    if (c.after) block[c.size + 1] = 'x';
    EXPECT_EQ(CheckReadResult(block, c.size, c.result), c.shown);
    ReleaseReadBuffer(block);
    EXPECT_EQ(LoggedLines(), c.lines);
    EXPECT_TRUE(ShownBoxes().empty());
  }
}
