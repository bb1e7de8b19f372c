// Notifications: each is posted to a window and queued for descriptor 0.
#include "simulator/simulator.h"

namespace sim {

std::uint32_t Simulator::DeviceWord(int classIndex, std::uint32_t low) const {
  const std::vector<Value>& generic = bench_[static_cast<std::size_t>(classIndex)].generic;
  const std::uint32_t slot = static_cast<std::uint32_t>(generic[kGenSlot].number) & 0xFF;
  const std::uint32_t port = static_cast<std::uint32_t>(generic[kGenPort].number) & 0xFF;
  return slot << 24 | port << 16 | low;
}

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

void Simulator::Events::NotifyCaller(std::uint32_t message, std::uint32_t lParam) {
  if (caller_ != nullptr) simulator_.NotifyHandle(*caller_, message, lParam, block_);
}

void Simulator::Events::NotifyHandles(std::uint32_t message, std::uint32_t lParam) {
  simulator_.NotifyHandles(classIndex_, message, lParam, block_);
}

}  // namespace sim
