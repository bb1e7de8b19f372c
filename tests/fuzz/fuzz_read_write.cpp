// The Write and Read dialogs over what the operator types, one part chosen by the last input byte: the escapes, the
// input and output files.
#include <algorithm>

#include "dialogs/data_files.h"
#include "dialogs/escapes.h"
#include "tests/fuzz/fuzz_harness.h"

// Expands in a heap block of exactly the text's size, so a write past it is caught.
static std::string Expand(const std::string& text) {
  std::vector<char> block(text.c_str(), text.c_str() + text.size() + 1);
  const std::int32_t produced = ExpandEscapes(block.data());
  FUZZ_CHECK(produced >= 0 && produced <= static_cast<std::int32_t>(text.size()) && block[produced] == '\0');
  return std::string(block.data(), produced);
}

static void CheckEscapes(FuzzInput& input) {
  const bool spelling = input.Front() & 1;
  const std::vector<std::uint8_t> bytes = input.Bytes();
  if (!spelling) {  // any text, as a control holds it: unchanged without a backslash
    const std::string text(bytes.begin(), std::find(bytes.begin(), bytes.end(), 0));
    return FUZZ_CHECK(Expand(text) == text || text.find('\\') != text.npos);
  }
  // Each byte spelt as the next input byte chooses: itself (when plain), in three octal digits or in two hex digits.
  std::string raw, escaped;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const unsigned char byte = bytes[i], how = bytes[i + 1] % 3;
    const bool plain = how == 0 && byte >= 0x20 && byte <= 0x7E && byte != '\\';
    char spelt[8] = {static_cast<char>(byte)};
    if (how == 1) std::snprintf(spelt, sizeof spelt, "\\%03o", byte);
    else if (!plain) std::snprintf(spelt, sizeof spelt, "\\x%02x", byte);
    raw += static_cast<char>(byte);
    escaped += spelt;
  }
  FUZZ_CHECK(Expand(escaped) == raw);
}

// The output file, emptied first, holds the bytes written: they read back whole into a buffer of exactly capacity
// bytes (near their size) when they fit, else not at all.
static void CheckFiles(FuzzInput& input) {
  const auto near = static_cast<std::int8_t>(input.Front());
  const std::vector<std::uint8_t> content = input.Bytes();
  const auto length = static_cast<std::int32_t>(content.size());
  const std::int32_t capacity = std::max(-1, length + near);
  const std::string path = FuzzTempFile("", 0);
  FUZZ_CHECK(WriteOutputFile(path.c_str(), content.data(), length) == length);
  std::vector<unsigned char> buffer(std::max(capacity, 1));
  const std::int32_t read = ReadInputFile(path.c_str(), buffer.data(), capacity);
  FUZZ_CHECK(read == (length >= 1 && length <= capacity ? length : -1));
  FUZZ_CHECK(read < 0 || std::equal(content.begin(), content.end(), buffer.begin()));
}

void FuzzOne(FuzzInput& input) {
  static void (*const kParts[])(FuzzInput&) = {CheckEscapes, CheckFiles};
  kParts[input.ConsumeIntegralInRange(0, 1)](input);
}
