// Device notifications as the device library posts them, several in a row as a nested message loop may deliver them:
// any number (mostly near the decoded range) with any parameters. What is logged is printable, a box shows the line
// logged, and a notification not handled shows nothing.
#include "decode/notifications.h"
#include "tests/fuzz/fuzz_harness.h"

void FuzzOne(FuzzInput& input) {
  for (std::vector<std::uint8_t> b; (b = input.ConsumeBytes<std::uint8_t>(9)).size() == 9;) {
    const std::uint32_t wParam = b[1] | b[2] << 8 | b[3] << 16 | std::uint32_t(b[4]) << 24;
    const std::uint32_t lParam = b[5] | b[6] << 8 | b[7] << 16 | std::uint32_t(b[8]) << 24;
    const unsigned message = b[0] < 0xC0 ? 0x4200 + b[0] % 0x18 : wParam ^ lParam;
    ResetFuzzShell(true);
    const bool handled = HandleDeviceNotification(message, wParam, lParam);
    FUZZ_CHECK(handled || (FuzzLines.empty() && FuzzBoxes.empty()));
    FUZZ_CHECK(FuzzBoxes.empty() || FuzzBoxes[0] == FuzzLines[0]);
  }
}
