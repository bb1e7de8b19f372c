// The scale: a read answers the weight on it, less the zero set, as text in
// its Units (0 grams, 1 kilograms, 2 pounds); a measurement, so every read
// answers.
#include <cstdio>
#include <cstring>

#include "simulator/devices/device.h"
#include "tables/pos_codes.h"

namespace sim {
namespace {

std::string ScaleText(std::int32_t grams, std::int32_t units) {
  char text[32];
  const bool negative = grams < 0;
  const long long magnitude = negative ? -static_cast<long long>(grams) : grams;
  if (units == 0) {
    std::snprintf(text, sizeof text, "%s%lld g", negative ? "-" : "", magnitude);
  } else {
    // Thousandths of the unit: kilograms are grams; pounds are 453.59237 g.
    const long long thousandths = units == 1 ? magnitude : magnitude * 1000000LL / 453592LL;
    std::snprintf(text, sizeof text, "%s%lld.%03lld %s", negative ? "-" : "", thousandths / 1000,
                  thousandths % 1000, units == 1 ? "kg" : "lb");
  }
  return text;
}

class Scale : public BenchDevice {
 public:
  explicit Scale(const ClassDef& cls) : BenchDevice(cls) {}

  std::int32_t Read(unsigned char* buffer, std::int32_t size, std::int32_t* placed) override {
    const std::string text = ScaleText(grams_ - tare_, values_[kSclUnits].number);
    if (static_cast<std::size_t>(size) < text.size()) {
      return Refuse(pos::kErrSysBufferTooSmall, TooSmall(text.size(), size));
    }
    std::memcpy(buffer, text.data(), text.size());
    *placed = static_cast<std::int32_t>(text.size());
    return 0;
  }

  bool OwnsRequest(std::int32_t request) const override { return request / 100 == 61; }

  std::int32_t Request(std::int32_t request, DeviceEvents& events) override {
    switch (request) {
      case pos::kReqScaleZeroScale: tare_ = grams_; return 0;
      case pos::kReqScaleClearScreen: return 0;
      default: return BenchDevice::Request(request, events);
    }
  }

  std::int32_t Act(const BenchAction& action, DeviceEvents& events) override {
    if (action.act != BenchAct::kPlaceWeight) return BenchDevice::Act(action, events);
    if (action.number < 0) return pos::kErrSysOutOfBounds;
    grams_ = action.number;
    return 0;
  }

  std::string State() const override { return "weight " + std::to_string(grams_) + " g"; }

 private:
  std::int32_t grams_ = kTestWeightGrams;  // on the scale
  std::int32_t tare_ = 0;                  // the weight set as zero
};

}  // namespace

std::unique_ptr<BenchDevice> MakeScale(const ClassDef& cls) {
  return std::make_unique<Scale>(cls);
}

}  // namespace sim
