// The reports of a device call's outcome over any result, error code, handle and device name the call and the
// operator can produce.
#include "app/result_report.h"
#include "tables/lookup.h"
#include "tests/fuzz/fuzz_harness.h"

void FuzzOne(FuzzInput& input) {
  const int which = input.ConsumeIntegralInRange(0, 3);  // the general report, Initialize, Open, Close
  // Results and codes near the interesting values as often as anywhere.
  const std::int32_t result = input.Near(-2, 2), error = input.Near(-2, 300);
  const std::int32_t handle = input.ConsumeIntegral<std::int32_t>();
  const std::string device = input.Field();
  const std::string opened = "  Handle :  " + std::to_string(result) + "  Device Name :  " + device;
  ResetFuzzShell(which != 2);  // a typed device name may hold any byte
  if (which == 0) ReportResult(result, error);
  if (which == 1) ReportInitializeResult(result, error);
  if (which == 2) ReportOpenResult(result, error, device.c_str());
  if (which == 3) ReportCloseResult(result, error, handle);

  if (which == 0 || result < (which == 2 ? 1 : 0)) {
    // The failure report: its line shown as logged, the error's name formatted and the scratch area emptied after.
    const std::string head = "  RC = " + std::to_string(result) + ", errno = (" + std::to_string(error) + ") ";
    FUZZ_CHECK(FuzzLines.size() == 1 && FuzzLines[0].starts_with(head) && FuzzLines[0].ends_with("  "));
    return FUZZ_CHECK(FuzzBoxes == std::vector<FuzzBox>{{FuzzLines[0], "Command Status"}} && !NameScratch[0]);
  }
  const std::vector<std::string> lines[] = {
      {}, {}, {opened}, {"Close Handle " + std::to_string(handle) + " successful"}};
  const FuzzBox boxes[] = {{}, {"Initialize Successful.", "POS Initialize"}, {opened, "POS Open"},
                           {"PosClose Successful.", "POS Close"}};
  FUZZ_CHECK(FuzzLines == lines[which] && FuzzBoxes == std::vector<FuzzBox>{boxes[which]});
}
