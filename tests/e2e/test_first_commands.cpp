// End-to-end tests of the Initialize, Open and Close dialogs against the
// device simulator: what they log, what reaches the library (its journal),
// the reports of failed calls and the refusals that keep a dialog open.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "simulator/sim_control.h"
#include "tests/e2e/driver/driver.h"
#include "tests/e2e/driver/steps.h"

// After windows.h (through the driver).

using e2e::Box;
using e2e::Dialog;
using e2e::Revediz;

using e2e::ExpectBox;
using e2e::Initialize;

using e2e::EchoedWindow;
using e2e::Head;
using e2e::LastJournalCall;

namespace {

using Lines = std::vector<std::string>;

constexpr char kHex[] = "Hex         ";
constexpr char kDec[] = "Dec         ";
constexpr char kString[] = "String      ";

// The log from the last line equal to first on (empty if there is none).
Lines LogFromLast(const Revediz& app, const std::string& first) {
  const Lines lines = app.LogLines();
  const auto at = std::find(lines.rbegin(), lines.rend(), first);
  if (at == lines.rend()) return {};
  return Lines(std::prev(at.base()), lines.end());
}

int JournalCalls(const Revediz& app, const std::string& entry) {
  int calls = 0;
  for (const std::string& line : app.Journal())
    if (line.rfind(entry + " ", 0) == 0 || line == entry) ++calls;
  return calls;
}

std::string JournalWindow(const Revediz& app) {
  char text[64];
  std::snprintf(text, sizeof text, "0x%08lX",
                static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(app.MainWindow())));
  return text;
}

// Fills the argument controls and presses Add Resource; the caller waits
// for what follows (a new list line or a refusal box).
void EnterRow(const Dialog& dialog, const std::string& resource, const std::string& type,
              const std::string& value) {
  dialog.SetText(IDC_RESOURCE, resource);
  dialog.Select(IDC_TYPE, type);
  dialog.SetText(IDC_VALUE, value);
  dialog.Click(IDC_ADD_RESOURCE);
}

void AddRow(const Dialog& dialog, const std::string& resource, const std::string& type,
            const std::string& value) {
  const std::size_t before = dialog.Items(IDC_RESOURCES_LIST).size();
  EnterRow(dialog, resource, type, value);
  ASSERT_TRUE(e2e::PollUntil([&] { return dialog.Items(IDC_RESOURCES_LIST).size() > before; },
                             e2e::kDefaultTimeoutMs));
}

// Add Resource refused: the box under "Argument Error ", and nothing changed.
void ExpectRowRefused(const Revediz& app, const Dialog& dialog, const std::string& resource,
                      const std::string& type, const std::string& value, const std::string& text) {
  const Lines listBefore = dialog.Items(IDC_RESOURCES_LIST);
  const std::string countBefore = dialog.Text(IDC_N_ARGUMENTS);
  EnterRow(dialog, resource, type, value);
  ExpectBox(app, "Argument Error ", text);
  EXPECT_TRUE(dialog.IsOpen());
  EXPECT_EQ(dialog.Items(IDC_RESOURCES_LIST), listBefore);
  EXPECT_EQ(dialog.Text(IDC_N_ARGUMENTS), countBefore);
  EXPECT_EQ(dialog.Text(IDC_VALUE), value);  // left as entered
}

// OK refused: the box, the dialog still open, nothing logged or called.
void ExpectOkRefused(const Revediz& app, const Dialog& dialog, const std::string& caption,
                     const std::string& text) {
  const int logBefore = app.LogCount();
  dialog.Click(IDOK);
  ExpectBox(app, caption, text);
  EXPECT_TRUE(dialog.IsOpen());
  EXPECT_EQ(app.LogCount(), logBefore);
}

// Opens a display with two rows; returns the handle from the success box.
int OpenDisplayWithTwoRows(const Revediz& app) {
  app.Menu(IDM_POS_OPEN);
  Dialog dialog = app.WaitDialog("POS Open");
  dialog.Select(IDC_DEVICE_CLASS, "PosDisplay");
  AddRow(dialog, "PosNRows", kDec, "2");
  AddRow(dialog, "PosSDisplayText", kString, "HELLO");
  EXPECT_EQ(dialog.Text(IDC_N_ARGUMENTS), "2");
  EXPECT_EQ(dialog.Items(IDC_RESOURCES_LIST), (Lines{"PosNRows", "PosSDisplayText"}));
  dialog.Click(IDOK);
  Box box = app.WaitBox("POS Open");
  int handle = 0;
  EXPECT_EQ(std::sscanf(box.text.c_str(), "  Handle :  %d", &handle), 1) << box.text;
  EXPECT_EQ(box.text, "  Handle :  " + std::to_string(handle) + "  Device Name :  DEVNAME");
  // The handle line is in the log before the box.
  EXPECT_EQ(app.LogLines().back(), box.text);
  box.Ok();
  dialog.WaitClosed();
  return handle;
}

// SimSetFault(target, kind, value) on the bench of the library loaded in
// the tool's process.
int SetFaultInTool(const Revediz& app, const char* target, int kind, int value) {
  return app.CallSimulator("SimSetFault", {e2e::RemoteArg::Text(target), e2e::RemoteArg::Number(kind),
                                           e2e::RemoteArg::Number(value)});
}

// ---- Close ------------------------------------------------------------------

TEST(CloseDialog, BeforeInitializeReportsNotInitializedByName) {
  Revediz app = Revediz::Start();
  app.Menu(IDM_POS_CLOSE);
  Dialog dialog = app.WaitDialog("POS Close");
  dialog.SetText(IDC_HANDLE, "1");
  dialog.Click(IDOK);
  const std::string report = "  RC = -1, errno = (302) POSERR_SYS_NOT_INITIALIZED  ";
  ExpectBox(app, "Command Status", report);
  dialog.WaitClosed();
  EXPECT_EQ(app.LogLines(), (Lines{"Command-->  PosClose(1)  ", report}));
  EXPECT_EQ(JournalCalls(app, "DLL_PosClose"), 0);  // the library was never loaded
}

TEST(CloseDialog, RefusedHandlesKeepTheDialogOpenAndLogNothing) {
  Revediz app = Revediz::Start();
  app.Menu(IDM_POS_CLOSE);
  Dialog dialog = app.WaitDialog("POS Close");
  ExpectOkRefused(app, dialog, "Handle Error ", "Missing Handle number");
  dialog.SetText(IDC_HANDLE, "-1");
  ExpectOkRefused(app, dialog, "Handle Error ", "Non numeric Handle : -1 ");
  dialog.SetText(IDC_HANDLE, " 5");
  ExpectOkRefused(app, dialog, "Handle Error ", "Non numeric Handle :  5 ");
  dialog.SetText(IDC_HANDLE, "4294967297");
  ExpectOkRefused(app, dialog, "Handle Error ", "Handle out of range : 4294967297 ");
  EXPECT_EQ(dialog.Text(IDC_HANDLE), "4294967297");
  dialog.Cancel();
  EXPECT_TRUE(app.LogLines().empty());
}

// ---- Initialize -------------------------------------------------------------

TEST(InitializeDialog, OpensWithDefaultsAndTheQueueHandleRow) {
  Revediz app = Revediz::Start();
  app.Menu(IDM_POS_INITIALIZE);
  Dialog dialog = app.WaitDialog("POS Initialization");
  EXPECT_EQ(dialog.Text(IDC_APPLICATION_NAME), "REVEDIZ");
  EXPECT_EQ(dialog.Text(IDC_RESOURCE_FILE), "C:\\VORN");
  EXPECT_EQ(dialog.Text(IDC_N_ARGUMENTS), "1");
  const Lines system = e2e::SplitLines(app.ReadFile("PSYSTEM.DAT"));
  ASSERT_FALSE(system.empty());
  EXPECT_EQ(dialog.Items(IDC_RESOURCE), system);
  EXPECT_EQ(dialog.Items(IDC_RESOURCES_LIST), Lines{system[0]});
  EXPECT_EQ(dialog.Items(IDC_TYPE), (Lines{kHex, kDec, kString}));
  EXPECT_EQ(dialog.Selection(IDC_TYPE), 0);
  dialog.Cancel();
  EXPECT_TRUE(app.LogLines().empty());
  EXPECT_TRUE(app.Journal().empty());
}

TEST(InitializeDialog, DefaultsPassExactlyTheQueueHandleThenASecondIsRefused) {
  Revediz app = Revediz::Start();
  Initialize(app);
  const std::string command = "Command-->  PosInitialize(REVEDIZ, C:\\VORN, 0, 0, [], 1)";
  EXPECT_EQ(Head(LogFromLast(app, command), 3),
            (Lines{command, "     1: queueHandle   ", EchoedWindow(app)}));
  EXPECT_EQ(LastJournalCall(app, "DLL_PosInitialize"),
            (Lines{"DLL_PosInitialize app=\"REVEDIZ\" resfile=\"C:\\VORN\" count=1",
                   "  arg[0] queueHandle = " + JournalWindow(app), "  -> 0"}));

  app.Menu(IDM_POS_INITIALIZE);
  Dialog dialog = app.WaitDialog("POS Initialization");
  dialog.Click(IDOK);
  const std::string report = "  RC = -1, errno = (304) POSERR_SYS_ALREADY_INITIALIZED  ";
  ExpectBox(app, "Command Status", report);
  dialog.WaitClosed();
  EXPECT_EQ(LogFromLast(app, command), (Lines{command, "     1: queueHandle   ", EchoedWindow(app), report}));
  EXPECT_EQ(JournalCalls(app, "DLL_PosInitialize"), 1);  // the binding answered itself
}

TEST(InitializeDialog, AddedRowsFollowTheQueueHandle) {
  Revediz app = Revediz::Start();
  app.Menu(IDM_POS_INITIALIZE);
  Dialog dialog = app.WaitDialog("POS Initialization");
  dialog.SetText(IDC_APPLICATION_NAME, "");
  AddRow(dialog, "PosNLogLevel", kDec, "3");
  AddRow(dialog, "PosSLogFile", kString, "SIM.LOG");
  EXPECT_EQ(dialog.Text(IDC_N_ARGUMENTS), "3");
  dialog.Click(IDOK);
  ExpectBox(app, "POS Initialize", "Initialize Successful.");
  dialog.WaitClosed();
  const std::string command = "Command-->  PosInitialize(REVEDIZ, C:\\VORN, 0, 0, [], 3)";
  EXPECT_EQ(Head(LogFromLast(app, command), 7),
            (Lines{command, "     1: queueHandle   ", EchoedWindow(app), "     2: LogLevel   ",
                   "               (3)  ", "     3: LogFile   ", "  SIM.LOG    "}));
  EXPECT_EQ(LastJournalCall(app, "DLL_PosInitialize"),
            (Lines{"DLL_PosInitialize app=\"REVEDIZ\" resfile=\"C:\\VORN\" count=3",
                   "  arg[0] queueHandle = " + JournalWindow(app), "  arg[1] LogLevel = 3",
                   "  arg[2] LogFile = \"SIM.LOG\"", "  -> 0"}));
}

TEST(InitializeDialog, EmptyCountPassesNoRecords) {
  Revediz app = Revediz::Start();
  app.Menu(IDM_POS_INITIALIZE);
  Dialog dialog = app.WaitDialog("POS Initialization");
  dialog.SetText(IDC_N_ARGUMENTS, "");
  dialog.Click(IDOK);
  Box box = app.WaitAnyBox();  // success or a report: the count is what matters
  box.Ok();
  dialog.WaitClosed();
  const std::string command = "Command-->  PosInitialize(REVEDIZ, C:\\VORN, 0, 0, [], 0)";
  const Lines log = LogFromLast(app, command);
  ASSERT_FALSE(log.empty()) << app.Dump();
  EXPECT_EQ(Head(LastJournalCall(app, "DLL_PosInitialize"), 1),
            Lines{"DLL_PosInitialize app=\"REVEDIZ\" resfile=\"C:\\VORN\" count=0"});
  EXPECT_TRUE(log.size() == 1 || log[1].rfind("     1:", 0) != 0);
}

TEST(InitializeDialog, RefusalsKeepTheDialogOpenAndLogNothing) {
  Revediz app = Revediz::Start();
  app.Menu(IDM_POS_INITIALIZE);
  Dialog dialog = app.WaitDialog("POS Initialization");
  ExpectRowRefused(app, dialog, "PosNTimeout", kHex, "0x10", "Non Hexadecimal Argument : 0x10 ");
  ExpectRowRefused(app, dialog, "PosNTimeout", kDec, "-5", "Non decimal Argument : -5 ");
  ExpectRowRefused(app, dialog, "PosNTimeout", kDec, "2147483648", "Argument out of range : 2147483648 ");
  const std::string longName = "PosN" + std::string(99, 'L');
  ExpectRowRefused(app, dialog, longName, kDec, "1", "Resource name too long : " + longName + " ");
  dialog.SetText(IDC_N_ARGUMENTS, "x");
  ExpectOkRefused(app, dialog, "Argument Error ", "Non Numeric Argument : x ");
  dialog.SetText(IDC_N_ARGUMENTS, "21");
  ExpectOkRefused(app, dialog, "Argument Error ", "Too many arguments : 21 ");
  EXPECT_EQ(dialog.Text(IDC_N_ARGUMENTS), "21");
  dialog.Cancel();
  EXPECT_TRUE(app.LogLines().empty());
  EXPECT_EQ(JournalCalls(app, "DLL_PosInitialize"), 0);
}

TEST(InitializeDialog, DeviceOnlineCommandIsLoggedAndTheDialogStays) {
  Revediz app = Revediz::Start();
  app.Menu(IDM_POS_INITIALIZE);
  Dialog dialog = app.WaitDialog("POS Initialization");
  PostMessageA(dialog.hwnd(), WM_COMMAND, 16909, 0);
  EXPECT_EQ(app.WaitLogCount(1), Lines{"Message from DEVICE ON LINE"});
  EXPECT_TRUE(dialog.IsOpen());
  dialog.Cancel();
  EXPECT_EQ(app.LogCount(), 1);
}

TEST(InitializeDialog, MissingSystemListStillPreAddsTheQueueHandleRow) {
  Revediz app = Revediz::Start();
  app.RemoveFile("PSYSTEM.DAT");
  app.Menu(IDM_POS_INITIALIZE);
  Dialog dialog = app.WaitDialog("POS Initialization");
  EXPECT_EQ(app.LogLines(), Lines{" File : PSYSTEM.DAT is not found."});
  EXPECT_TRUE(dialog.Items(IDC_RESOURCE).empty());
  EXPECT_EQ(dialog.Items(IDC_RESOURCES_LIST), Lines{""});
  EXPECT_EQ(dialog.Text(IDC_N_ARGUMENTS), "1");
  dialog.Cancel();
}

TEST(InitializeDialog, LongNamesAreLoggedAndPassedWhole) {
  Revediz app = Revediz::Start();
  app.Menu(IDM_POS_INITIALIZE);
  Dialog dialog = app.WaitDialog("POS Initialization");
  const std::string name(253, 'A');
  dialog.SetText(IDC_APPLICATION_NAME, name + "cut");  // a field gives 253 characters
  dialog.Click(IDOK);
  app.WaitAnyBox().Ok();
  dialog.WaitClosed();
  const std::string command = "Command-->  PosInitialize(" + name + ", C:\\VORN, 0, 0, [], 1)";
  EXPECT_EQ(Head(LogFromLast(app, command), 1), Lines{command});
  EXPECT_EQ(Head(LastJournalCall(app, "DLL_PosInitialize"), 1),
            Lines{"DLL_PosInitialize app=\"" + name + "\" resfile=\"C:\\VORN\" count=1"});
}

// ---- Open -------------------------------------------------------------------

TEST(OpenDialog, DisplayWithTwoRowsPassesThreeRecordsQueueHandleLastThenCloses) {
  Revediz app = Revediz::Start();
  Initialize(app);
  const int handle = OpenDisplayWithTwoRows(app);
  ASSERT_GT(handle, 0);
  const std::string command = "Command-->  PosOpen(DEVNAME, PosDisplay, [], 2)";
  EXPECT_EQ(Head(LogFromLast(app, command), 6),
            (Lines{command, "     1: Rows   ", "               (2)  ", "     2: DisplayText   ",
                   "  HELLO    ",
                   "  Handle :  " + std::to_string(handle) + "  Device Name :  DEVNAME"}));
  EXPECT_EQ(LastJournalCall(app, "DLL_PosOpen"),
            (Lines{"DLL_PosOpen name=\"DEVNAME\" class=\"PosDisplay\" count=3", "  arg[0] Rows = 2",
                   "  arg[1] DisplayText = \"HELLO\"",
                   "  arg[2] queueHandle = " + JournalWindow(app),
                   "  -> 0 out=" + std::to_string(handle)}));

  // Close of the opened handle: the success line comes after the box.
  app.Menu(IDM_POS_CLOSE);
  Dialog close = app.WaitDialog("POS Close");
  close.SetText(IDC_HANDLE, std::to_string(handle));
  close.Click(IDOK);
  Box box = app.WaitBox("POS Close");
  EXPECT_EQ(box.text, "PosClose Successful.");
  const std::string closeCommand = "Command-->  PosClose(" + std::to_string(handle) + ")  ";
  const std::string closed = "Close Handle " + std::to_string(handle) + " successful";
  EXPECT_EQ(app.LogLines().back(), closeCommand);
  box.Ok();
  close.WaitClosed();
  EXPECT_EQ(Head(LogFromLast(app, closeCommand), 2), (Lines{closeCommand, closed}));
  EXPECT_EQ(LastJournalCall(app, "DLL_PosClose"),
            (Lines{"DLL_PosClose handle=" + std::to_string(handle), "  -> 0"}));
}

TEST(OpenDialog, HandleStandsWhileErrnoHoldsAnEarlierNegativeCode) {
  Revediz app = Revediz::Start();
  Initialize(app);
  // A failing display leaves its negative status in errno.
  ASSERT_EQ(SetFaultInTool(app, "PosDisplay", kSimFaultError, -1), 0);
  app.Menu(IDM_POS_OPEN);
  Dialog failing = app.WaitDialog("POS Open");
  failing.Select(IDC_DEVICE_CLASS, "PosDisplay");
  failing.Click(IDOK);
  Box report = app.WaitBox("Command Status");
  EXPECT_EQ(report.text.rfind("  RC = -1, errno = (-1) ", 0), 0u) << report.text;
  report.Ok();
  failing.WaitClosed();

  ASSERT_EQ(SetFaultInTool(app, "PosDisplay", kSimFaultError, 0), 0);
  const int handle = OpenDisplayWithTwoRows(app);
  EXPECT_GT(handle, 0);
  EXPECT_EQ(LastJournalCall(app, "DLL_PosOpen").back(), "  -> 0 out=" + std::to_string(handle));
}

TEST(OpenDialog, EmptyNameAndNoRowsPassOnlyTheQueueHandle) {
  Revediz app = Revediz::Start();
  Initialize(app);
  app.Menu(IDM_POS_OPEN);
  Dialog dialog = app.WaitDialog("POS Open");
  EXPECT_EQ(dialog.Text(IDC_DEVICE_NAME), "DEVNAME");
  EXPECT_EQ(dialog.Text(IDC_N_ARGUMENTS), "0");
  dialog.SetText(IDC_DEVICE_NAME, "");
  dialog.Select(IDC_DEVICE_CLASS, "PosDisplay");
  dialog.Click(IDOK);
  Box box = app.WaitBox("POS Open");
  box.Ok();
  dialog.WaitClosed();
  const std::string command = "Command-->  PosOpen(DEVNAME, PosDisplay, [], 0)";
  const Lines log = LogFromLast(app, command);
  ASSERT_GE(log.size(), 2u) << app.Dump();
  EXPECT_EQ(log[1].rfind("  Handle :  ", 0), 0u) << log[1];
  const Lines block = LastJournalCall(app, "DLL_PosOpen");
  EXPECT_EQ(Head(block, 2), (Lines{"DLL_PosOpen name=\"DEVNAME\" class=\"PosDisplay\" count=1",
                                   "  arg[0] queueHandle = " + JournalWindow(app)}));
}

TEST(OpenDialog, FailedOpenIsReported) {
  Revediz app = Revediz::Start();
  app.Menu(IDM_POS_OPEN);
  Dialog dialog = app.WaitDialog("POS Open");
  dialog.Click(IDOK);
  const std::string report = "  RC = -1, errno = (302) POSERR_SYS_NOT_INITIALIZED  ";
  ExpectBox(app, "Command Status", report);
  dialog.WaitClosed();
  // The first class of the list stands selected.
  EXPECT_EQ(app.LogLines(), (Lines{"Command-->  PosOpen(DEVNAME, PosSystem, [], 0)", report}));
}

TEST(OpenDialog, ClassChangeReloadsResourcesAndKeepsAddedRows) {
  Revediz app = Revediz::Start();
  app.Menu(IDM_POS_OPEN);
  Dialog dialog = app.WaitDialog("POS Open");
  EXPECT_EQ(dialog.Items(IDC_DEVICE_CLASS), e2e::SplitLines(app.ReadFile("PRESOURC.DAT")));
  EXPECT_EQ(dialog.Selection(IDC_DEVICE_CLASS), 0);
  EXPECT_EQ(dialog.Items(IDC_RESOURCE), e2e::SplitLines(app.ReadFile("PSYSTEM.DAT")));
  AddRow(dialog, "PosNTimeout", kDec, "100");

  dialog.Select(IDC_DEVICE_CLASS, "PosPrinter");
  const Lines printer = e2e::SplitLines(app.ReadFile("PPRINTER.DAT"));
  ASSERT_FALSE(printer.empty());
  EXPECT_EQ(dialog.Items(IDC_RESOURCE), printer);
  EXPECT_EQ(dialog.Selection(IDC_RESOURCE), 0);
  EXPECT_EQ(dialog.Text(IDC_RESOURCE), printer[0]);
  EXPECT_EQ(dialog.Items(IDC_RESOURCES_LIST), Lines{"PosNTimeout"});
  EXPECT_EQ(dialog.Text(IDC_N_ARGUMENTS), "1");

  dialog.Select(IDC_DEVICE_CLASS, "PosKeyboard");
  EXPECT_EQ(dialog.Items(IDC_RESOURCE), e2e::SplitLines(app.ReadFile("PKEYBRD.DAT")));
  AddRow(dialog, "PosNClickVolume", kDec, "10");
  EXPECT_EQ(dialog.Items(IDC_RESOURCES_LIST), (Lines{"PosNTimeout", "PosNClickVolume"}));
  EXPECT_EQ(dialog.Text(IDC_N_ARGUMENTS), "2");
  EXPECT_TRUE(app.LogLines().empty());

  // A class whose list is gone empties the Resource combo and logs why.
  app.RemoveFile("PTOUCH.DAT");
  dialog.Select(IDC_DEVICE_CLASS, "PosTouch");
  EXPECT_TRUE(dialog.Items(IDC_RESOURCE).empty());
  EXPECT_EQ(app.LogLines(), Lines{" File : PTOUCH.DAT is not found."});
  EXPECT_EQ(dialog.Items(IDC_RESOURCES_LIST), (Lines{"PosNTimeout", "PosNClickVolume"}));
  dialog.Cancel();
  EXPECT_EQ(app.LogCount(), 1);
}

TEST(OpenDialog, RefusalsKeepTheDialogOpenAndLogNothing) {
  Revediz app = Revediz::Start();
  app.Menu(IDM_POS_OPEN);
  Dialog dialog = app.WaitDialog("POS Open");
  ExpectRowRefused(app, dialog, "PosNRows", kDec, "-5", "Non decimal Argument : -5 ");
  ExpectRowRefused(app, dialog, "PosNRows", kHex, "0x10", "Non Hexadecimal Argument : 0x10 ");
  ExpectRowRefused(app, dialog, "PosNRows", kHex, "123456789", "Argument out of range : 123456789 ");
  AddRow(dialog, "PosNRows", kHex, "00000000FF");  // leading zeros still fit
  EXPECT_EQ(dialog.Text(IDC_N_ARGUMENTS), "1");
  dialog.SetText(IDC_N_ARGUMENTS, "1a");
  ExpectOkRefused(app, dialog, "Argument Error ", "Non Numeric Argument : 1a ");
  dialog.SetText(IDC_N_ARGUMENTS, "20");  // one record is the queue handle's
  ExpectOkRefused(app, dialog, "Argument Error ", "Too many arguments : 20 ");
  EXPECT_EQ(dialog.Items(IDC_RESOURCES_LIST), Lines{"PosNRows"});
  dialog.Cancel();
  EXPECT_TRUE(app.LogLines().empty());
  EXPECT_EQ(JournalCalls(app, "DLL_PosOpen"), 0);
}

}  // namespace
