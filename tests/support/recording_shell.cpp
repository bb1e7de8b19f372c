#include "tests/support/recording_shell.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/status_log.h"

namespace fs = std::filesystem;

namespace {
Events events;
BoxHook boxHook = nullptr;
int batchDepth = 0, batchedLines = 0;
StreamFault streamFault = StreamFault::kNone;
}  // namespace

void BeginStatusLogBatch() { ++batchDepth; }
void EndStatusLogBatch() { batchDepth -= batchDepth > 0; }
void AppendToStatusLog() { AppendTextToStatusLog(MessageText); }
void AppendTextToStatusLog(const char* text) { batchedLines += batchDepth > 0, events.push_back(LogEvent(text)); }
void ShowMessageBox(const char* text, const char* caption) {
  events.push_back({ShellEvent::kMessageBox, text, caption ? caption : "", caption == nullptr});
  if (boxHook) boxHook(events.back());
}

ShellEvent LogEvent(const std::string& text) { return {ShellEvent::kLogLine, text, "", false}; }
ShellEvent BoxEvent(const std::string& text, const std::string& caption) { return {ShellEvent::kMessageBox, text, caption}; }
Events LogEvents(const Lines& lines) {
  Events logged;
  for (const std::string& line : lines) logged.push_back(LogEvent(line));
  return logged;
}

const Events& ShellRecord() { return events; }
Events ShownBoxes() {
  Events boxes;
  for (const auto& e : events) if (e.kind == ShellEvent::kMessageBox) boxes.push_back(e);
  return boxes;
}
Lines LoggedLines() {
  Lines lines;
  for (const auto& e : events) if (e.kind == ShellEvent::kLogLine) lines.push_back(e.text);
  return lines;
}
void ResetShellRecord() { events.clear(), boxHook = nullptr, batchDepth = batchedLines = 0; }
int OpenStatusLogBatches() { return batchDepth; }
int BatchedLineCount() { return batchedLines; }
void SetBoxHook(BoxHook hook) { boxHook = hook; }

// These take the place of the C library's ferror and fseek in the test program.
extern "C" int ferror(FILE* stream) noexcept {
  return streamFault == StreamFault::kError ? 1 : ferror_unlocked(stream);
}
extern "C" int fseek(FILE* stream, long offset, int whence) {
  if (streamFault == StreamFault::kNoRewind && whence == SEEK_SET) return errno = ESPIPE, -1;
  return fseeko(stream, offset, whence);
}
void SetStreamFault(StreamFault fault) { streamFault = fault; }

WorkFolder::WorkFolder() : previous(fs::current_path().string()) {
  folder = (fs::temp_directory_path() / "revediz-unit-XXXXXX").string();
  if (mkdtemp(folder.data()) == nullptr) abort();
  fs::current_path(folder);
}
WorkFolder::~WorkFolder() {
  fs::current_path(previous);
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}

void WriteFile(const std::string& name, const std::string& bytes) { std::ofstream(name, std::ios::binary) << bytes; }
std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
int OpenDescriptors() {
  return static_cast<int>(std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}
