// Resources and arguments: the class and request tables of list files, the list reader, and the argument table with its
// records and echo, read back.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "resources/arguments.h"
#include "resources/logged_row.h"
#include "resources/resource_files.h"
#include "tables/code_tables.h"
#include "tests/support/recording_shell.h"

namespace {

struct FileRow { const char* name; const char* file; };  // the name is compared over its own length

const FileRow kClassFiles[] = {
    {"PosSystem", "PSYSTEM.DAT"},  {"PosDevice", "PDEVICE.DAT"},    {"PosAlarm", "PALARM.DAT"},
    {"PosDisplay", "PDISPLAY.DAT"}, {"PosDrawer", "PDRAWER.DAT"},   {"PosKeyboard", "PKEYBRD.DAT"},
    {"PosMsr", "PMSR.DAT"},        {"PosNvram", "PNVRAM.DAT"},      {"PosPower", "PPOWER.DAT"},
    {"PosPrinter", "PPRINTER.DAT"}, {"PosRs232c", "PPOSRS23.DAT"},  {"PosScale", "PSCALE.DAT"},
    {"PosScanner", "PSCANNER.DAT"}, {"PosTouch", "PTOUCH.DAT"},
};
const FileRow kRequestFiles[] = {
    {"POS_ALARM", "PALARM.DAT"}, {"POS_DSP", "PDISPLAY.DAT"},  {"POS_KBD", "PKEYBRD.DAT"},  {"POS_POWER", "PPOWER.DAT"},
    {"POS_PRN", "PPRINTER.DAT"}, {"POS_RS232", "PPOSRS23.DAT"}, {"POS_SCALE", "PSCALE.DAT"}, {"POS_SCAN", "PSCANNER.DAT"},
    {"POS_SYS", "PSYSTEM.DAT"},  {"POS_TILL", "PDRAWER.DAT"},  {"POS_TOUCH", "PTOUCH.DAT"},
};

// The rows in their order; the name and any text that begins with it find the file, the name less its last character or
// with a small first letter none.
template <std::size_t N>
void ExpectFileTable(const ResourceFileRow* rows, const char* (*find)(const char*), const FileRow (&expected)[N]) {
  for (std::size_t i = 0; i < N; ++i) {
    const std::string name = expected[i].name;
    EXPECT_EQ(rows[i].Prefix + std::string("/") + std::to_string(rows[i].Length) + "/" + rows[i].File,
              name + "/" + std::to_string(name.size()) + "/" + expected[i].file);
    EXPECT_STREQ(find(name.c_str()), expected[i].file);
    EXPECT_STREQ(find((name + "_X (2x20)").c_str()), expected[i].file);
    EXPECT_TRUE(!find(name.substr(0, name.size() - 1).c_str()) && !find(("p" + name.substr(1)).c_str())) << name;
  }
  EXPECT_EQ(find(""), nullptr);
}

void Collect(const char* entry, void* context) { static_cast<Lines*>(context)->push_back(entry); }

constexpr int kHex = 0, kDec = 1, kString = 2;

class Arguments : public ::testing::Test {
 protected:
  void SetUp() override { ResetShellRecord(), ClearArgumentTable(), Count = 0; }
  void TearDown() override { ClearArgumentTable(); }
  void AddRows(const std::vector<std::string>& names, int type, const char* value) {
    for (const std::string& name : names)
      ASSERT_TRUE(AddPendingResource(name.c_str(), ArgumentTypeNames[type], value, Count)) << name;
  }
  // Row 0 of an empty table from the operator's fields: the rows added, the boxes shown, the echo of its record.
  std::tuple<std::int32_t, Events, Lines> AddOne(const std::string& name, const char* type, const std::string& value) {
    SetUp();
    const bool added = AddPendingResource(name.c_str(), type, value.c_str(), Count);
    EXPECT_EQ(added, Count == 1) << value;
    const Events shown = ShellRecord();
    BuildResourceArgs(1);
    return {Count, shown, Echo(1)};
  }
  Lines Echo(std::int32_t n, const ResourceArg* records = ResourceArgs) {
    ResetShellRecord();
    LogResourceArgs(records, n);
    return LoggedLines();
  }
  std::int32_t Count = 0;
};

std::string Value(const std::string& shown) { return "               (" + shown + ")  "; }

}  // namespace

TEST(ResourceFileTables, ClassesAndRequestFamiliesSelectTheirLists) {
  ExpectFileTable(ClassResourceFiles, ClassResourceFile, kClassFiles);
  ExpectFileTable(IoctlResourceFiles, IoctlResourceFile, kRequestFiles);
  EXPECT_EQ(IoctlResourceFile("POS_MSR_READ"), nullptr);
}

// One entry per line whatever its length or line end; a missing file logs one line; a read error drops the line being
// read. No stream stays open.
TEST(ResourceListReader, EntriesInFileOrder) {
  const std::string l78(78, 'a'), l79(79, 'b'), l100 = std::string(50, 'x') + std::string(50, 'y'), l500(500, 'c');
  const struct { std::string bytes; Lines entries; bool failingStream; } kCases[] = {
      {"PosNDIWidth\nPosNRows\nPosSText\n", {"PosNDIWidth", "PosNRows", "PosSText"}, false},
      {"PosSystem\r\n\r\n  blanks kept  \r\n", {"PosSystem", "", "  blanks kept  "}, false},
      {"\n", {""}, false}, {"", {}, false}, {"first\nlast", {"first", "last"}, false}, {"tab\r", {"tab\r"}, false},
      {l78 + "\n" + l79 + "\n" + l100 + "\r\n" + l500 + "\nend\n", {l78, l79, l100, l500, "end"}, false},
      {std::string(78, 'd') + "\r\n", {std::string(78, 'd')}, false},  // CR and LF in two reads
      {l100, {l100}, false}, {"first\nsecond\npartial", {"first", "second"}, true}, {"first\n" + l100, {"first"}, true},
  };
  WorkFolder folder;
  const int open = OpenDescriptors();
  for (const auto& c : kCases) {
    WriteFile("LIST.DAT", c.bytes);
    ResetShellRecord();
    Lines entries;
    SetStreamFault(c.failingStream ? StreamFault::kError : StreamFault::kNone);
    EXPECT_EQ(ReadResourceList("LIST.DAT", Collect, &entries), 0);
    SetStreamFault(StreamFault::kNone);
    EXPECT_EQ(std::tuple(entries, ShellRecord()), std::tuple(c.entries, Events{})) << c.bytes;
  }
  Lines entries;
  EXPECT_EQ(ReadResourceList("PTOUCH.DAT", Collect, &entries), 1);
  EXPECT_EQ(std::tuple(entries, ShellRecord()), std::tuple(Lines{}, Events{LogEvent(" File : PTOUCH.DAT is not found.")}));
  EXPECT_EQ(OpenDescriptors(), open) << "a list file was left open";
}

// Each case from an empty table: the row added, or refused with its box (the tag written stays in the row), then the
// echo of the record built from it, which reads back as the list's type and a value that adds the same row.
TEST_F(Arguments, OneRowFromNameTypeAndValue) {
  const std::string sevens(300, '7'), v253(253, 'v'), name102 = std::string("PosN").append(98, 'q');
  const std::string name103 = name102 + "q", rows = "     1: Rows   ", text = "     1: Text   ", none = "     1:    ";
  const struct { std::string name; int type; std::string value, refusal; Lines echo; } kCases[] = {
      {"PosNRows", kHex, "1a2B", "", {rows, Value("0x1A2B")}}, {"PosNRows", kHex, "", "", {rows, Value("0xFFFFFFFF")}},
      {"PosNRows", kHex, "80000000", "", {rows, Value("0x80000000")}}, {"PosNRows", kDec, "", "", {rows, Value("-1")}},
      {"PosNRows", kDec, "2147483647", "", {rows, Value("2147483647")}}, {"PosSText", kString, "", "", {text, "      "}},
      {"PosSText", kString, "abc", "", {text, "  abc    "}}, {"PosSText", kString, v253, "", {text, "  " + v253 + "    "}},
      {"PosSText", kString, Value("1"), "", {text, "  " + Value("1") + "    "}},
      {name102, kDec, "1", "", {std::string("     1: ") + name102.substr(4) + "   ", Value("1")}},
      {"PosNRows", kHex, " 5", "Non Hexadecimal Argument :  5 ", {none, Value("0x0")}},
      {"PosNRows", kHex, "100000000", "Argument out of range : 100000000 ", {none, Value("0x0")}},
      {"PosNRows", kDec, "-5", "Non decimal Argument : -5 ", {none, Value("0")}},
      {"PosNRows", kDec, sevens, "Argument out of range : " + sevens + " ", {none, Value("0")}},
      {name103, kDec, "1", "Resource name too long : " + name103 + " ", {none}},
  };
  LoggedRow row;
  for (const auto& c : kCases) {
    const Events boxes = c.refusal.empty() ? Events{} : Events{BoxEvent(c.refusal, "Argument Error ")};
    EXPECT_EQ(AddOne(c.name, ArgumentTypeNames[c.type], c.value), std::tuple(boxes.empty(), boxes, c.echo)) << c.value;
    if (!boxes.empty()) continue;
    ASSERT_TRUE(ReadLoggedRow(c.echo[0], c.echo[1], &row) && row.type == ArgumentTypeNames[c.type]) << c.value;
    EXPECT_EQ(AddOne(c.name, row.type.c_str(), row.value), std::tuple(1, Events{}, c.echo)) << row.value;
  }
  for (const char* label : {"Float", "", "Hez", "Dez", "Strin"})  // adds nothing and shows nothing
    EXPECT_EQ(AddOne("PosNRows", label, "1"), std::tuple(0, Events{}, Lines{none})) << label;
  EXPECT_FALSE(ReadLoggedRow(rows, "     2: Rows   ", &row));  // a name line and the next is no row
  EXPECT_FALSE(ReadLoggedRow("     1 Rows   ", Value("1"), &row));  // nor a line framed as a name without ": "
}

// Names lose four characters, "PosNDIWidth" exactly becomes "diWidth"; records past the rows added are empty with one
// echo line each; the array holds 20 records and the echo stops at the table's 100 rows.
TEST_F(Arguments, NamesAndCountsBeyondTheRowsAndTheArray) {
  AddRows({"PosNDIWidth", "PosNxyz", "abc", "PosN", "PosNDIWidthX", "posndiwidth"}, kDec, "9");
  BuildResourceArgs(8);
  EXPECT_EQ(ResourceArgCount, 8);
  const char* const kPassed[] = {"diWidth", "xyz", "", "", "DIWidthX", "diwidth", "", ""};
  for (int i = 0; i < 8; ++i) {
    EXPECT_STREQ(ResourceArgs[i].name, kPassed[i]);
    EXPECT_EQ(ResourceArgs[i].value, i < 6 ? 9 : 0);
  }
  EXPECT_EQ(Echo(8).back(), "     8:    ");
  EXPECT_EQ(Echo(8).size(), 6u * 2 + 2);
  for (const auto& [asked, built] : {std::pair(21, 20), std::pair(-1, 0)})
    EXPECT_EQ((BuildResourceArgs(asked), ResourceArgCount), built) << asked;
  EXPECT_TRUE(Echo(0).empty());
  ClearArgumentTable();
  const std::vector<ResourceArg> records(kArrayResRows + 1);
  EXPECT_EQ(Echo(kArrayResRows + 1, records.data()).size(), static_cast<std::size_t>(kArrayResRows));
}

// The records hand the library the rows' own values and string blocks (an empty string value has 100 bytes of room), so
// the echo after the call shows what it wrote back. Clearing zeroes table and array.
TEST_F(Arguments, HundredRowsAndARefusedRowsPlace) {
  EXPECT_FALSE(AddPendingResource("PosNRows", ArgumentTypeNames[kHex], "zz", Count));
  AddRows(std::vector<std::string>(kArrayResRows, "PosSText"), kString, "x");
  EXPECT_EQ(ArrayRes[0].tag, 'S');  // the refused row was taken by the next
  ResetShellRecord();
  for (const std::int32_t full : {kArrayResRows, -1}) {  // no room, whichever way the count is off
    EXPECT_FALSE(AddPendingResource("PosSText", ArgumentTypeNames[kString], "x", Count = full));
    EXPECT_EQ(Count, full);
  }
  EXPECT_EQ(ShellRecord(), Events(2, BoxEvent("Too many resources : 100 ", "Argument Error ")));
}

TEST_F(Arguments, EchoShowsWhatTheLibraryWroteBackAndClearingZeroes) {
  AddRows({"PosSName"}, kString, "");
  AddRows({"PosNRows"}, kDec, "1");
  AddRows({"PosNMask"}, kHex, "1");
  BuildResourceArgs(3);
  std::strcpy(reinterpret_cast<char*>(ResourceArgs[0].value), std::string(99, 'w').c_str());  // all 100 bytes
  ResourceArgs[1].value = -5;
  ResourceArgs[2].value = -6;
  EXPECT_EQ(Echo(3), (Lines{"     1: Name   ", "  " + std::string(99, 'w') + "    ", "     2: Rows   ", Value("-5"),
                            "     3: Mask   ", Value("0xFFFFFFFA")}));
  ClearArgumentTable();
  const std::string zeros(sizeof ArrayRes, '\0');  // the larger of the two
  EXPECT_TRUE(!std::memcmp(ArrayRes, zeros.data(), sizeof ArrayRes) &&
              !std::memcmp(ResourceArgs, zeros.data(), sizeof ResourceArgs) && ResourceArgCount == 0);
}
