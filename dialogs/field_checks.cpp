#include "dialogs/field_checks.h"

#include <cstring>

#include "app/status_log.h"

namespace {

constexpr std::int32_t kInt32Max = 2147483647;

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;  // the caller has checked the set
}

}  // namespace

bool IsAllOf(const char* text, const char* set) {
  return std::strspn(text, set) == std::strlen(text);
}

bool IsDecimalText(const char* text) { return text[0] != '\0' && IsAllOf(text, kDecimalDigits); }

bool IsHexText(const char* text) { return text[0] != '\0' && IsAllOf(text, kHexDigits); }

bool ParseDecimal32(const char* text, std::int32_t* value) {
  if (!IsDecimalText(text)) return false;
  std::int64_t number = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    number = number * 10 + (*p - '0');
    if (number > kInt32Max) return false;  // stops before the sum can grow further
  }
  *value = static_cast<std::int32_t>(number);
  return true;
}

bool ParseHex32(const char* text, std::int32_t* value) {
  if (!IsHexText(text)) return false;
  const char* digits = text;
  while (*digits == '0') ++digits;
  if (std::strlen(digits) > 8) return false;
  std::uint32_t number = 0;
  for (const char* p = digits; *p != '\0'; ++p)
    number = (number << 4) | static_cast<std::uint32_t>(HexDigitValue(*p));
  *value = static_cast<std::int32_t>(number);
  return true;
}

bool CheckHandleText(const char* text, std::int32_t* handle) {
  if (text[0] == '\0') {
    SetMessageText("Missing Handle number");
    ShowMessageBox(MessageText, "Handle Error ");
    return false;
  }
  if (!IsAllOf(text, kDecimalDigits)) {
    FormatMessageText("Non numeric Handle : %s ", text);
    ShowMessageBox(MessageText, "Handle Error ");
    return false;
  }
  if (!ParseDecimal32(text, handle)) {
    FormatMessageText("Handle out of range : %s ", text);
    ShowMessageBox(MessageText, "Handle Error ");
    return false;
  }
  return true;
}

bool CheckArgumentCountText(const char* text, std::int32_t capacity, std::int32_t* n) {
  if (text[0] == '\0') {
    *n = 0;
    return true;
  }
  if (!IsAllOf(text, kDecimalDigits)) {
    FormatMessageText("Non Numeric Argument : %s ", text);
    ShowMessageBox(MessageText, "Argument Error ");
    return false;
  }
  std::int32_t count = 0;
  if (!ParseDecimal32(text, &count) || count > capacity) {
    FormatMessageText("Too many arguments : %s ", text);
    ShowMessageBox(MessageText, "Argument Error ");
    return false;
  }
  *n = count;
  return true;
}
