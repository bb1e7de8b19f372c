#include "decode/hex_dump.h"

#include <cstring>

#include "app/status_log.h"

namespace {

// One row: 3 blanks, up to 16 offset digits, ": ", 16 x 3 for the bytes,
// " | ", 16 text characters, the newline and the terminator.
constexpr std::size_t kDumpLineSize = 96;
char DumpLine[kDumpLineSize];

constexpr char kHexDigits[] = "0123456789ABCDEF";

// For each byte value: its two hex digits and the blank after them (as four
// bytes, so one fixed-size copy places a group), and its text-column
// character.
struct ByteForms {
  char group[256][4];
  char text[256];
};

constexpr ByteForms MakeByteForms() {
  ByteForms forms{};
  for (int b = 0; b < 256; ++b) {
    forms.group[b][0] = kHexDigits[b >> 4];
    forms.group[b][1] = kHexDigits[b & 0xF];
    forms.group[b][2] = ' ';
    forms.group[b][3] = '\0';
    forms.text[b] = (b >= 0x20 && b <= 0x7E) ? static_cast<char>(b) : '.';
  }
  return forms;
}

constexpr ByteForms kByteForms = MakeByteForms();
constexpr std::size_t kBytesPerRow = 16;

// Formats one row into out (at least kDumpLineSize bytes) and returns its
// length. Hand-rolled: the rows of a large read are formatted by the
// thousand.
std::size_t FormatRow(char* out, std::size_t offset, const unsigned char* bytes,
                      std::size_t count) {
  char* p = out;
  *p++ = ' ';
  *p++ = ' ';
  *p++ = ' ';
  // "%04X": at least four digits, as many as the offset needs.
  if (offset <= 0xFFFF) {
    p[0] = kHexDigits[(offset >> 12) & 0xF];
    p[1] = kHexDigits[(offset >> 8) & 0xF];
    p[2] = kHexDigits[(offset >> 4) & 0xF];
    p[3] = kHexDigits[offset & 0xF];
    p += 4;
  } else {
    int digits = 4;
    while (digits < static_cast<int>(2 * sizeof offset) && (offset >> (4 * digits)) != 0) ++digits;
    for (int d = digits - 1; d >= 0; --d) *p++ = kHexDigits[(offset >> (4 * d)) & 0xF];
  }
  *p++ = ':';
  *p++ = ' ';
  char* text = p + 3 * count + 3;
  // Each copy writes one byte beyond its group; the next group, the " | "
  // or the text column overwrites it, and the row ends well inside out.
  for (std::size_t i = 0; i < count; ++i) {
    std::memcpy(p + 3 * i, kByteForms.group[bytes[i]], 4);
  }
  for (std::size_t i = 0; i < count; ++i) text[i] = kByteForms.text[bytes[i]];
  p += 3 * count;
  p[0] = ' ';
  p[1] = '|';
  p[2] = ' ';
  p = text + count;
  *p++ = '\n';
  *p = '\0';
  return static_cast<std::size_t>(p - out);
}

void AppendRowToStatusLog(void*, const char* line, std::size_t) { AppendTextToStatusLog(line); }

}  // namespace

void FormatHexDumpRows(const void* data, std::size_t length, DumpLineSink sink, void* context) {
  if (data == nullptr) return;
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  for (std::size_t offset = 0; offset < length; offset += kBytesPerRow) {
    const std::size_t left = length - offset;
    const std::size_t count = left < kBytesPerRow ? left : kBytesPerRow;
    const std::size_t lineLength = FormatRow(DumpLine, offset, bytes + offset, count);
    sink(context, DumpLine, lineLength);
  }
}

void HexDump(const char* title, const void* data, std::int32_t length) {
  std::memset(DumpLine, 0, sizeof DumpLine);
  if (data == nullptr || length <= 0) return;
  if (title == nullptr) title = "(No title)";

  FormatMessageText("      %s:  ", title);
  AppendToStatusLog();
  // The count shows the whole length, also for blocks beyond 16 bits.
  if (length <= 0xFFFF)
    FormatMessageText("      (%hu bytes)", static_cast<unsigned short>(length));
  else
    FormatMessageText("      (%lu bytes)", static_cast<unsigned long>(length));
  AppendToStatusLog();

  // Thousands of rows for a large read: the log redraws once, after them.
  BeginStatusLogBatch();
  FormatHexDumpRows(data, static_cast<std::size_t>(length), AppendRowToStatusLog, nullptr);
  EndStatusLogBatch();
}
