// The core's own state: the bench, handles, the caller's memory and texts,
// resource names, and what the bench shows.
#include "simulator/simulator.h"

#include <cstdarg>
#include <cstring>

#include "tables/code_tables.h"
#include "tables/pos_codes.h"

namespace sim {
namespace {

// More records than any caller could mean: refused as a bad count rather
// than walked.
constexpr std::int32_t kMaxArgs = 256;
// Handles stay within one byte, so that byte 0 of a notification's wParam
// names the handle.
constexpr std::int32_t kLastHandle = 255;
// The tool's spelling of QueueHandle; the journal shows its value in hex.
constexpr char kToolQueueHandle[] = "queueHandle";

}  // namespace

Simulator::Simulator(const Platform& platform) : platform_(platform) { ResetBench(); }

void Simulator::ResetBench() {
  bench_.clear();
  bench_.resize(kClassCount);
  for (int i = 0; i < kClassCount; ++i) {
    const ClassDef& cls = kClasses[i];
    Slot& slot = bench_[static_cast<std::size_t>(i)];
    slot.device = MakeDevice(cls);
    slot.generic = InitialValues(kClasses[kGenericClass]);
    slot.generic[kGenSlot].number = cls.slot;
    slot.generic[kGenPort].number = cls.port;
    slot.generic[kGenDeviceType].number = cls.type;
    slot.generic[kGenSubtype].number = cls.subtype;
  }
  open_.clear();
  lastHandle_ = 0;
  queue_.Clear();
}

void Simulator::Flush(const JournalBlock& block) {
  if (platform_.journal != nullptr && !block.Empty()) {
    platform_.journal(block.Text().data(), block.Text().size());
  }
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
  // A device knows its own resources, those every device has, and the
  // library settings; the system knows only the settings.
  const int order[] = {classIndex, kGenericClass, kSystemClass};
  const int tables = classIndex == kSystemClass ? 1 : 3;
  for (int t = 0; t < tables; ++t) {
    const int index = FindResource(order[t], name);
    if (index >= 0) {
      ref.classIndex = order[t];
      ref.index = index;
      ref.queueHandle = order[t] == kSystemClass && index == kSysQueueHandle;
      return ref;
    }
  }
  return ref;
}

std::int32_t Simulator::CheckArgs(const ResourceArg* args, std::int32_t count,
                                  std::string* why) const {
  std::string reason;
  std::int32_t status = 0;
  if (count < 0 || count > kMaxArgs) {
    status = pos::kErrSysInvalidNargs;
    reason = Formatted("count %d outside 0 to %d", static_cast<int>(count),
                       static_cast<int>(kMaxArgs));
  } else if (Accessible(args, false) < sizeof(ResourceArg) * static_cast<std::size_t>(count)) {
    status = pos::kErrSysInvalidAddress;
    reason = Formatted("%d records at %s cannot be read", static_cast<int>(count),
                       Address(args).c_str());
  }
  if (why != nullptr) *why = reason;
  return status;
}

std::int32_t Simulator::Refuse(std::int32_t status, const char* format, ...) {
  va_list args;
  va_start(args, format);
  why_ = FormattedList(format, args);
  va_end(args);
  return status;
}

std::int32_t Simulator::FromDevice(const BenchDevice& device, std::int32_t status) {
  if (status != 0) why_ = device.Refusal();
  return status;
}

void Simulator::JournalRefusal(JournalBlock& block, std::int32_t status) {
  if (status != 0) {
    if (why_.empty()) why_ = StatusName(status);  // no check explained it: named at least
    block.Line("  # refused: %s", why_.c_str());
  }
  why_.clear();
}

std::string Simulator::Record(std::int32_t i, const std::string& name) {
  return Formatted("arg[%d] %s", static_cast<int>(i), name.empty() ? "\"\"" : name.c_str());
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
    if (ref.queueHandle && name == kToolQueueHandle) {
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

std::int32_t Simulator::SystemRequest(OpenDevice* open, std::int32_t request) {
  if (open == nullptr) {
    return Refuse(pos::kErrSysInvalidRequest, "the queue cannot be acquired or locked");
  }
  const char* name = kClasses[open->classIndex].name;
  if (!DeviceAt(open->classIndex).Acquirable()) {
    return Refuse(pos::kErrSysInvalidRequest, "%s cannot be acquired or locked", name);
  }
  Slot& slot = bench_[static_cast<std::size_t>(open->classIndex)];
  const int handle = static_cast<int>(open->handle);
  switch (request) {
    case pos::kReqSysAcquireDevice:
      if (slot.acquiredBy == open->handle) {
        return Refuse(pos::kErrSysAlreadyAcquired, "handle %d has acquired %s already", handle,
                      name);
      }
      if (slot.acquiredBy != 0) return AcquiredByOther(open->classIndex);
      slot.acquiredBy = open->handle;
      return 0;
    case pos::kReqSysReleaseDevice:
      if (slot.acquiredBy != open->handle) {
        return Refuse(pos::kErrSysNotAcquired, "handle %d has not acquired %s", handle, name);
      }
      slot.acquiredBy = 0;
      return 0;
    case pos::kReqSysLockDevice:
      slot.locked = true;
      return 0;
    case pos::kReqSysUnlockDevice:
      slot.locked = false;
      return 0;
    default:
      return pos::kErrSysInvalidRequest;
  }
}

std::vector<std::string> Simulator::DisplayLines() const {
  std::vector<std::string> lines;
  DeviceOf(ClassOfModel(Model::kDisplay)).TextLines(&lines);
  return lines;
}

bool Simulator::DeviceText(int classIndex, std::string* text) const {
  text->clear();
  std::vector<std::string> lines;
  if (classIndex < 0 || classIndex >= kClassCount || !DeviceOf(classIndex).TextLines(&lines)) {
    return false;
  }
  for (const std::string& line : lines) *text += line + "\n";
  return true;
}

bool Simulator::PaperOut() const {
  return DeviceOf(ClassOfModel(Model::kPrinter)).Holds(BenchAct::kPaperOut);
}

bool Simulator::CoverOpen() const {
  return DeviceOf(ClassOfModel(Model::kPrinter)).Holds(BenchAct::kCoverOpen);
}

std::string Address(const void* address) {
  std::uintptr_t at = reinterpret_cast<std::uintptr_t>(address);
  std::string digits;
  do {
    digits.insert(digits.begin(), "0123456789ABCDEF"[at & 0xF]);
    at >>= 4;
  } while (at != 0 || digits.size() < 8);
  return "0x" + digits;
}

const char* StatusName(std::int32_t status) {
  const char* name = NameOf(ErrorNames, status);
  return name != nullptr ? name : "unnamed status";
}

int FaultTarget(const char* name) {
  if (name == nullptr || name[0] == '\0') return kAllTargets;
  if (std::strcmp(name, "Queue") == 0) return kQueueTarget;
  const int index = FindClass(name);
  return index > kGenericClass ? index : -2;
}

}  // namespace sim
