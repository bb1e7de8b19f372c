// The class and resource tables of the simulator. Ranges are those a device
// of the kind would accept; a value outside one gives the device family's own
// error where the error table has one, else POSERR_SYS_OUT_OF_BOUNDS.
#include "simulator/resource_table.h"

#include <cstring>

#include "simulator/sim_codes.h"
#include "tables/pos_codes.h"

namespace sim {
namespace {

constexpr std::int32_t kOutOfBounds = pos::kErrSysOutOfBounds;

constexpr ResourceDef Number(const char* name, std::int32_t minimum, std::int32_t maximum,
                             std::int32_t error, std::int32_t initial) {
  return {name, Kind::kNumber, minimum, maximum, error, initial, nullptr, nullptr, false, nullptr};
}
constexpr ResourceDef OneOf(const char* name, const std::int32_t* allowed, std::int32_t error,
                            std::int32_t initial) {
  return {name, Kind::kNumber, INT32_MIN, INT32_MAX, error, initial, nullptr, allowed, false, nullptr};
}
constexpr ResourceDef Fixed(const char* name, std::int32_t error, std::int32_t initial) {
  return {name, Kind::kNumber, INT32_MIN, INT32_MAX, error, initial, nullptr, nullptr, true, nullptr};
}
constexpr ResourceDef Text(const char* name, std::int32_t shortest, std::int32_t longest,
                           std::int32_t error, const char* initial) {
  return {name, Kind::kText, shortest, longest, error, 0, initial, nullptr, false, nullptr};
}

// `def`, also taken under the tool's own spelling `alias`.
constexpr ResourceDef Also(ResourceDef def, const char* alias) {
  def.alias = alias;
  return def;
}

constexpr std::int32_t kPorts[] = {pos::kPort0, pos::kPort1, pos::kPort2, kEndOfList};
constexpr std::int32_t kBaudRates[] = {110,   300,   600,   1200,  2400,   4800,
                                       9600,  14400, 19200, 38400, 57600,  115200,
                                       kEndOfList};

const ResourceDef kSystemResources[] = {
    Also(Number("QueueHandle", INT32_MIN, INT32_MAX, pos::kErrSysInvalidQueue, 0), "queueHandle"),
    Number("Timeout", 0, 600000, kOutOfBounds, 5000),
    Number("LogLevel", 0, 5, kOutOfBounds, 1),
    Number("MaxDevices", 1, 32, pos::kErrSysTooManyDevices, 16),
    Text("LogFile", 0, 255, kOutOfBounds, "VAVURO32.LOG"),
    Number("TestInputs", 0, 1, kOutOfBounds, 1),
};

// Every device has these; DeviceType and Subtype describe the bench device
// and cannot be changed.
const ResourceDef kGenericResources[] = {
    Text("DeviceName", 1, 63, pos::kErrSysInvalidName, ""),
    Number("Slot", 0, 8, pos::kErrSysInvalidSlot, 0),
    OneOf("Port", kPorts, pos::kErrSysInvalidPort, 0),
    Fixed("DeviceType", pos::kErrSysInvalidClassDeviceCombo, 0),
    Fixed("Subtype", pos::kErrSysInvalidClassDeviceCombo, 0),
};

const ResourceDef kAlarmResources[] = {
    Number("ToneFrequency", 20, 20000, kOutOfBounds, 1000),
    Number("ToneDuration", 0, 60000, kOutOfBounds, 500),
    Number("ToneVolume", 0, 100, kOutOfBounds, 50),
    Number("RepeatCount", 0, 255, kOutOfBounds, 1),
};

const ResourceDef kDisplayResources[] = {
    Number("Rows", 1, kDisplayMaxRows, kErrDspInvalidSize, 2),
    Number("Columns", 1, kDisplayMaxColumns, kErrDspInvalidSize, 20),
    Number("CursorRow", 0, kDisplayMaxRows - 1, kErrDspInvalidCursor, 0),
    Number("CursorColumn", 0, kDisplayMaxColumns - 1, kErrDspInvalidCursor, 0),
    Number("CursorMode", 0, 3, kErrDspInvalidCursor, 0),
    Number("Brightness", 0, 100, kOutOfBounds, 100),
    Number("DisplayMode", 0, 3, kErrDspInvalidMode, 0),
    Text("DisplayText", 0, kDisplayMaxRows * kDisplayMaxColumns, kErrDspInvalidSize, ""),
};

const ResourceDef kDrawerResources[] = {
    Number("PulseWidth", 10, 500, kErrTillInvalidPulseWidth, 100),
    Number("DrawerNumber", 1, 2, kOutOfBounds, 1),
    Fixed("DrawerStatus", kOutOfBounds, 0),
    Number("OpenTimeout", 0, 600000, kOutOfBounds, 0),
};

const ResourceDef kKeyboardResources[] = {
    Number("TypematicDelay", 0, 1000, kErrKbdInvalidTypematicDelay, 500),
    Number("TypematicFrequency", 1, 30, kErrKbdInvalidTypematicFreq, 10),
    Number("ClickVolume", 0, 100, kErrKbdInvalidVolume, 50),
    Number("KeyboardClick", 0, 1, kErrKbdInvalidKeyboardClick, 1),
    Number("ToneFrequency", 20, 20000, kErrKbdInvalidFrequency, 1000),
    Number("ToneDuration", 0, 60000, kErrKbdInvalidDuration, 100),
    Number("FatFingerTimeout", 0, 1000, kErrKbdInvalidFatFingerTimeout, 0),
};

const ResourceDef kMsrResources[] = {
    Number("Tracks", 1, 7, kOutOfBounds, 7),
    Number("Track1", 0, 1, kOutOfBounds, 1),
    Number("Track2", 0, 1, kOutOfBounds, 1),
    Number("Track3", 0, 1, kOutOfBounds, 1),
    Number("ReadTimeout", 0, 600000, kOutOfBounds, 0),
};

const ResourceDef kNvramResources[] = {
    Fixed("Size", kErrNvramNotEnoughRoom, kNvramCapacity),
    Number("RecordLength", 1, 4096, kErrNvramInvalidLengthRecord, 1),
    Number("Cursor", 0, kNvramCapacity, kErrNvramInvalidCursor, 0),
    Number("Mode", 0, 1, kErrNvramInvalidMode, 0),
};

const ResourceDef kPowerResources[] = {
    Number("AlarmDay", 0, 6, kErrPowerInvalidDay, 0),
    Number("AlarmHour", 0, 23, kErrPowerInvalidHour, 0),
    Number("AlarmMinutes", 0, 59, kErrPowerInvalidMinutes, 0),
    Number("PowerState", 0, 1, kOutOfBounds, 1),
};

const ResourceDef kPrinterResources[] = {
    Number("Station", 1, 3, kErrPrnInvalidStation, 1),
    Number("LineSpacing", 0, 255, kOutOfBounds, 24),
    Also(Number("DIWidth", 1, 80, kErrPrnInvalidDiWidth, 40), "diWidth"),
    Number("CharsPerLine", 1, 80, kOutOfBounds, 40),
    Number("FeedDirection", 0, 1, kErrPrnInvalidFeedDirection, 0),
    Number("Interleaved", 0, 1, kErrPrnInvalidInterleavedValue, 0),
    Number("PrintMode", 0, 3, kErrPrnInvalidMode, 0),
    Number("CrLfDistance", 0, 255, kErrPrnInvalidCrLfDistance, 24),
    Number("SjLfDistance", 0, 255, kErrPrnInvalidSjLfDistance, 24),
    Number("DiLfDistance", 0, 255, kErrPrnInvalidDiLfDistance, 24),
    Text("HeaderText", 0, 80, kOutOfBounds, ""),
};

const ResourceDef kRs232Resources[] = {
    OneOf("BaudRate", kBaudRates, kErrRs232InvalidBaudRate, 9600),
    Number("DataBits", 5, 8, kErrRs232InvalidDataBits, 8),
    Number("Parity", 0, 4, kErrRs232InvalidParity, 0),
    Number("StopBits", 1, 2, kErrRs232InvalidStopBits, 1),
    Number("TimeoutChar", 0, 65535, kErrRs232InvalidTimeoutChar, 100),
    Number("FlowControl", 0, 2, kOutOfBounds, 0),
};

const ResourceDef kScaleResources[] = {
    Number("Units", 0, 2, kErrScaleConfigurationError, 1),
    Number("MaxWeight", 1, 100000, kErrScaleConfigurationError, 15000),
    Number("WeightMode", 0, 1, kErrScaleInvalidWeightMode, 0),
    Number("OperationsMode", 0, 2, kErrScaleInvalidOperationsMode, 0),
    Number("VibrationFilter", 0, 3, kErrScaleInvalidVibrationFilter, 1),
    Number("ZeroReturn", 0, 1, kErrScaleInvalidZeroReturnState, 1),
    Number("RemoteDisplay", 0, 1, kErrScaleInvalidRemoteDisplayState, 0),
};

const ResourceDef kScannerResources[] = {
    Number("Symbologies", 0, 0xFFFF, kErrScanInvalidBarCodes1, 0xFFFF),
    Number("BeepState", 0, 1, kErrScanInvalidBeepState, 1),
    Number("BeepVolume", 0, 3, kErrScanInvalidBeepVolume, 2),
    Number("BeepFrequency", 100, 10000, kErrScanInvalidBeepFreq, 2000),
    Number("BeepLength", 0, 1000, kErrScanInvalidBeepLength, 100),
    Number("LaserTimeout", 0, 255, kErrScanInvalidLaserTimeout, 10),
    Number("MotorTimeout", 0, 255, kErrScanInvalidMotorTimeout, 30),
    Number("ScansPerRead", 1, 9, kErrScanInvalidScansPerRead, 1),
    Number("CheckModulo", 0, 2, kErrScanInvalidCheckModulo, 0),
};

const ResourceDef kTouchResources[] = {
    Number("Contrast", 0, 100, kErrTouchInvalidContrast, 50),
    Number("ClickVolume", 0, 100, kErrTouchInvalidClickVolume, 50),
    Number("EntryClick", 0, 1, kErrTouchInvalidEntryClick, 1),
    Number("ExitClick", 0, 1, kErrTouchInvalidExitClick, 0),
    Number("Backlight", 0, 1, kErrTouchInvalidBacklightOn, 1),
    Number("ScreenSaverTime", 0, 3600, kErrTouchInvalidScreenSaverTime, 300),
    Number("ToneFrequency", 20, 20000, kErrTouchInvalidToneFrequency, 1000),
    Number("ToneDuration", 0, 60000, kErrTouchInvalidToneDuration, 100),
    Number("ToneVolume", 0, 100, kErrTouchInvalidToneVolume, 50),
    Number("TouchMode", 0, 2, kErrTouchInvalidMode, 0),
};

template <int N>
constexpr int CountOf(const ResourceDef (&)[N]) {
  return N;
}

#define SIM_RESOURCES(table) table, CountOf(table)

}  // namespace

const ClassDef kClasses[kClassCount] = {
    {"PosSystem", "PSYSTEM.DAT", Model::kSystem, 0, 0, 0, 0, 0, SIM_RESOURCES(kSystemResources)},
    {"PosDevice", "PDEVICE.DAT", Model::kGeneric, 0, 0, 0, 0, 0,
     SIM_RESOURCES(kGenericResources)},
    {"PosAlarm", "PALARM.DAT", Model::kAlarm, pos::kClassAlarm, pos::kTypeAlarm, 0, pos::kSlot0,
     pos::kPort0, SIM_RESOURCES(kAlarmResources)},
    {"PosDisplay", "PDISPLAY.DAT", Model::kDisplay, pos::kClassDisplay, pos::kTypeAnopDisplayA, 6,
     pos::kSlot2, pos::kPort1, SIM_RESOURCES(kDisplayResources)},
    {"PosDrawer", "PDRAWER.DAT", Model::kDrawer, pos::kClassCashDrawer, pos::kTypeCashDrawerA, 0,
     pos::kSlot2, pos::kPort2, SIM_RESOURCES(kDrawerResources)},
    {"PosKeyboard", "PKEYBRD.DAT", Model::kKeyboard, pos::kClassKeyboard, pos::kTypePosKeyboardA,
     3, pos::kSlot1, pos::kPort1, SIM_RESOURCES(kKeyboardResources)},
    {"PosMsr", "PMSR.DAT", Model::kMsr, pos::kClassMsr, pos::kTypeMsr3TrackA, 0, pos::kSlot1,
     pos::kPort2, SIM_RESOURCES(kMsrResources)},
    {"PosNvram", "PNVRAM.DAT", Model::kNvram, pos::kClassNvram, pos::kTypeNvramA, 0, pos::kSlot0,
     pos::kPort1, SIM_RESOURCES(kNvramResources)},
    {"PosPower", "PPOWER.DAT", Model::kPower, pos::kClassPower, pos::kTypePowerLocal, 0,
     pos::kSlot0, pos::kPort2, SIM_RESOURCES(kPowerResources)},
    {"PosPrinter", "PPRINTER.DAT", Model::kPrinter, pos::kClassPrinter, pos::kTypePrinter3, 0,
     pos::kSlot3, pos::kPort1, SIM_RESOURCES(kPrinterResources)},
    {"PosRs232c", "PPOSRS23.DAT", Model::kRs232, pos::kClassRs232, pos::kTypeRs232A, 0,
     pos::kSlot4, pos::kPort1, SIM_RESOURCES(kRs232Resources)},
    {"PosScale", "PSCALE.DAT", Model::kScale, pos::kClassScale, pos::kTypeScaleA, 1, pos::kSlot3,
     pos::kPort2, SIM_RESOURCES(kScaleResources)},
    {"PosScanner", "PSCANNER.DAT", Model::kScanner, pos::kClassScanner, pos::kTypeScannerA, 1,
     pos::kSlot5, pos::kPort1, SIM_RESOURCES(kScannerResources)},
    {"PosTouch", "PTOUCH.DAT", Model::kTouch, pos::kClassTouchScreen, pos::kTypeTouchScreen, 1,
     pos::kSlot5, pos::kPort2, SIM_RESOURCES(kTouchResources)},
};

int FindClass(const char* name) {
  if (name == nullptr) return -1;
  for (int i = 0; i < kClassCount; ++i) {
    if (std::strcmp(kClasses[i].name, name) == 0) return i;
  }
  return -1;
}

int FindResource(int classIndex, const char* name) {
  if (name == nullptr || classIndex < 0 || classIndex >= kClassCount) return -1;
  const ClassDef& cls = kClasses[classIndex];
  for (int i = 0; i < cls.resourceCount; ++i) {
    const ResourceDef& def = cls.resources[i];
    if (std::strcmp(def.name, name) == 0 ||
        (def.alias != nullptr && std::strcmp(def.alias, name) == 0)) {
      return i;
    }
  }
  return -1;
}

int ClassOfModel(Model model) {
  for (int i = 0; i < kClassCount; ++i) {
    if (kClasses[i].model == model) return i;
  }
  return -1;
}

}  // namespace sim
