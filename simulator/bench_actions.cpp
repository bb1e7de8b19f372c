// What the bench does: a person's actions at a device, bursts of
// notifications, faults, and notes in the journal.
#include "simulator/control_line.h"  // the fault kinds' names
#include "simulator/simulator.h"
#include "tables/pos_codes.h"

namespace sim {

std::int32_t Simulator::Act(Model model, const std::string& what, const BenchAction& action,
                            bool onLineOnly) {
  JournalBlock block;
  const int classIndex = ClassOfModel(model);
  block.Line("BENCH %s %s", kClasses[classIndex].name, what.c_str());
  std::int32_t status = 0;
  if (!initialized_) {
    status = pos::kErrSysNotInitialized;
  } else if (onLineOnly && faults_[classIndex].offline) {
    status = pos::kErrSysDeviceOffline;
  } else {
    Events events(*this, classIndex, nullptr, block);
    status = DeviceAt(classIndex).Act(action, events);
  }
  block.Line("  -> %d", static_cast<int>(status));
  Flush(block);
  return status;
}

namespace {

// An input action, journaled with the length of what was taken in.
std::string InputWhat(const char* verb, const std::string& input) {
  return std::string(verb) + " length=" + std::to_string(input.size());
}

}  // namespace

std::int32_t Simulator::SwipeCard(const char* tracks) {
  const std::string input = tracks != nullptr ? tracks : kTestCardTracks;
  return Act(Model::kMsr, InputWhat("swipe", input), {BenchAct::kInput, input}, true);
}

std::int32_t Simulator::ScanLabel(const char* label) {
  const std::string input = label != nullptr ? label : kTestLabel;
  return Act(Model::kScanner, InputWhat("scan", input), {BenchAct::kInput, input}, true);
}

std::int32_t Simulator::PressKeys(const char* keys) {
  const std::string input = keys != nullptr ? keys : "";
  return Act(Model::kKeyboard, InputWhat("keys", input), {BenchAct::kInput, input}, true);
}

std::int32_t Simulator::Touch(std::int32_t x, std::int32_t y) {
  const std::string point = TouchPoint(x, y);
  return Act(Model::kTouch, InputWhat("touch", point), {BenchAct::kInput, point}, true);
}

std::int32_t Simulator::PlaceWeight(std::int32_t grams) {
  return Act(Model::kScale, "weight grams=" + std::to_string(grams),
             {BenchAct::kPlaceWeight, "", grams}, false);
}

std::int32_t Simulator::CloseDrawer() {
  return Act(Model::kDrawer, "close", {BenchAct::kCloseDrawer}, false);
}

std::int32_t Simulator::SetPaperOut(bool out) {
  return Act(Model::kPrinter, out ? "paper out" : "paper loaded", {BenchAct::kPaperOut, "", out},
             true);
}

std::int32_t Simulator::SetCoverOpen(bool open) {
  return Act(Model::kPrinter, open ? "cover open" : "cover shut", {BenchAct::kCoverOpen, "", open},
             true);
}

std::int32_t Simulator::PrinterError() {
  return Act(Model::kPrinter, "printer error", {BenchAct::kPrinterError}, true);
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
  const int kindIndex = static_cast<int>(kind);
  const bool validTarget = target == kAllTargets || target == kQueueTarget ||
                           (target > kGenericClass && target < kClassCount);
  const bool validKind = kindIndex >= 1 && kindIndex <= kFaultKindCount;
  block.Line("BENCH fault %s %s=%d",
             target == kAllTargets    ? "all"
             : target == kQueueTarget ? "queue"
             : validTarget            ? kClasses[target].name
                                      : "?",
             validKind ? kFaultKindNames[kindIndex - 1] : "?", static_cast<int>(value));
  std::int32_t status = 0;
  if (!validTarget) {
    status = pos::kErrSysInvalidClass;
  } else if (!validKind || (kind == FaultKind::kOffline && target == kQueueTarget)) {
    status = pos::kErrSysInvalidRequest;
  } else {
    for (int t = kGenericClass + 1; t <= kQueueTarget; ++t) {
      if (target != kAllTargets && t != target) continue;
      Faults& faults = faults_[t];
      switch (kind) {
        case FaultKind::kError: faults.error = value; break;
        case FaultKind::kReadOverclaim: faults.overclaim = value > 0 ? value : 0; break;
        case FaultKind::kReadOverrun: faults.overrun = value > 0 ? value : 0; break;
        case FaultKind::kShortRead: faults.shortRead = value >= 0 ? value : -1; break;
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
  for (int t = kGenericClass + 1; t <= kQueueTarget; ++t) {
    if (faults_[t].offline && initialized_) {  // devices only: the queue is never off line
      NotifyDevice(t, pos::kMsgSysDeviceOnline, block);
    }
    faults_[t] = Faults{};
  }
  Flush(block);
}

}  // namespace sim
