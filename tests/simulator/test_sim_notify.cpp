// What a call or a bench action leaves behind: the notifications it posts (to
// whom, with which parameters), the records it queues on descriptor 0, and
// its block in the journal "vavuro32.jnl" that the end-to-end tests read.
#include <cstring>
#include <functional>
#include <tuple>
#include <string>
#include <vector>

#include "sim_fixture.h"
#include "simulator/journal.h"

namespace {

using namespace simtest;
using namespace pos;

class SimNotify : public Sim {
 protected:
  // A handle's device word: its slot and port, as the device reports them, over `low`.
  std::uint32_t Word(std::int32_t handle, std::uint32_t low) {
    return static_cast<std::uint32_t>(Get(handle, "Slot")) << 24 | static_cast<std::uint32_t>(Get(handle, "Port")) << 16 | low;
  }
};

const std::string kLongCard(300, '1');

TEST_F(SimNotify, HandleNotificationsGoToEachHandlesOwnWindowAndTheQueue) {
  struct Note { std::uint32_t message, lParam; bool everyHandle; };
  struct Case { const char* cls; std::function<std::int32_t(std::int32_t)> act; std::vector<Note> notes; std::string read; };
  const std::uint32_t kError = kMsgPrnPrinterError, kChange = kMsgPrnStatusChange;
  const Case cases[] = {
      {"PosPrinter", [this](std::int32_t h) { return Write(h, "x"); }, {{kMsgPrnChaseComplete, 0, false}}, ""},
      {"PosPrinter", [this](std::int32_t h) { return Ioctl(h, kReqPrnResetPrinter); }, {{kChange, 0, true}}, ""},
      // Only a change of paper or cover is news; a printer error is news every time.
      {"PosPrinter", [this](std::int32_t) { return sim_.SetPaperOut(false) + sim_.SetCoverOpen(false); }, {}, ""},
      {"PosPrinter", [this](std::int32_t) { return sim_.SetPaperOut(true) + sim_.SetPaperOut(true) + sim_.SetPaperOut(false); },
       {{kError, 0, true}, {kChange, 0, true}}, ""},
      {"PosPrinter", [this](std::int32_t) { return sim_.SetCoverOpen(true) + sim_.SetCoverOpen(false); },
       {{kChange, 0, true}, {kChange, 0, true}}, ""},
      {"PosPrinter", [this](std::int32_t) { return sim_.PrinterError() + sim_.PrinterError(); }, {{kError, 0, true},
      {kError, 0, true}}, ""},
      {"PosRs232c", [this](std::int32_t h) { return Write(h, "abc"); },
       {{kMsgRs232XmitComplete, 3, false}, {kMsgRs232DataAvail, 3, true}}, "abc"},
      {"PosRs232c", [this](std::int32_t h) { return Ioctl(h, kReqRs232SendBreak); }, {{kMsgRs232BreakDetected, 0, true}}, ""},
      {"PosDrawer", [this](std::int32_t h) { return Ioctl(h, kReqTillOpenTill) + sim_.CloseDrawer() + sim_.CloseDrawer(); },
       {{kMsgTillOpened, 0, false}, {kMsgTillClosed, 0, true}}, std::string(1, '\0')},
      {"PosKeyboard", [this](std::int32_t h) {  // lParam: 1 num lock, 2 scroll lock
         return Ioctl(h, kReqKbdSetNumLockOn) + Ioctl(h, kReqKbdSetScrollLockOn) + Ioctl(h, kReqKbdSetNumLockOff) +
                Ioctl(h, kReqKbdSetNumLockOff);
       }, {{kMsgKbdStatusChange, 1, true}, {kMsgKbdStatusChange, 3, true}, {kMsgKbdStatusChange, 2, true}}, "1250\r"},
      {"PosKeyboard", [this](std::int32_t) { return sim_.PressKeys("a\r"); }, {{kMsgKbdWmChar, 'a', true}, {kMsgKbdWmChar, '\r', true}},
       "1250\ra\r"},
      {"PosMsr", [this](std::int32_t) { return sim_.SwipeCard(";123=45?"); }, {{kMsgMsrDataAvail, 8, true}}, ";123=45?"},
      {"PosMsr", [this](std::int32_t) { return sim_.SwipeCard(kLongCard.c_str()); }, {{kMsgMsrDataAvail, 300 & 0xFF, true}}, kLongCard},
      {"PosScanner", [this](std::int32_t) { return sim_.ScanLabel("4006381333931"); },
      {{kMsgScanDataAvail, 13, true}}, "4006381333931"},
      {"PosScanner", [this](std::int32_t) { return sim_.ScanLabel(nullptr); }, {{kMsgScanDataAvail, 13, true}}, sim::kTestLabel},
      {"PosTouch", [this](std::int32_t) { return sim_.Touch(259, 301); }, {{kMsgTouchData, 301 << 16 | 259, true}},
       std::string("\x03\x01\x2D\x01", 4)},
      {"PosScale", [this](std::int32_t) { return sim_.PlaceWeight(-1), sim_.PlaceWeight(480); }, {}, "0.480 kg"}};
  for (const Case& c : cases) {
    if (sim_.Initialized()) { ASSERT_EQ(0, sim_.Term()); }
    Init();
    const std::int32_t h = Open(c.cls, kOwn), other = Open(c.cls);  // the acting handle asked for a window of its own
    const std::uint32_t type = static_cast<std::uint32_t>(Get(h, "DeviceType")) << 8;
    std::vector<Post> posts, records;
    for (const Note& n : c.notes) {
      for (std::int32_t to : {h, other}) {
        if (to == other && !n.everyHandle) continue;
        const std::uint32_t handle = static_cast<std::uint32_t>(to), opaque = 13 + records.size();  // after initialize's 12
        posts.push_back({to == h ? kOwn : kMain, n.message, Word(to, type | handle), n.lParam});
        records.push_back({opaque, n.message, Word(to, handle), n.lParam});
      }
    }
    Forget();
    EXPECT_EQ(0, c.act(h)) << c.cls << " " << (&c - cases);
    EXPECT_EQ(posts, gPosts) << c.cls << " " << (&c - cases);
    EXPECT_EQ(records, Drain()) << c.cls << " " << (&c - cases);
    std::int32_t status = -1;
    if (!c.read.empty()) { EXPECT_EQ(c.read, Read(h, 512, &status)); }
  }
}

TEST_F(SimNotify, DeviceNotificationsGoToTheMainWindowAndOnceToEveryOtherAskedFor) {
  ResourceArg queue{"queueHandle", static_cast<std::intptr_t>(kMain)};
  ASSERT_EQ(0, sim_.Initialize("REVEDIZ", "C:\\VORN", &queue, 1));
  const std::vector<Post> online = gPosts, records = Drain();
  ASSERT_TRUE(online.size() == 12 && records.size() == 12);  // one for every bench device, posted and queued
  for (std::uint32_t i = 0; i < 12; ++i) EXPECT_EQ((Post{i + 1, online[i].message, online[i].wParam, online[i].lParam}), records[i]);
  // Slot 2, port 0x11, ANOP_DISPLAY_A, class DISPLAY; subtype 6, 2X20_VFD.
  const auto display = [](std::uintptr_t window, std::uint32_t message) { return Post{window, message, 0x02112402, 6}; };
  EXPECT_EQ(display(kMain, kMsgSysDeviceOnline), online[1]);
  Open("PosDisplay", kOwn), Open("PosDisplay", kOwn), Open("PosDisplay");
  Forget();
  for (int offline : {1, 1, 0}) ASSERT_EQ(0, sim_.SetFault(3, sim::FaultKind::kOffline, offline));  // the second is no news
  ASSERT_EQ(0, Set(Open("PosSystem"), {{"QueueHandle", 0x777}}));  // the main window, changed by its setting
  ASSERT_EQ(0, sim_.Burst(3, 1));
  const std::uint32_t off = kMsgSysDeviceOffline, on = kMsgSysDeviceOnline;
  EXPECT_EQ((std::vector<Post>{display(kMain, off), display(kOwn, off), display(kMain, on), display(kOwn, on), display(0x777, on),
                               display(kOwn, on), display(kMain, on)}),  // now a window the third handle asked for
            gPosts);
  EXPECT_EQ(3u, Drain().size()) << "each queued once";
}

TEST_F(SimNotify, BurstsOfOneToTenThousandAndAQueueThatKeepsTheNewestWholeRecords) {
  Init();
  const struct { int target; std::int32_t count, status; } cases[] = {{2, 0, kErrSysOutOfBounds}, {2, 10001, kErrSysOutOfBounds},
      {sim::kGenericClass, 1, kErrSysInvalidClass}, {sim::kClassCount, 1, kErrSysInvalidClass}, {2, 1, 0},
      {2, 10000, 0}};  // 2: the alarm
  for (const auto& c : cases) {
    Forget();
    EXPECT_EQ(c.status, sim_.Burst(c.target, c.count)) << c.target << " " << c.count;
    EXPECT_EQ(c.status == 0 ? static_cast<std::size_t>(c.count) : 0u, gPosts.size());
  }
  const std::vector<Post> kept = Drain();
  ASSERT_EQ(sim::MessageQueue::kCapacity, kept.size());
  EXPECT_EQ((Post{10013 - 1023, kMsgSysDeviceOnline, 0x00008407, 0}), kept.front()) << "numbered on after initialize's 12";
  EXPECT_EQ(10013u, kept.back().window);
  ASSERT_EQ(0, sim_.Burst(2, 3));  // whole records, as many as fit; a buffer under 16 bytes keeps them
  unsigned char buffer[48];
  for (auto [size, status, placed] : {std::tuple{15, kErrSysBufferTooSmall, 0}, {31, 0, 16}, {40, 0, 32}, {16, kErrSysTimeout, 0}}) {
    std::int32_t out = -1;
    std::memset(buffer, 0xBB, sizeof buffer);
    EXPECT_TRUE(sim_.Read(0, buffer, size, &out) == status && out == placed && buffer[placed] == 0xBB) << size;
  }
  sim::MessageQueue fresh;
  fresh.Push(1, 2, 3), fresh.Push(1, 2, 3);
  EXPECT_EQ(2u, fresh.Records().back().opaque) << "numbered from 1";
  fresh.Clear(), fresh.Push(4, 5, 6);
  EXPECT_EQ(1u, fresh.Records().front().opaque) << "and from 1 again";
}

// Journal blocks are written here with '|' for CR LF.
std::string Lines(std::string text) {
  for (std::size_t at; (at = text.find('|')) != std::string::npos;) text.replace(at, 1, "\r\n");
  return text + "\r\n";
}
std::string HexOfA(int n) {
  std::string hex = "41";
  while (--n > 0) hex += " 41";
  return hex;
}

TEST(JournalBlock, LinesOfAnyLengthStayWholeAndDataIsCutAfter256Bytes) {
  for (std::size_t length : {0u, 1u, 510u, 511u, 512u, 513u, 1023u, 1024u, 5000u}) {
    const std::string text(length, 'j');
    sim::JournalBlock block;
    block.Line("%s", text.c_str());
    block.Append("%s", text.c_str()), block.Append("%c", 'k'), block.EndLine();
    EXPECT_EQ(text + "\r\n" + text + "k\r\n", block.Text()) << length;
  }
  const struct { std::string bytes, hex; } cases[] = {{"", ""}, {std::string("\x00\xAB\x0F", 3), "00 AB 0F"},
      {std::string(256, 'A'), HexOfA(256)}, {std::string(257, 'A'), HexOfA(256) + " ... total=257"}};
  for (const auto& c : cases) {
    sim::JournalBlock block;
    block.AppendHex(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size());
    EXPECT_EQ(c.hex, block.Text());
  }
}

TEST_F(SimNotify, EachCallLeavesItsJournalBlock) {
  const std::string t4096(4096, 't'), t4097(4097, 't'), a300(300, 'A');
  std::int32_t out = 0;
  char buffer[512];
  ResourceArg args[] = {{"Rows", 0}, {"", 0}}, queue{"queueHandle", static_cast<std::intptr_t>(kMain)};
  const auto open = [&](std::vector<ResourceArg> a) {
    sim_.Open("D", "PosDisplay", a.data(), static_cast<std::int32_t>(a.size()), &out);
  };
  const std::string open3 = "DLL_PosOpen name=\"D\" class=\"PosDisplay\" count=", fault = "BENCH fault ";
  const struct { std::function<void()> act; std::string lines; } cases[] = {
      {[&] { sim_.Initialize("REVEDIZ", "C:\\VORN", &queue, 1), gJournal.resize(gJournal.find("  # posted 0x420D wParam=0x02")); },
       "DLL_PosInitialize app=\"REVEDIZ\" resfile=\"C:\\VORN\" count=1|  arg[0] queueHandle = 0x000200B4|  -> 0|"
       "  # posted 0x420D wParam=0x00008407 lParam=0x00000000 to 0x000200B4"},
      {[&] { Drain(), Forget(), open({{"Rows", 2}, {"DisplayText", Ptr("HELLO")}, {"queueHandle", 0x0123}}); },
       open3 + "3|  arg[0] Rows = 2|  arg[1] DisplayText = \"HELLO\"|  arg[2] queueHandle = 0x00000123|  -> 0 out=1"},
      {[&] { sim_.Write(1, "AB\x1B" "C", 4, &out); }, "DLL_PosWrite handle=1 length=4 data=41 42 1B 43|  -> 0 out=4"},
      {[&] { sim_.Write(1, nullptr, 2, &out); }, "DLL_PosWrite handle=1 length=2 data=(bad address)|  -> 334 out=0"},
      {[&] { sim_.Write(1, nullptr, 0, &out); }, "DLL_PosWrite handle=1 length=0 data=|  -> 0 out=0"},
      {[&] { sim_.Write(1, "x", -1, &out); }, "DLL_PosWrite handle=1 length=-1 data=|  -> 318 out=0"},
      {[&] { sim_.Read(0, buffer, 80, &out), sim_.Read(0, nullptr, 16, &out), sim_.Read(9, buffer, 4, &out); },
       "DLL_PosRead handle=0 size=80|  -> 329 out=0|DLL_PosRead handle=0 size=16|  -> 334 out=0|"
       "DLL_PosRead handle=9 size=4|  -> 303 out=0"},
      {[&] { sim_.Read(1, buffer, 7, &out); }, "DLL_PosRead handle=1 size=7|  -> 0 out=7 data=48 45 4C 4C 4F 41 42"},
      {[&] { sim_.Open("D", "PosDisplay", nullptr, -1, &out), sim_.Open("D", "PosDisplay", nullptr, 0, nullptr); },
       open3 + "-1|  -> 325 out=0|" + open3 + "0|  -> 334"},
      {[&] { sim_.IOCtl(1, 302, args, 2, &out); },
       "DLL_PosIOCtl handle=1 request=302 (POS_SYS_GET_VALUES) count=2|  arg[0] Rows = 0|  arg[1] \"\" = 0|  -> 330 out=0"},
      {[&] { sim_.IOCtl(1, 302, args, 1, &out); },
       "DLL_PosIOCtl handle=1 request=302 (POS_SYS_GET_VALUES) count=1|  arg[0] Rows = 0|  -> 0 out=0|  ret[0] Rows = 2"},
      {[&] { sim_.IOCtl(1, 999, nullptr, 0, &out); }, "DLL_PosIOCtl handle=1 request=999 (no such request) count=0|  -> 316 out=0"},
      {[&] { sim_.Open("P", "PosPrinter", nullptr, 0, &out), Forget(), sim_.Write(2, a300.data(), 300, &out); },  // no window
       "DLL_PosWrite handle=2 length=300 data=" + HexOfA(256) + " ... total=300|"
       "  # posted 0x4204 wParam=0x03113402 lParam=0x00000000 to 0x000200B4|  -> 0 out=300"},
      {[&] { open({{"DisplayText", 40}, {"Unknown", 7}, {"DisplayText", 0}}); },
       open3 + "3|  arg[0] DisplayText = (bad address 0x00000028)|  arg[1] Unknown = 7|  arg[2] DisplayText = (null)|  -> 334 out=0"},
      {[&] { open({{"DisplayText", Ptr(t4096.c_str())}, {"DisplayText", Ptr(t4097.c_str())}}); },
       open3 + "2|  arg[0] DisplayText = \"" + t4096 + "\"|  arg[1] DisplayText = \"" + t4096 + "...\"|  -> 4403 out=0"},
      {[&] { sim_.Close(1), sim_.Version(1, 2, 3); },
       "DLL_PosClose handle=1|  -> 0|DLL_PosVersion|  # arguments 1 2 3, received by value and not written|  -> 0"},
      {[&] { Open("PosNvram"), sim_.SetFault(7, sim::FaultKind::kReadOverclaim, 10), Forget(), sim_.Read(3, buffer, 4, &out); },
       "DLL_PosRead handle=3 size=4|  # fault: claims 14 bytes for a buffer of 4|  -> 0 out=14 data=00 01 02 03"},
      {[&] { sim_.SetFault(7, sim::FaultKind::kReadOverrun, 2), Forget(), sim_.Read(3, buffer, 4, &out); },
       "DLL_PosRead handle=3 size=4|  # fault: wrote 2 bytes past the buffer|  # fault: claims 14 bytes for a buffer of 4|"
       "  -> 0 out=14 data=00 01 02 03"},
      {[&] { sim_.SetFault(6, sim::FaultKind::kReadOverrun, 4), sim_.SetFault(sim::kAllTargets, sim::FaultKind::kError, 0); },
       fault + "PosMsr overrun=4|  -> 0|" + fault + "all error=0|  -> 0"},
      {[&] { sim_.SetFault(sim::kQueueTarget, sim::FaultKind::kOffline, 1), sim_.SetFault(1, sim::FaultKind(5), 1); },
       fault + "queue offline=1|  -> 316|" + fault + "? ?=1|  -> 331"},
      {[&] { sim_.ClearFaults(), sim_.JournalNote("window shown"); }, "BENCH faults cleared|BENCH window shown"},
      {[&] { sim_.SetFault(9, sim::FaultKind::kOffline, 1), Forget(), sim_.SetFault(9, sim::FaultKind::kOffline, 0); },
       fault + "PosPrinter offline=0|  # posted 0x420D wParam=0x03113403 lParam=0x00000000 to 0x000200B4|  -> 0"},
      {[&] { Open("PosMsr"), Forget(), sim_.SwipeCard(";1?"); },
       "BENCH PosMsr swipe length=3|  # posted 0x4203 wParam=0x01224804 lParam=0x00000003 to 0x000200B4|  -> 0"},
      {[&] { sim_.PressKeys("ab"), sim_.Touch(1, 2), sim_.ScanLabel(nullptr), sim_.PlaceWeight(-1), sim_.CloseDrawer(); },
       "BENCH PosKeyboard keys length=2|  -> 0|BENCH PosTouch touch length=4|  -> 0|BENCH PosScanner scan length=13|  -> 0|"
       "BENCH PosScale weight grams=-1|  -> 310|BENCH PosDrawer close|  -> 0"},
      {[&] { sim_.SetPaperOut(true), sim_.SetCoverOpen(false); },
       "BENCH PosPrinter paper out|  # posted 0x4205 wParam=0x03113402 lParam=0x00000000 to 0x000200B4|  -> 0|"
       "BENCH PosPrinter cover shut|  -> 0"},
      {[&] { sim_.PrinterError(), sim_.SetCoverOpen(true), Forget(), sim_.Write(2, "x", 1, &out); },
       "DLL_PosWrite handle=2 length=1 data=78|  # printer halted: paper out cover open error|  -> 306 out=0"},
      {[&] { sim_.Burst(1, 1), sim_.Burst(2, 1); },
       "BENCH ? burst count=1|  -> 331|BENCH PosAlarm burst count=1|"
       "  # posted 0x420D wParam=0x00008407 lParam=0x00000000 to 0x000200B4|  -> 0"},
      {[&] { Drain(), sim_.Burst(2, 1025), gJournal.erase(0, gJournal.find("  # queue full")); },
       "  # queue full: oldest record dropped|  -> 0"},
      {[&] { sim_.Term(), sim_.Term(); }, "DLL_PosTerm|  # closed 3 open devices|  -> 0|DLL_PosTerm|  -> 302"}};
  for (const auto& c : cases) {
    Forget();
    c.act();
    EXPECT_EQ(Lines(c.lines), gJournal) << "row " << (&c - cases);
  }
  sim::Simulator quiet(sim::Platform{nullptr, RecordJournal, nullptr});  // nothing to post with: told so
  ASSERT_EQ(0, quiet.Initialize("REVEDIZ", "", &queue, 1));
  EXPECT_NE(std::string::npos, gJournal.find("  -> 0\r\n  # post failed 0x420D wParam=0x00008407 lParam=0x00000000 to 0x0"));
}

}  // namespace
