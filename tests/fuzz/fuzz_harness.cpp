#include "tests/fuzz/fuzz_harness.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#include "app/status_log.h"

std::vector<std::string> FuzzLines, FuzzBoxes;
static bool printableOnly = false;
static int openBatches = 0;

// The text, which must end within limit bytes (no line the tool composes outside MessageText comes near a megabyte).
static std::string Checked(const char* text, std::size_t limit = 1 << 20) {
  FUZZ_CHECK(text != nullptr && strnlen(text, limit) < limit);
  const std::string kept = text;
  for (std::size_t i = 0; printableOnly && i < kept.size(); ++i)
    FUZZ_CHECK((kept[i] >= 0x20 && kept[i] <= 0x7E) || (kept[i] == '\n' && i + 1 == kept.size()));
  return kept;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  ResetFuzzShell();
  FuzzOne(input);
  FUZZ_CHECK(openBatches == 0);
  return 0;
}

const char* FuzzTempFile(const void* data, std::size_t size) {
  static const std::string path = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                  "/revediz-fuzz-" + std::to_string(getpid());
  static const int registered = std::atexit([] { std::remove(path.c_str()); });
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  FUZZ_CHECK(registered == 0 && file.write(static_cast<const char*>(data), size) && (file.close(), file));
  return path.c_str();
}

std::vector<std::string> FuzzSplitLines(std::string_view text, bool dropCr) {
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
    end = std::min(text.find('\n', start), text.size());
    const bool cr = dropCr && end < text.size() && end > start && text[end - 1] == '\r';
    lines.emplace_back(text.substr(start, end - start - cr));
  }
  return lines;
}

void ResetFuzzShell(bool printable) {
  FuzzLines.clear();
  FuzzBoxes.clear();
  printableOnly = printable;
}

void AppendToStatusLog() { FuzzLines.push_back(Checked(MessageText, kMessageTextSize)); }
void AppendTextToStatusLog(const char* text) { FuzzLines.push_back(Checked(text)); }
void BeginStatusLogBatch() { ++openBatches; }
void EndStatusLogBatch() { FUZZ_CHECK(--openBatches >= 0); }
void ShowMessageBox(const char* text, const char* caption) {
  FuzzBoxes.push_back(Checked(text));
  if (caption != nullptr) Checked(caption, 256);
}
