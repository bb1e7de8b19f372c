// The touch screen: a touch is four bytes, x then y, each 16-bit little
// endian, read whole; its notification carries y in the high word of lParam
// and x in the low one. Its tone requests are accepted and change nothing.
#include "simulator/devices/held_input.h"

namespace sim {

std::string TouchPoint(std::int32_t x, std::int32_t y) {
  return {static_cast<char>(x & 0xFF), static_cast<char>((x >> 8) & 0xFF),
          static_cast<char>(y & 0xFF), static_cast<char>((y >> 8) & 0xFF)};
}

namespace {

class Touch : public HeldInput {
 public:
  explicit Touch(const ClassDef& cls)
      : HeldInput(cls, TouchPoint(kTestTouchX, kTestTouchY), pos::kMsgTouchData) {}

  bool OwnsRequest(std::int32_t request) const override { return request / 100 == 67; }

  std::int32_t Request(std::int32_t request, DeviceEvents& events) override {
    if (request == pos::kReqTouchSoundTone || request == pos::kReqTouchSilenceTone) return 0;
    return HeldInput::Request(request, events);
  }

 protected:
  std::uint32_t Arrived(const std::string& point) const override {
    const auto byte = [&](std::size_t i) {
      return static_cast<std::uint32_t>(static_cast<unsigned char>(point[i]));
    };
    return byte(3) << 24 | byte(2) << 16 | byte(1) << 8 | byte(0);
  }
};

}  // namespace

std::unique_ptr<BenchDevice> MakeTouch(const ClassDef& cls) {
  return std::make_unique<Touch>(cls);
}

}  // namespace sim
