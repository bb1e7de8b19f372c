// Named constants for the codes that other code passes around: every
// system error, notification message, ioctl request, slot, port, device type
// and device class, each listed with the name of its row in the code-name
// tables (tables/code_tables.cpp). The unit tests walk these lists and map
// every row name back to its constant, so the two cannot drift apart.
// Window-free.
#ifndef REVEDIZ_TABLES_POS_CODES_H
#define REVEDIZ_TABLES_POS_CODES_H

#include <cstdint>

// Each list entry: X(constant, code, "row name").

// System errors: the ErrorNames rows POSERR_SYS_*.
#define REVEDIZ_POS_SYS_ERRORS(X) \
  X(kErrSysAcquiredByOther, 313, "POSERR_SYS_ACQUIRED_BY_OTHER") \
  X(kErrSysAlreadyAcquired, 314, "POSERR_SYS_ALREADY_ACQUIRED") \
  X(kErrSysAlreadyInitialized, 304, "POSERR_SYS_ALREADY_INITIALIZED") \
  X(kErrSysBufferTooSmall, 312, "POSERR_SYS_BUFFER_TOO_SMALL") \
  X(kErrSysCmdReject, 322, "POSERR_SYS_CMD_REJECT") \
  X(kErrSysDataDiscarded, 320, "POSERR_SYS_DATA_DISCARDED") \
  X(kErrSysDeviceOffline, 317, "POSERR_SYS_DEVICE_OFFLINE") \
  X(kErrSysDiagFailed, 324, "POSERR_SYS_DIAG_FAILED") \
  X(kErrSysFileError, 333, "POSERR_SYS_FILE_ERROR") \
  X(kErrSysFunctionNotSupported, 311, "POSERR_SYS_FUNCTION_NOT_SUPPORTED") \
  X(kErrSysHwError, 306, "POSERR_SYS_HW_ERROR") \
  X(kErrSysInternalError, 321, "POSERR_SYS_INTERNAL_ERROR") \
  X(kErrSysInterrupted, 332, "POSERR_SYS_INTERRUPTED") \
  X(kErrSysInvalidAddress, 334, "POSERR_SYS_INVALID_ADDRESS") \
  X(kErrSysInvalidClass, 331, "POSERR_SYS_INVALID_CLASS") \
  X(kErrSysInvalidClassDeviceCombo, 319, "POSERR_SYS_INVALID_CLASS_DEVICE_COMBO") \
  X(kErrSysInvalidDescriptor, 303, "POSERR_SYS_INVALID_DESCRIPTOR") \
  X(kErrSysInvalidDevice, 307, "POSERR_SYS_INVALID_DEVICE") \
  X(kErrSysInvalidFile, 336, "POSERR_SYS_INVALID_FILE") \
  X(kErrSysInvalidLength, 318, "POSERR_SYS_INVALID_LENGTH") \
  X(kErrSysInvalidName, 330, "POSERR_SYS_INVALID_NAME") \
  X(kErrSysInvalidNargs, 325, "POSERR_SYS_INVALID_NARGS") \
  X(kErrSysInvalidPort, 328, "POSERR_SYS_INVALID_PORT") \
  X(kErrSysInvalidQueue, 308, "POSERR_SYS_INVALID_QUEUE") \
  X(kErrSysInvalidRequest, 316, "POSERR_SYS_INVALID_REQUEST") \
  X(kErrSysInvalidSlot, 326, "POSERR_SYS_INVALID_SLOT") \
  X(kErrSysLockedNoDataRead, 335, "POSERR_SYS_LOCKED_NO_DATA_READ") \
  X(kErrSysMemoryAllocation, 305, "POSERR_SYS_MEMORY_ALLOCATION") \
  X(kErrSysNotAcquired, 315, "POSERR_SYS_NOT_ACQUIRED") \
  X(kErrSysNotInitialized, 302, "POSERR_SYS_NOT_INITIALIZED") \
  X(kErrSysOsError, 301, "POSERR_SYS_OS_ERROR") \
  X(kErrSysOutOfBounds, 310, "POSERR_SYS_OUT_OF_BOUNDS") \
  X(kErrSysTimeout, 329, "POSERR_SYS_TIMEOUT") \
  X(kErrSysTooManyDevices, 309, "POSERR_SYS_TOO_MANY_DEVICES") \
  X(kErrSysUnsupportedAdapter, 327, "POSERR_SYS_UNSUPPORTED_ADAPTER") \
  X(kErrSysWrapFailed, 323, "POSERR_SYS_WRAP_FAILED")

// Notification messages: the MessageNames rows, also the window-message
// numbers that the device library posts.
#define REVEDIZ_POS_MESSAGES(X) \
  X(kMsgKbdStatusChange, 0x4201, "POSM_KBD_STATUS_CHANGE") \
  X(kMsgKbdWmChar, 0x4202, "POSM_KBD_WM_CHAR") \
  X(kMsgMsrDataAvail, 0x4203, "POSM_MSR_DATA_AVAIL") \
  X(kMsgPrnChaseComplete, 0x4204, "POSM_PRN_CHASE_COMPLETE") \
  X(kMsgPrnDataAvail, 0x4210, "POSM_PRN_DATA_AVAIL") \
  X(kMsgPrnFiscalError, 0x4211, "POSM_PRN_FISCAL_ERROR") \
  X(kMsgPrnFiscalStatus, 0x4212, "POSM_PRN_FISCAL_STATUS") \
  X(kMsgPrnPrinterError, 0x4205, "POSM_PRN_PRINTER_ERROR") \
  X(kMsgPrnStatusChange, 0x4206, "POSM_PRN_STATUS_CHANGE") \
  X(kMsgRs232BreakDetected, 0x4207, "POSM_RS232_BREAK_DETECTED") \
  X(kMsgRs232DataAvail, 0x4208, "POSM_RS232_DATA_AVAIL") \
  X(kMsgRs232XmitAbort, 0x4209, "POSM_RS232_XMIT_ABORT") \
  X(kMsgRs232XmitComplete, 0x420A, "POSM_RS232_XMIT_COMPLETE") \
  X(kMsgScanDataAvail, 0x420B, "POSM_SCAN_DATA_AVAIL") \
  X(kMsgSysDeviceOffline, 0x420C, "POSM_SYS_DEVICE_OFFLINE") \
  X(kMsgSysDeviceOnline, 0x420D, "POSM_SYS_DEVICE_ONLINE") \
  X(kMsgSysDeviceReleased, 0x4213, "POSM_SYS_DEVICE_RELEASED") \
  X(kMsgTillClosed, 0x420E, "POSM_TILL_CLOSED") \
  X(kMsgTillOpened, 0x420F, "POSM_TILL_OPENED") \
  X(kMsgTouchData, 0x4216, "POSM_TOUCH_DATA")

// Ioctl requests: the IoctlRequestNames rows.
#define REVEDIZ_POS_REQUESTS(X) \
  X(kReqAlarmSilenceAlarm, 5402, "POS_ALARM_SILENCE_ALARM") \
  X(kReqAlarmSoundAlarm, 5403, "POS_ALARM_SOUND_ALARM") \
  X(kReqDspClearScreen, 4401, "POS_DSP_CLEAR_SCREEN") \
  X(kReqDspDefineCharacters, 4402, "POS_DSP_DEFINE_CHARACTERS") \
  X(kReqKbdDisableHotKeys, 4708, "POS_KBD_DISABLE_HOT_KEYS") \
  X(kReqKbdDisableNumLock, 4710, "POS_KBD_DISABLE_NUM_LOCK") \
  X(kReqKbdDisablePosFunctions, 4701, "POS_KBD_DISABLE_POS_FUNCTIONS") \
  X(kReqKbdDisableScrollLock, 4712, "POS_KBD_DISABLE_SCROLL_LOCK") \
  X(kReqKbdEnableHotKeys, 4709, "POS_KBD_ENABLE_HOT_KEYS") \
  X(kReqKbdEnableNumLock, 4711, "POS_KBD_ENABLE_NUM_LOCK") \
  X(kReqKbdEnablePosFunctions, 4702, "POS_KBD_ENABLE_POS_FUNCTIONS") \
  X(kReqKbdEnableScrollLock, 4713, "POS_KBD_ENABLE_SCROLL_LOCK") \
  X(kReqKbdSetNumLockOff, 4715, "POS_KBD_SET_NUM_LOCK_OFF") \
  X(kReqKbdSetNumLockOn, 4716, "POS_KBD_SET_NUM_LOCK_ON") \
  X(kReqKbdSetScrollLockOff, 4717, "POS_KBD_SET_SCROLL_LOCK_OFF") \
  X(kReqKbdSetScrollLockOn, 4718, "POS_KBD_SET_SCROLL_LOCK_ON") \
  X(kReqKbdSetTypematicOff, 4706, "POS_KBD_SET_TYPEMATIC_OFF") \
  X(kReqKbdSetTypematicOn, 4707, "POS_KBD_SET_TYPEMATIC_ON") \
  X(kReqKbdSilenceTone, 4704, "POS_KBD_SILENCE_TONE") \
  X(kReqKbdSoundTone, 4705, "POS_KBD_SOUND_TONE") \
  X(kReqPowerOff, 6401, "POS_POWER_OFF") \
  X(kReqPowerOn, 6402, "POS_POWER_ON") \
  X(kReqPowerSetAlarm, 6403, "POS_POWER_SET_ALARM") \
  X(kReqPrnDefineCharacters, 4909, "POS_PRN_DEFINE_CHARACTERS") \
  X(kReqPrnDisableDiPrinting, 4901, "POS_PRN_DISABLE_DI_PRINTING") \
  X(kReqPrnDisableFiscalPrinting, 4906, "POS_PRN_DISABLE_FISCAL_PRINTING") \
  X(kReqPrnDiscardData, 4905, "POS_PRN_DISCARD_DATA") \
  X(kReqPrnEnableDiPrinting, 4902, "POS_PRN_ENABLE_DI_PRINTING") \
  X(kReqPrnEnableFiscalPrinting, 4907, "POS_PRN_ENABLE_FISCAL_PRINTING") \
  X(kReqPrnResetPrinter, 4908, "POS_PRN_RESET_PRINTER") \
  X(kReqPrnResumePrinting, 4903, "POS_PRN_RESUME_PRINTING") \
  X(kReqPrnRetryPrinting, 4904, "POS_PRN_RETRY_PRINTING") \
  X(kReqRs232SendBreak, 5901, "POS_RS232_SEND_BREAK") \
  X(kReqScaleClearScreen, 6102, "POS_SCALE_CLEAR_SCREEN") \
  X(kReqScaleZeroScale, 6101, "POS_SCALE_ZERO_SCALE") \
  X(kReqScanDiscardData, 5701, "POS_SCAN_DISCARD_DATA") \
  X(kReqSysAcquireDevice, 301, "POS_SYS_ACQUIRE_DEVICE") \
  X(kReqSysGetValues, 302, "POS_SYS_GET_VALUES") \
  X(kReqSysLockDevice, 303, "POS_SYS_LOCK_DEVICE") \
  X(kReqSysReleaseDevice, 304, "POS_SYS_RELEASE_DEVICE") \
  X(kReqSysSetValues, 305, "POS_SYS_SET_VALUES") \
  X(kReqSysUnlockDevice, 306, "POS_SYS_UNLOCK_DEVICE") \
  X(kReqTillOpenTill, 5401, "POS_TILL_OPEN_TILL") \
  X(kReqTouchSilenceTone, 6701, "POS_TOUCH_SILENCE_TONE") \
  X(kReqTouchSoundTone, 6702, "POS_TOUCH_SOUND_TONE")

// Slots: the SlotNames rows.
#define REVEDIZ_POS_SLOTS(X) \
  X(kSlot0, 0, "SLOT_0") \
  X(kSlot1, 1, "SLOT_1") \
  X(kSlot2, 2, "SLOT_2") \
  X(kSlot3, 3, "SLOT_3") \
  X(kSlot4, 4, "SLOT_4") \
  X(kSlot5, 5, "SLOT_5") \
  X(kSlot6, 6, "SLOT_6") \
  X(kSlot7, 7, "SLOT_7") \
  X(kSlot8, 8, "SLOT_8")

// Ports: the PortNames rows (0x11 and 0x22, not 1 and 2).
#define REVEDIZ_POS_PORTS(X) \
  X(kPort0, 0x00, "PORT_0") \
  X(kPort1, 0x11, "PORT_1") \
  X(kPort2, 0x22, "PORT_2")

// Device types: the DeviceTypeNames rows (0x10, 0x40 and 0x34 have two
// names each).
#define REVEDIZ_POS_DEVICE_TYPES(X) \
  X(kTypeAlarm, 0x84, "ALARM") \
  X(kTypeAlphanumericDisplayA, 0x20, "ALPHANUMERIC_DISPLAY_A") \
  X(kTypeAlphanumericDisplayB, 0x21, "ALPHANUMERIC_DISPLAY_B") \
  X(kTypeAnopDisplayA, 0x24, "ANOP_DISPLAY_A") \
  X(kTypeAnopDisplayB, 0x25, "ANOP_DISPLAY_B") \
  X(kTypeAnposKeyboardA, 0x1A, "ANPOS_KEYBOARD_A") \
  X(kTypeAnposKeyboardB, 0x1B, "ANPOS_KEYBOARD_B") \
  X(kTypeApaDisplayA, 0x2A, "APA_DISPLAY_A") \
  X(kTypeApaDisplayB, 0x2B, "APA_DISPLAY_B") \
  X(kTypeApaDisplayC, 0x2C, "APA_DISPLAY_C") \
  X(kTypeApaDisplayD, 0x2D, "APA_DISPLAY_D") \
  X(kTypeCashDrawerA, 0x54, "CASH_DRAWER_A") \
  X(kTypeCashDrawerB, 0x83, "CASH_DRAWER_B") \
  X(kTypeCheckoutKeyboardA, 0x10, "CHECKOUT_KEYBOARD_A") \
  X(kTypeCheckoutKeyboardB, 0x11, "CHECKOUT_KEYBOARD_B") \
  X(kTypeJapaneseKeyboard, 0x10, "JAPANESE_KEYBOARD") \
  X(kTypeMatrixKeyboardA, 0x16, "MATRIX_KEYBOARD_A") \
  X(kTypeMatrixKeyboardB, 0x17, "MATRIX_KEYBOARD_B") \
  X(kTypeMsr1TrackA, 0x40, "MSR_1_TRACK_A") \
  X(kTypeMsr1TrackB, 0x41, "MSR_1_TRACK_B") \
  X(kTypeMsr2TrackA, 0x46, "MSR_2_TRACK_A") \
  X(kTypeMsr2TrackB, 0x47, "MSR_2_TRACK_B") \
  X(kTypeMsr3TrackA, 0x48, "MSR_3_TRACK_A") \
  X(kTypeMsr3TrackB, 0x49, "MSR_3_TRACK_B") \
  X(kTypeMsrJTrack, 0x40, "MSR_J_TRACK") \
  X(kTypeNvramA, 0x50, "NVRAM_A") \
  X(kTypeNvramB, 0x51, "NVRAM_B") \
  X(kTypeNvramLocal, 0x85, "NVRAM_LOCAL") \
  X(kTypeOperatorDisplayA, 0x22, "OPERATOR_DISPLAY_A") \
  X(kTypeOperatorDisplayB, 0x23, "OPERATOR_DISPLAY_B") \
  X(kTypePluKeyboard, 0x19, "PLU_KEYBOARD") \
  X(kTypePosKeyboardA, 0x1C, "POS_KEYBOARD_A") \
  X(kTypePosKeyboardB, 0x1D, "POS_KEYBOARD_B") \
  X(kTypePowerB, 0x86, "POWER_B") \
  X(kTypePowerLocal, 0x87, "POWER_LOCAL") \
  X(kTypePrinter2, 0x30, "PRINTER_2") \
  X(kTypePrinter3, 0x34, "PRINTER_3") \
  X(kTypePrinter4, 0x34, "PRINTER_4") \
  X(kTypePrinterFiscal3, 0x38, "PRINTER_FISCAL_3") \
  X(kTypePrinterQx7, 0x37, "PRINTER_QX7") \
  X(kTypeRs23223A, 0x68, "RS232_23A") \
  X(kTypeRs23223B, 0x69, "RS232_23B") \
  X(kTypeRs23225A, 0x64, "RS232_25A") \
  X(kTypeRs23225B, 0x65, "RS232_25B") \
  X(kTypeRs232A, 0x66, "RS232_A") \
  X(kTypeRs232B, 0x67, "RS232_B") \
  X(kTypeScale, 0x6E, "SCALE") \
  X(kTypeScaleA, 0x6A, "SCALE_A") \
  X(kTypeScannerA, 0x4A, "SCANNER_A") \
  X(kTypeScannerB, 0x4B, "SCANNER_B") \
  X(kTypeShopperDisplayA, 0x26, "SHOPPER_DISPLAY_A") \
  X(kTypeShopperDisplayB, 0x27, "SHOPPER_DISPLAY_B") \
  X(kTypeSystemAttachedKbd, 0x81, "SYSTEM_ATTACHED_KBD") \
  X(kTypeSystemAttachedMsr, 0x82, "SYSTEM_ATTACHED_MSR") \
  X(kTypeTextKeyboardA, 0x12, "TEXT_KEYBOARD_A") \
  X(kTypeTextKeyboardB, 0x13, "TEXT_KEYBOARD_B") \
  X(kTypeTouchScreen, 0x5C, "TOUCH_SCREEN")

// Device classes: the DeviceClassNames rows.
#define REVEDIZ_POS_DEVICE_CLASSES(X) \
  X(kClassAlarm, 7, "ALARM") \
  X(kClassCashDrawer, 6, "CASH_DRAWER") \
  X(kClassDisplay, 2, "DISPLAY") \
  X(kClassKeyboard, 9, "KEYBOARD") \
  X(kClassMsr, 5, "MSR") \
  X(kClassNvram, 8, "NVRAM") \
  X(kClassPower, 12, "POWER") \
  X(kClassPrinter, 3, "PRINTER") \
  X(kClassRs232, 10, "RS232") \
  X(kClassScale, 11, "SCALE") \
  X(kClassScanner, 4, "SCANNER") \
  X(kClassTouchScreen, 13, "TOUCH_SCREEN") \
  X(kClassUnknown, 1, "UNKNOWN")

namespace pos {

#define REVEDIZ_POS_DEFINE_CODE(constant, code, name) inline constexpr std::int32_t constant = code;
REVEDIZ_POS_SYS_ERRORS(REVEDIZ_POS_DEFINE_CODE)
REVEDIZ_POS_MESSAGES(REVEDIZ_POS_DEFINE_CODE)
REVEDIZ_POS_REQUESTS(REVEDIZ_POS_DEFINE_CODE)
REVEDIZ_POS_SLOTS(REVEDIZ_POS_DEFINE_CODE)
REVEDIZ_POS_PORTS(REVEDIZ_POS_DEFINE_CODE)
REVEDIZ_POS_DEVICE_TYPES(REVEDIZ_POS_DEFINE_CODE)
REVEDIZ_POS_DEVICE_CLASSES(REVEDIZ_POS_DEFINE_CODE)
#undef REVEDIZ_POS_DEFINE_CODE

}  // namespace pos

#endif  // REVEDIZ_TABLES_POS_CODES_H
