// The Read and Write dialogs over what the operator types and the device does, one part chosen by the last input
// byte: the buffer size field, the guarded read buffer and the dump of what may be shown, the text collected from any
// lines, the escapes, the input and output files.
#include <algorithm>
#include <cstring>

#include "decode/hex_dump.h"
#include "dialogs/data_files.h"
#include "dialogs/escapes.h"
#include "dialogs/read_checks.h"
#include "dialogs/write_text.h"
#include "tests/fuzz/fuzz_harness.h"

static void CheckBufferSize(FuzzInput& input) {  // a size taken fits the largest buffer; a refusal shows its box
  std::int32_t size = -7;
  const bool taken = CheckBufferSizeText(input.Number(5000000000).c_str(), &size);
  FUZZ_CHECK(FuzzLines.empty() && FuzzBoxes.size() == !taken &&
             (taken ? size >= 0 && size <= kMaxReadBufferSize : size == -7));
}

// A buffer of up to 600 bytes or (one time in sixteen) past 64 KiB, filled with the device's bytes (the input's rest,
// repeated), a few bytes written anywhere (guards too), any result claimed.
static void CheckRead(FuzzInput& input) {
  const bool large = input.ConsumeIntegral<std::uint8_t>() >= 240;
  const std::int32_t size = large ? input.ConsumeIntegralInRange(65500, 70000) : input.ConsumeIntegralInRange(0, 600);
  std::vector<std::pair<std::int32_t, std::uint8_t>> writes(input.ConsumeIntegralInRange(0, 8));
  for (auto& [at, byte] : writes)
    at = input.ConsumeIntegralInRange(0, size + 1), byte = input.ConsumeIntegral<std::uint8_t>();
  const std::int32_t result = input.ConsumeIntegral<std::int32_t>();
  const std::vector<std::uint8_t> bytes = input.Bytes();
  unsigned char* block = TakeReadBuffer(size, "fuzz");
  FUZZ_CHECK(block != nullptr && block[0] == kReadGuardByte && block[size + 1] == kReadGuardByte);
  for (std::int32_t i = 0; i < size && !bytes.empty(); ++i) block[1 + i] = bytes[i % bytes.size()];
  for (const auto& [at, byte] : writes) block[at] = byte;
  const bool guardChanged = block[0] != kReadGuardByte || block[size + 1] != kReadGuardByte;
  const std::int32_t shown = CheckReadResult(block, size, result);
  FUZZ_CHECK(shown == std::min(result, size) && FuzzBoxes.empty() &&
             FuzzLines.size() == (result > size ? 1u : 0u) + (guardChanged ? 1u : 0u));
  // The dump of what may be shown, from a block of its own size: the title and count lines, a row per 16 bytes begun.
  const std::vector<std::uint8_t> data(block + 1, block + 1 + std::max(shown, 0));
  ReleaseReadBuffer(block);
  ResetFuzzShell(true);
  HexDump("Read Results", data.data(), shown);
  FUZZ_CHECK(FuzzBoxes.empty() && FuzzLines.size() == (shown > 0 ? 2 + (shown + 15) / 16u : 0));
}

static void CheckWriteText(FuzzInput& input) {
  WriteText text;
  StartWriteText(&text);
  std::string all;
  bool more = true;
  for (int lines = input.ConsumeIntegralInRange(0, 12); lines > 0 && more; --lines) {
    const std::string line = input.Field(300);  // any bytes but NUL, at most what the box holds
    all += line;
    more = AddWriteTextLine(&text, line.c_str(), static_cast<std::int32_t>(line.size()));
    const std::size_t kept = std::min<std::size_t>(all.size(), kWriteTextLimit);
    FUZZ_CHECK(more == (all.size() <= kWriteTextLimit) && text.collected == static_cast<std::int32_t>(kept));
    FUZZ_CHECK(text.data[kept] == '\0' && all.compare(0, kept, text.data, kept) == 0);
  }
}

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
    return FUZZ_CHECK(FuzzBoxes.empty() && (Expand(text) == text || text.find('\\') != text.npos));
  }
  // Each byte spelt as the next input byte chooses: itself (when plain), in three octal digits, in two hex digits or
  // as its one-letter escape.
  static constexpr char kBytes[] = "\a\b\f\n\r\t\v\\\"'?", kLetters[] = "abfnrtv\\\"'?";
  std::string raw, escaped;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const unsigned char byte = bytes[i], how = bytes[i + 1] % 4;
    const char* simple = byte != 0 ? std::strchr(kBytes, byte) : nullptr;
    const bool plain = how == 0 && byte >= 0x20 && byte <= 0x7E && byte != '\\';
    char spelt[8] = {static_cast<char>(byte)};
    if (how == 1) std::snprintf(spelt, sizeof spelt, "\\%03o", byte);
    else if (how == 2 || (!plain && !simple)) std::snprintf(spelt, sizeof spelt, "\\x%02x", byte);
    else if (!plain) std::snprintf(spelt, sizeof spelt, "\\%c", kLetters[simple - kBytes]);
    raw += static_cast<char>(byte), escaped += spelt;
  }
  FUZZ_CHECK(Expand(escaped) == raw && FuzzLines.empty());
}

// The output file, emptied first, holds the bytes written: they read back whole into a buffer of exactly capacity
// bytes when they fit, else not at all.
static void CheckFiles(FuzzInput& input) {
  // Two bytes choose the capacity: near the content's size, or from 0 to above the Write dialog's 8192 bytes.
  const std::uint8_t mode = input.Front(), near = input.Front();
  const std::vector<std::uint8_t> content = input.Bytes();
  const auto length = static_cast<std::int32_t>(content.size());
  const std::int32_t capacity =
      std::max(-1, mode & 0x80 ? length + static_cast<std::int8_t>(near) : (mode << 8 | near) % 8194);
  const std::string path = FuzzTempFile("", 0);
  FUZZ_CHECK(WriteOutputFile(path.c_str(), content.data(), length) == length);
  std::vector<unsigned char> buffer(std::max(capacity, 1));
  const std::int32_t read = ReadInputFile(path.c_str(), buffer.data(), capacity);
  FUZZ_CHECK(read == (length >= 1 && length <= capacity ? length : -1) && FuzzLines.size() == 2 && FuzzBoxes.empty());
  FUZZ_CHECK(read < 0 || std::equal(content.begin(), content.end(), buffer.begin()));
}

void FuzzOne(FuzzInput& input) {
  static void (*const kParts[])(FuzzInput&) = {CheckBufferSize, CheckRead, CheckWriteText, CheckEscapes,
                                                 CheckFiles};
  kParts[input.ConsumeIntegralInRange(0, 4)](input);
}
