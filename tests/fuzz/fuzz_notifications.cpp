// Device notifications as the device library posts them, several in a row as a nested message loop may deliver them:
// any number (mostly near the decoded range) with any parameters.
#include "decode/notifications.h"
#include "tests/fuzz/fuzz_harness.h"

void FuzzOne(FuzzInput& input) {
  // Each: a byte choosing the number (decoded ones or their neighbours, any, just outside), both parameters (LE).
  for (std::vector<std::uint8_t> b; (b = input.ConsumeBytes<std::uint8_t>(9)).size() == 9;) {
    const std::uint32_t wParam = b[1] | b[2] << 8 | b[3] << 16 | std::uint32_t(b[4]) << 24;
    const std::uint32_t lParam = b[5] | b[6] << 8 | b[7] << 16 | std::uint32_t(b[8]) << 24;
    const unsigned message =
        b[0] < 0xC0 ? 0x4200 + b[0] % 0x18 : b[0] < 0xF0 ? wParam ^ lParam : (b[0] & 1) ? 0x4200 : 0x4211;
    ResetFuzzShell(true);
    const bool handled = HandleDeviceNotification(message, wParam, lParam);
    // Device online: six lines, no box. Any other: nothing, or one line shown as logged; nothing when not handled.
    if (message == 0x420D) {
      FUZZ_CHECK(handled && FuzzLines.size() == 6 && FuzzBoxes.empty());
      continue;
    }
    FUZZ_CHECK(FuzzLines.size() <= (handled ? 1u : 0u) && FuzzBoxes.size() == FuzzLines.size());
    FUZZ_CHECK(FuzzBoxes.empty() || FuzzBoxes[0] == FuzzLines[0]);
  }
}
