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
  if (nullData || passed != kQueueMessageSize) {  // the error line, then a dump of what there is
    FUZZ_CHECK(FuzzLines.size() == 1 + (nullData || passed <= 0 ? 0 : 2 + (length + 15) / 16u));
    return FUZZ_CHECK(FuzzLines[0] == "ERROR: Unknown POSQ message format!!!!" && FuzzBoxes.empty());
  }
  // Four little-endian fields: Opaque (never shown), the message, mp1 and mp2.
  std::uint32_t field[4] = {};
  for (int b = 15; b >= 0; --b) field[b / 4] = field[b / 4] << 8 | record[b];
  const std::string indent((mode & 1) * 21, ' ');
  char lines[3][64];
  std::snprintf(lines[0], 64, "POSQ Message from Handle %2u: ", field[2] & 0xFFFF);
  std::snprintf(lines[1], 64, "     mp1 = 0x%08X (%lu)", field[2], static_cast<unsigned long>(field[2]));
  std::snprintf(lines[2], 64, "     mp2 = 0x%08X (%lu)", field[3], static_cast<unsigned long>(field[3]));
  if (field[1] == 0x420C || field[1] == 0x420D)  // a device off or on line: two lines
    FUZZ_CHECK(FuzzLines.size() == 2 && FuzzLines[0].starts_with("  " + indent + "POSM_SYS_DEVICE_O") &&
               FuzzLines[1].starts_with(indent + "*** Device: "));
  else
    FUZZ_CHECK(FuzzLines.size() == 3 && FuzzLines[0].starts_with(indent + lines[0]) &&
               FuzzLines[1] == indent + lines[1] && FuzzLines[2] == indent + lines[2]);
  FUZZ_CHECK(FuzzBoxes.empty());
}
