// The cash drawer: opened by request, pushed shut at the bench; a read gives
// one status byte (0 closed, 1 open), which DrawerStatus also reports.
#include "simulator/devices/device.h"
#include "tables/pos_codes.h"

namespace sim {
namespace {

class Drawer : public BenchDevice {
 public:
  explicit Drawer(const ClassDef& cls) : BenchDevice(cls) {}

  std::int32_t Read(unsigned char* buffer, std::int32_t size, std::int32_t* placed) override {
    if (size < 1) return Refuse(pos::kErrSysBufferTooSmall, TooSmall(1, size));
    buffer[0] = static_cast<unsigned char>(Status());
    *placed = 1;
    return 0;
  }

  bool OwnsRequest(std::int32_t request) const override { return request == pos::kReqTillOpenTill; }

  std::int32_t Request(std::int32_t, DeviceEvents& events) override {
    values_[kTillDrawerStatus].number = 1;
    events.NotifyCaller(pos::kMsgTillOpened, 0);
    return 0;
  }

  std::int32_t Act(const BenchAction& action, DeviceEvents& events) override {
    if (action.act != BenchAct::kCloseDrawer) return BenchDevice::Act(action, events);
    if (Status() != 0) {
      values_[kTillDrawerStatus].number = 0;
      events.NotifyHandles(pos::kMsgTillClosed, 0);
    }
    return 0;
  }

  std::string State() const override { return Status() != 0 ? "drawer open" : "drawer closed"; }

 private:
  std::int32_t Status() const { return values_[kTillDrawerStatus].number; }
};

}  // namespace

std::unique_ptr<BenchDevice> MakeDrawer(const ClassDef& cls) {
  return std::make_unique<Drawer>(cls);
}

}  // namespace sim
