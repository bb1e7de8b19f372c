// The lookups over any text and codes: NameToCode as the Ioctl dialog's request field uses it, then a run of
// code-to-name lookups between two resets, as the decoders make, long enough to reach the scratch area's overflow.
#include <cstring>

#include "tables/lookup.h"
#include "tests/fuzz/fuzz_harness.h"

const CodeName* const kTables[] = {ErrorNames,      MessageNames,     IoctlRequestNames, SlotNames, PortNames,
                                   DeviceTypeNames, DeviceClassNames, DeviceSubtypeNames};

static std::string Without(const std::string& text, const char* dropped) {  // and in upper case
  std::string kept;
  for (char c : text)
    if (!std::strchr(dropped, c)) kept += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  return kept;
}

void FuzzOne(FuzzInput& input) {
  const CodeName* table = kTables[input.ConsumeIntegralInRange(0, 7)];
  const std::string text = input.Field(), needle = Without(text, " _");
  int matches = 0;
  std::int32_t code = 0x5A5A5A5A, matched = code;  // no table's code: written only on a match
  for (const CodeName* row = table; row->Name != nullptr; ++row)
    if (Without(row->Name, "_").find(needle) != std::string::npos) ++matches, matched = row->Code;
  const int result = needle.empty() ? 3 : matches == 0 ? 1 : matches == 1 ? 0 : 2;
  FUZZ_CHECK(NameToCode(text.c_str(), table, &code) == result && code == (result == 0 ? matched : 0x5A5A5A5A));
  FUZZ_CHECK(FuzzLines.size() == (result == 1 || result == 2));

  // Every text handed out fits a log line and still reads the same at the end.
  std::vector<std::pair<const char*, std::string>> looked;
  for (int count = input.ConsumeIntegralInRange(0, 40); count > 0 && input.remaining_bytes() > 0; --count) {
    const char* name;
    if (input.ConsumeBool()) {
      table = kTables[input.ConsumeIntegralInRange(0, 7)];
      name = CodeToName(table, input.ConsumeIntegral<std::int32_t>());
    } else {
      const int type = input.ConsumeIntegral<std::uint8_t>();
      name = SubtypeToName(type, input.ConsumeIntegral<std::uint8_t>());
    }
    FUZZ_CHECK(name != nullptr && strnlen(name, 64) > 0 && strnlen(name, 64) < 64);
    looked.emplace_back(name, name);
  }
  for (const auto& [handed, copy] : looked) FUZZ_CHECK(copy == handed);
  ResetNameScratch();
}
