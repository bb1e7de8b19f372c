// The entries that set the library up and hand out handles (initialize, open,
// close, term) with their limits, and the faults a test or the bench sets.
#include <cstring>
#include <string>
#include <vector>

#include "sim_fixture.h"

namespace {

using namespace simtest;
using namespace pos;
using sim::FaultKind;

constexpr std::intptr_t kQueue = static_cast<std::intptr_t>(kMain);

class SimEntries : public Sim {};

TEST_F(SimEntries, InitializeNeedsAQueueHandleAndKnownSettings) {
  const ResourceArg q{"queueHandle", kQueue};
  const std::vector<ResourceArg> q257(257, q);
  struct Case { std::vector<ResourceArg> args; std::int32_t count, status; } cases[] = {
      {{}, 0, kErrSysInvalidQueue}, {{{"Timeout", 1000}}, 1, kErrSysInvalidQueue}, {{{"queueHandle", 0}}, 1, kErrSysInvalidQueue},
      {{q, {"QueueHandle", 0}}, 2, kErrSysInvalidQueue}, {{q, {"Rows", 2}}, 2, kErrSysInvalidName},
      {{q, {"", 0}}, 2, kErrSysInvalidName}, {{q, {"LogLevel", 6}}, 2, kErrSysOutOfBounds}, {{q, {"LogLevel", 5}}, 2, 0},
      {{q}, -1, kErrSysInvalidNargs}, {q257, 256, 0}, {q257, 257, kErrSysInvalidNargs}};
  for (Case& c : cases) {
    Forget();
    EXPECT_EQ(c.status, sim_.Initialize("APP", "FILE", c.args.data(), c.count)) << c.count;
    EXPECT_EQ(c.status == 0 ? 12u : 0u, gPosts.size());
    EXPECT_EQ(c.status == 0 ? 0 : kErrSysNotInitialized, sim_.Term());
  }
}

TEST_F(SimEntries, EveryCallNeedsAnInitializedLibraryThatTermEnds) {
  std::int32_t out = 7, status = 0;
  char buffer[16] = {};
  const auto calls = [&] {
    return std::vector<std::int32_t>{sim_.Open("D", "PosDisplay", nullptr, 0, &out), sim_.Read(0, buffer, 16, &out),
        sim_.Write(1, buffer, 1, &out), sim_.IOCtl(0, kReqSysGetValues, nullptr, 0, &out), sim_.Close(1), sim_.Term(),
        sim_.SwipeCard(nullptr), sim_.ScanLabel(nullptr), sim_.PressKeys("1"), sim_.Touch(1, 1), sim_.PlaceWeight(1),
        sim_.CloseDrawer(), sim_.SetPaperOut(true), sim_.SetCoverOpen(true), sim_.PrinterError(), sim_.Burst(3, 1)};
  };
  const std::vector<std::int32_t> refused(16, kErrSysNotInitialized);
  EXPECT_EQ(refused, calls());
  EXPECT_EQ(0, out + sim_.Version(1, 2, 3));
  Init();
  ResourceArg queue{"queueHandle", kQueue};
  EXPECT_EQ(kErrSysAlreadyInitialized, sim_.Initialize("APP", "FILE", &queue, 1));
  for (int i = 0; i < 10; ++i) Open("PosMsr");
  ASSERT_EQ(0, sim_.SwipeCard(";1?"));
  Forget();
  EXPECT_EQ(0, sim_.Term());
  EXPECT_EQ("DLL_PosTerm\r\n  # closed 10 open devices\r\n  -> 0\r\n", gJournal);
  EXPECT_TRUE(gPosts.empty() && sim_.OpenDevices().empty() && sim_.Queue().Empty()) << "the window may be gone";
  EXPECT_EQ(refused, calls());
  Init();
  EXPECT_EQ(kErrSysInvalidDescriptor, sim_.Close(1));
  EXPECT_EQ(sim::kTestCardTracks, Read(Open("PosMsr"), 100, &status)) << "a fresh bench";
}

TEST_F(SimEntries, OpenChecksNameClassAndResourcesAndRefusesWhole) {
  const std::string n63(63, 'n'), n64(64, 'n'), n255(255, 'd'), n256(256, 'd'), h80(80, 'h'), h81(81, 'h'),
      f255(255, 'f'), f256(256, 'f'), t40(40, 't'), t41(41, 't'), t320(320, 't'), t321(321, 't');
  const auto text = [](const std::string& s) { return Ptr(s.c_str()); };
  const char *D = "PosDisplay", *P = "PosPrinter", *S = "PosSystem";
  const std::int32_t kSize = 4403, kCursor = 4401;  // device family codes as ErrorNames has them
  struct Case { const char* name; const char* cls; std::vector<ResourceArg> args; std::int32_t status; } cases[] = {
      {"", D, {}, kErrSysInvalidName}, {nullptr, D, {}, kErrSysInvalidName}, {n255.c_str(), D, {}, 0},
      {n256.c_str(), D, {}, kErrSysInvalidName}, {"D", "PosDisplayX", {}, kErrSysInvalidClass},
      {"D", "PosDevice", {}, kErrSysInvalidDevice}, {"D", D, {{"BaudRate", 9600}}, kErrSysInvalidName},
      {"D", S, {{"Slot", 1}}, kErrSysInvalidName}, {"D", D, {{"Rows", 2}, {"", 0}}, kErrSysInvalidName}, {"D", D, {{"Timeout", 7}}, 0},
      {"D", "PosRs232c", {{"DataBits", 5}, {"BaudRate", 12345}}, 5901},
      // Slots 0 to 8 and the port codes 0x00, 0x11, 0x22 exist; a bench device's type and subtype are its own.
      {"D", D, {{"Slot", 8}, {"Port", 0x22}}, 0}, {"D", D, {{"Slot", 0}, {"Port", 0}}, 0}, {"D", D, {{"Slot", 9}}, kErrSysInvalidSlot},
      {"D", D, {{"Slot", -1}}, kErrSysInvalidSlot}, {"D", D, {{"Port", 1}}, kErrSysInvalidPort},
      {"D", D, {{"DeviceType", 0x24}, {"Subtype", 6}}, 0}, {"D", D, {{"DeviceType", 0x25}}, kErrSysInvalidClassDeviceCombo},
      {"D", "PosNvram", {{"Size", sim::kNvramCapacity}}, 0}, {"D", "PosNvram", {{"Size", 1024}}, 4101},
      // The display: up to kDisplayMaxRows x kDisplayMaxColumns (2 x 20 when fresh), the cursor on it.
      {"D", D, {{"Rows", 4}, {"Columns", 80}, {"CursorRow", 3}, {"CursorColumn", 79}}, 0}, {"D", D, {{"Rows", 1}, {"Columns", 1}}, 0},
      {"D", D, {{"Rows", 0}}, kSize}, {"D", D, {{"Rows", 5}}, kSize}, {"D", D, {{"Columns", 0}}, kSize},
      {"D", D, {{"Columns", 81}}, kSize}, {"D", D, {{"CursorRow", -1}}, kCursor}, {"D", D, {{"CursorRow", 2}}, kCursor},
      {"D", D, {{"CursorRow", 1}, {"CursorColumn", 19}}, 0}, {"D", D, {{"CursorColumn", 20}}, kCursor},
      // Texts: within their limits, at them, one past them, or no text at all.
      {"D", D, {{"DisplayText", 40}}, kErrSysInvalidAddress}, {"D", D, {{"DisplayText", text(t40)}}, 0},
      {"D", D, {{"DisplayText", text(t41)}}, kSize}, {"D", D, {{"Rows", 4}, {"Columns", 80}, {"DisplayText", text(t320)}}, 0},
      {"D", D, {{"Rows", 4}, {"Columns", 80}, {"DisplayText", text(t321)}}, kSize},
      {"D", D, {{"DeviceName", Ptr("")}}, kErrSysInvalidName}, {"D", D, {{"DeviceName", text(n63)}}, 0},
      {"D", D, {{"DeviceName", text(n64)}}, kErrSysInvalidName}, {"D", P, {{"HeaderText", text(h80)}}, 0},
      {"D", P, {{"HeaderText", text(h81)}}, kErrSysOutOfBounds}, {"D", P, {{"HeaderText", 0}}, kErrSysInvalidAddress},
      {"D", S, {{"LogFile", text(f255)}}, 0}, {"D", S, {{"LogFile", text(f256)}}, kErrSysOutOfBounds}, {"D", S, {{"LogFile", Ptr("")}}, 0},
      // Limits that follow from what a value means: a day of the week, an hour, a minute, a switch, a
      // percentage, the tracks of a three-track reader, the standard baud rates; no negative time.
      {"D", "PosPower", {{"AlarmDay", 6}, {"AlarmHour", 23}, {"AlarmMinutes", 59}, {"PowerState", 0}}, 0},
      {"D", "PosPower", {{"AlarmDay", 7}}, 6401}, {"D", "PosPower", {{"AlarmHour", -1}}, 6402},
      {"D", "PosPower", {{"AlarmMinutes", -1}}, 6403}, {"D", "PosPower", {{"PowerState", -1}}, kErrSysOutOfBounds},
      {"D", P, {{"Interleaved", 2}}, 4902}, {"D", "PosScale", {{"WeightMode", -1}}, 6204},
      {"D", "PosTouch", {{"ToneVolume", 100}, {"ExitClick", 0}, {"Backlight", 0}}, 0}, {"D", "PosTouch", {{"ExitClick", 2}}, 6705},
      {"D", "PosMsr", {{"Tracks", 7}}, 0}, {"D", "PosMsr", {{"Tracks", 8}}, kErrSysOutOfBounds},
      {"D", "PosRs232c", {{"BaudRate", 300}, {"BaudRate", 19200}, {"BaudRate", 57600}, {"BaudRate", 115200}, {"Parity", 0}}, 0},
      {"D", "PosRs232c", {{"Parity", -1}}, 5903}, {"D", S, {{"Timeout", -1}}, kErrSysOutOfBounds},
      {"D", "PosKeyboard", {{"FatFingerTimeout", -1}}, 4706},
      {"D", "PosScanner", {{"BeepLength", -1}}, 5705}, {"D", "PosScanner", {{"BeepVolume", -1}}, 5707},
      {"D", P, {{"FeedDirection", 2}}, 4909}, {"D", P, {{"DiLfDistance", -1}}, 4908}, {"D", "PosNvram", {{"RecordLength", 0}}, 4105}};
  for (Case& c : cases) {
    if (sim_.Initialized()) { ASSERT_EQ(0, sim_.Term()); }  // each on a fresh bench
    Init();
    std::int32_t out = -1;
    EXPECT_EQ(c.status, sim_.Open(c.name, c.cls, c.args.data(), static_cast<std::int32_t>(c.args.size()), &out))
        << c.cls << " " << (c.args.empty() ? "" : c.args[0].name);
    EXPECT_EQ(c.status == 0, out > 0) << out;
  }
  // A refused call changes nothing, not even by the records before the refused one.
  ASSERT_EQ(5901, Set(Open("PosRs232c"), {{"DataBits", 5}, {"BaudRate", 1}}));
  EXPECT_EQ(8, Get(Open("PosRs232c"), "DataBits"));
}

TEST_F(SimEntries, HandlesStayWithinOneByteSkipThoseInUseAndCountAgainstMaxDevices) {
  Init();
  ASSERT_EQ(1, Open("PosSystem"));
  std::vector<std::int32_t> handles;
  for (int i = 0; i < 255; ++i) handles.push_back(Open("PosDisplay")), sim_.Close(handles.back());
  EXPECT_EQ((std::vector<std::int32_t>{2, 255, 2}), (std::vector<std::int32_t>{handles[0], handles[253], handles[254]}))
      << "after 255 the count starts again, past the one in use";
  EXPECT_EQ(kErrSysInvalidDescriptor, sim_.Close(handles[254]));
  EXPECT_EQ(kErrSysFunctionNotSupported, sim_.Close(0)) << "the queue stays";
  ASSERT_EQ(0, Set(1, {{"MaxDevices", 2}}));
  const std::int32_t display = Open("PosDisplay");
  std::int32_t out = -1;
  EXPECT_EQ(kErrSysTooManyDevices, sim_.Open("D", "PosDisplay", nullptr, 0, &out) + out);
  ASSERT_EQ(0, sim_.Close(display));
  EXPECT_GT(Open("PosDisplay"), 0);
}

TEST_F(SimEntries, ReadFaultsClaimTooMuchOrWritePastTheBufferOnlyWhenAskedAndSuccessful) {
  const FaultKind claim = FaultKind::kReadOverclaim, overrun = FaultKind::kReadOverrun;
  struct Case { const char* cls; FaultKind kind; std::int32_t value, size, status, out, placed, past; } cases[] = {
      {"PosScanner", claim, 5, 32, 0, 37, 13, 0},  // the buffer's size and more, whatever the bytes placed
      {"PosNvram", claim, 1, 16, 0, 17, 16, 0}, {"PosNvram", overrun, 3, 16, 0, 16, 16, 3},
      {"PosNvram", claim, -4, 16, 0, 16, 16, 0}, {"PosNvram", overrun, -1, 16, 0, 16, 16, 0},
      {"PosScanner", overrun, 2, 4, kErrSysTimeout, 0, 0, 0}, {"PosScanner", claim, 2, 4, kErrSysTimeout, 0, 0, 0}};
  Init();
  for (const Case& c : cases) {
    sim_.ClearFaults();
    const std::int32_t handle = Open(c.cls);
    ASSERT_EQ(0, sim_.SetFault(sim::FindClass(c.cls), c.kind, c.value));
    unsigned char buffer[48];
    std::memset(buffer, 0xBB, sizeof buffer);
    std::int32_t out = -1;
    EXPECT_EQ(c.status, sim_.Read(handle, buffer + 4, c.size, &out)) << c.cls << " " << c.value;
    EXPECT_EQ(c.out, out) << c.cls << " " << c.value;
    for (int at = -4; at < 44; ++at) {
      const bool past = at >= c.size && at < c.size + c.past;
      if (at < 0 || at >= c.placed) { EXPECT_EQ(past ? sim::kOverrunByte : 0xBB, buffer[at + 4]) << at; }
    }
  }
}

TEST_F(SimEntries, ErrorAndOffLineFaultsAnswerTheCallsOfTheirTarget) {
  const int display = sim::FindClass("PosDisplay"), queue = sim::kQueueTarget, all = sim::kAllTargets;
  const FaultKind error = FaultKind::kError, offline = FaultKind::kOffline;
  // Opening another handle, then write, read, ioctl and close on a handle opened before.
  struct Case { int target; FaultKind kind; std::int32_t value; const char* cls; std::vector<std::int32_t> answers; } cases[] = {
      {display, error, 306, "PosDisplay", {306, 306, 306, 306, 306}}, {display, error, 306, "PosRs232c", {0, 0, 0, 0, 0}},
      {display, error, 0, "PosDisplay", {0, 0, 0, 0, 0}}, {queue, error, 332, "PosDisplay", {0, 0, 0, 0, 0}},
      {all, error, 306, "PosTouch", {306, 306, 306, 306, 306}}, {all, error, 306, "PosSystem", {0, 311, 311, 0, 0}},
      {display, offline, 1, "PosDisplay", {317, 317, 317, 317, 0}}, {all, offline, 1, "PosRs232c", {317, 317, 317, 317, 0}}};
  Init();
  for (const Case& c : cases) {
    sim_.ClearFaults();
    const std::int32_t handle = Open(c.cls);
    ASSERT_EQ(0, sim_.SetFault(c.target, c.kind, c.value));
    std::int32_t other = 0, status = 0;
    std::vector<std::int32_t> answers{sim_.Open("D", c.cls, nullptr, 0, &other), Write(handle, "x")};
    Read(handle, 64, &status);
    answers.insert(answers.end(), {status, Ioctl(handle, kReqSysGetValues), sim_.Close(handle)});
    EXPECT_EQ(c.answers, answers) << c.cls << " " << c.target;
    if (other != 0) sim_.Close(other);
    Drain();
    const bool queueFault = c.kind == error && (c.target == queue || c.target == all);
    Read(0, 16, &status);
    EXPECT_EQ(queueFault ? c.value : kErrSysTimeout, status);
    EXPECT_EQ(queueFault ? c.value : 0, Ioctl(0, kReqSysGetValues));
  }
  Forget();  // off line, the bench's own actions fail too, and tell no one
  for (std::int32_t status : {sim_.SwipeCard(nullptr), sim_.ScanLabel(nullptr), sim_.PressKeys("1"), sim_.Touch(1, 1),
                              sim_.SetPaperOut(true), sim_.SetCoverOpen(true), sim_.PrinterError()}) {
    EXPECT_EQ(kErrSysDeviceOffline, status);
  }
  EXPECT_TRUE(gPosts.empty());
  sim_.ClearFaults();
  EXPECT_EQ(12u, gPosts.size()) << "every bench device back on line";
}

TEST_F(SimEntries, FaultTargetsAndKindsAreCheckedAndOutliveTerm) {
  const struct { const char* name; int target; } names[] = {{nullptr, sim::kAllTargets}, {"", sim::kAllTargets},
      {"Queue", sim::kQueueTarget}, {"PosAlarm", 2}, {"PosTouch", sim::kClassCount - 1}, {"PosDevice", -2},
      {"PosSystem", -2}, {"queue", -2}, {"Q", -2}};
  for (const auto& n : names) EXPECT_EQ(n.target, sim::FaultTarget(n.name)) << (n.name ? n.name : "null");
  const struct { int target, kind; std::int32_t status; } cases[] = {
      {-2, 1, kErrSysInvalidClass}, {sim::kSystemClass, 1, kErrSysInvalidClass}, {sim::kGenericClass, 1, kErrSysInvalidClass},
      {sim::kQueueTarget + 1, 1, kErrSysInvalidClass}, {sim::kQueueTarget, 4, kErrSysInvalidRequest},
      {2, 0, kErrSysInvalidRequest}, {2, 5, kErrSysInvalidRequest}, {2, 1, 0}, {sim::kClassCount - 1, 4, 0},
      {sim::kAllTargets, 2, 0}, {sim::kQueueTarget, 3, 0}};
  for (const auto& c : cases) EXPECT_EQ(c.status, sim_.SetFault(c.target, FaultKind(c.kind), 9)) << c.target << " " << c.kind;
  const sim::Faults& queue = sim_.FaultsOf(sim::kQueueTarget);
  EXPECT_TRUE(sim_.FaultsOf(2).error == 9 && queue.overclaim == 9 && queue.overrun == 9);
  ResourceArg q{"queueHandle", kQueue};
  ASSERT_EQ(0, sim_.Initialize("REVEDIZ", "", &q, 1));
  EXPECT_EQ(11u, gPosts.size()) << "the touch screen stays off line";
  sim_.ClearFaults();
  EXPECT_EQ((Post{kMain, kMsgSysDeviceOnline, 0x05225C0D, 1}), gPosts.back());
  EXPECT_TRUE(gPosts.size() == 12 && queue.overrun == 0 && queue.overclaim == 0);
}

}  // namespace
