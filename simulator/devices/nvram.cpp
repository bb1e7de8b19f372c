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
  // Fresh, byte N holds N + N / 256 (mod 256): block k of 256 bytes counts
  // up from k, copied from a ramp (a fresh bench is made at every initialize).
  explicit Nvram(const ClassDef& cls) : BenchDevice(cls), memory_(kNvramCapacity) {
    static_assert(kNvramCapacity % 256 == 0);
    unsigned char ramp[512];
    for (int i = 0; i < 512; ++i) ramp[i] = static_cast<unsigned char>(i);
    for (std::int32_t block = 0; block < kNvramCapacity / 256; ++block) {
      std::memcpy(memory_.data() + block * 256, ramp + (block & 0xFF), 256);
    }
  }

  std::int32_t Read(unsigned char* buffer, std::int32_t size, std::int32_t* placed) override {
    const std::int32_t cursor = values_[kNvCursor].number;
    if (cursor >= kNvramCapacity) {
      return Refuse(kErrNvramEof, "Cursor " + std::to_string(cursor) + " at the end of NVRAM");
    }
    if (size == 0) return Refuse(pos::kErrSysBufferTooSmall, TooSmall(1, size));
    const std::int32_t n = size < kNvramCapacity - cursor ? size : kNvramCapacity - cursor;
    std::memcpy(buffer, memory_.data() + cursor, static_cast<std::size_t>(n));
    Advance(cursor + n);
    *placed = n;
    return 0;
  }

  std::int32_t Write(const unsigned char* data, std::int32_t length, std::int32_t* accepted,
                     DeviceEvents&) override {
    const std::int32_t record = values_[kNvRecordLength].number;
    if (length % record != 0) {
      return Refuse(kErrNvramInvalidLengthRecord, "length " + std::to_string(length) +
                                                      " not whole records of RecordLength " +
                                                      std::to_string(record));
    }
    const std::int32_t cursor = values_[kNvCursor].number;
    if (length > kNvramCapacity - cursor) {
      return Refuse(kErrNvramNotEnoughRoom, std::to_string(length) + " bytes from Cursor " +
                                                std::to_string(cursor) + ", " +
                                                std::to_string(kNvramCapacity - cursor) + " left");
    }
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

std::unique_ptr<BenchDevice> MakeNvram(const ClassDef& cls) {
  return std::make_unique<Nvram>(cls);
}

}  // namespace sim
