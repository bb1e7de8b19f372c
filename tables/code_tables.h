// The constant code-name tables: every error, notification message, ioctl
// request, slot, port, device type, class and subtype code with its symbolic
// name. Each table ends with a row whose Name is null; walks stop there.
#ifndef REVEDIZ_TABLES_CODE_TABLES_H
#define REVEDIZ_TABLES_CODE_TABLES_H

#include <cstdint>

struct CodeName {
  std::int32_t Code;
  const char* Name;
};

extern const CodeName ErrorNames[];
extern const CodeName MessageNames[];
extern const CodeName IoctlRequestNames[];
extern const CodeName SlotNames[];
extern const CodeName PortNames[];
extern const CodeName DeviceTypeNames[];
extern const CodeName DeviceClassNames[];
extern const CodeName DeviceSubtypeNames[];

// The three value-type labels of the argument dialogs: 15-byte slots holding
// "Hex", "Dec" and "String" padded with blanks to 12 characters.
inline constexpr int kArgumentTypeCount = 3;
inline constexpr int kArgumentTypeSlotSize = 15;
extern const char ArgumentTypeNames[kArgumentTypeCount][kArgumentTypeSlotSize];

// The name of `code` in `table` (its first row with the code), or null.
inline const char* NameOf(const CodeName* table, std::int32_t code) {
  for (; table->Name != nullptr; ++table) {
    if (table->Code == code) return table->Name;
  }
  return nullptr;
}

#endif  // REVEDIZ_TABLES_CODE_TABLES_H
