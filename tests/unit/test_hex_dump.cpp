// The titled hex dump: title and count lines, then one row per 16 bytes with
// its offset, hex groups and text column; rows checked against a plain
// printf formatting of the same bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "decode/hex_dump.h"
#include "tests/support/recording_shell.h"

namespace {

std::vector<unsigned char> Counting(std::size_t length, unsigned start) {
  std::vector<unsigned char> bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<unsigned char>(start + i);
  return bytes;
}

// The rows one printf conversion at a time: "   %04X: ", "%02X " per byte,
// " | ", the text column ('.' outside 0x20..0x7E) and the newline.
Lines ReferenceRows(const std::vector<unsigned char>& bytes) {
  Lines rows;
  char piece[32];
  for (std::size_t at = 0; at < bytes.size(); at += 16) {
    std::snprintf(piece, sizeof piece, "   %04zX: ", at);
    std::string row = piece, text;
    for (std::size_t i = at; i < bytes.size() && i < at + 16; ++i) {
      std::snprintf(piece, sizeof piece, "%02X ", bytes[i]);
      row += piece;
      text += (bytes[i] >= 0x20 && bytes[i] <= 0x7E) ? static_cast<char>(bytes[i]) : '.';
    }
    rows.push_back(row + " | " + text + "\n");
  }
  return rows;
}

Lines Dump(const char* title, const std::vector<unsigned char>& bytes) {
  ResetShellRecord();
  HexDump(title, bytes.data(), static_cast<std::int32_t>(bytes.size()));
  EXPECT_EQ(OpenStatusLogBatches(), 0);
  EXPECT_EQ(BatchedLineCount(), static_cast<int>((bytes.size() + 15) / 16)) << "the rows go in one batch";
  EXPECT_TRUE(ShownBoxes().empty());
  return LoggedLines();
}

void Collect(void* context, const char* line, std::size_t length) {
  EXPECT_EQ(std::strlen(line), length);
  static_cast<Lines*>(context)->push_back(line);
}

}  // namespace

TEST(HexDump, RowsOfBlocksUpToAndBeyondSixteenBits) {
  const struct {
    std::size_t length;
    unsigned first;
    std::string lastRow;
  } kCases[] = {
      {1, 'A', "   0000: 41  | A\n"},
      {16, 0x30, "   0000: 30 31 32 33 34 35 36 37 38 39 3A 3B 3C 3D 3E 3F  | 0123456789:;<=>?\n"},
      {17, 0x41, "   0010: 51  | Q\n"},
      {32, 0x31, "   0010: 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50  | ABCDEFGHIJKLMNOP\n"},
      {100, 0, "   0060: 60 61 62 63  | `abc\n"},
      {256, 0, "   00F0: F0 F1 F2 F3 F4 F5 F6 F7 F8 F9 FA FB FC FD FE FF  | ................\n"},
      {4096, 0, "   0FF0: F0 F1 F2 F3 F4 F5 F6 F7 F8 F9 FA FB FC FD FE FF  | ................\n"},
      {65519, 0, "   FFE0: E0 E1 E2 E3 E4 E5 E6 E7 E8 E9 EA EB EC ED EE  | ...............\n"},
      {65535, 0, "   FFF0: F0 F1 F2 F3 F4 F5 F6 F7 F8 F9 FA FB FC FD FE  | ...............\n"},
      {65536, 0, "   FFF0: F0 F1 F2 F3 F4 F5 F6 F7 F8 F9 FA FB FC FD FE FF  | ................\n"},
      {70000, 7, "   11160: 67 68 69 6A 6B 6C 6D 6E 6F 70 71 72 73 74 75 76  | ghijklmnopqrstuv\n"},
  };
  for (const auto& c : kCases) {
    const auto bytes = Counting(c.length, c.first);
    const Lines lines = Dump("Read Results", bytes);
    ASSERT_EQ(lines.size(), 2 + (c.length + 15) / 16) << c.length;
    EXPECT_EQ(lines[0], "      Read Results:  ");
    EXPECT_EQ(lines[1], "      (" + std::to_string(c.length) + " bytes)");
    EXPECT_EQ(lines.back(), c.lastRow);
    EXPECT_EQ(Lines(lines.begin() + 2, lines.end()), ReferenceRows(bytes)) << c.length;
  }
}

TEST(HexDump, TextColumnShowsOnlyPrintableBytes) {
  const std::vector<unsigned char> bytes = {0x00, 0x0A, 0x1F, 0x20, 0x21, 0x7E, 0x7F, 0x80, 0xFF, 0x09};
  EXPECT_EQ(Dump(nullptr, bytes), (Lines{"      (No title):  ", "      (10 bytes)",
                                         "   0000: 00 0A 1F 20 21 7E 7F 80 FF 09  | ... !~....\n"}));
}

TEST(HexDump, NothingForNoDataOrNoLength) {
  const unsigned char bytes[4] = {1, 2, 3, 4};
  ResetShellRecord();
  for (std::int32_t length : {0, -1, INT32_MIN}) HexDump("T", bytes, length);
  HexDump("T", nullptr, 4);
  EXPECT_TRUE(ShellRecord().empty());
  EXPECT_EQ(OpenStatusLogBatches(), 0);
}

TEST(HexDump, RowFormatterHandsEveryRowToItsSink) {
  for (std::size_t length : {0u, 1u, 15u, 16u, 17u, 33u, 256u}) {
    const auto bytes = Counting(length, 0x1B);
    Lines rows;
    FormatHexDumpRows(bytes.data(), length, Collect, &rows);
    EXPECT_EQ(rows, ReferenceRows(bytes)) << length;
  }
  Lines none;
  FormatHexDumpRows(nullptr, 16, Collect, &none);
  EXPECT_TRUE(none.empty());
}
