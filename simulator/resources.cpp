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

// 0 when `def` takes `value` (while it holds `current`); else its status,
// and the rule broken in *rule.
std::int32_t CheckNumber(const ResourceDef& def, std::int32_t value, std::int32_t current,
                         std::string* rule) {
  if (def.readOnly) {
    if (value == current) return 0;
    *rule = Formatted("read only, holds %d", static_cast<int>(current));
    return def.error;
  }
  if (def.allowed != nullptr) {
    std::string list;
    for (const std::int32_t* v = def.allowed; *v != kEndOfList; ++v) {
      if (*v == value) return 0;
      list += (list.empty() ? "" : ", ") + std::to_string(*v);
    }
    *rule = "not one of " + list;
    return def.error;
  }
  if (value >= def.minimum && value <= def.maximum) return 0;
  *rule = Formatted("outside %d to %d", static_cast<int>(def.minimum),
                    static_cast<int>(def.maximum));
  return def.error;
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
  std::uintptr_t window = 0;         // the handle's own window
  std::uintptr_t systemWindow = 0;   // the library's, as given
  bool windowSet = false;
  bool systemWindowSet = false;
  bool dropInputs = false;           // TestInputs 0 given
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
  // The queue handle names the library's window here, a handle's own
  // window through a device's handle.
  const bool libraryWindow = handle == nullptr || classIndex == kSystemClass;
  bool sawQueue = false;

  for (std::int32_t i = 0; i < count; ++i) {
    // A name that cannot be read, or is empty or too long, resolves to none.
    std::string name;
    ReadText(reinterpret_cast<std::intptr_t>(args[i].name), 255, &name);
    const ResourceRef ref = Resolve(classIndex, name.c_str());
    const std::intptr_t value = args[i].value;
    const std::string record = Record(i, name);
    if (ref.index < 0) {
      return Refuse(pos::kErrSysInvalidName, "%s: no such resource of %s", record.c_str(),
                    kClasses[classIndex].name);
    }
    const ResourceDef& def = kClasses[ref.classIndex].resources[ref.index];
    if (ref.queueHandle) {
      // Set Values keeps the library's window in 32 bits, so a value whose low half is 0 would leave it none.
      if (libraryWindow && (initialize ? value == 0 : static_cast<std::uint32_t>(value) == 0)) {
        return Refuse(pos::kErrSysInvalidQueue, "%s = 0: no window (%s)", record.c_str(),
                      StatusName(pos::kErrSysInvalidQueue));
      }
      sawQueue = true;
      if (libraryWindow) {
        system[kSysQueueHandle].number = static_cast<std::int32_t>(value);
        staged.systemWindow = static_cast<std::uintptr_t>(value);
        staged.systemWindowSet = true;
      } else {
        staged.window = static_cast<std::uintptr_t>(value);
        staged.windowSet = true;
      }
      continue;
    }
    std::vector<Value>& values = ref.classIndex == kGenericClass ? staged.generic
                                 : ref.classIndex == classIndex  ? staged.own
                                                                 : staged.system;
    Value& target = values[static_cast<std::size_t>(ref.index)];
    if (def.kind == Kind::kText) {
      std::string text;
      const TextRead read = ReadText(value, static_cast<std::size_t>(def.maximum), &text);
      if (read == TextRead::kBadAddress) {
        return Refuse(pos::kErrSysInvalidAddress, "%s: text at %s cannot be read",
                      record.c_str(), Address(reinterpret_cast<const void*>(value)).c_str());
      }
      if (read == TextRead::kTooLong) {
        return Refuse(def.error, "%s: length over %d (%s)", record.c_str(),
                      static_cast<int>(def.maximum), StatusName(def.error));
      }
      if (static_cast<std::int32_t>(text.size()) < def.minimum) {
        return Refuse(def.error, "%s: length %d outside %d to %d (%s)", record.c_str(),
                      static_cast<int>(text.size()), static_cast<int>(def.minimum),
                      static_cast<int>(def.maximum), StatusName(def.error));
      }
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
    std::string rule;
    const std::int32_t status = CheckNumber(def, number, target.number, &rule);
    if (status != 0) {
      return Refuse(status, "%s = %d: %s (%s)", record.c_str(), static_cast<int>(number),
                    rule.c_str(), StatusName(status));
    }
    target.number = number;
    if (ref.classIndex == kSystemClass && ref.index == kSysTestInputs) {
      staged.dropInputs = number == 0;
    }
  }
  if (initialize && !sawQueue) return Refuse(pos::kErrSysInvalidQueue, "no queue handle given");
  device.ClearRefusal();
  const std::int32_t status = FromDevice(device, device.CheckValues(staged.own, staged.taken));
  if (status != 0) return status;

  // All good: apply.
  if (staged.systemWindowSet) {
    systemWindow_ = initialize ? staged.systemWindow
                               : static_cast<std::uintptr_t>(
                                     static_cast<std::uint32_t>(system[kSysQueueHandle].number));
    system[kSysQueueHandle].number = static_cast<std::int32_t>(systemWindow_);
  }
  device.SetValues(staged.own, staged.taken);
  slot.generic = staged.generic;
  if (classIndex != kSystemClass) DeviceAt(kSystemClass).SetValues(staged.system, TakenTexts());
  if (handle != nullptr) {
    handle->name = staged.name;
    if (staged.windowSet) handle->window = staged.window;
  }
  if (staged.dropInputs) {
    for (Slot& each : bench_) each.device->DropInput();
  }
  return 0;
}

std::int32_t Simulator::GetValues(int classIndex, OpenDevice* handle, ResourceArg* args,
                                  std::int32_t count) {
  // First every record is checked, so a refused call writes nothing: the
  // records themselves take the values, so they must be writable.
  if (Accessible(args, true) < sizeof(ResourceArg) * static_cast<std::size_t>(count)) {
    return Refuse(pos::kErrSysInvalidAddress, "%d records at %s cannot be written", static_cast<int>(count),
                  Address(args).c_str());
  }
  std::vector<ResourceRef> refs;
  std::vector<std::size_t> capacities;
  for (std::int32_t i = 0; i < count; ++i) {
    std::string name;
    ReadText(reinterpret_cast<std::intptr_t>(args[i].name), 255, &name);
    const ResourceRef ref = Resolve(classIndex, name.c_str());
    const std::string record = Record(i, name);
    if (ref.index < 0) {
      return Refuse(pos::kErrSysInvalidName, "%s: no such resource of %s", record.c_str(),
                    kClasses[classIndex].name);
    }
    std::size_t capacity = 0;
    if (kClasses[ref.classIndex].resources[ref.index].kind == Kind::kText) {
      // The block holds 100 bytes when it arrived empty, else no more than
      // its own text and terminator; never more than the caller's memory.
      const char* block = reinterpret_cast<const char*>(args[i].value);
      const std::size_t writable = block != nullptr ? Accessible(block, true) : 0;
      const std::string at = Address(block);
      if (writable == 0) {
        return Refuse(pos::kErrSysInvalidAddress, "%s: block at %s cannot be written",
                      record.c_str(), at.c_str());
      }
      if (block[0] == '\0') {
        capacity = kEmptyBlockSize;
      } else {
        const char* end = static_cast<const char*>(std::memchr(block, 0, writable));
        if (end == nullptr) {
          return Refuse(pos::kErrSysInvalidAddress, "%s: block at %s has no end",
                        record.c_str(), at.c_str());
        }
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
