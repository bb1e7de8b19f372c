// Named constants for the codes that other code passes around: every
// system error, notification message, ioctl request, slot, port, device type
// and device class. Each equals its row in the code-name tables
// (tables/code_tables.cpp); the unit tests map every constant's row name
// back to its value, so the two cannot drift apart. Window-free.
#ifndef REVEDIZ_TABLES_POS_CODES_H
#define REVEDIZ_TABLES_POS_CODES_H

#include <cstdint>

namespace pos {

// System errors, ErrorNames rows POSERR_SYS_*.
inline constexpr std::int32_t kErrSysAcquiredByOther = 313;
inline constexpr std::int32_t kErrSysAlreadyAcquired = 314;
inline constexpr std::int32_t kErrSysAlreadyInitialized = 304;
inline constexpr std::int32_t kErrSysBufferTooSmall = 312;
inline constexpr std::int32_t kErrSysCmdReject = 322;
inline constexpr std::int32_t kErrSysDataDiscarded = 320;
inline constexpr std::int32_t kErrSysDeviceOffline = 317;
inline constexpr std::int32_t kErrSysDiagFailed = 324;
inline constexpr std::int32_t kErrSysFileError = 333;
inline constexpr std::int32_t kErrSysFunctionNotSupported = 311;
inline constexpr std::int32_t kErrSysHwError = 306;
inline constexpr std::int32_t kErrSysInternalError = 321;
inline constexpr std::int32_t kErrSysInterrupted = 332;
inline constexpr std::int32_t kErrSysInvalidAddress = 334;
inline constexpr std::int32_t kErrSysInvalidClass = 331;
inline constexpr std::int32_t kErrSysInvalidClassDeviceCombo = 319;
inline constexpr std::int32_t kErrSysInvalidDescriptor = 303;
inline constexpr std::int32_t kErrSysInvalidDevice = 307;
inline constexpr std::int32_t kErrSysInvalidFile = 336;
inline constexpr std::int32_t kErrSysInvalidLength = 318;
inline constexpr std::int32_t kErrSysInvalidName = 330;
inline constexpr std::int32_t kErrSysInvalidNargs = 325;
inline constexpr std::int32_t kErrSysInvalidPort = 328;
inline constexpr std::int32_t kErrSysInvalidQueue = 308;
inline constexpr std::int32_t kErrSysInvalidRequest = 316;
inline constexpr std::int32_t kErrSysInvalidSlot = 326;
inline constexpr std::int32_t kErrSysLockedNoDataRead = 335;
inline constexpr std::int32_t kErrSysMemoryAllocation = 305;
inline constexpr std::int32_t kErrSysNotAcquired = 315;
inline constexpr std::int32_t kErrSysNotInitialized = 302;
inline constexpr std::int32_t kErrSysOsError = 301;
inline constexpr std::int32_t kErrSysOutOfBounds = 310;
inline constexpr std::int32_t kErrSysTimeout = 329;
inline constexpr std::int32_t kErrSysTooManyDevices = 309;
inline constexpr std::int32_t kErrSysUnsupportedAdapter = 327;
inline constexpr std::int32_t kErrSysWrapFailed = 323;

// Notification messages, MessageNames rows POSM_*; also the window-message
// numbers the device library posts.
inline constexpr std::int32_t kMsgKbdStatusChange = 0x4201;
inline constexpr std::int32_t kMsgKbdWmChar = 0x4202;
inline constexpr std::int32_t kMsgMsrDataAvail = 0x4203;
inline constexpr std::int32_t kMsgPrnChaseComplete = 0x4204;
inline constexpr std::int32_t kMsgPrnDataAvail = 0x4210;
inline constexpr std::int32_t kMsgPrnFiscalError = 0x4211;
inline constexpr std::int32_t kMsgPrnFiscalStatus = 0x4212;
inline constexpr std::int32_t kMsgPrnPrinterError = 0x4205;
inline constexpr std::int32_t kMsgPrnStatusChange = 0x4206;
inline constexpr std::int32_t kMsgRs232BreakDetected = 0x4207;
inline constexpr std::int32_t kMsgRs232DataAvail = 0x4208;
inline constexpr std::int32_t kMsgRs232XmitAbort = 0x4209;
inline constexpr std::int32_t kMsgRs232XmitComplete = 0x420A;
inline constexpr std::int32_t kMsgScanDataAvail = 0x420B;
inline constexpr std::int32_t kMsgSysDeviceOffline = 0x420C;
inline constexpr std::int32_t kMsgSysDeviceOnline = 0x420D;
inline constexpr std::int32_t kMsgSysDeviceReleased = 0x4213;
inline constexpr std::int32_t kMsgTillClosed = 0x420E;
inline constexpr std::int32_t kMsgTillOpened = 0x420F;
inline constexpr std::int32_t kMsgTouchData = 0x4216;

// Ioctl requests, IoctlRequestNames rows POS_*.
inline constexpr std::int32_t kReqAlarmSilenceAlarm = 5402;
inline constexpr std::int32_t kReqAlarmSoundAlarm = 5403;
inline constexpr std::int32_t kReqDspClearScreen = 4401;
inline constexpr std::int32_t kReqDspDefineCharacters = 4402;
inline constexpr std::int32_t kReqKbdDisableHotKeys = 4708;
inline constexpr std::int32_t kReqKbdDisableNumLock = 4710;
inline constexpr std::int32_t kReqKbdDisablePosFunctions = 4701;
inline constexpr std::int32_t kReqKbdDisableScrollLock = 4712;
inline constexpr std::int32_t kReqKbdEnableHotKeys = 4709;
inline constexpr std::int32_t kReqKbdEnableNumLock = 4711;
inline constexpr std::int32_t kReqKbdEnablePosFunctions = 4702;
inline constexpr std::int32_t kReqKbdEnableScrollLock = 4713;
inline constexpr std::int32_t kReqKbdSetNumLockOff = 4715;
inline constexpr std::int32_t kReqKbdSetNumLockOn = 4716;
inline constexpr std::int32_t kReqKbdSetScrollLockOff = 4717;
inline constexpr std::int32_t kReqKbdSetScrollLockOn = 4718;
inline constexpr std::int32_t kReqKbdSetTypematicOff = 4706;
inline constexpr std::int32_t kReqKbdSetTypematicOn = 4707;
inline constexpr std::int32_t kReqKbdSilenceTone = 4704;
inline constexpr std::int32_t kReqKbdSoundTone = 4705;
inline constexpr std::int32_t kReqPowerOff = 6401;
inline constexpr std::int32_t kReqPowerOn = 6402;
inline constexpr std::int32_t kReqPowerSetAlarm = 6403;
inline constexpr std::int32_t kReqPrnDefineCharacters = 4909;
inline constexpr std::int32_t kReqPrnDisableDiPrinting = 4901;
inline constexpr std::int32_t kReqPrnDisableFiscalPrinting = 4906;
inline constexpr std::int32_t kReqPrnDiscardData = 4905;
inline constexpr std::int32_t kReqPrnEnableDiPrinting = 4902;
inline constexpr std::int32_t kReqPrnEnableFiscalPrinting = 4907;
inline constexpr std::int32_t kReqPrnResetPrinter = 4908;
inline constexpr std::int32_t kReqPrnResumePrinting = 4903;
inline constexpr std::int32_t kReqPrnRetryPrinting = 4904;
inline constexpr std::int32_t kReqRs232SendBreak = 5901;
inline constexpr std::int32_t kReqScaleClearScreen = 6102;
inline constexpr std::int32_t kReqScaleZeroScale = 6101;
inline constexpr std::int32_t kReqScanDiscardData = 5701;
inline constexpr std::int32_t kReqSysAcquireDevice = 301;
inline constexpr std::int32_t kReqSysGetValues = 302;
inline constexpr std::int32_t kReqSysLockDevice = 303;
inline constexpr std::int32_t kReqSysReleaseDevice = 304;
inline constexpr std::int32_t kReqSysSetValues = 305;
inline constexpr std::int32_t kReqSysUnlockDevice = 306;
inline constexpr std::int32_t kReqTillOpenTill = 5401;
inline constexpr std::int32_t kReqTouchSilenceTone = 6701;
inline constexpr std::int32_t kReqTouchSoundTone = 6702;

// Slots, SlotNames.
inline constexpr std::int32_t kSlot0 = 0;
inline constexpr std::int32_t kSlot1 = 1;
inline constexpr std::int32_t kSlot2 = 2;
inline constexpr std::int32_t kSlot3 = 3;
inline constexpr std::int32_t kSlot4 = 4;
inline constexpr std::int32_t kSlot5 = 5;
inline constexpr std::int32_t kSlot6 = 6;
inline constexpr std::int32_t kSlot7 = 7;
inline constexpr std::int32_t kSlot8 = 8;

// Ports, PortNames (0x11 and 0x22, not 1 and 2).
inline constexpr std::int32_t kPort0 = 0x00;
inline constexpr std::int32_t kPort1 = 0x11;
inline constexpr std::int32_t kPort2 = 0x22;

// Device types, DeviceTypeNames (0x10, 0x40 and 0x34 have two names each).
inline constexpr std::int32_t kTypeAlarm = 0x84;
inline constexpr std::int32_t kTypeAlphanumericDisplayA = 0x20;
inline constexpr std::int32_t kTypeAlphanumericDisplayB = 0x21;
inline constexpr std::int32_t kTypeAnopDisplayA = 0x24;
inline constexpr std::int32_t kTypeAnopDisplayB = 0x25;
inline constexpr std::int32_t kTypeAnposKeyboardA = 0x1A;
inline constexpr std::int32_t kTypeAnposKeyboardB = 0x1B;
inline constexpr std::int32_t kTypeApaDisplayA = 0x2A;
inline constexpr std::int32_t kTypeApaDisplayB = 0x2B;
inline constexpr std::int32_t kTypeApaDisplayC = 0x2C;
inline constexpr std::int32_t kTypeApaDisplayD = 0x2D;
inline constexpr std::int32_t kTypeCashDrawerA = 0x54;
inline constexpr std::int32_t kTypeCashDrawerB = 0x83;
inline constexpr std::int32_t kTypeCheckoutKeyboardA = 0x10;
inline constexpr std::int32_t kTypeCheckoutKeyboardB = 0x11;
inline constexpr std::int32_t kTypeJapaneseKeyboard = 0x10;
inline constexpr std::int32_t kTypeMatrixKeyboardA = 0x16;
inline constexpr std::int32_t kTypeMatrixKeyboardB = 0x17;
inline constexpr std::int32_t kTypeMsr1TrackA = 0x40;
inline constexpr std::int32_t kTypeMsr1TrackB = 0x41;
inline constexpr std::int32_t kTypeMsr2TrackA = 0x46;
inline constexpr std::int32_t kTypeMsr2TrackB = 0x47;
inline constexpr std::int32_t kTypeMsr3TrackA = 0x48;
inline constexpr std::int32_t kTypeMsr3TrackB = 0x49;
inline constexpr std::int32_t kTypeMsrJTrack = 0x40;
inline constexpr std::int32_t kTypeNvramA = 0x50;
inline constexpr std::int32_t kTypeNvramB = 0x51;
inline constexpr std::int32_t kTypeNvramLocal = 0x85;
inline constexpr std::int32_t kTypeOperatorDisplayA = 0x22;
inline constexpr std::int32_t kTypeOperatorDisplayB = 0x23;
inline constexpr std::int32_t kTypePluKeyboard = 0x19;
inline constexpr std::int32_t kTypePosKeyboardA = 0x1C;
inline constexpr std::int32_t kTypePosKeyboardB = 0x1D;
inline constexpr std::int32_t kTypePowerB = 0x86;
inline constexpr std::int32_t kTypePowerLocal = 0x87;
inline constexpr std::int32_t kTypePrinter2 = 0x30;
inline constexpr std::int32_t kTypePrinter3 = 0x34;
inline constexpr std::int32_t kTypePrinter4 = 0x34;
inline constexpr std::int32_t kTypePrinterFiscal3 = 0x38;
inline constexpr std::int32_t kTypePrinterQx7 = 0x37;
inline constexpr std::int32_t kTypeRs23223A = 0x68;
inline constexpr std::int32_t kTypeRs23223B = 0x69;
inline constexpr std::int32_t kTypeRs23225A = 0x64;
inline constexpr std::int32_t kTypeRs23225B = 0x65;
inline constexpr std::int32_t kTypeRs232A = 0x66;
inline constexpr std::int32_t kTypeRs232B = 0x67;
inline constexpr std::int32_t kTypeScale = 0x6E;
inline constexpr std::int32_t kTypeScaleA = 0x6A;
inline constexpr std::int32_t kTypeScannerA = 0x4A;
inline constexpr std::int32_t kTypeScannerB = 0x4B;
inline constexpr std::int32_t kTypeShopperDisplayA = 0x26;
inline constexpr std::int32_t kTypeShopperDisplayB = 0x27;
inline constexpr std::int32_t kTypeSystemAttachedKbd = 0x81;
inline constexpr std::int32_t kTypeSystemAttachedMsr = 0x82;
inline constexpr std::int32_t kTypeTextKeyboardA = 0x12;
inline constexpr std::int32_t kTypeTextKeyboardB = 0x13;
inline constexpr std::int32_t kTypeTouchScreen = 0x5C;

// Device classes, DeviceClassNames.
inline constexpr std::int32_t kClassAlarm = 7;
inline constexpr std::int32_t kClassCashDrawer = 6;
inline constexpr std::int32_t kClassDisplay = 2;
inline constexpr std::int32_t kClassKeyboard = 9;
inline constexpr std::int32_t kClassMsr = 5;
inline constexpr std::int32_t kClassNvram = 8;
inline constexpr std::int32_t kClassPower = 12;
inline constexpr std::int32_t kClassPrinter = 3;
inline constexpr std::int32_t kClassRs232 = 10;
inline constexpr std::int32_t kClassScale = 11;
inline constexpr std::int32_t kClassScanner = 4;
inline constexpr std::int32_t kClassTouchScreen = 13;
inline constexpr std::int32_t kClassUnknown = 1;

}  // namespace pos

#endif  // REVEDIZ_TABLES_POS_CODES_H
