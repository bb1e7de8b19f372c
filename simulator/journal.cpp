#include "simulator/journal.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace sim {
namespace {

// Formats into `out` with no length limit: a first try in a stack buffer,
// then once more into a heap buffer of the exact size.
void AppendFormatted(std::string& out, const char* format, va_list args) SIM_PRINTF_FORMAT(2, 0);
void AppendFormatted(std::string& out, const char* format, va_list args) {
  char small[512];
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (needed < 0) return;
  if (static_cast<std::size_t>(needed) < sizeof small) {
    out.append(small, static_cast<std::size_t>(needed));
    return;
  }
  std::vector<char> large(static_cast<std::size_t>(needed) + 1);
  std::vsnprintf(large.data(), large.size(), format, args);
  out.append(large.data(), static_cast<std::size_t>(needed));
}

// A line end inside a text (a device name typed with one, say) would split
// its entry across lines: it is written as the escape \r or \n instead, so
// every line of the journal is one line of one entry.
void AppendOnOneLine(std::string& out, const char* format, va_list args) SIM_PRINTF_FORMAT(2, 0);
void AppendOnOneLine(std::string& out, const char* format, va_list args) {
  const std::size_t from = out.size();
  AppendFormatted(out, format, args);
  for (std::size_t i = from; i < out.size(); ++i) {
    if (out[i] != '\r' && out[i] != '\n') continue;
    out.replace(i, 1, out[i] == '\r' ? "\\r" : "\\n");
    ++i;  // past the escape's letter
  }
}

}  // namespace

std::string Formatted(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormattedList(format, args);
  va_end(args);
  return text;
}

std::string FormattedList(const char* format, va_list args) {
  std::string text;
  AppendFormatted(text, format, args);
  return text;
}

void JournalBlock::Line(const char* format, ...) {
  va_list args;
  va_start(args, format);
  AppendOnOneLine(text_, format, args);
  va_end(args);
  EndLine();
}

void JournalBlock::Append(const char* format, ...) {
  va_list args;
  va_start(args, format);
  AppendOnOneLine(text_, format, args);
  va_end(args);
}

void JournalBlock::AppendHex(const unsigned char* data, std::size_t length) {
  static const char kDigits[] = "0123456789ABCDEF";
  const std::size_t shown = length < kJournalDataBytes ? length : kJournalDataBytes;
  for (std::size_t i = 0; i < shown; ++i) {
    if (i > 0) text_.push_back(' ');
    text_.push_back(kDigits[data[i] >> 4]);
    text_.push_back(kDigits[data[i] & 0x0F]);
  }
  if (shown < length) Append(" ... total=%u", static_cast<unsigned>(length));
}

void JournalBlock::EndLine() { text_.append("\r\n"); }

}  // namespace sim
