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
  ResetFuzzShell(which != 2);  // a typed device name may hold any byte
  if (which == 0) ReportResult(result, error);
  if (which == 1) ReportInitializeResult(result, error);
  if (which == 2) ReportOpenResult(result, error, device.c_str());
  if (which == 3) ReportCloseResult(result, error, handle);
  // One box; a failure's line, and an opened handle's with the whole name typed, logged and shown. The error's name
  // leaves the scratch area empty.
  const bool failed = which == 0 || result < (which == 2 ? 1 : 0);
  FUZZ_CHECK(FuzzBoxes.size() == 1 && FuzzLines.size() == (failed || which >= 2) && !NameScratch[0]);
  FUZZ_CHECK(!(failed || which == 2) || FuzzBoxes[0] == FuzzLines[0]);
  FUZZ_CHECK(failed || which != 2 || FuzzLines[0].ends_with("  Device Name :  " + device));
}
