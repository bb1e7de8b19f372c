// The counting shell double of the fuzz targets: the shell interface of
// app/status_log.h without storage, so a run stays fast. Each log line and
// box is checked as it arrives (terminated within its buffer, printable
// when asked) and counted; a target may add a check of its own per line.
#ifndef REVEDIZ_TESTS_FUZZ_FUZZ_SHELL_H
#define REVEDIZ_TESTS_FUZZ_FUZZ_SHELL_H

#include <cstddef>
#include <cstdio>
#include <cstdlib>

// A failed property: says which and aborts, so libFuzzer reports the input.
#define FUZZ_CHECK(cond)                                                             \
  do {                                                                               \
    if (!(cond)) {                                                                   \
      std::fprintf(stderr, "fuzz property failed: %s (%s:%d)\n", #cond, __FILE__,     \
                   __LINE__);                                                        \
      std::abort();                                                                  \
    }                                                                                \
  } while (0)

// Receives each log line (its text and length, newline included if any).
using FuzzLineCheck = void (*)(const char* line, std::size_t length, void* context);

// Counts and per-line checks since the last ResetFuzzShell.
std::size_t FuzzLogLines();
std::size_t FuzzBoxes();
// The caption of the last box ("" for none or a null caption).
const char* FuzzLastBoxCaption();
// The last box's text was the last log line (a line goes out before its box).
bool FuzzLastBoxEchoesLastLine();

// Starts a new count. printable: every line and box text must consist of
// bytes 0x20..0x7E only (a trailing newline allowed). check: called per line.
void ResetFuzzShell(bool printable = false, FuzzLineCheck check = nullptr,
                    void* context = nullptr);

#endif  // REVEDIZ_TESTS_FUZZ_FUZZ_SHELL_H
