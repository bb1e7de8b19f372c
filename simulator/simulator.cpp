#include "simulator/simulator.h"

#include <cstring>

#include "simulator/sim_codes.h"
#include "tables/code_tables.h"
#include "tables/pos_codes.h"

namespace sim {
namespace {

// Whether the printer cannot print now (no paper, cover open, or an error
// waiting); a waiting error is used up by the print it fails.
bool PrinterHalted(Device& printer, JournalBlock& block) {
  if (!printer.paperOut && !printer.coverOpen && !printer.errorPending) return false;
  block.Line("  # printer halted:%s%s%s", printer.paperOut ? " paper out" : "",
             printer.coverOpen ? " cover open" : "", printer.errorPending ? " error" : "");
  printer.errorPending = false;
  return true;
}

// More records than any caller could mean: refused as a bad count rather
// than walked.
constexpr std::int32_t kMaxArgs = 256;
// A text block that arrives empty holds this many bytes (the tool's
// convention for an empty String value).
constexpr std::size_t kEmptyBlockSize = 100;
// Printed lines kept; older ones are dropped.
constexpr std::size_t kPrinterMemory = 10000;
// Bytes the serial loopback holds before a write must wait.
constexpr std::size_t kLoopbackCapacity = 65536;
// Handles stay within one byte, so that byte 0 of a notification's wParam
// names the handle.
constexpr std::int32_t kLastHandle = 255;
constexpr char kQueueHandleName[] = "queueHandle";

const char* RequestName(std::int32_t request) {
  for (const CodeName* row = IoctlRequestNames; row->Name != nullptr; ++row) {
    if (row->Code == request) return row->Name;
  }
  return nullptr;
}

bool IsSystemRequest(std::int32_t request) {
  return request >= pos::kReqSysAcquireDevice && request <= pos::kReqSysUnlockDevice;
}

// The device model a (non-system) request belongs to, by its code's family.
Model RequestModel(std::int32_t request) {
  switch (request) {
    case pos::kReqAlarmSilenceAlarm:
    case pos::kReqAlarmSoundAlarm:
      return Model::kAlarm;
    case pos::kReqTillOpenTill:
      return Model::kDrawer;
    default:
      break;
  }
  switch (request / 100) {
    case 44: return Model::kDisplay;
    case 47: return Model::kKeyboard;
    case 49: return Model::kPrinter;
    case 57: return Model::kScanner;
    case 59: return Model::kRs232;
    case 61: return Model::kScale;
    case 64: return Model::kPower;
    case 67: return Model::kTouch;
    default: return Model::kGeneric;
  }
}

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

std::vector<Value> InitialValues(const ClassDef& cls) {
  std::vector<Value> values(static_cast<std::size_t>(cls.resourceCount));
  for (int i = 0; i < cls.resourceCount; ++i) {
    const ResourceDef& def = cls.resources[i];
    values[static_cast<std::size_t>(i)].number = def.initial;
    if (def.initialText != nullptr) values[static_cast<std::size_t>(i)].text = def.initialText;
  }
  return values;
}

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

}  // namespace

unsigned char NvramPattern(std::int32_t offset) {
  return static_cast<unsigned char>((offset + offset / 256) & 0xFF);
}

// The values a call is about to change, copied so that a refused record
// leaves everything as it was.
struct Simulator::Staged {
  std::vector<Value> own;
  std::vector<Value> generic;
  std::vector<Value> system;
  std::string name;
  std::uintptr_t window = 0;
  bool windowSet = false;
  bool systemWindowSet = false;
  bool displayTextSet = false;
  std::string displayText;
};

Simulator::Simulator(const Platform& platform) : platform_(platform) { ResetBench(); }

// ---------------------------------------------------------------------------
// Helpers

void Simulator::Flush(JournalBlock& block) {
  if (platform_.journal != nullptr && !block.Empty()) {
    platform_.journal(block.Text().data(), block.Text().size());
  }
  block.Clear();
}

std::size_t Simulator::Accessible(const void* address, bool forWrite) const {
  if (platform_.access != nullptr) return platform_.access(address, forWrite);
  // Windows maps neither the lowest nor the highest 64 KiB: a small number
  // (or a small negative one, such as -1) passed where a pointer belongs
  // lands there.
  const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(address);
  return at < 0x10000 || at > UINTPTR_MAX - 0x10000 ? 0 : SIZE_MAX - at;
}

TextRead Simulator::ReadText(std::intptr_t address, std::size_t limit, std::string* text) const {
  text->clear();
  const char* p = reinterpret_cast<const char*>(address);
  const std::size_t available = p != nullptr ? Accessible(p, false) : 0;
  if (available == 0) return TextRead::kBadAddress;
  const std::size_t scan = available < limit + 1 ? available : limit + 1;
  const void* end = std::memchr(p, 0, scan);
  if (end == nullptr) {
    if (scan == available) return TextRead::kBadAddress;  // no end in readable memory
    text->assign(p, limit);
    return TextRead::kTooLong;
  }
  text->assign(p, static_cast<std::size_t>(static_cast<const char*>(end) - p));
  return TextRead::kOk;
}

OpenDevice* Simulator::FindOpen(std::int32_t handle) {
  for (OpenDevice& open : open_) {
    if (open.handle == handle) return &open;
  }
  return nullptr;
}

std::int32_t Simulator::NextHandle() const {
  std::int32_t candidate = lastHandle_;
  for (std::int32_t tries = 0; tries < kLastHandle; ++tries) {
    candidate = candidate >= kLastHandle ? 1 : candidate + 1;
    bool used = false;
    for (const OpenDevice& open : open_) used = used || open.handle == candidate;
    if (!used) return candidate;
  }
  return 0;
}

ResourceRef Simulator::Resolve(int classIndex, const char* name) const {
  ResourceRef ref;
  if (name == nullptr) return ref;
  if (std::strcmp(name, kQueueHandleName) == 0) {
    ref.queueHandle = true;
    return ref;
  }
  // A device knows its own resources, those every device has, and the
  // library settings; the system knows only the settings.
  const int order[] = {classIndex, kGenericClass, kSystemClass};
  const int tables = classIndex == kSystemClass ? 1 : 3;
  for (int t = 0; t < tables; ++t) {
    const int index = FindResource(order[t], name);
    if (index >= 0) {
      ref.classIndex = order[t];
      ref.index = index;
      return ref;
    }
  }
  return ref;
}

std::int32_t Simulator::CheckArgs(const ResourceArg* args, std::int32_t count) const {
  if (count < 0 || count > kMaxArgs) return pos::kErrSysInvalidNargs;
  if (count > 0 && Accessible(args, false) < sizeof(ResourceArg) * static_cast<std::size_t>(count))
    return pos::kErrSysInvalidAddress;
  return 0;
}

void Simulator::JournalArgs(JournalBlock& block, const char* tag, int classIndex,
                            const ResourceArg* args, std::int32_t count) const {
  if (CheckArgs(args, count) != 0) return;
  for (std::int32_t i = 0; i < count; ++i) {
    std::string name;
    if (ReadText(reinterpret_cast<std::intptr_t>(args[i].name), kJournalTextLimit, &name) !=
        TextRead::kOk) {
      name.clear();
    }
    block.Append("  %s[%d] %s = ", tag, static_cast<int>(i),
                 name.empty() ? "\"\"" : name.c_str());
    const ResourceRef ref = Resolve(classIndex, name.empty() ? nullptr : name.c_str());
    const std::int32_t number = static_cast<std::int32_t>(args[i].value);
    if (ref.queueHandle) {
      block.Append("0x%08X", static_cast<unsigned>(number));
    } else if (ref.index >= 0 && kClasses[ref.classIndex].resources[ref.index].kind == Kind::kText) {
      std::string text;
      const TextRead read = ReadText(args[i].value, kJournalTextLimit, &text);
      if (args[i].value == 0) {
        block.Append("(null)");
      } else if (read == TextRead::kBadAddress) {
        block.Append("(bad address 0x%08X)", static_cast<unsigned>(number));
      } else {
        block.Append("\"%s%s\"", text.c_str(), read == TextRead::kTooLong ? "..." : "");
      }
    } else {
      block.Append("%d", static_cast<int>(number));
    }
    block.EndLine();
  }
}

std::uint32_t Simulator::DeviceWord(int classIndex, std::uint32_t low) const {
  const Device& device = bench_[static_cast<std::size_t>(classIndex)];
  const std::uint32_t slot = static_cast<std::uint32_t>(device.generic[kGenSlot].number) & 0xFF;
  const std::uint32_t port = static_cast<std::uint32_t>(device.generic[kGenPort].number) & 0xFF;
  return slot << 24 | port << 16 | low;
}

// ---------------------------------------------------------------------------
// Notifications

void Simulator::Post(std::uintptr_t window, std::uint32_t message, std::uint32_t wParam,
                     std::uint32_t lParam, JournalBlock& block) {
  if (window == 0) {
    block.Line("  # not posted 0x%04X: no queue window", static_cast<unsigned>(message));
    return;
  }
  const bool posted = platform_.post != nullptr && platform_.post(window, message, wParam, lParam);
  block.Line("  # %s 0x%04X wParam=0x%08X lParam=0x%08X to 0x%08X",
             posted ? "posted" : "post failed", static_cast<unsigned>(message),
             static_cast<unsigned>(wParam), static_cast<unsigned>(lParam),
             static_cast<unsigned>(window));
}

void Simulator::Enqueue(std::uint32_t message, std::uint32_t mp1, std::uint32_t mp2,
                        JournalBlock& block) {
  if (!queue_.Push(message, mp1, mp2)) block.Line("  # queue full: oldest record dropped");
}

void Simulator::NotifyDevice(int classIndex, std::uint32_t message, JournalBlock& block) {
  const ClassDef& cls = kClasses[classIndex];
  const std::uint32_t wParam =
      DeviceWord(classIndex, static_cast<std::uint32_t>(cls.type & 0xFF) << 8 |
                                 static_cast<std::uint32_t>(cls.classCode & 0xFF));
  const std::uint32_t lParam = static_cast<std::uint32_t>(cls.subtype & 0xFF);
  Post(systemWindow_, message, wParam, lParam, block);
  // Handles that asked for their notifications elsewhere hear of it too.
  std::vector<std::uintptr_t> told{systemWindow_};
  for (const OpenDevice& open : open_) {
    if (open.classIndex != classIndex || open.window == 0) continue;
    bool already = false;
    for (std::uintptr_t w : told) already = already || w == open.window;
    if (already) continue;
    told.push_back(open.window);
    Post(open.window, message, wParam, lParam, block);
  }
  Enqueue(message, wParam, lParam, block);
}

void Simulator::NotifyHandles(int classIndex, std::uint32_t message, std::uint32_t lParam,
                              JournalBlock& block) {
  for (const OpenDevice& open : open_) {
    if (open.classIndex == classIndex) NotifyHandle(open, message, lParam, block);
  }
}

void Simulator::NotifyHandle(const OpenDevice& open, std::uint32_t message, std::uint32_t lParam,
                             JournalBlock& block) {
  const ClassDef& cls = kClasses[open.classIndex];
  const std::uint32_t handle = static_cast<std::uint32_t>(open.handle);
  const std::uint32_t wParam = DeviceWord(
      open.classIndex, static_cast<std::uint32_t>(cls.type & 0xFF) << 8 | (handle & 0xFF));
  Post(open.window != 0 ? open.window : systemWindow_, message, wParam, lParam, block);
  Enqueue(message, DeviceWord(open.classIndex, handle & 0xFFFF), lParam, block);
}

// ---------------------------------------------------------------------------
// Bench state

void Simulator::ResetBench() {
  bench_.assign(kClassCount, Device{});
  for (int i = 0; i < kClassCount; ++i) {
    const ClassDef& cls = kClasses[i];
    Device& device = bench_[static_cast<std::size_t>(i)];
    device.values = InitialValues(cls);
    device.generic = InitialValues(kClasses[kGenericClass]);
    device.generic[kGenSlot].number = cls.slot;
    device.generic[kGenPort].number = cls.port;
    device.generic[kGenDeviceType].number = cls.type;
    device.generic[kGenSubtype].number = cls.subtype;
    switch (cls.model) {
      case Model::kDisplay:
        device.screen.assign(static_cast<std::size_t>(device.values[kDspRows].number *
                                                      device.values[kDspColumns].number),
                             ' ');
        break;
      case Model::kNvram:
        device.memory.resize(kNvramCapacity);
        for (std::int32_t b = 0; b < kNvramCapacity; ++b) {
          device.memory[static_cast<std::size_t>(b)] = NvramPattern(b);
        }
        break;
      case Model::kMsr: device.pending = kTestCardTracks; break;
      case Model::kScanner: device.pending = kTestLabel; break;
      case Model::kKeyboard: device.pending = kTestKeys; break;
      case Model::kTouch:
        device.pending = {static_cast<char>(kTestTouchX & 0xFF),
                          static_cast<char>(kTestTouchX >> 8),
                          static_cast<char>(kTestTouchY & 0xFF),
                          static_cast<char>(kTestTouchY >> 8)};
        break;
      case Model::kScale: device.weightGrams = kTestWeightGrams; break;
      default: break;
    }
  }
  open_.clear();
  lastHandle_ = 0;
  queue_.Clear();
}

std::vector<std::string> Simulator::DisplayLines() const {
  const Device& display = bench_[static_cast<std::size_t>(ClassOfModel(Model::kDisplay))];
  const std::size_t columns = static_cast<std::size_t>(display.values[kDspColumns].number);
  std::vector<std::string> lines;
  for (std::size_t at = 0; at + columns <= display.screen.size(); at += columns) {
    lines.push_back(display.screen.substr(at, columns));
  }
  return lines;
}

bool Simulator::DeviceText(int classIndex, std::string* text) const {
  text->clear();
  if (classIndex < 0 || classIndex >= kClassCount) return false;
  const Device& device = bench_[static_cast<std::size_t>(classIndex)];
  switch (kClasses[classIndex].model) {
    case Model::kDisplay:
      for (const std::string& line : DisplayLines()) *text += line + "\n";
      return true;
    case Model::kPrinter:
      for (const std::string& line : device.printed) *text += line + "\n";
      if (!device.printLine.empty()) *text += device.printLine + "\n";
      return true;
    default:
      return false;
  }
}

int FaultTarget(const char* name) {
  if (name == nullptr || name[0] == '\0') return kAllTargets;
  if (std::strcmp(name, "Queue") == 0) return kQueueTarget;
  const int index = FindClass(name);
  return index > kGenericClass ? index : -2;
}

// ---------------------------------------------------------------------------
// Resources

std::int32_t Simulator::ApplyResources(int classIndex, OpenDevice* handle, const ResourceArg* args,
                                       std::int32_t count, bool initialize) {
  Device& device = bench_[static_cast<std::size_t>(classIndex)];
  Staged staged;
  staged.own = device.values;
  staged.generic = device.generic;
  staged.system = bench_[kSystemClass].values;
  staged.name = handle != nullptr ? handle->name : std::string();
  staged.window = handle != nullptr ? handle->window : 0;
  bool sawQueue = false;

  for (std::int32_t i = 0; i < count; ++i) {
    std::string name;
    if (ReadText(reinterpret_cast<std::intptr_t>(args[i].name), 255, &name) != TextRead::kOk ||
        name.empty()) {
      return pos::kErrSysInvalidName;
    }
    const ResourceRef ref = Resolve(classIndex, name.c_str());
    const std::intptr_t value = args[i].value;
    if (ref.queueHandle) {
      if (initialize && value == 0) return pos::kErrSysInvalidQueue;
      sawQueue = true;
      if (handle == nullptr) {
        staged.system[kSysQueueHandle].number = static_cast<std::int32_t>(value);
        staged.systemWindowSet = true;
        staged.window = static_cast<std::uintptr_t>(value);
      } else {
        staged.window = static_cast<std::uintptr_t>(value);
        staged.windowSet = true;
      }
      continue;
    }
    if (ref.index < 0) return pos::kErrSysInvalidName;
    const ResourceDef& def = kClasses[ref.classIndex].resources[ref.index];
    std::vector<Value>& values = ref.classIndex == kSystemClass    ? staged.system
                                 : ref.classIndex == kGenericClass ? staged.generic
                                                                   : staged.own;
    Value& target = values[static_cast<std::size_t>(ref.index)];
    if (def.kind == Kind::kText) {
      std::string text;
      const TextRead read = ReadText(value, static_cast<std::size_t>(def.maximum), &text);
      if (read == TextRead::kBadAddress) return pos::kErrSysInvalidAddress;
      if (read == TextRead::kTooLong) return def.error;
      if (static_cast<std::int32_t>(text.size()) < def.minimum) return def.error;
      if (ref.classIndex == kGenericClass && ref.index == kGenDeviceName) {
        staged.name = text;
      } else if (kClasses[ref.classIndex].model == Model::kDisplay &&
                 ref.index == kDspDisplayText) {
        staged.displayTextSet = true;
        staged.displayText = text;
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

  // Rules between values of one device.
  if (kClasses[classIndex].model == Model::kDisplay) {
    if (staged.own[kDspCursorRow].number >= staged.own[kDspRows].number ||
        staged.own[kDspCursorColumn].number >= staged.own[kDspColumns].number) {
      return kErrDspInvalidCursor;
    }
    if (staged.displayTextSet &&
        static_cast<std::int32_t>(staged.displayText.size()) >
            staged.own[kDspRows].number * staged.own[kDspColumns].number) {
      return kErrDspInvalidSize;
    }
  }

  // All good: apply.
  if (kClasses[classIndex].model == Model::kDisplay) {
    const std::int32_t oldRows = device.values[kDspRows].number;
    const std::int32_t oldColumns = device.values[kDspColumns].number;
    const std::int32_t rows = staged.own[kDspRows].number;
    const std::int32_t columns = staged.own[kDspColumns].number;
    if (rows != oldRows || columns != oldColumns) {
      std::string screen(static_cast<std::size_t>(rows * columns), ' ');
      for (std::int32_t r = 0; r < rows && r < oldRows; ++r) {
        for (std::int32_t c = 0; c < columns && c < oldColumns; ++c) {
          screen[static_cast<std::size_t>(r * columns + c)] =
              device.screen[static_cast<std::size_t>(r * oldColumns + c)];
        }
      }
      device.screen = screen;
    }
  }
  device.values = staged.own;
  device.generic = staged.generic;
  bench_[kSystemClass].values = staged.system;
  if (staged.systemWindowSet) {
    systemWindow_ = static_cast<std::uintptr_t>(
        static_cast<std::uint32_t>(staged.system[kSysQueueHandle].number));
    if (initialize) systemWindow_ = staged.window;
    bench_[kSystemClass].values[kSysQueueHandle].number = static_cast<std::int32_t>(systemWindow_);
  }
  if (handle != nullptr) {
    handle->name = staged.name;
    if (staged.windowSet) handle->window = staged.window;
  }
  if (staged.displayTextSet) {
    device.screen.assign(device.screen.size(), ' ');
    device.values[kDspCursorRow].number = 0;
    device.values[kDspCursorColumn].number = 0;
    WriteDisplay(device, reinterpret_cast<const unsigned char*>(staged.displayText.data()),
                 static_cast<std::int32_t>(staged.displayText.size()));
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
    if (ReadText(reinterpret_cast<std::intptr_t>(args[i].name), 255, &name) != TextRead::kOk ||
        name.empty()) {
      return pos::kErrSysInvalidName;
    }
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
  const Device& device = bench_[static_cast<std::size_t>(classIndex)];
  for (std::int32_t i = 0; i < count; ++i) {
    const ResourceRef& ref = refs[static_cast<std::size_t>(i)];
    if (ref.queueHandle) {
      const std::uintptr_t window =
          handle != nullptr && handle->window != 0 ? handle->window : systemWindow_;
      args[i].value = static_cast<std::intptr_t>(static_cast<std::int32_t>(window));
      continue;
    }
    const ResourceDef& def = kClasses[ref.classIndex].resources[ref.index];
    const Value& current =
        (ref.classIndex == kSystemClass    ? bench_[kSystemClass].values
         : ref.classIndex == kGenericClass ? device.generic
                                           : device.values)[static_cast<std::size_t>(ref.index)];
    if (def.kind == Kind::kNumber) {
      args[i].value = current.number;
      continue;
    }
    std::string text = current.text;
    if (ref.classIndex == kGenericClass && ref.index == kGenDeviceName) {
      text = handle != nullptr ? handle->name : std::string();
    } else if (kClasses[ref.classIndex].model == Model::kDisplay && ref.index == kDspDisplayText) {
      text = device.screen;
    }
    char* block = reinterpret_cast<char*>(args[i].value);
    const std::size_t capacity = capacities[static_cast<std::size_t>(i)];
    const std::size_t length = text.size() < capacity - 1 ? text.size() : capacity - 1;
    std::memcpy(block, text.data(), length);
    block[length] = '\0';
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Devices

void Simulator::WriteDisplay(Device& device, const unsigned char* data, std::int32_t length) {
  // Characters go at the cursor, which moves right and on to the next row;
  // past the last position it returns home (the display's normal mode). CR
  // returns to column 0, LF moves down a row, BS back a column; other
  // control bytes are ignored.
  const std::int32_t rows = device.values[kDspRows].number;
  const std::int32_t columns = device.values[kDspColumns].number;
  std::int32_t row = device.values[kDspCursorRow].number;
  std::int32_t column = device.values[kDspCursorColumn].number;
  for (std::int32_t i = 0; i < length; ++i) {
    const unsigned char byte = data[i];
    if (byte == '\r') {
      column = 0;
    } else if (byte == '\n') {
      row = (row + 1) % rows;
    } else if (byte == '\b') {
      if (column > 0) --column;
    } else if (byte >= 0x20) {
      device.screen[static_cast<std::size_t>(row * columns + column)] = static_cast<char>(byte);
      if (++column == columns) {
        column = 0;
        row = (row + 1) % rows;
      }
    }
  }
  device.values[kDspCursorRow].number = row;
  device.values[kDspCursorColumn].number = column;
}

void Simulator::PrintBytes(Device& device, const unsigned char* data, std::int32_t length) {
  // LF ends a line, CR is dropped, a line reaching CharsPerLine wraps.
  const std::size_t width = static_cast<std::size_t>(device.values[kPrnCharsPerLine].number);
  for (std::int32_t i = 0; i < length; ++i) {
    const unsigned char byte = data[i];
    if (byte == '\r') continue;
    if (byte != '\n') device.printLine.push_back(static_cast<char>(byte));
    if (byte == '\n' || device.printLine.size() >= width) {
      device.printed.push_back(device.printLine);
      device.printLine.clear();
      if (device.printed.size() > kPrinterMemory) device.printed.erase(device.printed.begin());
    }
  }
}

std::int32_t Simulator::ReadDevice(OpenDevice& open, unsigned char* buffer, std::int32_t size,
                                   std::int32_t* placed) {
  Device& device = bench_[static_cast<std::size_t>(open.classIndex)];
  *placed = 0;
  auto whole = [&](const std::string& item) -> std::int32_t {
    if (static_cast<std::size_t>(size) < item.size()) return pos::kErrSysBufferTooSmall;
    std::memcpy(buffer, item.data(), item.size());
    *placed = static_cast<std::int32_t>(item.size());
    return 0;
  };
  switch (kClasses[open.classIndex].model) {
    case Model::kDisplay: {
      if (size == 0) return pos::kErrSysBufferTooSmall;
      const std::size_t n = device.screen.size() < static_cast<std::size_t>(size)
                                ? device.screen.size()
                                : static_cast<std::size_t>(size);
      std::memcpy(buffer, device.screen.data(), n);
      *placed = static_cast<std::int32_t>(n);
      return 0;
    }
    case Model::kDrawer:
      if (size < 1) return pos::kErrSysBufferTooSmall;
      buffer[0] = static_cast<unsigned char>(device.values[kTillDrawerStatus].number);
      *placed = 1;
      return 0;
    case Model::kMsr:
    case Model::kScanner:
    case Model::kTouch: {
      if (device.pending.empty()) return pos::kErrSysTimeout;
      const std::int32_t status = whole(device.pending);
      if (status == 0) device.pending.clear();
      return status;
    }
    case Model::kKeyboard: {
      if (device.pending.empty()) return pos::kErrSysTimeout;
      if (size == 0) return pos::kErrSysBufferTooSmall;
      const std::size_t n = device.pending.size() < static_cast<std::size_t>(size)
                                ? device.pending.size()
                                : static_cast<std::size_t>(size);
      std::memcpy(buffer, device.pending.data(), n);
      device.pending.erase(0, n);
      *placed = static_cast<std::int32_t>(n);
      return 0;
    }
    case Model::kScale:
      return whole(ScaleText(device.weightGrams - device.tareGrams, device.values[kSclUnits].number));
    case Model::kRs232: {
      if (device.loopback.empty()) return pos::kErrSysTimeout;
      if (size == 0) return pos::kErrSysBufferTooSmall;
      std::int32_t n = 0;
      while (n < size && !device.loopback.empty()) {
        buffer[n++] = device.loopback.front();
        device.loopback.pop_front();
      }
      *placed = n;
      return 0;
    }
    case Model::kNvram: {
      const std::int32_t cursor = device.values[kNvCursor].number;
      if (cursor >= kNvramCapacity) return kErrNvramEof;
      if (size == 0) return pos::kErrSysBufferTooSmall;
      const std::int32_t n = size < kNvramCapacity - cursor ? size : kNvramCapacity - cursor;
      std::memcpy(buffer, device.memory.data() + cursor, static_cast<std::size_t>(n));
      if (device.values[kNvMode].number == 1) device.values[kNvCursor].number = cursor + n;
      *placed = n;
      return 0;
    }
    default:
      return pos::kErrSysFunctionNotSupported;
  }
}

std::int32_t Simulator::WriteDevice(OpenDevice& open, const unsigned char* data,
                                    std::int32_t length, std::int32_t* accepted,
                                    JournalBlock& block) {
  Device& device = bench_[static_cast<std::size_t>(open.classIndex)];
  *accepted = 0;
  switch (kClasses[open.classIndex].model) {
    case Model::kDisplay:
      WriteDisplay(device, data, length);
      *accepted = length;
      return 0;
    case Model::kPrinter:
      if (!device.diPrinting && device.values[kPrnStation].number == 3) {
        return pos::kErrSysCmdReject;
      }
      PrintBytes(device, data, length);
      *accepted = length;
      NotifyHandle(open, pos::kMsgPrnChaseComplete, 0, block);
      return 0;
    case Model::kRs232: {
      const std::size_t room = kLoopbackCapacity - device.loopback.size();
      if (length > 0 && room == 0) return 5907;  // POSERR_RS232_PREV_NOT_COMPLETE
      const std::int32_t n = static_cast<std::size_t>(length) < room ? length
                                                                      : static_cast<std::int32_t>(room);
      device.loopback.insert(device.loopback.end(), data, data + n);
      *accepted = n;
      NotifyHandle(open, pos::kMsgRs232XmitComplete, static_cast<std::uint32_t>(n), block);
      if (n > 0) {
        NotifyHandles(open.classIndex, pos::kMsgRs232DataAvail, static_cast<std::uint32_t>(n),
                      block);
      }
      return 0;
    }
    case Model::kNvram: {
      const std::int32_t record = device.values[kNvRecordLength].number;
      if (length % record != 0) return kErrNvramInvalidLengthRecord;
      const std::int32_t cursor = device.values[kNvCursor].number;
      if (length > kNvramCapacity - cursor) return kErrNvramNotEnoughRoom;
      std::memcpy(device.memory.data() + cursor, data, static_cast<std::size_t>(length));
      if (device.values[kNvMode].number == 1) device.values[kNvCursor].number = cursor + length;
      *accepted = length;
      return 0;
    }
    default:
      return pos::kErrSysFunctionNotSupported;
  }
}

std::int32_t Simulator::SystemRequest(OpenDevice* open, std::int32_t request) {
  if (open == nullptr || open->classIndex == kSystemClass) return pos::kErrSysInvalidRequest;
  Device& device = bench_[static_cast<std::size_t>(open->classIndex)];
  switch (request) {
    case pos::kReqSysAcquireDevice:
      if (device.acquiredBy == open->handle) return pos::kErrSysAlreadyAcquired;
      if (device.acquiredBy != 0) return pos::kErrSysAcquiredByOther;
      device.acquiredBy = open->handle;
      return 0;
    case pos::kReqSysReleaseDevice:
      if (device.acquiredBy != open->handle) return pos::kErrSysNotAcquired;
      device.acquiredBy = 0;
      return 0;
    case pos::kReqSysLockDevice:
      device.locked = true;
      return 0;
    case pos::kReqSysUnlockDevice:
      device.locked = false;
      return 0;
    default:
      return pos::kErrSysInvalidRequest;
  }
}

std::int32_t Simulator::DeviceRequest(OpenDevice& open, std::int32_t request,
                                      JournalBlock& block) {
  Device& device = bench_[static_cast<std::size_t>(open.classIndex)];
  auto lockChange = [&](bool* lock, bool enabled, bool on) -> std::int32_t {
    if (!enabled) return pos::kErrSysCmdReject;
    if (*lock != on) {
      *lock = on;
      const std::uint32_t state =
          (device.numLock ? 1u : 0u) | (device.scrollLock ? 2u : 0u);
      NotifyHandles(open.classIndex, pos::kMsgKbdStatusChange, state, block);
    }
    return 0;
  };
  switch (request) {
    case pos::kReqAlarmSoundAlarm: device.sounding = true; return 0;
    case pos::kReqAlarmSilenceAlarm: device.sounding = false; return 0;

    case pos::kReqDspClearScreen:
      device.screen.assign(device.screen.size(), ' ');
      device.values[kDspCursorRow].number = 0;
      device.values[kDspCursorColumn].number = 0;
      return 0;
    case pos::kReqDspDefineCharacters:
    case pos::kReqPrnDefineCharacters:
      ++device.definedCharacters;
      return 0;

    case pos::kReqKbdDisablePosFunctions: device.posFunctions = false; return 0;
    case pos::kReqKbdEnablePosFunctions: device.posFunctions = true; return 0;
    case pos::kReqKbdSilenceTone: device.sounding = false; return 0;
    case pos::kReqKbdSoundTone: device.sounding = true; return 0;
    case pos::kReqKbdSetTypematicOff: device.typematic = false; return 0;
    case pos::kReqKbdSetTypematicOn: device.typematic = true; return 0;
    case pos::kReqKbdDisableHotKeys: device.hotKeys = false; return 0;
    case pos::kReqKbdEnableHotKeys: device.hotKeys = true; return 0;
    case pos::kReqKbdDisableNumLock: device.numLockEnabled = false; return 0;
    case pos::kReqKbdEnableNumLock: device.numLockEnabled = true; return 0;
    case pos::kReqKbdDisableScrollLock: device.scrollLockEnabled = false; return 0;
    case pos::kReqKbdEnableScrollLock: device.scrollLockEnabled = true; return 0;
    case pos::kReqKbdSetNumLockOff: return lockChange(&device.numLock, device.numLockEnabled, false);
    case pos::kReqKbdSetNumLockOn: return lockChange(&device.numLock, device.numLockEnabled, true);
    case pos::kReqKbdSetScrollLockOff:
      return lockChange(&device.scrollLock, device.scrollLockEnabled, false);
    case pos::kReqKbdSetScrollLockOn:
      return lockChange(&device.scrollLock, device.scrollLockEnabled, true);

    case pos::kReqPowerOff: device.values[kPwrPowerState].number = 0; return 0;
    case pos::kReqPowerOn: device.values[kPwrPowerState].number = 1; return 0;
    case pos::kReqPowerSetAlarm: device.powerAlarmSet = true; return 0;

    case pos::kReqPrnDisableDiPrinting: device.diPrinting = false; return 0;
    case pos::kReqPrnEnableDiPrinting: device.diPrinting = true; return 0;
    case pos::kReqPrnDisableFiscalPrinting: device.fiscalPrinting = false; return 0;
    case pos::kReqPrnEnableFiscalPrinting: device.fiscalPrinting = true; return 0;
    case pos::kReqPrnDiscardData: device.printLine.clear(); return 0;
    case pos::kReqPrnResetPrinter:
      device.values = InitialValues(kClasses[open.classIndex]);
      device.printLine.clear();
      device.diPrinting = true;
      device.fiscalPrinting = false;
      NotifyHandles(open.classIndex, pos::kMsgPrnStatusChange, 0, block);
      return 0;
    case pos::kReqPrnResumePrinting:
    case pos::kReqPrnRetryPrinting:
      return 0;

    case pos::kReqRs232SendBreak:
      // The loopback hears its own break.
      NotifyHandles(open.classIndex, pos::kMsgRs232BreakDetected, 0, block);
      return 0;

    case pos::kReqScaleZeroScale: device.tareGrams = device.weightGrams; return 0;
    case pos::kReqScaleClearScreen: return 0;

    case pos::kReqScanDiscardData: device.pending.clear(); return 0;

    case pos::kReqTillOpenTill:
      device.values[kTillDrawerStatus].number = 1;
      NotifyHandle(open, pos::kMsgTillOpened, 0, block);
      return 0;

    case pos::kReqTouchSilenceTone: device.sounding = false; return 0;
    case pos::kReqTouchSoundTone: device.sounding = true; return 0;

    default:
      return pos::kErrSysInvalidRequest;
  }
}

// ---------------------------------------------------------------------------
// Entries

std::int32_t Simulator::Initialize(const char* applicationName, const char* resourceFile,
                                   ResourceArg* args, std::int32_t count) {
  JournalBlock block;
  std::string app, file;
  ReadText(reinterpret_cast<std::intptr_t>(applicationName), kJournalTextLimit, &app);
  ReadText(reinterpret_cast<std::intptr_t>(resourceFile), kJournalTextLimit, &file);
  block.Line("DLL_PosInitialize app=\"%s\" resfile=\"%s\" count=%d", app.c_str(), file.c_str(),
             static_cast<int>(count));
  JournalArgs(block, "arg", kSystemClass, args, count);

  std::int32_t status = 0;
  if (initialized_) {
    status = pos::kErrSysAlreadyInitialized;
  } else if ((status = CheckArgs(args, count)) == 0) {
    ResetBench();
    status = ApplyResources(kSystemClass, nullptr, args, count, true);
    if (status == 0) {
      initialized_ = true;
      applicationName_ = app;
      resourceFile_ = file;
      block.Line("  -> 0");
      for (int i = kGenericClass + 1; i < kClassCount; ++i) {
        if (!faults_[i].offline) NotifyDevice(i, pos::kMsgSysDeviceOnline, block);
      }
      Flush(block);
      return 0;
    }
    systemWindow_ = 0;
  }
  block.Line("  -> %d", static_cast<int>(status));
  Flush(block);
  return status;
}

std::int32_t Simulator::Open(const char* deviceName, const char* deviceClass, ResourceArg* args,
                             std::int32_t count, std::int32_t* out) {
  JournalBlock block;
  std::string name, className;
  const bool nameOk =
      ReadText(reinterpret_cast<std::intptr_t>(deviceName), 255, &name) == TextRead::kOk;
  ReadText(reinterpret_cast<std::intptr_t>(deviceClass), kJournalTextLimit, &className);
  block.Line("DLL_PosOpen name=\"%s\" class=\"%s\" count=%d", nameOk ? name.c_str() : "",
             className.c_str(), static_cast<int>(count));
  const int classIndex = FindClass(className.c_str());
  JournalArgs(block, "arg", classIndex >= 0 ? classIndex : kSystemClass, args, count);

  std::int32_t status = 0;
  std::int32_t handle = 0;
  if (out == nullptr || Accessible(out, true) < sizeof *out) {
    block.Line("  -> %d", static_cast<int>(pos::kErrSysInvalidAddress));
    Flush(block);
    return pos::kErrSysInvalidAddress;
  }
  if (!initialized_) {
    status = pos::kErrSysNotInitialized;
  } else if ((status = CheckArgs(args, count)) != 0) {
  } else if (!nameOk || name.empty()) {
    status = pos::kErrSysInvalidName;
  } else if (classIndex < 0) {
    status = pos::kErrSysInvalidClass;
  } else if (kClasses[classIndex].model == Model::kGeneric) {
    status = pos::kErrSysInvalidDevice;  // resources every device has; no device of its own
  } else if (classIndex != kSystemClass && faults_[classIndex].error != 0) {
    status = faults_[classIndex].error;
  } else if (classIndex != kSystemClass && faults_[classIndex].offline) {
    status = pos::kErrSysDeviceOffline;
  } else if (static_cast<std::int32_t>(open_.size()) >=
                 bench_[kSystemClass].values[kSysMaxDevices].number ||
             NextHandle() == 0) {
    status = pos::kErrSysTooManyDevices;
  } else {
    OpenDevice device;
    device.handle = NextHandle();
    device.classIndex = classIndex;
    device.name = name;
    status = ApplyResources(classIndex, &device, args, count, false);
    if (status == 0) {
      open_.push_back(device);
      lastHandle_ = device.handle;
      handle = device.handle;
    }
  }
  *out = handle;
  block.Line("  -> %d out=%d", static_cast<int>(status), static_cast<int>(handle));
  Flush(block);
  return status;
}

std::int32_t Simulator::Close(std::int32_t handle) {
  JournalBlock block;
  block.Line("DLL_PosClose handle=%d", static_cast<int>(handle));
  std::int32_t status = 0;
  OpenDevice* open = FindOpen(handle);
  if (!initialized_) {
    status = pos::kErrSysNotInitialized;
  } else if (handle == 0) {
    status = pos::kErrSysFunctionNotSupported;  // the queue stays
  } else if (open == nullptr) {
    status = pos::kErrSysInvalidDescriptor;
  } else if (open->classIndex != kSystemClass && faults_[open->classIndex].error != 0) {
    status = faults_[open->classIndex].error;
  } else {
    Device& device = bench_[static_cast<std::size_t>(open->classIndex)];
    if (device.acquiredBy == handle) device.acquiredBy = 0;
    open_.erase(open_.begin() + (open - open_.data()));
  }
  block.Line("  -> %d", static_cast<int>(status));
  Flush(block);
  return status;
}

std::int32_t Simulator::IOCtl(std::int32_t handle, std::int32_t request, ResourceArg* args,
                              std::int32_t count, std::int32_t* out) {
  JournalBlock block;
  const char* requestName = RequestName(request);
  block.Line("DLL_PosIOCtl handle=%d request=%d (%s) count=%d", static_cast<int>(handle),
             static_cast<int>(request), requestName != nullptr ? requestName : "no such request",
             static_cast<int>(count));
  OpenDevice* open = initialized_ ? FindOpen(handle) : nullptr;
  const int classIndex = open != nullptr ? open->classIndex : kSystemClass;
  JournalArgs(block, "arg", classIndex, args, count);
  if (out == nullptr || Accessible(out, true) < sizeof *out) {
    block.Line("  -> %d", static_cast<int>(pos::kErrSysInvalidAddress));
    Flush(block);
    return pos::kErrSysInvalidAddress;
  }
  *out = 0;
  std::int32_t status = 0;
  const Model model = kClasses[classIndex].model;
  if (!initialized_) {
    status = pos::kErrSysNotInitialized;
  } else if ((status = CheckArgs(args, count)) != 0) {
  } else if (handle != 0 && open == nullptr) {
    status = pos::kErrSysInvalidDescriptor;
  } else if (handle == 0 && faults_[kQueueTarget].error != 0) {
    status = faults_[kQueueTarget].error;
  } else if (open != nullptr && classIndex != kSystemClass && faults_[classIndex].error != 0) {
    status = faults_[classIndex].error;
  } else if (open != nullptr && classIndex != kSystemClass && faults_[classIndex].offline) {
    status = pos::kErrSysDeviceOffline;
  } else if (requestName == nullptr) {
    status = pos::kErrSysInvalidRequest;
  } else if (!IsSystemRequest(request) && RequestModel(request) != model) {
    status = pos::kErrSysInvalidRequest;  // not a request of this device's class
  } else if (open != nullptr && request != pos::kReqSysGetValues &&
             request != pos::kReqSysAcquireDevice && request != pos::kReqSysReleaseDevice &&
             bench_[static_cast<std::size_t>(classIndex)].acquiredBy != 0 &&
             bench_[static_cast<std::size_t>(classIndex)].acquiredBy != handle) {
    status = pos::kErrSysAcquiredByOther;
  } else if (request == pos::kReqSysGetValues) {
    status = GetValues(classIndex, open, args, count);
    if (status == 0) {
      block.Line("  -> 0 out=0");
      JournalArgs(block, "ret", classIndex, args, count);
      Flush(block);
      return 0;
    }
  } else if (request == pos::kReqSysSetValues) {
    status = ApplyResources(classIndex, open, args, count, false);
  } else if (IsSystemRequest(request)) {
    status = SystemRequest(open, request);
  } else {
    // A device request takes its arguments as settings for what it does
    // (a tone's frequency, say), applied first.
    status = ApplyResources(classIndex, open, args, count, false);
    if (status == 0) status = DeviceRequest(*open, request, block);
  }
  block.Line("  -> %d out=0", static_cast<int>(status));
  Flush(block);
  return status;
}

std::int32_t Simulator::Read(std::int32_t handle, void* buffer, std::int32_t size,
                             std::int32_t* out) {
  JournalBlock block;
  block.Line("DLL_PosRead handle=%d size=%d", static_cast<int>(handle), static_cast<int>(size));
  if (out == nullptr || Accessible(out, true) < sizeof *out) {
    block.Line("  -> %d", static_cast<int>(pos::kErrSysInvalidAddress));
    Flush(block);
    return pos::kErrSysInvalidAddress;
  }
  *out = 0;
  unsigned char* bytes = static_cast<unsigned char*>(buffer);
  OpenDevice* open = initialized_ ? FindOpen(handle) : nullptr;
  const int target = handle == 0 ? kQueueTarget : open != nullptr ? open->classIndex : -1;
  std::int32_t status = 0;
  std::int32_t placed = 0;
  if (!initialized_) {
    status = pos::kErrSysNotInitialized;
  } else if (size < 0) {
    status = pos::kErrSysInvalidLength;
  } else if (size > 0 && Accessible(buffer, true) < static_cast<std::size_t>(size)) {
    status = pos::kErrSysInvalidAddress;
  } else if (handle != 0 && open == nullptr) {
    status = pos::kErrSysInvalidDescriptor;
  } else if (target != kSystemClass && faults_[target].error != 0) {
    status = faults_[target].error;
  } else if (handle == 0) {
    if (size < kQueueRecordSize) {
      status = pos::kErrSysBufferTooSmall;
    } else if (queue_.Empty()) {
      status = pos::kErrSysTimeout;
    } else {
      placed = queue_.PopInto(bytes, size);
    }
  } else if (target != kSystemClass && faults_[target].offline) {
    status = pos::kErrSysDeviceOffline;
  } else if (bench_[static_cast<std::size_t>(target)].acquiredBy != 0 &&
             bench_[static_cast<std::size_t>(target)].acquiredBy != handle) {
    status = pos::kErrSysAcquiredByOther;
  } else if (bench_[static_cast<std::size_t>(target)].locked) {
    status = pos::kErrSysLockedNoDataRead;
  } else {
    status = ReadDevice(*open, bytes, size, &placed);
  }

  std::int32_t reported = placed;
  if (status == 0 && target != kSystemClass) {
    const Faults& faults = faults_[target];
    if (faults.overrun > 0) {
      // Asked for by a test: bytes past the end of the caller's buffer.
      unsigned char* past = bytes + size;
      std::size_t n = static_cast<std::size_t>(faults.overrun);
      const std::size_t room = Accessible(past, true);
      if (n > room) n = room;
      std::memset(past, kOverrunByte, n);
      block.Line("  # fault: wrote %u bytes past the buffer", static_cast<unsigned>(n));
    }
    if (faults.overclaim > 0) {
      reported = size + faults.overclaim;
      block.Line("  # fault: claims %d bytes for a buffer of %d", static_cast<int>(reported),
                 static_cast<int>(size));
    }
  }
  *out = reported;
  block.Append("  -> %d out=%d", static_cast<int>(status), static_cast<int>(reported));
  if (status == 0) {
    block.Append(" data=");
    block.AppendHex(bytes, static_cast<std::size_t>(placed));
  }
  block.EndLine();
  Flush(block);
  return status;
}

std::int32_t Simulator::Write(std::int32_t handle, const void* data, std::int32_t length,
                              std::int32_t* out) {
  JournalBlock block;
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  const bool readable =
      length <= 0 || (data != nullptr && Accessible(data, false) >= static_cast<std::size_t>(length));
  block.Append("DLL_PosWrite handle=%d length=%d data=", static_cast<int>(handle),
               static_cast<int>(length));
  if (!readable) {
    block.Append("(bad address)");
  } else if (length > 0) {
    block.AppendHex(bytes, static_cast<std::size_t>(length));
  }
  block.EndLine();
  if (out == nullptr || Accessible(out, true) < sizeof *out) {
    block.Line("  -> %d", static_cast<int>(pos::kErrSysInvalidAddress));
    Flush(block);
    return pos::kErrSysInvalidAddress;
  }
  *out = 0;
  OpenDevice* open = initialized_ ? FindOpen(handle) : nullptr;
  std::int32_t status = 0;
  std::int32_t accepted = 0;
  if (!initialized_) {
    status = pos::kErrSysNotInitialized;
  } else if (length < 0) {
    status = pos::kErrSysInvalidLength;
  } else if (!readable) {
    status = pos::kErrSysInvalidAddress;
  } else if (handle == 0) {
    status = pos::kErrSysFunctionNotSupported;  // the queue is read only
  } else if (open == nullptr) {
    status = pos::kErrSysInvalidDescriptor;
  } else if (open->classIndex != kSystemClass && faults_[open->classIndex].error != 0) {
    status = faults_[open->classIndex].error;
  } else if (open->classIndex != kSystemClass && faults_[open->classIndex].offline) {
    status = pos::kErrSysDeviceOffline;
  } else if (bench_[static_cast<std::size_t>(open->classIndex)].acquiredBy != 0 &&
             bench_[static_cast<std::size_t>(open->classIndex)].acquiredBy != handle) {
    status = pos::kErrSysAcquiredByOther;
  } else if (kClasses[open->classIndex].model == Model::kPrinter &&
             PrinterHalted(bench_[static_cast<std::size_t>(open->classIndex)], block)) {
    status = pos::kErrSysHwError;
  } else {
    status = WriteDevice(*open, bytes, length, &accepted, block);
  }
  *out = accepted;
  block.Line("  -> %d out=%d", static_cast<int>(status), static_cast<int>(accepted));
  Flush(block);
  return status;
}

std::int32_t Simulator::Term() {
  JournalBlock block;
  block.Line("DLL_PosTerm");
  std::int32_t status = 0;
  if (!initialized_) {
    status = pos::kErrSysNotInitialized;
  } else {
    // The window may be gone by now: nothing is posted.
    if (!open_.empty()) block.Line("  # closed %u open devices", static_cast<unsigned>(open_.size()));
    open_.clear();
    queue_.Clear();
    initialized_ = false;
    systemWindow_ = 0;
  }
  block.Line("  -> %d", static_cast<int>(status));
  Flush(block);
  return status;
}

std::int32_t Simulator::Version(std::int32_t a, std::int32_t b, std::int32_t c) {
  JournalBlock block;
  block.Line("DLL_PosVersion");
  block.Line("  # arguments %d %d %d, received by value and not written", static_cast<int>(a),
             static_cast<int>(b), static_cast<int>(c));
  block.Line("  -> 0");
  Flush(block);
  return 0;
}

// ---------------------------------------------------------------------------
// Bench actions

std::int32_t Simulator::BenchInput(int classIndex, const char* what, std::string input,
                                   std::uint32_t message, std::uint32_t lParam,
                                   JournalBlock& block) {
  block.Line("BENCH %s %s length=%u", kClasses[classIndex].name, what,
             static_cast<unsigned>(input.size()));
  std::int32_t status = 0;
  if (!initialized_) {
    status = pos::kErrSysNotInitialized;
  } else if (faults_[classIndex].offline) {
    status = pos::kErrSysDeviceOffline;
  } else {
    Device& device = bench_[static_cast<std::size_t>(classIndex)];
    if (kClasses[classIndex].model == Model::kKeyboard) {
      device.pending += input;
      for (unsigned char key : input) NotifyHandles(classIndex, pos::kMsgKbdWmChar, key, block);
    } else {
      device.pending = input;
      NotifyHandles(classIndex, message, lParam, block);
    }
  }
  block.Line("  -> %d", static_cast<int>(status));
  Flush(block);
  return status;
}

std::int32_t Simulator::SwipeCard(const char* tracks) {
  JournalBlock block;
  std::string text = kTestCardTracks;
  if (tracks != nullptr) text = tracks;
  return BenchInput(ClassOfModel(Model::kMsr), "swipe", text, pos::kMsgMsrDataAvail,
                    static_cast<std::uint32_t>(text.size() & 0xFF), block);
}

std::int32_t Simulator::ScanLabel(const char* label) {
  JournalBlock block;
  std::string text = kTestLabel;
  if (label != nullptr) text = label;
  return BenchInput(ClassOfModel(Model::kScanner), "scan", text, pos::kMsgScanDataAvail,
                    static_cast<std::uint32_t>(text.size() & 0xFF), block);
}

std::int32_t Simulator::PressKeys(const char* keys) {
  JournalBlock block;
  return BenchInput(ClassOfModel(Model::kKeyboard), "keys", keys != nullptr ? keys : "", 0, 0,
                    block);
}

std::int32_t Simulator::Touch(std::int32_t x, std::int32_t y) {
  JournalBlock block;
  const std::string point = {static_cast<char>(x & 0xFF), static_cast<char>((x >> 8) & 0xFF),
                             static_cast<char>(y & 0xFF), static_cast<char>((y >> 8) & 0xFF)};
  return BenchInput(ClassOfModel(Model::kTouch), "touch", point, pos::kMsgTouchData,
                    static_cast<std::uint32_t>((y & 0xFFFF) << 16 | (x & 0xFFFF)), block);
}

std::int32_t Simulator::PlaceWeight(std::int32_t grams) {
  JournalBlock block;
  const int scale = ClassOfModel(Model::kScale);
  block.Line("BENCH PosScale weight grams=%d", static_cast<int>(grams));
  std::int32_t status = 0;
  if (!initialized_) {
    status = pos::kErrSysNotInitialized;
  } else if (grams < 0) {
    status = pos::kErrSysOutOfBounds;
  } else {
    bench_[static_cast<std::size_t>(scale)].weightGrams = grams;
  }
  block.Line("  -> %d", static_cast<int>(status));
  Flush(block);
  return status;
}

std::int32_t Simulator::CloseDrawer() {
  JournalBlock block;
  const int drawer = ClassOfModel(Model::kDrawer);
  block.Line("BENCH PosDrawer close");
  std::int32_t status = 0;
  if (!initialized_) {
    status = pos::kErrSysNotInitialized;
  } else {
    Value& state = bench_[static_cast<std::size_t>(drawer)].values[kTillDrawerStatus];
    if (state.number != 0) {
      state.number = 0;
      NotifyHandles(drawer, pos::kMsgTillClosed, 0, block);
    }
  }
  block.Line("  -> %d", static_cast<int>(status));
  Flush(block);
  return status;
}

std::int32_t Simulator::PrinterEvent(const char* what, bool Device::*flag, bool on,
                                     std::uint32_t message) {
  JournalBlock block;
  const int printer = ClassOfModel(Model::kPrinter);
  block.Line("BENCH PosPrinter %s", what);
  std::int32_t status = 0;
  if (!initialized_) {
    status = pos::kErrSysNotInitialized;
  } else if (faults_[printer].offline) {
    status = pos::kErrSysDeviceOffline;
  } else {
    Device& device = bench_[static_cast<std::size_t>(printer)];
    // Only a change of state is news; a printer error is news every time.
    if (device.*flag != on || flag == &Device::errorPending) {
      device.*flag = on;
      NotifyHandles(printer, message, 0, block);
    }
  }
  block.Line("  -> %d", static_cast<int>(status));
  Flush(block);
  return status;
}

std::int32_t Simulator::SetPaperOut(bool out) {
  return PrinterEvent(out ? "paper out" : "paper loaded", &Device::paperOut, out,
                      out ? pos::kMsgPrnPrinterError : pos::kMsgPrnStatusChange);
}

std::int32_t Simulator::SetCoverOpen(bool open) {
  return PrinterEvent(open ? "cover open" : "cover shut", &Device::coverOpen, open,
                      pos::kMsgPrnStatusChange);
}

std::int32_t Simulator::PrinterError() {
  return PrinterEvent("printer error", &Device::errorPending, true, pos::kMsgPrnPrinterError);
}

std::int32_t Simulator::Burst(int classIndex, std::int32_t count) {
  JournalBlock block;
  const bool device = classIndex > kGenericClass && classIndex < kClassCount;
  block.Line("BENCH %s burst count=%d", device ? kClasses[classIndex].name : "?",
             static_cast<int>(count));
  std::int32_t status = 0;
  if (!device) {
    status = pos::kErrSysInvalidClass;
  } else if (count < 1 || count > 10000) {
    status = pos::kErrSysOutOfBounds;
  } else if (!initialized_) {
    status = pos::kErrSysNotInitialized;
  } else {
    for (std::int32_t i = 0; i < count; ++i) NotifyDevice(classIndex, pos::kMsgSysDeviceOnline, block);
  }
  block.Line("  -> %d", static_cast<int>(status));
  Flush(block);
  return status;
}

std::int32_t Simulator::SetFault(int target, FaultKind kind, std::int32_t value) {
  JournalBlock block;
  static const char* const kKindNames[] = {"", "error", "overclaim", "overrun", "offline"};
  const int kindIndex = static_cast<int>(kind);
  const bool validTarget = target == kAllTargets || target == kQueueTarget ||
                           (target > kGenericClass && target < kClassCount);
  const bool validKind = kindIndex >= 1 && kindIndex <= 4;
  block.Line("BENCH fault %s %s=%d",
             target == kAllTargets    ? "all"
             : target == kQueueTarget ? "queue"
             : validTarget            ? kClasses[target].name
                                      : "?",
             validKind ? kKindNames[kindIndex] : "?", static_cast<int>(value));
  std::int32_t status = 0;
  if (!validTarget) {
    status = pos::kErrSysInvalidClass;
  } else if (!validKind || (kind == FaultKind::kOffline && target == kQueueTarget)) {
    status = pos::kErrSysInvalidRequest;
  } else {
    for (int t = 0; t <= kQueueTarget; ++t) {
      if (target != kAllTargets && t != target) continue;
      if (t <= kGenericClass) continue;
      Faults& faults = faults_[t];
      switch (kind) {
        case FaultKind::kError: faults.error = value; break;
        case FaultKind::kReadOverclaim: faults.overclaim = value > 0 ? value : 0; break;
        case FaultKind::kReadOverrun: faults.overrun = value > 0 ? value : 0; break;
        case FaultKind::kOffline: {
          if (t == kQueueTarget) break;
          const bool offline = value != 0;
          if (faults.offline != offline && initialized_) {
            NotifyDevice(t, offline ? pos::kMsgSysDeviceOffline : pos::kMsgSysDeviceOnline,
                         block);
          }
          faults.offline = offline;
          break;
        }
      }
    }
  }
  block.Line("  -> %d", static_cast<int>(status));
  Flush(block);
  return status;
}

void Simulator::JournalNote(const char* text) {
  JournalBlock block;
  block.Line("BENCH %s", text);
  Flush(block);
}

void Simulator::ClearFaults() {
  JournalBlock block;
  block.Line("BENCH faults cleared");
  for (int t = 0; t <= kQueueTarget; ++t) {
    if (faults_[t].offline && initialized_ && t < kClassCount) {
      NotifyDevice(t, pos::kMsgSysDeviceOnline, block);
    }
    faults_[t] = Faults{};
  }
  Flush(block);
}

}  // namespace sim
