// The serial port, wired as a loopback: what is written comes back to be
// read, oldest first, and reading consumes it. A write is told to the
// writer (transmit complete) and its bytes to every handle (data arrived).
#include <deque>

#include "simulator/devices/device.h"
#include "tables/pos_codes.h"

namespace sim {
namespace {

// Bytes the loopback holds before a write must wait.
constexpr std::size_t kLoopbackCapacity = 65536;
constexpr std::int32_t kErrRs232PrevNotComplete = 5907;  // POSERR_RS232_PREV_NOT_COMPLETE

class Rs232 : public BenchDevice {
 public:
  explicit Rs232(const ClassDef& cls) : BenchDevice(cls) {}

  std::int32_t Read(unsigned char* buffer, std::int32_t size, std::int32_t* placed) override {
    if (loopback_.empty()) return Refuse(pos::kErrSysTimeout, "nothing looped back");
    if (size == 0) return Refuse(pos::kErrSysBufferTooSmall, TooSmall(1, size));
    std::int32_t n = 0;
    while (n < size && !loopback_.empty()) {
      buffer[n++] = loopback_.front();
      loopback_.pop_front();
    }
    *placed = n;
    return 0;
  }

  std::int32_t Write(const unsigned char* data, std::int32_t length, std::int32_t* accepted,
                     DeviceEvents& events) override {
    const std::size_t room = kLoopbackCapacity - loopback_.size();
    if (length > 0 && room == 0) {
      return Refuse(kErrRs232PrevNotComplete,
                    "loopback full (" + std::to_string(kLoopbackCapacity) + " bytes)");
    }
    const std::int32_t n =
        static_cast<std::size_t>(length) < room ? length : static_cast<std::int32_t>(room);
    loopback_.insert(loopback_.end(), data, data + n);
    *accepted = n;
    events.NotifyCaller(pos::kMsgRs232XmitComplete, static_cast<std::uint32_t>(n));
    if (n > 0) events.NotifyHandles(pos::kMsgRs232DataAvail, static_cast<std::uint32_t>(n));
    return 0;
  }

  bool OwnsRequest(std::int32_t request) const override { return request / 100 == 59; }

  std::int32_t Request(std::int32_t request, DeviceEvents& events) override {
    if (request != pos::kReqRs232SendBreak) return BenchDevice::Request(request, events);
    events.NotifyHandles(pos::kMsgRs232BreakDetected, 0);  // the loopback hears its own break
    return 0;
  }

  std::string State() const override {
    return std::to_string(loopback_.size()) + " bytes looped back";
  }

 private:
  std::deque<unsigned char> loopback_;
};

}  // namespace

std::unique_ptr<BenchDevice> MakeRs232(const ClassDef& cls) {
  return std::make_unique<Rs232>(cls);
}

}  // namespace sim
