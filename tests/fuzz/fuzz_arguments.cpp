// The argument table as the Initialize, Open and Ioctl dialogs drive it:
// a run of Add Resource presses with any name, type and value texts, then OK
// with any N Arguments text, checked as the dialog checks it, converted and
// echoed; and the conversion with any raw count.
#include <cstdint>
#include <cstring>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "dialogs/field_checks.h"
#include "resources/arguments.h"
#include "tests/fuzz/fuzz_shell.h"

namespace {

// A dialog text field holds at most 253 characters.
constexpr std::size_t kFieldLength = 253;

enum class Dialog { kInitialize, kOpen, kIoctl };

// Rows the dialog may pass in one call: the Open dialog keeps the last
// record for the queue handle.
std::int32_t Capacity(Dialog dialog) {
  return dialog == Dialog::kOpen ? kResourceArgCapacity - 1 : kResourceArgCapacity;
}

std::string FieldText(FuzzedDataProvider& input) {
  std::string text = input.ConsumeRandomLengthString(kFieldLength);
  return std::string(text.c_str());  // a control's text ends at a NUL
}

std::string TypeText(FuzzedDataProvider& input) {
  static constexpr const char* kLabels[] = {"Hex         ", "Dec         ", "String      ",
                                            "Hex", "Dec", "String"};
  const std::uint8_t pick = input.ConsumeIntegral<std::uint8_t>();
  if (pick < 6 * 40) return kLabels[pick % 6];
  return FieldText(input);
}

std::string ValueText(FuzzedDataProvider& input) {
  // Mostly digit runs, which reach the range checks; sometimes anything.
  if (input.ConsumeBool()) return FieldText(input);
  std::string digits;
  const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(0, 14);
  static constexpr char kDigits[] = "0123456789ABCDEFabcdef";
  for (std::size_t i = 0; i < count; ++i)
    digits.push_back(kDigits[input.ConsumeIntegralInRange<std::size_t>(0, 21)]);
  return digits;
}

void AddRow(FuzzedDataProvider& input, std::int32_t& count) {
  const std::string name = FieldText(input);
  const std::string type = TypeText(input);
  const std::string value = ValueText(input);
  const std::int32_t before = count;

  ResetFuzzShell(false);
  const bool added = AddPendingResource(name.c_str(), type.c_str(), value.c_str(), count);
  FUZZ_CHECK(count >= 0 && count <= kArrayResRows);
  FUZZ_CHECK(FuzzLogLines() == 0);
  if (added) {
    FUZZ_CHECK(count == before + 1);
    FUZZ_CHECK(FuzzBoxes() == 0);
    const PendingResource& row = ArrayRes[before];
    FUZZ_CHECK(std::strcmp(row.name, name.c_str()) == 0);
    FUZZ_CHECK(row.tag == kTagHex || row.tag == kTagDec || row.tag == kTagString);
    if (row.tag == kTagString)
      FUZZ_CHECK(std::strcmp(reinterpret_cast<const char*>(row.value), value.c_str()) == 0);
    else if (value.empty())
      FUZZ_CHECK(row.value == -1);
  } else {
    FUZZ_CHECK(count == before);
    FUZZ_CHECK(FuzzBoxes() <= 1);
    if (before >= kArrayResRows || name.size() > kResourceNameSize - 1) FUZZ_CHECK(FuzzBoxes() == 1);
    if (FuzzBoxes() == 1) FUZZ_CHECK(std::strcmp(FuzzLastBoxCaption(), "Argument Error ") == 0);
  }
}

// The dialog opens: an empty table; the Initialize dialog's row 0 stands for
// the queue handle.
void OpenDialog(Dialog dialog, std::int32_t& count) {
  ClearArgumentTable();
  count = 0;
  if (dialog == Dialog::kInitialize) {
    std::strcpy(ArrayRes[0].name, "PosNQueueHandle");
    ArrayRes[0].tag = kTagHex;
    ArrayRes[0].value = -1;
    count = 1;
  }
}

// OK: the N Arguments check, the conversion and the echo, as the dialog does.
// Returns true when the call would have been made.
bool PressOk(FuzzedDataProvider& input, Dialog dialog) {
  std::string countText;
  if (input.ConsumeBool()) {
    countText = std::to_string(input.ConsumeIntegralInRange<std::int64_t>(0, 3000000000LL));
  } else {
    countText = FieldText(input);
  }
  const std::int32_t capacity = Capacity(dialog);

  ResetFuzzShell(false);
  std::int32_t n = -7;
  if (!CheckArgumentCountText(countText.c_str(), capacity, &n)) {
    FUZZ_CHECK(FuzzLogLines() == 0 && FuzzBoxes() == 1);
    FUZZ_CHECK(n == -7);
    return false;
  }
  FUZZ_CHECK(FuzzBoxes() == 0);
  FUZZ_CHECK(n >= 0 && n <= capacity);

  if (dialog != Dialog::kIoctl || !countText.empty()) BuildResourceArgs(n);
  if (dialog != Dialog::kIoctl) FUZZ_CHECK(ResourceArgCount == n);
  FUZZ_CHECK(ResourceArgCount >= 0 && ResourceArgCount <= kResourceArgCapacity);
  if (dialog == Dialog::kInitialize) {
    ResourceArgs[0].name = "queueHandle";
    ResourceArgs[0].value = 0x1234;
  }
  ResetFuzzShell(false);
  LogResourceArgs(ResourceArgs, n);
  FUZZ_CHECK(FuzzLogLines() >= static_cast<std::size_t>(n));
  FUZZ_CHECK(FuzzLogLines() <= 2 * static_cast<std::size_t>(n));
  FUZZ_CHECK(FuzzBoxes() == 0);
  if (dialog == Dialog::kOpen) {
    // The queue handle goes after the counted records.
    ResourceArgs[n].name = "queueHandle";
    ResourceArgs[n].value = 0x1234;
    ResourceArgCount = n + 1;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const auto dialog = static_cast<Dialog>(input.ConsumeIntegralInRange<int>(0, 2));

  std::int32_t count = 0;
  OpenDialog(dialog, count);

  while (input.remaining_bytes() > 0) {
    const std::uint8_t action = input.ConsumeIntegral<std::uint8_t>();
    if (action < 200) {
      AddRow(input, count);
    } else if (action < 240) {
      // After a call the Initialize and Open dialogs close (the next opens
      // afresh); the Ioctl dialog stays and discards its rows.
      if (PressOk(input, dialog)) OpenDialog(dialog, count);
    } else if (action < 250) {
      // Quick fill: many rows at once, to reach the table's end.
      const int rows = input.ConsumeIntegralInRange<int>(1, 120);
      for (int i = 0; i < rows; ++i) {
        ResetFuzzShell(false);
        const std::int32_t before = count;
        const bool added = AddPendingResource("PosNRow", "Dec", "1", count);
        FUZZ_CHECK(added == (before < kArrayResRows));
        FUZZ_CHECK(count <= kArrayResRows);
      }
    } else {
      // The conversion with any count at all is cut to the array.
      BuildResourceArgs(input.ConsumeIntegral<std::int32_t>());
      FUZZ_CHECK(ResourceArgCount >= 0 && ResourceArgCount <= kResourceArgCapacity);
    }
  }
  ClearArgumentTable();
  return 0;
}
