// The window-free parts of the Read and Write dialogs over what the operator
// types and what the device does: the buffer size field, the guarded read
// buffer after the device wrote into it (anywhere in the block, guard bytes
// included) and claimed any result, the dump of what may be shown, and the
// Write dialog's text collected from any lines.
#include <cstdint>
#include <cstring>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "decode/hex_dump.h"
#include "dialogs/read_checks.h"
#include "dialogs/write_text.h"
#include "tests/fuzz/fuzz_shell.h"

namespace {

void CheckBufferSize(FuzzedDataProvider& input) {
  std::string text;
  if (input.ConsumeBool())
    text = std::to_string(input.ConsumeIntegralInRange<std::uint64_t>(0, 5000000000ULL));
  else
    text = input.ConsumeRandomLengthString(253).c_str();
  ResetFuzzShell(false);
  std::int32_t size = -7;
  if (CheckBufferSizeText(text.c_str(), &size)) {
    FUZZ_CHECK(size >= 0 && size <= kMaxReadBufferSize);
    FUZZ_CHECK(FuzzBoxes() == 0);
  } else {
    FUZZ_CHECK(size == -7);
    FUZZ_CHECK(FuzzBoxes() == 1);
    FUZZ_CHECK(std::strncmp(FuzzLastBoxCaption(), "Buffer Size Error", 17) == 0);
  }
  FUZZ_CHECK(FuzzLogLines() == 0);
}

void CheckRead(FuzzedDataProvider& input) {
  const std::int32_t size = input.ConsumeIntegralInRange<std::int32_t>(0, 600);
  unsigned char* block = TakeReadBuffer(size, "fuzz");
  FUZZ_CHECK(block != nullptr);
  FUZZ_CHECK(block[0] == kReadGuardByte && block[size + 1] == kReadGuardByte);

  // The device writes some bytes anywhere in the block, guards included.
  const int writes = input.ConsumeIntegralInRange<int>(0, 8);
  for (int i = 0; i < writes; ++i) {
    const std::int32_t at = input.ConsumeIntegralInRange<std::int32_t>(0, size + 1);
    block[at] = input.ConsumeIntegral<std::uint8_t>();
  }
  const bool guardChanged = block[0] != kReadGuardByte || block[size + 1] != kReadGuardByte;
  const std::int32_t result = input.ConsumeIntegral<std::int32_t>();

  ResetFuzzShell(true);
  const std::int32_t shown = CheckReadResult(block, size, result);
  FUZZ_CHECK(shown <= size);
  FUZZ_CHECK(shown == (result > size ? size : result));
  FUZZ_CHECK(FuzzLogLines() == (result > size ? 1u : 0u) + (guardChanged ? 1u : 0u));
  FUZZ_CHECK(FuzzBoxes() == 0);

  // What the dialog then shows: the dump of the data area, never past it.
  ResetFuzzShell(true);
  HexDump("Data", block + 1, shown);
  if (shown > 0) FUZZ_CHECK(FuzzLogLines() == 2 + static_cast<std::size_t>(shown + 15) / 16);
  ReleaseReadBuffer(block);
}

void CheckWriteText(FuzzedDataProvider& input) {
  WriteText text;
  StartWriteText(&text);
  std::string all;
  std::int32_t total = 0;
  const int lines = input.ConsumeIntegralInRange<int>(0, 12);
  for (int i = 0; i < lines; ++i) {
    // An edit control's line: any bytes but NUL, at most what the box holds.
    const std::string line = input.ConsumeRandomLengthString(300).c_str();
    const auto length = static_cast<std::int32_t>(line.size());
    total += length;
    const bool more = AddWriteTextLine(&text, line.c_str(), length);
    all += line;
    FUZZ_CHECK(more == (total <= kWriteTextLimit));
    FUZZ_CHECK(text.collected >= 0 && text.collected <= kWriteTextLimit);
    FUZZ_CHECK(text.data[text.collected] == '\0');
    FUZZ_CHECK(std::string(text.data, static_cast<std::size_t>(text.collected)) ==
               all.substr(0, static_cast<std::size_t>(text.collected)));
    FUZZ_CHECK(text.collected == (total < kWriteTextLimit ? total : kWriteTextLimit));
    if (!more) break;  // the dialog stops collecting
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  switch (input.ConsumeIntegralInRange<int>(0, 2)) {
    case 0: CheckBufferSize(input); break;
    case 1: CheckRead(input); break;
    default: CheckWriteText(input); break;
  }
  return 0;
}
