// Device notifications as the device library posts them: any message number
// (mostly near the decoded range) with any parameters, several in a row as a
// nested message loop may deliver them.
#include <cstdint>
#include <cstring>

#include "decode/notifications.h"
#include "tests/fuzz/fuzz_shell.h"

namespace {

constexpr unsigned kFirstDecoded = 0x4201;
constexpr unsigned kLastDecoded = 0x4210;
constexpr std::size_t kNotificationSize = 9;

std::uint32_t Read32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void CheckOne(unsigned message, std::uint32_t wParam, std::uint32_t lParam) {
  ResetFuzzShell(true);
  const bool handled = HandleDeviceNotification(message, wParam, lParam);
  FUZZ_CHECK(FuzzLogLines() <= 6);
  FUZZ_CHECK(FuzzBoxes() <= 1);
  if (FuzzBoxes() == 1) FUZZ_CHECK(FuzzLastBoxEchoesLastLine());
  if (message < kFirstDecoded || message > kLastDecoded) {
    FUZZ_CHECK(!handled);
    FUZZ_CHECK(FuzzLogLines() == 0 && FuzzBoxes() == 0);
  }
  if (!handled) FUZZ_CHECK(FuzzLogLines() == 0 && FuzzBoxes() == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Each notification: one byte choosing the number, then wParam and lParam.
  for (std::size_t at = 0; at + kNotificationSize <= size; at += kNotificationSize) {
    const std::uint8_t pick = data[at];
    const std::uint32_t wParam = Read32(data + at + 1);
    const std::uint32_t lParam = Read32(data + at + 5);
    unsigned message;
    if (pick < 0xC0)
      message = 0x4200 + pick % 0x18;  // the decoded numbers and their neighbours
    else if (pick < 0xF0)
      message = wParam ^ lParam;  // anything at all
    else
      message = (pick & 1) ? 0x4201 - 1u : 0x4210 + 1u;
    CheckOne(message, wParam, lParam);
  }
  return 0;
}
