// The bar code scanner: a scanned label, read whole; its one request drops a
// label not read yet.
#include "simulator/devices/held_input.h"

namespace sim {
namespace {

class Scanner : public HeldInput {
 public:
  explicit Scanner(const ClassDef& cls) : HeldInput(cls, kTestLabel, pos::kMsgScanDataAvail) {}

  bool OwnsRequest(std::int32_t request) const override { return request / 100 == 57; }

  std::int32_t Request(std::int32_t request, DeviceEvents& events) override {
    if (request != pos::kReqScanDiscardData) return HeldInput::Request(request, events);
    pending_.clear();
    return 0;
  }
};

}  // namespace

std::unique_ptr<BenchDevice> MakeScanner(const ClassDef& cls) {
  return std::make_unique<Scanner>(cls);
}

}  // namespace sim
