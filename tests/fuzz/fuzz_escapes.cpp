// The Write dialog's escapes over any typed text. Two ways in, chosen by the
// first byte: the text as typed (bounds, growth, the error lines), or raw
// bytes spelt out in escapes, which must expand back to those very bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dialogs/escapes.h"
#include "tests/fuzz/fuzz_shell.h"

namespace {

bool IsOctal(char c) { return c >= '0' && c <= '7'; }
bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The escapes that are not recognised, in the order a left-to-right reading
// meets them.
std::string UnknownEscapes(const std::string& text) {
  std::string unknown;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      ++i;
      continue;
    }
    const char c = text[i + 1];
    if (std::strchr("\"'?\\abfnrtv", c) != nullptr) {
      i += 2;
    } else if (IsOctal(c)) {
      i += 1;
      for (int taken = 0; taken < 3 && i < text.size() && IsOctal(text[i]); ++taken) ++i;
    } else if (c == 'x') {
      i += 2;
      for (int taken = 0; taken < 2 && i < text.size() && IsHex(text[i]); ++taken) ++i;
    } else {
      unknown.push_back(c);
      i += 2;
    }
  }
  return unknown;
}

struct ErrorLines {
  std::string expected;  // the unknown characters, in order
  std::size_t seen = 0;
};

void CheckErrorLine(const char* line, std::size_t length, void* context) {
  auto* errors = static_cast<ErrorLines*>(context);
  static constexpr char kPrefix[] = "--> Error, unknown escape sequence '\\";
  constexpr std::size_t kPrefixLength = sizeof kPrefix - 1;
  FUZZ_CHECK(errors->seen < errors->expected.size());
  FUZZ_CHECK(length == kPrefixLength + 2);
  FUZZ_CHECK(std::memcmp(line, kPrefix, kPrefixLength) == 0);
  FUZZ_CHECK(line[kPrefixLength] == errors->expected[errors->seen]);
  FUZZ_CHECK(line[kPrefixLength + 1] == '\'');
  ++errors->seen;
}

// Expands text in a heap block of exactly its size, so a write past it is
// caught, and returns the bytes produced.
std::string Expand(const std::string& text, std::int32_t* produced) {
  char* block = static_cast<char*>(std::malloc(text.size() + 1));
  FUZZ_CHECK(block != nullptr);
  std::memcpy(block, text.c_str(), text.size() + 1);
  *produced = ExpandEscapes(block);
  FUZZ_CHECK(*produced >= 0);
  FUZZ_CHECK(static_cast<std::size_t>(*produced) <= text.size());
  FUZZ_CHECK(block[*produced] == '\0');
  std::string out(block, static_cast<std::size_t>(*produced));
  std::free(block);
  return out;
}

void TypedText(const std::uint8_t* data, std::size_t size) {
  // The text ends at the first NUL, as a control's text does.
  const char* begin = reinterpret_cast<const char*>(data);
  const std::string text(begin, strnlen(begin, size));

  ErrorLines errors{UnknownEscapes(text)};
  ResetFuzzShell(false, CheckErrorLine, &errors);
  std::int32_t produced = 0;
  const std::string out = Expand(text, &produced);

  FUZZ_CHECK(FuzzLogLines() == errors.expected.size());
  FUZZ_CHECK(FuzzBoxes() == 0);
  if (text.find('\\') == std::string::npos) FUZZ_CHECK(out == text);
}

// Spells each byte as the fuzzer's next byte chooses: itself (when plain), a
// three-digit octal, a two-digit hex escape or its one-letter escape.
void SpeltBytes(const std::uint8_t* data, std::size_t size) {
  std::string raw;
  std::string text;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    const unsigned char byte = data[i];
    const unsigned how = data[i + 1] % 4;
    raw.push_back(static_cast<char>(byte));
    char spelt[8];
    static constexpr char kBytes[] = "\a\b\f\n\r\t\v\\\"'?";
    static constexpr char kLetters[] = "abfnrtv\\\"'?";
    const char* simple = byte != 0 ? std::strchr(kBytes, byte) : nullptr;
    if (how == 0 && byte >= 0x20 && byte <= 0x7E && byte != '\\') {
      text.push_back(static_cast<char>(byte));
    } else if (how == 1) {
      std::snprintf(spelt, sizeof spelt, "\\%03o", byte);
      text += spelt;
    } else if (how == 2 || simple == nullptr) {
      std::snprintf(spelt, sizeof spelt, "\\x%02x", byte);
      text += spelt;
    } else {
      text.push_back('\\');
      text.push_back(kLetters[simple - kBytes]);
    }
  }
  ResetFuzzShell();
  std::int32_t produced = 0;
  const std::string out = Expand(text, &produced);
  FUZZ_CHECK(out == raw);
  FUZZ_CHECK(FuzzLogLines() == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  if (data[0] & 1)
    SpeltBytes(data + 1, size - 1);
  else
    TypedText(data + 1, size - 1);
  return 0;
}
