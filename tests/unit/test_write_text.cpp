// Collecting the Write dialog's data box lines: no line ends between them,
// and the cut at the 253-character limit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dialogs/write_text.h"

namespace {

std::string Collected(const WriteText& text) {
  return std::string(text.data, static_cast<std::size_t>(text.collected));
}

bool Add(WriteText& text, const std::string& line) {
  return AddWriteTextLine(&text, line.data(), static_cast<std::int32_t>(line.size()));
}

TEST(WriteTextTest, LinesAreJoinedWithoutLineEnds) {
  WriteText text;
  StartWriteText(&text);
  EXPECT_TRUE(Add(text, "Hello "));
  EXPECT_TRUE(Add(text, "wrapped"));
  EXPECT_TRUE(Add(text, ""));
  EXPECT_TRUE(Add(text, "\\x1b!"));
  EXPECT_EQ(Collected(text), "Hello wrapped\\x1b!");
  EXPECT_STREQ(text.data, "Hello wrapped\\x1b!");
}

TEST(WriteTextTest, ExactlyTheLimitIsTakenWhole) {
  WriteText text;
  StartWriteText(&text);
  EXPECT_TRUE(Add(text, std::string(200, 'a')));
  EXPECT_TRUE(Add(text, std::string(53, 'b')));
  EXPECT_EQ(text.collected, 253);
  EXPECT_FALSE(Add(text, "c"));  // one more passes the limit; nothing fits
  EXPECT_EQ(Collected(text), std::string(200, 'a') + std::string(53, 'b'));
}

TEST(WriteTextTest, LineThatCrossesTheLimitIsCutTo253) {
  WriteText text;
  StartWriteText(&text);
  EXPECT_TRUE(Add(text, std::string(150, 'a')));
  EXPECT_FALSE(Add(text, std::string(150, 'b')));
  EXPECT_EQ(text.collected, 253);
  EXPECT_EQ(Collected(text), std::string(150, 'a') + std::string(103, 'b'));
  EXPECT_EQ(std::strlen(text.data), 253u);
  EXPECT_EQ(text.data[253], '\0');
}

TEST(WriteTextTest, StartClearsEarlierText) {
  WriteText text;
  StartWriteText(&text);
  Add(text, std::string(253, 'z'));
  StartWriteText(&text);
  EXPECT_EQ(text.collected, 0);
  EXPECT_EQ(text.total, 0);
  EXPECT_STREQ(text.data, "");
  EXPECT_TRUE(Add(text, "ok"));
  EXPECT_EQ(Collected(text), "ok");
}

}  // namespace
