// The name and code lookups over any text and any codes: NameToCode as the
// Ioctl dialog's request field and the device type fields use it, and the
// code-to-name fallbacks that fill the name scratch area (and its overflow)
// with the codes a device returns.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "tables/lookup.h"
#include "tests/fuzz/fuzz_shell.h"

namespace {

const CodeName* const kTables[] = {ErrorNames,      MessageNames,     IoctlRequestNames,
                                   SlotNames,       PortNames,        DeviceTypeNames,
                                   DeviceClassNames, DeviceSubtypeNames};
constexpr std::size_t kTableCount = sizeof kTables / sizeof kTables[0];

std::string Needle(const std::string& text) {
  std::string needle;
  for (char c : text) {
    if (c == ' ' || c == '_') continue;
    needle.push_back((c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c);
  }
  return needle;
}

std::string WithoutUnderscores(const char* name) {
  std::string stripped;
  for (const char* p = name; *p != '\0'; ++p)
    if (*p != '_') stripped.push_back(*p);
  return stripped;
}

void CheckNameToCode(const CodeName* table, const std::string& text) {
  // Two different sentinels: a result 0 must overwrite both with the same code,
  // any other result must leave each as it was.
  constexpr std::int32_t kSentinelA = 0x5A5A5A5A;
  constexpr std::int32_t kSentinelB = -0x3C3C3C3D;
  std::int32_t codeA = kSentinelA;
  std::int32_t codeB = kSentinelB;

  ResetFuzzShell(false);
  const int result = NameToCode(text.c_str(), table, &codeA);
  const std::size_t lines = FuzzLogLines();
  FUZZ_CHECK(NameToCode(text.c_str(), table, &codeB) == result);
  FUZZ_CHECK(FuzzLogLines() == 2 * lines);
  FUZZ_CHECK(FuzzBoxes() == 0);

  const std::string needle = Needle(text);
  FUZZ_CHECK(result >= 0 && result <= 3);
  FUZZ_CHECK((result == 3) == needle.empty());
  if (result == 0) {
    FUZZ_CHECK(codeA == codeB);
    // The code is that of a row whose name holds the text.
    bool found = false;
    for (const CodeName* row = table; row->Name != nullptr && !found; ++row)
      found = row->Code == codeA &&
              WithoutUnderscores(row->Name).find(needle) != std::string::npos;
    FUZZ_CHECK(found);
    FUZZ_CHECK(lines == 0);
  } else {
    FUZZ_CHECK(codeA == kSentinelA && codeB == kSentinelB);
    FUZZ_CHECK(lines == (result == 3 ? 0u : 1u));
  }
}

// A run of lookups between two resets, as the notification and queue decoders
// make: every text handed out must still read the same at the end of the run.
void CheckCodeNames(FuzzedDataProvider& input) {
  struct Looked {
    const char* text;
    std::string copy;
  };
  std::vector<Looked> looked;
  const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(0, 40);
  for (std::size_t i = 0; i < count && input.remaining_bytes() > 0; ++i) {
    const char* text;
    if (input.ConsumeBool()) {
      const std::size_t which = input.ConsumeIntegralInRange<std::size_t>(0, kTableCount - 1);
      text = CodeToName(kTables[which], input.ConsumeIntegral<std::int32_t>());
    } else {
      const int type = input.ConsumeIntegral<std::uint8_t>();
      text = SubtypeToName(type, input.ConsumeIntegral<std::uint8_t>());
    }
    FUZZ_CHECK(text != nullptr);
    const std::size_t length = strnlen(text, 64);
    FUZZ_CHECK(length > 0 && length < 64);
    looked.push_back({text, std::string(text, length)});
  }
  for (const Looked& entry : looked) FUZZ_CHECK(entry.copy == entry.text);
  ResetNameScratch();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::size_t which = input.ConsumeIntegralInRange<std::size_t>(0, kTableCount - 1);
  // A dialog field holds at most 253 characters.
  const std::string text = input.ConsumeRandomLengthString(253);
  CheckNameToCode(kTables[which], std::string(text.c_str()));
  CheckCodeNames(input);
  return 0;
}
