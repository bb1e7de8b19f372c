// The Write dialog's data: the backslash escapes of its text, and the lines
// of its data box collected up to the 253-character limit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialogs/escapes.h"
#include "dialogs/write_text.h"
#include "tests/support/recording_shell.h"

namespace {

std::string Unknown(char c) { return std::string("--> Error, unknown escape sequence '\\") + c + "'"; }

}  // namespace

TEST(Escapes, EachSequenceGivesItsByteAndTheCountIncludesZeros) {
  std::string longest;
  while (longest.size() + 4 <= 253) longest += R"(\x41)";
  const struct {
    std::string typed;
    std::string bytes;
    Lines logged;
  } kCases[] = {
      {"Hello, world", "Hello, world", {}},
      {"", "", {}},
      {R"(\"\'\?\\\a\b\f\n\r\t\v)", "\x22\x27\x3F\x5C\x07\x08\x0C\x0A\x0D\x09\x0B", {}},
      {R"(\\n)", "\\n", {}},
      {R"(AB\x1bC)", "AB\x1b" "C", {}},
      {R"(\101)", "A", {}},
      {R"(\1012)", "A2", {}},
      {R"(\777)", "\xFF", {}},
      {R"(\400)", std::string(1, '\0'), {}},
      {R"(\18\12\13)", "\x01" "8\x0A\x0B", {}},
      {R"(\x414)", "A4", {}},
      {R"(\xfF\xA\x7e)", "\xFF\x0A~", {}},
      {R"(\xg)", std::string("\0g", 2), {}},
      {R"(\x)", std::string(1, '\0'), {}},
      {R"(A\000B\x00C\0)", std::string("A\0B\0C\0", 6), {}},
      {"\\", "\\", {}},
      {R"(abc\n\)", "abc\n\\", {}},
      {R"(\q\n)", "\\q\n", {Unknown('q')}},
      {R"(\X41\A\N\e\8\9z)", R"(\X41\A\N\e\8\9z)",
       {Unknown('X'), Unknown('A'), Unknown('N'), Unknown('e'), Unknown('8'), Unknown('9')}},
      {longest, std::string(longest.size() / 4, 'A'), {}},
  };
  for (const auto& c : kCases) {
    ResetShellRecord();
    std::string buffer = c.typed;
    const std::int32_t count = ExpandEscapes(buffer.data());
    ASSERT_EQ(count, static_cast<std::int32_t>(c.bytes.size())) << c.typed;
    EXPECT_EQ(buffer.substr(0, c.bytes.size()), c.bytes) << c.typed;
    EXPECT_EQ(buffer[c.bytes.size()], '\0') << c.typed;
    EXPECT_EQ(LoggedLines(), c.logged) << c.typed;
    EXPECT_TRUE(ShownBoxes().empty());
  }
}

// Lines are joined without line ends; the line that passes 253 characters
// in all gives only what still fits, and collecting stops there.
TEST(WriteText, LinesJoinedUpToTheLimit) {
  const struct {
    std::vector<std::string> lines;
    std::size_t taken;  // lines accepted before the one that stopped collecting
    std::string data;
  } kCases[] = {
      {{"Hello ", "wrapped", "", "\\x1b!"}, 4, "Hello wrapped\\x1b!"},
      {{std::string(200, 'a'), std::string(53, 'b'), "c", "d"}, 2, std::string(200, 'a') + std::string(53, 'b')},
      {{std::string(150, 'a'), std::string(150, 'b'), "c"}, 1, std::string(150, 'a') + std::string(103, 'b')},
      {{std::string(300, 'z')}, 0, std::string(253, 'z')},
  };
  for (const auto& c : kCases) {
    WriteText text;
    std::memset(&text, 'x', sizeof text);
    StartWriteText(&text);
    std::size_t taken = 0;
    for (const std::string& line : c.lines) {
      if (!AddWriteTextLine(&text, line.data(), static_cast<std::int32_t>(line.size()))) break;
      ++taken;
    }
    EXPECT_EQ(taken, c.taken);
    EXPECT_EQ(text.collected, static_cast<std::int32_t>(c.data.size()));
    EXPECT_EQ(std::string(text.data), c.data);
  }
}
