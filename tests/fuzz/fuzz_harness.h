// What the fuzz targets share. The one LLVMFuzzerTestOneInput resets the shell double (app/status_log.h) and calls
// the target's FuzzOne. The double keeps the log lines and boxes, and checks what holds for any input: every text
// ends within its buffer, is printable where asked, and log batches pair up.
#ifndef REVEDIZ_TESTS_FUZZ_FUZZ_HARNESS_H
#define REVEDIZ_TESTS_FUZZ_FUZZ_HARNESS_H

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

// A failed property: says which and aborts, so libFuzzer keeps the input.
#define FUZZ_CHECK(...)                                                                  \
  ((__VA_ARGS__) ? void() : (std::fprintf(stderr, "fuzz property failed: %s (%s:%d)\n", \
                                          #__VA_ARGS__, __FILE__, __LINE__), std::abort()))

// Bytes() is the rest of the input in a block of its own size (a read past it is caught), Field() a dialog field's
// text (cut at a NUL), Near() a value in [low, high] as often as any 32 bits.
struct FuzzInput : FuzzedDataProvider {
  using FuzzedDataProvider::FuzzedDataProvider;
  std::uint8_t Front() { return remaining_bytes() ? ConsumeBytes<std::uint8_t>(1)[0] : 0; }
  std::vector<std::uint8_t> Bytes() { return ConsumeRemainingBytes<std::uint8_t>(); }
  std::string Field(std::size_t most = 253) { return ConsumeRandomLengthString(most).c_str(); }
  std::int32_t Near(std::int32_t low, std::int32_t high) {
    return ConsumeBool() ? ConsumeIntegralInRange(low, high) : ConsumeIntegral<std::int32_t>();
  }
};
void FuzzOne(FuzzInput& input);

// The lines of a text: split at each "\n" (a last line without one too), with or without one "\r" before the "\n".
std::vector<std::string> FuzzSplitLines(std::string_view text, bool dropCr);

// This process's scratch file (removed at exit), now holding size bytes of data.
const char* FuzzTempFile(const void* data, std::size_t size);

// What the code under test logged and the boxes it showed since the last reset; with printable, each text must be
// bytes 0x20..0x7E (and a final newline).
extern std::vector<std::string> FuzzLines, FuzzBoxes;
void ResetFuzzShell(bool printable = false);

#endif  // REVEDIZ_TESTS_FUZZ_FUZZ_HARNESS_H
