// What each bench device does with a write, answers to a read, and does on
// each ioctl request; values read back through GET_VALUES.
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "sim_fixture.h"
#include "simulator/sim_codes.h"

namespace {

using namespace simtest;
using namespace pos;
using sim::Device;

class SimDevices : public Sim {};

std::string Blanks(std::size_t n) { return std::string(n, ' '); }

TEST_F(SimDevices, WritesThenReads) {
  struct ReadStep { std::int32_t size, status; std::string bytes; };
  struct Case {
    const char* cls;
    std::vector<ResourceArg> set;
    std::int32_t request;  // an ioctl before the write, or 0
    std::string write;
    std::int32_t writeStatus;
    std::vector<ReadStep> reads;
    std::optional<std::string> shows;  // what DeviceText gives
  };
  const std::string a40(40, 'a');
  const Case cases[] = {
      // The display (2 x 20): the cursor moves on and wraps; LF on the last row
      // goes to the top; CR to column 0; BS back one, not past column 0.
      {"PosDisplay", {}, 0, "TOTAL\r\n  12.50", 0,
       {{40, 0, "TOTAL" + Blanks(15) + "  12.50" + Blanks(13)}, {10, 0, "TOTAL" + Blanks(5)},
        {0, kErrSysBufferTooSmall, ""}}, {}},
      {"PosDisplay", {{"CursorRow", 1}, {"CursorColumn", 3}}, 0, "\nX", 0,
       {{40, 0, "   X" + Blanks(36)}}, {}},
      {"PosDisplay", {}, 0, a40 + "b", 0, {{40, 0, "b" + a40.substr(1)}}, {}},
      {"PosDisplay", {}, 0, "ABC\rX\b\bY\x1BZ", 0, {}, "YZC" + Blanks(17) + "\n" + Blanks(20) + "\n"},
      {"PosDisplay", {{"Rows", 1}, {"Columns", 5}}, 0, "ABCDEFG", 0, {{9, 0, "FGCDE"}}, "FGCDE\n"},
      {"PosDisplay", {{"DisplayText", Ptr("HI")}}, 0, "!", 0, {{3, 0, "HI!"}}, {}},
      {"PosDisplay", {{"DisplayText", Ptr("HI")}}, kReqDspClearScreen, "!", 0, {{3, 0, "!  "}}, {}},
      // The printer: LF ends a line, CR is dropped, a line of CharsPerLine wraps.
      {"PosPrinter", {}, 0, "RECEIPT\r\nITEM 1\nTO", 0, {{4, kErrSysFunctionNotSupported, ""}},
       "RECEIPT\nITEM 1\nTO\n"},
      {"PosPrinter", {{"CharsPerLine", 5}}, 0, "ABCDEFG", 0, {}, "ABCDE\nFG\n"},
      {"PosPrinter", {{"CharsPerLine", 1}}, 0, "AB", 0, {}, "A\nB\n"},
      {"PosPrinter", {{"Station", 3}}, kReqPrnDisableDiPrinting, "AB", kErrSysCmdReject, {}, ""},
      {"PosPrinter", {{"Station", 2}}, kReqPrnDisableDiPrinting, "AB", 0, {}, "AB\n"},
      // The serial port loops back what was written, consumed by reading.
      {"PosRs232c", {}, 0, "", 0, {{8, kErrSysTimeout, ""}}, {}},
      {"PosRs232c", {}, 0, "\x01\x02\x03\x04\x05", 0,
       {{0, kErrSysBufferTooSmall, ""}, {3, 0, "\x01\x02\x03"}, {8, 0, "\x04\x05"}, {8, kErrSysTimeout, ""}},
       {}},
      // NVRAM: byte n of a fresh one is (n + n / 256) & 0xFF; reads and
      // writes at Cursor, which moves on only in Mode 1.
      {"PosNvram", {{"Cursor", 254}}, 0, "", 0,
       {{4, 0, "\xFE\xFF\x01\x02"}, {4, 0, "\xFE\xFF\x01\x02"}, {0, kErrSysBufferTooSmall, ""}}, {}},
      {"PosNvram", {{"Cursor", 510}, {"Mode", 1}}, 0, "", 0,
       {{2, 0, std::string("\xFF\x00", 2)}, {2, 0, "\x02\x03"}}, {}},
      {"PosNvram", {{"Cursor", 65534}}, 0, "", 0, {{4, 0, "\xFD\xFE"}}, {}},
      {"PosNvram", {{"Cursor", 65536}}, 0, "", 0, {{4, sim::kErrNvramEof, ""}}, {}},
      {"PosNvram", {{"Cursor", 100}}, 0, "SAVE", 0, {{6, 0, "SAVE\x68\x69"}}, {}},
      {"PosNvram", {{"Cursor", 100}, {"Mode", 1}}, 0, "SAVE", 0, {{2, 0, "\x68\x69"}}, {}},
      {"PosNvram", {{"Cursor", 65532}}, 0, "ABCD", 0, {{8, 0, "ABCD"}}, {}},
      {"PosNvram", {{"Cursor", 65532}}, 0, "ABCDE", sim::kErrNvramNotEnoughRoom, {{1, 0, "\xFB"}}, {}},
      {"PosNvram", {{"RecordLength", 3}}, 0, "ABCD", sim::kErrNvramInvalidLengthRecord, {}, {}},
      {"PosNvram", {{"RecordLength", 3}}, 0, "ABCDEF", 0, {{6, 0, "ABCDEF"}}, {}},
      // Input devices: what a fresh bench holds, whole or not at all (keys
      // in parts), once.
      {"PosMsr", {}, 0, "x", kErrSysFunctionNotSupported,
       {{88, kErrSysBufferTooSmall, ""}, {89, 0, sim::kTestCardTracks}, {89, kErrSysTimeout, ""}}, {}},
      {"PosScanner", {}, 0, "", 0, {{12, kErrSysBufferTooSmall, ""}, {13, 0, "0123456789012"}}, {}},
      {"PosScanner", {}, kReqScanDiscardData, "", 0, {{20, kErrSysTimeout, ""}}, {}},
      {"PosTouch", {}, 0, "", 0, {{3, kErrSysBufferTooSmall, ""}, {4, 0, std::string("\x78\0\x50\0", 4)}},
       {}},
      {"PosKeyboard", {}, 0, "", 0,
       {{0, kErrSysBufferTooSmall, ""}, {2, 0, "12"}, {9, 0, "50\r"}, {9, kErrSysTimeout, ""}}, {}},
      // The scale answers its weight (1250 g on a fresh bench) in its units.
      {"PosScale", {}, 0, "x", kErrSysFunctionNotSupported,
       {{7, kErrSysBufferTooSmall, ""}, {8, 0, "1.250 kg"}, {8, 0, "1.250 kg"}}, {}},
      {"PosScale", {{"Units", 0}}, 0, "", 0, {{10, 0, "1250 g"}}, {}},
      {"PosScale", {}, kReqScaleZeroScale, "", 0, {{10, 0, "0.000 kg"}}, {}},
      {"PosDrawer", {}, 0, "x", kErrSysFunctionNotSupported, {{0, kErrSysBufferTooSmall, ""}, {2, 0, std::string(1, '\0')}},
       {}},
      {"PosDrawer", {}, kReqTillOpenTill, "", 0, {{2, 0, "\x01"}}, {}},
      {"PosAlarm", {}, 0, "x", kErrSysFunctionNotSupported, {{4, kErrSysFunctionNotSupported, ""}}, {}},
      {"PosPower", {}, 0, "x", kErrSysFunctionNotSupported, {{4, kErrSysFunctionNotSupported, ""}}, {}},
      {"PosTouch", {}, 0, "x", kErrSysFunctionNotSupported, {}, {}},
      {"PosKeyboard", {}, 0, "x", kErrSysFunctionNotSupported, {}, {}},
      {"PosSystem", {}, 0, "x", kErrSysFunctionNotSupported, {{4, kErrSysFunctionNotSupported, ""}}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.cls) + " <- " + c.write);
    ASSERT_EQ(0, sim_.Initialized() ? sim_.Term() : 0);
    Init();
    const std::int32_t handle = Open(c.cls);
    if (!c.set.empty()) { ASSERT_EQ(0, Set(handle, c.set)); }
    if (c.request != 0) { ASSERT_EQ(0, Ioctl(handle, c.request)); }
    if (!c.write.empty()) {
      EXPECT_EQ(c.writeStatus, Write(handle, c.write));
    }
    for (const ReadStep& r : c.reads) {
      std::int32_t status = -1;
      EXPECT_EQ(r.bytes, Read(handle, r.size, &status)) << r.size;
      EXPECT_EQ(r.status, status) << r.size;
    }
    std::string text;
    if (c.shows) {
      EXPECT_TRUE(sim_.DeviceText(sim::FindClass(c.cls), &text));
      EXPECT_EQ(*c.shows, text);
    }
  }
}

TEST_F(SimDevices, RequestsActOnTheirOwnClassOnly) {
  struct Case { const char* cls; std::int32_t before, request, status; bool Device::*flag; bool value; };
  const Case cases[] = {
      {"PosAlarm", 0, kReqAlarmSoundAlarm, 0, &Device::sounding, true},
      {"PosAlarm", kReqAlarmSoundAlarm, kReqAlarmSilenceAlarm, 0, &Device::sounding, false},
      {"PosKeyboard", 0, kReqKbdSoundTone, 0, &Device::sounding, true},
      {"PosKeyboard", kReqKbdSoundTone, kReqKbdSilenceTone, 0, &Device::sounding, false},
      {"PosTouch", 0, kReqTouchSoundTone, 0, &Device::sounding, true},
      {"PosTouch", kReqTouchSoundTone, kReqTouchSilenceTone, 0, &Device::sounding, false},
      {"PosKeyboard", 0, kReqKbdDisablePosFunctions, 0, &Device::posFunctions, false},
      {"PosKeyboard", kReqKbdDisablePosFunctions, kReqKbdEnablePosFunctions, 0, &Device::posFunctions, true},
      {"PosKeyboard", 0, kReqKbdSetTypematicOff, 0, &Device::typematic, false},
      {"PosKeyboard", kReqKbdSetTypematicOff, kReqKbdSetTypematicOn, 0, &Device::typematic, true},
      {"PosKeyboard", 0, kReqKbdDisableHotKeys, 0, &Device::hotKeys, false},
      {"PosKeyboard", kReqKbdDisableHotKeys, kReqKbdEnableHotKeys, 0, &Device::hotKeys, true},
      {"PosKeyboard", 0, kReqKbdDisableNumLock, 0, &Device::numLockEnabled, false},
      {"PosKeyboard", kReqKbdDisableNumLock, kReqKbdEnableNumLock, 0, &Device::numLockEnabled, true},
      {"PosKeyboard", 0, kReqKbdDisableScrollLock, 0, &Device::scrollLockEnabled, false},
      {"PosKeyboard", kReqKbdDisableScrollLock, kReqKbdEnableScrollLock, 0, &Device::scrollLockEnabled, true},
      {"PosKeyboard", 0, kReqKbdSetNumLockOn, 0, &Device::numLock, true},
      {"PosKeyboard", kReqKbdSetNumLockOn, kReqKbdSetNumLockOff, 0, &Device::numLock, false},
      {"PosKeyboard", kReqKbdDisableNumLock, kReqKbdSetNumLockOn, kErrSysCmdReject, &Device::numLock, false},
      {"PosKeyboard", 0, kReqKbdSetScrollLockOn, 0, &Device::scrollLock, true},
      {"PosKeyboard", kReqKbdSetScrollLockOn, kReqKbdSetScrollLockOff, 0, &Device::scrollLock, false},
      {"PosKeyboard", kReqKbdDisableScrollLock, kReqKbdSetScrollLockOn, kErrSysCmdReject, &Device::scrollLock, false},
      {"PosPower", 0, kReqPowerSetAlarm, 0, &Device::powerAlarmSet, true},
      {"PosPrinter", 0, kReqPrnDisableDiPrinting, 0, &Device::diPrinting, false},
      {"PosPrinter", kReqPrnDisableDiPrinting, kReqPrnEnableDiPrinting, 0, &Device::diPrinting, true},
      {"PosPrinter", kReqPrnDisableDiPrinting, kReqPrnResetPrinter, 0, &Device::diPrinting, true},
      {"PosPrinter", 0, kReqPrnEnableFiscalPrinting, 0, &Device::fiscalPrinting, true},
      {"PosPrinter", kReqPrnEnableFiscalPrinting, kReqPrnDisableFiscalPrinting, 0, &Device::fiscalPrinting, false},
      {"PosPrinter", kReqPrnEnableFiscalPrinting, kReqPrnResetPrinter, 0, &Device::fiscalPrinting, false},
      {"PosPrinter", 0, kReqPrnResumePrinting, 0, nullptr, false},
      {"PosPrinter", 0, kReqPrnRetryPrinting, 0, nullptr, false},
      {"PosScale", 0, kReqScaleClearScreen, 0, nullptr, false},
      {"PosMsr", 0, kReqSysLockDevice, 0, &Device::locked, true},
      {"PosMsr", kReqSysLockDevice, kReqSysUnlockDevice, 0, &Device::locked, false},
      // Requests of another class, of no class, or system requests on the system.
      {"PosScale", 0, kReqPowerOff, kErrSysInvalidRequest, nullptr, false},
      {"PosDisplay", 0, kReqTillOpenTill, kErrSysInvalidRequest, nullptr, false},
      {"PosAlarm", 0, kReqTillOpenTill, kErrSysInvalidRequest, nullptr, false},
      {"PosDrawer", 0, kReqAlarmSoundAlarm, kErrSysInvalidRequest, nullptr, false},
      {"PosPrinter", 0, kReqDspDefineCharacters, kErrSysInvalidRequest, nullptr, false},
      {"PosDisplay", 0, 4499, kErrSysInvalidRequest, nullptr, false},
      {"PosDisplay", 0, 0, kErrSysInvalidRequest, nullptr, false},
      {"PosSystem", 0, kReqSysAcquireDevice, kErrSysInvalidRequest, nullptr, false},
      {"PosSystem", 0, kReqSysLockDevice, kErrSysInvalidRequest, nullptr, false},
      {"PosSystem", 0, kReqDspClearScreen, kErrSysInvalidRequest, nullptr, false},
  };
  Init();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.cls) + " " + std::to_string(c.request));
    const std::int32_t handle = Open(c.cls);
    if (c.before != 0) { ASSERT_EQ(0, Ioctl(handle, c.before)); }
    EXPECT_EQ(c.status, Ioctl(handle, c.request));
    if (c.flag != nullptr) {
      EXPECT_EQ(c.value, sim_.DeviceOf(sim::FindClass(c.cls)).*c.flag);
    }
    ASSERT_EQ(0, sim_.Close(handle));
  }
  EXPECT_EQ(kErrSysInvalidRequest, Ioctl(0, kReqSysAcquireDevice)) << "nothing to acquire on the queue";
  const std::int32_t power = Open("PosPower");
  for (auto [request, state] : {std::pair{kReqPowerOff, 0}, {kReqPowerOn, 1}, {kReqPowerOff, 0}}) {
    EXPECT_EQ(0, Ioctl(power, request));
    EXPECT_EQ(state, Get(power, "PowerState"));
  }
  // A device request takes its arguments as settings first.
  const std::int32_t alarm = Open("PosAlarm");
  EXPECT_EQ(kErrSysOutOfBounds, Ioctl(alarm, kReqAlarmSoundAlarm, {{"ToneVolume", 101}}));
  EXPECT_FALSE(sim_.DeviceOf(sim::FindClass("PosAlarm")).sounding);
  EXPECT_EQ(0, Ioctl(alarm, kReqAlarmSoundAlarm, {{"ToneVolume", 100}}));
  EXPECT_EQ(100, Get(alarm, "ToneVolume"));
  const std::int32_t display = Open("PosDisplay"), printer = Open("PosPrinter");
  for (std::int32_t n = 1; n <= 2; ++n) {
    EXPECT_EQ(0, Ioctl(display, kReqDspDefineCharacters));
    EXPECT_EQ(0, Ioctl(printer, kReqPrnDefineCharacters));
    EXPECT_EQ(n, sim_.DeviceOf(sim::FindClass("PosDisplay")).definedCharacters);
    EXPECT_EQ(n, sim_.DeviceOf(sim::FindClass("PosPrinter")).definedCharacters);
  }
  // Discarding drops the unfinished line; a reset also restores the settings.
  std::string text;
  ASSERT_EQ(0, Set(printer, {{"CharsPerLine", 5}}));
  ASSERT_EQ(0, Write(printer, "AB\nCD"));
  EXPECT_EQ(0, Ioctl(printer, kReqPrnDiscardData));
  EXPECT_TRUE(sim_.DeviceText(sim::FindClass("PosPrinter"), &text));
  EXPECT_EQ("AB\n", text);
  ASSERT_EQ(0, Write(printer, "CD"));
  EXPECT_EQ(0, Ioctl(printer, kReqPrnResetPrinter));
  EXPECT_EQ(40, Get(printer, "CharsPerLine"));
  EXPECT_TRUE(sim_.DeviceText(sim::FindClass("PosPrinter"), &text));
  EXPECT_EQ("AB\n", text);
  EXPECT_FALSE(sim_.DeviceText(sim::FindClass("PosScale"), &text));
  EXPECT_FALSE(sim_.DeviceText(sim::kClassCount, &text));
  EXPECT_FALSE(sim_.DeviceText(-1, &text));
}

TEST_F(SimDevices, AcquireAndLockGuardTheDevice) {
  enum Call { kIoctl, kWrite, kRead, kClose };
  struct Step { int who; Call call; std::int32_t request, status; } steps[] = {
      {0, kIoctl, kReqSysAcquireDevice, 0}, {0, kIoctl, kReqSysAcquireDevice, kErrSysAlreadyAcquired},
      {1, kIoctl, kReqSysAcquireDevice, kErrSysAcquiredByOther}, {1, kWrite, 0, kErrSysAcquiredByOther},
      {1, kRead, 0, kErrSysAcquiredByOther}, {1, kIoctl, kReqRs232SendBreak, kErrSysAcquiredByOther},
      {1, kIoctl, kReqSysLockDevice, kErrSysAcquiredByOther}, {1, kIoctl, kReqSysGetValues, 0},
      {1, kIoctl, kReqSysReleaseDevice, kErrSysNotAcquired}, {0, kWrite, 0, 0},
      {0, kIoctl, kReqSysReleaseDevice, 0}, {1, kWrite, 0, 0}, {1, kIoctl, kReqSysAcquireDevice, 0},
      {1, kClose, 0, 0}, {0, kWrite, 0, 0}, {0, kIoctl, kReqSysLockDevice, 0},
      {0, kRead, 0, kErrSysLockedNoDataRead}, {0, kWrite, 0, 0}, {0, kIoctl, kReqSysUnlockDevice, 0},
      {0, kRead, 0, 0},
  };
  Init();
  const std::int32_t handles[] = {Open("PosRs232c"), Open("PosRs232c")};
  for (const Step& s : steps) {
    const std::int32_t h = handles[s.who];
    std::int32_t status = -1;
    if (s.call == kIoctl) status = Ioctl(h, s.request);
    if (s.call == kWrite) status = Write(h, "x");
    if (s.call == kRead) Read(h, 8, &status);
    if (s.call == kClose) status = sim_.Close(h);
    EXPECT_EQ(s.status, status) << "step " << (&s - steps);
  }
}

TEST_F(SimDevices, GetValuesWritesWithinEachBlockOrNothing) {
  Init();
  const std::int32_t display = Open("PosDisplay", kOwn);
  ASSERT_EQ(0, Set(display, {{"DisplayText", Ptr("HELLO WORLD")}, {"DeviceName", Ptr("FRONT")}}));
  // The tool's empty text is a block of 100 bytes; a block with text holds
  // no more than that text and its end.
  char empty[101], shortBlock[8] = "abc\0UUU", name[100] = "";
  std::memset(empty, 'U', sizeof empty);
  empty[0] = '\0';
  ResourceArg args[] = {{"Rows", 0}, {"DisplayText", Ptr(empty)}, {"DisplayText", Ptr(shortBlock)},
                        {"DeviceName", Ptr(name)}, {"queueHandle", 0}, {"Slot", -1}};
  std::int32_t out = -1;
  ASSERT_EQ(0, sim_.IOCtl(display, kReqSysGetValues, args, 6, &out));
  EXPECT_EQ(2, args[0].value);
  EXPECT_EQ("HELLO WORLD" + Blanks(29), std::string(empty));
  EXPECT_EQ('U', empty[41]);
  EXPECT_STREQ("HEL", shortBlock);
  EXPECT_EQ("UUU", std::string(shortBlock + 4, 3));
  EXPECT_STREQ("FRONT", name);
  EXPECT_EQ(static_cast<std::intptr_t>(kOwn), args[4].value);
  EXPECT_EQ(2, args[5].value);
  ResourceArg queue{"queueHandle", 0};
  ASSERT_EQ(0, sim_.IOCtl(0, kReqSysGetValues, &queue, 1, &out));
  EXPECT_EQ(static_cast<std::intptr_t>(kMain), queue.value) << "the queue answers the main window";
  // An empty block takes 99 characters of the 320 of a 4 x 80 screen.
  ASSERT_EQ(0, Set(display, {{"Rows", 4}, {"Columns", 80}}));
  empty[0] = '\0';
  ASSERT_EQ(0, sim_.IOCtl(display, kReqSysGetValues, &args[1], 1, &out));
  EXPECT_EQ("HELLO WORLD" + Blanks(88), std::string(empty));
  EXPECT_EQ('U', empty[100]);
  // A refused call writes nothing back.
  ResourceArg unknown[] = {{"Rows", 77}, {"NoSuchThing", 0}}, noBlock[] = {{"Rows", 77}, {"DisplayText", -1}};
  EXPECT_EQ(kErrSysInvalidName, sim_.IOCtl(display, kReqSysGetValues, unknown, 2, &out));
  EXPECT_EQ(kErrSysInvalidAddress, sim_.IOCtl(display, kReqSysGetValues, noBlock, 2, &out));
  EXPECT_EQ(77, unknown[0].value);
  EXPECT_EQ(77, noBlock[0].value);
}

}  // namespace
