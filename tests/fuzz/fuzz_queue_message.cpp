// Queue records as the device returns them from descriptor 0: any bytes, any
// length, with and without the indent of the Read dialog's queue lines.
#include <cstdint>
#include <cstring>
#include <string>

#include "decode/queue_message.h"
#include "tests/fuzz/fuzz_shell.h"

namespace {

constexpr char kIndent[] = "                     ";  // 21 blanks

struct QueueCheck {
  bool record;  // a 16-byte record is being decoded
  bool indent;
  std::size_t line = 0;
};

void CheckLine(const char* line, std::size_t length, void* context) {
  auto* check = static_cast<QueueCheck*>(context);
  const std::size_t index = check->line++;
  if (!check->record) {
    if (index == 0) FUZZ_CHECK(std::string(line, length) == "ERROR: Unknown POSQ message format!!!!");
    if (index == 1) FUZZ_CHECK(std::string(line, length) == "      POSQ Info:  ");
    return;
  }
  FUZZ_CHECK(length > 0 && length < 200);
  if (check->indent) {
    // The on-line and off-line summary keeps two blanks before its indent.
    const std::size_t skip = std::strncmp(line, "  ", 2) == 0 && index == 0 &&
                                     std::strncmp(line + 2, kIndent, sizeof kIndent - 1) == 0
                                 ? 2
                                 : 0;
    FUZZ_CHECK(std::strncmp(line + skip, kIndent, sizeof kIndent - 1) == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t mode = data[0];
  const std::uint8_t* record = data + 1;
  const std::size_t length = size - 1;
  const bool indent = (mode & 1) != 0;
  const bool nullData = (mode & 0xFE) == 0xFE;
  const bool negative = (mode & 0xFE) == 0xFC;
  const std::int32_t passed = negative ? -static_cast<std::int32_t>(length) - 1
                                       : static_cast<std::int32_t>(length);

  // The record in a block of its own size, so a read past it is caught.
  std::string copy(reinterpret_cast<const char*>(record), length);
  const bool decoded = !nullData && passed == kQueueMessageSize;
  QueueCheck check{decoded, indent};
  ResetFuzzShell(true, CheckLine, &check);
  DecodeQueueMessage(nullData ? nullptr : copy.data(), passed, indent);

  if (decoded) {
    const QueueMessage message = ReadQueueMessage(copy.data());
    std::uint32_t fields[4];
    for (int f = 0; f < 4; ++f) {
      fields[f] = 0;
      for (int b = 3; b >= 0; --b) fields[f] = (fields[f] << 8) | record[4 * f + b];
    }
    FUZZ_CHECK(message.Opaque == fields[0] && message.Message == fields[1] &&
               message.mp1 == fields[2] && message.mp2 == fields[3]);
    FUZZ_CHECK(FuzzLogLines() == 2 || FuzzLogLines() == 3);
  } else if (nullData || passed <= 0) {
    FUZZ_CHECK(FuzzLogLines() == 1);
  } else {
    FUZZ_CHECK(FuzzLogLines() == 1 + 2 + (length + 15) / 16);
  }
  FUZZ_CHECK(FuzzBoxes() == 0);
  return 0;
}
