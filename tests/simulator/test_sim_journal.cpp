// The journal lines the simulator writes for each call: the contract the
// end-to-end tests read ("vavuro32.jnl").
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim_fixture.h"

namespace {

using simtest::JournalLines;
using simtest::JournalText;
using simtest::kWindow;

class SimJournal : public simtest::SimTest {};

TEST_F(SimJournal, InitializeAndOpenShowEveryArgument) {
  ResourceArg init[] = {{"queueHandle", kWindow}};
  ASSERT_EQ(0, sim_->Initialize("REVEDIZ", "C:\\VORN", init, 1));
  std::vector<std::string> lines = JournalLines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ("DLL_PosInitialize app=\"REVEDIZ\" resfile=\"C:\\VORN\" count=1", lines[0]);
  EXPECT_EQ("  arg[0] queueHandle = 0x000200B4", lines[1]);
  EXPECT_EQ("  -> 0", lines[2]);
  EXPECT_EQ("  # posted 0x420D wParam=0x00008407 lParam=0x00000000 to 0x000200B4", lines[3]);
  EXPECT_EQ("  # posted 0x420D wParam=0x02112402 lParam=0x00000006 to 0x000200B4", lines[4]);
  EXPECT_EQ(15u, lines.size());
  EXPECT_EQ(std::string::npos, JournalText().find("\n\n"));
  EXPECT_EQ('\n', JournalText().back());

  JournalText().clear();
  ResourceArg open[] = {{"Rows", 2}, {"DisplayText", reinterpret_cast<std::intptr_t>("HELLO")},
                        {"queueHandle", kWindow}};
  std::int32_t handle = 0;
  ASSERT_EQ(0, sim_->Open("DEVNAME", "PosDisplay", open, 3, &handle));
  const std::vector<std::string> expected = {
      "DLL_PosOpen name=\"DEVNAME\" class=\"PosDisplay\" count=3",
      "  arg[0] Rows = 2",
      "  arg[1] DisplayText = \"HELLO\"",
      "  arg[2] queueHandle = 0x000200B4",
      "  -> 0 out=1",
  };
  EXPECT_EQ(expected, JournalLines());
}

TEST_F(SimJournal, ReadWriteIoctlCloseTermVersion) {
  InitializeQuietly();
  const std::int32_t handle = OpenDevice("PosDisplay");
  ASSERT_EQ(1, handle);
  JournalText().clear();
  std::int32_t out = 0;
  ASSERT_EQ(0, sim_->Write(handle, "AB\x1B" "C", 4, &out));
  unsigned char buffer[80];
  EXPECT_EQ(pos::kErrSysTimeout, sim_->Read(0, buffer, 80, &out));
  ASSERT_EQ(0, sim_->Read(handle, buffer, 3, &out));
  ResourceArg get[] = {{"Rows", 0}, {"", 0}};
  EXPECT_EQ(pos::kErrSysInvalidName, sim_->IOCtl(handle, 302, get, 2, &out));
  ASSERT_EQ(0, sim_->IOCtl(handle, 302, get, 1, &out));
  EXPECT_EQ(pos::kErrSysInvalidRequest, sim_->IOCtl(handle, 999, nullptr, 0, &out));
  ASSERT_EQ(0, sim_->Close(handle));
  ASSERT_EQ(0, sim_->Version(1, 2, 3));
  ASSERT_EQ(0, sim_->Term());
  const std::vector<std::string> expected = {
      "DLL_PosWrite handle=1 length=4 data=41 42 1B 43",
      "  -> 0 out=4",
      "DLL_PosRead handle=0 size=80",
      "  -> 329 out=0",
      "DLL_PosRead handle=1 size=3",
      "  -> 0 out=3 data=41 42 43",
      "DLL_PosIOCtl handle=1 request=302 (POS_SYS_GET_VALUES) count=2",
      "  arg[0] Rows = 0",
      "  arg[1] \"\" = 0",
      "  -> 330 out=0",
      "DLL_PosIOCtl handle=1 request=302 (POS_SYS_GET_VALUES) count=1",
      "  arg[0] Rows = 0",
      "  -> 0 out=0",
      "  ret[0] Rows = 2",
      "DLL_PosIOCtl handle=1 request=999 (no such request) count=0",
      "  -> 316 out=0",
      "DLL_PosClose handle=1",
      "  -> 0",
      "DLL_PosVersion",
      "  # arguments 1 2 3, received by value and not written",
      "  -> 0",
      "DLL_PosTerm",
      "  -> 0",
  };
  EXPECT_EQ(expected, JournalLines());
}

TEST_F(SimJournal, LongWritesAreCutAndNotificationsNoted) {
  InitializeQuietly();
  const std::int32_t printer = OpenDevice("PosPrinter");
  JournalText().clear();
  std::string data(300, 'A');
  std::int32_t out = 0;
  ASSERT_EQ(0, sim_->Write(printer, data.data(), 300, &out));
  const std::vector<std::string> lines = JournalLines();
  ASSERT_EQ(3u, lines.size());
  std::string hex;
  for (int i = 0; i < 256; ++i) hex += i == 0 ? "41" : " 41";
  EXPECT_EQ("DLL_PosWrite handle=" + std::to_string(printer) + " length=300 data=" + hex +
                " ... total=300",
            lines[0]);
  EXPECT_EQ("  # posted 0x4204 wParam=0x0311340" + std::to_string(printer) +
                " lParam=0x00000000 to 0x000200B4",
            lines[1]);
  EXPECT_EQ("  -> 0 out=300", lines[2]);
}

TEST_F(SimJournal, TextArgumentsThatAreNotPointersAreNamedNotRead) {
  InitializeQuietly();
  JournalText().clear();
  ResourceArg open[] = {{"DisplayText", 40}, {"Unknown", 7}};
  std::int32_t out = 0;
  EXPECT_EQ(pos::kErrSysInvalidAddress, sim_->Open("D", "PosDisplay", open, 2, &out));
  const std::vector<std::string> lines = JournalLines();
  ASSERT_EQ(4u, lines.size());
  EXPECT_EQ("  arg[0] DisplayText = (bad address 0x00000028)", lines[1]);
  EXPECT_EQ("  arg[1] Unknown = 7", lines[2]);
  EXPECT_EQ("  -> 334 out=0", lines[3]);
}

TEST_F(SimJournal, BenchActionsLeaveBenchLines) {
  InitializeQuietly();
  ASSERT_EQ(0, sim_->SetFault(sim::FindClass("PosMsr"), sim::FaultKind::kReadOverrun, 4));
  ASSERT_EQ(0, sim_->SwipeCard(";1?"));
  const std::vector<std::string> lines = JournalLines();
  ASSERT_EQ(4u, lines.size()) << JournalText();
  EXPECT_EQ("BENCH fault PosMsr overrun=4", lines[0]);
  EXPECT_EQ("  -> 0", lines[1]);
  EXPECT_EQ("BENCH PosMsr swipe length=3", lines[2]);
}

}  // namespace
