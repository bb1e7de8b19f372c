// The notifications each bench action and device call posts and the records
// it queues on descriptor 0: to whom, with which parameters, in what order.
#include <cstring>
#include <string>
#include <vector>

#include "sim_fixture.h"

namespace {

using namespace simtest;
using namespace pos;
using S = sim::Simulator;

class SimNotify : public Sim {
 protected:
  // A handle's device word: its slot and port, as the device reports them, over `low`.
  std::uint32_t Word(std::int32_t handle, std::uint32_t low) {
    return static_cast<std::uint32_t>(Get(handle, "Slot")) << 24 | static_cast<std::uint32_t>(Get(handle, "Port")) << 16 | low;
  }
};

std::int32_t Put(S& s, std::int32_t handle, const char* data) {
  std::int32_t out = 0;
  return s.Write(handle, data, static_cast<std::int32_t>(std::char_traits<char>::length(data)), &out);
}
std::int32_t Request(S& s, std::int32_t handle, std::int32_t request) {
  std::int32_t out = 0;
  return s.IOCtl(handle, request, nullptr, 0, &out);
}
const std::string kLongCard(300, '1');

TEST_F(SimNotify, HandleNotificationsGoToEachHandlesOwnWindowAndTheQueue) {
  struct Note { std::uint32_t message, lParam; bool everyHandle; };
  struct Case { const char* cls; std::int32_t (*act)(S&, std::int32_t); std::vector<Note> notes; std::string read; };
  const Case cases[] = {
      {"PosPrinter", [](S& s, std::int32_t h) { return Put(s, h, "x"); }, {{kMsgPrnChaseComplete, 0, false}}, ""},
      {"PosPrinter", [](S& s, std::int32_t h) { return Request(s, h, kReqPrnResetPrinter); }, {{kMsgPrnStatusChange, 0, true}}, ""},
      {"PosPrinter", [](S& s, std::int32_t) { return s.SetPaperOut(true) + s.SetPaperOut(true); }, {{kMsgPrnPrinterError, 0, true}}, ""},
      {"PosPrinter", [](S& s, std::int32_t) { return s.SetPaperOut(false) + s.SetCoverOpen(false); }, {}, ""},
      {"PosPrinter", [](S& s, std::int32_t) { return s.SetPaperOut(true) + s.SetPaperOut(false); },
       {{kMsgPrnPrinterError, 0, true}, {kMsgPrnStatusChange, 0, true}}, ""},
      {"PosPrinter", [](S& s, std::int32_t) { return s.SetCoverOpen(true) + s.SetCoverOpen(false); },
       {{kMsgPrnStatusChange, 0, true}, {kMsgPrnStatusChange, 0, true}}, ""},
      {"PosPrinter", [](S& s, std::int32_t) { return s.PrinterError() + s.PrinterError(); },
       {{kMsgPrnPrinterError, 0, true}, {kMsgPrnPrinterError, 0, true}}, ""},
      {"PosRs232c", [](S& s, std::int32_t h) { return Put(s, h, "abc"); },
       {{kMsgRs232XmitComplete, 3, false}, {kMsgRs232DataAvail, 3, true}}, "abc"},
      {"PosRs232c", [](S& s, std::int32_t h) { return Request(s, h, kReqRs232SendBreak); }, {{kMsgRs232BreakDetected, 0, true}}, ""},
      {"PosDrawer", [](S& s, std::int32_t h) { return Request(s, h, kReqTillOpenTill) + s.CloseDrawer() + s.CloseDrawer(); },
       {{kMsgTillOpened, 0, false}, {kMsgTillClosed, 0, true}}, std::string(1, '\0')},
      {"PosKeyboard", [](S& s, std::int32_t h) {
         return Request(s, h, kReqKbdSetNumLockOn) + Request(s, h, kReqKbdSetScrollLockOn) + Request(s, h, kReqKbdSetNumLockOff) +
                Request(s, h, kReqKbdSetNumLockOff);
       }, {{kMsgKbdStatusChange, 1, true}, {kMsgKbdStatusChange, 3, true}, {kMsgKbdStatusChange, 2, true}}, "1250\r"},
      {"PosKeyboard", [](S& s, std::int32_t) { return s.PressKeys("a\r"); },
       {{kMsgKbdWmChar, 'a', true}, {kMsgKbdWmChar, '\r', true}}, "1250\ra\r"},
      {"PosMsr", [](S& s, std::int32_t) { return s.SwipeCard(";123=45?"); }, {{kMsgMsrDataAvail, 8, true}}, ";123=45?"},
      {"PosMsr", [](S& s, std::int32_t) { return s.SwipeCard(kLongCard.c_str()); }, {{kMsgMsrDataAvail, 300 & 0xFF, true}}, kLongCard},
      {"PosScanner", [](S& s, std::int32_t) { return s.ScanLabel("4006381333931"); }, {{kMsgScanDataAvail, 13, true}}, "4006381333931"},
      {"PosScanner", [](S& s, std::int32_t) { return s.ScanLabel(nullptr); }, {{kMsgScanDataAvail, 13, true}}, sim::kTestLabel},
      {"PosTouch", [](S& s, std::int32_t) { return s.Touch(258, 300); }, {{kMsgTouchData, 300 << 16 | 258, true}},
       std::string("\x02\x01\x2C\x01", 4)},
      {"PosScale", [](S& s, std::int32_t) { return s.PlaceWeight(480) + s.PlaceWeight(-1) - kErrSysOutOfBounds; }, {}, "0.480 kg"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cls + (" " + std::to_string(&c - cases)));
    if (sim_.Initialized()) { ASSERT_EQ(0, sim_.Term()); }
    Init();
    // The acting handle asked for a window of its own; a second one did not.
    const std::int32_t h = Open(c.cls, kOwn), other = Open(c.cls);
    const std::uint32_t type = static_cast<std::uint32_t>(Get(h, "DeviceType")) << 8;
    std::vector<Post> posts;
    std::vector<Record> records;
    std::uint32_t sequence = 13;  // after the twelve of initialize
    for (const Note& n : c.notes) {
      for (std::int32_t to : {h, other}) {
        if (to == other && !n.everyHandle) continue;
        const std::uint32_t handle = static_cast<std::uint32_t>(to);
        posts.push_back({to == h ? kOwn : kMain, n.message, Word(to, type | handle), n.lParam});
        records.push_back({sequence++, n.message, Word(to, handle), n.lParam});
      }
    }
    Forget();
    EXPECT_EQ(0, c.act(sim_, h));
    EXPECT_EQ(posts, gPosts);
    EXPECT_EQ(records, Drain());
    std::int32_t status = -1;
    if (!c.read.empty()) { EXPECT_EQ(c.read, Read(h, 512, &status)); }
  }
}

TEST_F(SimNotify, DeviceNotificationsGoToTheMainWindowAndEveryOtherAskedFor) {
  ResourceArg queue{"queueHandle", static_cast<std::intptr_t>(kMain)};
  ASSERT_EQ(0, sim_.Initialize("REVEDIZ", "C:\\VORN", &queue, 1));
  const std::vector<Post> online = gPosts;
  const std::vector<Record> records = Drain();
  // The bench devices in class order, with their DeviceClassNames codes; each named as it reports itself.
  const std::pair<const char*, std::uint32_t> devices[] = {{"PosAlarm", 7}, {"PosDisplay", 2}, {"PosDrawer", 6},
      {"PosKeyboard", 9}, {"PosMsr", 5}, {"PosNvram", 8}, {"PosPower", 12}, {"PosPrinter", 3}, {"PosRs232c", 10},
      {"PosScale", 11}, {"PosScanner", 4}, {"PosTouch", 13}};
  std::vector<Post> expected;
  std::vector<Record> queued;
  for (auto [cls, code] : devices) {
    const std::int32_t h = Open(cls);
    const std::uint32_t word = Word(h, static_cast<std::uint32_t>(Get(h, "DeviceType")) << 8 | code);
    expected.push_back({kMain, kMsgSysDeviceOnline, word, static_cast<std::uint32_t>(Get(h, "Subtype"))});
    queued.push_back({static_cast<std::uint32_t>(queued.size() + 1), kMsgSysDeviceOnline, word, expected.back().lParam});
    ASSERT_EQ(0, sim_.Close(h));
  }
  EXPECT_EQ(expected, online);
  EXPECT_EQ(queued, records);
  // Slot 2, port 0x11, ANOP_DISPLAY_A, class DISPLAY; subtype 6, 2X20_VFD.
  const Post off{kMain, kMsgSysDeviceOffline, 0x02112402, 6}, on{kMain, kMsgSysDeviceOnline, 0x02112402, 6};
  EXPECT_EQ(on, online[1]);
  const int display = sim::FindClass("PosDisplay");
  Open("PosDisplay", kOwn), Open("PosDisplay", kOwn), Open("PosDisplay");
  Forget();
  for (int offline : {1, 1, 0, 1}) ASSERT_EQ(0, sim_.SetFault(display, sim::FaultKind::kOffline, offline));  // twice is no news
  sim_.ClearFaults();
  ASSERT_EQ(0, sim_.Burst(display, 1));
  const auto to = [](Post p, std::uintptr_t w) { return p.window = w, p; };
  EXPECT_EQ((std::vector<Post>{off, to(off, kOwn), on, to(on, kOwn), off, to(off, kOwn), on, to(on, kOwn), on, to(on, kOwn)}), gPosts);
  EXPECT_EQ(5u, Drain().size()) << "each queued once";
  ASSERT_EQ(0, Set(Open("PosSystem"), {{"QueueHandle", 0x777}}));  // the main window, changed by its setting
  Forget();
  ASSERT_EQ(0, sim_.Burst(sim::FindClass("PosAlarm"), 1));
  EXPECT_EQ((std::vector<Post>{{0x777, kMsgSysDeviceOnline, 0x00008407, 0}}), gPosts);
}

TEST_F(SimNotify, BurstsOfOneToTenThousandAndAQueueThatKeepsTheNewestWholeRecords) {
  Init();
  const int alarm = sim::FindClass("PosAlarm");
  const struct { int target; std::int32_t count, status; } cases[] = {{alarm, 0, kErrSysOutOfBounds},
      {alarm, 10001, kErrSysOutOfBounds}, {sim::kGenericClass, 1, kErrSysInvalidClass}, {sim::kClassCount, 1, kErrSysInvalidClass},
      {-3, 1, kErrSysInvalidClass}, {alarm, 1, 0}, {alarm, 10000, 0}};
  for (const auto& c : cases) {
    Forget();
    EXPECT_EQ(c.status, sim_.Burst(c.target, c.count)) << c.target << " " << c.count;
    EXPECT_EQ(c.status == 0 ? static_cast<std::size_t>(c.count) : 0u, gPosts.size());
  }
  const std::vector<Record> kept = Drain();
  ASSERT_EQ(sim::MessageQueue::kCapacity, kept.size());
  EXPECT_EQ((Record{10013 - 1023, kMsgSysDeviceOnline, 0x00008407, 0}), kept.front()) << "numbered on after the twelve";
  EXPECT_EQ(10013u, kept.back().opaque);
  // Little-endian records, oldest first, as many whole ones as fit; a buffer under 16 bytes keeps them.
  ASSERT_EQ(0, sim_.Burst(alarm, 3));
  const struct { std::int32_t size, status, out; } reads[] = {{15, kErrSysBufferTooSmall, 0}, {31, 0, 16}, {40, 0, 32}, {16, kErrSysTimeout, 0}};
  unsigned char expected[48] = {}, buffer[48];
  for (int at = 0; at < 48; at += 16) {  // 0x420D from slot 0, port 0, ALARM (0x84), class 7
    const unsigned char record[] = {static_cast<unsigned char>(0x1E + at / 16), 0x27, 0, 0, 0x0D, 0x42, 0, 0, 0x07, 0x84};
    std::memcpy(expected + at, record, sizeof record);  // 0x271E is 10014
  }
  std::int32_t out = -1, taken = 0;
  for (const auto& r : reads) {
    std::memset(buffer, 0xBB, sizeof buffer);
    EXPECT_EQ(r.status, sim_.Read(0, buffer, r.size, &out)) << r.size;
    EXPECT_EQ(r.out, out);
    EXPECT_EQ(0, std::memcmp(expected + taken, buffer, static_cast<std::size_t>(r.out)));
    EXPECT_EQ(0xBB, buffer[r.out]) << "nothing past the records";
    taken += r.out;
  }
  sim::MessageQueue queue;
  queue.Push(1, 2, 3), queue.Push(1, 2, 3);
  EXPECT_EQ(2u, queue.Records().back().opaque) << "numbered from 1";
  queue.Clear(), queue.Push(4, 5, 6);
  EXPECT_EQ(1u, queue.Records().front().opaque) << "and from 1 again";
}

}  // namespace
