// What the device bench window lists for each device.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "simulator/bench_state.h"
#include "simulator/resource_table.h"
#include "tests/simulator/sim_fixture.h"

namespace {

using simtest::SimTest;

class BenchState : public SimTest {
 protected:
  // The line of one device class.
  std::string LineOf(const char* cls) {
    const std::vector<std::string> lines = sim::BenchStateLines(*sim_);
    const std::vector<int> devices = sim::BenchDevices();
    for (std::size_t i = 0; i < devices.size(); ++i) {
      if (devices[i] == sim::FindClass(cls)) return lines[i];
    }
    ADD_FAILURE() << "no line for " << cls;
    return "";
  }
};

TEST_F(BenchState, OneLinePerDeviceWithoutTheTwoNonDevices) {
  InitializeQuietly();
  const std::vector<std::string> lines = sim::BenchStateLines(*sim_);
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(sim::kClassCount - 2));
  EXPECT_EQ(lines.front().rfind("PosAlarm     on line   0 open", 0), 0u) << lines.front();
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find("PosSystem"), std::string::npos);
    EXPECT_EQ(line.find("PosDevice"), std::string::npos);
  }
}

TEST_F(BenchState, DevicesShowWhatTheyHold) {
  InitializeQuietly();
  const std::int32_t display = OpenDevice("PosDisplay");
  const std::int32_t printer = OpenDevice("PosPrinter");
  OpenDevice("PosPrinter", "SECOND");
  std::int32_t out = 0;
  ASSERT_EQ(0, sim_->Write(display, "HELLO", 5, &out));
  ASSERT_EQ(0, sim_->Write(printer, "TOTAL 9.99\nTHANK\tYOU", 20, &out));
  ASSERT_EQ(0, sim_->PlaceWeight(480));

  const std::string shown = LineOf("PosDisplay");
  EXPECT_EQ(shown.rfind("PosDisplay   on line   1 open   shows \"HELLO\" / \"\"", 0), 0u) << shown;
  // The unfinished line is the one shown, its tab made visible as '.'.
  EXPECT_EQ(LineOf("PosPrinter"),
            "PosPrinter   on line   2 open   paper in, cover shut, printing \"THANK.YOU\"");
  EXPECT_EQ(LineOf("PosScale"), "PosScale     on line   0 open   weight 480 g");
  EXPECT_EQ(LineOf("PosDrawer"), "PosDrawer    on line   0 open   drawer closed");

  ASSERT_EQ(0, sim_->Write(printer, "\n", 1, &out));
  ASSERT_EQ(0, sim_->SetPaperOut(true));
  ASSERT_EQ(0, sim_->PrinterError());
  EXPECT_EQ(LineOf("PosPrinter"),
            "PosPrinter   on line   2 open   paper out, cover shut, error waiting, last \"THANK.YOU\"");
}

TEST_F(BenchState, InputWaitingAndFaultsAreListed) {
  InitializeQuietly();
  unsigned char buffer[256];
  std::int32_t out = 0;
  const std::int32_t msr = OpenDevice("PosMsr");
  ASSERT_EQ(0, sim_->Read(msr, buffer, sizeof buffer, &out));  // the test card
  EXPECT_EQ(LineOf("PosMsr"), "PosMsr       on line   1 open   no input waiting");
  ASSERT_EQ(0, sim_->SwipeCard(";123=45?"));
  EXPECT_EQ(LineOf("PosMsr"), "PosMsr       on line   1 open   8 bytes waiting");

  const int scanner = sim::FindClass("PosScanner");
  ASSERT_EQ(0, sim_->SetFault(scanner, sim::FaultKind::kOffline, 1));
  ASSERT_EQ(0, sim_->SetFault(scanner, sim::FaultKind::kError, 306));
  ASSERT_EQ(0, sim_->SetFault(scanner, sim::FaultKind::kReadOverclaim, 8));
  ASSERT_EQ(0, sim_->SetFault(scanner, sim::FaultKind::kReadOverrun, 2));
  const std::string line = LineOf("PosScanner");
  EXPECT_EQ(line.rfind("PosScanner   off line  0 open", 0), 0u) << line;
  EXPECT_NE(line.find("  [error 306]  [claims +8]  [overruns 2]"), std::string::npos) << line;
}

}  // namespace

namespace {

TEST(BenchFields, NumbersMayCarryANameAfterABlank) {
  std::int32_t value = 7;
  EXPECT_TRUE(sim::BenchNumber("306 POSERR_SYS_HW_ERROR", &value));
  EXPECT_EQ(value, 306);
  EXPECT_TRUE(sim::BenchNumber("  -12", &value));
  EXPECT_EQ(value, -12);
  EXPECT_TRUE(sim::BenchNumber("-2147483648", &value));
  EXPECT_EQ(value, INT32_MIN);
  value = 7;
  for (const char* bad : {"", " ", "lots", "12g", "0x10", "2147483648", "-2147483649",
                          "99999999999999999999999"}) {
    EXPECT_FALSE(sim::BenchNumber(bad, &value)) << bad;
  }
  EXPECT_EQ(value, 7) << "a refused text leaves the value alone";
}

TEST(BenchFields, KeysTakeTheFourEscapesOnly) {
  EXPECT_EQ(sim::BenchKeys("1250\\r"), "1250\r");
  EXPECT_EQ(sim::BenchKeys("a\\tb\\nc\\\\d"), "a\tb\nc\\d");
  // Any other backslash, and one at the very end, is typed as it is.
  EXPECT_EQ(sim::BenchKeys("\\q\\"), "\\q\\");
  EXPECT_EQ(sim::BenchKeys("\\\\r"), "\\r");
}

}  // namespace
