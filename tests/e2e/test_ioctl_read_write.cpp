// End-to-end tests of the Ioctl, Read and Write dialogs against the device
// simulator: refusals, the lines logged, what reached the library (its
// journal) and what came back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "simulator/sim_control.h"
#include "tests/e2e/driver/driver.h"
#include "tests/e2e/driver/steps.h"

// After windows.h, which driver.h brings.

using e2e::Box;
using e2e::Dialog;
using e2e::Library;
using e2e::Revediz;
using e2e::StartOptions;

using e2e::ExpectBox;
using e2e::Initialize;
using e2e::JournalStarting;
using e2e::LogFrom;
using e2e::Open;
using e2e::ReadAndSave;
using e2e::Row;

namespace {

using Lines = std::vector<std::string>;

// The journal block of the last call of entry: its first line and the
// lines after it, up to the next call.
Lines LastJournalBlock(const Revediz& app, const std::string& entry) {
  Lines block;
  bool collecting = false;
  for (const std::string& line : app.Journal()) {
    if (line.rfind("DLL_", 0) == 0 || line.rfind("BENCH", 0) == 0) {
      collecting = line.rfind(entry, 0) == 0;
      if (collecting) block = {line};
    } else if (collecting) {
      block.push_back(line);
    }
  }
  return block;
}

bool Contains(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

StartOptions WithSimulator() { return StartOptions{}; }

// For runs that never initialize: the binding refuses every call before
// PosInitialize without loading any library.
StartOptions NoLibrary() {
  StartOptions options;
  options.library = Library::kNone;
  return options;
}

// The started tool with the library initialized and one device open.
struct Bench {
  Revediz app;
  int handle;
};

Bench OpenBench(const std::string& deviceClass, StartOptions options = WithSimulator()) {
  Revediz app = Revediz::Start(options);
  Initialize(app);
  const int handle = Open(app, deviceClass);
  EXPECT_GT(handle, 0);
  return Bench{std::move(app), handle};
}

// ---- Ioctl ------------------------------------------------------------------

Dialog OpenIoctl(const Revediz& app) {
  app.Menu(IDM_POS_IOCTL);
  return app.WaitDialog("POS Ioctl");
}

// Adds a row through the argument controls as the operator would.
void AddRow(const Dialog& dialog, const std::string& resource, const std::string& type,
            const std::string& value) {
  dialog.SetText(IDC_RESOURCE, resource);
  dialog.Select(IDC_TYPE, type);
  dialog.SetText(IDC_VALUE, value);
  const std::size_t before = dialog.Items(IDC_RESOURCES_LIST).size();
  dialog.Click(IDC_ADD_RESOURCE);
  ASSERT_TRUE(e2e::PollUntil([&] { return dialog.Items(IDC_RESOURCES_LIST).size() > before; },
                             e2e::kDefaultTimeoutMs));
}

constexpr char kHex[] = "Hex         ";
constexpr char kDec[] = "Dec         ";
constexpr char kString[] = "String      ";

TEST(IoctlDialog, OpensWithRequestsAlarmResourcesAndAnEmptyTable) {
  Revediz app = Revediz::Start(NoLibrary());
  Dialog dialog = OpenIoctl(app);
  const Lines requests = e2e::SplitLines(app.ReadFile("PIOCTLRE.DAT"));
  EXPECT_EQ(dialog.Items(IDC_REQUEST), requests);
  EXPECT_EQ(dialog.Selection(IDC_REQUEST), 0);
  EXPECT_EQ(dialog.Items(IDC_RESOURCE), e2e::SplitLines(app.ReadFile("PALARM.DAT")));
  EXPECT_EQ(dialog.Selection(IDC_RESOURCE), 0);
  EXPECT_EQ(dialog.Items(IDC_TYPE), (Lines{kHex, kDec, kString}));
  EXPECT_EQ(dialog.Text(IDC_N_ARGUMENTS), "0");
  EXPECT_TRUE(dialog.Items(IDC_RESOURCES_LIST).empty());
  dialog.Cancel();
  EXPECT_TRUE(app.LogLines().empty());
}

TEST(IoctlDialog, RefusalsLeaveEverythingAsEntered) {
  Revediz app = Revediz::Start(NoLibrary());
  Dialog dialog = OpenIoctl(app);
  AddRow(dialog, "PosNTimeout", kDec, "5");

  dialog.Click(IDOK);
  ExpectBox(app, "Handle Error ", "Missing Handle number");
  for (const char* handle : {"-1", " 5", "1a"}) {
    dialog.SetText(IDC_HANDLE, handle);
    dialog.Click(IDOK);
    ExpectBox(app, "Handle Error ", std::string("Non numeric Handle : ") + handle + " ");
  }
  dialog.SetText(IDC_HANDLE, "99999999999");
  dialog.Click(IDOK);
  ExpectBox(app, "Handle Error ", "Handle out of range : 99999999999 ");

  dialog.SetText(IDC_HANDLE, "1");
  dialog.SetText(IDC_N_ARGUMENTS, "x1");
  dialog.Click(IDOK);
  ExpectBox(app, "Argument Error ", "Non Numeric Argument : x1 ");
  // More than the argument array holds, or than the 32-bit range.
  for (const char* n : {"21", "101", "4294967297"}) {
    dialog.SetText(IDC_N_ARGUMENTS, n);
    dialog.Click(IDOK);
    ExpectBox(app, "Argument Error ", std::string("Too many arguments : ") + n + " ");
  }

  EXPECT_TRUE(dialog.IsOpen());
  EXPECT_EQ(dialog.Items(IDC_RESOURCES_LIST), Lines{"PosNTimeout"});
  EXPECT_EQ(dialog.Text(IDC_N_ARGUMENTS), "4294967297");
  EXPECT_TRUE(app.LogLines().empty()) << app.Dump();
  dialog.Cancel();
}

TEST(IoctlDialog, RequestFamilyChoosesTheResourceList) {
  Revediz app = Revediz::Start(NoLibrary());
  Dialog dialog = OpenIoctl(app);
  AddRow(dialog, "PosNRows", kDec, "2");
  dialog.Select(IDC_REQUEST, "POS_SCALE_ZERO_SCALE");
  EXPECT_EQ(dialog.Items(IDC_RESOURCE), e2e::SplitLines(app.ReadFile("PSCALE.DAT")));
  EXPECT_EQ(dialog.Selection(IDC_RESOURCE), 0);
  dialog.Select(IDC_REQUEST, "POS_SCAN_DISCARD_DATA");
  EXPECT_EQ(dialog.Items(IDC_RESOURCE), e2e::SplitLines(app.ReadFile("PSCANNER.DAT")));
  dialog.Select(IDC_REQUEST, "POS_TILL_OPEN_TILL");
  EXPECT_EQ(dialog.Items(IDC_RESOURCE), e2e::SplitLines(app.ReadFile("PDRAWER.DAT")));
  // Typed text is dropped by a reload of the same family.
  dialog.SetText(IDC_RESOURCE, "typed");
  dialog.Select(IDC_REQUEST, "POS_TILL_OPEN_TILL");
  EXPECT_EQ(dialog.Text(IDC_RESOURCE), e2e::SplitLines(app.ReadFile("PDRAWER.DAT")).front());
  // The rows stay through every change.
  EXPECT_EQ(dialog.Items(IDC_RESOURCES_LIST), Lines{"PosNRows"});
  EXPECT_EQ(dialog.Text(IDC_N_ARGUMENTS), "1");
  dialog.Cancel();
  EXPECT_TRUE(app.LogLines().empty());
}

TEST(IoctlDialog, FailedCallIsReportedAndTheTableEmptiedWhileTheDialogStaysOpen) {
  Revediz app = Revediz::Start(NoLibrary());  // not initialized
  Dialog dialog = OpenIoctl(app);
  dialog.SetText(IDC_HANDLE, "3");
  dialog.Select(IDC_REQUEST, "POS_TILL_OPEN_TILL");
  AddRow(dialog, "PosNPulseWidth", kDec, "");
  AddRow(dialog, "PosNDrawerNumber", kHex, "1a2B");
  dialog.Click(IDOK);
  ExpectBox(app, "Command Status", "  RC = -1, errno = (302) POSERR_SYS_NOT_INITIALIZED  ");
  EXPECT_EQ(app.LogLines(), (Lines{
                                "Command-->  PosIoctl(3, POS_TILL_OPEN_TILL, [..], 2)",
                                "     1: PulseWidth   ",
                                "               (-1)  ",
                                "     2: DrawerNumber   ",
                                "               (0x1A2B)  ",
                                "  RC = -1, errno = (302) POSERR_SYS_NOT_INITIALIZED  ",
                            }));
  EXPECT_TRUE(dialog.IsOpen());
  EXPECT_TRUE(dialog.Items(IDC_RESOURCES_LIST).empty());
  EXPECT_EQ(dialog.Text(IDC_N_ARGUMENTS), "0");
  // Handle, request and argument controls are kept.
  EXPECT_EQ(dialog.Text(IDC_HANDLE), "3");
  EXPECT_EQ(dialog.Text(IDC_REQUEST), "POS_TILL_OPEN_TILL");
  EXPECT_EQ(dialog.Text(IDC_RESOURCE), "PosNDrawerNumber");

  // The next OK passes no rows: the table was zeroed.
  dialog.Click(IDOK);
  ExpectBox(app, "Command Status", "  RC = -1, errno = (302) POSERR_SYS_NOT_INITIALIZED  ");
  const Lines after = LogFrom(app, 6);
  ASSERT_FALSE(after.empty());
  EXPECT_EQ(after[0], "Command-->  PosIoctl(3, POS_TILL_OPEN_TILL, [..], 0)");
  dialog.Cancel();
}

TEST(IoctlDialog, SuccessfulRequestReachesTheDevice) {
  Bench bench = OpenBench("PosDrawer");
  Revediz& app = bench.app;
  const std::string h = std::to_string(bench.handle);
  const std::size_t mark = app.LogLines().size();
  Dialog dialog = OpenIoctl(app);
  dialog.SetText(IDC_HANDLE, h);
  dialog.Select(IDC_REQUEST, "POS_TILL_OPEN_TILL");
  dialog.Click(IDOK);
  // The drawer's notification arrives while the success box is showing.
  Box success = app.WaitBox("POS Ioctl");
  EXPECT_EQ(success.text, "PosIoctl Successful.");
  Box notice = app.WaitBox("DRAV Message");
  EXPECT_NE(notice.text.find("TILL OPENED"), std::string::npos) << notice.text;
  notice.Ok();
  success.Ok();
  const Lines got = LogFrom(app, mark);
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got[0], "Command-->  PosIoctl(" + h + ", POS_TILL_OPEN_TILL, [..], 0)");
  EXPECT_EQ(JournalStarting(app, "DLL_PosIOCtl"),
            Lines{"DLL_PosIOCtl handle=" + h + " request=5401 (POS_TILL_OPEN_TILL) count=0"});
  EXPECT_TRUE(dialog.IsOpen());
  dialog.Cancel();
}

TEST(IoctlDialog, GetValuesEchoesWhatTheDeviceWroteBack) {
  Bench bench = OpenBench("PosDisplay");
  Revediz& app = bench.app;
  const std::size_t mark = app.LogLines().size();
  Dialog dialog = OpenIoctl(app);
  dialog.SetText(IDC_HANDLE, std::to_string(bench.handle));
  dialog.Select(IDC_REQUEST, "POS_SYS_GET_VALUES");
  AddRow(dialog, "PosNRows", kDec, "");
  AddRow(dialog, "PosNColumns", kHex, "");
  AddRow(dialog, "PosSDisplayText", kString, "");
  dialog.Click(IDOK);
  Box box = app.WaitBox("POS Ioctl");
  EXPECT_EQ(box.text, "PosIoctl Successful.");
  // The second echo comes only after the box.
  const std::string h = std::to_string(bench.handle);
  const Lines before = {
      "Command-->  PosIoctl(" + h + ", POS_SYS_GET_VALUES, [..], 3)",
      "     1: Rows   ",
      "               (-1)  ",
      "     2: Columns   ",
      "               (0xFFFFFFFF)  ",
      "     3: DisplayText   ",
      "      ",
  };
  EXPECT_EQ(LogFrom(app, mark), before);
  box.Ok();
  Lines expected = before;
  expected.insert(expected.end(), {
                                      "     1: Rows   ",
                                      "               (2)  ",
                                      "     2: Columns   ",
                                      "               (0x14)  ",
                                      "     3: DisplayText   ",
                                  });
  const Lines log = app.WaitLogCount(static_cast<int>(mark + expected.size() + 1));
  const Lines got = LogFrom(app, mark);
  ASSERT_EQ(got.size(), expected.size() + 1) << app.Dump();
  EXPECT_EQ(Lines(got.begin(), got.end() - 1), expected);
  // The text line shows the screen the device reported, as the journal has it.
  const Lines block = LastJournalBlock(app, "DLL_PosIOCtl");
  EXPECT_TRUE(Contains(block, "  ret[0] Rows = 2")) << ::testing::PrintToString(block);
  EXPECT_TRUE(Contains(block, "  ret[1] Columns = 20")) << ::testing::PrintToString(block);
  std::string text;
  for (const std::string& line : block)
    if (line.rfind("  ret[2] DisplayText = \"", 0) == 0)
      text = line.substr(24, line.size() - 25);
  EXPECT_EQ(got.back(), "  " + text + "    ");
  EXPECT_TRUE(dialog.Items(IDC_RESOURCES_LIST).empty());
  EXPECT_EQ(dialog.Text(IDC_N_ARGUMENTS), "0");
  dialog.Cancel();
}

TEST(IoctlDialog, GetValuesEchoesTwiceAlsoWhenTheCallFails) {
  Revediz app = Revediz::Start(NoLibrary());  // not initialized
  Dialog dialog = OpenIoctl(app);
  dialog.SetText(IDC_HANDLE, "1");
  dialog.Select(IDC_REQUEST, "POS_SYS_GET_VALUES");
  AddRow(dialog, "PosNTimeout", kDec, "7");
  dialog.Click(IDOK);
  ExpectBox(app, "Command Status", "  RC = -1, errno = (302) POSERR_SYS_NOT_INITIALIZED  ");
  app.WaitLogCount(6);
  EXPECT_EQ(app.LogLines(), (Lines{
                                "Command-->  PosIoctl(1, POS_SYS_GET_VALUES, [..], 1)",
                                "     1: Timeout   ",
                                "               (7)  ",
                                "  RC = -1, errno = (302) POSERR_SYS_NOT_INITIALIZED  ",
                                "     1: Timeout   ",
                                "               (7)  ",
                            }));
  dialog.Cancel();
}

TEST(IoctlDialog, RequestMatchingNoneOrSeveralRowsIsNotSent) {
  StartOptions options;
  options.extraFiles = {{"PIOCTLRE.DAT", "POS_SYS\nNO_SUCH_REQUEST\nPOS_TILL_OPEN_TILL\n"}};
  Revediz app = Revediz::Start(options);
  Initialize(app);
  const std::size_t mark = app.LogLines().size();
  Dialog dialog = OpenIoctl(app);
  dialog.SetText(IDC_HANDLE, "1");
  AddRow(dialog, "PosNTimeout", kDec, "7");
  dialog.Select(IDC_REQUEST, "POS_SYS");
  dialog.Click(IDOK);
  ASSERT_EQ(app.WaitLogCount(static_cast<int>(mark + 1)).size(), mark + 1);
  dialog.Select(IDC_REQUEST, "NO_SUCH_REQUEST");
  dialog.Click(IDOK);
  const Lines lines = app.WaitLogCount(static_cast<int>(mark + 2));
  const Lines own = LogFrom(app, mark);
  ASSERT_EQ(own.size(), 2u) << app.Dump();
  for (const std::string& line : own) EXPECT_EQ(line.find("Command-->"), std::string::npos);
  EXPECT_TRUE(app.Boxes().empty()) << app.Dump();
  EXPECT_TRUE(JournalStarting(app, "DLL_PosIOCtl").empty());
  // The rows wait for a request that names one row.
  EXPECT_EQ(dialog.Items(IDC_RESOURCES_LIST), Lines{"PosNTimeout"});
  EXPECT_EQ(dialog.Text(IDC_N_ARGUMENTS), "1");
  dialog.Cancel();
}

TEST(IoctlDialog, EmptyArgumentCountSendsNoRows) {
  Bench bench = OpenBench("PosDisplay");
  Revediz& app = bench.app;
  const std::string h = std::to_string(bench.handle);
  Dialog dialog = OpenIoctl(app);
  dialog.SetText(IDC_HANDLE, h);
  dialog.Select(IDC_REQUEST, "POS_DSP_CLEAR_SCREEN");
  AddRow(dialog, "PosNRows", kDec, "1");
  dialog.SetText(IDC_N_ARGUMENTS, "");
  dialog.Click(IDOK);
  ExpectBox(app, "POS Ioctl", "PosIoctl Successful.");
  EXPECT_EQ(JournalStarting(app, "DLL_PosIOCtl"),
            Lines{"DLL_PosIOCtl handle=" + h + " request=4401 (POS_DSP_CLEAR_SCREEN) count=0"});
  EXPECT_TRUE(dialog.Items(IDC_RESOURCES_LIST).empty());
  EXPECT_EQ(dialog.Text(IDC_N_ARGUMENTS), "0");

  // Fewer than the rows added: only the first are passed, all are dropped.
  AddRow(dialog, "PosNRows", kDec, "1");
  AddRow(dialog, "PosNColumns", kDec, "20");
  dialog.SetText(IDC_N_ARGUMENTS, "1");
  dialog.Click(IDOK);
  ExpectBox(app, "POS Ioctl", "PosIoctl Successful.");
  const Lines block = LastJournalBlock(app, "DLL_PosIOCtl");
  ASSERT_GE(block.size(), 2u);
  EXPECT_EQ(block[0], "DLL_PosIOCtl handle=" + h + " request=4401 (POS_DSP_CLEAR_SCREEN) count=1");
  EXPECT_EQ(block[1], "  arg[0] Rows = 1");
  EXPECT_TRUE(dialog.Items(IDC_RESOURCES_LIST).empty());
  dialog.Cancel();
}

// ---- Read --------------------------------------------------------------------

Dialog OpenRead(const Revediz& app) {
  app.Menu(IDM_POS_READ);
  return app.WaitDialog("POS Read");
}

TEST(ReadDialog, RefusalsKeepTheDialogOpenAndLogNothing) {
  Revediz app = Revediz::Start(NoLibrary());
  Dialog dialog = OpenRead(app);
  EXPECT_EQ(dialog.Text(IDC_BUFFER_SIZE), "80");
  dialog.Click(IDOK);
  ExpectBox(app, "Handle Error ", "Missing Handle number");
  dialog.SetText(IDC_HANDLE, "+1");
  dialog.Click(IDOK);
  ExpectBox(app, "Handle Error ", "Non numeric Handle : +1 ");
  dialog.SetText(IDC_HANDLE, "1");
  dialog.SetText(IDC_BUFFER_SIZE, "");
  dialog.Click(IDOK);
  ExpectBox(app, "Buffer Size Error ", "Missing Buffer Size");
  dialog.SetText(IDC_BUFFER_SIZE, "8k");
  dialog.Click(IDOK);
  ExpectBox(app, "Buffer Size Error", "Non numeric Buffer Size : 8k ");
  for (const char* size : {"2147483646", "99999999999"}) {
    dialog.SetText(IDC_BUFFER_SIZE, size);
    dialog.Click(IDOK);
    ExpectBox(app, "Buffer Size Error ", std::string("Buffer Size too large : ") + size + " ");
  }
  // In range, but more than a 32-bit process can take at once (a 64-bit
  // build of the tool, like this test program, can take it).
  if constexpr (sizeof(void*) == 4) {
    dialog.SetText(IDC_BUFFER_SIZE, "2147483645");
    dialog.Click(IDOK);
    ExpectBox(app, "Buffer Size Error ", "Buffer Size too large : 2147483645 ");
    EXPECT_TRUE(dialog.IsOpen());
    EXPECT_EQ(dialog.Text(IDC_BUFFER_SIZE), "2147483645");
  }
  EXPECT_TRUE(app.LogLines().empty());
  dialog.Cancel();
}

TEST(ReadDialog, FailedReadIsReportedWritesNoFileAndCloses) {
  StartOptions options;
  options.library = Library::kNone;
  options.extraFiles = {{"keep.bin", "old content"}};
  Revediz app = Revediz::Start(options);  // not initialized
  Dialog dialog = OpenRead(app);
  dialog.SetText(IDC_HANDLE, "1");
  dialog.SetText(IDC_OUTPUT_FILE, "keep.bin");
  dialog.Click(IDOK);
  ExpectBox(app, "Command Status", "  RC = -1, errno = (302) POSERR_SYS_NOT_INITIALIZED  ");
  dialog.WaitClosed();
  EXPECT_EQ(app.LogLines(), (Lines{"Command-->  PosRead(1, [], 80)",
                                   "  RC = -1, errno = (302) POSERR_SYS_NOT_INITIALIZED  "}));
  EXPECT_EQ(app.ReadFile("keep.bin"), "old content");
}

TEST(ReadDialog, SerialPortLoopbackIsDumpedAndSaved) {
  Bench bench = OpenBench("PosRs232c");
  Revediz& app = bench.app;
  const std::string h = std::to_string(bench.handle);
  // Write four bytes, then read them back.
  app.Menu(IDM_POS_WRITE);
  Dialog write = app.WaitDialog("POS Write");
  write.SetText(IDC_HANDLE, h);
  write.SetText(IDC_DATA_BOX, "AB\\x1bC");
  write.Click(IDOK);
  ExpectBox(app, "POS Write", "PosWrite Successful.");
  write.WaitClosed();

  const std::size_t mark = app.LogLines().size();
  Dialog dialog = OpenRead(app);
  dialog.SetText(IDC_HANDLE, h);
  dialog.SetText(IDC_OUTPUT_FILE, "serial.bin");
  dialog.Click(IDOK);
  Box box = app.WaitBox("POS Read");
  EXPECT_EQ(box.text, "PosRead Successful.");
  // Everything is in the log before the box shows.
  Lines got = LogFrom(app, mark);
  ASSERT_EQ(got.size(), 5u) << app.Dump();
  got[4] = Row(got[4]);
  EXPECT_EQ(got, (Lines{"Command-->  PosRead(" + h + ", [], 80)",
                        "REVEDIZ: Wrote 4 bytes to 'serial.bin'", "      Read Results:  ",
                        "      (4 bytes)", "   0000: 41 42 1B 43  | AB.C"}));
  box.Ok();
  dialog.WaitClosed();
  EXPECT_EQ(app.ReadFile("serial.bin"), std::string("AB\x1b" "C"));
}

TEST(ReadDialog, SavedFileHoldsTheBytesReadExactly) {
  Bench bench = OpenBench("PosRs232c");
  Revediz& app = bench.app;
  const std::string h = std::to_string(bench.handle);
  // Every byte value, zero and line ends included, through a file write.
  std::string all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
  app.WriteFile("all.bin", all);
  app.Menu(IDM_POS_WRITE);
  Dialog write = app.WaitDialog("POS Write");
  write.SetText(IDC_HANDLE, h);
  write.SetRadio(IDC_FILE_MODE);
  write.SetText(IDC_INPUT_FILE, "all.bin");
  write.Click(IDOK);
  ExpectBox(app, "POS Write", "PosWrite Successful.");
  write.WaitClosed();

  app.WriteFile("copy.bin", std::string(1000, 'x'));  // replaced whole
  const std::size_t mark = app.LogLines().size();
  Dialog dialog = OpenRead(app);
  dialog.SetText(IDC_HANDLE, h);
  dialog.SetText(IDC_BUFFER_SIZE, "256");
  dialog.SetText(IDC_OUTPUT_FILE, "copy.bin");
  dialog.Click(IDOK);
  ExpectBox(app, "POS Read", "PosRead Successful.");
  dialog.WaitClosed();
  EXPECT_EQ(app.ReadFile("copy.bin"), all);
  const Lines got = LogFrom(app, mark);
  ASSERT_EQ(got.size(), 4u + 16u) << app.Dump();
  EXPECT_EQ(got[1], "REVEDIZ: Wrote 256 bytes to 'copy.bin'");
  EXPECT_EQ(got[3], "      (256 bytes)");
  EXPECT_EQ(Row(got[4]),
            "   0000: 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F  | ................");
  EXPECT_EQ(Row(got[6]),
            "   0020: 20 21 22 23 24 25 26 27 28 29 2A 2B 2C 2D 2E 2F  |  !\"#$%&'()*+,-./");
}

TEST(ReadDialog, UnopenableOutputFileIsLoggedAndTheReadStillShown) {
  Bench bench = OpenBench("PosScale");
  Revediz& app = bench.app;
  const std::size_t mark = app.LogLines().size();
  Dialog dialog = OpenRead(app);
  dialog.SetText(IDC_HANDLE, std::to_string(bench.handle));
  dialog.SetText(IDC_OUTPUT_FILE, "no-such-dir\\out.bin");
  dialog.Click(IDOK);
  ExpectBox(app, "POS Read", "PosRead Successful.");
  dialog.WaitClosed();
  const Lines got = LogFrom(app, mark);
  ASSERT_GE(got.size(), 4u) << app.Dump();
  EXPECT_EQ(got[1], "REVEDIZ: Error 2 on open of file 'no-such-dir\\out.bin'  ");
  EXPECT_EQ(got[2], "      Read Results:  ");
}

TEST(ReadDialog, QueueRecordIsDecodedNotDumped) {
  Bench bench = OpenBench("PosDisplay");
  Revediz& app = bench.app;
  const std::size_t mark = app.LogLines().size();
  Dialog dialog = OpenRead(app);
  dialog.SetText(IDC_HANDLE, "0");
  dialog.SetText(IDC_BUFFER_SIZE, "16");
  dialog.SetText(IDC_OUTPUT_FILE, "queue.bin");
  dialog.Click(IDOK);
  ExpectBox(app, "POS Read", "PosRead Successful.");
  dialog.WaitClosed();
  const Lines got = LogFrom(app, mark);
  ASSERT_GE(got.size(), 3u) << app.Dump();
  EXPECT_EQ(got[0], "Command-->  PosRead(0, [], 16)");
  EXPECT_EQ(got[1], "REVEDIZ: Wrote 16 bytes to 'queue.bin'");
  for (const std::string& line : got) EXPECT_EQ(line.find("Read Results"), std::string::npos);
  // The file holds the raw record; its message field names what was decoded.
  const std::string record = app.ReadFile("queue.bin");
  ASSERT_EQ(record.size(), 16u);
  const unsigned message = static_cast<unsigned char>(record[4]) |
                           static_cast<unsigned char>(record[5]) << 8 |
                           static_cast<unsigned char>(record[6]) << 16 |
                           static_cast<unsigned>(static_cast<unsigned char>(record[7])) << 24;
  if (message == 0x420D) {
    EXPECT_EQ(got[2].rfind("  POSM_SYS_DEVICE_ONLINE - ", 0), 0u) << got[2];
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[3].rfind("*** Device: ", 0), 0u) << got[3];
  } else {
    EXPECT_EQ(got[2].rfind("POSQ Message from Handle ", 0), 0u) << got[2];
  }
}

TEST(ReadDialog, SeveralQueueRecordsAreDumpedAsUnknownFormat) {
  Bench bench = OpenBench("PosDisplay");
  Revediz& app = bench.app;
  Open(app, "PosPrinter");  // a second device: a second record
  const std::size_t mark = app.LogLines().size();
  Dialog dialog = OpenRead(app);
  dialog.SetText(IDC_HANDLE, "0");
  dialog.SetText(IDC_BUFFER_SIZE, "32");
  dialog.Click(IDOK);
  ExpectBox(app, "POS Read", "PosRead Successful.");
  const Lines got = LogFrom(app, mark);
  ASSERT_EQ(got.size(), 6u) << app.Dump();
  EXPECT_EQ(got[1], "ERROR: Unknown POSQ message format!!!!");
  EXPECT_EQ(got[2], "      POSQ Info:  ");
  EXPECT_EQ(got[3], "      (32 bytes)");
}

TEST(ReadDialog, ZeroSizeIsAcceptedAndAZeroResultReported) {
  Bench bench = OpenBench("PosDisplay");
  Revediz& app = bench.app;
  const std::size_t mark = app.LogLines().size();
  Dialog dialog = OpenRead(app);
  dialog.SetText(IDC_HANDLE, "0");
  dialog.SetText(IDC_BUFFER_SIZE, "0");
  dialog.Click(IDOK);
  Box box = app.WaitBox("Command Status");
  box.Ok();
  dialog.WaitClosed();
  const Lines got = LogFrom(app, mark);
  ASSERT_EQ(got.size(), 2u) << app.Dump();
  EXPECT_EQ(got[0], "Command-->  PosRead(0, [], 0)");
  EXPECT_EQ(got[1].rfind("  RC = -1, errno = (", 0), 0u) << got[1];
  EXPECT_EQ(JournalStarting(app, "DLL_PosRead"), Lines{"DLL_PosRead handle=0 size=0"});
}

// ---- Write -------------------------------------------------------------------

Dialog OpenWrite(const Revediz& app) {
  app.Menu(IDM_POS_WRITE);
  return app.WaitDialog("POS Write");
}

TEST(WriteDialog, OpensInTextMode) {
  Revediz app = Revediz::Start(NoLibrary());
  Dialog dialog = OpenWrite(app);
  EXPECT_TRUE(dialog.IsChecked(IDC_TEXT_MODE));
  EXPECT_FALSE(dialog.IsChecked(IDC_FILE_MODE));
  dialog.Cancel();
}

TEST(WriteDialog, RefusalsKeepTheDialogOpenAndLogOnlyTheFileLine) {
  StartOptions options;
  options.library = Library::kNone;
  options.extraFiles = {{"empty.bin", ""}, {"big.bin", std::string(8193, 'b')}};
  Revediz app = Revediz::Start(options);
  Dialog dialog = OpenWrite(app);
  dialog.SetText(IDC_DATA_BOX, "hello");
  dialog.Click(IDOK);
  ExpectBox(app, "Handle Error ", "Missing Handle number");
  dialog.SetText(IDC_HANDLE, "1 ");
  dialog.Click(IDOK);
  ExpectBox(app, "Handle Error ", "Non numeric Handle : 1  ");
  dialog.SetText(IDC_HANDLE, "1");

  dialog.SetRadio(IDC_FILE_MODE);
  dialog.Click(IDOK);
  ExpectBox(app, "File Name Error ", "Missing File Name");
  EXPECT_TRUE(app.LogLines().empty());

  dialog.SetText(IDC_INPUT_FILE, "nofile.bin");
  dialog.Click(IDOK);
  ExpectBox(app, "File Name Error ", "File nofile.bin not found ");
  dialog.SetText(IDC_INPUT_FILE, "empty.bin");
  dialog.Click(IDOK);
  ExpectBox(app, "File Name Error ", "File empty.bin not found ");
  dialog.SetText(IDC_INPUT_FILE, "big.bin");
  dialog.Click(IDOK);
  ExpectBox(app, "File Name Error ", "File big.bin not found ");

  const Lines got = app.LogLines();
  ASSERT_EQ(got.size(), 3u) << app.Dump();
  EXPECT_EQ(got[0], "REVEDIZ: Error 2 on open of file 'nofile.bin'");
  EXPECT_EQ(got[1].rfind("REVEDIZ: Error -1/", 0), 0u) << got[1];
  EXPECT_NE(got[1].find(" on ftell of file 'empty.bin'"), std::string::npos) << got[1];
  EXPECT_EQ(got[2], "REVEDIZ: Buffer not big enough: have 8192 bytes, 'big.bin' is 8193 bytes long\n");
  EXPECT_TRUE(dialog.IsOpen());
  dialog.Cancel();
}

TEST(WriteDialog, EmptyFirstLineMakesOkDoNothing) {
  Revediz app = Revediz::Start(NoLibrary());
  Dialog dialog = OpenWrite(app);
  dialog.SetText(IDC_HANDLE, "1");
  dialog.SetText(IDC_DATA_BOX, "\r\nsecond line");
  dialog.Click(IDOK);
  // Give it the time a box or a line would take, then look.
  e2e::PollUntil([&] { return !app.Boxes().empty() || app.LogCount() > 0; }, 1000);
  EXPECT_TRUE(app.Boxes().empty()) << app.Dump();
  EXPECT_TRUE(app.LogLines().empty());
  EXPECT_TRUE(dialog.IsOpen());
  dialog.Cancel();
}

TEST(WriteDialog, EscapedTextReachesTheDisplay) {
  Bench bench = OpenBench("PosDisplay");
  Revediz& app = bench.app;
  const std::string h = std::to_string(bench.handle);
  const std::size_t mark = app.LogLines().size();
  Dialog dialog = OpenWrite(app);
  dialog.SetText(IDC_HANDLE, h);
  dialog.SetText(IDC_DATA_BOX, "AB\\x1bC");
  dialog.Click(IDOK);
  ExpectBox(app, "POS Write", "PosWrite Successful.");
  dialog.WaitClosed();
  EXPECT_EQ(LogFrom(app, mark),
            (Lines{"nLines    -> 1 ", "Command-->  PosWrite(" + h + ", [], 4)"}));
  EXPECT_EQ(JournalStarting(app, "DLL_PosWrite"),
            Lines{"DLL_PosWrite handle=" + h + " length=4 data=41 42 1B 43"});
}

TEST(WriteDialog, ZeroBytesFromEscapesAreSentAndCounted) {
  Bench bench = OpenBench("PosRs232c");
  Revediz& app = bench.app;
  const std::string h = std::to_string(bench.handle);
  const std::size_t mark = app.LogLines().size();
  Dialog dialog = OpenWrite(app);
  dialog.SetText(IDC_HANDLE, h);
  dialog.SetText(IDC_DATA_BOX, "A\\0B\\x\\q");
  dialog.Click(IDOK);
  ExpectBox(app, "POS Write", "PosWrite Successful.");
  dialog.WaitClosed();
  EXPECT_EQ(LogFrom(app, mark), (Lines{"nLines    -> 1 ",
                                       "--> Error, unknown escape sequence '\\q'",
                                       "Command-->  PosWrite(" + h + ", [], 6)"}));
  EXPECT_EQ(JournalStarting(app, "DLL_PosWrite"),
            Lines{"DLL_PosWrite handle=" + h + " length=6 data=41 00 42 00 5C 71"});
}

TEST(WriteDialog, LinesAreJoinedAndCutAt253) {
  Bench bench = OpenBench("PosRs232c");
  Revediz& app = bench.app;
  const std::string h = std::to_string(bench.handle);
  const std::size_t mark = app.LogLines().size();
  Dialog dialog = OpenWrite(app);
  dialog.SetText(IDC_HANDLE, h);
  // Typed line ends are not part of the data; 300 characters in all.
  std::string text = "12345\r\n";
  for (int i = 0; i < 59; ++i) text += "abcde";
  dialog.SetText(IDC_DATA_BOX, text);
  dialog.Click(IDOK);
  ExpectBox(app, "POS Write", "PosWrite Successful.");
  dialog.WaitClosed();
  const Lines got = LogFrom(app, mark);
  ASSERT_EQ(got.size(), 2u) << app.Dump();
  EXPECT_EQ(got[0].rfind("nLines    -> ", 0), 0u);
  EXPECT_EQ(got[1], "Command-->  PosWrite(" + h + ", [], 253)");
  const Lines calls = JournalStarting(app, "DLL_PosWrite");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].rfind("DLL_PosWrite handle=" + h + " length=253 data=31 32 33 34 35 61 62 ",
                           0),
            0u)
      << calls[0];
}

TEST(WriteDialog, FileIsSentUnchanged) {
  Bench bench = OpenBench("PosRs232c");
  Revediz& app = bench.app;
  const std::string h = std::to_string(bench.handle);
  app.WriteFile("in.bin", "\\n");
  const std::size_t mark = app.LogLines().size();
  Dialog dialog = OpenWrite(app);
  dialog.SetText(IDC_HANDLE, h);
  dialog.SetText(IDC_DATA_BOX, "ignored");
  dialog.SetRadio(IDC_FILE_MODE);
  dialog.SetText(IDC_INPUT_FILE, "in.bin");
  dialog.Click(IDOK);
  ExpectBox(app, "POS Write", "PosWrite Successful.");
  dialog.WaitClosed();
  EXPECT_EQ(LogFrom(app, mark), (Lines{"REVEDIZ: Read 2 bytes from 'in.bin'",
                                       "Command-->  PosWrite(" + h + ",in.bin,2)"}));
  EXPECT_EQ(JournalStarting(app, "DLL_PosWrite"),
            Lines{"DLL_PosWrite handle=" + h + " length=2 data=5C 6E"});
}

TEST(WriteDialog, FileOfExactlyTheBufferSizeIsSentWhole) {
  Bench bench = OpenBench("PosRs232c");
  Revediz& app = bench.app;
  const std::string h = std::to_string(bench.handle);
  app.WriteFile("full.bin", std::string(8192, 'z'));
  Dialog dialog = OpenWrite(app);
  dialog.SetText(IDC_HANDLE, h);
  dialog.SetRadio(IDC_FILE_MODE);
  dialog.SetText(IDC_INPUT_FILE, "full.bin");
  dialog.Click(IDOK);
  ExpectBox(app, "POS Write", "PosWrite Successful.");
  dialog.WaitClosed();
  const Lines calls = JournalStarting(app, "DLL_PosWrite");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].rfind("DLL_PosWrite handle=" + h + " length=8192 ", 0), 0u) << calls[0];
}

TEST(WriteDialog, FailedWriteIsReportedAndTheDialogCloses) {
  Revediz app = Revediz::Start(NoLibrary());  // not initialized
  Dialog dialog = OpenWrite(app);
  dialog.SetText(IDC_HANDLE, "2");
  dialog.SetText(IDC_DATA_BOX, "x");
  dialog.Click(IDOK);
  ExpectBox(app, "Command Status", "  RC = -1, errno = (302) POSERR_SYS_NOT_INITIALIZED  ");
  dialog.WaitClosed();
  EXPECT_EQ(app.LogLines(), (Lines{"nLines    -> 1 ", "Command-->  PosWrite(2, [], 1)",
                                   "  RC = -1, errno = (302) POSERR_SYS_NOT_INITIALIZED  "}));
}

// ---- Simulator faults --------------------------------------------------------

// SimSetFault(target, kind, value) on the bench of the library loaded in
// the tool's process.
int SetFaultInTool(const Revediz& app, const char* target, int kind, int value) {
  return app.CallSimulator("SimSetFault", {e2e::RemoteArg::Text(target), e2e::RemoteArg::Number(kind),
                                           e2e::RemoteArg::Number(value)});
}

TEST(ReadFaults, CountAboveTheBufferIsCutToTheBuffer) {
  Bench bench = OpenBench("PosRs232c");
  Revediz& app = bench.app;
  const std::string h = std::to_string(bench.handle);
  ASSERT_EQ(SetFaultInTool(app, "PosRs232c", kSimFaultReadOverclaim, 1000), 0);
  app.Menu(IDM_POS_WRITE);
  Dialog write = app.WaitDialog("POS Write");
  write.SetText(IDC_HANDLE, h);
  write.SetText(IDC_DATA_BOX, "0123456789ABCDEF");
  write.Click(IDOK);
  ExpectBox(app, "POS Write", "PosWrite Successful.");
  write.WaitClosed();

  Lines got = ReadAndSave(app, bench.handle, 16, "over.bin");
  EXPECT_EQ(JournalStarting(app, "  -> 0 out=1016 data=").size(), 1u);
  ASSERT_EQ(got.size(), 6u) << app.Dump();
  got[5] = Row(got[5]);
  EXPECT_EQ(got, (Lines{"Command-->  PosRead(" + h + ", [], 16)",
                        "REVEDIZ: Device returned 1016 bytes for a buffer of 16; showing 16",
                        "REVEDIZ: Wrote 16 bytes to 'over.bin'", "      Read Results:  ",
                        "      (16 bytes)",
                        "   0000: 30 31 32 33 34 35 36 37 38 39 41 42 43 44 45 46  | 0123456789ABCDEF"}));
  EXPECT_EQ(app.ReadFile("over.bin"), "0123456789ABCDEF");
}

TEST(ReadFaults, QueueCountAboveTheBufferIsCutBeforeDecoding) {
  Bench bench = OpenBench("PosDisplay");
  Revediz& app = bench.app;
  ASSERT_EQ(SetFaultInTool(app, "Queue", kSimFaultReadOverclaim, 16), 0);
  const Lines got = ReadAndSave(app, 0, 16, "q.bin");
  ASSERT_GE(got.size(), 4u) << app.Dump();
  EXPECT_EQ(got[1], "REVEDIZ: Device returned 32 bytes for a buffer of 16; showing 16");
  EXPECT_EQ(got[2], "REVEDIZ: Wrote 16 bytes to 'q.bin'");
  // One whole record: decoded, not refused as an unknown format.
  EXPECT_EQ(got[3].rfind("  POSM_SYS_DEVICE_ONLINE - ", 0), 0u) << got[3];
  EXPECT_EQ(app.ReadFile("q.bin").size(), 16u);
}

TEST(ReadFaults, WriteBeyondTheBufferIsReported) {
  Bench bench = OpenBench("PosDisplay");
  Revediz& app = bench.app;
  const std::string h = std::to_string(bench.handle);
  // One byte past the data area: the guard byte after it.
  ASSERT_EQ(SetFaultInTool(app, "PosDisplay", kSimFaultReadOverrun, 1), 0);
  const Lines got = ReadAndSave(app, bench.handle, 40, "screen.bin");
  ASSERT_GE(got.size(), 5u) << app.Dump();
  EXPECT_EQ(got[0], "Command-->  PosRead(" + h + ", [], 40)");
  EXPECT_EQ(got[1], "REVEDIZ: Device wrote outside the read buffer (guard byte after changed)");
  EXPECT_EQ(got[2], "REVEDIZ: Wrote 40 bytes to 'screen.bin'");
  EXPECT_EQ(got[4], "      (40 bytes)");
  EXPECT_EQ(app.ReadFile("screen.bin").size(), 40u);
  EXPECT_EQ(JournalStarting(app, "  # fault: wrote 1 bytes past the buffer").size(), 1u);
}

TEST(ReadFaults, NoGuardLineWithoutAFaultAndUnknownTargetsRefused) {
  Bench bench = OpenBench("PosDisplay");
  Revediz& app = bench.app;
  ASSERT_EQ(SetFaultInTool(app, "Nonesuch", kSimFaultReadOverrun, 1), 331);
  // Without a fault the guard bytes stay, so no line names them.
  const Lines got = ReadAndSave(app, bench.handle, 40, "");
  for (const std::string& line : got)
    EXPECT_EQ(line.find("outside the read buffer"), std::string::npos) << line;
}

}  // namespace
