// The start-up presence check of the resource list files, and the format of
// the resource list files that ship in data/.
#include "app/startup_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/shell_globals.h"
#include "tables/code_tables.h"
#include "tests/support/recording_shell.h"

namespace fs = std::filesystem;

namespace {

// Runs each test in a fresh, empty working directory, since the check opens
// the files by their bare names.
class StartupCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetShellRecord();
    previous_ = fs::current_path();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() /
           (std::string("revediz-startup-") + info->name() + "-" + std::to_string(std::random_device{}()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(dir_);
  }
  static void CreateAllBut(const std::set<std::string>& missing) {
    for (const char* name : kStartupFiles)
      if (!missing.count(name)) std::ofstream(name) << "PosNEntry\n";
  }

  fs::path previous_;
  fs::path dir_;
};

TEST_F(StartupCheckTest, AllFilesPresentPassesSilently) {
  CreateAllBut({});
  EXPECT_EQ(StartupFileCheck(), 0);
  EXPECT_TRUE(ShellRecord().empty());
}

TEST_F(StartupCheckTest, EmptyFilesCountAsPresent) {
  for (const char* name : kStartupFiles) std::ofstream{name};
  EXPECT_EQ(StartupFileCheck(), 0);
  EXPECT_TRUE(ShellRecord().empty());
}

TEST_F(StartupCheckTest, SingleMissingFileIsNamedInOneDefaultCaptionBox) {
  CreateAllBut({"PTOUCH.DAT"});
  EXPECT_EQ(StartupFileCheck(), 1);
  const std::vector<ShellEvent> expected = {
      {ShellEvent::kMessageBox, "File PTOUCH.DAT is missing.", "", true}};
  EXPECT_EQ(ShellRecord(), expected);  // no log line: the log does not exist yet
}

TEST_F(StartupCheckTest, OnlyTheFirstMissingFileInOrderIsNamed) {
  CreateAllBut({"PTOUCH.DAT", "PMSR.DAT", "PDISPLAY.DAT"});
  EXPECT_EQ(StartupFileCheck(), 1);
  ASSERT_EQ(ShellRecord().size(), 1u);
  EXPECT_EQ(ShellRecord()[0].text, "File PDISPLAY.DAT is missing.");
}

TEST_F(StartupCheckTest, NoFilesAtAllNamesTheClassList) {
  EXPECT_EQ(StartupFileCheck(), 1);
  ASSERT_EQ(ShellRecord().size(), 1u);
  EXPECT_EQ(ShellRecord()[0].text, "File PRESOURC.DAT is missing.");
  EXPECT_TRUE(ShellRecord()[0].defaultCaption);
}

// Removing any one of the sixteen names, in turn, is caught and named.
TEST_F(StartupCheckTest, EveryFileIsChecked) {
  CreateAllBut({});
  for (const char* name : kStartupFiles) {
    SCOPED_TRACE(name);
    ResetShellRecord();
    fs::rename(name, std::string(name) + ".away");
    EXPECT_EQ(StartupFileCheck(), 1);
    ASSERT_EQ(ShownBoxes().size(), 1u);
    EXPECT_EQ(ShownBoxes()[0].text, "File " + std::string(name) + " is missing.");
    fs::rename(std::string(name) + ".away", name);
  }
}

// The checked order is the order the files are listed in.
TEST_F(StartupCheckTest, FilesAreCheckedInTheirListedOrder) {
  const std::vector<std::string> expected = {
      "PRESOURC.DAT", "PIOCTLRE.DAT", "PSYSTEM.DAT",  "PDEVICE.DAT",
      "PALARM.DAT",   "PDISPLAY.DAT", "PDRAWER.DAT",  "PKEYBRD.DAT",
      "PMSR.DAT",     "PNVRAM.DAT",   "PPOWER.DAT",   "PPRINTER.DAT",
      "PPOSRS23.DAT", "PSCALE.DAT",   "PSCANNER.DAT", "PTOUCH.DAT"};
  // Creating the files one at a time in this order moves the reported name
  // along the list.
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i]);
    ResetShellRecord();
    EXPECT_EQ(StartupFileCheck(), 1);
    ASSERT_EQ(ShownBoxes().size(), 1u);
    EXPECT_EQ(ShownBoxes()[0].text, "File " + expected[i] + " is missing.");
    std::ofstream(expected[i]) << "x\n";
  }
  ResetShellRecord();
  EXPECT_EQ(StartupFileCheck(), 0);
  EXPECT_TRUE(ShellRecord().empty());
}

TEST(StartupDefaults, AreSetToTheirTexts) {
  SetStartupDefaults();
  EXPECT_STREQ(DefaultApplicationName, "REVEDIZ");
  EXPECT_STREQ(DefaultResourceFile, "C:\\VORN");
  EXPECT_STREQ(DefaultDeviceName, "DEVNAME");
  EXPECT_STREQ(DefaultDeviceClass, "PosDisplay");
}

// --- The shipped resource list files -------------------------------------

fs::path DataDir() {
  const char* dir = std::getenv("REVEDIZ_DATA_DIR");
  return dir ? fs::path(dir) : fs::path();
}

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Splits on LF; the text must end with LF, so no remainder is dropped.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

class DataFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(DataDir().empty()) << "REVEDIZ_DATA_DIR is not set";
    ASSERT_TRUE(fs::is_directory(DataDir())) << DataDir();
  }
  static std::vector<std::string> Entries(const char* name) {
    return Lines(ReadWhole(DataDir() / name));
  }
};

TEST_F(DataFiles, HoldExactlyTheSixteenFiles) {
  std::set<std::string> present;
  for (const auto& entry : fs::directory_iterator(DataDir()))
    present.insert(entry.path().filename().string());
  const std::set<std::string> expected(std::begin(kStartupFiles), std::end(kStartupFiles));
  EXPECT_EQ(present, expected);
}

// Every line ends with LF (the last one too), holds 1 to 78 characters, and
// has no CR, tab or blank, since entries are taken verbatim.
TEST_F(DataFiles, EveryLineFollowsTheLineFormat) {
  for (const char* name : kStartupFiles) {
    SCOPED_TRACE(name);
    const std::string text = ReadWhole(DataDir() / name);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    for (const std::string& line : Lines(text)) {
      SCOPED_TRACE(line);
      EXPECT_GE(line.size(), 1u);
      EXPECT_LE(line.size(), 78u);
      EXPECT_EQ(line.find_first_of("\r\t "), std::string::npos);
    }
  }
}

TEST_F(DataFiles, ClassListNamesTheFourteenClassesInOrder) {
  const std::vector<std::string> classes = {
      "PosSystem", "PosDevice", "PosAlarm",   "PosDisplay", "PosDrawer",
      "PosKeyboard", "PosMsr",  "PosNvram",   "PosPower",   "PosPrinter",
      "PosRs232c", "PosScale",  "PosScanner", "PosTouch"};
  const std::vector<std::string> lines = Entries("PRESOURC.DAT");
  ASSERT_EQ(lines.size(), classes.size());
  for (std::size_t i = 0; i < classes.size(); ++i)
    EXPECT_EQ(lines[i].compare(0, classes[i].size(), classes[i]), 0) << lines[i];
}

// Each request line starts with the prefix of the family whose resource list
// it selects; the families come in a block each.
TEST_F(DataFiles, RequestListNamesRequestsOfTheElevenFamilies) {
  const std::vector<std::string> prefixes = {
      "POS_ALARM_", "POS_DSP_",  "POS_KBD_", "POS_POWER_", "POS_PRN_",  "POS_RS232_",
      "POS_SCALE_", "POS_SCAN_", "POS_SYS_", "POS_TILL_",  "POS_TOUCH_"};
  const std::vector<std::string> lines = Entries("PIOCTLRE.DAT");
  EXPECT_EQ(lines.size(), 45u);
  EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), lines.size());
  std::size_t family = 0;
  for (const std::string& line : lines) {
    while (family < prefixes.size() && line.compare(0, prefixes[family].size(), prefixes[family]) != 0)
      ++family;
    ASSERT_LT(family, prefixes.size()) << line << " is out of its family block";
  }
}

// The request list offers every request of the code table, each exactly once
// and spelled as the table spells it, in the table's order.
TEST_F(DataFiles, RequestListMatchesTheRequestTable) {
  std::vector<std::string> names;
  for (const CodeName* row = IoctlRequestNames; row->Name != nullptr; ++row)
    names.push_back(row->Name);
  EXPECT_EQ(Entries("PIOCTLRE.DAT"), names);
}

// Resource names carry four leading characters that the argument conversion
// drops: "PosN" for a number, "PosS" for a text, then the name itself.
TEST_F(DataFiles, ResourceListsHoldPrefixedUniqueNames) {
  for (std::size_t i = 2; i < kStartupFileCount; ++i) {
    const char* name = kStartupFiles[i];
    SCOPED_TRACE(name);
    const std::vector<std::string> lines = Entries(name);
    EXPECT_GE(lines.size(), 4u);
    EXPECT_LE(lines.size(), 12u);
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), lines.size());
    for (const std::string& line : lines) {
      EXPECT_TRUE(line.rfind("PosN", 0) == 0 || line.rfind("PosS", 0) == 0) << line;
      EXPECT_GT(line.size(), 4u) << line;
    }
  }
}

TEST_F(DataFiles, SystemListStartsWithTheQueueHandleEntry) {
  const std::vector<std::string> lines = Entries("PSYSTEM.DAT");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "PosNQueueHandle");
}

TEST_F(DataFiles, PrinterListOffersTheWidthSpecialCase) {
  const std::vector<std::string> lines = Entries("PPRINTER.DAT");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "PosNDIWidth"), lines.end());
}

}  // namespace
