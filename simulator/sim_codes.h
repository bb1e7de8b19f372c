// Device-family error codes that the simulator answers with, besides the
// system codes of tables/pos_codes.h. Each equals its ErrorNames row (those
// that refuse a resource value are checked by name against RESOURCES.md). Window-free.
#ifndef REVEDIZ_SIMULATOR_SIM_CODES_H
#define REVEDIZ_SIMULATOR_SIM_CODES_H

#include <cstdint>

namespace sim {

// Cash drawer.
inline constexpr std::int32_t kErrTillInvalidPulseWidth = 5401;
// Display.
inline constexpr std::int32_t kErrDspInvalidCursor = 4401;
inline constexpr std::int32_t kErrDspInvalidMode = 4402;
inline constexpr std::int32_t kErrDspInvalidSize = 4403;
// Keyboard.
inline constexpr std::int32_t kErrKbdInvalidFrequency = 4701;
inline constexpr std::int32_t kErrKbdInvalidDuration = 4702;
inline constexpr std::int32_t kErrKbdInvalidVolume = 4703;
inline constexpr std::int32_t kErrKbdInvalidFatFingerTimeout = 4706;
inline constexpr std::int32_t kErrKbdInvalidKeyboardClick = 4708;
inline constexpr std::int32_t kErrKbdInvalidTypematicDelay = 4711;
inline constexpr std::int32_t kErrKbdInvalidTypematicFreq = 4712;
// NVRAM.
inline constexpr std::int32_t kErrNvramNotEnoughRoom = 4101;
inline constexpr std::int32_t kErrNvramInvalidCursor = 4102;
inline constexpr std::int32_t kErrNvramEof = 4103;
inline constexpr std::int32_t kErrNvramInvalidMode = 4104;
inline constexpr std::int32_t kErrNvramInvalidLengthRecord = 4105;
// Power.
inline constexpr std::int32_t kErrPowerInvalidDay = 6401;
inline constexpr std::int32_t kErrPowerInvalidHour = 6402;
inline constexpr std::int32_t kErrPowerInvalidMinutes = 6403;
// Printer.
inline constexpr std::int32_t kErrPrnInvalidDiWidth = 4901;
inline constexpr std::int32_t kErrPrnInvalidInterleavedValue = 4902;
inline constexpr std::int32_t kErrPrnInvalidStation = 4904;
inline constexpr std::int32_t kErrPrnInvalidMode = 4905;
inline constexpr std::int32_t kErrPrnInvalidCrLfDistance = 4906;
inline constexpr std::int32_t kErrPrnInvalidSjLfDistance = 4907;
inline constexpr std::int32_t kErrPrnInvalidDiLfDistance = 4908;
inline constexpr std::int32_t kErrPrnInvalidFeedDirection = 4909;
// Serial port.
inline constexpr std::int32_t kErrRs232InvalidBaudRate = 5901;
inline constexpr std::int32_t kErrRs232InvalidStopBits = 5902;
inline constexpr std::int32_t kErrRs232InvalidParity = 5903;
inline constexpr std::int32_t kErrRs232InvalidDataBits = 5904;
inline constexpr std::int32_t kErrRs232InvalidTimeoutChar = 5905;
// Scale.
inline constexpr std::int32_t kErrScaleInvalidOperationsMode = 6201;
inline constexpr std::int32_t kErrScaleInvalidRemoteDisplayState = 6202;
inline constexpr std::int32_t kErrScaleInvalidVibrationFilter = 6203;
inline constexpr std::int32_t kErrScaleInvalidWeightMode = 6204;
inline constexpr std::int32_t kErrScaleInvalidZeroReturnState = 6206;
inline constexpr std::int32_t kErrScaleConfigurationError = 6209;
// Scanner.
inline constexpr std::int32_t kErrScanInvalidBarCodes1 = 5702;
inline constexpr std::int32_t kErrScanInvalidBeepFreq = 5704;
inline constexpr std::int32_t kErrScanInvalidBeepLength = 5705;
inline constexpr std::int32_t kErrScanInvalidBeepState = 5706;
inline constexpr std::int32_t kErrScanInvalidBeepVolume = 5707;
inline constexpr std::int32_t kErrScanInvalidCheckModulo = 5713;
inline constexpr std::int32_t kErrScanInvalidLaserTimeout = 5718;
inline constexpr std::int32_t kErrScanInvalidMotorTimeout = 5719;
inline constexpr std::int32_t kErrScanInvalidScansPerRead = 5721;
// Touch screen.
inline constexpr std::int32_t kErrTouchInvalidBacklightOn = 6701;
inline constexpr std::int32_t kErrTouchInvalidClickVolume = 6702;
inline constexpr std::int32_t kErrTouchInvalidContrast = 6703;
inline constexpr std::int32_t kErrTouchInvalidEntryClick = 6704;
inline constexpr std::int32_t kErrTouchInvalidExitClick = 6705;
inline constexpr std::int32_t kErrTouchInvalidMode = 6706;
inline constexpr std::int32_t kErrTouchInvalidScreenSaverTime = 6707;
inline constexpr std::int32_t kErrTouchInvalidToneDuration = 6708;
inline constexpr std::int32_t kErrTouchInvalidToneFrequency = 6709;
inline constexpr std::int32_t kErrTouchInvalidToneVolume = 6710;

}  // namespace sim

#endif  // REVEDIZ_SIMULATOR_SIM_CODES_H
