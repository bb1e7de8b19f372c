// The argument table as the Initialize, Open and Ioctl dialogs drive it: Add Resource with any name, type and value
// texts, up to and past the table's end; OK with any N Arguments text (checked, converted, echoed). A row added keeps
// its name and a string value whole.
#include "dialogs/field_checks.h"
#include "resources/arguments.h"
#include "tests/fuzz/fuzz_harness.h"

static void AddRow(FuzzInput& input, std::int32_t& count) {
  static const char* const kLabels[] = {"Hex         ", "Dec         ", "String      ", "Hex", "Dec", "String"};
  const std::string name = input.Field();
  const std::uint8_t pick = input.ConsumeIntegral<std::uint8_t>();
  const std::string type = pick < 240 ? kLabels[pick % 6] : input.Field();
  const std::string value = input.Field();
  const std::int32_t before = count;
  if (!AddPendingResource(name.c_str(), type.c_str(), value.c_str(), count)) return;
  const PendingResource& row = ArrayRes[before];
  FUZZ_CHECK(count == before + 1 && name == row.name);
  FUZZ_CHECK(row.tag != kTagString || value == reinterpret_cast<const char*>(row.value));
}

void FuzzOne(FuzzInput& input) {
  std::int32_t count = 0;
  ClearArgumentTable();
  while (input.remaining_bytes() > 0) {
    const std::uint8_t action = input.ConsumeIntegral<std::uint8_t>();
    std::int32_t n = 0;
    if (action < 200) {
      AddRow(input, count);
    } else if (action < 240) {
      const std::string text =
          input.ConsumeBool() ? std::to_string(input.ConsumeIntegral<std::uint32_t>()) : input.Field();
      if (!CheckArgumentCountText(text.c_str(), kResourceArgCapacity, &n)) continue;
      BuildResourceArgs(n);
      LogResourceArgs(ResourceArgs, n);
      ClearArgumentTable();  // a dialog closes after its call
      count = 0;
    } else {
      for (int rows = input.ConsumeIntegralInRange(1, 120); rows > 0; --rows)  // to reach the table's end
        AddPendingResource("PosNRow", "Dec", "1", count);
    }
  }
  ClearArgumentTable();
}
