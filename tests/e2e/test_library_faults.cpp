// End-to-end: the real tool when its device library fails it: no library at
// all, a library that lacks an entry or whose initialize fails, every device
// call failing with chosen error codes, a storm of notifications while a
// dialog and a box are open, the operator closing the log, and the program
// ending with the library still initialized.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "simulator/sim_control.h"
#include "tests/e2e/driver/steps.h"

using e2e::Box;
using e2e::Dialog;
using e2e::Library;
using e2e::Lines;
using e2e::Revediz;
using e2e::StartOptions;

using e2e::EchoedWindow;
using e2e::LastJournalCall;

namespace {

int Count(const Lines& lines, const std::string& line) {
  return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

// The three lines an Initialize with the dialog's defaults logs before its
// call.
Lines InitializeCommand(const Revediz& app) {
  return {"Command-->  PosInitialize(REVEDIZ, C:\\VORN, 0, 0, [], 1)", "     1: queueHandle   ",
          EchoedWindow(app)};
}

// Initialize with the defaults, answered by a report: the only box, then the
// dialog closed.
void InitializeFails(const Revediz& app, const std::string& report) {
  app.Menu(IDM_POS_INITIALIZE);
  const Dialog dialog = app.WaitDialog("POS Initialization");
  dialog.Click(IDOK);
  const Box box = app.WaitBox("Command Status");
  EXPECT_EQ(box.text, report);
  // The loader shows no box of its own.
  EXPECT_EQ(app.Boxes().size(), 1u) << app.Dump();
  box.Ok();
  dialog.WaitClosed();
}

// Initialize with the defaults, then waits for the online lines of the
// simulator's twelve devices.
void InitializeAndSettle(const Revediz& app) {
  const int before = app.LogCount();
  e2e::Initialize(app);
  app.WaitLogCount(before + 3 + 12 * 6);
}

// The report of a failed call for a code and its name as the log shows it.
std::string Report(int code, const std::string& name) {
  return "  RC = -1, errno = (" + std::to_string(code) + ") " + name + "  ";
}

// The test device's lifecycle lines ("attach", "DLL_PosInitialize", ...).
Lines DeviceLog(const Revediz& app) {
  return app.FileExists("test_device.log") ? e2e::SplitLines(app.ReadFile("test_device.log")) : Lines{};
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Lines of the log from index `from` on, read straight from the list box
// with one message per line (lines here are far below the buffer's size;
// the tool formats none longer than 2047 characters). Much quicker than
// reading the whole log when only its end is wanted.
Lines LogTail(const Revediz& app, int from) {
  Lines lines;
  HWND log = app.LogWindow();
  if (log == nullptr) return lines;
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutW(log, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count)) return lines;
  static wchar_t wide[4096];
  char narrow[8192];
  for (int i = from; i < static_cast<int>(count); ++i) {
    DWORD_PTR length = 0;
    wide[0] = L'\0';
    if (!SendMessageTimeoutW(log, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide),
                             SMTO_ABORTIFHUNG, 5000, &length) ||
        static_cast<LRESULT>(length) < 0)
      break;
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(length), narrow, sizeof narrow,
                                          nullptr, nullptr);
    lines.emplace_back(narrow, static_cast<std::size_t>(bytes > 0 ? bytes : 0));
  }
  return lines;
}

// ---- Loading ------------------------------------------------------------------

// 337 is the binding's own load failure; it has no name, so the report shows
// the number in its fallback form.
const std::string kLoadFailed = Report(337, "337    (0x00000151)");

TEST(LibraryFaults, NoLibraryIsALoadFailureAndALaterInitializeLoadsAgain) {
  StartOptions options;
  options.library = Library::kNone;
  Revediz app = Revediz::Start(options);
  InitializeFails(app, kLoadFailed);
  Lines expected = InitializeCommand(app);
  expected.push_back(kLoadFailed);
  EXPECT_EQ(app.LogLines(), expected);

  // Nothing is loaded: the other calls are refused by the binding itself.
  app.Menu(IDM_POS_OPEN);
  const Dialog open = app.WaitDialog("POS Open");
  open.Click(IDOK);
  e2e::ExpectBox(app, "Command Status", Report(302, "POSERR_SYS_NOT_INITIALIZED"));
  open.WaitClosed();

  // Each Initialize tries the load again: once the library is there, it works.
  InitializeFails(app, kLoadFailed);
  const std::string simulator = FileBytes(e2e::WindowsPath(e2e::SimulatorPath()));
  ASSERT_FALSE(simulator.empty()) << e2e::SimulatorPath();
  app.WriteFile("vavuro32.dll", simulator);
  e2e::Initialize(app);
  EXPECT_EQ(e2e::JournalStarting(app, "DLL_PosInitialize").size(), 1u);
  app.Exit();
  EXPECT_EQ(app.WaitExit(), 0u);
  EXPECT_EQ(Count(app.Journal(), "DLL_PosTerm"), 1);
}

TEST(LibraryFaults, LibraryLackingAnEntryOrFailingItsInitializeIsFreed) {
  struct Case {
    const char* library;
    std::string report;
    Lines lifecycle;  // of one Initialize
  };
  const std::vector<Case> cases = {
      // Refused before any call: DLL_PosInitialize is never reached.
      {REVEDIZ_E2E_DEVICE_NO_VERSION, kLoadFailed, {"attach", "detach unload"}},
      {REVEDIZ_E2E_DEVICE_INIT_FAILS, Report(305, "POSERR_SYS_MEMORY_ALLOCATION"),
       {"attach", "DLL_PosInitialize", "detach unload"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.library);
    StartOptions options;
    options.library = Library::kCustom;
    options.libraryPath = c.library;
    Revediz app = Revediz::Start(options);
    InitializeFails(app, c.report);
    EXPECT_EQ(DeviceLog(app), c.lifecycle);
    // Loaded afresh, and freed again.
    InitializeFails(app, c.report);
    Lines twice = c.lifecycle;
    twice.insert(twice.end(), c.lifecycle.begin(), c.lifecycle.end());
    EXPECT_EQ(DeviceLog(app), twice);
    Lines once = InitializeCommand(app);
    once.push_back(c.report);
    Lines expected = once;
    expected.insert(expected.end(), once.begin(), once.end());
    EXPECT_EQ(app.LogLines(), expected);

    app.Menu(IDM_POS_CLOSE);
    const Dialog close = app.WaitDialog("POS Close");
    close.SetText(IDC_HANDLE, "1");
    close.Click(IDOK);
    e2e::ExpectBox(app, "Command Status", Report(302, "POSERR_SYS_NOT_INITIALIZED"));
    close.WaitClosed();
    app.Exit();
    EXPECT_EQ(app.WaitExit(), 0u);
    // Nothing was left to terminate at the end.
    EXPECT_EQ(DeviceLog(app), twice);
  }
}

// ---- Every call failing --------------------------------------------------------

int SetFault(const Revediz& app, const char* target, int kind, int value) {
  return app.CallSimulator("SimSetFault", {e2e::RemoteArg::Text(target), e2e::RemoteArg::Number(kind),
                                           e2e::RemoteArg::Number(value)});
}

// Presses OK in a dialog filled by `fill`, expects the report and returns
// the lines logged.
Lines FailingCall(const Revediz& app, WPARAM command, const char* caption,
                  const std::function<void(const Dialog&)>& fill, const std::string& report) {
  const int mark = app.LogCount();
  app.Menu(command);
  const Dialog dialog = app.WaitDialog(caption);
  fill(dialog);
  dialog.Click(IDOK);
  e2e::ExpectBox(app, "Command Status", report);
  if (command == IDM_POS_IOCTL)
    dialog.Cancel();  // the Ioctl dialog stays for the next request
  else
    dialog.WaitClosed();
  EXPECT_TRUE(app.Running());
  return LogTail(app, mark);
}

TEST(LibraryFaults, EveryCallFailingIsReportedByTheCodesName) {
  Revediz app = Revediz::Start();
  InitializeAndSettle(app);
  const int handle = e2e::Open(app, "PosDisplay");
  ASSERT_GT(handle, 0);
  const std::string h = std::to_string(handle);
  struct Code {
    int code;
    std::string name;
  };
  const std::vector<Code> codes = {
      {301, "POSERR_SYS_OS_ERROR"},
      {317, "POSERR_SYS_DEVICE_OFFLINE"},
      {4404, "POSERR_DSP_UNSUPPORTED_BITMAP"},
      {5746, "POSERR_SCAN_INVALID_CODE128_SCANS_PER_READ"},  // the longest name
      {337, "337    (0x00000151)"},                          // no name: the fallback
      {-1, "-1     (0xFFFFFFFF)"},
      {-2147483647 - 1, "-2147483648 (0x80000000)"},          // the widest fallback
  };
  int failed = 0;
  for (const Code& c : codes) {
    SCOPED_TRACE(c.code);
    // Every device and the queue answer the code.
    ASSERT_EQ(SetFault(app, "", kSimFaultError, c.code), 0);
    const std::string report = Report(c.code, c.name);
    const std::string status = "  -> " + std::to_string(c.code);
    auto device = [&](const Dialog& d) { d.SetText(IDC_HANDLE, h); };

    EXPECT_EQ(FailingCall(app, IDM_POS_OPEN, "POS Open", [](const Dialog& d) { d.Select(IDC_DEVICE_CLASS, "PosDisplay"); },
                          report),
              (Lines{"Command-->  PosOpen(DEVNAME, PosDisplay, [], 0)", report}));
    EXPECT_EQ(LastJournalCall(app, "DLL_PosOpen").back(), status + " out=0");

    EXPECT_EQ(FailingCall(app, IDM_POS_IOCTL, "POS Ioctl",
                          [&](const Dialog& d) {
                            device(d);
                            d.Select(IDC_REQUEST, "POS_DSP_CLEAR_SCREEN");
                          },
                          report),
              (Lines{"Command-->  PosIoctl(" + h + ", POS_DSP_CLEAR_SCREEN, [..], 0)", report}));
    EXPECT_EQ(LastJournalCall(app, "DLL_PosIOCtl").back(), status + " out=0");

    EXPECT_EQ(FailingCall(app, IDM_POS_READ, "POS Read", device, report),
              (Lines{"Command-->  PosRead(" + h + ", [], 80)", report}));
    EXPECT_EQ(LastJournalCall(app, "DLL_PosRead").back(), status + " out=0");

    EXPECT_EQ(FailingCall(app, IDM_POS_READ, "POS Read", [](const Dialog& d) { d.SetText(IDC_HANDLE, "0"); }, report),
              (Lines{"Command-->  PosRead(0, [], 80)", report}));
    EXPECT_EQ(LastJournalCall(app, "DLL_PosRead").back(), status + " out=0");

    EXPECT_EQ(FailingCall(app, IDM_POS_WRITE, "POS Write",
                          [&](const Dialog& d) {
                            device(d);
                            d.SetText(IDC_DATA_BOX, "x");
                          },
                          report),
              (Lines{"nLines    -> 1 ", "Command-->  PosWrite(" + h + ", [], 1)", report}));
    EXPECT_EQ(LastJournalCall(app, "DLL_PosWrite").back(), status + " out=0");

    EXPECT_EQ(FailingCall(app, IDM_POS_CLOSE, "POS Close", device, report),
              (Lines{"Command-->  PosClose(" + h + ")  ", report}));
    EXPECT_EQ(LastJournalCall(app, "DLL_PosClose").back(), status);
    failed += 6;
  }
  EXPECT_EQ(failed, 6 * static_cast<int>(codes.size()));

  // With the fault ended the device works again: it was never closed.
  ASSERT_EQ(SetFault(app, "", kSimFaultError, 0), 0);
  e2e::Write(app, handle, "OK");
  app.Menu(IDM_POS_CLOSE);
  const Dialog close = app.WaitDialog("POS Close");
  close.SetText(IDC_HANDLE, h);
  close.Click(IDOK);
  e2e::ExpectBox(app, "POS Close", "PosClose Successful.");
  close.WaitClosed();
  app.Exit();
  EXPECT_EQ(app.WaitExit(), 0u);
}

// ---- Notifications and the log -------------------------------------------------

TEST(LibraryFaults, NotificationStormWhileADialogAndABoxAreOpenKeepsEveryLineInOrder) {
  StartOptions options;
  options.library = Library::kNone;
  Revediz app = Revediz::Start(options);
  app.Menu(IDM_POS_WRITE);
  const Dialog write = app.WaitDialog("POS Write");
  write.Click(IDOK);
  const Box refusal = app.WaitBox("Handle Error ");
  EXPECT_EQ(refusal.text, "Missing Handle number");

  // 1000 notifications: device online lines that tell each message apart by
  // its parameters, ten kinds that are ignored, and five that open a box of
  // their own on top of the open ones.
  constexpr int kStorm = 1000;
  Lines expected;
  std::vector<std::string> boxes;
  for (int i = 0; i < kStorm; ++i) {
    if (i % 100 == 50) {
      app.Post(0x4202, 0x02112400, 6);  // keyboard character: ignored
    } else if (i % 200 == 199) {
      const int descriptor = i / 200 + 1;
      app.Post(0x4204, static_cast<WPARAM>(descriptor), 0);
      expected.push_back("PRINTER CHASE COMPLETE (Device Descriptor = " + std::to_string(descriptor) + ")");
      boxes.push_back(expected.back());
    } else {
      const unsigned wParam = 0x02112400u | static_cast<unsigned>(i & 0xFF);
      const unsigned lParam = static_cast<unsigned>(i) << 8 | 6u;
      app.Post(0x420D, wParam, lParam);
      char text[64];
      std::snprintf(text, sizeof text, " wParam --> %04x ", wParam);
      expected.push_back(text);
      std::snprintf(text, sizeof text, " lParam --> %08x ", lParam);
      expected.push_back(text);
      expected.insert(expected.end(), {"  POSM_SYS_DEVICE_ONLINE ",
                                       "        Device: ANOP_DISPLAY_A  (Subtype: 2X20_VFD) (Device Num: 0x24)",
                                       "            SLOT_2   (0x02) ", "            PORT_1   (0x11) "});
    }
  }
  ASSERT_EQ(expected.size(), 985u * 6 + 5);
  ASSERT_TRUE(e2e::PollUntil([&] { return app.LogCount() >= static_cast<int>(expected.size()); }, 60000))
      << app.LogCount() << " lines";
  const Lines log = LogTail(app, 0);
  ASSERT_EQ(log.size(), expected.size());
  for (std::size_t i = 0; i < log.size(); ++i) ASSERT_EQ(log[i], expected[i]) << "line " << i;

  // The five boxes stand over the refusal; closed from the top down.
  ASSERT_TRUE(e2e::PollUntil([&] { return app.Boxes().size() == boxes.size() + 1; }, 10000)) << app.Dump();
  for (auto text = boxes.rbegin(); text != boxes.rend(); ++text) {
    bool found = false;
    for (const Box& box : app.Boxes()) {
      if (box.text != *text) continue;
      EXPECT_EQ(box.caption, "DRAV Printer");
      box.Ok();
      found = true;
      break;
    }
    EXPECT_TRUE(found) << *text << "\n" << app.Dump();
  }
  refusal.Ok();
  EXPECT_TRUE(app.Boxes().empty()) << app.Dump();
  EXPECT_TRUE(write.IsOpen());
  EXPECT_EQ(app.LogCount(), static_cast<int>(expected.size()));
  write.Cancel();
  app.Exit();
  EXPECT_EQ(app.WaitExit(), 0u);
}

TEST(LibraryFaults, ClosedLogDropsLaterLinesAndBoxesStillShow) {
  Revediz app = Revediz::Start();
  e2e::Initialize(app);
  HWND log = app.LogWindow();
  ASSERT_NE(log, nullptr);
  // The operator closes the log with its own close box.
  PostMessageA(log, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(e2e::PollUntil([&] { return !IsWindow(log); }, 5000)) << app.Dump();
  EXPECT_EQ(app.LogWindow(), nullptr);
  EXPECT_TRUE(app.HasMainWindow());

  // Every command still runs and shows its box.
  const int handle = e2e::Open(app, "PosRs232c");
  ASSERT_GT(handle, 0);
  e2e::Write(app, handle, "AB\\x1bC");
  app.Menu(IDM_POS_READ);
  const Dialog read = app.WaitDialog("POS Read");
  read.SetText(IDC_HANDLE, std::to_string(handle));
  read.SetText(IDC_OUTPUT_FILE, "read.bin");
  read.Click(IDOK);
  e2e::ExpectBox(app, "POS Read", "PosRead Successful.");
  read.WaitClosed();
  EXPECT_EQ(app.ReadFile("read.bin"), std::string("AB\x1b" "C"));

  app.Menu(IDM_POS_CLOSE);
  const Dialog close = app.WaitDialog("POS Close");
  close.SetText(IDC_HANDLE, "0");
  close.Click(IDOK);
  e2e::ExpectBox(app, "Command Status", Report(311, "POSERR_SYS_FUNCTION_NOT_SUPPORTED"));
  close.WaitClosed();

  // Notifications: the online lines go nowhere, a box kind still shows.
  app.Post(0x420D, 0x02112402, 6);
  app.Post(0x4205, 0x00000007, 0);
  e2e::ExpectBox(app, "DRAV Printer", "PRINTER ERROR (Device Descriptor = 7)");
  EXPECT_TRUE(app.Boxes().empty());
  EXPECT_TRUE(app.LogLines().empty());
  EXPECT_TRUE(app.Running());

  EXPECT_EQ(e2e::JournalStarting(app, "DLL_PosWrite"),
            Lines{"DLL_PosWrite handle=" + std::to_string(handle) + " length=4 data=41 42 1B 43"});
  app.Exit();
  EXPECT_EQ(app.WaitExit(), 0u);
  EXPECT_EQ(Count(app.Journal(), "DLL_PosTerm"), 1);
}

// ---- Ending ---------------------------------------------------------------------

TEST(LibraryFaults, EndingWithTheLibraryInitializedTerminatesItOnce) {
  for (bool closeBox : {false, true}) {
    SCOPED_TRACE(closeBox ? "close box" : "Exit");
    Revediz app = Revediz::Start();
    InitializeAndSettle(app);
    ASSERT_GT(e2e::Open(app, "PosDisplay"), 0);
    // A second Initialize is refused by the binding; still one library.
    InitializeFails(app, Report(304, "POSERR_SYS_ALREADY_INITIALIZED"));
    if (closeBox)
      app.CloseBox();
    else
      app.Exit();
    EXPECT_EQ(app.WaitExit(), 0u);
    const Lines journal = app.Journal();
    EXPECT_EQ(Count(journal, "DLL_PosInitialize app=\"REVEDIZ\" resfile=\"C:\\VORN\" count=1"), 1);
    ASSERT_EQ(Count(journal, "DLL_PosTerm"), 1) << ::testing::PrintToString(journal);
    const auto term = std::find(journal.begin(), journal.end(), "DLL_PosTerm");
    ASSERT_GE(journal.end() - term, 3);
    EXPECT_EQ(term[1], "  # closed 1 open devices");
    EXPECT_EQ(term[2], "  -> 0");
    // Nothing reached the library after it.
    for (auto line = term + 1; line != journal.end(); ++line)
      EXPECT_NE(line->rfind("DLL_", 0), 0u) << *line;
  }
}

}  // namespace
