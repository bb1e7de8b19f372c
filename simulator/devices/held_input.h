// A device whose input arrives at the bench and is read whole or not at all:
// the card reader, the scanner, the touch screen. The input waits until a
// read takes it (POSERR_SYS_BUFFER_TOO_SMALL keeps it); with none waiting a
// read gives POSERR_SYS_TIMEOUT. New input replaces what was not read.
#ifndef REVEDIZ_SIMULATOR_DEVICES_HELD_INPUT_H
#define REVEDIZ_SIMULATOR_DEVICES_HELD_INPUT_H

#include <cstring>
#include <string>
#include <utility>

#include "simulator/devices/device.h"
#include "tables/pos_codes.h"

namespace sim {

class HeldInput : public BenchDevice {
 public:
  // `message`: what the device's handles hear when input arrives.
  HeldInput(const ClassDef& cls, std::string initial, std::uint32_t message)
      : BenchDevice(cls), pending_(std::move(initial)), message_(message) {}

  std::int32_t Read(unsigned char* buffer, std::int32_t size, std::int32_t* placed) override {
    if (pending_.empty()) return Refuse(pos::kErrSysTimeout, "no input waiting");
    if (static_cast<std::size_t>(size) < pending_.size()) {
      return Refuse(pos::kErrSysBufferTooSmall, TooSmall(pending_.size(), size));
    }
    std::memcpy(buffer, pending_.data(), pending_.size());
    *placed = static_cast<std::int32_t>(pending_.size());
    pending_.clear();
    return 0;
  }

  std::int32_t Act(const BenchAction& action, DeviceEvents& events) override {
    if (action.act != BenchAct::kInput) return BenchDevice::Act(action, events);
    pending_ = action.input;
    events.NotifyHandles(message_, Arrived(action.input));
    return 0;
  }

  std::string State() const override { return WaitingText(pending_.size()); }

  void DropInput() override { pending_.clear(); }

 protected:
  // The lParam of the notification for `input`: by default its length.
  virtual std::uint32_t Arrived(const std::string& input) const {
    return static_cast<std::uint32_t>(input.size() & 0xFF);
  }

  std::string pending_;  // the input not read yet

 private:
  std::uint32_t message_;
};

}  // namespace sim

#endif  // REVEDIZ_SIMULATOR_DEVICES_HELD_INPUT_H
