// The core's own state: the bench, handles, the caller's memory and texts,
// resource names, and what the bench shows.
#include "simulator/simulator.h"

#include <cstring>

#include "tables/pos_codes.h"

namespace sim {
namespace {

// More records than any caller could mean: refused as a bad count rather
// than walked.
constexpr std::int32_t kMaxArgs = 256;
// Handles stay within one byte, so that byte 0 of a notification's wParam
// names the handle.
constexpr std::int32_t kLastHandle = 255;
constexpr char kQueueHandleName[] = "queueHandle";

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
  if (Accessible(args, false) < sizeof(ResourceArg) * static_cast<std::size_t>(count)) {
    return pos::kErrSysInvalidAddress;
  }
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

std::int32_t Simulator::SystemRequest(OpenDevice* open, std::int32_t request) {
  if (open == nullptr || !DeviceAt(open->classIndex).Acquirable()) {
    return pos::kErrSysInvalidRequest;
  }
  Slot& slot = bench_[static_cast<std::size_t>(open->classIndex)];
  switch (request) {
    case pos::kReqSysAcquireDevice:
      if (slot.acquiredBy == open->handle) return pos::kErrSysAlreadyAcquired;
      if (slot.acquiredBy != 0) return pos::kErrSysAcquiredByOther;
      slot.acquiredBy = open->handle;
      return 0;
    case pos::kReqSysReleaseDevice:
      if (slot.acquiredBy != open->handle) return pos::kErrSysNotAcquired;
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

int FaultTarget(const char* name) {
  if (name == nullptr || name[0] == '\0') return kAllTargets;
  if (std::strcmp(name, "Queue") == 0) return kQueueTarget;
  const int index = FindClass(name);
  return index > kGenericClass ? index : -2;
}

}  // namespace sim
