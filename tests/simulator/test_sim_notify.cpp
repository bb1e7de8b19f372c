// What a call or a bench action leaves behind: the notifications it posts (to whom, with which parameters),
// the records it queues on descriptor 0, and its block in the journal "vavuro32.jnl".
#include <functional>
#include <tuple>

#include "sim_fixture.h"
#include "tables/code_tables.h"

namespace {

using namespace simtest;
using namespace pos;
using sim::FaultKind;

class SimNotify : public Sim {};

TEST_F(SimNotify, DeviceNotificationsGoToTheMainWindowAndOnceToEveryOtherAskedFor) {
  ASSERT_EQ(0, sim_.Initialize("REVEDIZ", "C:\\VORN", &gQueue, 1));
  ASSERT_TRUE(gPosts.size() == 12 && Drain().size() == 12);  // one for every bench device, posted and queued
  std::string types;  // each device named by its type, as the tool's table reads it (its first row of the code)
  for (const Post& post : gPosts) {
    const CodeName* row = DeviceTypeNames;
    while (row->Name != nullptr && static_cast<std::uint32_t>(row->Code) != (post.wParam >> 8 & 0xFF)) ++row;
    (types += row->Name != nullptr ? row->Name : "?") += ' ';
  }
  EXPECT_EQ(types, "ALARM ANOP_DISPLAY_A CASH_DRAWER_A POS_KEYBOARD_A MSR_3_TRACK_A NVRAM_A POWER_LOCAL PRINTER_3 "
                   "RS232_A SCALE_A SCANNER_A TOUCH_SCREEN ");
  // Slot 2, port 0x11, ANOP_DISPLAY_A, class DISPLAY; subtype 6, 2X20_VFD.
  const auto display = [](std::uintptr_t to, std::uint32_t message) { return Post{to, message, 0x02112402, 6}; };
  EXPECT_EQ(display(kMain, kMsgSysDeviceOnline), gPosts[1]);
  Open("PosDisplay", kOwn), Open("PosDisplay", kOwn), Open("PosDisplay");
  Forget();
  for (int offline : {1, 1, 0}) ASSERT_EQ(0, sim_.SetFault(3, FaultKind::kOffline, offline));  // the 2nd is no news
  const std::int32_t system = Open("PosSystem");
  ASSERT_EQ(0, Set(system, {{"QueueHandle", 0x777}}));  // the main window, changed by its setting
  const auto lowHalfZero = static_cast<std::intptr_t>(std::uint64_t{1} << 32);  // a window's bits past 32: none
  if (sizeof lowHalfZero > 4) {
    EXPECT_EQ(kErrSysInvalidQueue, Set(system, {{"QueueHandle", lowHalfZero}}));
  }
  ASSERT_EQ(0, sim_.Burst(3, 1));
  const std::uint32_t off = kMsgSysDeviceOffline, on = kMsgSysDeviceOnline;
  EXPECT_EQ((std::vector<Post>{display(kMain, off), display(kOwn, off), display(kMain, on), display(kOwn, on),
                               display(0x777, on), display(kOwn, on), display(kMain, on)}),  // the third handle's
            gPosts);
  EXPECT_EQ(3u, Drain().size()) << "each queued once";
  // A device's own notification names its slot and port (the card reader's: SLOT_1, PORT_2 = 0x22), its type (0x48)
  // and the handle that hears it (descriptor 5 here).
  ASSERT_EQ(5, Open("PosMsr"));
  Forget();
  ASSERT_EQ(0, sim_.SwipeCard(nullptr));
  EXPECT_EQ((std::vector<Post>{{kMain, kMsgMsrDataAvail, 0x01224805, 89}}), gPosts);
}

TEST_F(SimNotify, BurstsOfOneToTenThousandAndAQueueThatKeepsTheNewest) {
  Init();
  const struct { int target; std::int32_t count, status; } cases[] = {  // 2: the alarm
      {2, 0, kErrSysOutOfBounds}, {2, 10001, kErrSysOutOfBounds}, {sim::kGenericClass, 1, kErrSysInvalidClass},
      {sim::kClassCount, 1, kErrSysInvalidClass}, {2, 1, 0}, {2, 10000, 0}};
  for (const auto& c : cases) {
    Forget();
    EXPECT_EQ(c.status, sim_.Burst(c.target, c.count)) << c.target << " " << c.count;
    EXPECT_EQ(c.status == 0 ? static_cast<std::size_t>(c.count) : 0u, gPosts.size());
  }
  const std::vector<Post> kept = Drain();
  ASSERT_EQ(sim::MessageQueue::kCapacity, kept.size());
  EXPECT_EQ(10001u - 1024u, sim_.Queue().Dropped());
  std::size_t told = 0;  // the last burst dropped them all, each told in its block
  const std::string full = "\r\n  # queue full: oldest record dropped\r\n";
  for (std::size_t at = 0; (at = gJournal.find(full, at)) != std::string::npos; ++at) ++told;
  EXPECT_EQ(10001u - 1024u, told);
  EXPECT_EQ((Post{10013 - 1023, kMsgSysDeviceOnline, 0x00008407, 0}), kept.front()) << "numbered on after the 12";
  EXPECT_EQ(10013u, kept.back().window);
  Init();
  ASSERT_EQ(0, sim_.Burst(2, 1));
  const std::vector<Post> again = Drain();  // after the new Initialize's 12
  EXPECT_TRUE(sim_.Queue().Dropped() == 0 && again.size() == 1 && again[0].window == 13u)
      << "counted and numbered from the last initialize";
  sim::MessageQueue fresh;
  fresh.Push(1, 2, 3), fresh.Push(1, 2, 3);
  EXPECT_EQ(std::pair(2u, std::size_t{0}), std::pair(fresh.Records().back().opaque, fresh.Dropped()))
      << "numbered from 1, none dropped";
}

std::string Lines(std::string text) {  // journal blocks are written here with '|' for CR LF
  for (std::size_t at; (at = text.find('|')) != std::string::npos;) text.replace(at, 1, "\r\n");
  return text + "\r\n";
}

// Data is cut after 256 bytes; a text holding line ends (a device name typed with one) keeps its entry on one line.
TEST(JournalBlock, DataIsCutAfter256BytesAndLineEndsInATextAreEscapes) {
  std::string hex256 = "41";
  while (hex256.size() < 256 * 3 - 1) hex256 += " 41";
  for (const auto& [bytes, hex] : {std::pair(std::string(256, 'A'), hex256), {std::string(257, 'A'), hex256 + " ... total=257"}}) {
    sim::JournalBlock block;
    block.AppendHex(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    EXPECT_EQ(hex, block.Text());
  }
  const struct { const char* text; std::string shown; } cases[] = {
      {"one\ntwo", "one\\ntwo"}, {"\r\n", "\\r\\n"}, {"a\\nb\t", "a\\nb\t"}};  // a backslash and a tab stay as they are
  for (const auto& c : cases) {
    sim::JournalBlock line, part;
    line.Line("DLL_PosOpen name=\"%s\"", c.text);
    part.Append("%s", c.text);
    EXPECT_EQ("DLL_PosOpen name=\"" + c.shown + "\"\r\n" + c.shown, line.Text() + part.Text());
  }
}

// The rows run in order on one bench, with a display (handle 1) and a printer (handle 2, no window) open.
TEST_F(SimNotify, EachCallLeavesItsJournalBlock) {
  sim::Simulator& lib = sim_;
  std::int32_t out = 0;
  char buffer[512];
  ResourceArg rows{"Rows", 0};
  const std::string open = "DLL_PosOpen name=\"D\" class=\"PosDisplay\" count=";
  const std::string blanks = "20 20 20 20 20 20 20 20 20 20 20";  // 11 of the display's
  const std::string n4097(4097, 'N');  // a text argument is journaled up to its 4096th character
  const struct { std::function<void()> act; std::string lines; } cases[] = {
      {[&] { lib.Write(1, reinterpret_cast<const void*>(0xBD), 16, &out), lib.Write(1, "x", 1, nullptr); },
       "DLL_PosWrite handle=1 length=16 data=(bad address)|  # refused: data of 16 bytes at 0x000000BD cannot be read|"
       "  -> 334 out=0|DLL_PosWrite handle=1 length=1 data=78|  # refused: out value at 0x00000000 cannot be written|"
       "  -> 334"},
      {[&] { lib.Write(1, nullptr, 0, &out), lib.Write(9, nullptr, 0, &out), lib.Write(1, "\r\r\r\r\r\r\r\r\r\r", 10, &out); },
       "DLL_PosWrite handle=1 length=0 data=|  -> 0 out=0|DLL_PosWrite handle=9 length=0 data=|"
       "  # refused: handle 9 is not open|  -> 303 out=0|"
       "DLL_PosWrite handle=1 length=10 data=0D 0D 0D 0D 0D 0D 0D 0D 0D 0D|  -> 0 out=10"},
      {[&] { lib.Read(1, buffer, 4, &out); }, "DLL_PosRead handle=1 size=4|  -> 0 out=4 data=20 20 20 20"},
      {[&] { lib.Write(1, "x", -1, &out); }, "DLL_PosWrite handle=1 length=-1 data=|  # refused: length -1 below 0|  -> 318 out=0"},
      {[&] { lib.Read(0, buffer, 80, &out), lib.Read(0, buffer, 15, &out), lib.Read(0, nullptr, 16, &out); },
       "DLL_PosRead handle=0 size=80|  # refused: the queue is empty|  -> 329 out=0|DLL_PosRead handle=0 size=15|"
       "  # refused: buffer of 15 bytes, 16 needed|  -> 312 out=0|DLL_PosRead handle=0 size=16|"
       "  # refused: buffer of 16 bytes at 0x00000000 cannot be written|  -> 334 out=0"},
      {[&] { ResourceArg a[] = {{"DisplayText", 0}, {"Columns", 20}, {"DeviceName", Ptr(n4097.c_str())}, {nullptr, 5},
                                {"DisplayText", Ptr("HI")}};
             lib.IOCtl(1, 305, a, 5, &out); },
       "DLL_PosIOCtl handle=1 request=305 (POS_SYS_SET_VALUES) count=5|  arg[0] DisplayText = (null)|"
       "  arg[1] Columns = 20|  arg[2] DeviceName = \"" + n4097.substr(1) + "...\"|  arg[3] \"\" = 5|"
       "  arg[4] DisplayText = \"HI\"|  # refused: arg[0] DisplayText: text at 0x00000000 cannot be read|  -> 334 out=0"},
      {[&] { lib.Open("D", "PosDisplay", nullptr, -1, &out), lib.Open("D", "PosDisplay", nullptr, 0, nullptr); },
       open + "-1|  # refused: count -1 outside 0 to 256|  -> 325 out=0|" + open +
           "0|  # refused: out value at 0x00000000 cannot be written|  -> 334"},
      {[&] { lib.IOCtl(1, 302, &rows, 1, &out), lib.IOCtl(1, 302, &rows, 1, nullptr); },
       "DLL_PosIOCtl handle=1 request=302 (POS_SYS_GET_VALUES) count=1|  arg[0] Rows = 0|  -> 0 out=0|  ret[0] Rows = 2|"
       "DLL_PosIOCtl handle=1 request=302 (POS_SYS_GET_VALUES) count=1|  arg[0] Rows = 2|"
       "  # refused: out value at 0x00000000 cannot be written|  -> 334"},
      {[&] {
         Open("PosNvram"), lib.SetFault(7, FaultKind::kReadOverclaim, 10);
         lib.SetFault(7, FaultKind::kReadOverrun, 12), Forget(), lib.Read(3, buffer, 12, &out);
       }, "DLL_PosRead handle=3 size=12|  # fault: wrote 12 bytes past the buffer|"
          "  # fault: claims 22 bytes for a buffer of 12|  -> 0 out=22 data=00 01 02 03 04 05 06 07 08 09 0A 0B"},
      {[&] {
         lib.SetFault(3, FaultKind::kShortRead, 11), Forget();
         lib.Read(1, buffer, 12, &out), lib.Read(1, buffer, 11, &out);  // cut, then not; then cut to nothing
         lib.SetFault(3, FaultKind::kShortRead, 0), lib.Read(1, buffer, 1, &out), lib.SetFault(3, FaultKind::kShortRead, -1);
       }, "DLL_PosRead handle=1 size=12|  # fault: read cut to 11 bytes|  -> 0 out=11 data=" + blanks + "|"
          "DLL_PosRead handle=1 size=11|  -> 0 out=11 data=" + blanks + "|BENCH fault PosDisplay short=0|  -> 0|"
          "DLL_PosRead handle=1 size=1|  # fault: read cut to 0 bytes|  -> 0 out=0 data=|BENCH fault PosDisplay short=-1|  -> 0"},
      {[&] { lib.SetFault(13, FaultKind::kOffline, 1), Forget(), lib.Touch(1, 2), lib.SetFault(13, FaultKind::kOffline, 0); },
       "BENCH PosTouch touch length=4|  -> 317|"
       "BENCH fault PosTouch offline=0|  # posted 0x420D wParam=0x05225C0D lParam=0x00000001 to 0x000200B4|  -> 0"},
      {[&] { lib.SetFault(sim::kAllTargets, FaultKind::kError, 0), lib.SetFault(1, FaultKind(0), 5); },
       "BENCH fault all error=0|  -> 0|BENCH fault ? ?=5|  -> 331"},
      {[&] { lib.Close(12), lib.IOCtl(12, 4401, nullptr, 0, &out), lib.Read(12, buffer, 4, &out);
         EXPECT_EQ(0, lib.Version(10, 1, 0)); },
       "DLL_PosClose handle=12|  # refused: handle 12 is not open|  -> 303|"
       "DLL_PosIOCtl handle=12 request=4401 (POS_DSP_CLEAR_SCREEN) count=0|  # refused: handle 12 is not open|"
       "  -> 303 out=0|DLL_PosRead handle=12 size=4|  # refused: handle 12 is not open|  -> 303 out=0|DLL_PosVersion|"
       "  # arguments 10 1 0, received by value and not written|  -> 0"},
      {[&] { lib.SetPaperOut(true), lib.PrinterError(), lib.SetCoverOpen(true), Forget(), lib.Write(2, "x", 1, &out); },
       "DLL_PosWrite handle=2 length=1 data=78|  # printer halted: paper out cover open error|"
       "  # refused: printer halted|  -> 306 out=0"}};
  Init();
  ASSERT_TRUE(Open("PosDisplay") == 1 && sim_.Open("P", "PosPrinter", nullptr, 0, &out) == 0 && out == 2);
  for (const auto& c : cases) {
    Forget();
    c.act();
    EXPECT_EQ(Lines(c.lines), gJournal) << "row " << (&c - cases);
  }
  sim::Simulator quiet(sim::Platform{nullptr, RecordJournal, nullptr});  // nothing to post with: told so
  Forget(), quiet.Initialize("REVEDIZ", "", &gQueue, 1);
  EXPECT_EQ(0u, gJournal.find(Lines("DLL_PosInitialize app=\"REVEDIZ\" resfile=\"\" count=1|  arg[0] queueHandle = "
                                    "0x000200B4|  -> 0|  # post failed 0x420D wParam=0x00008407 lParam=0x00000000 to "
                                    "0x000200B4")));
}

// Each kind of refusal, on one bench: displays 1 and 2, keyboard 3, NVRAM 4, PosSystem 5, card reader 6, alarm 7,
// printer 8, serial port 9.
TEST_F(SimNotify, ARefusedCallSaysWhyInOneLineJustBeforeItsStatus) {
  Init();
  for (const char* cls : {"PosDisplay", "PosDisplay", "PosKeyboard", "PosNvram", "PosSystem", "PosMsr", "PosAlarm",
                          "PosPrinter", "PosRs232c"}) Open(cls);
  sim::Simulator fresh(sim::Platform{nullptr, RecordJournal, nullptr});
  std::int32_t out = 0, msr = sim::FindClass("PosMsr");
  char buffer[100];
  const std::string longName(256, 'L');
  const auto io = [&](std::int32_t h, std::int32_t request, std::vector<ResourceArg> a = {}) {
    return sim_.IOCtl(h, request, a.data(), static_cast<std::int32_t>(a.size()), &out);
  };
  const auto init = [&](std::vector<ResourceArg> a) { return fresh.Initialize("A", "", a.data(), int(a.size())); };
  const auto faulty = [&](FaultKind kind, std::int32_t value, std::function<std::int32_t()> act) {
    sim_.SetFault(msr, kind, value), Forget();
    const std::int32_t status = act();
    return sim_.ClearFaults(), status;
  };
  const struct { std::function<std::int32_t()> act; std::string why; } cases[] = {
      {[&] { return sim_.Initialize("A", "", &gQueue, 1); }, "already initialized"},
      {[&] { return fresh.Read(1, buffer, 4, &out); }, "not initialized"},
      {[&] { return init({}); }, "no queue handle given"},
      {[&] { return init({{"QueueHandle", 0}}); }, "arg[0] QueueHandle = 0: no window (POSERR_SYS_INVALID_QUEUE)"},
      {[&] { return init({gQueue, {"Rows", 2}}); }, "arg[1] Rows: no such resource of PosSystem"},
      {[&] { return sim_.Open("D", "PosFoo", nullptr, 0, &out); }, "class \"PosFoo\" unknown"},
      {[&] { return sim_.Open("D", "PosDevice", nullptr, 0, &out); }, "class \"PosDevice\" has no device of its own"},
      {[&] { return sim_.Open("", "PosDisplay", nullptr, 0, &out); }, "device name empty"},
      {[&] { ResourceArg a[] = {{"Columns", 20}, {"Rows", 2}, {"Rows", 9}};
             return sim_.Open("D", "PosDisplay", a, 3, &out); }, "arg[2] Rows = 9: outside 1 to 4 (POSERR_DSP_INVALID_SIZE)"},
      {[&] { return sim_.IOCtl(1, kReqSysSetValues, nullptr, 12, &out); }, "12 records at 0x00000000 cannot be read"},
      {[&] { return faulty(FaultKind::kError, 306, [&] { return sim_.Open("D", "PosMsr", nullptr, 0, &out); }); },
       "error fault 306 set on PosMsr"},
      {[&] { return faulty(FaultKind::kOffline, 1, [&] { return sim_.Read(6, buffer, 99, &out); }); },
       "PosMsr is off line"},
      {[&] { Open("PosAlarm"), Set(5, {{"MaxDevices", 10}}), Forget(); return sim_.Open("D", "PosAlarm", nullptr, 0, &out); },
       "10 handles open, MaxDevices 10"},
      {[&] { return sim_.Close(0); }, "the queue (handle 0) stays open"},
      {[&] { return io(1, 9999); }, "request 9999 unknown"},
      {[&] { return io(6, kReqPowerOff); }, "POS_POWER_OFF is not a request of PosMsr"},
      {[&] { return Set(1, {{"Columns", 99}}); }, "arg[0] Columns = 99: outside 1 to 80 (POSERR_DSP_INVALID_SIZE)"},
      {[&] { return Set(1, {{"Port", 5}}); }, "arg[0] Port = 5: not one of 0, 17, 34 (POSERR_SYS_INVALID_PORT)"},
      {[&] { return Set(1, {{"DeviceName", Ptr("")}}); },
       "arg[0] DeviceName: length 0 outside 1 to 63 (POSERR_SYS_INVALID_NAME)"},
      {[&] { return Set(4, {{"Size", 1}}); }, "arg[0] Size = 1: read only, holds 65536 (POSERR_NVRAM_NOT_ENOUGH_ROOM)"},
      {[&] { return Set(5, {{"LogFile", Ptr(longName.c_str())}}); },
       "arg[0] LogFile: length over 255 (POSERR_SYS_OUT_OF_BOUNDS)"},
      {[&] { return Set(1, {{"Rows", 1}, {"CursorRow", 1}}); }, "CursorRow 1 not below Rows 1"},
      {[&] { return io(1, kReqSysGetValues, {{"DisplayText", 0xFACE}}); },
       "arg[0] DisplayText: block at 0x0000FACE cannot be written"},
      {[&] { return io(1, kReqSysGetValues, {{"Nonesuch", 0}}); }, "arg[0] Nonesuch: no such resource of PosDisplay"},
      {[&] { io(1, kReqSysAcquireDevice), Forget(); return io(1, kReqSysAcquireDevice); },
       "handle 1 has acquired PosDisplay already"},
      {[&] { return Write(2, "x"); }, "PosDisplay acquired by handle 1"},
      {[&] { return io(2, kReqSysAcquireDevice); }, "PosDisplay acquired by handle 1"},
      {[&] { return io(2, kReqSysReleaseDevice); }, "handle 2 has not acquired PosDisplay"},
      {[&] { return io(5, kReqSysAcquireDevice); }, "PosSystem cannot be acquired or locked"},
      {[&] { return io(0, kReqSysLockDevice); }, "the queue cannot be acquired or locked"},
      {[&] { io(1, kReqSysLockDevice), Forget(); return sim_.Read(1, buffer, 4, &out); }, "PosDisplay is locked"},
      {[&] { io(3, kReqKbdDisableNumLock), Forget(); return io(3, kReqKbdSetNumLockOn); }, "Num Lock is disabled"},
      {[&] { return io(3, kReqKbdSetNumLockOff); }, "Num Lock is disabled"},
      {[&] { io(3, kReqKbdDisableScrollLock), Forget(); return io(3, kReqKbdSetScrollLockOn); },
       "Scroll Lock is disabled"},
      {[&] { return io(3, kReqKbdSetScrollLockOff); }, "Scroll Lock is disabled"},
      {[&] { return sim_.Read(6, buffer, -12, &out); }, "size -12 below 0"},
      {[&] { sim_.Read(6, buffer, 89, &out), Forget(); return sim_.Read(6, buffer, 89, &out); }, "no input waiting"},
      {[&] { return Write(0, "x"); }, "the queue (handle 0) is read only"},
      {[&] { return Write(7, "x"); }, "PosAlarm does not write"},
      {[&] { Set(8, {{"Station", 3}}), io(8, kReqPrnDisableDiPrinting), Forget(); return Write(8, "x"); },
       "DI printing disabled (Station 3)"},
      {[&] { Set(4, {{"RecordLength", 3}}), Forget(); return Write(4, "AB"); },
       "length 2 not whole records of RecordLength 3"},
      {[&] { Set(4, {{"RecordLength", 1}, {"Cursor", 65534}}), Forget(); return Write(4, "ABC"); }, "3 bytes from Cursor 65534, 2 left"},
      {[&] { Set(4, {{"Cursor", 65536}}), Forget(); return sim_.Read(4, buffer, 4, &out); },
       "Cursor 65536 at the end of NVRAM"},
      {[&] { sim_.Read(3, buffer, 99, &out), Forget(); return sim_.Read(3, buffer, 4, &out); }, "no keys waiting"},
      {[&] { return sim_.Read(9, buffer, 4, &out); }, "nothing looped back"},
      {[&] { return Set(1, {{"Columns", 2}, {"CursorColumn", 2}}); }, "CursorColumn 2 not below Columns 2"},
      {[&] { return Set(1, {{"Rows", 1}, {"Columns", 3}, {"DisplayText", Ptr("ABCD")}}); },
       "DisplayText of 4 characters, more than Rows x Columns 3"}};
  for (const auto& c : cases) {
    Forget();
    EXPECT_NE(0, c.act()) << c.why;
    EXPECT_TRUE(gJournal.find("\r\n  # refused: " + c.why + "\r\n  -> ") != std::string::npos &&
                gJournal.find("# refused") == gJournal.rfind("# refused")) << gJournal;
  }
}

}  // namespace
