// What the device bench window lists for each device, and how it reads its
// number and key fields.
#include <cerrno>
#include <climits>
#include <set>
#include <string>
#include <vector>

#include "sim_fixture.h"
#include "simulator/bench_ids.h"
#include "simulator/bench_state.h"

namespace {

class BenchState : public simtest::Sim {};

TEST_F(BenchState, OneLinePerDeviceWithWhatItHoldsAndItsFaults) {
  const int scanner = sim::FindClass("PosScanner");
  ASSERT_EQ(0, sim_.SetFault(scanner, sim::FaultKind::kOffline, 1));
  const std::vector<std::string> before = sim::BenchStateLines(sim_);
  ASSERT_EQ(12u, before.size());
  EXPECT_EQ("PosAlarm     on line   0 open|PosScanner   off line  0 open", before[0] + "|" + before[10]) << "no more before initialize";
  Init();
  const std::int32_t display = Open("PosDisplay"), printer = Open("PosPrinter");
  Open("PosPrinter");
  ASSERT_EQ(0, Write(display, "A B") + Write(printer, "TOTAL 9.99\nTHANK\tYOU\x7F") + sim_.PlaceWeight(480) +
                   Write(Open("PosRs232c"), "xyz") + sim_.SetFault(scanner, sim::FaultKind::kError, 306) +
                   sim_.SetFault(scanner, sim::FaultKind::kReadOverclaim, 8) + sim_.SetFault(scanner, sim::FaultKind::kReadOverrun, 2));
  std::int32_t status = 0;
  Read(Open("PosTouch"), 4, &status);
  const std::vector<std::string> expected = {"PosAlarm     on line   0 open", "PosDisplay   on line   1 open   shows \"A B\" / \"\"",
      "PosDrawer    on line   0 open   drawer closed", "PosKeyboard  on line   0 open   5 bytes waiting",
      "PosMsr       on line   0 open   89 bytes waiting", "PosNvram     on line   0 open", "PosPower     on line   0 open",
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
      {"  -12", true, -12}, {"2147483647", true, INT32_MAX}, {"-2147483648", true, INT32_MIN}, {"0", true, 0}, {"", false, 7},
      {" ", false, 7}, {"lots", false, 7}, {"12g", false, 7}, {"0x10", false, 7}, {"2147483648", false, 7}, {"-2147483649", false, 7},
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

// A script finds each control of the bench by its id, so no two share one.
TEST(BenchIds, EveryControlHasAnIdOfItsOwn) {
  const std::set<int> ids{IDC_BENCH_DEVICES, IDC_BENCH_STATUS, IDC_BENCH_TRACKS, IDC_BENCH_SWIPE, IDC_BENCH_SYMBOLOGY, IDC_BENCH_LABEL,
      IDC_BENCH_SCAN, IDC_BENCH_GRAMS, IDC_BENCH_PLACE, IDC_BENCH_REMOVE, IDC_BENCH_KEYS, IDC_BENCH_PRESS, IDC_BENCH_TOUCH_X,
      IDC_BENCH_TOUCH_Y, IDC_BENCH_TOUCH, IDC_BENCH_CLOSE_DRAWER, IDC_BENCH_DEVICE, IDC_BENCH_OFFLINE, IDC_BENCH_ONLINE,
      IDC_BENCH_ERROR_CODE, IDC_BENCH_SET_ERROR, IDC_BENCH_OVERCLAIM, IDC_BENCH_SET_OVERCLAIM, IDC_BENCH_OVERRUN,
      IDC_BENCH_SET_OVERRUN, IDC_BENCH_PAPER_OUT, IDC_BENCH_COVER_OPEN, IDC_BENCH_PRINTER_ERROR, IDC_BENCH_BURST_COUNT,
      IDC_BENCH_BURST, IDC_BENCH_CLEAR_FAULTS};
  EXPECT_EQ(31u, ids.size());
}

}  // namespace
