// What each bench device does with a write, answers to a read and does on
// each ioctl request, and the faults a test or the bench sets on it.
#include <cstring>
#include <string>
#include <vector>

#include "sim_fixture.h"

namespace {

using namespace simtest;
using namespace pos;
using sim::Device;

class SimDevices : public Sim {};

// A case: settings, an ioctl request (or 0), a write and its status, then reads of a size with their status
// and bytes; a read of size -1 stands for the device's text (DeviceText).
TEST_F(SimDevices, WritesThenReads) {
  struct Step { std::int32_t size, status; std::string bytes; };
  struct Case { const char* cls; std::vector<ResourceArg> set; std::int32_t request; std::string write; std::int32_t status;
                std::vector<Step> reads; };
  const std::string a40(40, 'a'), blank(40, ' ');
  const std::int32_t kNo = kErrSysFunctionNotSupported, kSmall = kErrSysBufferTooSmall, kNone = kErrSysTimeout;
  // NVRAM codes as ErrorNames has them: 4101 NOT_ENOUGH_ROOM, 4103 EOF, 4105 INVALID_LENGTH_RECORD.
  const Case cases[] = {
      // The display (2 x 20): the cursor moves on and wraps; LF on the last row goes to the top; CR to column 0;
      // BS back one, not past column 0; other control bytes are ignored.
      {"PosDisplay", {}, 0, "TOTAL\r\n  12.50", 0,
       {{40, 0, "TOTAL" + blank.substr(25) + "  12.50" + blank.substr(27)}, {10, 0, "TOTAL     "}, {0, kSmall, ""}}},
      {"PosDisplay", {{"CursorRow", 1}, {"CursorColumn", 3}}, 0, "\nX", 0, {{40, 0, "   X" + blank.substr(4)}}},
      {"PosDisplay", {}, 0, a40 + "b", 0, {{40, 0, "b" + a40.substr(1)}}},
      {"PosDisplay", {}, 0, "ABC\rX\b\bY\x1BZ", 0, {{-1, 0, "YZC" + blank.substr(23) + "\n" + blank.substr(20) + "\n"}}},
      {"PosDisplay", {{"Rows", 1}, {"Columns", 5}}, 0, "ABCDEFG", 0, {{9, 0, "FGCDE"}, {-1, 0, "FGCDE\n"}}},
      {"PosDisplay", {{"DisplayText", Ptr("HI")}}, 0, "!", 0, {{3, 0, "HI!"}}},
      {"PosDisplay", {{"DisplayText", Ptr("HI")}}, kReqDspClearScreen, "!", 0, {{3, 0, "!  "}}},
      // The printer: LF ends a line, CR is dropped, a line of CharsPerLine characters is ended.
      {"PosPrinter", {}, 0, "RECEIPT\r\nITEM 1\nTO", 0, {{4, kNo, ""}, {-1, 0, "RECEIPT\nITEM 1\nTO\n"}}},
      {"PosPrinter", {{"CharsPerLine", 5}}, 0, "ABCDEFG", 0, {{-1, 0, "ABCDE\nFG\n"}}},
      {"PosPrinter", {{"CharsPerLine", 1}}, 0, "AB", 0, {{-1, 0, "A\nB\n"}}}, {"PosRs232c", {}, 0, "", 0, {{8, kNone, ""}}},
      {"PosPrinter", {{"Station", 3}}, kReqPrnDisableDiPrinting, "AB", kErrSysCmdReject, {{-1, 0, ""}}},
      {"PosPrinter", {{"Station", 2}}, kReqPrnDisableDiPrinting, "AB", 0, {{-1, 0, "AB\n"}}},
      // The serial port loops back what was written; reading consumes it.
      {"PosRs232c", {}, 0, "\x01\x02\x03\x04\x05", 0, {{0, kSmall, ""}, {3, 0, "\x01\x02\x03"}, {8, 0, "\x04\x05"}, {8, kNone, ""}}},
      // NVRAM: byte n of a fresh one is (n + n / 256) & 0xFF; reads and writes at Cursor, which moves on only in
      // Mode 1; writes in whole records.
      {"PosNvram", {{"Cursor", 254}}, 0, "", 0, {{4, 0, "\xFE\xFF\x01\x02"}, {4, 0, "\xFE\xFF\x01\x02"}, {0, kSmall, ""}}},
      {"PosNvram", {{"Cursor", 510}, {"Mode", 1}}, 0, "", 0, {{2, 0, std::string("\xFF\x00", 2)}, {2, 0, "\x02\x03"}}},
      {"PosNvram", {{"Cursor", 65534}}, 0, "", 0, {{4, 0, "\xFD\xFE"}}}, {"PosNvram", {{"Cursor", 65536}}, 0, "", 0, {{4, 4103, ""}}},
      {"PosNvram", {{"Cursor", 100}}, 0, "SAVE", 0, {{6, 0, "SAVE\x68\x69"}}},
      {"PosNvram", {{"Cursor", 100}, {"Mode", 1}}, 0, "SAVE", 0, {{2, 0, "\x68\x69"}}},
      {"PosNvram", {{"Cursor", 65532}}, 0, "ABCD", 0, {{8, 0, "ABCD"}}},
      {"PosNvram", {{"Cursor", 65532}}, 0, "ABCDE", 4101, {{1, 0, "\xFB"}}},
      {"PosNvram", {{"RecordLength", 3}}, 0, "ABCD", 4105, {}}, {"PosNvram", {{"RecordLength", 3}}, 0, "ABCDEF", 0, {{6, 0, "ABCDEF"}}},
      // Input devices give what a fresh bench holds, whole or not at all (keys in parts), once.
      {"PosMsr", {}, 0, "x", kNo, {{88, kSmall, ""}, {89, 0, sim::kTestCardTracks}, {89, kNone, ""}}},
      {"PosScanner", {}, 0, "", 0, {{12, kSmall, ""}, {13, 0, "0123456789012"}}},
      {"PosScanner", {}, kReqScanDiscardData, "", 0, {{20, kNone, ""}}},
      {"PosTouch", {}, 0, "x", kNo, {{3, kSmall, ""}, {4, 0, std::string("\x78\0\x50\0", 4)}}},
      {"PosKeyboard", {}, 0, "x", kNo, {{0, kSmall, ""}, {2, 0, "12"}, {9, 0, "50\r"}, {9, kNone, ""}}},
      // The scale answers its weight (1250 g on a fresh bench) in its units, less the zero set.
      {"PosScale", {}, 0, "x", kNo, {{7, kSmall, ""}, {8, 0, "1.250 kg"}, {8, 0, "1.250 kg"}}},
      {"PosScale", {{"Units", 0}}, 0, "", 0, {{10, 0, "1250 g"}}}, {"PosScale", {}, kReqScaleZeroScale, "", 0, {{10, 0, "0.000 kg"}}},
      {"PosScale", {{"Units", 2}}, 0, "", 0, {{10, 0, "2.755 lb"}}},  // 1250 / 453.59237, cut to thousandths
      {"PosDrawer", {}, 0, "x", kNo, {{0, kSmall, ""}, {2, 0, std::string(1, '\0')}}},
      {"PosDrawer", {}, kReqTillOpenTill, "", 0, {{2, 0, "\x01"}}},
      {"PosAlarm", {}, 0, "x", kNo, {{4, kNo, ""}}}, {"PosPower", {}, 0, "x", kNo, {{4, kNo, ""}}},
      {"PosSystem", {}, 0, "x", kNo, {{4, kNo, ""}}}};
  for (const Case& c : cases) {
    if (sim_.Initialized()) { ASSERT_EQ(0, sim_.Term()); }
    Init();
    const std::int32_t handle = Open(c.cls);
    ASSERT_EQ(0, (c.set.empty() ? 0 : Set(handle, c.set)) + (c.request ? Ioctl(handle, c.request) : 0)) << c.cls;
    if (!c.write.empty()) { EXPECT_EQ(c.status, Write(handle, c.write)) << c.cls << " <- " << c.write; }
    for (const Step& r : c.reads) {
      std::int32_t status = 0;
      std::string text;
      EXPECT_EQ(r.bytes, r.size < 0 ? (sim_.DeviceText(sim::FindClass(c.cls), &text), text) : Read(handle, r.size, &status)) << c.cls;
      EXPECT_EQ(r.status, status) << c.cls << " <- " << c.write << ", read " << r.size;
    }
  }
  std::string text = "x";
  EXPECT_FALSE(sim_.DeviceText(sim::FindClass("PosScale"), &text) || sim_.DeviceText(-1, &text) ||
               sim_.DeviceText(sim::kClassCount, &text) || !text.empty());
}

// Each request turns a state off and its opposite on, on its own class only.
TEST_F(SimDevices, RequestsActOnTheirOwnClassOnly) {
  struct Case { const char* cls; std::int32_t on, off; bool Device::*flag; bool initially; } pairs[] = {
      {"PosAlarm", kReqAlarmSoundAlarm, kReqAlarmSilenceAlarm, &Device::sounding, false},
      {"PosKeyboard", kReqKbdSoundTone, kReqKbdSilenceTone, &Device::sounding, false},
      {"PosTouch", kReqTouchSoundTone, kReqTouchSilenceTone, &Device::sounding, false},
      {"PosKeyboard", kReqKbdEnablePosFunctions, kReqKbdDisablePosFunctions, &Device::posFunctions, true},
      {"PosKeyboard", kReqKbdSetTypematicOn, kReqKbdSetTypematicOff, &Device::typematic, true},
      {"PosKeyboard", kReqKbdEnableHotKeys, kReqKbdDisableHotKeys, &Device::hotKeys, true},
      {"PosKeyboard", kReqKbdSetNumLockOn, kReqKbdSetNumLockOff, &Device::numLock, false},
      {"PosKeyboard", kReqKbdSetScrollLockOn, kReqKbdSetScrollLockOff, &Device::scrollLock, false},
      {"PosKeyboard", kReqKbdEnableNumLock, kReqKbdDisableNumLock, &Device::numLockEnabled, true},
      {"PosKeyboard", kReqKbdEnableScrollLock, kReqKbdDisableScrollLock, &Device::scrollLockEnabled, true},
      {"PosPrinter", kReqPrnEnableDiPrinting, kReqPrnDisableDiPrinting, &Device::diPrinting, true},
      {"PosPrinter", kReqPrnEnableFiscalPrinting, kReqPrnDisableFiscalPrinting, &Device::fiscalPrinting, false},
      {"PosMsr", kReqSysLockDevice, kReqSysUnlockDevice, &Device::locked, false},
      {"PosPower", kReqPowerSetAlarm, kReqPowerSetAlarm, &Device::powerAlarmSet, false}};
  Init();
  for (const Case& c : pairs) {
    const std::int32_t handle = Open(c.cls);
    const bool& flag = sim_.DeviceOf(sim::FindClass(c.cls)).*c.flag;
    EXPECT_EQ(c.initially, flag) << c.cls << " " << c.on;
    for (std::int32_t request : {c.off, c.on, c.off}) {
      EXPECT_EQ(0, Ioctl(handle, request));
      EXPECT_EQ(request == c.on, flag) << c.cls << " " << request;
    }
    ASSERT_EQ(0, sim_.Close(handle));
  }
  const std::int32_t keyboard = Open("PosKeyboard");  // its locks now disabled, and off
  EXPECT_TRUE(Ioctl(keyboard, kReqKbdSetNumLockOn) == kErrSysCmdReject && Ioctl(keyboard, kReqKbdSetScrollLockOn) == kErrSysCmdReject);
  EXPECT_FALSE(sim_.DeviceOf(sim::FindClass("PosKeyboard")).numLock || sim_.DeviceOf(sim::FindClass("PosKeyboard")).scrollLock);
  // Requests of another class, of no class, and system requests on the system or the queue.
  const struct { const char* cls; std::int32_t request; } refused[] = {{"PosScale", kReqPowerOff}, {"PosDisplay", kReqTillOpenTill},
      {"PosAlarm", kReqTillOpenTill}, {"PosDrawer", kReqAlarmSoundAlarm}, {"PosPrinter", kReqDspDefineCharacters},
      {"PosDisplay", 4499}, {"PosDisplay", 0}, {"PosSystem", kReqSysAcquireDevice}, {"PosSystem", kReqSysLockDevice},
      {"PosSystem", kReqDspClearScreen}, {nullptr, kReqSysAcquireDevice}, {nullptr, kReqSysUnlockDevice}};
  for (const auto& r : refused) EXPECT_EQ(kErrSysInvalidRequest, Ioctl(r.cls ? Open(r.cls) : 0, r.request)) << r.request;
  const std::int32_t power = Open("PosPower"), alarm = Open("PosAlarm"), printer = Open("PosPrinter"), display = Open("PosDisplay");
  EXPECT_TRUE(Ioctl(power, kReqPowerOff) == 0 && Get(power, "PowerState") == 0 && Ioctl(power, kReqPowerOn) == 0 &&
              Get(power, "PowerState") == 1);
  // A device request takes its arguments as settings first.
  EXPECT_TRUE(Ioctl(alarm, kReqAlarmSoundAlarm, {{"ToneVolume", 101}}) == kErrSysOutOfBounds &&
              !sim_.DeviceOf(sim::FindClass("PosAlarm")).sounding);
  EXPECT_TRUE(Ioctl(alarm, kReqAlarmSoundAlarm, {{"ToneVolume", 100}}) == 0 && Get(alarm, "ToneVolume") == 100);
  EXPECT_EQ(0, Ioctl(display, kReqDspDefineCharacters) + Ioctl(display, kReqDspDefineCharacters) +
                   Ioctl(printer, kReqPrnDefineCharacters));
  EXPECT_EQ(std::pair(2, 1), std::pair(sim_.DeviceOf(sim::FindClass("PosDisplay")).definedCharacters,
                                       sim_.DeviceOf(sim::FindClass("PosPrinter")).definedCharacters));
  // Resume and retry change nothing; discarding drops the unfinished line; a reset also the settings.
  std::string text;
  Forget();
  ASSERT_EQ(0, Set(printer, {{"CharsPerLine", 5}}) + Write(printer, "AB\nCD") + Ioctl(printer, kReqPrnResumePrinting) +
                   Ioctl(printer, kReqPrnRetryPrinting) + Ioctl(printer, kReqPrnDiscardData) +
                   Ioctl(Open("PosScale"), kReqScaleClearScreen));
  EXPECT_EQ(5, Get(printer, "CharsPerLine"));
  EXPECT_EQ(1u, gPosts.size()) << "the write's chase complete only";
  ASSERT_EQ(0, Write(printer, "EF") + Ioctl(printer, kReqPrnDisableDiPrinting) + Ioctl(printer, kReqPrnResetPrinter));
  EXPECT_TRUE(sim_.DeviceText(sim::FindClass("PosPrinter"), &text) && sim_.DeviceOf(sim::FindClass("PosPrinter")).diPrinting);
  EXPECT_EQ("AB\n", text);
  EXPECT_EQ(40, Get(printer, "CharsPerLine"));
}

TEST_F(SimDevices, AcquireAndLockGuardTheDevice) {
  enum Call { kIoctl, kWrite, kRead, kClose };
  const struct { int who; Call call; std::int32_t request, status; } steps[] = {
      {0, kIoctl, kReqSysAcquireDevice, 0}, {0, kIoctl, kReqSysAcquireDevice, kErrSysAlreadyAcquired},
      {1, kIoctl, kReqSysAcquireDevice, kErrSysAcquiredByOther}, {1, kWrite, 0, kErrSysAcquiredByOther},
      {1, kRead, 0, kErrSysAcquiredByOther}, {1, kIoctl, kReqRs232SendBreak, kErrSysAcquiredByOther},
      {1, kIoctl, kReqSysLockDevice, kErrSysAcquiredByOther}, {1, kIoctl, kReqSysGetValues, 0},
      {1, kIoctl, kReqSysReleaseDevice, kErrSysNotAcquired}, {0, kWrite, 0, 0}, {0, kIoctl, kReqSysReleaseDevice, 0},
      {1, kWrite, 0, 0}, {1, kIoctl, kReqSysAcquireDevice, 0}, {1, kClose, 0, 0}, {0, kWrite, 0, 0},
      {0, kIoctl, kReqSysLockDevice, 0}, {0, kRead, 0, kErrSysLockedNoDataRead}, {0, kWrite, 0, 0},
      {0, kIoctl, kReqSysUnlockDevice, 0}, {0, kRead, 0, 0}};
  Init();
  const std::int32_t handles[] = {Open("PosRs232c"), Open("PosRs232c")};
  for (const auto& s : steps) {
    std::int32_t status = -1, h = handles[s.who];
    status = s.call == kIoctl ? Ioctl(h, s.request) : s.call == kWrite ? Write(h, "x") : s.call == kClose ? sim_.Close(h) : status;
    if (s.call == kRead) Read(h, 8, &status);
    EXPECT_EQ(s.status, status) << "step " << (&s - steps);
  }
}

TEST_F(SimDevices, ReadFaultsClaimTooMuchOrWritePastTheBufferOnlyWhenAskedAndSuccessful) {
  const sim::FaultKind claim = sim::FaultKind::kReadOverclaim, overrun = sim::FaultKind::kReadOverrun;
  struct Case { const char* cls; sim::FaultKind kind; std::int32_t value, size, status, out, placed, past; } cases[] = {
      {"PosScanner", claim, 5, 32, 0, 37, 13, 0},  // the buffer's size and more, whatever the bytes placed
      {"PosNvram", claim, 1, 16, 0, 17, 16, 0}, {"PosNvram", overrun, 3, 16, 0, 16, 16, 3}, {"PosNvram", claim, -4, 16, 0, 16, 16, 0},
      {"PosNvram", overrun, -1, 16, 0, 16, 16, 0}, {"PosScanner", overrun, 2, 4, kErrSysTimeout, 0, 0, 0}};  // its label read above
  Init();
  for (const Case& c : cases) {
    sim_.ClearFaults();
    const std::int32_t handle = Open(c.cls);
    ASSERT_EQ(0, sim_.SetFault(sim::FindClass(c.cls), c.kind, c.value));
    unsigned char buffer[48];
    std::int32_t out = -1;
    std::memset(buffer, 0xBB, sizeof buffer);
    EXPECT_EQ(c.status, sim_.Read(handle, buffer + 4, c.size, &out)) << c.cls << " " << c.value;
    EXPECT_EQ(c.out, out) << c.cls << " " << c.value;
    for (int at = -4; at < 44; ++at) {
      const bool past = at >= c.size && at < c.size + c.past;
      if (at < 0 || at >= c.placed) { EXPECT_EQ(past ? sim::kOverrunByte : 0xBB, buffer[at + 4]) << at; }
    }
  }
}

TEST_F(SimDevices, ErrorAndOffLineFaultsAnswerTheCallsOfTheirTarget) {
  const int display = sim::FindClass("PosDisplay"), queue = sim::kQueueTarget, all = sim::kAllTargets;
  const sim::FaultKind error = sim::FaultKind::kError, offline = sim::FaultKind::kOffline;
  // Opening another handle, then write, read, ioctl and close on a handle opened before; the queue's read.
  struct Case { int target; sim::FaultKind kind; std::int32_t value; const char* cls; std::vector<std::int32_t> answers; } cases[] = {
      {display, error, 306, "PosDisplay", {306, 306, 306, 306, 306, 329}}, {display, error, 306, "PosRs232c", {0, 0, 0, 0, 0, 0}},
      {display, error, 0, "PosDisplay", {0, 0, 0, 0, 0, 329}}, {queue, error, 332, "PosDisplay", {0, 0, 0, 0, 0, 332}},
      {all, error, 306, "PosTouch", {306, 306, 306, 306, 306, 306}}, {all, error, 306, "PosSystem", {0, 311, 311, 0, 0, 306}},
      {display, offline, 1, "PosDisplay", {317, 317, 317, 317, 0, 0}}};
  Init();
  for (const Case& c : cases) {
    sim_.ClearFaults(), Drain();
    const std::int32_t handle = Open(c.cls);
    ASSERT_EQ(0, sim_.SetFault(c.target, c.kind, c.value));
    std::int32_t other = 0, status = 0;
    std::vector<std::int32_t> answers{sim_.Open("D", c.cls, nullptr, 0, &other), Write(handle, "x")};
    Read(handle, 64, &status);
    answers.insert(answers.end(), {status, Ioctl(handle, kReqSysGetValues), sim_.Close(handle)});
    Read(0, 16, &status);
    answers.push_back(status);
    EXPECT_EQ(c.answers, answers) << c.cls << " " << c.target;
    if (other != 0) sim_.Close(other);
  }
  ASSERT_EQ(0, sim_.SetFault(all, offline, 1));
  Forget();  // off line, the bench's own actions fail too, and tell no one
  const std::vector<std::int32_t> bench{sim_.SwipeCard(nullptr), sim_.ScanLabel(nullptr), sim_.PressKeys("1"), sim_.Touch(1, 1),
                                        sim_.SetPaperOut(true), sim_.SetCoverOpen(true), sim_.PrinterError()};
  EXPECT_TRUE(bench == std::vector<std::int32_t>(7, kErrSysDeviceOffline) && gPosts.empty());
  sim_.ClearFaults();
  EXPECT_EQ(12u, gPosts.size()) << "every bench device back on line";
}

TEST_F(SimDevices, FaultTargetsAndKindsAreCheckedAndOutliveTerm) {
  const struct { const char* name; int target; } names[] = {{nullptr, sim::kAllTargets}, {"", sim::kAllTargets},
      {"Queue", sim::kQueueTarget}, {"PosAlarm", 2}, {"PosTouch", sim::kClassCount - 1}, {"PosDevice", -2}, {"PosSystem", -2},
      {"Q", -2}};
  for (const auto& n : names) EXPECT_EQ(n.target, sim::FaultTarget(n.name)) << (n.name ? n.name : "null");
  const struct { int target, kind; std::int32_t status; } cases[] = {{-2, 1, kErrSysInvalidClass}, {0, 1, kErrSysInvalidClass},
      {1, 1, kErrSysInvalidClass}, {15, 1, kErrSysInvalidClass}, {14, 4, kErrSysInvalidRequest}, {2, 0, kErrSysInvalidRequest},
      {2, 5, kErrSysInvalidRequest}, {2, 1, 0}, {13, 4, 0}, {sim::kAllTargets, 2, 0}, {14, 3, 0}};  // 14: the queue
  for (const auto& c : cases) EXPECT_EQ(c.status, sim_.SetFault(c.target, sim::FaultKind(c.kind), 9)) << c.target << " " << c.kind;
  const sim::Faults& queue = sim_.FaultsOf(sim::kQueueTarget);
  EXPECT_TRUE(sim_.FaultsOf(2).error == 9 && queue.overclaim == 9 && queue.overrun == 9);
  ResourceArg q{"queueHandle", static_cast<std::intptr_t>(kMain)};
  ASSERT_EQ(0, sim_.Initialize("REVEDIZ", "", &q, 1));
  EXPECT_EQ(11u, gPosts.size()) << "the touch screen stays off line";
  sim_.ClearFaults();
  EXPECT_EQ((Post{kMain, kMsgSysDeviceOnline, 0x05225C0D, 1}), gPosts.back());
  EXPECT_TRUE(gPosts.size() == 12 && queue.overrun == 0 && queue.overclaim == 0);
}

}  // namespace
