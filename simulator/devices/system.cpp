// PosSystem: the library's own settings (QueueHandle, Timeout, LogLevel,
// MaxDevices, LogFile, TestInputs), read and set through a handle opened on
// the class.
// That handle is no device: it neither reads nor writes, has no requests of
// its own, and cannot be acquired or locked.
#include "simulator/devices/device.h"

namespace sim {
namespace {

class System : public BenchDevice {
 public:
  explicit System(const ClassDef& cls) : BenchDevice(cls) {}

  bool Acquirable() const override { return false; }
};

}  // namespace

std::unique_ptr<BenchDevice> MakeSystem(const ClassDef& cls) {
  return std::make_unique<System>(cls);
}

}  // namespace sim
