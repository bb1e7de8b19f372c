// The alarm: it sounds and is silenced by request, with the tone of its
// settings; neither changes anything that is read.
#include "simulator/devices/device.h"
#include "tables/pos_codes.h"

namespace sim {
namespace {

class Alarm : public BenchDevice {
 public:
  explicit Alarm(const ClassDef& cls) : BenchDevice(cls) {}

  bool OwnsRequest(std::int32_t request) const override {
    return request == pos::kReqAlarmSoundAlarm || request == pos::kReqAlarmSilenceAlarm;
  }

  std::int32_t Request(std::int32_t, DeviceEvents&) override { return 0; }
};

}  // namespace

std::unique_ptr<BenchDevice> MakeAlarm(const ClassDef& cls) {
  return std::make_unique<Alarm>(cls);
}

}  // namespace sim
