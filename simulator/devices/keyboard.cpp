// The POS keyboard: typed keys are a stream, read in parts; each key is told
// to the handles as it is typed. Num Lock and Scroll Lock can be set when
// enabled, and each change is told with the state of both (bit 0 Num Lock,
// bit 1 Scroll Lock). Its other requests are accepted and change nothing
// that is read.
#include <cstring>

#include "simulator/devices/device.h"
#include "tables/pos_codes.h"

namespace sim {
namespace {

class Keyboard : public BenchDevice {
 public:
  explicit Keyboard(const ClassDef& cls) : BenchDevice(cls), pending_(kTestKeys) {}

  std::int32_t Read(unsigned char* buffer, std::int32_t size, std::int32_t* placed) override {
    if (pending_.empty()) return Refuse(pos::kErrSysTimeout, "no keys waiting");
    if (size == 0) return Refuse(pos::kErrSysBufferTooSmall, TooSmall(1, size));
    const std::size_t n = pending_.size() < static_cast<std::size_t>(size)
                              ? pending_.size()
                              : static_cast<std::size_t>(size);
    std::memcpy(buffer, pending_.data(), n);
    pending_.erase(0, n);
    *placed = static_cast<std::int32_t>(n);
    return 0;
  }

  bool OwnsRequest(std::int32_t request) const override { return request / 100 == 47; }

  std::int32_t Request(std::int32_t request, DeviceEvents& events) override {
    switch (request) {
      case pos::kReqKbdDisableNumLock: numLockEnabled_ = false; return 0;
      case pos::kReqKbdEnableNumLock: numLockEnabled_ = true; return 0;
      case pos::kReqKbdDisableScrollLock: scrollLockEnabled_ = false; return 0;
      case pos::kReqKbdEnableScrollLock: scrollLockEnabled_ = true; return 0;
      case pos::kReqKbdSetNumLockOff:
        return SetLock(&numLock_, numLockEnabled_, false, "Num Lock", events);
      case pos::kReqKbdSetNumLockOn:
        return SetLock(&numLock_, numLockEnabled_, true, "Num Lock", events);
      case pos::kReqKbdSetScrollLockOff:
        return SetLock(&scrollLock_, scrollLockEnabled_, false, "Scroll Lock", events);
      case pos::kReqKbdSetScrollLockOn:
        return SetLock(&scrollLock_, scrollLockEnabled_, true, "Scroll Lock", events);
      case pos::kReqKbdDisablePosFunctions:
      case pos::kReqKbdEnablePosFunctions:
      case pos::kReqKbdSilenceTone:
      case pos::kReqKbdSoundTone:
      case pos::kReqKbdSetTypematicOff:
      case pos::kReqKbdSetTypematicOn:
      case pos::kReqKbdDisableHotKeys:
      case pos::kReqKbdEnableHotKeys:
        return 0;
      default:
        return BenchDevice::Request(request, events);
    }
  }

  std::int32_t Act(const BenchAction& action, DeviceEvents& events) override {
    if (action.act != BenchAct::kInput) return BenchDevice::Act(action, events);
    pending_ += action.input;
    for (unsigned char key : action.input) events.NotifyHandles(pos::kMsgKbdWmChar, key);
    return 0;
  }

  std::string State() const override { return WaitingText(pending_.size()); }

  void DropInput() override { pending_.clear(); }

 private:
  std::int32_t SetLock(bool* lock, bool enabled, bool on, const char* name, DeviceEvents& events) {
    if (!enabled) return Refuse(pos::kErrSysCmdReject, std::string(name) + " is disabled");
    if (*lock != on) {
      *lock = on;
      const std::uint32_t state = (numLock_ ? 1u : 0u) | (scrollLock_ ? 2u : 0u);
      events.NotifyHandles(pos::kMsgKbdStatusChange, state);
    }
    return 0;
  }

  std::string pending_;  // keys not read yet
  bool numLock_ = false;
  bool scrollLock_ = false;
  bool numLockEnabled_ = true;
  bool scrollLockEnabled_ = true;
};

}  // namespace

std::unique_ptr<BenchDevice> MakeKeyboard(const ClassDef& cls) {
  return std::make_unique<Keyboard>(cls);
}

}  // namespace sim
