// What each bench device does, one table per device: a call or bench action, and its status, the bytes it
// read and the notifications it posted.
#include <tuple>
#include <utility>

#include "sim_fixture.h"
#include "simulator/sim_codes.h"
#include "simulator/vavuro32.h"  // POSERR_NVRAM_EOF, the end-of-NVRAM status as a program knows it

namespace {

using namespace simtest;
using namespace pos;
using namespace sim;  // the device families' error codes
using Notes = std::vector<std::pair<std::uint32_t, std::uint32_t>>;  // {message, lParam} posted, in order

enum Do { kRead, kWrite, kText, kReq, kSet, kGet, kShow, kSwipe, kScan, kKeys, kTouch, kWeight, kShut, kPaper, kCover,
          kError };
// A step and what it answers. n: kRead size (one byte short of what the device needs when refused as too small), kReq
// request, kSet value, kGet the value read, kTouch y << 16 | x, kWeight grams, kPaper and kCover on. text: kRead bytes
// placed, kText the device's text ("(none)"), kWrite bytes, kSet and kGet resource, kShow DisplayText, bench input
// ("": the test's own).
struct Step { Do what; std::int32_t n = 0; std::string text = ""; std::int32_t status = 0; Notes notes = {}; };
constexpr std::int32_t kNo = kErrSysFunctionNotSupported, kSmall = kErrSysBufferTooSmall, kNone = kErrSysTimeout,
                       kBad = kErrSysInvalidRequest;

class SimDevices : public Sim {
 protected:
  // The steps in order on a fresh bench, through one handle on the device.
  void Run(const char* cls, const std::vector<Step>& steps) {
    Init();
    const std::int32_t h = Open(cls);
    for (const Step& s : steps) {
      Forget();
      std::int32_t status = 0;
      std::string bytes;
      const char* input = s.text.empty() ? nullptr : s.text.c_str();
      switch (s.what) {
        case kRead: bytes = Read(h, s.n, &status); break;
        case kWrite: status = Write(h, s.text); break;
        case kText: bytes = "old"; if (!sim_.DeviceText(sim::FindClass(cls), &bytes)) bytes = "(none)"; break;
        case kReq: status = Ioctl(h, s.n); break;
        case kSet: status = Set(h, {{s.text.c_str(), s.n}}); break;
        case kGet: bytes = std::to_string(Get(h, s.text.c_str())); break;
        case kShow: status = Set(h, {{"DisplayText", Ptr(s.text.c_str())}}); break;
        case kSwipe: status = sim_.SwipeCard(input); break;  case kScan: status = sim_.ScanLabel(input); break;
        case kKeys: status = sim_.PressKeys(input); break;  case kWeight: status = sim_.PlaceWeight(s.n); break;
        case kTouch: status = sim_.Touch(s.n & 0xFFFF, s.n >> 16); break;
        case kShut: status = sim_.CloseDrawer(); break;  case kError: status = sim_.PrinterError(); break;
        case kPaper: status = sim_.SetPaperOut(s.n != 0); break;
        case kCover: status = sim_.SetCoverOpen(s.n != 0); break;
      }
      Notes notes;
      for (const Post& p : gPosts) notes.emplace_back(p.message, p.lParam);
      const std::string read = s.what == kRead || s.what == kText ? s.text : s.what == kGet ? std::to_string(s.n) : "";
      EXPECT_EQ(std::tuple(s.status, read, s.notes), std::tuple(status, bytes, notes))
          << cls << " step " << (&s - steps.data());
      const std::string small = "# refused: buffer of " + std::to_string(s.n) + " bytes, " + std::to_string(s.n + 1);
      EXPECT_TRUE(status != kSmall || gJournal.find(small + " needed\r\n") != std::string::npos) << gJournal;
    }
  }
};

// 2 rows of 20: CR, LF and BS move the cursor, other control bytes are dropped, a full screen wraps to the top.
TEST_F(SimDevices, Display) {
  const std::string a40(40, 'a');
  Run("PosDisplay", {{kWrite, 0, "TOTAL\r\n  12.50"}, {kRead, 40, "TOTAL               " "  12.50             "},
      {kRead, 10, "TOTAL     "}, {kRead, 0, "", kSmall}, {kWrite, 0, "\r\bX\bAB\bC\x01"},
      {kRead, 40, "TOTAL               AC12.50             "}, {kReq, kReqDspClearScreen}, {kRead, 2, "  "}, {kWrite, 0, a40 + "b"},
      {kRead, 40, "b" + a40.substr(1)},
      // A text is written from home on a clear screen; a new size keeps what fits; the cursor and a text must fit.
      {kShow, 0, "HI" + std::string(17, ' ') + "!YO"}, {kWrite, 0, "!"}, {kRead, 5, "HI   "},
      {kSet, 3, "Columns", kErrDspInvalidCursor}, {kWrite, 0, "\r\n"}, {kSet, 3, "Columns"}, {kRead, 9, "HI YO!"},
      {kSet, 4, "Columns"}, {kRead, 9, "HI  YO! "}, {kSet, 3, "Columns"}, {kSet, 1, "Rows"}, {kRead, 9, "HI "},
      {kShow, 0, "ABCD", kErrDspInvalidSize}, {kSet, 3, "CursorColumn", kErrDspInvalidCursor},
      {kReq, kReqDspDefineCharacters}, {kReq, kReqPowerOff, "", kBad}, {kReq, 4499, "", kBad}, {kReq, 0, "", kBad}});
  // More rows and fewer columns at once: a new row starts blank.
  const std::int32_t h = Open("PosDisplay");
  std::int32_t status = -1;
  ASSERT_EQ(0, Set(h, {{"CursorColumn", 0}, {"Rows", 2}, {"Columns", 1}}));
  EXPECT_EQ(Read(h, 9, &status), "H ");
  // A device request applies its arguments first, as a Set would.
  EXPECT_EQ(0, Ioctl(h, kReqDspClearScreen, {{"Columns", 5}}));
  EXPECT_EQ(Get(h, "Columns"), 5);
}

// LF ends a line, CR is dropped, a line of CharsPerLine characters is ended; no paper, an open cover or an error
// stop it.
TEST_F(SimDevices, Printer) {
  const Notes chase{{kMsgPrnChaseComplete, 0}}, status{{kMsgPrnStatusChange, 0}}, error{{kMsgPrnPrinterError, 0}};
  Run("PosPrinter", {{kWrite, 0, "RECEIPT\r\nITEM 1\nTO", 0, chase}, {kRead, 4, "", kNo},
      {kText, 0, "RECEIPT\nITEM 1\nTO\n"}, {kReq, kReqPrnDiscardData}, {kSet, 5, "CharsPerLine"},
      {kWrite, 0, "ABCDEFG", 0, chase}, {kText, 0, "RECEIPT\nITEM 1\nABCDE\nFG\n"},
      // A fresh printer prints on DI (station 3) too; a reset brings that and the settings back, and drops the line.
      {kSet, 3, "Station"}, {kWrite, 0, "\n", 0, chase}, {kReq, kReqPrnDisableDiPrinting},
      {kWrite, 0, "X", kErrSysCmdReject}, {kReq, kReqPrnEnableDiPrinting}, {kWrite, 0, "AB", 0, chase},
      {kReq, kReqPrnDisableDiPrinting}, {kReq, kReqPrnResetPrinter, "", 0, status}, {kGet, 40, "CharsPerLine"},
      {kSet, 3, "Station"}, {kWrite, 0, "DI\n", 0, chase}, {kText, 0, "RECEIPT\nITEM 1\nABCDE\nFG\nDI\n"},
      {kReq, kReqPrnResumePrinting}, {kReq, kReqPrnEnableFiscalPrinting}, {kReq, kReqDspClearScreen, "", kBad},
      // Paper and cover tell only a change; every error is told, and fails the next print only.
      {kPaper, 1, "", 0, error}, {kPaper, 1}, {kWrite, 0, "x", kErrSysHwError}, {kPaper, 0, "", 0, status},
      {kCover, 1, "", 0, status}, {kCover, 1}, {kWrite, 0, "x", kErrSysHwError}, {kCover, 0, "", 0, status},
      {kError, 0, "", 0, error}, {kError, 0, "", 0, error}, {kWrite, 0, "x", kErrSysHwError},
      {kWrite, 0, "x", 0, chase}, {kCover, 1, "", 0, status}});
  std::string text;  // and no text for what is no class
  EXPECT_TRUE(sim_.CoverOpen() && !sim_.PaperOut() && !sim_.DeviceText(-1, &text) &&
              !sim_.DeviceText(sim::kClassCount, &text));
}

// A loopback: what is written is read back, oldest first, once; it holds 64 KiB (then POSERR_RS232_PREV_NOT_COMPLETE).
TEST_F(SimDevices, SerialPortAndNvram) {
  Run("PosRs232c", {{kRead, 8, "", kNone},
      {kWrite, 0, "\x01\x02\x03\x04\x05", 0, {{kMsgRs232XmitComplete, 5}, {kMsgRs232DataAvail, 5}}},
      {kRead, 0, "", kSmall}, {kRead, 3, "\x01\x02\x03"}, {kRead, 8, "\x04\x05"}, {kRead, 8, "", kNone},
      {kWrite, 0, "", 0, {{kMsgRs232XmitComplete, 0}}},
      {kReq, kReqRs232SendBreak, "", 0, {{kMsgRs232BreakDetected, 0}}},
      {kWrite, 0, std::string(65536, 'x'), 0, {{kMsgRs232XmitComplete, 65536}, {kMsgRs232DataAvail, 65536}}},
      {kWrite, 0, "y", 5907}, {kRead, 65535, std::string(65535, 'x')},
      {kWrite, 0, "z", 0, {{kMsgRs232XmitComplete, 1}, {kMsgRs232DataAvail, 1}}}, {kRead, 8, "xz"}});
  // Byte n is (n + n / 256) & 0xFF when fresh; Cursor moves on only in Mode 1; writes in whole records.
  Run("PosNvram", {{kSet, 254, "Cursor"}, {kRead, 4, "\xFE\xFF\x01\x02"}, {kRead, 2, "\xFE\xFF"},
      {kRead, 0, "", kSmall}, {kSet, 1, "Mode"}, {kSet, 510, "Cursor"}, {kRead, 2, std::string("\xFF\x00", 2)},
      {kRead, 2, "\x02\x03"}, {kSet, 0, "Cursor"}, {kWrite, 0, "AB"}, {kRead, 2, "\x02\x03"}, {kSet, 0, "Cursor"},
      {kRead, 2, "AB"}, {kSet, 65534, "Cursor"}, {kRead, 4, "\xFD\xFE"}, {kRead, 4, "", POSERR_NVRAM_EOF},
      {kSet, 65532, "Cursor"}, {kWrite, 0, "ABCDE", kErrNvramNotEnoughRoom}, {kWrite, 0, "ABCD"},
      {kRead, 1, "", POSERR_NVRAM_EOF}, {kSet, 65532, "Cursor"}, {kSet, 3, "RecordLength"},
      {kWrite, 0, "ABCD", kErrNvramInvalidLengthRecord}, {kWrite, 0, "ABC"}, {kRead, 4, "D"},
      {kReq, kReqScanDiscardData, "", kBad}});
}

// Input devices hold what arrived (a fresh bench: a test card, a label, a touch, keys) until a read takes it, whole
// or not at all; new input replaces the old. Keys are a stream, read in parts.
TEST_F(SimDevices, InputDevices) {
  Run("PosMsr", {{kRead, 88, "", kSmall}, {kRead, 89, sim::kTestCardTracks}, {kRead, 89, "", kNone},
      {kSwipe, 0, "%B1^X?", 0, {{kMsgMsrDataAvail, 6}}}, {kSwipe, 0, "", 0, {{kMsgMsrDataAvail, 89}}},
      {kRead, 89, sim::kTestCardTracks}, {kWrite, 0, "x", kNo}, {kReq, kReqScanDiscardData, "", kBad}});
  Run("PosScanner", {{kRead, 12, "", kSmall}, {kRead, 13, sim::kTestLabel}, {kRead, 13, "", kNone},
      {kScan, 0, "ABC", 0, {{kMsgScanDataAvail, 3}}}, {kReq, kReqScanDiscardData}, {kRead, 13, "", kNone},
      {kScan, 0, "", 0, {{kMsgScanDataAvail, 13}}}, {kRead, 13, sim::kTestLabel}});
  Run("PosTouch", {{kRead, 3, "", kSmall}, {kRead, 4, std::string("\x78\x00\x50\x00", 4)}, {kRead, 4, "", kNone},
      {kTouch, 301 << 16 | 259, "", 0, {{kMsgTouchData, 301 << 16 | 259}}}, {kRead, 4, "\x03\x01\x2D\x01"},
      {kReq, kReqTouchSoundTone}, {kReq, kReqTouchSilenceTone}, {kReq, kReqKbdSoundTone, "", kBad}});
  // Num Lock and Scroll Lock change only while enabled; each change tells both (bit 0 Num, bit 1 Scroll).
  const auto locks = [](std::uint32_t state) { return Notes{{kMsgKbdStatusChange, state}}; };
  Run("PosKeyboard", {{kRead, 0, "", kSmall}, {kRead, 2, "12"}, {kRead, 9, "50\r"}, {kRead, 9, "", kNone},
      {kKeys, 0, "a\r", 0, {{kMsgKbdWmChar, 'a'}, {kMsgKbdWmChar, '\r'}}}, {kKeys, 0, "b", 0, {{kMsgKbdWmChar, 'b'}}},
      {kRead, 9, "a\rb"}, {kReq, kReqKbdSetNumLockOn, "", 0, locks(1)}, {kReq, kReqKbdSetNumLockOn},
      {kReq, kReqKbdSetScrollLockOn, "", 0, locks(3)}, {kReq, kReqKbdDisableScrollLock},
      {kReq, kReqKbdSetScrollLockOff, "", kErrSysCmdReject}, {kReq, kReqKbdEnableScrollLock},
      {kReq, kReqKbdSetNumLockOff, "", 0, locks(2)}, {kReq, kReqKbdSetScrollLockOff, "", 0, locks(0)},
      {kReq, kReqKbdDisableNumLock}, {kReq, kReqKbdSetNumLockOn, "", kErrSysCmdReject}, {kReq, kReqKbdEnableNumLock},
      {kReq, kReqKbdSetNumLockOn, "", 0, locks(1)}, {kReq, kReqKbdSetScrollLockOn, "", 0, locks(3)},
      {kReq, kReqKbdSetTypematicOn}, {kWrite, 0, "x", kNo}});
}

// The weight on it (1250 g on a fresh bench) less the zero set, in its Units: 1 kg, 2 lb (453.59237 g, cut to
// thousandths), 0 g.
TEST_F(SimDevices, ScaleAndDrawer) {
  Run("PosScale", {{kRead, 7, "", kSmall}, {kRead, 8, "1.250 kg"}, {kRead, 8, "1.250 kg"}, {kSet, 2, "Units"},
      {kRead, 10, "2.755 lb"}, {kSet, 0, "Units"}, {kRead, 10, "1250 g"}, {kReq, kReqScaleZeroScale},
      {kRead, 10, "0 g"}, {kWeight, 1249}, {kRead, 10, "-1 g"}, {kSet, 1, "Units"}, {kRead, 10, "-0.001 kg"},
      {kWeight, 13249}, {kRead, 10, "11.999 kg"}, {kSet, 2, "Units"}, {kWeight, 1553}, {kRead, 10, "0.668 lb"},
      {kWeight, -1, "", kErrSysOutOfBounds}, {kReq, kReqScaleClearScreen},
      {kWrite, 0, "x", kNo}, {kText, 0, "(none)"}});
  // One status byte, 0 closed or 1 open, which DrawerStatus reports too; only an open drawer tells it was shut.
  Run("PosDrawer", {{kRead, 0, "", kSmall}, {kRead, 2, std::string(1, '\0')}, {kShut},
      {kReq, kReqTillOpenTill, "", 0, {{kMsgTillOpened, 0}}}, {kRead, 1, "\x01"}, {kGet, 1, "DrawerStatus"},
      {kShut, 0, "", 0, {{kMsgTillClosed, 0}}}, {kRead, 1, std::string(1, '\0')}, {kWrite, 0, "x", kNo}});
}

// TestInputs 1 (the default) keeps what a fresh bench's input devices hold; 0 at initialize, or set later, empties them.
TEST_F(SimDevices, TestInputsZeroLeavesEveryInputDeviceEmpty) {
  const std::pair<const char*, std::string> inputs[] = {
      {"PosMsr", "%B4111111111111111^TEST/CARD^29121010000000000000?;4111111111111111=29121010000000000000?"},
      {"PosScanner", "0123456789012"}, {"PosKeyboard", "1250\r"}, {"PosTouch", {"\x78\0\x50\0", 4}}};
  for (int way = 0; way < 4; ++way) {  // no setting, 1, 0; 1 and then 0 set through PosSystem
    ResourceArg args[] = {gQueue, {"TestInputs", way == 2 ? 0 : 1}};
    Init(args, way == 0 ? 1 : 2);
    if (way == 3) { ASSERT_EQ(0, Set(Open("PosSystem"), {{"TestInputs", 0}})); }
    EXPECT_EQ(way < 2 ? 1 : 0, Get(Open("PosSystem"), "TestInputs")) << way;
    for (const auto& [cls, input] : inputs) {
      std::int32_t status = 0;
      EXPECT_EQ(std::pair(way < 2 ? input : "", way < 2 ? 0 : kNone), std::pair(Read(Open(cls), 100, &status), status))
          << cls << " " << way;
    }
  }
}

TEST_F(SimDevices, PowerAlarmAndSystemTakeOnlyTheirOwnRequests) {
  Run("PosPower", {{kSet, 4, "Slot"}, {kGet, 4, "Slot"}, {kReq, kReqPowerOff}, {kGet, 0, "PowerState"},
      {kReq, kReqPowerOn}, {kGet, 1, "PowerState"}, {kReq, kReqPowerSetAlarm}, {kRead, 4, "", kNo},
      {kReq, kReqScaleZeroScale, "", kBad}});
  Run("PosAlarm", {{kReq, kReqAlarmSoundAlarm}, {kReq, kReqAlarmSilenceAlarm}, {kReq, kReqTouchSoundTone, "", kBad},
      {kRead, 4, "", kNo}, {kWrite, 0, "x", kNo}});
  Run("PosSystem", {{kReq, kReqSysLockDevice, "", kBad}, {kReq, kReqSysAcquireDevice, "", kBad},
      {kReq, kReqPowerOff, "", kBad}, {kRead, 4, "", kNo}, {kWrite, 0, "x", kNo}});
}

}  // namespace
