// End-to-end: device notifications posted to the real main window, by this
// driver and by the simulator, give their log lines and boxes in arrival
// order; the ignored kinds leave no trace.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/driver/driver.h"

using e2e::Box;
using e2e::Revediz;

namespace {

// The six device-online lines for the display of the simulator's bench
// (slot 2, port 0x11, type 0x24, class byte 2, subtype 6).
std::vector<std::string> DisplayOnlineLines() {
  return {" wParam --> 2112402 ",
          " lParam --> 00000006 ",
          "  POSM_SYS_DEVICE_ONLINE ",
          "        Device: ANOP_DISPLAY_A  (Subtype: 2X20_VFD) (Device Num: 0x24)",
          "            SLOT_2   (0x02) ",
          "            PORT_1   (0x11) "};
}

}  // namespace

TEST(Notifications, SingleLineKindsLogThenShowTheirBoxInArrivalOrder) {
  Revediz app = Revediz::Start();
  app.Post(0x4204, 0x00000003, 0);  // printer chase complete, descriptor 3
  Box first = app.WaitBox("DRAV Printer");
  EXPECT_EQ(first.text, "PRINTER CHASE COMPLETE (Device Descriptor = 3)");
  // The line is in the log while the box is still up.
  EXPECT_EQ(app.LogLines(),
            std::vector<std::string>{"PRINTER CHASE COMPLETE (Device Descriptor = 3)"});

  // A second notification arrives while the first box is open: it stacks.
  app.Post(0x4203, 0, 0x0000012A);  // card data, length byte 0x2A
  Box second = app.WaitBox("MSR Message");
  EXPECT_EQ(second.text, "MSR DATA AVAILABLE (Length = 42)");
  EXPECT_EQ(app.Boxes().size(), 2u);
  second.Ok();
  first.Ok();
  EXPECT_EQ(app.LogLines(),
            (std::vector<std::string>{"PRINTER CHASE COMPLETE (Device Descriptor = 3)",
                                      "MSR DATA AVAILABLE (Length = 42)"}));
  app.Exit();
  EXPECT_EQ(app.WaitExit(), 0);
}

TEST(Notifications, KeyboardStatusAlwaysShowsItsOwnNumber) {
  Revediz app = Revediz::Start();
  app.Post(0x4201, 0x12345678, 0x7FFFFFFF);
  Box box = app.WaitBox("Keyboard Status Change");
  EXPECT_EQ(box.text, "POSM_KBD_STATUS_CHANGE (Msg = 16897)");
  box.Ok();
  app.Exit();
  EXPECT_EQ(app.WaitExit(), 0);
}

TEST(Notifications, OfflineOfKnownTypesIsShownOthersAreSilent) {
  Revediz app = Revediz::Start();
  app.Post(0x420C, 0x00004A05, 0);  // scanner off line: silent
  app.Post(0x420C, 0x00004803, 0);  // card reader off line
  Box box = app.WaitBox("DRAV Message");
  EXPECT_EQ(box.text, "MSR_3_TRACK OFF LINE (Device Descriptor = 3)");
  box.Ok();
  EXPECT_EQ(app.LogLines(),
            std::vector<std::string>{"MSR_3_TRACK OFF LINE (Device Descriptor = 3)"});
  app.Exit();
  EXPECT_EQ(app.WaitExit(), 0);
}

TEST(Notifications, IgnoredKindsLeaveNoTrace) {
  Revediz app = Revediz::Start();
  for (UINT message : {0x4202u, 0x4207u, 0x4208u, 0x4209u, 0x420Au, 0x420Eu, 0x4211u, 0x4213u,
                       0x4216u})
    app.Post(message, 0x02112402, 6);
  // A marker that is handled proves the ones before it were processed.
  app.Post(0x420D, 0x02112402, 6);
  const std::vector<std::string> lines = app.WaitLogCount(6);
  EXPECT_EQ(lines, DisplayOnlineLines());
  EXPECT_TRUE(app.Boxes().empty());
  app.Exit();
  EXPECT_EQ(app.WaitExit(), 0);
}

TEST(Notifications, OnlineZeroBytesPrintInTheirAlternateForm) {
  Revediz app = Revediz::Start();
  app.Post(0x420D, 0x00000010, 0);  // slot 0, port 0, type 0, byte 0 0x10, subtype 0
  const std::vector<std::string> lines = app.WaitLogCount(6);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], " wParam --> 0010 ");
  EXPECT_EQ(lines[1], " lParam --> 00000000 ");
  EXPECT_EQ(lines[3],
            "        Device: 0      (0x00000000)  (Subtype: NONE) (Device Num: 0000)");
  EXPECT_EQ(lines[4], "            SLOT_0   (0000) ");
  EXPECT_EQ(lines[5], "            PORT_0   (0000) ");
  app.Exit();
  EXPECT_EQ(app.WaitExit(), 0);
}

TEST(Notifications, BurstKeepsEveryLineInOrder) {
  Revediz app = Revediz::Start();
  constexpr int kBurst = 50;
  for (int i = 0; i < kBurst; ++i) app.Post(0x420D, 0x02112402, 6);
  const std::vector<std::string> lines = app.WaitLogCount(6 * kBurst, 60000);
  ASSERT_EQ(lines.size(), static_cast<size_t>(6 * kBurst));
  const std::vector<std::string> group = DisplayOnlineLines();
  for (int i = 0; i < 6 * kBurst; ++i) EXPECT_EQ(lines[i], group[i % 6]) << "line " << i;
  app.Exit();
  EXPECT_EQ(app.WaitExit(), 0);
}

TEST(Notifications, SimulatorBringsItsDevicesOnLineAtInitialize) {
  Revediz app = Revediz::Start();
  app.Menu(IDM_POS_INITIALIZE);
  e2e::Dialog init = app.WaitDialog("POS Initialization");
  init.Click(IDOK);
  Box ok = app.WaitBox("POS Initialize");
  EXPECT_EQ(ok.text, "Initialize Successful.");
  ok.Ok();
  // The display's online notification arrives through the main window.
  bool seen = false;
  for (int tries = 0; tries < 100 && !seen; ++tries) {
    const std::vector<std::string> lines = app.LogLines();
    for (size_t i = 0; i + 3 < lines.size(); ++i)
      if (lines[i] == "  POSM_SYS_DEVICE_ONLINE " &&
          lines[i + 1] ==
              "        Device: ANOP_DISPLAY_A  (Subtype: 2X20_VFD) (Device Num: 0x24)")
        seen = true;
    if (!seen) Sleep(50);
  }
  EXPECT_TRUE(seen) << app.Dump();
  app.Exit();
  EXPECT_EQ(app.WaitExit(), 0);
}
