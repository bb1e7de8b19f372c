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

// An input's fields: Front() the first byte (0 when none is left), Bytes() the rest in a block of its own size
// (a read past it is caught), Field() a dialog field's text (at most 253 characters, cut at a NUL), Number() a
// numeric field's text (digits up to most, or any text), Near() a value in [low, high] as often as any 32 bits.
struct FuzzInput : FuzzedDataProvider {
  using FuzzedDataProvider::FuzzedDataProvider;
  std::uint8_t Front() { return remaining_bytes() ? ConsumeBytes<std::uint8_t>(1)[0] : 0; }
  std::vector<std::uint8_t> Bytes() { return ConsumeRemainingBytes<std::uint8_t>(); }
  std::string Field(std::size_t most = 253) { return ConsumeRandomLengthString(most).c_str(); }
  std::string Number(std::uint64_t most) {
    return ConsumeBool() ? std::to_string(ConsumeIntegralInRange<std::uint64_t>(0, most)) : Field();
  }
  std::int32_t Near(std::int32_t low, std::int32_t high) {
    return ConsumeBool() ? ConsumeIntegralInRange(low, high) : ConsumeIntegral<std::int32_t>();
  }
};
void FuzzOne(FuzzInput& input);

// The lines of a text: split at each "\n" (a last line without one too), with or without one "\r" at the end.
std::vector<std::string> FuzzSplitLines(std::string_view text, bool dropCr);

// This process's scratch file (removed at exit), now holding size bytes of data.
const char* FuzzTempFile(const void* data, std::size_t size);

// What the code under test logged and the texts of the boxes it showed since the last reset; with printable, each
// must be bytes 0x20..0x7E (and a final newline).
extern std::vector<std::string> FuzzLines, FuzzBoxes;
void ResetFuzzShell(bool printable = false);

#endif  // REVEDIZ_TESTS_FUZZ_FUZZ_HARNESS_H
