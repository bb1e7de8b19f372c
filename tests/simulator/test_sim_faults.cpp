// Faults a test or the bench sets on a device or the queue: injected
// errors, off line, reads that claim too much or write past the buffer.
#include <cstring>
#include <vector>

#include "sim_fixture.h"

namespace {

using namespace simtest;
using namespace pos;
using sim::FaultKind;

class SimFaults : public Sim {
 protected:
  // The answers of open, write, read, ioctl and close on a fresh handle of `cls`.
  std::vector<std::int32_t> Answers(const char* cls) {
    std::int32_t handle = 0, out = 0;
    char buffer[64];
    std::vector<std::int32_t> answers{sim_.Open("D", cls, nullptr, 0, &handle)};
    if (handle == 0) return answers;
    answers.push_back(sim_.Write(handle, "x", 1, &out));
    answers.push_back(sim_.Read(handle, buffer, 64, &out));
    answers.push_back(sim_.IOCtl(handle, kReqSysGetValues, nullptr, 0, &out));
    answers.push_back(sim_.Close(handle));
    return answers;
  }
};

TEST_F(SimFaults, ReadsClaimTooMuchOrWritePastTheBufferOnlyWhenAskedAndSuccessful) {
  struct Case { const char* cls; FaultKind kind; std::int32_t value, size, status, out, placed, past; } cases[] = {
      {"PosScanner", FaultKind::kReadOverclaim, 5, 32, 0, 37, 13, 0},  // claims from the buffer size
      {"PosNvram", FaultKind::kReadOverclaim, 1, 16, 0, 17, 16, 0},
      {"PosNvram", FaultKind::kReadOverrun, 3, 16, 0, 16, 16, 3},
      {"PosNvram", FaultKind::kReadOverclaim, -4, 16, 0, 16, 16, 0},
      {"PosNvram", FaultKind::kReadOverrun, -1, 16, 0, 16, 16, 0},
      {"PosScanner", FaultKind::kReadOverrun, 2, 4, kErrSysTimeout, 0, 0, 0},  // read, nothing new
      {"PosScanner", FaultKind::kReadOverclaim, 2, 4, kErrSysTimeout, 0, 0, 0},
  };
  Init();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cls + (" " + std::to_string(c.value)));
    sim_.ClearFaults();
    const std::int32_t handle = Open(c.cls);
    ASSERT_EQ(0, sim_.SetFault(sim::FindClass(c.cls), c.kind, c.value));
    unsigned char buffer[48];
    std::memset(buffer, 0xBB, sizeof buffer);
    std::int32_t out = -1;
    EXPECT_EQ(c.status, sim_.Read(handle, buffer + 4, c.size, &out));
    EXPECT_EQ(c.out, out);
    for (int i = 0; i < 48; ++i) {
      const int at = i - 4;
      const bool placed = at >= 0 && at < c.placed, past = at >= c.size && at < c.size + c.past;
      if (!placed) { EXPECT_EQ(past ? sim::kOverrunByte : 0xBB, buffer[i]) << "byte " << at; }
    }
  }
}

TEST_F(SimFaults, ErrorsAndOffLineAnswerEveryCallOfTheirTarget) {
  Init();
  const int display = sim::FindClass("PosDisplay");
  const std::vector<std::int32_t> ok{0, 0, 0, 0, 0}, offline{kErrSysDeviceOffline};
  ASSERT_EQ(0, sim_.SetFault(display, FaultKind::kError, kErrSysHwError));
  EXPECT_EQ(std::vector<std::int32_t>{kErrSysHwError}, Answers("PosDisplay"));
  const std::int32_t handle = Open("PosPrinter");
  EXPECT_EQ(ok, Answers("PosRs232c")) << "other devices answer as ever";
  ASSERT_EQ(0, sim_.SetFault(display, FaultKind::kError, 0));
  const std::int32_t shown = Open("PosDisplay");
  ASSERT_EQ(0, sim_.SetFault(display, FaultKind::kError, kErrSysHwError));
  std::int32_t out = 0;
  char buffer[16];
  EXPECT_EQ(kErrSysHwError, sim_.Write(shown, "x", 1, &out));
  EXPECT_EQ(kErrSysHwError, sim_.Read(shown, buffer, 16, &out));
  EXPECT_EQ(kErrSysHwError, sim_.IOCtl(shown, kReqDspClearScreen, nullptr, 0, &out));
  EXPECT_EQ(kErrSysHwError, sim_.Close(shown));
  ASSERT_EQ(0, sim_.SetFault(display, FaultKind::kError, 0));
  EXPECT_EQ(ok, Answers("PosDisplay"));

  // The queue's fault answers reads and ioctls of descriptor 0 only.
  ASSERT_EQ(0, sim_.SetFault(sim::kQueueTarget, FaultKind::kError, kErrSysInterrupted));
  EXPECT_EQ(kErrSysInterrupted, sim_.Read(0, buffer, 16, &out));
  EXPECT_EQ(kErrSysInterrupted, sim_.IOCtl(0, kReqSysGetValues, nullptr, 0, &out));
  EXPECT_EQ(ok, Answers("PosDisplay"));
  ASSERT_EQ(0, sim_.SetFault(sim::kAllTargets, FaultKind::kError, kErrSysHwError));
  EXPECT_EQ(kErrSysHwError, sim_.Read(0, buffer, 16, &out));
  EXPECT_EQ(std::vector<std::int32_t>{kErrSysHwError}, Answers("PosTouch"));
  EXPECT_EQ(0, sim_.IOCtl(Open("PosSystem"), kReqSysGetValues, nullptr, 0, &out)) << "the system has no faults";
  sim_.ClearFaults();
  EXPECT_EQ(ok, Answers("PosRs232c"));

  // Off line: every call but close, and the bench's own actions.
  ASSERT_EQ(0, sim_.SetFault(sim::kAllTargets, FaultKind::kOffline, 1));
  EXPECT_EQ(offline, Answers("PosDisplay"));
  EXPECT_EQ(kErrSysDeviceOffline, sim_.Write(handle, "x", 1, &out));
  EXPECT_EQ(kErrSysDeviceOffline, sim_.IOCtl(handle, kReqPrnResetPrinter, nullptr, 0, &out));
  Forget();
  for (std::int32_t status : {sim_.SwipeCard(nullptr), sim_.ScanLabel(nullptr), sim_.PressKeys("1"),
                              sim_.Touch(1, 1), sim_.SetPaperOut(true), sim_.SetCoverOpen(true),
                              sim_.PrinterError()}) {
    EXPECT_EQ(kErrSysDeviceOffline, status);
  }
  EXPECT_TRUE(gPosts.empty());
  EXPECT_EQ(0, sim_.Close(handle));
}

TEST_F(SimFaults, TargetsAndKindsAreChecked) {
  const struct { const char* name; int target; } names[] = {
      {nullptr, sim::kAllTargets}, {"", sim::kAllTargets}, {"Queue", sim::kQueueTarget},
      {"PosMsr", sim::FindClass("PosMsr")}, {"PosTouch", sim::FindClass("PosTouch")}, {"PosDevice", -2},
      {"PosSystem", -2}, {"queue", -2}, {"Bogus", -2}};
  for (const auto& n : names) EXPECT_EQ(n.target, sim::FaultTarget(n.name)) << (n.name ? n.name : "null");
  const struct { int target; int kind; std::int32_t status; } cases[] = {
      {-2, 1, kErrSysInvalidClass}, {sim::kSystemClass, 1, kErrSysInvalidClass},
      {sim::kGenericClass, 1, kErrSysInvalidClass}, {sim::kQueueTarget + 1, 1, kErrSysInvalidClass},
      {sim::kQueueTarget, 4, kErrSysInvalidRequest}, {2, 0, kErrSysInvalidRequest}, {2, 5, kErrSysInvalidRequest},
      {2, 1, 0}, {sim::kClassCount - 1, 4, 0}, {sim::kAllTargets, 2, 0}, {sim::kQueueTarget, 3, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.status, sim_.SetFault(c.target, static_cast<FaultKind>(c.kind), 9)) << c.target << " " << c.kind;
  }
  // Faults survive term and a new initialize; off line devices do not come on line.
  EXPECT_EQ(9, sim_.FaultsOf(2).error);
  EXPECT_TRUE(sim_.FaultsOf(sim::kClassCount - 1).offline);
  EXPECT_EQ(9, sim_.FaultsOf(sim::kQueueTarget).overrun);
  ResourceArg queue{"queueHandle", static_cast<std::intptr_t>(kMain)};
  ASSERT_EQ(0, sim_.Initialize("REVEDIZ", "", &queue, 1));
  EXPECT_EQ(11u, gPosts.size());
  sim_.ClearFaults();
  EXPECT_EQ(12u, gPosts.size());
  EXPECT_EQ(kMsgSysDeviceOnline, gPosts.back().message);
  EXPECT_EQ(13u, gPosts.back().wParam & 0xFF) << "the touch screen, class 13";
  EXPECT_EQ(0, sim_.FaultsOf(sim::kQueueTarget).overrun);
}

}  // namespace
