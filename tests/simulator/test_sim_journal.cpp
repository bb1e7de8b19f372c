// The journal "vavuro32.jnl": one block of lines per call, the contract the
// end-to-end tests read. Expected blocks are written with '|' for CR LF.
#include <functional>
#include <string>
#include <vector>

#include "sim_fixture.h"
#include "simulator/journal.h"

namespace {

using namespace simtest;

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
    block.Append("%s", text.c_str());
    block.Append("%c", 'k');
    block.EndLine();
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

class SimJournal : public Sim {};

TEST_F(SimJournal, EachCallLeavesItsBlock) {
  const std::string t4096(4096, 't'), t4097(4097, 't'), a300(300, 'A');
  std::int32_t out = 0;
  char buffer[512];
  ResourceArg args[] = {{"Rows", 0}, {"", 0}}, queue{"queueHandle", static_cast<std::intptr_t>(kMain)};
  const auto open = [&](const char* name, std::vector<ResourceArg> a) {
    sim_.Open(name, "PosDisplay", a.data(), static_cast<std::int32_t>(a.size()), &out);
  };
  const struct { std::function<void()> act; std::string lines; } cases[] = {
      {[&] { sim_.Initialize("REVEDIZ", "C:\\VORN", &queue, 1), gJournal.resize(gJournal.find("  # posted 0x420D wParam=0x02")); },
       "DLL_PosInitialize app=\"REVEDIZ\" resfile=\"C:\\VORN\" count=1|  arg[0] queueHandle = 0x000200B4|  -> 0|"
       "  # posted 0x420D wParam=0x00008407 lParam=0x00000000 to 0x000200B4"},
      {[&] { Drain(), Forget(), open("DEVNAME", {{"Rows", 2}, {"DisplayText", Ptr("HELLO")}, {"queueHandle", 0x0123}}); },
       "DLL_PosOpen name=\"DEVNAME\" class=\"PosDisplay\" count=3|  arg[0] Rows = 2|  arg[1] DisplayText = \"HELLO\"|"
       "  arg[2] queueHandle = 0x00000123|  -> 0 out=1"},
      {[&] { sim_.Write(1, "AB\x1B" "C", 4, &out); }, "DLL_PosWrite handle=1 length=4 data=41 42 1B 43|  -> 0 out=4"},
      {[&] { sim_.Write(1, nullptr, 2, &out); }, "DLL_PosWrite handle=1 length=2 data=(bad address)|  -> 334 out=0"},
      {[&] { sim_.Write(1, nullptr, 0, &out); }, "DLL_PosWrite handle=1 length=0 data=|  -> 0 out=0"},
      {[&] { sim_.Write(1, "x", -1, &out); }, "DLL_PosWrite handle=1 length=-1 data=|  -> 318 out=0"},
      {[&] { sim_.Read(0, nullptr, 16, &out); }, "DLL_PosRead handle=0 size=16|  -> 334 out=0"},
      {[&] { sim_.Read(9, buffer, 4, &out); }, "DLL_PosRead handle=9 size=4|  -> 303 out=0"},
      {[&] { sim_.Open("D", "PosDisplay", nullptr, -1, &out); }, "DLL_PosOpen name=\"D\" class=\"PosDisplay\" count=-1|  -> 325 out=0"},
      {[&] { sim_.Open("D", "PosDisplay", nullptr, 0, nullptr); }, "DLL_PosOpen name=\"D\" class=\"PosDisplay\" count=0|  -> 334"},
      {[&] { sim_.Read(0, buffer, 80, &out); }, "DLL_PosRead handle=0 size=80|  -> 329 out=0"},
      {[&] { sim_.Read(1, buffer, 7, &out); }, "DLL_PosRead handle=1 size=7|  -> 0 out=7 data=48 45 4C 4C 4F 41 42"},
      {[&] { sim_.IOCtl(1, 302, args, 2, &out); },
       "DLL_PosIOCtl handle=1 request=302 (POS_SYS_GET_VALUES) count=2|  arg[0] Rows = 0|  arg[1] \"\" = 0|  -> 330 out=0"},
      {[&] { sim_.IOCtl(1, 302, args, 1, &out); },
       "DLL_PosIOCtl handle=1 request=302 (POS_SYS_GET_VALUES) count=1|  arg[0] Rows = 0|  -> 0 out=0|  ret[0] Rows = 2"},
      {[&] { sim_.IOCtl(1, 999, nullptr, 0, &out); }, "DLL_PosIOCtl handle=1 request=999 (no such request) count=0|  -> 316 out=0"},
      {[&] { sim_.Open("P", "PosPrinter", nullptr, 0, &out), Forget(), sim_.Write(2, a300.data(), 300, &out); },  // no window of its own
       "DLL_PosWrite handle=2 length=300 data=" + HexOfA(256) + " ... total=300|"
       "  # posted 0x4204 wParam=0x03113402 lParam=0x00000000 to 0x000200B4|  -> 0 out=300"},
      {[&] { open("D", {{"DisplayText", 40}, {"Unknown", 7}, {"DisplayText", 0}}); },
       "DLL_PosOpen name=\"D\" class=\"PosDisplay\" count=3|  arg[0] DisplayText = (bad address 0x00000028)|"
       "  arg[1] Unknown = 7|  arg[2] DisplayText = (null)|  -> 334 out=0"},
      {[&] { open("D", {{"DisplayText", Ptr(t4096.c_str())}, {"DisplayText", Ptr(t4097.c_str())}}); },
       "DLL_PosOpen name=\"D\" class=\"PosDisplay\" count=2|  arg[0] DisplayText = \"" + t4096 + "\"|  arg[1] DisplayText = \"" +
           t4096 + "...\"|  -> 4403 out=0"},
      {[&] { sim_.Close(1); }, "DLL_PosClose handle=1|  -> 0"},
      {[&] { sim_.Version(1, 2, 3); }, "DLL_PosVersion|  # arguments 1 2 3, received by value and not written|  -> 0"},
      {[&] { Open("PosNvram"), sim_.SetFault(7, sim::FaultKind::kReadOverclaim, 10), Forget(), sim_.Read(3, buffer, 4, &out); },
       "DLL_PosRead handle=3 size=4|  # fault: claims 14 bytes for a buffer of 4|  -> 0 out=14 data=00 01 02 03"},
      {[&] { sim_.SetFault(7, sim::FaultKind::kReadOverrun, 2), Forget(), sim_.Read(3, buffer, 4, &out); },
       "DLL_PosRead handle=3 size=4|  # fault: wrote 2 bytes past the buffer|  # fault: claims 14 bytes for a buffer of 4|"
       "  -> 0 out=14 data=00 01 02 03"},
      {[&] { sim_.SetFault(6, sim::FaultKind::kReadOverrun, 4); }, "BENCH fault PosMsr overrun=4|  -> 0"},
      {[&] { sim_.SetFault(sim::kAllTargets, sim::FaultKind::kError, 0); }, "BENCH fault all error=0|  -> 0"},
      {[&] { sim_.SetFault(sim::kQueueTarget, sim::FaultKind::kOffline, 1); }, "BENCH fault queue offline=1|  -> 316"},
      {[&] { sim_.SetFault(1, static_cast<sim::FaultKind>(5), 1); }, "BENCH fault ? ?=1|  -> 331"},
      {[&] { sim_.ClearFaults(); }, "BENCH faults cleared"},
      {[&] { sim_.SetFault(9, sim::FaultKind::kOffline, 1), Forget(), sim_.SetFault(9, sim::FaultKind::kOffline, 0); },
       "BENCH fault PosPrinter offline=0|  # posted 0x420D wParam=0x03113403 lParam=0x00000000 to 0x000200B4|  -> 0"},
      {[&] { sim_.JournalNote("window shown"); }, "BENCH window shown"},
      {[&] { Open("PosMsr"), Forget(), sim_.SwipeCard(";1?"); },
       "BENCH PosMsr swipe length=3|  # posted 0x4203 wParam=0x01224804 lParam=0x00000003 to 0x000200B4|  -> 0"},
      {[&] { sim_.PressKeys("ab"); }, "BENCH PosKeyboard keys length=2|  -> 0"},
      {[&] { sim_.Touch(1, 2); }, "BENCH PosTouch touch length=4|  -> 0"},
      {[&] { sim_.ScanLabel(nullptr); }, "BENCH PosScanner scan length=13|  -> 0"},
      {[&] { sim_.PlaceWeight(-1); }, "BENCH PosScale weight grams=-1|  -> 310"},
      {[&] { sim_.CloseDrawer(); }, "BENCH PosDrawer close|  -> 0"},
      {[&] { sim_.SetPaperOut(true); },
       "BENCH PosPrinter paper out|  # posted 0x4205 wParam=0x03113402 lParam=0x00000000 to 0x000200B4|  -> 0"},
      {[&] { sim_.SetCoverOpen(false); }, "BENCH PosPrinter cover shut|  -> 0"},
      {[&] { sim_.PrinterError(), sim_.SetCoverOpen(true), Forget(), sim_.Write(2, "x", 1, &out); },
       "DLL_PosWrite handle=2 length=1 data=78|  # printer halted: paper out cover open error|  -> 306 out=0"},
      {[&] { sim_.Burst(1, 1); }, "BENCH ? burst count=1|  -> 331"},
      {[&] { sim_.Burst(2, 1); }, "BENCH PosAlarm burst count=1|  # posted 0x420D wParam=0x00008407 lParam=0x00000000 to 0x000200B4|  -> 0"},
      {[&] { Drain(), sim_.Burst(2, 1025), gJournal.erase(0, gJournal.find("  # queue full")); },
       "  # queue full: oldest record dropped|  -> 0"},
      {[&] { sim_.Term(); }, "DLL_PosTerm|  # closed 3 open devices|  -> 0"},
      {[&] { sim_.Term(); }, "DLL_PosTerm|  -> 302"}};
  for (const auto& c : cases) {
    Forget();
    c.act();
    EXPECT_EQ(Lines(c.lines), gJournal) << "row " << (&c - cases);
  }
  // Nothing to post with, or a window that refuses: told so.
  sim::Simulator quiet(sim::Platform{nullptr, RecordJournal, nullptr});
  Forget();
  ASSERT_EQ(0, quiet.Initialize("REVEDIZ", "", &queue, 1));
  EXPECT_NE(std::string::npos, gJournal.find("  -> 0\r\n  # post failed 0x420D wParam=0x00008407 lParam=0x00000000 to 0x0"));
}

}  // namespace
