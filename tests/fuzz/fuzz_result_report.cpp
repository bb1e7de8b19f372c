// The reports of a device call's outcome over any result, error code, handle and device name the call and the
// operator can produce: one box, printable save a typed name, the error's name leaving the scratch area empty, and
// an opened handle's line holding the whole name typed.
#include "app/result_report.h"
#include "tables/lookup.h"
#include "tests/fuzz/fuzz_harness.h"

void FuzzOne(FuzzInput& input) {
  const int which = input.ConsumeIntegralInRange(0, 3);  // the general report, Initialize, Open, Close
  const std::int32_t result = input.Near(-2, 2), error = input.Near(-2, 300);
  const std::int32_t handle = input.ConsumeIntegral<std::int32_t>();
  const std::string device = input.Field();
  ResetFuzzShell(which != 2);
  if (which == 0) ReportResult(result, error);
  if (which == 1) ReportInitializeResult(result, error);
  if (which == 2) ReportOpenResult(result, error, device.c_str());
  if (which == 3) ReportCloseResult(result, error, handle);
  FUZZ_CHECK(FuzzBoxes.size() == 1 && !NameScratch[0]);
  FUZZ_CHECK(which != 2 || result < 1 || (!FuzzLines.empty() && FuzzLines.back().ends_with("  Device Name :  " + device)));
}
