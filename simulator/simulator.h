// The device simulator's core: a bench of simulated devices, one per device
// class, behind the eight entries of the device API. Window-free: it reaches
// the system only through the Platform hooks (posting a notification, the
// journal sink, probing caller memory), so the whole behaviour is tested
// natively. The Win32 layer (vavuro32.cpp) holds one Simulator and forwards
// each export to it. The core keeps handles, faults, the queue, the
// notifications, the journal and the resources every device has; each kind
// of device is a BenchDevice of its own in devices/ (device.h).
//
// Contracts that every entry keeps:
//  - it never writes more than the buffer, block or out value it was given
//    (except where a test has asked for a read overrun, see Faults);
//  - it writes *out on every call that has an out value (0 on failure);
//  - it appends one journal block per call (vavuro32.jnl format); a refused
//    call's block says why in one line just before its status:
//    "  # refused: arg[2] Rows = 9: outside 1 to 4 (POSERR_DSP_INVALID_SIZE)".
//
// Reads, by device:
//  - descriptor 0 (the queue): as many whole 16-byte records as fit, oldest
//    first; under 16 bytes gives POSERR_SYS_BUFFER_TOO_SMALL and keeps them;
//    an empty queue gives POSERR_SYS_TIMEOUT.
//  - event devices (card reader, scanner, keyboard, touch screen) return the
//    input that arrived since the last read, and consume it; with no new
//    input the read gives POSERR_SYS_TIMEOUT. A fresh bench holds one input
//    each (a test card, a label, keys, a touch) unless the library setting
//    TestInputs is 0; setting it to 0 drops what they hold. A card, label or
//    touch is returned whole or not at all (POSERR_SYS_BUFFER_TOO_SMALL keeps it);
//    keys are a stream and may be read in parts.
//  - the scale returns its current weight as text (a measurement, so every
//    read answers); the display its screen, rows x columns characters; the
//    serial port the bytes written to it (loopback), consumed by reading;
//    NVRAM its bytes from "Cursor"; the drawer one status byte (0 closed,
//    1 open). Others give POSERR_SYS_FUNCTION_NOT_SUPPORTED.
// Writes go to the display, printer, serial port and NVRAM; other devices
// give POSERR_SYS_FUNCTION_NOT_SUPPORTED.
#ifndef REVEDIZ_SIMULATOR_SIMULATOR_H
#define REVEDIZ_SIMULATOR_SIMULATOR_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "api/device_api.h"
#include "simulator/devices/device.h"
#include "simulator/journal.h"
#include "simulator/message_queue.h"
#include "simulator/resource_table.h"

namespace sim {

// Posts a notification to a window; false when it could not be posted.
using PostFn = bool (*)(std::uintptr_t window, std::uint32_t message, std::uint32_t wParam,
                        std::uint32_t lParam);
// Receives one journal block (whole lines, CR LF ended).
using JournalFn = void (*)(const char* text, std::size_t length);
// How many bytes from `address` on the caller's memory can be read (or, with
// forWrite, written); 0 for none. Lets the simulator refuse a number passed
// where a text pointer belongs instead of faulting on it.
using AccessFn = std::size_t (*)(const void* address, bool forWrite);

struct Platform {
  PostFn post = nullptr;        // null: notifications are only queued
  JournalFn journal = nullptr;  // null: no journal
  AccessFn access = nullptr;    // null: all but the lowest and highest 64 KiB usable
};

// Fault settings of one device (or of the queue). They survive DLL_PosTerm,
// so a test can arrange them before DLL_PosInitialize.
struct Faults {
  std::int32_t error = 0;      // non-zero: every call on the device answers it
  std::int32_t overclaim = 0;  // a successful read reports this many bytes more than its buffer
  std::int32_t overrun = 0;    // a successful read also writes this many bytes past its buffer
  bool offline = false;        // the device is off line
  // >= 0: a successful read places at most this many bytes (status 0, out
  // value the bytes placed); what the device gave beyond them is lost, as if
  // read. -1: off.
  std::int32_t shortRead = -1;
};

enum class FaultKind {
  kError = 1,
  kReadOverclaim = 2,
  kReadOverrun = 3,
  kOffline = 4,
  kShortRead = 5
};

// Fault targets: a class index (kClasses), the queue, or everything.
inline constexpr int kQueueTarget = kClassCount;
inline constexpr int kAllTargets = -1;
// The byte written past a buffer by a read overrun.
inline constexpr unsigned char kOverrunByte = 0xEE;

// The fault target named by `name`: a device class text, "Queue", or null /
// "" for all; -2 for anything else.
int FaultTarget(const char* name);

enum class TextRead { kOk, kBadAddress, kTooLong };

// The ErrorNames name of `status` ("POSERR_SYS_TIMEOUT").
const char* StatusName(std::int32_t status);
// An address as a refusal shows it: "0x" and at least 8 upper-case hex digits.
std::string Address(const void* address);

// Where a resource name resolves to for a given handle.
struct ResourceRef {
  int classIndex = -1;  // the table the name was found in
  int index = -1;       // its row
  // The library's QueueHandle (either spelling): the window that gets the
  // notifications. At initialize and through the library's own handles
  // (PosSystem, descriptor 0) it is the library's window; through a device's
  // handle it is that handle's own (0: the library's).
  bool queueHandle = false;
};

class Simulator {
 public:
  explicit Simulator(const Platform& platform);

  // The eight entries. Statuses are 0 or an ErrorNames code.
  std::int32_t Initialize(const char* applicationName, const char* resourceFile,
                          ResourceArg* args, std::int32_t count);
  std::int32_t Open(const char* deviceName, const char* deviceClass, ResourceArg* args,
                    std::int32_t count, std::int32_t* out);
  std::int32_t Close(std::int32_t handle);
  std::int32_t IOCtl(std::int32_t handle, std::int32_t request, ResourceArg* args,
                     std::int32_t count, std::int32_t* out);
  std::int32_t Read(std::int32_t handle, void* buffer, std::int32_t size, std::int32_t* out);
  std::int32_t Write(std::int32_t handle, const void* data, std::int32_t length,
                     std::int32_t* out);
  std::int32_t Term();
  // The three arguments arrive by value; they are recorded, not written.
  std::int32_t Version(std::int32_t a, std::int32_t b, std::int32_t c);

  // Bench actions; each leaves a "BENCH ..." line in the journal. Device
  // actions need an initialized library (else POSERR_SYS_NOT_INITIALIZED).
  std::int32_t SwipeCard(const char* tracks);
  std::int32_t ScanLabel(const char* label);
  std::int32_t PressKeys(const char* keys);
  std::int32_t Touch(std::int32_t x, std::int32_t y);
  std::int32_t PlaceWeight(std::int32_t grams);
  std::int32_t CloseDrawer();
  // The printer's paper runs out (on) or is loaded (off); its cover is
  // opened (on) or shut (off). Running out posts POSM_PRN_PRINTER_ERROR, the
  // others POSM_PRN_STATUS_CHANGE, to the printer's open handles; while
  // either condition holds, every write to the printer fails with
  // POSERR_SYS_HW_ERROR.
  std::int32_t SetPaperOut(bool out);
  std::int32_t SetCoverOpen(bool open);
  // A printer error: POSM_PRN_PRINTER_ERROR to the printer's handles, and
  // the next write to it fails with POSERR_SYS_HW_ERROR.
  std::int32_t PrinterError();
  // `count` POSM_SYS_DEVICE_ONLINE notifications for one device in a row
  // (1 to 10000), each posted and queued as a real device would.
  std::int32_t Burst(int classIndex, std::int32_t count);
  // Faults may be set at any time. target: a class index, kQueueTarget or
  // kAllTargets. Returns 0, POSERR_SYS_INVALID_CLASS for a bad target or
  // POSERR_SYS_INVALID_REQUEST for a bad kind. Taking a device off line (or
  // back) posts POSM_SYS_DEVICE_OFFLINE (ONLINE) while initialized.
  std::int32_t SetFault(int target, FaultKind kind, std::int32_t value);
  void ClearFaults();
  // One "BENCH <text>" line in the journal (what the bench window did that
  // no action above records).
  void JournalNote(const char* text);

  // What the bench shows.
  bool Initialized() const { return initialized_; }
  const Faults& FaultsOf(int target) const { return faults_[target]; }
  const BenchDevice& DeviceOf(int classIndex) const {
    return *bench_[static_cast<std::size_t>(classIndex)].device;
  }
  // The printer's paper is out; its cover is open.
  bool PaperOut() const;
  bool CoverOpen() const;
  const std::vector<OpenDevice>& OpenDevices() const { return open_; }
  const MessageQueue& Queue() const { return queue_; }
  std::uintptr_t QueueWindow() const { return systemWindow_; }
  // The display's screen as Rows lines of Columns characters.
  std::vector<std::string> DisplayLines() const;
  // What a device shows as text, each line ended by '\n': the display's
  // rows, or the printer's printed lines (the unfinished one last). False for
  // other devices.
  bool DeviceText(int classIndex, std::string* text) const;

 private:
  struct Staged;
  // One place of the bench, by class index ([kSystemClass] holds the
  // library settings): the device and what every device has.
  struct Slot {
    std::unique_ptr<BenchDevice> device;
    std::vector<Value> generic;  // by GenericResource (DeviceName unused)
    std::int32_t acquiredBy = 0;
    bool locked = false;
  };
  // What a device may do while it serves one call or bench action: tell the
  // handles of its own class, and the caller's (null for a bench action).
  class Events final : public DeviceEvents {
   public:
    Events(Simulator& simulator, int classIndex, const OpenDevice* caller, JournalBlock& block)
        : simulator_(simulator), classIndex_(classIndex), caller_(caller), block_(block) {}
    void NotifyCaller(std::uint32_t message, std::uint32_t lParam) override;
    void NotifyHandles(std::uint32_t message, std::uint32_t lParam) override;
    JournalBlock& Journal() override { return block_; }

   private:
    Simulator& simulator_;
    int classIndex_;
    const OpenDevice* caller_;
    JournalBlock& block_;
  };

  void ResetBench();
  BenchDevice& DeviceAt(int classIndex) {
    return *bench_[static_cast<std::size_t>(classIndex)].device;
  }
  // Hands the call's block to the journal sink.
  void Flush(const JournalBlock& block);
  std::size_t Accessible(const void* address, bool forWrite) const;
  // The text at `address`, read no further than the caller's memory allows:
  // kBadAddress when it cannot be read or has no end there, kTooLong (with
  // its first `limit` characters) when longer than `limit`.
  TextRead ReadText(std::intptr_t address, std::size_t limit, std::string* text) const;

  OpenDevice* FindOpen(std::int32_t handle);
  std::int32_t NextHandle() const;
  ResourceRef Resolve(int classIndex, const char* name) const;
  void JournalArgs(JournalBlock& block, const char* tag, int classIndex, const ResourceArg* args,
                   std::int32_t count) const;
  // 0 when `count` records can be read at `args`; else the status, and why
  // in *why when given.
  std::int32_t CheckArgs(const ResourceArg* args, std::int32_t count,
                         std::string* why = nullptr) const;

  // Keeps why the call under way is refused and returns `status`.
  std::int32_t Refuse(std::int32_t status, const char* format, ...) SIM_PRINTF_FORMAT(3, 4);
  // `status` of a device's call; a refusal keeps the device's reason.
  std::int32_t FromDevice(const BenchDevice& device, std::int32_t status);
  // For a call that answers `status` other than 0: its "  # refused: WHY"
  // line. The reason is forgotten either way.
  void JournalRefusal(JournalBlock& block, std::int32_t status);
  // "arg[i] NAME" of a record, for a refusal.
  static std::string Record(std::int32_t i, const std::string& name);
  // Refusals every entry shares: an out value that cannot be written (the
  // block ended and flushed), a handle not open, a fault set on the target
  // (an error, or a device off line), a device acquired by another handle.
  std::int32_t RefuseOut(JournalBlock& block, const void* out);
  std::int32_t NotOpen(std::int32_t handle);
  std::int32_t DeviceFault(int target);
  std::int32_t AcquiredByOther(int classIndex);

  // Validates every record against the tables and the class's own rules and,
  // only when all are good, applies them. `handle` is null for initialize.
  std::int32_t ApplyResources(int classIndex, OpenDevice* handle, const ResourceArg* args,
                              std::int32_t count, bool initialize);
  // Checks every record, then writes the current values back: numbers into
  // the value fields, texts into the caller's blocks.
  std::int32_t GetValues(int classIndex, OpenDevice* handle, ResourceArg* args,
                         std::int32_t count);

  // POS_SYS_ACQUIRE_DEVICE, _RELEASE_, _LOCK_ and _UNLOCK_DEVICE.
  std::int32_t SystemRequest(OpenDevice* open, std::int32_t request);
  // Puts the read's fault effects on a successful read of `size` bytes into
  // `bytes` that placed *placed; returns the out value.
  std::int32_t ReadFaults(int target, unsigned char* bytes, std::int32_t size,
                          std::int32_t* placed, JournalBlock& block);

  // Notifications. Device-wide ones (on line, off line) go to the initialize
  // window with byte 0 of wParam the class code; handle ones to every open
  // handle of the device with byte 0 the handle. Each is also queued.
  void NotifyDevice(int classIndex, std::uint32_t message, JournalBlock& block);
  void NotifyHandles(int classIndex, std::uint32_t message, std::uint32_t lParam,
                     JournalBlock& block);
  void NotifyHandle(const OpenDevice& open, std::uint32_t message, std::uint32_t lParam,
                    JournalBlock& block);
  void Post(std::uintptr_t window, std::uint32_t message, std::uint32_t wParam,
            std::uint32_t lParam, JournalBlock& block);
  void Enqueue(std::uint32_t message, std::uint32_t mp1, std::uint32_t mp2, JournalBlock& block);
  std::uint32_t DeviceWord(int classIndex, std::uint32_t low) const;

  // A bench action on the device of `model`, journaled as "BENCH <class>
  // <what>": POSERR_SYS_NOT_INITIALIZED before initialize, and, where
  // `onLineOnly`, POSERR_SYS_DEVICE_OFFLINE while the device is off line.
  std::int32_t Act(Model model, const std::string& what, const BenchAction& action,
                   bool onLineOnly);

  Platform platform_;
  std::string why_;  // why the call under way is refused, "" until it is
  bool initialized_ = false;
  std::uintptr_t systemWindow_ = 0;
  std::vector<Slot> bench_;  // by class index
  std::vector<OpenDevice> open_;
  std::int32_t lastHandle_ = 0;
  MessageQueue queue_;
  Faults faults_[kClassCount + 1];
};

}  // namespace sim

#endif  // REVEDIZ_SIMULATOR_SIMULATOR_H
