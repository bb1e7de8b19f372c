// The resource list reader (line ends, long lines, blank lines, a missing
// file, a read error) and the two selection-to-file tables.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "resources/resource_files.h"
#include "tests/support/recording_shell.h"

namespace {

void Collect(const char* entry, void* context) {
  static_cast<std::vector<std::string>*>(context)->push_back(entry);
}

class ResourceListReaderTest : public ::testing::Test {
 protected:
  // A file of its own per test: ctest may run the tests side by side.
  void SetUp() override {
    ResetShellRecord();
    file_ = std::string("READER_") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".DAT";
  }
  void TearDown() override { std::remove(file_.c_str()); }

  // Writes bytes exactly as given (binary), then reads the file back.
  std::vector<std::string> ReadBack(const std::string& bytes, int* result = nullptr) {
    std::FILE* f = std::fopen(file_.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    std::vector<std::string> entries;
    const int r = ReadResourceList(file_.c_str(), Collect, &entries);
    if (result) *result = r;
    return entries;
  }

  std::string file_;
};

using Entries = std::vector<std::string>;

TEST_F(ResourceListReaderTest, DocumentedFormatGivesOneEntryPerLineInOrder) {
  int result = -1;
  EXPECT_EQ(ReadBack("PosNDIWidth\nPosNRows\nPosSText\n", &result),
            (Entries{"PosNDIWidth", "PosNRows", "PosSText"}));
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(ShellRecord().empty());
}

TEST_F(ResourceListReaderTest, CrLfAndLfGiveTheSameEntries) {
  const Entries expected{"PosSystem", "", "  blanks kept  "};
  EXPECT_EQ(ReadBack("PosSystem\r\n\r\n  blanks kept  \r\n"), expected);
  EXPECT_EQ(ReadBack("PosSystem\n\n  blanks kept  \n"), expected);
}

TEST_F(ResourceListReaderTest, BlankLineGivesEmptyEntryInPlace) {
  EXPECT_EQ(ReadBack("a\n\nb\n"), (Entries{"a", "", "b"}));
  EXPECT_EQ(ReadBack("\n"), (Entries{""}));
}

TEST_F(ResourceListReaderTest, LastLineWithoutNewlineCounts) {
  EXPECT_EQ(ReadBack("first\nlast"), (Entries{"first", "last"}));
  EXPECT_EQ(ReadBack("first\r\nlast"), (Entries{"first", "last"}));
  EXPECT_EQ(ReadBack("only"), (Entries{"only"}));
}

TEST_F(ResourceListReaderTest, LinesOfAnyLengthStayWhole) {
  const std::string line78(78, 'a');
  const std::string line79(79, 'b');
  std::string line100;
  for (int i = 0; i < 100; ++i) line100 += static_cast<char>('0' + i % 10);
  const std::string line500(500, 'c');
  EXPECT_EQ(ReadBack(line78 + "\n" + line79 + "\n" + line100 + "\r\n" + line500 + "\nend\n"),
            (Entries{line78, line79, line100, line500, "end"}));
  // A long last line without a newline, and a CR LF split across two reads.
  EXPECT_EQ(ReadBack(line100), (Entries{line100}));
  EXPECT_EQ(ReadBack(std::string(78, 'd') + "\r\n"), (Entries{std::string(78, 'd')}));
}

TEST_F(ResourceListReaderTest, EmptyFileAddsNothing) {
  int result = -1;
  EXPECT_TRUE(ReadBack("", &result).empty());
  EXPECT_EQ(result, 0);
}

TEST_F(ResourceListReaderTest, MissingFileLogsOneLineAndNoBox) {
  std::vector<std::string> entries;
  EXPECT_EQ(ReadResourceList("PTOUCH_NOT_HERE.DAT", Collect, &entries), 1);
  EXPECT_TRUE(entries.empty());
  const std::vector<ShellEvent> expected = {
      {ShellEvent::kLogLine, " File : PTOUCH_NOT_HERE.DAT is not found.", "", false}};
  EXPECT_EQ(ShellRecord(), expected);
}

TEST_F(ResourceListReaderTest, ReadErrorEndsTheReading) {
  // A folder opens as a stream on this platform, and every read fails.
  const char* folder = "READER_TEST_FOLDER.DAT";
  std::filesystem::create_directory(folder);
  std::vector<std::string> entries;
  const int result = ReadResourceList(folder, Collect, &entries);
  std::filesystem::remove(folder);
  if (result == 1) GTEST_SKIP() << "the folder could not be opened as a stream";
  EXPECT_TRUE(entries.empty());
  EXPECT_EQ(result, 0);
}

TEST_F(ResourceListReaderTest, ShippedFilesFollowTheFormat) {
  const char* dataDir = std::getenv("REVEDIZ_DATA_DIR");
  if (dataDir == nullptr || !std::filesystem::exists(std::string(dataDir) + "/PRESOURC.DAT"))
    GTEST_SKIP() << "no data folder";
  std::vector<std::string> classes;
  ASSERT_EQ(ReadResourceList((std::string(dataDir) + "/PRESOURC.DAT").c_str(), Collect, &classes),
            0);
  ASSERT_FALSE(classes.empty());
  // Every class line names a class with a resource list.
  for (const std::string& c : classes) EXPECT_NE(ClassResourceFile(c.c_str()), nullptr) << c;
  std::vector<std::string> requests;
  ASSERT_EQ(ReadResourceList((std::string(dataDir) + "/PIOCTLRE.DAT").c_str(), Collect, &requests),
            0);
  for (const std::string& r : requests) EXPECT_NE(IoctlResourceFile(r.c_str()), nullptr) << r;
}

TEST(ResourceFileTables, ClassNamesCompareOverTheirOwnLength) {
  EXPECT_STREQ(ClassResourceFile("PosKeyboard"), "PKEYBRD.DAT");
  EXPECT_STREQ(ClassResourceFile("PosRs232c"), "PPOSRS23.DAT");
  EXPECT_STREQ(ClassResourceFile("PosPrinter"), "PPRINTER.DAT");
  EXPECT_STREQ(ClassResourceFile("PosTouch"), "PTOUCH.DAT");
  EXPECT_STREQ(ClassResourceFile("PosDisplay  (2x20)"), "PDISPLAY.DAT");  // a selection that begins with the name
  EXPECT_EQ(ClassResourceFile("PosDisp"), nullptr);
  EXPECT_EQ(ClassResourceFile("posdisplay"), nullptr);
  EXPECT_EQ(ClassResourceFile(""), nullptr);
  for (const ResourceFileRow& row : ClassResourceFiles)
    EXPECT_EQ(std::string(row.Prefix).size(), row.Length) << row.Prefix;
}

TEST(ResourceFileTables, IoctlFamiliesPickTheirList) {
  EXPECT_STREQ(IoctlResourceFile("POS_TILL_OPEN_TILL"), "PDRAWER.DAT");
  EXPECT_STREQ(IoctlResourceFile("POS_SCALE_ZERO_SCALE"), "PSCALE.DAT");
  EXPECT_STREQ(IoctlResourceFile("POS_SCAN_DISCARD_DATA"), "PSCANNER.DAT");
  EXPECT_STREQ(IoctlResourceFile("POS_SYS_GET_VALUES"), "PSYSTEM.DAT");
  EXPECT_EQ(IoctlResourceFile("POS_MSR_READ"), nullptr);
  for (const ResourceFileRow& row : IoctlResourceFiles) {
    EXPECT_EQ(std::string(row.Prefix).size(), row.Length) << row.Prefix;
    // No prefix begins another, so at most one row can match.
    int matches = 0;
    for (const ResourceFileRow& other : IoctlResourceFiles)
      if (std::string(row.Prefix).compare(0, other.Length, other.Prefix) == 0) ++matches;
    EXPECT_EQ(matches, 1) << row.Prefix;
  }
}

}  // namespace
