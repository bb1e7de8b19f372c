// Checks of the numeric fields that the command dialogs read: digit sets,
// decimal and hexadecimal conversion into signed 32 bits, and the common
// refusals of a handle field and an N Arguments field. Window-free: a
// refusal is shown through app/status_log.h and nothing is logged.
#ifndef REVEDIZ_DIALOGS_FIELD_CHECKS_H
#define REVEDIZ_DIALOGS_FIELD_CHECKS_H

#include <cstdint>

// The characters a decimal field and a hexadecimal value may hold. No sign,
// no blank.
inline constexpr char kDecimalDigits[] = "0123456789";
inline constexpr char kHexDigits[] = "0123456789ABCDEFabcdef";

// True when every character of text is in set (the leading run of set
// characters is the whole text). An empty text is true: callers test for
// emptiness first where it matters.
bool IsAllOf(const char* text, const char* set);

// True for a non-empty text of decimal digits only.
bool IsDecimalText(const char* text);

// True for a non-empty text of hexadecimal digits only.
bool IsHexText(const char* text);

// Converts a non-empty text of decimal digits into *value. Returns false, and
// leaves *value alone, when the text is not all decimal digits or its value
// exceeds 2147483647. Leading zeros are allowed.
bool ParseDecimal32(const char* text, std::int32_t* value);

// Converts a non-empty text of hexadecimal digits (either case) into *value:
// the 32 bits of the number, so "FFFFFFFF" gives -1. Returns false, and
// leaves *value alone, when the text is not all hexadecimal digits or the
// number has more than eight digits after its leading zeros.
bool ParseHex32(const char* text, std::int32_t* value);

// The handle field of the Close, Ioctl, Read and Write dialogs. On success
// stores the handle and returns true. Otherwise shows, under "Handle Error ",
// "Missing Handle number" (empty text), "Non numeric Handle : %s " (a
// character other than a decimal digit) or "Handle out of range : %s "
// (digits beyond 2147483647), and returns false.
bool CheckHandleText(const char* text, std::int32_t* handle);

// The N Arguments field of the Initialize, Open and Ioctl dialogs. An empty
// text gives 0. On success stores N and returns true. Otherwise shows, under
// "Argument Error ", "Non Numeric Argument : %s " (a character other than a
// decimal digit) or "Too many arguments : %s " (N above capacity, the number
// of rows the dialog may pass), and returns false.
bool CheckArgumentCountText(const char* text, std::int32_t capacity, std::int32_t* n);

#endif  // REVEDIZ_DIALOGS_FIELD_CHECKS_H
