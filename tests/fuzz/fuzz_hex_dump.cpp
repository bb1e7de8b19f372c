// The hex dump over any bytes and lengths: the rows must give back the bytes
// they show, and fit their width, for small reads and for blocks past 64 KiB.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "decode/hex_dump.h"
#include "tests/fuzz/fuzz_shell.h"

namespace {

constexpr std::size_t kBytesPerRow = 16;

struct DumpCheck {
  const unsigned char* data;
  std::size_t length;
  std::string title;
  std::size_t line = 0;  // lines seen so far
};

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads hex digits from text until the first non-digit; -1 when none.
std::int64_t ParseHex(const char* text, std::size_t length, std::size_t* used) {
  std::int64_t value = 0;
  std::size_t i = 0;
  while (i < length && i < 15 && HexValue(text[i]) >= 0) value = value * 16 + HexValue(text[i++]);
  *used = i;
  return i == 0 ? -1 : value;
}

void CheckRow(const DumpCheck& dump, std::size_t row, const char* line, std::size_t length) {
  const std::size_t offset = row * kBytesPerRow;
  const std::size_t count =
      dump.length - offset < kBytesPerRow ? dump.length - offset : kBytesPerRow;
  FUZZ_CHECK(length > 0 && line[length - 1] == '\n');
  FUZZ_CHECK(std::memchr(line, '\n', length - 1) == nullptr);
  if (dump.length < 65520) FUZZ_CHECK(length - 1 <= 77);

  FUZZ_CHECK(length > 3 && std::memcmp(line, "   ", 3) == 0);
  std::size_t used = 0;
  const std::int64_t shownOffset = ParseHex(line + 3, length - 3, &used);
  FUZZ_CHECK(used >= 4);
  FUZZ_CHECK(shownOffset == static_cast<std::int64_t>(offset));
  const char* p = line + 3 + used;
  FUZZ_CHECK(p[0] == ':' && p[1] == ' ');
  p += 2;
  for (std::size_t i = 0; i < count; ++i, p += 3) {
    FUZZ_CHECK(HexValue(p[0]) >= 0 && HexValue(p[1]) >= 0 && p[2] == ' ');
    FUZZ_CHECK(HexValue(p[0]) * 16 + HexValue(p[1]) == dump.data[offset + i]);
  }
  FUZZ_CHECK(p[0] == ' ' && p[1] == '|' && p[2] == ' ');
  p += 3;
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char shown = static_cast<unsigned char>(p[i]);
    const unsigned char byte = dump.data[offset + i];
    FUZZ_CHECK(shown >= 0x20 && shown <= 0x7E);
    FUZZ_CHECK(shown == ((byte >= 0x20 && byte <= 0x7E) ? byte : '.'));
  }
  FUZZ_CHECK(p + count == line + length - 1);
}

void CheckLine(const char* line, std::size_t length, void* context) {
  auto* dump = static_cast<DumpCheck*>(context);
  const std::size_t index = dump->line++;
  if (index == 0) {
    FUZZ_CHECK(std::string(line, length) == "      " + dump->title + ":  ");
  } else if (index == 1) {
    FUZZ_CHECK(std::string(line, length) ==
               "      (" + std::to_string(dump->length) + " bytes)");
  } else {
    CheckRow(*dump, index - 2, line, length);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The mode byte: bits 7 and 5 both set for a large block, bit 6 for a null
  // title, the low five bits 0x1F for null data, 0x1E for a negative length,
  // otherwise they choose the large block's length.
  const std::uint8_t mode = data[0];
  const bool large = (mode & 0xA0) == 0xA0;
  const bool nullTitle = (mode & 0x40) != 0;
  const unsigned select = mode & 0x1F;
  const bool nullData = select == 0x1F;
  const bool negative = select == 0x1E;

  // A short printable title from the input.
  const std::size_t titleLength = data[1] % 24;
  if (size < 2 + titleLength) return 0;
  std::string title;
  for (std::size_t i = 0; i < titleLength; ++i)
    title.push_back(static_cast<char>(0x20 + data[2 + i] % 95));
  const unsigned char* bytes = data + 2 + titleLength;
  std::size_t length = size - 2 - titleLength;

  // Large blocks: the input repeated up to a length around 64 KiB, so the
  // offsets grow past four digits.
  std::vector<unsigned char> block;
  if (large && length > 0) {
    static constexpr std::size_t kLengths[] = {65519, 65520, 65536, 65537, 70000};
    const std::size_t target = kLengths[select % (sizeof kLengths / sizeof kLengths[0])];
    block.resize(target);
    for (std::size_t i = 0; i < target; ++i) block[i] = bytes[i % length];
    bytes = block.data();
    length = target;
  }

  DumpCheck dump{bytes, length, nullTitle ? std::string("(No title)") : title};
  ResetFuzzShell(true, CheckLine, &dump);
  // Lengths a caller may pass for a block it has: all of it, or a negative
  // count (a device result taken as a length).
  const std::int32_t passed =
      negative ? -static_cast<std::int32_t>(length) - 1 : static_cast<std::int32_t>(length);
  HexDump(nullTitle ? nullptr : title.c_str(), nullData ? nullptr : bytes, passed);

  if (nullData || passed <= 0) {
    FUZZ_CHECK(FuzzLogLines() == 0);
  } else {
    FUZZ_CHECK(FuzzLogLines() == 2 + (length + kBytesPerRow - 1) / kBytesPerRow);
  }
  FUZZ_CHECK(FuzzBoxes() == 0);
  return 0;
}
