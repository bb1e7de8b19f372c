#include "dialogs/write_text.h"

#include <cstring>

void StartWriteText(WriteText* text) { std::memset(text, 0, sizeof *text); }

bool AddWriteTextLine(WriteText* text, const char* line, std::int32_t length) {
  if (length < 0) length = 0;
  text->total += length;
  std::int32_t take = length;
  const bool full = text->total > kWriteTextLimit;
  if (full) take = kWriteTextLimit - text->collected;
  if (take > 0) {
    std::memcpy(text->data + text->collected, line, static_cast<std::size_t>(take));
    text->collected += take;
    text->data[text->collected] = '\0';
  }
  return !full;
}
