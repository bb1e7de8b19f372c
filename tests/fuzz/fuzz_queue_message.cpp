// Queue records as the device returns them from descriptor 0: any bytes, any length, with and without the indent of
// the queue lines.
#include "decode/queue_message.h"
#include "tests/fuzz/fuzz_harness.h"

void FuzzOne(FuzzInput& input) {
  // The mode byte: bit 0 the indent; 0xFE and 0xFF null data, 0xFC and 0xFD a negative length.
  const std::uint8_t mode = input.Front();
  const std::vector<std::uint8_t> record = input.Bytes();
  const bool nullData = (mode & 0xFE) == 0xFE;
  const auto length = static_cast<std::int32_t>(record.size());
  const std::int32_t passed = (mode & 0xFE) == 0xFC ? -length - 1 : length;
  ResetFuzzShell(true);
  DecodeQueueMessage(nullData ? nullptr : record.data(), passed, mode & 1);
  FUZZ_CHECK(FuzzBoxes.empty());
  if (nullData || passed != kQueueMessageSize)  // the error line, then a dump of what there is
    return FUZZ_CHECK(FuzzLines.size() == 1 + (nullData || passed <= 0 ? 0 : 2 + (length + 15) / 16u));
  // The message is the second little-endian field: a device off or on line takes two lines, any other three.
  const std::uint32_t message = record[4] | record[5] << 8 | record[6] << 16 | std::uint32_t(record[7]) << 24;
  FUZZ_CHECK(FuzzLines.size() == (message == 0x420C || message == 0x420D ? 2u : 3u));
}
