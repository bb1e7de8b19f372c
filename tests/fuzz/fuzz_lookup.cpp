// The lookups over any text and codes: NameToCode as the Ioctl dialog's request field uses it (a match writes the code
// of one of the table's rows, anything else leaves it as it was), then a run of code-to-name lookups between two
// resets, as the decoders make, long enough to reach the scratch area's overflow.
#include <cstring>

#include "tables/lookup.h"
#include "tests/fuzz/fuzz_harness.h"

const CodeName* const kTables[] = {ErrorNames,      MessageNames,     IoctlRequestNames, SlotNames, PortNames,
                                   DeviceTypeNames, DeviceClassNames, DeviceSubtypeNames};

void FuzzOne(FuzzInput& input) {
  const CodeName* table = kTables[input.ConsumeIntegralInRange(0, 7)];
  const std::string text = input.Field();
  std::int32_t code = 0x5A5A5A5A;  // no table's code
  const int result = NameToCode(text.c_str(), table, &code);
  bool rowCode = false;
  for (const CodeName* row = table; row->Name != nullptr; ++row) rowCode = rowCode || row->Code == code;
  FUZZ_CHECK(result == 0 ? rowCode : code == 0x5A5A5A5A);

  // Every text handed out fits a log line and still reads the same at the end.
  std::vector<std::pair<const char*, std::string>> looked;
  for (int count = input.ConsumeIntegralInRange(0, 40); count > 0 && input.remaining_bytes() > 0; --count) {
    table = kTables[input.ConsumeIntegralInRange(0, 7)];
    const char* name = CodeToName(table, input.ConsumeIntegral<std::int32_t>());
    FUZZ_CHECK(name != nullptr && strnlen(name, 64) < 64);
    looked.emplace_back(name, name);
  }
  for (const auto& [handed, copy] : looked) FUZZ_CHECK(copy == handed);
  ResetNameScratch();
}
