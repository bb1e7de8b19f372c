#include "simulator/message_queue.h"

namespace sim {

void PutLittleEndian32(unsigned char* out, std::uint32_t value) {
  out[0] = static_cast<unsigned char>(value & 0xFF);
  out[1] = static_cast<unsigned char>((value >> 8) & 0xFF);
  out[2] = static_cast<unsigned char>((value >> 16) & 0xFF);
  out[3] = static_cast<unsigned char>((value >> 24) & 0xFF);
}

bool MessageQueue::Push(std::uint32_t message, std::uint32_t mp1, std::uint32_t mp2) {
  bool kept = true;
  if (records_.size() >= kCapacity) {
    records_.pop_front();
    ++dropped_;
    kept = false;
  }
  records_.push_back(QueueRecord{nextSequence_++, message, mp1, mp2});
  return kept;
}

std::int32_t MessageQueue::PopInto(unsigned char* buffer, std::int32_t size) {
  std::int32_t placed = 0;
  while (!records_.empty() && size - placed >= kQueueRecordSize) {
    const QueueRecord& record = records_.front();
    unsigned char* out = buffer + placed;
    PutLittleEndian32(out, record.opaque);
    PutLittleEndian32(out + 4, record.message);
    PutLittleEndian32(out + 8, record.mp1);
    PutLittleEndian32(out + 12, record.mp2);
    records_.pop_front();
    placed += kQueueRecordSize;
  }
  return placed;
}

void MessageQueue::Clear() {
  records_.clear();
  nextSequence_ = 1;
  dropped_ = 0;
}

}  // namespace sim
