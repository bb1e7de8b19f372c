// The argument table as the Initialize, Open and Ioctl dialogs drive it: Add Resource with any name, type and value
// texts, OK with any N Arguments text (checked, converted, echoed), and the conversion of any count.
#include "dialogs/field_checks.h"
#include "resources/arguments.h"
#include "tests/fuzz/fuzz_harness.h"

static void AddRow(FuzzInput& input, std::int32_t& count) {
  static const char* const kLabels[] = {"Hex         ", "Dec         ", "String      ", "Hex", "Dec", "String"};
  const std::string name = input.Field();
  const std::uint8_t pick = input.ConsumeIntegral<std::uint8_t>();
  const std::string type = pick < 240 ? kLabels[pick % 6] : input.Field();
  const bool anything = input.ConsumeBool();  // or a run of digits, to reach the range checks
  std::string value = anything ? input.Field() : "";
  for (int n = anything ? 0 : input.ConsumeIntegralInRange(0, 14); n > 0; --n)
    value += kHexDigits[input.ConsumeIntegralInRange(0, 21)];
  const std::int32_t before = count;
  ResetFuzzShell();
  const bool added = AddPendingResource(name.c_str(), type.c_str(), value.c_str(), count);
  // A row refused shows at most its box; one added keeps its name and a string value whole.
  FUZZ_CHECK(count == before + added && FuzzLines.empty() && FuzzBoxes.size() <= !added);
  if (!added) return;
  const PendingResource& row = ArrayRes[before];
  FUZZ_CHECK(name == row.name && (row.tag != kTagString || value == reinterpret_cast<const char*>(row.value)));
}

// OK, with room for capacity records: the N Arguments check, the conversion and the echo; true when the call is made.
static bool PressOk(FuzzInput& input, std::int32_t capacity) {
  const std::string text = input.Number(3000000000);
  std::int32_t n = -7;
  ResetFuzzShell();
  const bool accepted = CheckArgumentCountText(text.c_str(), capacity, &n);
  FUZZ_CHECK(FuzzLines.empty() && FuzzBoxes.size() == !accepted && (accepted ? n >= 0 && n <= capacity : n == -7));
  if (!accepted) return false;
  if (!text.empty()) BuildResourceArgs(n);  // an empty text builds no records
  FUZZ_CHECK(text.empty() || ResourceArgCount == n);
  LogResourceArgs(ResourceArgs, n);
  FUZZ_CHECK(FuzzLines.size() >= std::size_t(n) && FuzzLines.size() <= 2 * std::size_t(n) && FuzzBoxes.empty());
  return true;
}

void FuzzOne(FuzzInput& input) {
  std::int32_t count = 0;
  ClearArgumentTable();
  while (input.remaining_bytes() > 0) {
    const std::uint8_t action = input.ConsumeIntegral<std::uint8_t>();
    if (action < 200) {
      AddRow(input, count);
    } else if (action < 240) {
      if (!PressOk(input, kResourceArgCapacity)) continue;
      ClearArgumentTable();  // a dialog closes after its call
      count = 0;
    } else if (action < 250) {
      for (int rows = input.ConsumeIntegralInRange(1, 120); rows > 0; --rows)  // to reach the table's end
        AddPendingResource("PosNRow", "Dec", "1", count);
    } else {
      BuildResourceArgs(input.ConsumeIntegral<std::int32_t>());  // any count is cut to the array
      FUZZ_CHECK(ResourceArgCount >= 0 && ResourceArgCount <= kResourceArgCapacity);
    }
  }
  ClearArgumentTable();
}
