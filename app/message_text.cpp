// MessageText and its bounded formatting; shared by the Win32 shell and the
// native test double.
#include "app/status_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

char MessageText[kMessageTextSize];

int FormatMessageText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(MessageText, sizeof MessageText, format, args);
  va_end(args);
  if (length < 0) MessageText[0] = '\0';
  return length;
}

void SetMessageText(const char* text) {
  std::snprintf(MessageText, sizeof MessageText, "%s", text ? text : "");
}

void ClearMessageText() { std::memset(MessageText, 0, sizeof MessageText); }
