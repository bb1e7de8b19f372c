// What a device does where its kind has nothing of its own to say.
#include "simulator/devices/device.h"

#include <utility>

#include "tables/pos_codes.h"

namespace sim {

std::vector<Value> InitialValues(const ClassDef& cls) {
  std::vector<Value> values(static_cast<std::size_t>(cls.resourceCount));
  for (int i = 0; i < cls.resourceCount; ++i) {
    const ResourceDef& def = cls.resources[i];
    values[static_cast<std::size_t>(i)].number = def.initial;
    if (def.initialText != nullptr) values[static_cast<std::size_t>(i)].text = def.initialText;
  }
  return values;
}

BenchDevice::BenchDevice(const ClassDef& cls) : cls_(cls), values_(InitialValues(cls)) {}

bool BenchDevice::TakesText(int) const { return false; }

std::int32_t BenchDevice::CheckValues(const std::vector<Value>&, const TakenTexts&) const {
  return 0;
}

void BenchDevice::SetValues(const std::vector<Value>& values, const TakenTexts&) {
  values_ = values;
}

std::string BenchDevice::TextValue(int resource) const {
  return values_[static_cast<std::size_t>(resource)].text;
}

std::int32_t BenchDevice::Read(unsigned char*, std::int32_t, std::int32_t*) {
  return Refuse(pos::kErrSysFunctionNotSupported, std::string(cls_.name) + " does not read");
}

std::int32_t BenchDevice::Write(const unsigned char*, std::int32_t, std::int32_t*, DeviceEvents&) {
  return Refuse(pos::kErrSysFunctionNotSupported, std::string(cls_.name) + " does not write");
}

bool BenchDevice::OwnsRequest(std::int32_t) const { return false; }

std::int32_t BenchDevice::Request(std::int32_t request, DeviceEvents&) {
  return Refuse(pos::kErrSysInvalidRequest,
                "request " + std::to_string(request) + " is not one of " + cls_.name);
}

void BenchDevice::DropInput() {}

std::int32_t BenchDevice::Refuse(std::int32_t status, std::string why) const {
  refusal_ = std::move(why);
  return status;
}

bool BenchDevice::Acquirable() const { return true; }

std::int32_t BenchDevice::Act(const BenchAction&, DeviceEvents&) {
  return pos::kErrSysInvalidRequest;
}

bool BenchDevice::Holds(BenchAct) const { return false; }

std::string BenchDevice::State() const { return ""; }

bool BenchDevice::TextLines(std::vector<std::string>*) const { return false; }

std::string BenchQuoted(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  // Control bytes would break the list line: shown as '.'.
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) == 0x7F) c = '.';
  }
  return "\"" + text + "\"";
}

std::string TooSmall(std::size_t needed, std::int32_t size) {
  return "buffer of " + std::to_string(size) + " bytes, " + std::to_string(needed) + " needed";
}

std::string WaitingText(std::size_t bytes) {
  if (bytes == 0) return "no input waiting";
  return std::to_string(bytes) + " bytes waiting";
}

}  // namespace sim
