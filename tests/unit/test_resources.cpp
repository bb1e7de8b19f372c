// The resource list files: the class-to-file and request-to-file tables
// against the reference's, the reader's entries and failures, and the
// shipped files in data/.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "resources/resource_files.h"
#include "tables/lookup.h"
#include "tests/support/recording_shell.h"
#include "tests/support/work_folder.h"
#include "tests/unit/reference_tables.h"

namespace {

struct FileRow {
  const char* prefix;  // compared over its own length
  const char* file;
};

const FileRow kClassFiles[] = {
    {"PosSystem", "PSYSTEM.DAT"},   {"PosDevice", "PDEVICE.DAT"},    {"PosAlarm", "PALARM.DAT"},
    {"PosDisplay", "PDISPLAY.DAT"}, {"PosDrawer", "PDRAWER.DAT"},    {"PosKeyboard", "PKEYBRD.DAT"},
    {"PosMsr", "PMSR.DAT"},         {"PosNvram", "PNVRAM.DAT"},      {"PosPower", "PPOWER.DAT"},
    {"PosPrinter", "PPRINTER.DAT"}, {"PosRs232c", "PPOSRS23.DAT"},   {"PosScale", "PSCALE.DAT"},
    {"PosScanner", "PSCANNER.DAT"}, {"PosTouch", "PTOUCH.DAT"},
};
const FileRow kRequestFiles[] = {
    {"POS_ALARM", "PALARM.DAT"}, {"POS_DSP", "PDISPLAY.DAT"},   {"POS_KBD", "PKEYBRD.DAT"},
    {"POS_POWER", "PPOWER.DAT"}, {"POS_PRN", "PPRINTER.DAT"},   {"POS_RS232", "PPOSRS23.DAT"},
    {"POS_SCALE", "PSCALE.DAT"}, {"POS_SCAN", "PSCANNER.DAT"},  {"POS_SYS", "PSYSTEM.DAT"},
    {"POS_TILL", "PDRAWER.DAT"}, {"POS_TOUCH", "PTOUCH.DAT"},
};

// The table's rows in order, and the lookup: the name itself and any text
// that begins with it find the file; the name less its last character, or
// in lower case, finds none.
template <std::size_t N>
void ExpectFileTable(const ResourceFileRow* rows, const char* (*find)(const char*), const FileRow (&expected)[N]) {
  for (std::size_t i = 0; i < N; ++i) {
    const std::string name = expected[i].prefix;
    EXPECT_EQ(rows[i].Prefix, name);
    EXPECT_EQ(rows[i].Length, name.size()) << name;
    EXPECT_STREQ(rows[i].File, expected[i].file) << name;
    EXPECT_STREQ(find(name.c_str()), expected[i].file);
    EXPECT_STREQ(find((name + "_X (2x20)").c_str()), expected[i].file);
    EXPECT_EQ(find(name.substr(0, name.size() - 1).c_str()), nullptr) << name;
    std::string lower = name;
    for (char& c : lower) c = static_cast<char>(std::tolower(c));
    EXPECT_EQ(find(lower.c_str()), nullptr) << name;
  }
  EXPECT_EQ(find(""), nullptr);
}

void Collect(const char* entry, void* context) { static_cast<Lines*>(context)->push_back(entry); }

Lines ReadBack(const std::string& bytes, int expectedResult = 0) {
  WriteFile("LIST.DAT", bytes);
  Lines entries;
  EXPECT_EQ(ReadResourceList("LIST.DAT", Collect, &entries), expectedResult);
  return entries;
}

}  // namespace

TEST(ResourceFileTables, ClassesAndRequestFamiliesAsListed) {
  ExpectFileTable(ClassResourceFiles, ClassResourceFile, kClassFiles);
  ExpectFileTable(IoctlResourceFiles, IoctlResourceFile, kRequestFiles);
  EXPECT_EQ(IoctlResourceFile("POS_MSR_READ"), nullptr);
}

// Every request selects the list of its family.
TEST(ResourceFileTables, EveryRequestSelectsItsFamilysList) {
  for (const RefRow& row : RefRequests()) {
    const char* expected = nullptr;
    for (const FileRow& f : kRequestFiles)
      if (row.family == std::string(f.prefix) + "_") expected = f.file;
    EXPECT_STREQ(IoctlResourceFile(row.name.c_str()), expected) << row.name;
  }
}

TEST(ResourceListReader, OneEntryPerLineInFileOrder) {
  const std::string l78(78, 'a'), l79(79, 'b'), l100 = std::string(50, 'x') + std::string(50, 'y'), l500(500, 'c');
  const struct {
    std::string bytes;
    Lines entries;
  } kCases[] = {
      {"PosNDIWidth\nPosNRows\nPosSText\n", {"PosNDIWidth", "PosNRows", "PosSText"}},
      {"PosSystem\r\n\r\n  blanks kept  \r\n", {"PosSystem", "", "  blanks kept  "}},
      {"PosSystem\n\n  blanks kept  \n", {"PosSystem", "", "  blanks kept  "}},
      {"\n", {""}},
      {"", {}},
      {"first\nlast", {"first", "last"}},
      {"first\r\nlast", {"first", "last"}},
      {"tab\there\r", {"tab\there\r"}},
      {l78 + "\n" + l79 + "\n" + l100 + "\r\n" + l500 + "\nend\n", {l78, l79, l100, l500, "end"}},
      {std::string(78, 'd') + "\r\n", {std::string(78, 'd')}},  // the CR LF split across two reads
      {l100, {l100}},
  };
  WorkFolder folder;
  const int open = OpenDescriptors();
  for (const auto& c : kCases) EXPECT_EQ(ReadBack(c.bytes), c.entries) << c.bytes;
  EXPECT_EQ(OpenDescriptors(), open) << "a list file was left open";
}

TEST(ResourceListReader, MissingFileLogsOneLineAndAddsNothing) {
  WorkFolder folder;
  ResetShellRecord();
  const int open = OpenDescriptors();
  Lines entries;
  EXPECT_EQ(ReadResourceList("PTOUCH.DAT", Collect, &entries), 1);
  EXPECT_TRUE(entries.empty());
  EXPECT_EQ(ShellRecord(), Events{LogEvent(" File : PTOUCH.DAT is not found.")});
  EXPECT_EQ(OpenDescriptors(), open);
}

// A read error ends the reading; the line being read when it came is
// dropped, the complete lines before it stay.
TEST(ResourceListReader, ReadErrorDropsTheLineBeingRead) {
  WorkFolder folder;
  const int open = OpenDescriptors();
  ForceStreamErrors(true);
  const Lines entries = ReadBack("first\nsecond\npartial");
  ForceStreamErrors(false);
  EXPECT_EQ(entries, (Lines{"first", "second"}));
  EXPECT_EQ(OpenDescriptors(), open);
}

// What the dialogs need of the shipped files: every line ends with a
// newline and holds 1 to 78 characters; each class line has a list file,
// each request line names exactly one request with a list file, and each
// resource name has four leading characters to drop.
TEST(ShippedListFiles, FollowTheLineFormat) {
  const char* env = std::getenv("REVEDIZ_DATA_DIR");
  const std::string dir = env ? env : REVEDIZ_SOURCE_DATA_DIR;
  for (const char* name : kRefListFiles) {
    const std::string path = dir + "/" + name;
    const std::string text = ReadFile(path);
    ASSERT_FALSE(text.empty()) << name;
    EXPECT_EQ(text.back(), '\n') << name;
    Lines lines;
    ASSERT_EQ(ReadResourceList(path.c_str(), Collect, &lines), 0);
    const bool classes = !std::strcmp(name, "PRESOURC.DAT"), requests = !std::strcmp(name, "PIOCTLRE.DAT");
    for (const std::string& line : lines) {
      EXPECT_TRUE(line.size() > (classes || requests ? 0u : 4u) && line.size() <= 78) << name << ": " << line;
      std::int32_t code = 0;
      if (classes) {
        EXPECT_NE(ClassResourceFile(line.c_str()), nullptr) << line;
      } else if (requests) {
        EXPECT_EQ(NameToCode(line.c_str(), IoctlRequestNames, &code), 0) << line;
        EXPECT_NE(IoctlResourceFile(line.c_str()), nullptr) << line;
      }
    }
  }
}
