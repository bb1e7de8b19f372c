#include "dialogs/escapes.h"

#include <cstdlib>
#include <cstring>

#include "app/fatal.h"
#include "app/status_log.h"

namespace {

bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }

// The value of a hexadecimal digit, or -1 for any other character.
int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The byte of a one-character escape (the character after the backslash), or
// -1 when the character is not one of them.
int SimpleEscape(char c) {
  switch (c) {
    case '"': return 0x22;
    case '\'': return 0x27;
    case '?': return 0x3F;
    case '\\': return 0x5C;
    case 'a': return 0x07;
    case 'b': return 0x08;
    case 'f': return 0x0C;
    case 'n': return 0x0A;
    case 'r': return 0x0D;
    case 't': return 0x09;
    case 'v': return 0x0B;
    default: return -1;
  }
}

}  // namespace

std::int32_t ExpandEscapes(char* text) {
  const std::size_t length = std::strlen(text);
  char* BufCopy = static_cast<char*>(std::malloc(length + 1));
  REVEDIZ_ASSERT(BufCopy);

  const char* in = text;
  std::size_t out = 0;
  while (*in != '\0') {
    if (in[0] != '\\' || in[1] == '\0') {
      BufCopy[out++] = *in++;
      continue;
    }
    const char c = in[1];
    const int simple = SimpleEscape(c);
    if (simple >= 0) {
      BufCopy[out++] = static_cast<char>(simple);
      in += 2;
    } else if (IsOctalDigit(c)) {
      unsigned value = 0;
      int taken = 0;
      in += 1;
      while (taken < 3 && IsOctalDigit(*in)) {
        value = value * 8 + static_cast<unsigned>(*in - '0');
        ++in;
        ++taken;
      }
      BufCopy[out++] = static_cast<char>(value & 0xFF);
    } else if (c == 'x') {
      unsigned value = 0;
      int taken = 0;
      in += 2;
      while (taken < 2 && HexDigitValue(*in) >= 0) {
        value = value * 16 + static_cast<unsigned>(HexDigitValue(*in));
        ++in;
        ++taken;
      }
      BufCopy[out++] = static_cast<char>(value);
    } else {
      FormatMessageText("--> Error, unknown escape sequence '%c%c'", in[0], c);
      AppendToStatusLog();
      BufCopy[out++] = in[0];
      BufCopy[out++] = c;
      in += 2;
    }
  }
  BufCopy[out] = '\0';
  std::memcpy(text, BufCopy, out + 1);
  std::free(BufCopy);
  return static_cast<std::int32_t>(out);
}
