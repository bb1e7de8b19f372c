// The simulator's knowledge of device classes and their resources: for each
// class text the tool can pass ("PosDisplay"), the bench device that stands
// for it (device type, subtype, slot, port from the code tables) and every
// resource it understands by name, with kind, range and the error a value
// outside the range gives. The names are those of the resource list files
// with their four-character prefix dropped ("PosNRows" -> "Rows"); where the
// tool spells one its own way ("queueHandle", "diWidth"), that spelling is
// taken too, with the same meaning. Constant data; window-free.
#ifndef REVEDIZ_SIMULATOR_RESOURCE_TABLE_H
#define REVEDIZ_SIMULATOR_RESOURCE_TABLE_H

#include <cstdint>

namespace sim {

enum class Kind { kNumber, kText };

// The behaviour behind a class.
enum class Model {
  kSystem,   // PosSystem: the library's own settings; opens a system handle
  kGeneric,  // PosDevice: resources every device has; no device of its own
  kAlarm,
  kDisplay,
  kDrawer,
  kKeyboard,
  kMsr,
  kNvram,
  kPower,
  kPrinter,
  kRs232,
  kScale,
  kScanner,
  kTouch
};

// Marks the end of a ResourceDef::allowed list.
inline constexpr std::int32_t kEndOfList = INT32_MIN;

struct ResourceDef {
  const char* name;
  Kind kind;
  std::int32_t minimum;    // number: smallest value; text: shortest length
  std::int32_t maximum;    // number: largest value; text: longest length
  std::int32_t error;      // status for a value outside the range
  std::int32_t initial;    // number: the value a fresh bench starts with
  const char* initialText; // text: the value a fresh bench starts with
  const std::int32_t* allowed;  // non-null: the only values accepted, to kEndOfList
  bool readOnly;           // a value other than the current one gives `error`
  const char* alias;       // non-null: another spelling taken for `name` (the tool's)
};

struct ClassDef {
  const char* name;       // the class text, matched whole and case-sensitively
  const char* listFile;   // the resource list file of the class
  Model model;
  std::int32_t classCode; // DeviceClassNames code (0 for the two non-devices)
  std::int32_t type;      // DeviceTypeNames code of the bench device
  std::int32_t subtype;
  std::int32_t slot;
  std::int32_t port;
  const ResourceDef* resources;
  int resourceCount;
};

// Class table in the order of "PRESOURC.DAT": PosSystem, PosDevice, then the
// twelve device classes. A class's index is also its bench slot.
inline constexpr int kClassCount = 14;
extern const ClassDef kClasses[kClassCount];
inline constexpr int kSystemClass = 0;
inline constexpr int kGenericClass = 1;

// The index of the class whose name is exactly `name`, or -1 (also for null).
int FindClass(const char* name);
// The index of the resource `name` (or its alias) in class `classIndex`, or -1.
int FindResource(int classIndex, const char* name);
// The first class index with model `model`.
int ClassOfModel(Model model);

// Resource indices of the classes whose devices act on their values. They
// follow the table rows; a unit test checks each against its name.
// kSysTestInputs is the simulator's own setting, named in no list file: 1
// (the default) a fresh bench holds its test inputs, 0 it holds none.
enum SystemResource {
  kSysQueueHandle, kSysTimeout, kSysLogLevel, kSysMaxDevices, kSysLogFile, kSysTestInputs
};
enum GenericResource { kGenDeviceName, kGenSlot, kGenPort, kGenDeviceType, kGenSubtype };
enum DisplayResource {
  kDspRows, kDspColumns, kDspCursorRow, kDspCursorColumn, kDspCursorMode, kDspBrightness,
  kDspDisplayMode, kDspDisplayText
};
enum DrawerResource { kTillPulseWidth, kTillDrawerNumber, kTillDrawerStatus, kTillOpenTimeout };
enum MsrResource { kMsrTracks, kMsrTrack1, kMsrTrack2, kMsrTrack3, kMsrReadTimeout };
enum NvramResource { kNvSize, kNvRecordLength, kNvCursor, kNvMode };
enum PowerResource { kPwrAlarmDay, kPwrAlarmHour, kPwrAlarmMinutes, kPwrPowerState };
enum PrinterResource {
  kPrnStation, kPrnLineSpacing, kPrnDiWidth, kPrnCharsPerLine, kPrnFeedDirection,
  kPrnInterleaved, kPrnPrintMode, kPrnCrLfDistance, kPrnSjLfDistance, kPrnDiLfDistance,
  kPrnHeaderText
};
enum ScaleResource {
  kSclUnits, kSclMaxWeight, kSclWeightMode, kSclOperationsMode, kSclVibrationFilter,
  kSclZeroReturn, kSclRemoteDisplay
};

// NVRAM capacity in bytes; "Size" reports it.
inline constexpr std::int32_t kNvramCapacity = 65536;
// Largest display: Rows x Columns.
inline constexpr std::int32_t kDisplayMaxRows = 4;
inline constexpr std::int32_t kDisplayMaxColumns = 80;

}  // namespace sim

#endif  // REVEDIZ_SIMULATOR_RESOURCE_TABLE_H
