// ExpandEscapes: the byte each escape produces, how many characters it
// consumes, the count it returns and the lines it logs.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/escapes.h"
#include "tests/support/recording_shell.h"

namespace {

class ExpandEscapesTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetShellRecord(); }

  // Expands input and returns the bytes produced, by the returned count.
  std::string Expand(const std::string& input) {
    buffer_ = input;
    const std::int32_t count = ExpandEscapes(buffer_.data());
    EXPECT_GE(count, 0);
    EXPECT_LE(static_cast<std::size_t>(count), input.size());
    EXPECT_EQ(buffer_[static_cast<std::size_t>(count)], '\0') << "output not terminated";
    return std::string(buffer_.data(), static_cast<std::size_t>(count));
  }

  std::string buffer_;
};

TEST_F(ExpandEscapesTest, PlainTextIsUnchangedAndCounted) {
  EXPECT_EQ(Expand("Hello, world"), "Hello, world");
  EXPECT_EQ(Expand(""), "");
  EXPECT_TRUE(LoggedLines().empty());
}

TEST_F(ExpandEscapesTest, EverySingleCharacterEscape) {
  EXPECT_EQ(Expand(R"(\"\'\?\\\a\b\f\n\r\t\v)"),
            std::string("\x22\x27\x3F\x5C\x07\x08\x0C\x0A\x0D\x09\x0B"));
  EXPECT_TRUE(LoggedLines().empty());
}

TEST_F(ExpandEscapesTest, EscapedBackslashDoesNotStartAnotherEscape) {
  EXPECT_EQ(Expand(R"(\\n)"), "\\n");
  EXPECT_TRUE(LoggedLines().empty());
}

TEST_F(ExpandEscapesTest, EscapeInsideTextAsTyped) {
  EXPECT_EQ(Expand(R"(AB\x1bC)"), std::string("AB\x1b" "C"));
}

TEST_F(ExpandEscapesTest, OctalTakesAtMostThreeDigitsModulo256) {
  EXPECT_EQ(Expand(R"(\101)"), "A");
  EXPECT_EQ(Expand(R"(\1012)"), "A2");
  EXPECT_EQ(Expand(R"(\777)"), "\xFF");
  EXPECT_EQ(Expand(R"(\400)"), std::string(1, '\0'));  // 256 wraps to 0
  EXPECT_EQ(Expand(R"(\7)"), "\x07");
  EXPECT_EQ(Expand(R"(\18)"), "\x01" "8");  // 8 is no octal digit
  EXPECT_EQ(Expand(R"(\12\13)"), "\x0A\x0B");
}

TEST_F(ExpandEscapesTest, HexTakesAtMostTwoDigitsEitherCase) {
  EXPECT_EQ(Expand(R"(\x414)"), "A4");
  EXPECT_EQ(Expand(R"(\xfF)"), "\xFF");
  EXPECT_EQ(Expand(R"(\xA)"), "\x0A");
  EXPECT_EQ(Expand(R"(\x7e)"), "~");
}

TEST_F(ExpandEscapesTest, HexWithoutDigitsGivesZeroByte) {
  EXPECT_EQ(Expand(R"(\xg)"), std::string("\0g", 2));
  EXPECT_EQ(Expand(R"(\x)"), std::string(1, '\0'));
  EXPECT_TRUE(LoggedLines().empty());
}

TEST_F(ExpandEscapesTest, ZeroBytesAreCountedAndLaterBytesKept) {
  EXPECT_EQ(Expand(R"(\0)"), std::string(1, '\0'));
  EXPECT_EQ(Expand(R"(A\000B\x00C\0)"), std::string("A\0B\0C\0", 6));
}

TEST_F(ExpandEscapesTest, UnknownEscapeIsLoggedAndKept) {
  EXPECT_EQ(Expand(R"(\q)"), "\\q");
  EXPECT_EQ(LoggedLines(), std::vector<std::string>{"--> Error, unknown escape sequence '\\q'"});
}

TEST_F(ExpandEscapesTest, EscapesAreCaseSensitiveAndEachUnknownIsLogged) {
  EXPECT_EQ(Expand(R"(\X41\A\N\e\8\9z)"), R"(\X41\A\N\e\8\9z)");
  EXPECT_EQ(LoggedLines(), (std::vector<std::string>{
                               "--> Error, unknown escape sequence '\\X'",
                               "--> Error, unknown escape sequence '\\A'",
                               "--> Error, unknown escape sequence '\\N'",
                               "--> Error, unknown escape sequence '\\e'",
                               "--> Error, unknown escape sequence '\\8'",
                               "--> Error, unknown escape sequence '\\9'",
                           }));
  EXPECT_TRUE(ShownBoxes().empty());
}

TEST_F(ExpandEscapesTest, DecodingGoesOnAfterUnknownEscape) {
  // The character after an unknown escape is consumed with it; the escape
  // that follows is still decoded.
  EXPECT_EQ(Expand(R"(\q\n)"), "\\q\n");
}

TEST_F(ExpandEscapesTest, LoneTrailingBackslashIsKept) {
  EXPECT_EQ(Expand("\\"), "\\");
  EXPECT_EQ(Expand("abc\\"), "abc\\");
  EXPECT_EQ(Expand(R"(\n\)"), "\n\\");
  EXPECT_TRUE(LoggedLines().empty());
}

TEST_F(ExpandEscapesTest, FullDataBufferConvertsInPlace) {
  // The longest text the Write dialog collects, all escapes.
  std::string input;
  while (input.size() + 4 <= 253) input += R"(\x41)";
  const std::string out = Expand(input);
  EXPECT_EQ(out, std::string(input.size() / 4, 'A'));
}

}  // namespace
