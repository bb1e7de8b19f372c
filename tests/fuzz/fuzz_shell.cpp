#include "tests/fuzz/fuzz_shell.h"

#include <cstring>
#include <string>

#include "app/status_log.h"

namespace {

std::size_t lineCount = 0;
std::size_t boxCount = 0;
bool requirePrintable = false;
FuzzLineCheck lineCheck = nullptr;
void* lineContext = nullptr;
std::string lastLine;
std::string lastBoxText;
std::string lastBoxCaption;

// The length of text, which must end within limit bytes.
std::size_t BoundedLength(const char* text, std::size_t limit) {
  FUZZ_CHECK(text != nullptr);
  const std::size_t length = strnlen(text, limit);
  FUZZ_CHECK(length < limit);
  return length;
}

void CheckPrintable(const char* text, std::size_t length) {
  if (!requirePrintable) return;
  if (length > 0 && text[length - 1] == '\n') --length;
  for (std::size_t i = 0; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    FUZZ_CHECK(c >= 0x20 && c <= 0x7E);
  }
}

void CountLine(const char* text, std::size_t length) {
  CheckPrintable(text, length);
  ++lineCount;
  lastLine.assign(text, length);
  if (lineCheck) lineCheck(text, length, lineContext);
}

}  // namespace

void AppendToStatusLog() {
  CountLine(MessageText, BoundedLength(MessageText, kMessageTextSize));
}

void AppendTextToStatusLog(const char* text) {
  // A text of its own (a hex dump row, a line too long for MessageText); no
  // line the tool composes comes near a megabyte.
  CountLine(text, BoundedLength(text, 1 << 20));
}

// Batches must pair up: an end without a begin, or one left open when the
// input is done, is a fault of the code under test.
namespace {
int batchDepth = 0;
}  // namespace
void BeginStatusLogBatch() { ++batchDepth; }
void EndStatusLogBatch() {
  if (batchDepth <= 0) __builtin_trap();
  --batchDepth;
}

void ShowMessageBox(const char* text, const char* caption) {
  const std::size_t length = BoundedLength(text, 1 << 20);
  CheckPrintable(text, length);
  lastBoxText.assign(text, length);
  lastBoxCaption = caption ? std::string(caption, BoundedLength(caption, 256)) : std::string();
  ++boxCount;
}

std::size_t FuzzLogLines() { return lineCount; }
std::size_t FuzzBoxes() { return boxCount; }
const char* FuzzLastBoxCaption() { return lastBoxCaption.c_str(); }
bool FuzzLastBoxEchoesLastLine() { return lineCount > 0 && lastBoxText == lastLine; }

void ResetFuzzShell(bool printable, FuzzLineCheck check, void* context) {
  if (batchDepth != 0) __builtin_trap();  // the last input left a batch open
  lineCount = 0;
  boxCount = 0;
  requirePrintable = printable;
  lineCheck = check;
  lineContext = context;
  lastLine.clear();
  lastBoxText.clear();
  lastBoxCaption.clear();
}
