// The code-name tables as data: row counts, terminators and the invariants
// the lookups rely on, all found by walking the tables; and the named code
// constants checked against the rows they stand for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tables/code_tables.h"
#include "tables/pos_codes.h"

namespace {

// Rows before the terminator; the terminator is the row with a null name.
std::vector<CodeName> Rows(const CodeName* table) {
  std::vector<CodeName> rows;
  for (; table->Name != nullptr; ++table) rows.push_back(*table);
  return rows;
}

const CodeName& Terminator(const CodeName* table) {
  while (table->Name != nullptr) ++table;
  return *table;
}

std::string WithoutUnderscores(const char* name) {
  std::string out;
  for (; *name; ++name)
    if (*name != '_') out += *name;
  return out;
}

struct TableInfo {
  const char* label;
  const CodeName* table;
  std::size_t rows;
};

const TableInfo kTables[] = {
    {"ErrorNames", ErrorNames, 147},
    {"MessageNames", MessageNames, 20},
    {"IoctlRequestNames", IoctlRequestNames, 45},
    {"SlotNames", SlotNames, 9},
    {"PortNames", PortNames, 3},
    {"DeviceTypeNames", DeviceTypeNames, 57},
    {"DeviceClassNames", DeviceClassNames, 13},
    {"DeviceSubtypeNames", DeviceSubtypeNames, 37},
};

}  // namespace

TEST(CodeTables, EachTableHasItsRowsAndAZeroTerminator) {
  for (const auto& t : kTables) {
    SCOPED_TRACE(t.label);
    EXPECT_EQ(Rows(t.table).size(), t.rows);
    EXPECT_EQ(Terminator(t.table).Code, 0);
  }
}

TEST(CodeTables, NamesAreNonEmptyUpperCaseAndShorterThan128) {
  std::size_t longest = 0;
  for (const auto& t : kTables) {
    for (const auto& row : Rows(t.table)) {
      SCOPED_TRACE(std::string(t.label) + " " + row.Name);
      const std::size_t length = std::strlen(row.Name);
      EXPECT_GT(length, 0u);
      EXPECT_LT(length, 128u);
      longest = std::max(longest, length);
      for (const char* p = row.Name; *p; ++p)
        EXPECT_TRUE((*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9') || *p == '_') << *p;
    }
  }
  EXPECT_EQ(longest, 42u);
}

TEST(CodeTables, OnlyDeviceTypesRepeatCodes) {
  for (const auto& t : kTables) {
    SCOPED_TRACE(t.label);
    std::set<std::int32_t> seen;
    std::vector<std::int32_t> repeated;
    for (const auto& row : Rows(t.table))
      if (!seen.insert(row.Code).second) repeated.push_back(row.Code);
    if (t.table == DeviceTypeNames)
      EXPECT_EQ(repeated, (std::vector<std::int32_t>{0x10, 0x40, 0x34}));
    else
      EXPECT_TRUE(repeated.empty());
  }
}

TEST(CodeTables, RepeatedDeviceTypesListTheFirstNameFirst) {
  auto firstName = [](std::int32_t code) -> std::string {
    for (const auto& row : Rows(DeviceTypeNames))
      if (row.Code == code) return row.Name;
    return "";
  };
  EXPECT_EQ(firstName(0x10), "CHECKOUT_KEYBOARD_A");
  EXPECT_EQ(firstName(0x40), "MSR_1_TRACK_A");
  EXPECT_EQ(firstName(0x34), "PRINTER_3");
}

TEST(CodeTables, NoRequestNameIsContainedInAnother) {
  const auto rows = Rows(IoctlRequestNames);
  for (const auto& a : rows)
    for (const auto& b : rows) {
      if (&a == &b) continue;
      EXPECT_EQ(WithoutUnderscores(b.Name).find(WithoutUnderscores(a.Name)), std::string::npos)
          << a.Name << " is contained in " << b.Name;
    }
}

TEST(CodeTables, NameFamiliesHaveTheirRowCounts) {
  auto count = [](const CodeName* table, const char* prefix) {
    std::size_t n = 0;
    for (const auto& row : Rows(table))
      if (std::strncmp(row.Name, prefix, std::strlen(prefix)) == 0) ++n;
    return n;
  };
  EXPECT_EQ(count(ErrorNames, "POSERR_SCAN_"), 47u);
  EXPECT_EQ(count(ErrorNames, "POSERR_SYS_"), 36u);
  EXPECT_EQ(count(ErrorNames, "POSERR_KBD_"), 12u);
  EXPECT_EQ(count(IoctlRequestNames, "POS_KBD_"), 16u);
  EXPECT_EQ(count(MessageNames, "POSM_PRN_"), 6u);
  // Every error code lies in its family's block of one hundred.
  const struct { const char* prefix; int block; } kFamilies[] = {
      {"POSERR_SYS_", 3},    {"POSERR_NVRAM_", 41}, {"POSERR_DSP_", 44},   {"POSERR_KBD_", 47},
      {"POSERR_PRN_", 49},   {"POSERR_TILL_", 54},  {"POSERR_SCAN_", 57},  {"POSERR_RS232_", 59},
      {"POSERR_SCALE_", 62}, {"POSERR_POWER_", 64}, {"POSERR_TOUCH_", 67},
  };
  std::size_t classified = 0;
  for (const auto& row : Rows(ErrorNames))
    for (const auto& f : kFamilies)
      if (std::strncmp(row.Name, f.prefix, std::strlen(f.prefix)) == 0) {
        ++classified;
        EXPECT_EQ(row.Code / 100, f.block) << row.Name;
      }
  EXPECT_EQ(classified, 147u);
}

TEST(CodeTables, SubtypeKeysBelongToListedDeviceTypes) {
  for (const auto& row : Rows(DeviceSubtypeNames)) {
    SCOPED_TRACE(row.Name);
    EXPECT_NE(row.Code & 0xFF, 0) << "subtype 0 has no row";
    bool typeListed = false;
    for (const auto& type : Rows(DeviceTypeNames)) typeListed |= type.Code == (row.Code >> 8);
    EXPECT_TRUE(typeListed);
  }
}

TEST(CodeTables, ModelSubtypesShareNamesOnlyWhereTheyShouldAndAreUnique) {
  const std::int32_t kModelKeys[] = {0x4A01, 0x4A02, 0x4A03, 0x4A04, 0x4A05, 0x4A06,
                                     0x4B01, 0x4B02, 0x4B03, 0x6A01, 0x6A02, 0x6E01,
                                     0x6E02, 0x5C01, 0x5C02, 0x5C03, 0x5C0A, 0x5C0B};
  auto nameOf = [](std::int32_t key) -> std::string {
    for (const auto& row : Rows(DeviceSubtypeNames))
      if (row.Code == key) return row.Name;
    return "";
  };
  std::set<std::string> distinct;
  for (std::int32_t key : kModelKeys) {
    ASSERT_NE(nameOf(key), "") << std::hex << key;
    distinct.insert(nameOf(key));
  }
  EXPECT_EQ(nameOf(0x4A01), nameOf(0x6A01));
  EXPECT_EQ(nameOf(0x4A01), nameOf(0x6E01));
  EXPECT_EQ(nameOf(0x4A04), nameOf(0x6A02));
  EXPECT_EQ(nameOf(0x4A04), nameOf(0x6E02));
  EXPECT_EQ(distinct.size(), 18u - 4u);
  // The model names are their own: none is also a display or keyboard subtype.
  for (const auto& row : Rows(DeviceSubtypeNames)) {
    const int type = row.Code >> 8;
    if (type == 0x24 || type == 0x25 || type == 0x1C || type == 0x1D || type == 0x81) {
      EXPECT_EQ(distinct.count(row.Name), 0u) << row.Name;
    }
  }
  // 18 model rows plus 6 display, 12 keyboard and 1 system keyboard row.
  EXPECT_EQ(Rows(DeviceSubtypeNames).size(), 18u + 6u + 12u + 1u);
}

TEST(CodeTables, ArgumentTypeLabelsArePaddedTo12AndNulFilled) {
  const char* kWords[] = {"Hex", "Dec", "String"};
  for (int i = 0; i < kArgumentTypeCount; ++i) {
    SCOPED_TRACE(kWords[i]);
    const char* slot = ArgumentTypeNames[i];
    const std::size_t word = std::strlen(kWords[i]);
    EXPECT_EQ(std::strncmp(slot, kWords[i], word), 0);
    for (std::size_t j = word; j < 12; ++j) EXPECT_EQ(slot[j], ' ') << j;
    for (int j = 12; j < kArgumentTypeSlotSize; ++j) EXPECT_EQ(slot[j], '\0') << j;
  }
  EXPECT_EQ(sizeof ArgumentTypeNames, 45u);
}

// --- Named constants -------------------------------------------------------

namespace {

struct NamedConstant {
  std::int32_t value;
  const char* name;
};

const NamedConstant kSysErrorConstants[] = {
    {pos::kErrSysAcquiredByOther, "POSERR_SYS_ACQUIRED_BY_OTHER"},
    {pos::kErrSysAlreadyAcquired, "POSERR_SYS_ALREADY_ACQUIRED"},
    {pos::kErrSysAlreadyInitialized, "POSERR_SYS_ALREADY_INITIALIZED"},
    {pos::kErrSysBufferTooSmall, "POSERR_SYS_BUFFER_TOO_SMALL"},
    {pos::kErrSysCmdReject, "POSERR_SYS_CMD_REJECT"},
    {pos::kErrSysDataDiscarded, "POSERR_SYS_DATA_DISCARDED"},
    {pos::kErrSysDeviceOffline, "POSERR_SYS_DEVICE_OFFLINE"},
    {pos::kErrSysDiagFailed, "POSERR_SYS_DIAG_FAILED"},
    {pos::kErrSysFileError, "POSERR_SYS_FILE_ERROR"},
    {pos::kErrSysFunctionNotSupported, "POSERR_SYS_FUNCTION_NOT_SUPPORTED"},
    {pos::kErrSysHwError, "POSERR_SYS_HW_ERROR"},
    {pos::kErrSysInternalError, "POSERR_SYS_INTERNAL_ERROR"},
    {pos::kErrSysInterrupted, "POSERR_SYS_INTERRUPTED"},
    {pos::kErrSysInvalidAddress, "POSERR_SYS_INVALID_ADDRESS"},
    {pos::kErrSysInvalidClass, "POSERR_SYS_INVALID_CLASS"},
    {pos::kErrSysInvalidClassDeviceCombo, "POSERR_SYS_INVALID_CLASS_DEVICE_COMBO"},
    {pos::kErrSysInvalidDescriptor, "POSERR_SYS_INVALID_DESCRIPTOR"},
    {pos::kErrSysInvalidDevice, "POSERR_SYS_INVALID_DEVICE"},
    {pos::kErrSysInvalidFile, "POSERR_SYS_INVALID_FILE"},
    {pos::kErrSysInvalidLength, "POSERR_SYS_INVALID_LENGTH"},
    {pos::kErrSysInvalidName, "POSERR_SYS_INVALID_NAME"},
    {pos::kErrSysInvalidNargs, "POSERR_SYS_INVALID_NARGS"},
    {pos::kErrSysInvalidPort, "POSERR_SYS_INVALID_PORT"},
    {pos::kErrSysInvalidQueue, "POSERR_SYS_INVALID_QUEUE"},
    {pos::kErrSysInvalidRequest, "POSERR_SYS_INVALID_REQUEST"},
    {pos::kErrSysInvalidSlot, "POSERR_SYS_INVALID_SLOT"},
    {pos::kErrSysLockedNoDataRead, "POSERR_SYS_LOCKED_NO_DATA_READ"},
    {pos::kErrSysMemoryAllocation, "POSERR_SYS_MEMORY_ALLOCATION"},
    {pos::kErrSysNotAcquired, "POSERR_SYS_NOT_ACQUIRED"},
    {pos::kErrSysNotInitialized, "POSERR_SYS_NOT_INITIALIZED"},
    {pos::kErrSysOsError, "POSERR_SYS_OS_ERROR"},
    {pos::kErrSysOutOfBounds, "POSERR_SYS_OUT_OF_BOUNDS"},
    {pos::kErrSysTimeout, "POSERR_SYS_TIMEOUT"},
    {pos::kErrSysTooManyDevices, "POSERR_SYS_TOO_MANY_DEVICES"},
    {pos::kErrSysUnsupportedAdapter, "POSERR_SYS_UNSUPPORTED_ADAPTER"},
    {pos::kErrSysWrapFailed, "POSERR_SYS_WRAP_FAILED"},
};

const NamedConstant kMessageConstants[] = {
    {pos::kMsgKbdStatusChange, "POSM_KBD_STATUS_CHANGE"},
    {pos::kMsgKbdWmChar, "POSM_KBD_WM_CHAR"},
    {pos::kMsgMsrDataAvail, "POSM_MSR_DATA_AVAIL"},
    {pos::kMsgPrnChaseComplete, "POSM_PRN_CHASE_COMPLETE"},
    {pos::kMsgPrnDataAvail, "POSM_PRN_DATA_AVAIL"},
    {pos::kMsgPrnFiscalError, "POSM_PRN_FISCAL_ERROR"},
    {pos::kMsgPrnFiscalStatus, "POSM_PRN_FISCAL_STATUS"},
    {pos::kMsgPrnPrinterError, "POSM_PRN_PRINTER_ERROR"},
    {pos::kMsgPrnStatusChange, "POSM_PRN_STATUS_CHANGE"},
    {pos::kMsgRs232BreakDetected, "POSM_RS232_BREAK_DETECTED"},
    {pos::kMsgRs232DataAvail, "POSM_RS232_DATA_AVAIL"},
    {pos::kMsgRs232XmitAbort, "POSM_RS232_XMIT_ABORT"},
    {pos::kMsgRs232XmitComplete, "POSM_RS232_XMIT_COMPLETE"},
    {pos::kMsgScanDataAvail, "POSM_SCAN_DATA_AVAIL"},
    {pos::kMsgSysDeviceOffline, "POSM_SYS_DEVICE_OFFLINE"},
    {pos::kMsgSysDeviceOnline, "POSM_SYS_DEVICE_ONLINE"},
    {pos::kMsgSysDeviceReleased, "POSM_SYS_DEVICE_RELEASED"},
    {pos::kMsgTillClosed, "POSM_TILL_CLOSED"},
    {pos::kMsgTillOpened, "POSM_TILL_OPENED"},
    {pos::kMsgTouchData, "POSM_TOUCH_DATA"},
};

const NamedConstant kRequestConstants[] = {
    {pos::kReqAlarmSilenceAlarm, "POS_ALARM_SILENCE_ALARM"},
    {pos::kReqAlarmSoundAlarm, "POS_ALARM_SOUND_ALARM"},
    {pos::kReqDspClearScreen, "POS_DSP_CLEAR_SCREEN"},
    {pos::kReqDspDefineCharacters, "POS_DSP_DEFINE_CHARACTERS"},
    {pos::kReqKbdDisableHotKeys, "POS_KBD_DISABLE_HOT_KEYS"},
    {pos::kReqKbdDisableNumLock, "POS_KBD_DISABLE_NUM_LOCK"},
    {pos::kReqKbdDisablePosFunctions, "POS_KBD_DISABLE_POS_FUNCTIONS"},
    {pos::kReqKbdDisableScrollLock, "POS_KBD_DISABLE_SCROLL_LOCK"},
    {pos::kReqKbdEnableHotKeys, "POS_KBD_ENABLE_HOT_KEYS"},
    {pos::kReqKbdEnableNumLock, "POS_KBD_ENABLE_NUM_LOCK"},
    {pos::kReqKbdEnablePosFunctions, "POS_KBD_ENABLE_POS_FUNCTIONS"},
    {pos::kReqKbdEnableScrollLock, "POS_KBD_ENABLE_SCROLL_LOCK"},
    {pos::kReqKbdSetNumLockOff, "POS_KBD_SET_NUM_LOCK_OFF"},
    {pos::kReqKbdSetNumLockOn, "POS_KBD_SET_NUM_LOCK_ON"},
    {pos::kReqKbdSetScrollLockOff, "POS_KBD_SET_SCROLL_LOCK_OFF"},
    {pos::kReqKbdSetScrollLockOn, "POS_KBD_SET_SCROLL_LOCK_ON"},
    {pos::kReqKbdSetTypematicOff, "POS_KBD_SET_TYPEMATIC_OFF"},
    {pos::kReqKbdSetTypematicOn, "POS_KBD_SET_TYPEMATIC_ON"},
    {pos::kReqKbdSilenceTone, "POS_KBD_SILENCE_TONE"},
    {pos::kReqKbdSoundTone, "POS_KBD_SOUND_TONE"},
    {pos::kReqPowerOff, "POS_POWER_OFF"},
    {pos::kReqPowerOn, "POS_POWER_ON"},
    {pos::kReqPowerSetAlarm, "POS_POWER_SET_ALARM"},
    {pos::kReqPrnDefineCharacters, "POS_PRN_DEFINE_CHARACTERS"},
    {pos::kReqPrnDisableDiPrinting, "POS_PRN_DISABLE_DI_PRINTING"},
    {pos::kReqPrnDisableFiscalPrinting, "POS_PRN_DISABLE_FISCAL_PRINTING"},
    {pos::kReqPrnDiscardData, "POS_PRN_DISCARD_DATA"},
    {pos::kReqPrnEnableDiPrinting, "POS_PRN_ENABLE_DI_PRINTING"},
    {pos::kReqPrnEnableFiscalPrinting, "POS_PRN_ENABLE_FISCAL_PRINTING"},
    {pos::kReqPrnResetPrinter, "POS_PRN_RESET_PRINTER"},
    {pos::kReqPrnResumePrinting, "POS_PRN_RESUME_PRINTING"},
    {pos::kReqPrnRetryPrinting, "POS_PRN_RETRY_PRINTING"},
    {pos::kReqRs232SendBreak, "POS_RS232_SEND_BREAK"},
    {pos::kReqScaleClearScreen, "POS_SCALE_CLEAR_SCREEN"},
    {pos::kReqScaleZeroScale, "POS_SCALE_ZERO_SCALE"},
    {pos::kReqScanDiscardData, "POS_SCAN_DISCARD_DATA"},
    {pos::kReqSysAcquireDevice, "POS_SYS_ACQUIRE_DEVICE"},
    {pos::kReqSysGetValues, "POS_SYS_GET_VALUES"},
    {pos::kReqSysLockDevice, "POS_SYS_LOCK_DEVICE"},
    {pos::kReqSysReleaseDevice, "POS_SYS_RELEASE_DEVICE"},
    {pos::kReqSysSetValues, "POS_SYS_SET_VALUES"},
    {pos::kReqSysUnlockDevice, "POS_SYS_UNLOCK_DEVICE"},
    {pos::kReqTillOpenTill, "POS_TILL_OPEN_TILL"},
    {pos::kReqTouchSilenceTone, "POS_TOUCH_SILENCE_TONE"},
    {pos::kReqTouchSoundTone, "POS_TOUCH_SOUND_TONE"},
};

const NamedConstant kSlotConstants[] = {
    {pos::kSlot0, "SLOT_0"},
    {pos::kSlot1, "SLOT_1"},
    {pos::kSlot2, "SLOT_2"},
    {pos::kSlot3, "SLOT_3"},
    {pos::kSlot4, "SLOT_4"},
    {pos::kSlot5, "SLOT_5"},
    {pos::kSlot6, "SLOT_6"},
    {pos::kSlot7, "SLOT_7"},
    {pos::kSlot8, "SLOT_8"},
};

const NamedConstant kPortConstants[] = {
    {pos::kPort0, "PORT_0"},
    {pos::kPort1, "PORT_1"},
    {pos::kPort2, "PORT_2"},
};

const NamedConstant kDeviceTypeConstants[] = {
    {pos::kTypeAlarm, "ALARM"},
    {pos::kTypeAlphanumericDisplayA, "ALPHANUMERIC_DISPLAY_A"},
    {pos::kTypeAlphanumericDisplayB, "ALPHANUMERIC_DISPLAY_B"},
    {pos::kTypeAnopDisplayA, "ANOP_DISPLAY_A"},
    {pos::kTypeAnopDisplayB, "ANOP_DISPLAY_B"},
    {pos::kTypeAnposKeyboardA, "ANPOS_KEYBOARD_A"},
    {pos::kTypeAnposKeyboardB, "ANPOS_KEYBOARD_B"},
    {pos::kTypeApaDisplayA, "APA_DISPLAY_A"},
    {pos::kTypeApaDisplayB, "APA_DISPLAY_B"},
    {pos::kTypeApaDisplayC, "APA_DISPLAY_C"},
    {pos::kTypeApaDisplayD, "APA_DISPLAY_D"},
    {pos::kTypeCashDrawerA, "CASH_DRAWER_A"},
    {pos::kTypeCashDrawerB, "CASH_DRAWER_B"},
    {pos::kTypeCheckoutKeyboardA, "CHECKOUT_KEYBOARD_A"},
    {pos::kTypeCheckoutKeyboardB, "CHECKOUT_KEYBOARD_B"},
    {pos::kTypeJapaneseKeyboard, "JAPANESE_KEYBOARD"},
    {pos::kTypeMatrixKeyboardA, "MATRIX_KEYBOARD_A"},
    {pos::kTypeMatrixKeyboardB, "MATRIX_KEYBOARD_B"},
    {pos::kTypeMsr1TrackA, "MSR_1_TRACK_A"},
    {pos::kTypeMsr1TrackB, "MSR_1_TRACK_B"},
    {pos::kTypeMsr2TrackA, "MSR_2_TRACK_A"},
    {pos::kTypeMsr2TrackB, "MSR_2_TRACK_B"},
    {pos::kTypeMsr3TrackA, "MSR_3_TRACK_A"},
    {pos::kTypeMsr3TrackB, "MSR_3_TRACK_B"},
    {pos::kTypeMsrJTrack, "MSR_J_TRACK"},
    {pos::kTypeNvramA, "NVRAM_A"},
    {pos::kTypeNvramB, "NVRAM_B"},
    {pos::kTypeNvramLocal, "NVRAM_LOCAL"},
    {pos::kTypeOperatorDisplayA, "OPERATOR_DISPLAY_A"},
    {pos::kTypeOperatorDisplayB, "OPERATOR_DISPLAY_B"},
    {pos::kTypePluKeyboard, "PLU_KEYBOARD"},
    {pos::kTypePosKeyboardA, "POS_KEYBOARD_A"},
    {pos::kTypePosKeyboardB, "POS_KEYBOARD_B"},
    {pos::kTypePowerB, "POWER_B"},
    {pos::kTypePowerLocal, "POWER_LOCAL"},
    {pos::kTypePrinter2, "PRINTER_2"},
    {pos::kTypePrinter3, "PRINTER_3"},
    {pos::kTypePrinter4, "PRINTER_4"},
    {pos::kTypePrinterFiscal3, "PRINTER_FISCAL_3"},
    {pos::kTypePrinterQx7, "PRINTER_QX7"},
    {pos::kTypeRs23223A, "RS232_23A"},
    {pos::kTypeRs23223B, "RS232_23B"},
    {pos::kTypeRs23225A, "RS232_25A"},
    {pos::kTypeRs23225B, "RS232_25B"},
    {pos::kTypeRs232A, "RS232_A"},
    {pos::kTypeRs232B, "RS232_B"},
    {pos::kTypeScale, "SCALE"},
    {pos::kTypeScaleA, "SCALE_A"},
    {pos::kTypeScannerA, "SCANNER_A"},
    {pos::kTypeScannerB, "SCANNER_B"},
    {pos::kTypeShopperDisplayA, "SHOPPER_DISPLAY_A"},
    {pos::kTypeShopperDisplayB, "SHOPPER_DISPLAY_B"},
    {pos::kTypeSystemAttachedKbd, "SYSTEM_ATTACHED_KBD"},
    {pos::kTypeSystemAttachedMsr, "SYSTEM_ATTACHED_MSR"},
    {pos::kTypeTextKeyboardA, "TEXT_KEYBOARD_A"},
    {pos::kTypeTextKeyboardB, "TEXT_KEYBOARD_B"},
    {pos::kTypeTouchScreen, "TOUCH_SCREEN"},
};

const NamedConstant kDeviceClassConstants[] = {
    {pos::kClassAlarm, "ALARM"},
    {pos::kClassCashDrawer, "CASH_DRAWER"},
    {pos::kClassDisplay, "DISPLAY"},
    {pos::kClassKeyboard, "KEYBOARD"},
    {pos::kClassMsr, "MSR"},
    {pos::kClassNvram, "NVRAM"},
    {pos::kClassPower, "POWER"},
    {pos::kClassPrinter, "PRINTER"},
    {pos::kClassRs232, "RS232"},
    {pos::kClassScale, "SCALE"},
    {pos::kClassScanner, "SCANNER"},
    {pos::kClassTouchScreen, "TOUCH_SCREEN"},
    {pos::kClassUnknown, "UNKNOWN"},
};
// Every constant names an existing row by its exact name and carries that
// row's code, and together the constants cover every row they stand for.
void ExpectConstantsMatchRows(const CodeName* table, const NamedConstant* constants,
                              std::size_t count, const char* prefix) {
  std::set<std::string> covered;
  for (std::size_t i = 0; i < count; ++i) {
    SCOPED_TRACE(constants[i].name);
    const CodeName* row = table;
    while (row->Name != nullptr && std::strcmp(row->Name, constants[i].name) != 0) ++row;
    ASSERT_NE(row->Name, nullptr) << "no row of that name";
    EXPECT_EQ(row->Code, constants[i].value);
    EXPECT_TRUE(covered.insert(constants[i].name).second) << "listed twice";
  }
  std::size_t rows = 0;
  for (const auto& row : Rows(table))
    if (std::strncmp(row.Name, prefix, std::strlen(prefix)) == 0) ++rows;
  EXPECT_EQ(covered.size(), rows);
}

}  // namespace

#define EXPECT_CONSTANTS(table, constants, prefix) \
  ExpectConstantsMatchRows(table, constants, std::size(constants), prefix)

TEST(PosCodes, EveryConstantEqualsItsRow) {
  EXPECT_CONSTANTS(ErrorNames, kSysErrorConstants, "POSERR_SYS_");
  EXPECT_CONSTANTS(MessageNames, kMessageConstants, "POSM_");
  EXPECT_CONSTANTS(IoctlRequestNames, kRequestConstants, "POS_");
  EXPECT_CONSTANTS(SlotNames, kSlotConstants, "");
  EXPECT_CONSTANTS(PortNames, kPortConstants, "");
  EXPECT_CONSTANTS(DeviceTypeNames, kDeviceTypeConstants, "");
  EXPECT_CONSTANTS(DeviceClassNames, kDeviceClassConstants, "");
}
