// Non-volatile memory: kNvramCapacity bytes, read and written at Cursor, in
// whole records of RecordLength bytes when written. In Mode 1 the cursor
// moves on past what was read or written; in Mode 0 it stays.
#include <cstring>

#include "simulator/devices/device.h"
#include "simulator/sim_codes.h"
#include "tables/pos_codes.h"

namespace sim {
namespace {

class Nvram : public BenchDevice {
 public:
  explicit Nvram(const ClassDef& cls) : BenchDevice(cls), memory_(kNvramCapacity) {
    for (std::int32_t b = 0; b < kNvramCapacity; ++b) {
      memory_[static_cast<std::size_t>(b)] = NvramPattern(b);
    }
  }

  std::int32_t Read(unsigned char* buffer, std::int32_t size, std::int32_t* placed) override {
    const std::int32_t cursor = values_[kNvCursor].number;
    if (cursor >= kNvramCapacity) return kErrNvramEof;
    if (size == 0) return pos::kErrSysBufferTooSmall;
    const std::int32_t n = size < kNvramCapacity - cursor ? size : kNvramCapacity - cursor;
    std::memcpy(buffer, memory_.data() + cursor, static_cast<std::size_t>(n));
    Advance(cursor + n);
    *placed = n;
    return 0;
  }

  std::int32_t Write(const unsigned char* data, std::int32_t length, std::int32_t* accepted,
                     DeviceEvents&) override {
    if (length % values_[kNvRecordLength].number != 0) return kErrNvramInvalidLengthRecord;
    const std::int32_t cursor = values_[kNvCursor].number;
    if (length > kNvramCapacity - cursor) return kErrNvramNotEnoughRoom;
    std::memcpy(memory_.data() + cursor, data, static_cast<std::size_t>(length));
    Advance(cursor + length);
    *accepted = length;
    return 0;
  }

 private:
  void Advance(std::int32_t cursor) {
    if (values_[kNvMode].number == 1) values_[kNvCursor].number = cursor;
  }

  std::vector<unsigned char> memory_;
};

}  // namespace

unsigned char NvramPattern(std::int32_t offset) {
  return static_cast<unsigned char>((offset + offset / 256) & 0xFF);
}

std::unique_ptr<BenchDevice> MakeNvram(const ClassDef& cls) {
  return std::make_unique<Nvram>(cls);
}

}  // namespace sim
