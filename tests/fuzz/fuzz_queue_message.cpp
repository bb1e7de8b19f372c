// Queue records as the device returns them from descriptor 0: any bytes in a block of their own size, any length
// (also negative), null data, with and without the indent of the queue lines. Every line logged is printable.
#include "decode/queue_message.h"
#include "tests/fuzz/fuzz_harness.h"

void FuzzOne(FuzzInput& input) {
  // The mode byte: bit 0 the indent; 0xFE and 0xFF null data, 0xFC and 0xFD a negative length.
  const std::uint8_t mode = input.Front();
  const std::vector<std::uint8_t> record = input.Bytes();
  const auto length = static_cast<std::int32_t>(record.size());
  ResetFuzzShell(true);
  DecodeQueueMessage((mode & 0xFE) == 0xFE ? nullptr : record.data(), (mode & 0xFE) == 0xFC ? -length - 1 : length,
                     mode & 1);
  FUZZ_CHECK(FuzzBoxes.empty() && !FuzzLines.empty());
}
