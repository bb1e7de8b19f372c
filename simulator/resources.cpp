// Resource values: records checked against the tables and the device's own
// rules and applied whole or not at all (open, SET_VALUES, a device request's
// settings, initialize), and written back by GET_VALUES.
#include <cstring>
#include <map>

#include "simulator/simulator.h"
#include "tables/pos_codes.h"

namespace sim {
namespace {

// A text block that arrives empty holds this many bytes (the tool's
// convention for an empty String value).
constexpr std::size_t kEmptyBlockSize = 100;

std::int32_t CheckNumber(const ResourceDef& def, std::int32_t value, std::int32_t current) {
  if (def.readOnly) return value == current ? 0 : def.error;
  if (def.allowed != nullptr) {
    for (const std::int32_t* v = def.allowed; *v != kEndOfList; ++v) {
      if (*v == value) return 0;
    }
    return def.error;
  }
  return (value < def.minimum || value > def.maximum) ? def.error : 0;
}

}  // namespace

// The values a call is about to change, copied so that a refused record
// leaves everything as it was.
struct Simulator::Staged {
  std::vector<Value> own;      // the device's own, or the settings for the system
  std::vector<Value> generic;
  std::vector<Value> system;   // the settings, when the device is not the system
  TakenTexts taken;
  std::string name;
  std::uintptr_t window = 0;
  bool windowSet = false;
  bool systemWindowSet = false;
};

std::int32_t Simulator::ApplyResources(int classIndex, OpenDevice* handle, const ResourceArg* args,
                                       std::int32_t count, bool initialize) {
  Slot& slot = bench_[static_cast<std::size_t>(classIndex)];
  BenchDevice& device = *slot.device;
  Staged staged;
  staged.own = device.Values();
  staged.generic = slot.generic;
  staged.system = DeviceAt(kSystemClass).Values();
  std::vector<Value>& system = classIndex == kSystemClass ? staged.own : staged.system;
  staged.name = handle != nullptr ? handle->name : std::string();
  staged.window = handle != nullptr ? handle->window : 0;
  bool sawQueue = false;

  for (std::int32_t i = 0; i < count; ++i) {
    // A name that cannot be read, or is empty or too long, resolves to none.
    std::string name;
    ReadText(reinterpret_cast<std::intptr_t>(args[i].name), 255, &name);
    const ResourceRef ref = Resolve(classIndex, name.c_str());
    const std::intptr_t value = args[i].value;
    if (ref.queueHandle) {
      if (initialize && value == 0) return pos::kErrSysInvalidQueue;
      sawQueue = true;
      if (handle == nullptr) {
        system[kSysQueueHandle].number = static_cast<std::int32_t>(value);
        staged.systemWindowSet = true;
      } else {
        staged.windowSet = true;
      }
      staged.window = static_cast<std::uintptr_t>(value);
      continue;
    }
    if (ref.index < 0) return pos::kErrSysInvalidName;
    const ResourceDef& def = kClasses[ref.classIndex].resources[ref.index];
    std::vector<Value>& values = ref.classIndex == kGenericClass ? staged.generic
                                 : ref.classIndex == classIndex  ? staged.own
                                                                 : staged.system;
    Value& target = values[static_cast<std::size_t>(ref.index)];
    if (def.kind == Kind::kText) {
      std::string text;
      const TextRead read = ReadText(value, static_cast<std::size_t>(def.maximum), &text);
      if (read == TextRead::kBadAddress) return pos::kErrSysInvalidAddress;
      if (read == TextRead::kTooLong) return def.error;
      if (static_cast<std::int32_t>(text.size()) < def.minimum) return def.error;
      if (ref.classIndex == kGenericClass && ref.index == kGenDeviceName) {
        staged.name = text;
      } else if (ref.classIndex == classIndex && device.TakesText(ref.index)) {
        staged.taken[ref.index] = text;
      } else {
        target.text = text;
      }
      continue;
    }
    const std::int32_t number = static_cast<std::int32_t>(value);
    if (ref.classIndex == kSystemClass && ref.index == kSysQueueHandle) {
      if (number == 0) return pos::kErrSysInvalidQueue;
      staged.systemWindowSet = true;
    }
    const std::int32_t status = CheckNumber(def, number, target.number);
    if (status != 0) return status;
    target.number = number;
  }
  if (initialize && !sawQueue) return pos::kErrSysInvalidQueue;
  const std::int32_t status = device.CheckValues(staged.own, staged.taken);
  if (status != 0) return status;

  // All good: apply.
  if (staged.systemWindowSet) {
    const std::uint32_t window = static_cast<std::uint32_t>(system[kSysQueueHandle].number);
    systemWindow_ = static_cast<std::uintptr_t>(window);
    if (initialize) systemWindow_ = staged.window;
    system[kSysQueueHandle].number = static_cast<std::int32_t>(systemWindow_);
  }
  device.SetValues(staged.own, staged.taken);
  slot.generic = staged.generic;
  if (classIndex != kSystemClass) DeviceAt(kSystemClass).SetValues(staged.system, TakenTexts());
  if (handle != nullptr) {
    handle->name = staged.name;
    if (staged.windowSet) handle->window = staged.window;
  }
  return 0;
}

std::int32_t Simulator::GetValues(int classIndex, OpenDevice* handle, ResourceArg* args,
                                  std::int32_t count) {
  // First every record is checked, so a refused call writes nothing.
  std::vector<ResourceRef> refs;
  std::vector<std::size_t> capacities;
  for (std::int32_t i = 0; i < count; ++i) {
    std::string name;
    ReadText(reinterpret_cast<std::intptr_t>(args[i].name), 255, &name);
    const ResourceRef ref = Resolve(classIndex, name.c_str());
    if (!ref.queueHandle && ref.index < 0) return pos::kErrSysInvalidName;
    std::size_t capacity = 0;
    if (!ref.queueHandle && kClasses[ref.classIndex].resources[ref.index].kind == Kind::kText) {
      // The block holds 100 bytes when it arrived empty, else no more than
      // its own text and terminator; never more than the caller's memory.
      const char* block = reinterpret_cast<const char*>(args[i].value);
      const std::size_t writable = block != nullptr ? Accessible(block, true) : 0;
      if (writable == 0) return pos::kErrSysInvalidAddress;
      if (block[0] == '\0') {
        capacity = kEmptyBlockSize;
      } else {
        const char* end = static_cast<const char*>(std::memchr(block, 0, writable));
        if (end == nullptr) return pos::kErrSysInvalidAddress;  // no end in its memory
        capacity = static_cast<std::size_t>(end - block) + 1;
      }
      if (capacity > writable) capacity = writable;
    }
    refs.push_back(ref);
    capacities.push_back(capacity);
  }
  const Slot& slot = bench_[static_cast<std::size_t>(classIndex)];
  for (std::int32_t i = 0; i < count; ++i) {
    const ResourceRef& ref = refs[static_cast<std::size_t>(i)];
    if (ref.queueHandle) {
      const std::uintptr_t window =
          handle != nullptr && handle->window != 0 ? handle->window : systemWindow_;
      args[i].value = static_cast<std::intptr_t>(static_cast<std::int32_t>(window));
      continue;
    }
    const ResourceDef& def = kClasses[ref.classIndex].resources[ref.index];
    const bool generic = ref.classIndex == kGenericClass;
    const BenchDevice& owner = DeviceOf(generic ? classIndex : ref.classIndex);
    const std::vector<Value>& values = generic ? slot.generic : owner.Values();
    if (def.kind == Kind::kNumber) {
      args[i].value = values[static_cast<std::size_t>(ref.index)].number;
      continue;
    }
    std::string text;
    if (generic) {
      text = ref.index == kGenDeviceName ? (handle != nullptr ? handle->name : std::string())
                                         : values[static_cast<std::size_t>(ref.index)].text;
    } else {
      text = owner.TextValue(ref.index);
    }
    char* block = reinterpret_cast<char*>(args[i].value);
    const std::size_t capacity = capacities[static_cast<std::size_t>(i)];
    const std::size_t length = text.size() < capacity - 1 ? text.size() : capacity - 1;
    std::memcpy(block, text.data(), length);
    block[length] = '\0';
  }
  return 0;
}

}  // namespace sim
