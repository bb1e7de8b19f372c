// The power unit: its requests switch PowerState; setting the wake-up alarm
// (AlarmDay, AlarmHour, AlarmMinutes) is accepted.
#include "simulator/devices/device.h"
#include "tables/pos_codes.h"

namespace sim {
namespace {

class Power : public BenchDevice {
 public:
  explicit Power(const ClassDef& cls) : BenchDevice(cls) {}

  bool OwnsRequest(std::int32_t request) const override { return request / 100 == 64; }

  std::int32_t Request(std::int32_t request, DeviceEvents& events) override {
    switch (request) {
      case pos::kReqPowerOff: values_[kPwrPowerState].number = 0; return 0;
      case pos::kReqPowerOn: values_[kPwrPowerState].number = 1; return 0;
      case pos::kReqPowerSetAlarm: return 0;
      default: return BenchDevice::Request(request, events);
    }
  }
};

}  // namespace

std::unique_ptr<BenchDevice> MakePower(const ClassDef& cls) {
  return std::make_unique<Power>(cls);
}

}  // namespace sim
