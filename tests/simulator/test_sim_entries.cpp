// The entries that set the library up and hand out handles (initialize, open,
// close, term) with their limits, and the faults a test or the bench sets.
#include <cstring>
#include <string>
#include <vector>

#include "sim_fixture.h"
#include "simulator/sim_codes.h"

namespace {

using namespace simtest;
using namespace pos;
using sim::FaultKind;

constexpr std::intptr_t kQueue = static_cast<std::intptr_t>(kMain);

class SimEntries : public Sim {};

TEST_F(SimEntries, InitializeNeedsAQueueHandleAndKnownSettings) {
  const std::vector<ResourceArg> q257(257, ResourceArg{"queueHandle", kQueue});
  struct Case { std::vector<ResourceArg> args; std::int32_t count, status; } cases[] = {
      {{}, 0, kErrSysInvalidQueue}, {{{"Timeout", 1000}}, 1, kErrSysInvalidQueue},
      {{{"queueHandle", 0}}, 1, kErrSysInvalidQueue}, {{{"queueHandle", kQueue}, {"QueueHandle", 0}}, 2, kErrSysInvalidQueue},
      {{{"queueHandle", kQueue}, {"Rows", 2}}, 2, kErrSysInvalidName}, {{{"queueHandle", kQueue}, {"", 0}}, 2, kErrSysInvalidName},
      {{{"queueHandle", kQueue}, {"LogLevel", 6}}, 2, kErrSysOutOfBounds}, {{{"queueHandle", kQueue}, {"LogLevel", 5}}, 2, 0},
      {{{"queueHandle", kQueue}}, -1, kErrSysInvalidNargs}, {q257, 256, 0}, {q257, 257, kErrSysInvalidNargs}};
  for (Case& c : cases) {
    Forget();
    EXPECT_EQ(c.status, sim_.Initialize("APP", "FILE", c.args.data(), c.count)) << c.count;
    EXPECT_EQ(c.status == 0 ? 12u : 0u, gPosts.size());
    EXPECT_EQ(c.status == 0 ? 0 : kErrSysNotInitialized, sim_.Term());
  }
}

TEST_F(SimEntries, EveryCallNeedsAnInitializedLibraryThatTermEnds) {
  std::int32_t out = 7;
  char buffer[16] = {};
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(kErrSysNotInitialized, sim_.Open("D", "PosDisplay", nullptr, 0, &out));
    EXPECT_EQ(0, out);
    for (std::int32_t status :
         {sim_.Read(0, buffer, 16, &out), sim_.Write(1, buffer, 1, &out), sim_.IOCtl(0, kReqSysGetValues, nullptr, 0, &out),
          sim_.Close(1), sim_.Term(), sim_.SwipeCard(nullptr), sim_.ScanLabel(nullptr), sim_.PressKeys("1"),
          sim_.Touch(1, 1), sim_.PlaceWeight(1), sim_.CloseDrawer(), sim_.SetPaperOut(true), sim_.SetCoverOpen(true),
          sim_.PrinterError(), sim_.Burst(3, 1)}) {
      EXPECT_EQ(kErrSysNotInitialized, status);
    }
    EXPECT_EQ(0, sim_.Version(1, 2, 3));
    EXPECT_TRUE(gPosts.empty());
    Init();  // a handle, input and records that term must end
    ResourceArg queue{"queueHandle", kQueue};
    EXPECT_EQ(kErrSysAlreadyInitialized, sim_.Initialize("APP", "FILE", &queue, 1));
    EXPECT_EQ(1, Open("PosMsr"));
    ASSERT_EQ(0, sim_.SwipeCard(";1?"));
    Forget();
    EXPECT_EQ(0, sim_.Term());
    EXPECT_TRUE(sim_.OpenDevices().empty() && sim_.Queue().Empty() && gPosts.empty()) << "the window may be gone";
  }
  Init();
  EXPECT_EQ(kErrSysInvalidDescriptor, sim_.Close(1));
  std::int32_t status = -1;
  EXPECT_EQ(sim::kTestCardTracks, Read(Open("PosMsr"), 100, &status)) << "a fresh bench";
}

TEST_F(SimEntries, OpenChecksNameClassAndResourcesAndRefusesWhole) {
  const std::string n63(63, 'n'), n64(64, 'n'), n255(255, 'd'), n256(256, 'd'), h80(80, 'h'), h81(81, 'h'),
      f255(255, 'f'), f256(256, 'f'), t40(40, 't'), t41(41, 't'), t320(320, 't'), t321(321, 't');
  const auto text = [](const std::string& s) { return Ptr(s.c_str()); };
  struct Case { const char* name; const char* cls; std::vector<ResourceArg> args; std::int32_t status; } cases[] = {
      {"", "PosDisplay", {}, kErrSysInvalidName}, {nullptr, "PosDisplay", {}, kErrSysInvalidName},
      {n255.c_str(), "PosDisplay", {}, 0}, {n256.c_str(), "PosDisplay", {}, kErrSysInvalidName},
      {"D", "PosDisplayX", {}, kErrSysInvalidClass}, {"D", "posdisplay", {}, kErrSysInvalidClass},
      {"D", "PosDisp", {}, kErrSysInvalidClass}, {"D", "PosDevice", {}, kErrSysInvalidDevice},
      {"D", "PosDisplay", {{"BaudRate", 9600}}, kErrSysInvalidName}, {"D", "PosSystem", {{"Slot", 1}}, kErrSysInvalidName},
      {"D", "PosDisplay", {{"Rows", 2}, {"", 0}}, kErrSysInvalidName}, {"D", "PosDisplay", {{"Timeout", 7}}, 0},
      {"D", "PosRs232c", {{"DataBits", 5}, {"BaudRate", 12345}}, sim::kErrRs232InvalidBaudRate},
      // Slots 0 to 8 and the port codes 0x00, 0x11, 0x22 exist; a bench device's type and subtype are its own.
      {"D", "PosDrawer", {{"Slot", 8}, {"Port", 0x22}}, 0}, {"D", "PosDrawer", {{"Slot", 0}, {"Port", 0}}, 0},
      {"D", "PosDrawer", {{"Slot", 9}}, kErrSysInvalidSlot}, {"D", "PosDrawer", {{"Slot", -1}}, kErrSysInvalidSlot},
      {"D", "PosDrawer", {{"Port", 1}}, kErrSysInvalidPort}, {"D", "PosDisplay", {{"DeviceType", 0x24}, {"Subtype", 6}}, 0},
      {"D", "PosDisplay", {{"DeviceType", 0x25}}, kErrSysInvalidClassDeviceCombo},
      {"D", "PosNvram", {{"Size", sim::kNvramCapacity}}, 0}, {"D", "PosNvram", {{"Size", 1024}}, sim::kErrNvramNotEnoughRoom},
      // The display: up to kDisplayMaxRows x kDisplayMaxColumns (2 x 20 when fresh), the cursor on it.
      {"D", "PosDisplay", {{"Rows", 4}, {"Columns", 80}, {"CursorRow", 3}, {"CursorColumn", 79}}, 0},
      {"D", "PosDisplay", {{"Rows", 1}, {"Columns", 1}}, 0}, {"D", "PosDisplay", {{"Rows", 0}}, sim::kErrDspInvalidSize},
      {"D", "PosDisplay", {{"Rows", 5}}, sim::kErrDspInvalidSize}, {"D", "PosDisplay", {{"Columns", 0}}, sim::kErrDspInvalidSize},
      {"D", "PosDisplay", {{"Columns", 81}}, sim::kErrDspInvalidSize}, {"D", "PosDisplay", {{"CursorRow", -1}}, sim::kErrDspInvalidCursor},
      {"D", "PosDisplay", {{"CursorRow", 2}}, sim::kErrDspInvalidCursor}, {"D", "PosDisplay", {{"CursorRow", 1}, {"CursorColumn", 19}}, 0},
      {"D", "PosDisplay", {{"CursorColumn", 20}}, sim::kErrDspInvalidCursor},
      // Texts: within their limits, at them, one past them, or not a text at all.
      {"D", "PosDisplay", {{"DisplayText", 40}}, kErrSysInvalidAddress}, {"D", "PosDisplay", {{"DisplayText", text(t40)}}, 0},
      {"D", "PosDisplay", {{"DisplayText", text(t41)}}, sim::kErrDspInvalidSize},
      {"D", "PosDisplay", {{"Rows", 4}, {"Columns", 80}, {"DisplayText", text(t320)}}, 0},
      {"D", "PosDisplay", {{"Rows", 4}, {"Columns", 80}, {"DisplayText", text(t321)}}, sim::kErrDspInvalidSize},
      {"D", "PosDisplay", {{"DeviceName", Ptr("")}}, kErrSysInvalidName}, {"D", "PosDisplay", {{"DeviceName", text(n63)}}, 0},
      {"D", "PosDisplay", {{"DeviceName", text(n64)}}, kErrSysInvalidName},
      {"D", "PosPrinter", {{"HeaderText", text(h80)}}, 0}, {"D", "PosPrinter", {{"HeaderText", text(h81)}}, kErrSysOutOfBounds},
      {"D", "PosSystem", {{"LogFile", text(f255)}}, 0}, {"D", "PosSystem", {{"LogFile", text(f256)}}, kErrSysOutOfBounds},
      {"D", "PosSystem", {{"LogFile", Ptr("")}}, 0}, {"D", "PosPrinter", {{"HeaderText", 0}}, kErrSysInvalidAddress}};
  for (Case& c : cases) {
    if (sim_.Initialized()) { ASSERT_EQ(0, sim_.Term()); }  // each on a fresh bench
    Init();
    std::int32_t out = -1;
    EXPECT_EQ(c.status, sim_.Open(c.name, c.cls, c.args.data(), static_cast<std::int32_t>(c.args.size()), &out))
        << c.cls << " " << (c.args.empty() ? "" : c.args[0].name);
    EXPECT_EQ(c.status == 0, out > 0) << out;
  }
  // A refused call changes nothing, not even the records before the refused one.
  ASSERT_EQ(sim::kErrRs232InvalidBaudRate, Set(Open("PosRs232c"), {{"DataBits", 5}, {"BaudRate", 1}}));
  EXPECT_EQ(8, Get(Open("PosRs232c"), "DataBits"));
}

TEST_F(SimEntries, HandlesStayWithinOneByteAndSkipThoseInUse) {
  Init();
  ASSERT_EQ(1, Open("PosSystem"));
  std::vector<std::int32_t> handles;
  for (int i = 0; i < 255; ++i) {
    handles.push_back(Open("PosDisplay"));
    ASSERT_EQ(0, sim_.Close(handles.back()));
  }
  EXPECT_EQ(2, handles[0]);
  EXPECT_EQ(255, handles[253]);
  EXPECT_EQ(2, handles[254]) << "after 255 the count starts again, past the one in use";
  EXPECT_EQ(kErrSysInvalidDescriptor, sim_.Close(handles[254]));
  EXPECT_EQ(kErrSysFunctionNotSupported, sim_.Close(0)) << "the queue stays";
  // MaxDevices counts every open handle.
  ASSERT_EQ(0, Set(1, {{"MaxDevices", 2}}));
  const std::int32_t display = Open("PosDisplay");
  std::int32_t out = -1;
  EXPECT_EQ(kErrSysTooManyDevices, sim_.Open("D", "PosDisplay", nullptr, 0, &out));
  EXPECT_EQ(0, out);
  ASSERT_EQ(0, sim_.Close(display));
  EXPECT_GT(Open("PosDisplay"), 0);
  EXPECT_EQ(kErrSysInvalidAddress, sim_.Open("D", "PosDisplay", nullptr, 0, nullptr));
}

TEST_F(SimEntries, ReadFaultsClaimTooMuchOrWritePastTheBufferOnlyWhenAskedAndSuccessful) {
  struct Case { const char* cls; FaultKind kind; std::int32_t value, size, status, out, placed, past; } cases[] = {
      {"PosScanner", FaultKind::kReadOverclaim, 5, 32, 0, 37, 13, 0},  // claimed beyond the buffer, not the bytes
      {"PosNvram", FaultKind::kReadOverclaim, 1, 16, 0, 17, 16, 0},   {"PosNvram", FaultKind::kReadOverrun, 3, 16, 0, 16, 16, 3},
      {"PosNvram", FaultKind::kReadOverclaim, -4, 16, 0, 16, 16, 0},  {"PosNvram", FaultKind::kReadOverrun, -1, 16, 0, 16, 16, 0},
      {"PosScanner", FaultKind::kReadOverrun, 2, 4, kErrSysTimeout, 0, 0, 0},  // its label was read above
      {"PosScanner", FaultKind::kReadOverclaim, 2, 4, kErrSysTimeout, 0, 0, 0}};
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
  const int display = sim::FindClass("PosDisplay");
  struct Case { int target; FaultKind kind; std::int32_t value; const char* cls; std::vector<std::int32_t> answers; } cases[] = {
      // open another, then write, read, ioctl and close on a handle opened before
      {display, FaultKind::kError, kErrSysHwError, "PosDisplay", {306, 306, 306, 306, 306}},
      {display, FaultKind::kError, kErrSysHwError, "PosRs232c", {0, 0, 0, 0, 0}},
      {display, FaultKind::kError, 0, "PosDisplay", {0, 0, 0, 0, 0}},
      {sim::kQueueTarget, FaultKind::kError, kErrSysInterrupted, "PosDisplay", {0, 0, 0, 0, 0}},
      {sim::kAllTargets, FaultKind::kError, kErrSysHwError, "PosTouch", {306, 306, 306, 306, 306}},
      {sim::kAllTargets, FaultKind::kError, kErrSysHwError, "PosSystem", {0, 311, 311, 0, 0}},
      {display, FaultKind::kOffline, 1, "PosDisplay", {317, 317, 317, 317, 0}},
      {sim::kAllTargets, FaultKind::kOffline, 1, "PosRs232c", {317, 317, 317, 317, 0}}};
  Init();
  for (const Case& c : cases) {
    sim_.ClearFaults();
    const std::int32_t handle = Open(c.cls);
    ASSERT_EQ(0, sim_.SetFault(c.target, c.kind, c.value));
    std::int32_t other = 0, out = 0, status = 0;
    std::vector<std::int32_t> answers{sim_.Open("D", c.cls, nullptr, 0, &other), Write(handle, "x")};
    Read(handle, 64, &status);
    answers.insert(answers.end(), {status, Ioctl(handle, kReqSysGetValues), sim_.Close(handle)});
    EXPECT_EQ(c.answers, answers) << c.cls << " " << c.target;
    if (other != 0) sim_.Close(other);
    Drain();
    const bool queue = c.kind == FaultKind::kError && (c.target == sim::kQueueTarget || c.target == sim::kAllTargets);
    char buffer[16];
    EXPECT_EQ(queue ? c.value : kErrSysTimeout, sim_.Read(0, buffer, 16, &out));
    EXPECT_EQ(queue ? c.value : 0, Ioctl(0, kReqSysGetValues));
  }
  // Off line, the bench's own actions fail too and tell no one.
  Forget();
  for (std::int32_t status : {sim_.SwipeCard(nullptr), sim_.ScanLabel(nullptr), sim_.PressKeys("1"), sim_.Touch(1, 1),
                              sim_.SetPaperOut(true), sim_.SetCoverOpen(true), sim_.PrinterError()}) {
    EXPECT_EQ(kErrSysDeviceOffline, status);
  }
  EXPECT_TRUE(gPosts.empty());
}

TEST_F(SimEntries, FaultTargetsAndKindsAreCheckedAndOutliveTerm) {
  const struct { const char* name; int target; } names[] = {
      {nullptr, sim::kAllTargets}, {"", sim::kAllTargets}, {"Queue", sim::kQueueTarget}, {"PosAlarm", 2},
      {"PosTouch", sim::kClassCount - 1}, {"PosDevice", -2}, {"PosSystem", -2}, {"queue", -2}, {"Bogus", -2}};
  for (const auto& n : names) EXPECT_EQ(n.target, sim::FaultTarget(n.name)) << (n.name ? n.name : "null");
  const struct { int target, kind; std::int32_t status; } cases[] = {
      {-2, 1, kErrSysInvalidClass}, {sim::kSystemClass, 1, kErrSysInvalidClass}, {sim::kGenericClass, 1, kErrSysInvalidClass},
      {sim::kQueueTarget + 1, 1, kErrSysInvalidClass}, {sim::kQueueTarget, 4, kErrSysInvalidRequest},
      {2, 0, kErrSysInvalidRequest}, {2, 5, kErrSysInvalidRequest}, {2, 1, 0}, {sim::kClassCount - 1, 4, 0},
      {sim::kAllTargets, 2, 0}, {sim::kQueueTarget, 3, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.status, sim_.SetFault(c.target, static_cast<FaultKind>(c.kind), 9)) << c.target << " " << c.kind;
  }
  EXPECT_EQ(9, sim_.FaultsOf(2).error);
  EXPECT_EQ(9, sim_.FaultsOf(sim::kQueueTarget).overclaim);
  EXPECT_EQ(9, sim_.FaultsOf(sim::kQueueTarget).overrun);
  ResourceArg queue{"queueHandle", kQueue};
  ASSERT_EQ(0, sim_.Initialize("REVEDIZ", "", &queue, 1));
  EXPECT_EQ(11u, gPosts.size()) << "the touch screen stays off line";
  sim_.ClearFaults();
  ASSERT_EQ(12u, gPosts.size());
  EXPECT_EQ((Post{kMain, kMsgSysDeviceOnline, 0x05225C0D, 1}), gPosts.back());
  EXPECT_EQ(0, sim_.FaultsOf(sim::kQueueTarget).overrun);
}

}  // namespace
