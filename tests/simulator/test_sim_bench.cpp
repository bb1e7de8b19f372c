// What guards a device and what breaks it on purpose (acquiring and locking, the faults a test sets), and what the
// device bench window lists for each device and reads from its fields.
#include <cerrno>
#include <cstring>

#include "sim_fixture.h"
#include "simulator/bench_state.h"

namespace {

using namespace simtest;
using namespace pos;
using sim::FaultKind;

class SimBench : public Sim {};

TEST_F(SimBench, AcquireAndLockGuardTheDevice) {
  enum Call { kIoctl, kWrite, kRead, kClose };
  const struct { int who; Call call; std::int32_t request, status; } steps[] = {
      {0, kIoctl, kReqSysAcquireDevice, 0}, {0, kIoctl, kReqSysAcquireDevice, kErrSysAlreadyAcquired},
      {1, kIoctl, kReqSysAcquireDevice, kErrSysAcquiredByOther}, {1, kWrite, 0, kErrSysAcquiredByOther},
      {1, kRead, 0, kErrSysAcquiredByOther}, {1, kIoctl, kReqSysGetValues, 0},
      {1, kIoctl, kReqSysSetValues, kErrSysAcquiredByOther},
      {1, kIoctl, kReqSysReleaseDevice, kErrSysNotAcquired}, {0, kWrite, 0, 0}, {0, kIoctl, kReqSysReleaseDevice, 0},
      {1, kIoctl, kReqSysAcquireDevice, 0}, {1, kClose, 0, 0}, {0, kRead, 0, 0}, {0, kIoctl, kReqSysLockDevice, 0},
      {0, kRead, 0, kErrSysLockedNoDataRead}, {0, kWrite, 0, 0}, {0, kIoctl, kReqSysUnlockDevice, 0}, {0, kRead, 0, 0},
      {2, kIoctl, kReqSysAcquireDevice, kErrSysInvalidRequest}};  // the queue is no device
  Init();
  const std::int32_t first = Open("PosRs232c");  // handle 1 acquires and closes: it leaves no owner behind
  const std::int32_t handles[] = {Open("PosRs232c"), first, 0};
  for (const auto& s : steps) {
    std::int32_t status = -1, h = handles[s.who];
    if (s.call == kRead) Read(h, 8, &status);
    if (s.call == kIoctl) status = Ioctl(h, s.request);
    if (s.call == kWrite) status = Write(h, "x");
    if (s.call == kClose) status = sim_.Close(h);
    EXPECT_EQ(s.status, status) << "step " << (&s - steps);
  }
}

TEST_F(SimBench, ErrorAndOffLineFaultsAnswerTheCallsOfTheirCheckedTarget) {
  const int display = sim::FindClass("PosDisplay"), queue = sim::kQueueTarget, all = sim::kAllTargets;
  const FaultKind error = FaultKind::kError, offline = FaultKind::kOffline;
  // Opening another handle, then write, read, ioctl and close on a handle opened before; the queue's read and ioctl.
  struct Case { int target; FaultKind kind; std::int32_t value; const char* cls; std::vector<std::int32_t> answers; };
  const Case cases[] = {{display, error, 306, "PosDisplay", {306, 306, 306, 306, 306, 329, 0}},
      {display, error, 306, "PosRs232c", {0, 0, 0, 0, 0, 0, 0}},
      {queue, error, 332, "PosDisplay", {0, 0, 0, 0, 0, 332, 332}},
      {all, error, 306, "PosSystem", {0, 311, 311, 0, 0, 306, 306}},
      {display, offline, 1, "PosDisplay", {317, 317, 317, 317, 0, 0, 0}}};
  Init();
  for (const Case& c : cases) {
    sim_.ClearFaults(), Drain();
    const std::int32_t handle = Open(c.cls);
    ASSERT_EQ(0, sim_.SetFault(c.target, c.kind, c.value));
    std::int32_t other = 0, read = 0, queued = 0;
    std::vector<std::int32_t> answers{sim_.Open("D", c.cls, nullptr, 0, &other), Write(handle, "x")};
    Read(handle, 64, &read), Read(0, 16, &queued);
    answers.insert(answers.end(), {read, Ioctl(handle, kReqSysGetValues), sim_.Close(handle), queued,
                                   Ioctl(0, kReqSysGetValues)});
    EXPECT_EQ(c.answers, answers) << c.cls << " " << c.target;
    if (other != 0) sim_.Close(other);
  }
  ASSERT_EQ(0, sim_.SetFault(all, offline, 1));
  Forget();  // off line, the bench's own actions fail too, and tell no one
  const std::vector<std::int32_t> bench{sim_.SwipeCard(nullptr), sim_.ScanLabel(nullptr), sim_.PressKeys("1"),
                                        sim_.Touch(1, 1), sim_.SetPaperOut(true), sim_.SetCoverOpen(true),
                                        sim_.PrinterError()};
  EXPECT_TRUE(bench == std::vector<std::int32_t>(7, kErrSysDeviceOffline) && gPosts.empty());
  ASSERT_EQ(0, sim_.Term() + sim_.Initialize("REVEDIZ", "", &gQueue, 1));
  EXPECT_TRUE(gPosts.empty()) << "faults outlive term";
  sim_.ClearFaults();
  EXPECT_EQ((Post{kMain, kMsgSysDeviceOnline, 0x05225C0D, 1}), gPosts.back()) << "the touch screen last";
  EXPECT_EQ(12u, gPosts.size()) << "every bench device back on line";
  for (auto [name, target] : {std::pair<const char*, int>{nullptr, sim::kAllTargets}, {"", sim::kAllTargets},
                              {"Queue", sim::kQueueTarget}, {"PosTouch", sim::kClassCount - 1}, {"PosDevice", -2},
                              {"PosSystem", -2}, {"Q", -2}}) {
    EXPECT_EQ(target, sim::FaultTarget(name)) << (name ? name : "null");
  }
  const struct { int target, kind; std::int32_t status; } checked[] = {{-2, 1, kErrSysInvalidClass},
      {0, 1, kErrSysInvalidClass}, {1, 1, kErrSysInvalidClass}, {15, 1, kErrSysInvalidClass},
      {14, 4, kErrSysInvalidRequest}, {2, 0, kErrSysInvalidRequest}, {2, 6, kErrSysInvalidRequest}, {2, 1, 0},
      {13, 4, 0}, {sim::kAllTargets, 2, 0}, {14, 3, 0}, {14, 5, 0}};  // 14: the queue
  for (const auto& c : checked) EXPECT_EQ(c.status, sim_.SetFault(c.target, FaultKind(c.kind), 9)) << c.target << c.kind;
  const sim::Faults& faults = sim_.FaultsOf(queue);
  EXPECT_TRUE(sim_.FaultsOf(2).error == 9 && faults.overclaim == 9 && faults.overrun == 9 && faults.shortRead == 9);
  // An overrun writes its bytes just past the buffer, and no further.
  sim_.ClearFaults();
  ASSERT_EQ(0, sim_.SetFault(sim::FindClass("PosNvram"), FaultKind::kReadOverrun, 3));
  unsigned char buffer[20];
  std::memset(buffer, 0xBB, sizeof buffer);
  std::int32_t out = -1;
  ASSERT_EQ(0, sim_.Read(Open("PosNvram"), buffer, 16, &out));
  EXPECT_EQ(std::vector<unsigned char>(buffer + 16, buffer + 20), (std::vector<unsigned char>{0xEE, 0xEE, 0xEE, 0xBB}));
}

TEST_F(SimBench, BenchListsOneLinePerDeviceWithWhatItHoldsAndItsFaults) {
  const int scanner = sim::FindClass("PosScanner");
  ASSERT_EQ(0, sim_.SetFault(scanner, FaultKind::kOffline, 1));
  const std::vector<std::string> before = sim::BenchStateLines(sim_);
  EXPECT_TRUE(!sim_.PaperOut() && sim_.QueueWindow() == 0);
  ASSERT_EQ(12u, before.size());
  EXPECT_EQ("PosAlarm     on line   0 open|PosScanner   off line  0 open", before[0] + "|" + before[10]);
  Init();
  const std::int32_t display = Open("PosDisplay"), printer = Open("PosPrinter");
  std::int32_t status = 0;
  Open("PosPrinter");
  for (int i = 0; i < 10; ++i) Open("PosMsr");  // a count past one digit
  ASSERT_EQ(0, Write(display, "A B") + Write(printer, "TOTAL 9.99\nTHANK\tYOU\x7F") + sim_.PlaceWeight(480) +
                   Write(Open("PosRs232c"), "xyz") + sim_.SetFault(scanner, FaultKind::kError, 306) +
                   sim_.SetFault(scanner, FaultKind::kReadOverclaim, 8) +
                   sim_.SetFault(scanner, FaultKind::kReadOverrun, 2) +
                   sim_.SetFault(scanner, FaultKind::kShortRead, 0));
  Read(Open("PosTouch"), 4, &status);
  const std::vector<std::string> expected = {"PosAlarm     on line   0 open",
      "PosDisplay   on line   1 open   shows \"A B\" / \"\"", "PosDrawer    on line   0 open   drawer closed",
      "PosKeyboard  on line   0 open   5 bytes waiting", "PosMsr       on line   10 open   89 bytes waiting",
      "PosNvram     on line   0 open", "PosPower     on line   0 open",
      "PosPrinter   on line   2 open   paper in, cover shut, printing \"THANK.YOU.\"",
      "PosRs232c    on line   1 open   3 bytes looped back", "PosScale     on line   0 open   weight 480 g",
      "PosScanner   off line  0 open   13 bytes waiting  [error 306]  [claims +8]  [overruns 2]  [short reads 0]",
      "PosTouch     on line   1 open   no input waiting"};
  EXPECT_EQ(expected, sim::BenchStateLines(sim_));
  ASSERT_EQ(0, Write(printer, "\n") + sim_.SetPaperOut(true) + sim_.SetCoverOpen(true) + sim_.PrinterError() +
                   Ioctl(Open("PosDrawer"), pos::kReqTillOpenTill));
  const std::vector<std::string> after = sim::BenchStateLines(sim_);
  EXPECT_EQ("PosDrawer    on line   1 open   drawer open", after[2]);
  EXPECT_EQ("PosPrinter   on line   2 open   paper out, cover open, error waiting, last \"THANK.YOU.\"", after[7]);
}

}  // namespace
