// The library's message queue, read through descriptor 0: 16-byte records
// {Opaque, Message, mp1, mp2}, four little-endian 32-bit fields, oldest first.
// Opaque carries a sequence number, counting from 1 since the queue was
// last emptied. Window-free.
#ifndef REVEDIZ_SIMULATOR_MESSAGE_QUEUE_H
#define REVEDIZ_SIMULATOR_MESSAGE_QUEUE_H

#include <cstddef>
#include <cstdint>
#include <deque>

namespace sim {

inline constexpr std::int32_t kQueueRecordSize = 16;

struct QueueRecord {
  std::uint32_t opaque;
  std::uint32_t message;
  std::uint32_t mp1;
  std::uint32_t mp2;
};

class MessageQueue {
 public:
  // At most this many records are kept; a record beyond drops the oldest.
  static constexpr std::size_t kCapacity = 1024;

  // Appends a record and gives it the next sequence number. Returns false
  // when the oldest record had to be dropped to make room.
  bool Push(std::uint32_t message, std::uint32_t mp1, std::uint32_t mp2);

  // Moves as many whole records as fit in `size` bytes into `buffer`, oldest
  // first, and returns the bytes placed (a multiple of 16). Records that do
  // not fit stay queued. Writes nothing when size < 16.
  std::int32_t PopInto(unsigned char* buffer, std::int32_t size);

  // Empties the queue and restarts the sequence numbers.
  void Clear();

  std::size_t Size() const { return records_.size(); }
  bool Empty() const { return records_.empty(); }
  const std::deque<QueueRecord>& Records() const { return records_; }
  std::size_t Dropped() const { return dropped_; }

 private:
  std::deque<QueueRecord> records_;
  std::uint32_t nextSequence_ = 1;
  std::size_t dropped_ = 0;
};

// Stores `value` as four little-endian bytes at `out`.
void PutLittleEndian32(unsigned char* out, std::uint32_t value);

}  // namespace sim

#endif  // REVEDIZ_SIMULATOR_MESSAGE_QUEUE_H
