// The eight entries of the device API. Each journals the call, checks what
// every device shares (initialized, arguments, handle, faults, acquiring,
// locking) and hands the rest to the handle's device.
#include <algorithm>
#include <cstring>

#include "simulator/simulator.h"
#include "tables/code_tables.h"
#include "tables/pos_codes.h"

namespace sim {
namespace {

// What a short read takes from its device into a buffer of its own, at most.
constexpr std::int32_t kShortReadRoom = 1 << 20;
// Longest device name.
constexpr std::size_t kNameLimit = 255;

const char* RequestName(std::int32_t request) { return NameOf(IoctlRequestNames, request); }

bool IsSystemRequest(std::int32_t request) {
  return request >= pos::kReqSysAcquireDevice && request <= pos::kReqSysUnlockDevice;
}

}  // namespace

std::int32_t Simulator::RefuseOut(JournalBlock& block, const void* out) {
  const std::int32_t status = Refuse(pos::kErrSysInvalidAddress,
                                     "out value at %s cannot be written", Address(out).c_str());
  JournalRefusal(block, status);
  block.Line("  -> %d", static_cast<int>(status));
  Flush(block);
  return status;
}

std::int32_t Simulator::NotOpen(std::int32_t handle) {
  return Refuse(pos::kErrSysInvalidDescriptor, "handle %d is not open", static_cast<int>(handle));
}

std::int32_t Simulator::DeviceFault(int target) {
  const char* name = target == kQueueTarget ? "the queue" : kClasses[target].name;
  if (faults_[target].error != 0) {
    return Refuse(faults_[target].error, "error fault %d set on %s",
                  static_cast<int>(faults_[target].error), name);
  }
  if (target != kQueueTarget && faults_[target].offline) {
    return Refuse(pos::kErrSysDeviceOffline, "%s is off line", name);
  }
  return 0;
}

std::int32_t Simulator::AcquiredByOther(int classIndex) {
  return Refuse(pos::kErrSysAcquiredByOther, "%s acquired by handle %d", kClasses[classIndex].name,
                static_cast<int>(bench_[static_cast<std::size_t>(classIndex)].acquiredBy));
}

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
    status = Refuse(pos::kErrSysAlreadyInitialized, "already initialized");
  } else if ((status = CheckArgs(args, count, &why_)) == 0) {
    ResetBench();
    status = ApplyResources(kSystemClass, nullptr, args, count, true);
    if (status == 0) {
      initialized_ = true;
      block.Line("  -> 0");
      for (int i = kGenericClass + 1; i < kClassCount; ++i) {
        if (!faults_[i].offline) NotifyDevice(i, pos::kMsgSysDeviceOnline, block);
      }
      Flush(block);
      return 0;
    }
  }
  JournalRefusal(block, status);
  block.Line("  -> %d", static_cast<int>(status));
  Flush(block);
  return status;
}

std::int32_t Simulator::Open(const char* deviceName, const char* deviceClass, ResourceArg* args,
                             std::int32_t count, std::int32_t* out) {
  JournalBlock block;
  std::string name, className;
  const TextRead nameRead =
      ReadText(reinterpret_cast<std::intptr_t>(deviceName), kNameLimit, &name);
  const bool nameOk = nameRead == TextRead::kOk;
  ReadText(reinterpret_cast<std::intptr_t>(deviceClass), kJournalTextLimit, &className);
  block.Line("DLL_PosOpen name=\"%s\" class=\"%s\" count=%d", nameOk ? name.c_str() : "",
             className.c_str(), static_cast<int>(count));
  const int classIndex = FindClass(className.c_str());
  JournalArgs(block, "arg", classIndex >= 0 ? classIndex : kSystemClass, args, count);

  std::int32_t status = 0;
  std::int32_t handle = 0;
  if (out == nullptr || Accessible(out, true) < sizeof *out) {
    return RefuseOut(block, out);
  }
  const std::int32_t maxDevices = DeviceAt(kSystemClass).Values()[kSysMaxDevices].number;
  if (!initialized_) {
    status = Refuse(pos::kErrSysNotInitialized, "not initialized");
  } else if ((status = CheckArgs(args, count, &why_)) != 0) {
  } else if (!nameOk || name.empty()) {
    status = Refuse(pos::kErrSysInvalidName, "device name %s",
                    nameRead == TextRead::kBadAddress ? "cannot be read"
                    : nameRead == TextRead::kTooLong  ? "longer than 255 characters"
                                                      : "empty");
  } else if (classIndex < 0) {
    status = Refuse(pos::kErrSysInvalidClass, "class \"%s\" unknown", className.c_str());
  } else if (kClasses[classIndex].model == Model::kGeneric) {
    // resources every device has; no device of its own
    status = Refuse(pos::kErrSysInvalidDevice, "class \"%s\" has no device of its own",
                    className.c_str());
  } else if ((status = DeviceFault(classIndex)) != 0) {
  } else if (static_cast<std::int32_t>(open_.size()) >= maxDevices) {
    status = Refuse(pos::kErrSysTooManyDevices, "%d handles open, MaxDevices %d",
                    static_cast<int>(open_.size()), static_cast<int>(maxDevices));
  } else if (NextHandle() == 0) {
    status = Refuse(pos::kErrSysTooManyDevices, "no handle free");
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
  JournalRefusal(block, status);
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
    status = Refuse(pos::kErrSysNotInitialized, "not initialized");
  } else if (handle == 0) {
    status = Refuse(pos::kErrSysFunctionNotSupported, "the queue (handle 0) stays open");
  } else if (open == nullptr) {
    status = NotOpen(handle);
  } else if (faults_[open->classIndex].error != 0) {
    status = DeviceFault(open->classIndex);
  } else {
    Slot& slot = bench_[static_cast<std::size_t>(open->classIndex)];
    if (slot.acquiredBy == handle) slot.acquiredBy = 0;
    open_.erase(open_.begin() + (open - open_.data()));
  }
  JournalRefusal(block, status);
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
    return RefuseOut(block, out);
  }
  *out = 0;
  std::int32_t status = 0;
  const Slot& slot = bench_[static_cast<std::size_t>(classIndex)];
  if (!initialized_) {
    status = Refuse(pos::kErrSysNotInitialized, "not initialized");
  } else if ((status = CheckArgs(args, count, &why_)) != 0) {
  } else if (handle != 0 && open == nullptr) {
    status = NotOpen(handle);
  } else if (handle == 0 && faults_[kQueueTarget].error != 0) {
    status = DeviceFault(kQueueTarget);
  } else if (open != nullptr && (status = DeviceFault(classIndex)) != 0) {
  } else if (requestName == nullptr) {
    status = Refuse(pos::kErrSysInvalidRequest, "request %d unknown", static_cast<int>(request));
  } else if (!IsSystemRequest(request) && !slot.device->OwnsRequest(request)) {
    status = Refuse(pos::kErrSysInvalidRequest, "%s is not a request of %s", requestName,
                    kClasses[classIndex].name);
  } else if (open != nullptr && request != pos::kReqSysGetValues &&
             request != pos::kReqSysAcquireDevice && request != pos::kReqSysReleaseDevice &&
             slot.acquiredBy != 0 && slot.acquiredBy != handle) {
    status = AcquiredByOther(classIndex);
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
    Events events(*this, classIndex, open, block);
    if (status == 0) {
      slot.device->ClearRefusal();
      status = FromDevice(*slot.device, slot.device->Request(request, events));
    }
  }
  JournalRefusal(block, status);
  block.Line("  -> %d out=0", static_cast<int>(status));
  Flush(block);
  return status;
}

std::int32_t Simulator::ReadFaults(int target, unsigned char* bytes, std::int32_t size,
                                   std::int32_t* placed, JournalBlock& block) {
  const Faults& faults = faults_[target];
  if (faults.shortRead >= 0 && *placed > faults.shortRead) {
    *placed = faults.shortRead;
    block.Line("  # fault: read cut to %d bytes", static_cast<int>(*placed));
  }
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
    const std::int32_t reported = size + faults.overclaim;
    block.Line("  # fault: claims %d bytes for a buffer of %d", static_cast<int>(reported),
               static_cast<int>(size));
    return reported;
  }
  return *placed;
}

std::int32_t Simulator::Read(std::int32_t handle, void* buffer, std::int32_t size,
                             std::int32_t* out) {
  JournalBlock block;
  block.Line("DLL_PosRead handle=%d size=%d", static_cast<int>(handle), static_cast<int>(size));
  if (out == nullptr || Accessible(out, true) < sizeof *out) {
    return RefuseOut(block, out);
  }
  unsigned char* bytes = static_cast<unsigned char*>(buffer);
  OpenDevice* open = initialized_ ? FindOpen(handle) : nullptr;
  const int target = handle == 0 ? kQueueTarget : open != nullptr ? open->classIndex : -1;
  // A short read takes what the device gives into a buffer of its own and
  // passes on only the bytes it keeps. That buffer holds at most
  // kShortReadRoom (no device gives as much in one read): a caller's buffer
  // of a gigabyte must not cost the library one, nor fail it for want of one.
  const bool cut = target >= 0 && faults_[target].shortRead >= 0;
  const std::int32_t room = cut ? std::min(size, kShortReadRoom) : size;
  std::vector<unsigned char> whole;
  const auto into = [&]() {
    if (!cut) return bytes;
    whole.resize(static_cast<std::size_t>(room));
    return whole.data();
  };
  std::int32_t status = 0;
  std::int32_t placed = 0;
  if (!initialized_) {
    status = Refuse(pos::kErrSysNotInitialized, "not initialized");
  } else if (size < 0) {
    status = Refuse(pos::kErrSysInvalidLength, "size %d below 0", static_cast<int>(size));
  } else if (Accessible(buffer, true) < static_cast<std::size_t>(size)) {
    status = Refuse(pos::kErrSysInvalidAddress, "buffer of %d bytes at %s cannot be written",
                    static_cast<int>(size), Address(buffer).c_str());
  } else if (handle != 0 && open == nullptr) {
    status = NotOpen(handle);
  } else if (faults_[target].error != 0) {
    status = DeviceFault(target);
  } else if (handle == 0) {
    if (size < kQueueRecordSize) {
      status = Refuse(pos::kErrSysBufferTooSmall, "%s",
                      TooSmall(kQueueRecordSize, size).c_str());
    } else if (queue_.Empty()) {
      status = Refuse(pos::kErrSysTimeout, "the queue is empty");
    } else {
      placed = queue_.PopInto(into(), room);
    }
  } else if ((status = DeviceFault(target)) != 0) {
  } else if (bench_[static_cast<std::size_t>(target)].acquiredBy != 0 &&
             bench_[static_cast<std::size_t>(target)].acquiredBy != handle) {
    status = AcquiredByOther(target);
  } else if (bench_[static_cast<std::size_t>(target)].locked) {
    status = Refuse(pos::kErrSysLockedNoDataRead, "%s is locked", kClasses[target].name);
  } else {
    DeviceAt(target).ClearRefusal();
    status = FromDevice(DeviceAt(target), DeviceAt(target).Read(into(), room, &placed));
  }

  std::int32_t reported = placed;
  if (status == 0) {
    reported = ReadFaults(target, bytes, size, &placed, block);
    if (cut) std::copy(whole.begin(), whole.begin() + placed, bytes);
  }
  *out = reported;
  JournalRefusal(block, status);
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
    return RefuseOut(block, out);
  }
  OpenDevice* open = initialized_ ? FindOpen(handle) : nullptr;
  std::int32_t status = 0;
  std::int32_t accepted = 0;
  if (!initialized_) {
    status = Refuse(pos::kErrSysNotInitialized, "not initialized");
  } else if (length < 0) {
    status = Refuse(pos::kErrSysInvalidLength, "length %d below 0", static_cast<int>(length));
  } else if (!readable) {
    status = Refuse(pos::kErrSysInvalidAddress, "data of %d bytes at %s cannot be read",
                    static_cast<int>(length), Address(data).c_str());
  } else if (handle == 0) {
    status = Refuse(pos::kErrSysFunctionNotSupported, "the queue (handle 0) is read only");
  } else if (open == nullptr) {
    status = NotOpen(handle);
  } else if ((status = DeviceFault(open->classIndex)) != 0) {
  } else if (bench_[static_cast<std::size_t>(open->classIndex)].acquiredBy != 0 &&
             bench_[static_cast<std::size_t>(open->classIndex)].acquiredBy != handle) {
    status = AcquiredByOther(open->classIndex);
  } else {
    Events events(*this, open->classIndex, open, block);
    BenchDevice& device = DeviceAt(open->classIndex);
    device.ClearRefusal();
    status = FromDevice(device, device.Write(bytes, length, &accepted, events));
  }
  *out = accepted;
  JournalRefusal(block, status);
  block.Line("  -> %d out=%d", static_cast<int>(status), static_cast<int>(accepted));
  Flush(block);
  return status;
}

std::int32_t Simulator::Term() {
  JournalBlock block;
  block.Line("DLL_PosTerm");
  std::int32_t status = 0;
  if (!initialized_) {
    status = Refuse(pos::kErrSysNotInitialized, "not initialized");
  } else {
    // The window may be gone by now: nothing is posted.
    if (!open_.empty()) block.Line("  # closed %u open devices", static_cast<unsigned>(open_.size()));
    open_.clear();
    queue_.Clear();
    initialized_ = false;
    systemWindow_ = 0;
  }
  JournalRefusal(block, status);
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

}  // namespace sim
