// Records read from the device API's message queue (descriptor 0), and
// their decoding into log lines.
#ifndef REVEDIZ_DECODE_QUEUE_MESSAGE_H
#define REVEDIZ_DECODE_QUEUE_MESSAGE_H

#include <cstdint>

// One queue record: four 32-bit little-endian fields, 16 bytes. For device
// on-line and off-line messages mp1 packs slot (bits 24-31), port (16-23),
// type (8-15) and class (0-7), and mp2's low byte is the subtype; for every
// other message the low 16 bits of mp1 are the device handle.
struct QueueMessage {
  std::uint32_t Opaque;  // not interpreted
  std::uint32_t Message;
  std::uint32_t mp1;
  std::uint32_t mp2;
};

inline constexpr std::int32_t kQueueMessageSize = 16;

// Reads a record from 16 bytes, little-endian whatever the host's order and
// whatever the alignment of bytes.
QueueMessage ReadQueueMessage(const void* bytes);

// Logs the record read: for a length other than 16 (or null data) the line
// "ERROR: Unknown POSQ message format!!!!" and a dump titled "POSQ Info";
// otherwise the decoded lines, each prefixed with 21 blanks when indent is
// set. Resets the name scratch after each group of lines.
void DecodeQueueMessage(const void* data, std::int32_t length, bool indent);

#endif  // REVEDIZ_DECODE_QUEUE_MESSAGE_H
