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
    FUZZ_CHECK(message != 0x420D || FuzzLines.size() == 6);  // device online: six lines, no box
    // One line, shown as logged, for the kinds of one line; offline only for three device types (handled silently for
    // the others); else nothing.
    const unsigned type = wParam >> 8 & 0xFF;
    const bool oneLine = message == 0x4201 || (message >= 0x4203 && message <= 0x4206) || message == 0x420B ||
                         message == 0x420F || message == 0x4210 ||
                         (message == 0x420C && (type == 0x24 || type == 0x48 || type == 0x54));
    FUZZ_CHECK(handled == (oneLine || message == 0x420C || message == 0x420D));
    FUZZ_CHECK(message == 0x420D || FuzzLines.size() == oneLine);
    FUZZ_CHECK(FuzzBoxes.size() == oneLine && (!oneLine || FuzzBoxes[0].text == FuzzLines[0]));
  }
}
