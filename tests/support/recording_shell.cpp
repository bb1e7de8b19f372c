#include "tests/support/recording_shell.h"

#include "app/status_log.h"

namespace {
Events events;
BoxHook boxHook = nullptr;
int batchDepth = 0;
int batchedLines = 0;
}  // namespace

void BeginStatusLogBatch() { ++batchDepth; }
void EndStatusLogBatch() {
  if (batchDepth > 0) --batchDepth;
}
int OpenStatusLogBatches() { return batchDepth; }
int BatchedLineCount() { return batchedLines; }

void AppendToStatusLog() { AppendTextToStatusLog(MessageText); }

void AppendTextToStatusLog(const char* text) {
  if (batchDepth > 0) ++batchedLines;
  events.push_back(LogEvent(text));
}

void ShowMessageBox(const char* text, const char* caption) {
  ShellEvent box{ShellEvent::kMessageBox, text, caption ? caption : "", caption == nullptr};
  events.push_back(box);
  if (boxHook) boxHook(box);
}

ShellEvent LogEvent(const std::string& text) { return {ShellEvent::kLogLine, text, "", false}; }
ShellEvent BoxEvent(const std::string& text, const std::string& caption) {
  return {ShellEvent::kMessageBox, text, caption, false};
}

const Events& ShellRecord() { return events; }

Lines LoggedLines() {
  Lines lines;
  for (const auto& e : events)
    if (e.kind == ShellEvent::kLogLine) lines.push_back(e.text);
  return lines;
}

Events ShownBoxes() {
  Events boxes;
  for (const auto& e : events)
    if (e.kind == ShellEvent::kMessageBox) boxes.push_back(e);
  return boxes;
}

void ResetShellRecord() {
  events.clear();
  boxHook = nullptr;
  batchDepth = 0;
  batchedLines = 0;
}

void SetBoxHook(BoxHook hook) { boxHook = hook; }
