// End-to-end: the simulator's device bench, driven like a person at the
// hardware would use it, while the tool shows what the devices report. Also
// makes the README's screenshots.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "simulator/bench_ids.h"
#include "tests/e2e/driver/steps.h"

using e2e::Dialog;
using e2e::ExpectBox;
using e2e::Lines;
using e2e::Revediz;

namespace {

// The six device-online lines of the bench's display (slot 2, port 0x11,
// type 0x24, class byte 2, subtype 6).
const Lines kDisplayOnline = {" wParam --> 2112402 ",
                              " lParam --> 00000006 ",
                              "  POSM_SYS_DEVICE_ONLINE ",
                              "        Device: ANOP_DISPLAY_A  (Subtype: 2X20_VFD) (Device Num: 0x24)",
                              "            SLOT_2   (0x02) ",
                              "            PORT_1   (0x11) "};

// The tool started and initialized, its initialize-time notifications
// logged; the bench it opened.
struct Session {
  Revediz app;
  Dialog bench;
};

Session StartWithBench() {
  Revediz app = Revediz::Start();
  EXPECT_FALSE(app.HasBench()) << "the bench opens with the library, not before";
  e2e::Initialize(app);
  // Every bench device reports on line at initialize: six lines each.
  app.WaitLogCount(3 + 12 * 6);
  Dialog bench = app.WaitBench();
  return Session{std::move(app), bench};
}

// The bench's status line once it reads `expected` (actions run on the
// bench's own thread: the press returns before they are done).
void ExpectStatus(const Revediz& app, const Dialog& bench, const std::string& expected) {
  const bool seen = e2e::PollUntil([&] { return bench.Text(IDC_BENCH_STATUS) == expected; }, 5000);
  EXPECT_TRUE(seen) << "status " << bench.Text(IDC_BENCH_STATUS) << ", expected " << expected << "\n"
                    << app.Dump();
}

// The bench's state line of a device, once it contains `part`.
std::string WaitStateLine(const Dialog& bench, const std::string& device, const std::string& part) {
  std::string found;
  e2e::PollUntil([&] {
    for (const std::string& line : bench.Items(IDC_BENCH_DEVICES)) {
      if (line.rfind(device + " ", 0) == 0) found = line;
    }
    return found.find(part) != std::string::npos;
  }, 5000);
  return found;
}

// Selects a device in the bench's Device list.
void ChooseDevice(const Dialog& bench, const std::string& device) {
  bench.Select(IDC_BENCH_DEVICE, device);
}

}  // namespace

TEST(DeviceBench, OpensWithTheLibraryListsEveryDeviceAndClosesAtTermination) {
  Session s = StartWithBench();
  const Lines states = s.bench.Items(IDC_BENCH_DEVICES);
  ASSERT_EQ(states.size(), 12u) << s.app.Dump();
  EXPECT_EQ(states[0].rfind("PosAlarm     on line   0 open", 0), 0u) << states[0];
  EXPECT_NE(WaitStateLine(s.bench, "PosScale", "weight 1250 g"), "");
  // The bench is no dialog of the tool and no message box.
  EXPECT_TRUE(s.app.Dialogs().empty());
  EXPECT_TRUE(s.app.Boxes().empty());

  s.app.Exit();
  EXPECT_EQ(s.app.WaitExit(), 0u);
  const Lines journal = s.app.Journal();
  const auto term = std::find(journal.begin(), journal.end(), "DLL_PosTerm");
  ASSERT_NE(term, journal.end());
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "BENCH window opened"), 1);
  // Closed by the termination, after it.
  EXPECT_NE(std::find(term, journal.end(), "BENCH window closed"), journal.end());
}

TEST(DeviceBench, SwipedCardIsAnnouncedAndTheNextReadDumpsItsTracks) {
  Session s = StartWithBench();
  const int msr = e2e::Open(s.app, "PosMsr");
  s.bench.SetText(IDC_BENCH_TRACKS, "%B5413^DOE/J^2712?;5413=2712?");
  s.bench.Click(IDC_BENCH_SWIPE);
  // The reader tells the tool through its handle: 29 bytes of tracks.
  ExpectBox(s.app, "MSR Message", "MSR DATA AVAILABLE (Length = 29)");
  ExpectStatus(s.app, s.bench, "Swipe: done");
  EXPECT_NE(WaitStateLine(s.bench, "PosMsr", "29 bytes waiting"), "");

  Lines got = e2e::ReadAndSave(s.app, msr, 64, "card.bin");
  ASSERT_EQ(got.size(), 6u) << s.app.Dump();
  got[4] = e2e::Row(got[4]);
  got[5] = e2e::Row(got[5]);
  EXPECT_EQ(got, (Lines{"Command-->  PosRead(" + std::to_string(msr) + ", [], 64)",
                        "REVEDIZ: Wrote 29 bytes to 'card.bin'", "      Read Results:  ", "      (29 bytes)",
                        "   0000: 25 42 35 34 31 33 5E 44 4F 45 2F 4A 5E 32 37 31  | %B5413^DOE/J^271",
                        "   0010: 32 3F 3B 35 34 31 33 3D 32 37 31 32 3F  | 2?;5413=2712?"}));
  EXPECT_EQ(s.app.ReadFile("card.bin"), "%B5413^DOE/J^2712?;5413=2712?");
  // Read once, the card is gone.
  EXPECT_NE(WaitStateLine(s.bench, "PosMsr", "no input waiting"), "");
  EXPECT_EQ(e2e::JournalStarting(s.app, "BENCH PosMsr swipe length=29").size(), 1u);
}

TEST(DeviceBench, ScannedLabelCarriesItsSymbology) {
  Session s = StartWithBench();
  const int scanner = e2e::Open(s.app, "PosScanner");
  s.bench.SetText(IDC_BENCH_SYMBOLOGY, "]A0");
  s.bench.SetText(IDC_BENCH_LABEL, "CODE39");
  s.bench.Click(IDC_BENCH_SCAN);
  ExpectBox(s.app, "SCANNER Message", "SCANNER DATA AVAILABLE (Length = 9)");
  const Lines got = e2e::ReadAndSave(s.app, scanner, 32, "label.bin");
  EXPECT_EQ(s.app.ReadFile("label.bin"), "]A0CODE39");
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(e2e::Row(got.back()), "   0000: 5D 41 30 43 4F 44 45 33 39  | ]A0CODE39");
}

TEST(DeviceBench, PaperOutGivesThePrinterErrorBoxAndStopsPrinting) {
  Session s = StartWithBench();
  const int printer = e2e::Open(s.app, "PosPrinter");
  const std::string descriptor = std::to_string(printer);
  s.bench.Press(IDC_BENCH_PAPER_OUT);
  ExpectBox(s.app, "DRAV Printer", "PRINTER ERROR (Device Descriptor = " + descriptor + ")");
  EXPECT_EQ(s.app.LogLines().back(), "PRINTER ERROR (Device Descriptor = " + descriptor + ")");
  EXPECT_NE(WaitStateLine(s.bench, "PosPrinter", "paper out"), "");
  EXPECT_TRUE(s.bench.IsChecked(IDC_BENCH_PAPER_OUT));

  // Without paper the printer refuses the print, and the tool says why.
  e2e::Write(s.app, printer, "TOTAL 9.99", "  RC = -1, errno = (306) POSERR_SYS_HW_ERROR  ");
  EXPECT_EQ(e2e::JournalStarting(s.app, "  # printer halted: paper out").size(), 1u);

  // Paper loaded: a status change, and printing works again.
  s.bench.Press(IDC_BENCH_PAPER_OUT);
  ExpectBox(s.app, "DRAV Printer", "PRINTER STATUS CHANGE (Device Descriptor = " + descriptor + ")");
  s.app.Menu(IDM_POS_WRITE);
  Dialog write = s.app.WaitDialog("POS Write");
  write.SetText(IDC_HANDLE, descriptor);
  write.SetText(IDC_DATA_BOX, "TOTAL 9.99\\n");
  write.Click(IDOK);
  // The printed line is announced while the success box is up: that box
  // ends only once the announcement's own box is closed.
  ExpectBox(s.app, "DRAV Printer", "PRINTER CHASE COMPLETE (Device Descriptor = " + descriptor + ")");
  ExpectBox(s.app, "POS Write", "PosWrite Successful.");
  write.WaitClosed();
  EXPECT_NE(WaitStateLine(s.bench, "PosPrinter", "last \"TOTAL 9.99\""), "");
}

TEST(DeviceBench, OffLineThenOnLineGivesTheBoxAndTheDecodedLines) {
  Session s = StartWithBench();
  const std::size_t mark = s.app.LogLines().size();
  ChooseDevice(s.bench, "PosDisplay");
  s.bench.Click(IDC_BENCH_OFFLINE);
  // Device-wide notifications carry the class byte (2) as the descriptor.
  ExpectBox(s.app, "DRAV Message", "DEVICE_ANOP_DISPLAY_A OFF LINE (Device Descriptor = 2)");
  EXPECT_NE(WaitStateLine(s.bench, "PosDisplay", "off line"), "");
  ExpectStatus(s.app, s.bench, "Off line PosDisplay: done");

  s.bench.Click(IDC_BENCH_ONLINE);
  Lines expected = {"DEVICE_ANOP_DISPLAY_A OFF LINE (Device Descriptor = 2)"};
  expected.insert(expected.end(), kDisplayOnline.begin(), kDisplayOnline.end());
  s.app.WaitLogCount(static_cast<int>(mark + expected.size()));
  EXPECT_EQ(e2e::LogFrom(s.app, mark), expected);
  EXPECT_TRUE(s.app.Boxes().empty()) << "on line shows no box";
  EXPECT_NE(WaitStateLine(s.bench, "PosDisplay", "on line"), "");
}

TEST(DeviceBench, ChosenErrorCodeAnswersEveryCallUntilCleared) {
  Session s = StartWithBench();
  const int display = e2e::Open(s.app, "PosDisplay");
  ChooseDevice(s.bench, "PosDisplay");
  s.bench.Select(IDC_BENCH_ERROR_CODE, "4404 POSERR_DSP_UNSUPPORTED_BITMAP");
  s.bench.Click(IDC_BENCH_SET_ERROR);
  ExpectStatus(s.app, s.bench, "Error code PosDisplay: done");
  e2e::Write(s.app, display, "HELLO", "  RC = -1, errno = (4404) POSERR_DSP_UNSUPPORTED_BITMAP  ");

  // A code typed by hand that is no number is refused by the bench itself.
  s.bench.SetText(IDC_BENCH_ERROR_CODE, "lots");
  s.bench.Click(IDC_BENCH_SET_ERROR);
  ExpectStatus(s.app, s.bench, "Error code PosDisplay: not a number");

  s.bench.Click(IDC_BENCH_CLEAR_FAULTS);
  ExpectStatus(s.app, s.bench, "Clear faults: done");
  e2e::Write(s.app, display, "HELLO");
  EXPECT_NE(WaitStateLine(s.bench, "PosDisplay", "shows \"HELLO"), "");
}

TEST(DeviceBench, BenchActionsNeedTheirDeviceOnLine) {
  Session s = StartWithBench();
  ChooseDevice(s.bench, "PosMsr");
  s.bench.Click(IDC_BENCH_OFFLINE);
  ExpectBox(s.app, "DRAV Message", "MSR_3_TRACK OFF LINE (Device Descriptor = 5)");
  s.bench.Click(IDC_BENCH_SWIPE);
  ExpectStatus(s.app, s.bench, "Swipe: POSERR_SYS_DEVICE_OFFLINE (317)");
  EXPECT_TRUE(s.app.Boxes().empty()) << "an off-line reader announces nothing";
}

TEST(DeviceBench, BurstLogsEveryNotificationInOrder) {
  Session s = StartWithBench();
  const std::size_t mark = s.app.LogLines().size();
  ChooseDevice(s.bench, "PosDisplay");
  s.bench.SetText(IDC_BENCH_BURST_COUNT, "40");
  s.bench.Click(IDC_BENCH_BURST);
  ExpectStatus(s.app, s.bench, "Burst PosDisplay: done");
  s.app.WaitLogCount(static_cast<int>(mark + 40 * kDisplayOnline.size()), 60000);
  const Lines got = e2e::LogFrom(s.app, mark);
  ASSERT_EQ(got.size(), 40 * kDisplayOnline.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    ASSERT_EQ(got[i], kDisplayOnline[i % kDisplayOnline.size()]) << "line " << i;
  }
  EXPECT_EQ(e2e::JournalStarting(s.app, "BENCH PosDisplay burst count=40").size(), 1u);
}

// The README's pictures, taken from the real tool on the test display: the
// main window with its log, the Open dialog, the log after a read and a
// device coming back on line, and the bench. REVEDIZ_SCREENSHOT_DIR names
// the folder (Windows path); without it the test checks the story only.
TEST(DeviceBench, ScreenshotsOfTheToolAtWork) {
  char folder[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA("REVEDIZ_SCREENSHOT_DIR", folder, sizeof folder);
  const std::string dir = length > 0 && length < sizeof folder ? folder : "";
  auto shoot = [&](const std::string& name, HWND window) {
    if (dir.empty()) return;
    Sleep(300);  // let the last paint reach the screen
    EXPECT_TRUE(e2e::SaveScreenshot(dir + "\\" + name + ".bmp", window)) << name;
  };

  Session s = StartWithBench();
  // The operator widens the tool and drags the log larger, as one does
  // before reading dumps.
  SetWindowPos(s.app.MainWindow(), nullptr, 0, 0, 760, 560, SWP_NOZORDER);
  SetWindowPos(s.app.LogWindow(), nullptr, 10, 5, 730, 490, SWP_NOZORDER);
  const int nvram = e2e::Open(s.app, "PosNvram");
  shoot("main-window", s.app.MainWindow());

  s.app.Menu(IDM_POS_OPEN);
  Dialog open = s.app.WaitDialog("POS Open");
  open.Select(IDC_DEVICE_CLASS, "PosDisplay");
  open.SetText(IDC_DEVICE_NAME, "DISPLAY1");
  shoot("open-dialog", open.hwnd());
  open.Cancel();

  const Lines read = e2e::ReadAndSave(s.app, nvram, 48, "nvram.bin");
  EXPECT_EQ(read.size(), 7u) << s.app.Dump();
  ChooseDevice(s.bench, "PosDisplay");
  s.bench.Click(IDC_BENCH_OFFLINE);
  ExpectBox(s.app, "DRAV Message", "DEVICE_ANOP_DISPLAY_A OFF LINE (Device Descriptor = 2)");
  const std::size_t mark = s.app.LogLines().size();
  s.bench.Click(IDC_BENCH_ONLINE);
  s.app.WaitLogCount(static_cast<int>(mark + kDisplayOnline.size()));
  EXPECT_EQ(e2e::LogFrom(s.app, mark), kDisplayOnline);
  // Scrolled as the operator would, to the read and what followed it.
  const Lines log = s.app.LogLines();
  const auto readLine = std::find(log.begin(), log.end(), "Command-->  PosRead(" + std::to_string(nvram) + ", [], 48)");
  ASSERT_NE(readLine, log.end());
  SendMessageA(s.app.LogWindow(), LB_SETTOPINDEX, static_cast<WPARAM>(readLine - log.begin()) - 3, 0);
  shoot("log-read-and-online", s.app.MainWindow());

  s.bench.SetText(IDC_BENCH_GRAMS, "480");
  s.bench.Click(IDC_BENCH_PLACE);
  ExpectStatus(s.app, s.bench, "Place weight: done");
  EXPECT_NE(WaitStateLine(s.bench, "PosScale", "weight 480 g"), "");
  SetWindowPos(s.app.MainWindow(), nullptr, 0, 0, 470, 560, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(s.bench.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  shoot("device-bench", s.bench.hwnd());
}
