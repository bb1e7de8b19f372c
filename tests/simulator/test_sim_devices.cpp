// What each bench device does with a write, a read and a request, the faults set on it, and what the device
// bench window lists for each device and reads from its fields.
#include <cerrno>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "sim_fixture.h"
#include "simulator/bench_state.h"

namespace {

using namespace simtest;
using namespace pos;
using sim::Device;
using sim::FaultKind;

class SimDevices : public Sim {
 protected:
  const Device& Bench(const char* cls) { return sim_.DeviceOf(sim::FindClass(cls)); }
};

// Settings, a request (or 0), a write and its status, then reads: size (-1: DeviceText), status and bytes.
TEST_F(SimDevices, WritesThenReads) {
  struct Step { std::int32_t size, status; std::string bytes; };
  struct Case { const char* cls; std::vector<ResourceArg> set; std::int32_t request; std::string write;
                std::int32_t status; std::vector<Step> reads; };
  const std::string a40(40, 'a');
  const std::int32_t kNo = kErrSysFunctionNotSupported, kSmall = kErrSysBufferTooSmall, kNone = kErrSysTimeout;
  // NVRAM codes as ErrorNames has them: 4101 NOT_ENOUGH_ROOM, 4105 INVALID_LENGTH_RECORD.
  const Case cases[] = {
      // The display (2 x 20): CR LF start the next row, a full screen wraps to the top, a clear puts the cursor home.
      {"PosDisplay", {}, 0, "TOTAL\r\n  12.50", 0,
       {{40, 0, "TOTAL               " "  12.50             "}, {10, 0, "TOTAL     "}, {0, kSmall, ""}}},
      {"PosDisplay", {}, 0, a40 + "b", 0, {{40, 0, std::string("b") + a40.substr(1)}}},
      {"PosDisplay", {{"DisplayText", Ptr("HI")}}, kReqDspClearScreen, "!", 0, {{3, 0, "!  "}}},
      // The printer: LF ends a line, CR is dropped, a line of CharsPerLine characters is ended.
      {"PosPrinter", {}, 0, "RECEIPT\r\nITEM 1\nTO", 0, {{4, kNo, ""}, {-1, 0, "RECEIPT\nITEM 1\nTO\n"}}},
      {"PosPrinter", {{"CharsPerLine", 5}}, 0, "ABCDEFG", 0, {{-1, 0, "ABCDE\nFG\n"}}},
      {"PosPrinter", {{"Station", 3}}, 0, "DI", 0, {{-1, 0, "DI\n"}}},  // a fresh printer prints on DI too
      // The serial port loops back what was written; reading consumes it.
      {"PosRs232c", {}, 0, "\x01\x02\x03\x04\x05", 0,
       {{0, kSmall, ""}, {3, 0, "\x01\x02\x03"}, {8, 0, "\x04\x05"}, {8, kNone, ""}}},
      // NVRAM: byte n is (n + n / 256) & 0xFF when fresh; Cursor moves on only in Mode 1; writes in whole records.
      {"PosNvram", {{"Cursor", 254}}, 0, "", 0, {{4, 0, "\xFE\xFF\x01\x02"}, {2, 0, "\xFE\xFF"}, {0, kSmall, ""}}},
      {"PosNvram", {{"Cursor", 510}, {"Mode", 1}}, 0, "", 0, {{2, 0, std::string("\xFF\x00", 2)}, {2, 0, "\x02\x03"}}},
      {"PosNvram", {{"Cursor", 65534}}, 0, "", 0, {{4, 0, "\xFD\xFE"}}},
      {"PosNvram", {{"Mode", 1}}, 0, "AB", 0, {{2, 0, "\x02\x03"}}},  // a write moves the cursor too
      {"PosNvram", {{"Cursor", 65532}}, 0, "ABCDE", 4101, {{1, 0, "\xFB"}}},
      {"PosNvram", {{"RecordLength", 3}}, 0, "ABCD", 4105, {}},
      // Input devices give what a fresh bench holds, whole or not at all (keys in parts), once.
      {"PosMsr", {}, 0, "x", kNo, {{88, kSmall, ""}, {89, 0, sim::kTestCardTracks}, {89, kNone, ""}}},
      {"PosKeyboard", {}, 0, "x", kNo, {{0, kSmall, ""}, {2, 0, "12"}, {9, 0, "50\r"}, {9, kNone, ""}}},
      // The scale answers its weight (1250 g on a fresh bench) in its units, less the zero set.
      {"PosScale", {}, 0, "x", kNo, {{7, kSmall, ""}, {8, 0, "1.250 kg"}, {8, 0, "1.250 kg"}}},
      {"PosScale", {}, kReqScaleZeroScale, "", 0, {{10, 0, "0.000 kg"}}},
      {"PosScale", {{"Units", 2}}, 0, "", 0, {{10, 0, "2.755 lb"}}},  // 1250 / 453.59237, cut to thousandths
      {"PosDrawer", {}, 0, "x", kNo, {{0, kSmall, ""}, {2, 0, std::string(1, '\0')}}}};
  for (const Case& c : cases) {
    Init();
    const std::int32_t handle = Open(c.cls);
    ASSERT_EQ(0, (c.set.empty() ? 0 : Set(handle, c.set)) + (c.request ? Ioctl(handle, c.request) : 0)) << c.cls;
    if (!c.write.empty()) { EXPECT_EQ(c.status, Write(handle, c.write)) << c.cls << " <- " << c.write; }
    for (const Step& r : c.reads) {
      std::int32_t status = 0;
      std::string text;
      EXPECT_EQ(r.bytes, r.size < 0 ? (sim_.DeviceText(sim::FindClass(c.cls), &text), text)
                                    : Read(handle, r.size, &status)) << c.cls;
      EXPECT_EQ(r.status, status) << c.cls << " <- " << c.write << ", read " << r.size;
    }
  }
}

// Each request turns a state off and its opposite on, on its own class only.
TEST_F(SimDevices, RequestsActOnTheirOwnClassOnly) {
  struct Case { const char* cls; std::int32_t on, off; bool Device::*flag; } pairs[] = {
      {"PosAlarm", kReqAlarmSoundAlarm, kReqAlarmSilenceAlarm, &Device::sounding},
      {"PosTouch", kReqTouchSoundTone, kReqTouchSilenceTone, &Device::sounding},
      {"PosKeyboard", kReqKbdSetTypematicOn, kReqKbdSetTypematicOff, &Device::typematic},
      {"PosKeyboard", kReqKbdEnableHotKeys, kReqKbdDisableHotKeys, &Device::hotKeys},
      {"PosKeyboard", kReqKbdEnableNumLock, kReqKbdDisableNumLock, &Device::numLockEnabled},
      {"PosKeyboard", kReqKbdEnableScrollLock, kReqKbdDisableScrollLock, &Device::scrollLockEnabled},
      {"PosPrinter", kReqPrnEnableDiPrinting, kReqPrnDisableDiPrinting, &Device::diPrinting}};
  Init();
  for (const Case& c : pairs) {
    const std::int32_t handle = Open(c.cls);
    const bool& flag = Bench(c.cls).*c.flag;
    for (std::int32_t request : {c.off, c.on, c.off}) {
      EXPECT_EQ(0, Ioctl(handle, request));
      EXPECT_EQ(request == c.on, flag) << c.cls << " " << request;
    }
    ASSERT_EQ(0, sim_.Close(handle));
  }
  const std::int32_t keyboard = Open("PosKeyboard");  // its locks now disabled, and off
  EXPECT_TRUE(Ioctl(keyboard, kReqKbdSetNumLockOn) == kErrSysCmdReject &&
              Ioctl(keyboard, kReqKbdSetScrollLockOn) == kErrSysCmdReject);
  EXPECT_FALSE(Bench("PosKeyboard").numLock || Bench("PosKeyboard").scrollLock);
  // Requests of another class, of no class, and system requests on the system or the queue.
  for (auto [cls, request] : {std::pair{"PosScale", kReqPowerOff}, {"PosDisplay", 4499}, {"PosDisplay", 0},
                              {"PosSystem", kReqSysLockDevice}, {nullptr, kReqSysAcquireDevice}}) {
    EXPECT_EQ(kErrSysInvalidRequest, Ioctl(cls ? Open(cls) : 0, request)) << request;
  }
  const std::int32_t power = Open("PosPower"), printer = Open("PosPrinter");
  EXPECT_TRUE(Ioctl(power, kReqPowerOff) == 0 && Get(power, "PowerState") == 0 && Ioctl(power, kReqPowerOn) == 0 &&
              Get(power, "PowerState") == 1);
  // Resume and retry change nothing; discarding drops the unfinished line, and so does a reset, with DI printing on.
  std::string text;
  Forget();
  ASSERT_EQ(0, Set(printer, {{"CharsPerLine", 5}}) + Write(printer, "AB\nCD") + Ioctl(printer, kReqPrnResumePrinting) +
                   Ioctl(printer, kReqPrnRetryPrinting) + Ioctl(printer, kReqPrnDiscardData) +
                   Ioctl(Open("PosScale"), kReqScaleClearScreen));
  EXPECT_TRUE(Get(printer, "CharsPerLine") == 5 && gPosts.size() == 1u) << "the write's chase complete only";
  ASSERT_EQ(0, Write(printer, "EF") + Ioctl(printer, kReqPrnDisableDiPrinting) + Ioctl(printer, kReqPrnResetPrinter));
  EXPECT_TRUE(sim_.DeviceText(sim::FindClass("PosPrinter"), &text) && Bench("PosPrinter").diPrinting);
  EXPECT_EQ("AB\n", text);
}

TEST_F(SimDevices, AcquireAndLockGuardTheDevice) {
  enum Call { kIoctl, kWrite, kRead, kClose };
  const struct { int who; Call call; std::int32_t request, status; } steps[] = {
      {0, kIoctl, kReqSysAcquireDevice, 0}, {0, kIoctl, kReqSysAcquireDevice, kErrSysAlreadyAcquired},
      {1, kIoctl, kReqSysAcquireDevice, kErrSysAcquiredByOther}, {1, kWrite, 0, kErrSysAcquiredByOther},
      {1, kRead, 0, kErrSysAcquiredByOther}, {1, kIoctl, kReqSysGetValues, 0},
      {1, kIoctl, kReqSysReleaseDevice, kErrSysNotAcquired}, {0, kWrite, 0, 0}, {0, kIoctl, kReqSysReleaseDevice, 0},
      {1, kIoctl, kReqSysAcquireDevice, 0}, {1, kClose, 0, 0}, {0, kWrite, 0, 0}, {0, kIoctl, kReqSysLockDevice, 0},
      {0, kRead, 0, kErrSysLockedNoDataRead}, {0, kWrite, 0, 0}, {0, kIoctl, kReqSysUnlockDevice, 0}, {0, kRead, 0, 0}};
  Init();
  const std::int32_t handles[] = {Open("PosRs232c"), Open("PosRs232c")};
  for (const auto& s : steps) {
    std::int32_t status = -1, h = handles[s.who];
    if (s.call == kRead) Read(h, 8, &status);
    if (s.call == kIoctl) status = Ioctl(h, s.request);
    if (s.call == kWrite) status = Write(h, "x");
    if (s.call == kClose) status = sim_.Close(h);
    EXPECT_EQ(s.status, status) << "step " << (&s - steps);
  }
}

TEST_F(SimDevices, ReadFaultsClaimTooMuchOrWritePastTheBufferOnlyWhenAskedAndSuccessful) {
  const FaultKind claim = FaultKind::kReadOverclaim, overrun = FaultKind::kReadOverrun;
  struct Case { const char* cls; FaultKind kind; std::int32_t value, size, status, out, placed, past; } cases[] = {
      {"PosScanner", claim, 5, 32, 0, 37, 13, 0},  // the buffer's size and more, whatever the bytes placed
      {"PosNvram", overrun, 3, 16, 0, 16, 16, 3}, {"PosNvram", claim, -4, 16, 0, 16, 16, 0},
      {"PosNvram", overrun, -1, 16, 0, 16, 16, 0},
      {"PosScanner", overrun, 2, 4, kErrSysTimeout, 0, 0, 0}};  // its label was read in the first row
  Init();
  for (const Case& c : cases) {
    sim_.ClearFaults();
    const std::int32_t handle = Open(c.cls);
    ASSERT_EQ(0, sim_.SetFault(sim::FindClass(c.cls), c.kind, c.value));
    unsigned char buffer[48];
    std::int32_t out = -1;
    std::memset(buffer, 0xBB, sizeof buffer);
    EXPECT_TRUE(sim_.Read(handle, buffer + 4, c.size, &out) == c.status && out == c.out) << c.cls << " " << c.value;
    for (int at = -4; at < 44; ++at) {
      const bool past = at >= c.size && at < c.size + c.past;
      if (at < 0 || at >= c.placed) { EXPECT_EQ(past ? sim::kOverrunByte : 0xBB, buffer[at + 4]) << at; }
    }
  }
}

TEST_F(SimDevices, ErrorAndOffLineFaultsAnswerTheCallsOfTheirTarget) {
  const int display = sim::FindClass("PosDisplay"), queue = sim::kQueueTarget, all = sim::kAllTargets;
  const FaultKind error = FaultKind::kError, offline = FaultKind::kOffline;
  // Opening another handle, then write, read, ioctl and close on a handle opened before; the queue's read.
  struct Case { int target; FaultKind kind; std::int32_t value; const char* cls; std::vector<std::int32_t> answers; };
  const Case cases[] = {{display, error, 306, "PosDisplay", {306, 306, 306, 306, 306, 329}},
      {display, error, 306, "PosRs232c", {0, 0, 0, 0, 0, 0}}, {queue, error, 332, "PosDisplay", {0, 0, 0, 0, 0, 332}},
      {all, error, 306, "PosSystem", {0, 311, 311, 0, 0, 306}},
      {display, offline, 1, "PosDisplay", {317, 317, 317, 317, 0, 0}}};
  Init();
  for (const Case& c : cases) {
    sim_.ClearFaults(), Drain();
    const std::int32_t handle = Open(c.cls);
    ASSERT_EQ(0, sim_.SetFault(c.target, c.kind, c.value));
    std::int32_t other = 0, read = 0, queued = 0;
    std::vector<std::int32_t> answers{sim_.Open("D", c.cls, nullptr, 0, &other), Write(handle, "x")};
    Read(handle, 64, &read), Read(0, 16, &queued);
    answers.insert(answers.end(), {read, Ioctl(handle, kReqSysGetValues), sim_.Close(handle), queued});
    EXPECT_EQ(c.answers, answers) << c.cls << " " << c.target;
    if (other != 0) sim_.Close(other);
  }
  ASSERT_EQ(0, sim_.SetFault(all, offline, 1));
  Forget();  // off line, the bench's own actions fail too, and tell no one
  const std::vector<std::int32_t> bench{sim_.SwipeCard(nullptr), sim_.ScanLabel(nullptr), sim_.PressKeys("1"),
                                        sim_.Touch(1, 1), sim_.SetPaperOut(true), sim_.PrinterError()};
  EXPECT_TRUE(bench == std::vector<std::int32_t>(6, kErrSysDeviceOffline) && gPosts.empty());
  ASSERT_EQ(0, sim_.Term() + sim_.Initialize("REVEDIZ", "", &gQueue, 1));
  EXPECT_TRUE(gPosts.empty()) << "faults outlive term";
  sim_.ClearFaults();
  EXPECT_EQ((Post{kMain, kMsgSysDeviceOnline, 0x05225C0D, 1}), gPosts.back()) << "the touch screen last";
  EXPECT_EQ(12u, gPosts.size()) << "every bench device back on line";
}

TEST_F(SimDevices, FaultTargetsAndKindsAreChecked) {
  for (auto [name, target] : {std::pair<const char*, int>{nullptr, sim::kAllTargets}, {"", sim::kAllTargets},
                              {"Queue", sim::kQueueTarget}, {"PosTouch", sim::kClassCount - 1}, {"PosDevice", -2},
                              {"PosSystem", -2}, {"Q", -2}}) {
    EXPECT_EQ(target, sim::FaultTarget(name)) << (name ? name : "null");
  }
  const struct { int target, kind; std::int32_t status; } cases[] = {{-2, 1, kErrSysInvalidClass},
      {0, 1, kErrSysInvalidClass}, {1, 1, kErrSysInvalidClass}, {15, 1, kErrSysInvalidClass},
      {14, 4, kErrSysInvalidRequest}, {2, 0, kErrSysInvalidRequest}, {2, 5, kErrSysInvalidRequest}, {2, 1, 0},
      {13, 4, 0}, {sim::kAllTargets, 2, 0}, {14, 3, 0}};  // 14: the queue
  for (const auto& c : cases) EXPECT_EQ(c.status, sim_.SetFault(c.target, FaultKind(c.kind), 9)) << c.target << c.kind;
  const sim::Faults& queue = sim_.FaultsOf(sim::kQueueTarget);
  EXPECT_TRUE(sim_.FaultsOf(2).error == 9 && queue.overclaim == 9 && queue.overrun == 9);
}

TEST_F(SimDevices, BenchListsOneLinePerDeviceWithWhatItHoldsAndItsFaults) {
  const int scanner = sim::FindClass("PosScanner");
  ASSERT_EQ(0, sim_.SetFault(scanner, FaultKind::kOffline, 1));
  const std::vector<std::string> before = sim::BenchStateLines(sim_);
  ASSERT_EQ(12u, before.size());
  EXPECT_EQ("PosAlarm     on line   0 open|PosScanner   off line  0 open", before[0] + "|" + before[10]);
  Init();
  const std::int32_t display = Open("PosDisplay"), printer = Open("PosPrinter");
  std::int32_t status = 0;
  Open("PosPrinter");
  ASSERT_EQ(0, Write(display, "A B") + Write(printer, "TOTAL 9.99\nTHANK\tYOU\x7F") + sim_.PlaceWeight(480) +
                   Write(Open("PosRs232c"), "xyz") + sim_.SetFault(scanner, FaultKind::kError, 306) +
                   sim_.SetFault(scanner, FaultKind::kReadOverclaim, 8) +
                   sim_.SetFault(scanner, FaultKind::kReadOverrun, 2));
  Read(Open("PosTouch"), 4, &status);
  const std::vector<std::string> expected = {"PosAlarm     on line   0 open",
      "PosDisplay   on line   1 open   shows \"A B\" / \"\"", "PosDrawer    on line   0 open   drawer closed",
      "PosKeyboard  on line   0 open   5 bytes waiting", "PosMsr       on line   0 open   89 bytes waiting",
      "PosNvram     on line   0 open", "PosPower     on line   0 open",
      "PosPrinter   on line   2 open   paper in, cover shut, printing \"THANK.YOU.\"",
      "PosRs232c    on line   1 open   3 bytes looped back", "PosScale     on line   0 open   weight 480 g",
      "PosScanner   off line  0 open   13 bytes waiting  [error 306]  [claims +8]  [overruns 2]",
      "PosTouch     on line   1 open   no input waiting"};
  EXPECT_EQ(expected, sim::BenchStateLines(sim_));
  ASSERT_EQ(0, Write(printer, "\n") + sim_.SetPaperOut(true) + sim_.SetCoverOpen(true) + sim_.PrinterError() +
                   Ioctl(Open("PosDrawer"), pos::kReqTillOpenTill));
  const std::vector<std::string> after = sim::BenchStateLines(sim_);
  EXPECT_EQ("PosDrawer    on line   1 open   drawer open", after[2]);
  EXPECT_EQ("PosPrinter   on line   2 open   paper out, cover open, error waiting, last \"THANK.YOU.\"", after[7]);
}

TEST(BenchFields, NumbersMayCarryANameAfterABlankAndKeysTakeFourEscapes) {
  const struct { const char* text; bool ok; std::int32_t value; } numbers[] = {{"306 POSERR_SYS_HW_ERROR", true, 306},
      {"  -12", true, -12}, {"2147483647", true, INT32_MAX}, {"-2147483648", true, INT32_MIN}, {"", false, 7},
      {" ", false, 7}, {"12g", false, 7}, {"0x10", false, 7}, {"2147483648", false, 7}, {"-2147483649", false, 7},
      {"99999999999999999999999", false, 7}};
  for (const auto& c : numbers) {
    std::int32_t value = 7;
    errno = ERANGE;  // left by some earlier call
    EXPECT_TRUE(sim::BenchNumber(c.text, &value) == c.ok && value == c.value) << c.text;
  }
  const struct { const char* typed; const char* keys; } keys[] = {
      {"1250\\r", "1250\r"}, {"a\\tb\\nc\\\\d", "a\tb\nc\\d"}, {"\\q\\", "\\q\\"}, {"\\\\r", "\\r"}, {"", ""}};
  for (const auto& c : keys) EXPECT_EQ(c.keys, sim::BenchKeys(c.typed)) << c.typed;
}

}  // namespace
