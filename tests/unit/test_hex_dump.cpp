// The titled hex dump: title and count lines, rows of offset, hex groups and
// text column, and the row formatter's line sink.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "decode/hex_dump.h"
#include "tests/support/recording_shell.h"

namespace {

class HexDumpTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetShellRecord(); }
};

std::vector<unsigned char> Counting(std::size_t length, unsigned start = 0) {
  std::vector<unsigned char> bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<unsigned char>(start + i);
  return bytes;
}

// A row built the slow way, one printf conversion per piece, as a reference
// for the hand-rolled formatter.
std::string ReferenceRow(std::size_t offset, const unsigned char* bytes, std::size_t count) {
  char piece[32];
  std::snprintf(piece, sizeof piece, "   %04zX: ", offset);
  std::string row = piece;
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    std::snprintf(piece, sizeof piece, "%02X ", bytes[i]);
    row += piece;
    text += (bytes[i] >= 0x20 && bytes[i] <= 0x7E) ? static_cast<char>(bytes[i]) : '.';
  }
  return row + " | " + text + "\n";
}

std::vector<std::string> ReferenceRows(const std::vector<unsigned char>& bytes) {
  std::vector<std::string> rows;
  for (std::size_t at = 0; at < bytes.size(); at += 16)
    rows.push_back(ReferenceRow(at, bytes.data() + at, std::min<std::size_t>(16, bytes.size() - at)));
  return rows;
}

struct CollectedRows {
  std::vector<std::string> lines;
  bool lengthsAgree = true;
};

void Collect(void* context, const char* line, std::size_t length) {
  auto* rows = static_cast<CollectedRows*>(context);
  rows->lines.emplace_back(line);
  rows->lengthsAgree = rows->lengthsAgree && std::strlen(line) == length;
}

}  // namespace

TEST_F(HexDumpTest, OneByteGivesTitleCountAndOneShortRow) {
  const unsigned char byte = 'A';
  HexDump("Read Results", &byte, 1);
  EXPECT_EQ(LoggedLines(), (std::vector<std::string>{"      Read Results:  ", "      (1 bytes)",
                                                     "   0000: 41  | A\n"}));
  EXPECT_TRUE(ShownBoxes().empty());
}

TEST_F(HexDumpTest, SixteenBytesFillExactlyOneRow) {
  const auto bytes = Counting(16, 0x30);
  HexDump("T", bytes.data(), 16);
  const auto lines = LoggedLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "      (16 bytes)");
  EXPECT_EQ(lines[2], "   0000: 30 31 32 33 34 35 36 37 38 39 3A 3B 3C 3D 3E 3F  | 0123456789:;<=>?\n");
  EXPECT_EQ(lines[2].size(), 77u);
}

TEST_F(HexDumpTest, SeventeenBytesStartASecondRowAtOffset10) {
  const auto bytes = Counting(17, 0x41);
  HexDump("T", bytes.data(), 17);
  const auto lines = LoggedLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3], "   0010: 51  | Q\n");
}

TEST_F(HexDumpTest, FullRowAtOffset10) {
  auto bytes = Counting(32, 0x31);
  for (int i = 0; i < 16; ++i) bytes[16 + i] = static_cast<unsigned char>(0x41 + i);
  HexDump("T", bytes.data(), 32);
  EXPECT_EQ(LoggedLines().back(),
            "   0010: 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50  | ABCDEFGHIJKLMNOP\n");
}

TEST_F(HexDumpTest, TextColumnShowsOnlyPrintableBytes) {
  const unsigned char bytes[] = {0x00, 0x0A, 0x7F, 0x80, 0xFF, 0x20, 0x7E, 0x1F, 0x21, 0x09};
  HexDump("T", bytes, sizeof bytes);
  EXPECT_EQ(LoggedLines().back(), "   0000: 00 0A 7F 80 FF 20 7E 1F 21 09  | ..... ~.!.\n");
}

TEST_F(HexDumpTest, NullTitleIsNoTitle) {
  const unsigned char byte = 0;
  HexDump(nullptr, &byte, 1);
  ASSERT_FALSE(LoggedLines().empty());
  EXPECT_EQ(LoggedLines()[0], "      (No title):  ");
}

TEST_F(HexDumpTest, NoDataZeroOrNegativeLengthLogNothing) {
  const unsigned char bytes[4] = {1, 2, 3, 4};
  HexDump("T", nullptr, 4);
  HexDump("T", bytes, 0);
  HexDump("T", bytes, -1);
  HexDump("T", bytes, INT32_MIN);
  EXPECT_TRUE(ShellRecord().empty());
}

TEST_F(HexDumpTest, RowCountsOfLongerBlocks) {
  const auto hundred = Counting(100);
  HexDump("T", hundred.data(), 100);
  auto lines = LoggedLines();
  ASSERT_EQ(lines.size(), 2u + 7u);
  EXPECT_EQ(lines[1], "      (100 bytes)");
  EXPECT_EQ(lines.back(), "   0060: 60 61 62 63  | `abc\n");

  ResetShellRecord();
  const auto block = Counting(4096);
  HexDump("T", block.data(), 4096);
  lines = LoggedLines();
  ASSERT_EQ(lines.size(), 2u + 256u);
  EXPECT_EQ(lines[1], "      (4096 bytes)");
  EXPECT_EQ(lines.back().substr(0, 9), "   0FF0: ");
  // One row per line, every row as the reference formats it.
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end()), ReferenceRows(block));
}

TEST_F(HexDumpTest, BlocksBeyondSixteenBitsAreDumpedInFull) {
  const auto block = Counting(70000, 7);
  HexDump("Read Results", block.data(), 70000);
  const auto lines = LoggedLines();
  ASSERT_EQ(lines.size(), 2u + 4375u);
  EXPECT_EQ(lines[1], "      (70000 bytes)");
  EXPECT_EQ(lines[2 + 0xFFF].substr(0, 9), "   FFF0: ");
  EXPECT_EQ(lines[2 + 0x1000].substr(0, 10), "   10000: ");
  EXPECT_EQ(lines[2 + 0x1000].size(), 78u);
  EXPECT_EQ(lines.back().substr(0, 10), "   11160: ");
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end()), ReferenceRows(block));
}

TEST_F(HexDumpTest, CountLineAroundTheSixteenBitLimit) {
  for (std::int32_t length : {65519, 65520, 65535, 65536, 65537}) {
    SCOPED_TRACE(length);
    ResetShellRecord();
    const auto block = Counting(static_cast<std::size_t>(length));
    HexDump("T", block.data(), length);
    const auto lines = LoggedLines();
    ASSERT_EQ(lines.size(), 2u + (static_cast<std::size_t>(length) + 15) / 16);
    EXPECT_EQ(lines[1], "      (" + std::to_string(length) + " bytes)");
    const std::size_t last = (block.size() - 1) / 16 * 16;
    EXPECT_EQ(lines.back(), ReferenceRow(last, block.data() + last, block.size() - last));
  }
}

TEST(HexDumpRows, SinkReceivesEveryRowWithItsLength) {
  for (std::size_t length : {0u, 1u, 15u, 16u, 17u, 31u, 33u, 257u}) {
    SCOPED_TRACE(length);
    std::vector<unsigned char> bytes(length);
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<unsigned char>(i * 37 + 11);
    CollectedRows rows;
    FormatHexDumpRows(bytes.data(), length, Collect, &rows);
    EXPECT_TRUE(rows.lengthsAgree);
    EXPECT_EQ(rows.lines, ReferenceRows(bytes));
  }
  CollectedRows none;
  FormatHexDumpRows(nullptr, 16, Collect, &none);
  EXPECT_TRUE(none.lines.empty());
}

TEST(HexDumpRows, EveryByteValueFormatsLikeTheReference) {
  const auto bytes = Counting(256);
  CollectedRows rows;
  FormatHexDumpRows(bytes.data(), bytes.size(), Collect, &rows);
  EXPECT_EQ(rows.lines, ReferenceRows(bytes));
}

TEST_F(HexDumpTest, LinesOfADumpAreAddedInOneClosedBatch) {
  const auto bytes = Counting(100);
  HexDump("Read Results", bytes.data(), static_cast<std::int32_t>(bytes.size()));
  // The seven rows go in one batch; the batch is closed again.
  EXPECT_EQ(BatchedLineCount(), 7);
  EXPECT_EQ(OpenStatusLogBatches(), 0);
  EXPECT_EQ(LoggedLines().size(), 9u);
  HexDump("Read Results", bytes.data(), 0);
  EXPECT_EQ(OpenStatusLogBatches(), 0) << "nothing to dump opens no batch";
}
