// One bench device behind the small interface the core drives: the values of
// its own resources and their rules, what a read, a write and its own
// requests do, what a person does at it on the bench, and what the bench
// shows of it. Each kind of device is one file of this folder and one row of
// the table in registry.cpp. What every device shares (handles, faults, the
// resources of PosDevice, acquiring and locking, posting and queueing the
// notifications) stays in the core, simulator.h. Window-free.
#ifndef REVEDIZ_SIMULATOR_DEVICES_DEVICE_H
#define REVEDIZ_SIMULATOR_DEVICES_DEVICE_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "simulator/journal.h"
#include "simulator/resource_table.h"

namespace sim {

// What a fresh bench holds: the input waiting at each input device (none
// when initialized with TestInputs 0), the weight on the scale, and the
// bytes of the NVRAM.
inline constexpr char kTestCardTracks[] =
    "%B4111111111111111^TEST/CARD^29121010000000000000?"
    ";4111111111111111=29121010000000000000?";
inline constexpr char kTestLabel[] = "0123456789012";
inline constexpr char kTestKeys[] = "1250\r";
inline constexpr std::int32_t kTestWeightGrams = 1250;
inline constexpr std::int32_t kTestTouchX = 120;
inline constexpr std::int32_t kTestTouchY = 80;
// A touch at (x, y) as the touch screen reads it: x, then y, each 16-bit
// little endian.
std::string TouchPoint(std::int32_t x, std::int32_t y);

struct Value {
  std::int32_t number = 0;
  std::string text;
};

// The initial values of a class's resources.
std::vector<Value> InitialValues(const ClassDef& cls);

struct OpenDevice {
  std::int32_t handle = 0;
  int classIndex = 0;
  std::string name;
  std::uintptr_t window = 0;  // 0: notifications go to the initialize window
};

// What a device may do beyond its own state while it serves a call or a
// bench action. Each notification is posted and queued (see simulator.h).
class DeviceEvents {
 public:
  virtual ~DeviceEvents() = default;
  // Tells the handle the call came through; a bench action has none.
  virtual void NotifyCaller(std::uint32_t message, std::uint32_t lParam) = 0;
  // Tells every handle open on the device.
  virtual void NotifyHandles(std::uint32_t message, std::uint32_t lParam) = 0;
  // The journal block of the call, for a note of the device's own.
  virtual JournalBlock& Journal() = 0;
};

// What a person does at a device on the bench.
enum class BenchAct {
  kInput,         // the device takes in `input`: card tracks, a label, keys, a touch point
  kPlaceWeight,   // `number` grams are put on the scale
  kCloseDrawer,   // the drawer is pushed shut
  kPaperOut,      // `number` != 0: the paper runs out; 0: paper is loaded
  kCoverOpen,     // `number` != 0: the cover is opened; 0: it is shut
  kPrinterError,  // the printer reports an error
};

struct BenchAction {
  BenchAct act;
  std::string input;
  std::int32_t number = 0;
};

// Texts of a device's own resources that it takes as an action rather than
// keeps as a value (the display's DisplayText), by resource index: what one
// call sets.
using TakenTexts = std::map<int, std::string>;

class BenchDevice {
 public:
  // A fresh device of class `cls`, its resources at their initial values.
  explicit BenchDevice(const ClassDef& cls);
  virtual ~BenchDevice() = default;
  BenchDevice(const BenchDevice&) = delete;
  BenchDevice& operator=(const BenchDevice&) = delete;

  // Its own resources, by the class's resource index.
  const std::vector<Value>& Values() const { return values_; }

  // Resource rules of its own. A call's records are checked one by one
  // against the tables by the core, then CheckValues sees the values as the
  // call would leave them (0, or the status that refuses the whole call),
  // and only then SetValues applies them.
  virtual bool TakesText(int resource) const;
  virtual std::int32_t CheckValues(const std::vector<Value>& values, const TakenTexts& taken) const;
  virtual void SetValues(const std::vector<Value>& values, const TakenTexts& taken);
  // The text POS_SYS_GET_VALUES answers for its resource `resource`.
  virtual std::string TextValue(int resource) const;

  // Calls that got past the core's checks (handle, faults, acquiring,
  // locking). Statuses are 0 or an ErrorNames code, each refusal given with
  // its reason (Refuse). A read places at most
  // `size` bytes and sets *placed; a write sets *accepted. Devices that do
  // not read or write give POSERR_SYS_FUNCTION_NOT_SUPPORTED.
  virtual std::int32_t Read(unsigned char* buffer, std::int32_t size, std::int32_t* placed);
  virtual std::int32_t Write(const unsigned char* data, std::int32_t length,
                             std::int32_t* accepted, DeviceEvents& events);
  // Whether `request` is one of this device's own (not a POS_SYS_ request);
  // the core refuses the others with POSERR_SYS_INVALID_REQUEST.
  virtual bool OwnsRequest(std::int32_t request) const;
  // One of its own requests, after the call's records were applied.
  virtual std::int32_t Request(std::int32_t request, DeviceEvents& events);
  // Whether its handles may acquire, release, lock and unlock it.
  virtual bool Acquirable() const;

  // Drops the input waiting for a read (a card, a label, keys, a touch), as
  // TestInputs 0 does; devices that take no input keep what they hold.
  virtual void DropInput();

  // Why the device last refused a call (a status other than 0 from
  // CheckValues, Read, Write or Request), for the journal; "" when it gave
  // no reason. The core clears it before each call.
  const std::string& Refusal() const { return refusal_; }
  void ClearRefusal() const { refusal_.clear(); }

  // A bench action on an initialized library; POSERR_SYS_INVALID_REQUEST
  // for one the device knows nothing of.
  virtual std::int32_t Act(const BenchAction& action, DeviceEvents& events);
  // Whether a bench condition (kPaperOut, kCoverOpen) holds now.
  virtual bool Holds(BenchAct condition) const;
  // What the bench's list shows the device holding ("drawer open"), or "".
  virtual std::string State() const;
  // What the device shows as lines of text (the display's rows, the
  // printer's lines); false for a device that shows none.
  virtual bool TextLines(std::vector<std::string>* lines) const;

 protected:
  // Keeps `why` as the refusal and returns `status`.
  std::int32_t Refuse(std::int32_t status, std::string why) const;

  const ClassDef& cls_;
  std::vector<Value> values_;

 private:
  mutable std::string refusal_;
};

// A fresh device for class `cls` (registry.cpp); a class without a row of
// its own gets a device with values only.
std::unique_ptr<BenchDevice> MakeDevice(const ClassDef& cls);

// A text as the bench's list shows it: trailing blanks dropped, control
// bytes as '.', in double quotes.
std::string BenchQuoted(std::string text);
// Input held for a read, as the bench's list shows it.
std::string WaitingText(std::size_t bytes);
// Why a read into `size` bytes is refused when it needs `needed`.
std::string TooSmall(std::size_t needed, std::int32_t size);

}  // namespace sim

#endif  // REVEDIZ_SIMULATOR_DEVICES_DEVICE_H
