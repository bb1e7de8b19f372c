// The entries that set the library up and hand out handles: initialize,
// open, close, term, and the limits on arguments, texts and handles.
#include <string>
#include <vector>

#include "sim_fixture.h"
#include "simulator/sim_codes.h"

namespace {

using namespace simtest;
using namespace pos;

const std::intptr_t kQueue = static_cast<std::intptr_t>(kMain);

class SimEntries : public Sim {};

TEST_F(SimEntries, InitializeNeedsAQueueHandleAndKnownSettings) {
  const std::vector<ResourceArg> q257(257, ResourceArg{"queueHandle", kQueue});
  struct Case { std::vector<ResourceArg> args; std::int32_t count, status; } cases[] = {
      {{}, 0, kErrSysInvalidQueue}, {{{"Timeout", 1000}}, 1, kErrSysInvalidQueue},
      {{{"queueHandle", 0}}, 1, kErrSysInvalidQueue},
      {{{"queueHandle", kQueue}, {"QueueHandle", 0}}, 2, kErrSysInvalidQueue},
      {{{"queueHandle", kQueue}, {"Rows", 2}}, 2, kErrSysInvalidName},  // a device's own
      {{{"queueHandle", kQueue}, {"", 0}}, 2, kErrSysInvalidName},
      {{{"queueHandle", kQueue}, {"LogLevel", 6}}, 2, kErrSysOutOfBounds},
      {{{"queueHandle", kQueue}, {"LogLevel", 5}}, 2, 0},
      {{{"queueHandle", kQueue}}, -1, kErrSysInvalidNargs},
      {q257, 256, 0}, {q257, 257, kErrSysInvalidNargs},
  };
  for (Case& c : cases) {
    Forget();
    EXPECT_EQ(c.status, sim_.Initialize("APP", "FILE", c.args.data(), c.count)) << c.count;
    EXPECT_EQ(c.status == 0, sim_.Initialized());
    EXPECT_EQ(c.status == 0 ? 12u : 0u, gPosts.size());
    if (c.status == 0) { EXPECT_EQ(0, sim_.Term()); }
  }
}

TEST_F(SimEntries, EveryCallNeedsAnInitializedLibrary) {
  std::int32_t out = 7;
  char buffer[16];
  EXPECT_EQ(kErrSysNotInitialized, sim_.Open("D", "PosDisplay", nullptr, 0, &out));
  EXPECT_EQ(0, out);
  EXPECT_EQ(kErrSysNotInitialized, sim_.Read(0, buffer, 16, &out));
  EXPECT_EQ(kErrSysNotInitialized, sim_.Write(1, buffer, 1, &out));
  EXPECT_EQ(kErrSysNotInitialized, sim_.IOCtl(0, kReqSysGetValues, nullptr, 0, &out));
  EXPECT_EQ(kErrSysNotInitialized, sim_.Close(1));
  EXPECT_EQ(kErrSysNotInitialized, sim_.Term());
  for (std::int32_t status : {sim_.SwipeCard(nullptr), sim_.ScanLabel(nullptr), sim_.PressKeys("1"),
                              sim_.Touch(1, 1), sim_.PlaceWeight(1), sim_.CloseDrawer(),
                              sim_.SetPaperOut(true), sim_.SetCoverOpen(true), sim_.PrinterError(),
                              sim_.Burst(3, 1)}) {
    EXPECT_EQ(kErrSysNotInitialized, status);
  }
  EXPECT_EQ(0, sim_.Version(1, 2, 3));
  EXPECT_TRUE(gPosts.empty());
}

TEST_F(SimEntries, TermClosesEverythingAndAllowsANewInitialize) {
  Init();
  const std::int32_t handle = Open("PosDisplay");
  ResourceArg queue{"queueHandle", kQueue};
  EXPECT_EQ(kErrSysAlreadyInitialized, sim_.Initialize("APP", "FILE", &queue, 1));
  ASSERT_EQ(0, sim_.SwipeCard(nullptr));
  ASSERT_EQ(0, sim_.Burst(3, 2));
  Forget();
  EXPECT_EQ(0, sim_.Term());
  EXPECT_FALSE(sim_.Initialized());
  EXPECT_TRUE(sim_.OpenDevices().empty());
  EXPECT_TRUE(sim_.Queue().Empty());
  EXPECT_TRUE(gPosts.empty()) << "the window may be gone";
  EXPECT_EQ(kErrSysNotInitialized, sim_.Close(handle));
  Init();
  std::int32_t status = 0;
  EXPECT_EQ(kErrSysInvalidDescriptor, sim_.Close(handle));
  EXPECT_EQ(std::string(sim::kTestCardTracks), Read(Open("PosMsr"), 200, &status)) << "a fresh bench";
}

TEST_F(SimEntries, OpenChecksNameClassAndResourcesAndRefusesWhole) {
  Init();
  const std::string n63(63, 'n'), n64(64, 'n'), n255(255, 'd'), n256(256, 'd'), h80(80, 'h'),
      h81(81, 'h'), f255(255, 'f'), f256(256, 'f'), t40(40, 't'), t41(41, 't'), t320(320, 't'),
      t321(321, 't');
  struct Case { const char* name; const char* cls; std::vector<ResourceArg> args; std::int32_t status; };
  const Case cases[] = {
      {"", "PosDisplay", {}, kErrSysInvalidName}, {nullptr, "PosDisplay", {}, kErrSysInvalidName},
      {n255.c_str(), "PosDisplay", {}, 0}, {n256.c_str(), "PosDisplay", {}, kErrSysInvalidName},
      {"D", "PosDisplayX", {}, kErrSysInvalidClass}, {"D", "posdisplay", {}, kErrSysInvalidClass},
      {"D", "PosDisp", {}, kErrSysInvalidClass}, {"D", "PosDevice", {}, kErrSysInvalidDevice},
      {"D", "PosDisplay", {{"BaudRate", 9600}}, kErrSysInvalidName},
      {"D", "PosDisplay", {{"Rows", 2}, {"", 0}}, kErrSysInvalidName},
      {"D", "PosRs232c", {{"DataBits", 5}, {"BaudRate", 12345}}, sim::kErrRs232InvalidBaudRate},
      {"D", "PosPrinter", {{"diWidth", 0}}, sim::kErrPrnInvalidDiWidth},
      // Slots 0 to 8 and the three port codes 0x00, 0x11, 0x22 exist.
      {"D", "PosDrawer", {{"Slot", 8}, {"Port", 0x22}}, 0},
      {"D", "PosDrawer", {{"Slot", 9}}, kErrSysInvalidSlot},
      {"D", "PosDrawer", {{"Slot", -1}}, kErrSysInvalidSlot},
      {"D", "PosDrawer", {{"Port", 1}}, kErrSysInvalidPort},
      {"D", "PosDisplay", {{"DeviceType", 0x24}, {"Subtype", 6}}, 0},
      {"D", "PosDisplay", {{"DeviceType", 0x25}}, kErrSysInvalidClassDeviceCombo},
      {"D", "PosNvram", {{"Size", sim::kNvramCapacity}}, 0},
      {"D", "PosNvram", {{"Size", 1024}}, sim::kErrNvramNotEnoughRoom},
      // Display size up to kDisplayMaxRows x kDisplayMaxColumns, cursor on it.
      {"D", "PosDisplay", {{"Rows", 4}, {"Columns", 80}, {"CursorRow", 3}, {"CursorColumn", 79}}, 0},
      {"D", "PosDisplay", {{"Rows", 0}}, sim::kErrDspInvalidSize},
      {"D", "PosDisplay", {{"Rows", 5}}, sim::kErrDspInvalidSize},
      {"D", "PosDisplay", {{"Columns", 81}}, sim::kErrDspInvalidSize},
      {"D", "PosDisplay", {{"Rows", 2}, {"CursorRow", 2}}, sim::kErrDspInvalidCursor},
      {"D", "PosDisplay", {{"CursorColumn", 20}}, sim::kErrDspInvalidCursor},
      {"D", "PosDisplay", {{"CursorColumn", 19}}, 0},
      // Texts: within their limits, at them, one past them, or not a text at all.
      {"D", "PosDisplay", {{"DisplayText", 40}}, kErrSysInvalidAddress},
      {"D", "PosDisplay", {{"DisplayText", Ptr(t40.c_str())}}, 0},
      {"D", "PosDisplay", {{"DisplayText", Ptr(t41.c_str())}}, sim::kErrDspInvalidSize},
      {"D", "PosDisplay", {{"Rows", 4}, {"Columns", 80}, {"DisplayText", Ptr(t320.c_str())}}, 0},
      {"D", "PosDisplay", {{"Rows", 4}, {"Columns", 80}, {"DisplayText", Ptr(t321.c_str())}},
       sim::kErrDspInvalidSize},
      {"D", "PosDisplay", {{"DeviceName", Ptr("")}}, kErrSysInvalidName},
      {"D", "PosDisplay", {{"DeviceName", Ptr(n63.c_str())}}, 0},
      {"D", "PosDisplay", {{"DeviceName", Ptr(n64.c_str())}}, kErrSysInvalidName},
      {"D", "PosPrinter", {{"HeaderText", Ptr(h80.c_str())}}, 0},
      {"D", "PosPrinter", {{"HeaderText", Ptr(h81.c_str())}}, kErrSysOutOfBounds},
      {"D", "PosSystem", {{"LogFile", Ptr(f255.c_str())}}, 0},
      {"D", "PosSystem", {{"LogFile", Ptr(f256.c_str())}}, kErrSysOutOfBounds},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(0, sim_.Term());  // each on a fresh bench
    Init();
    std::vector<ResourceArg> args = c.args;
    std::int32_t out = -1;
    EXPECT_EQ(c.status, sim_.Open(c.name, c.cls, args.data(), static_cast<std::int32_t>(args.size()),
                                  &out)) << c.cls << " " << (args.empty() ? "" : args[0].name);
    EXPECT_EQ(c.status == 0, out > 0) << out;
  }
  ASSERT_EQ(sim::kErrRs232InvalidBaudRate, Set(Open("PosRs232c"), {{"DataBits", 5}, {"BaudRate", 1}}));
  EXPECT_EQ(8, Get(Open("PosRs232c"), "DataBits")) << "a refused call changes nothing";
}

TEST_F(SimEntries, HandlesStayWithinOneByteAndSkipThoseInUse) {
  Init();
  const std::int32_t kept = Open("PosSystem");
  ASSERT_EQ(1, kept);
  std::vector<std::int32_t> handles;
  for (int i = 0; i < 255; ++i) {
    handles.push_back(Open("PosDisplay"));
    ASSERT_EQ(0, sim_.Close(handles.back()));
  }
  EXPECT_EQ(2, handles.front());
  EXPECT_EQ(255, handles[253]);
  EXPECT_EQ(2, handles[254]) << "after 255 the count starts again, past the one in use";
  EXPECT_EQ(kErrSysInvalidDescriptor, sim_.Close(handles[254]));
  EXPECT_EQ(kErrSysFunctionNotSupported, sim_.Close(0)) << "the queue stays";
}

TEST_F(SimEntries, MaxDevicesLimitsTheOpenHandles) {
  Init();
  const std::int32_t system = Open("PosSystem");
  ASSERT_EQ(0, Set(system, {{"MaxDevices", 2}}));
  const std::int32_t display = Open("PosDisplay");
  std::int32_t out = -1;
  EXPECT_EQ(kErrSysTooManyDevices, sim_.Open("D", "PosDisplay", nullptr, 0, &out));
  EXPECT_EQ(0, out);
  ASSERT_EQ(0, sim_.Close(display));
  EXPECT_GT(Open("PosDisplay"), 0);
  EXPECT_EQ(kErrSysInvalidAddress, sim_.Open("D", "PosDisplay", nullptr, 0, nullptr));
}

}  // namespace
