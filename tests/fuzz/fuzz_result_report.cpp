// The reports of a device call's outcome over any result, error code, handle
// and device name the call and the operator can produce.
#include <cstdint>
#include <cstring>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "app/result_report.h"
#include "tables/lookup.h"
#include "tests/fuzz/fuzz_shell.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const int which = input.ConsumeIntegralInRange<int>(0, 3);
  // Results and codes near the interesting values as often as anywhere.
  const std::int32_t result = input.ConsumeBool() ? input.ConsumeIntegralInRange<std::int32_t>(-2, 2)
                                                  : input.ConsumeIntegral<std::int32_t>();
  const std::int32_t error = input.ConsumeBool() ? input.ConsumeIntegralInRange<std::int32_t>(-2, 300)
                                                 : input.ConsumeIntegral<std::int32_t>();
  const std::int32_t handle = input.ConsumeIntegral<std::int32_t>();
  const std::string deviceName = input.ConsumeRandomLengthString(253).c_str();

  ResetFuzzShell(which != 2);  // a typed device name may hold any byte
  bool failure;
  switch (which) {
    case 0:
      ReportResult(result, error);
      failure = true;
      break;
    case 1:
      ReportInitializeResult(result, error);
      failure = result < 0;
      break;
    case 2:
      ReportOpenResult(result, error, deviceName.c_str());
      failure = result <= 0;
      if (!failure) FUZZ_CHECK(FuzzLogLines() == 1 && FuzzLastBoxEchoesLastLine());
      break;
    default:
      ReportCloseResult(result, error, handle);
      failure = result < 0;
      if (!failure) FUZZ_CHECK(FuzzLogLines() == 1);
      break;
  }
  FUZZ_CHECK(FuzzBoxes() == 1);
  if (failure) {
    FUZZ_CHECK(FuzzLogLines() == 1 && FuzzLastBoxEchoesLastLine());
    FUZZ_CHECK(std::strcmp(FuzzLastBoxCaption(), "Command Status") == 0);
    // The error's name was formatted and the scratch area emptied after.
    FUZZ_CHECK(NameScratch[0] == '\0');
  }
  FUZZ_CHECK(FuzzLogLines() <= 1);
  return 0;
}
