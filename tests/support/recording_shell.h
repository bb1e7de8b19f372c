// Test doubles for native unit tests: a recording shell (app/status_log.h) that keeps every log line and message box in
// order, and file helpers.
#ifndef REVEDIZ_TESTS_SUPPORT_RECORDING_SHELL_H
#define REVEDIZ_TESTS_SUPPORT_RECORDING_SHELL_H

#include <string>
#include <vector>

struct ShellEvent {
  enum Kind { kLogLine, kMessageBox } kind;
  std::string text;
  std::string caption;          // message boxes only
  bool defaultCaption = false;  // box shown with a null caption
  bool operator==(const ShellEvent&) const = default;
};
using Lines = std::vector<std::string>;
using Events = std::vector<ShellEvent>;

ShellEvent LogEvent(const std::string& text);
ShellEvent BoxEvent(const std::string& text, const std::string& caption);
Events LogEvents(const Lines& lines);

// Everything recorded since the last reset, and its log lines and boxes.
const Events& ShellRecord();
Lines LoggedLines();
Events ShownBoxes();
// Forgets the record, the box hook and the batch counts.
void ResetShellRecord();
// Log batches (BeginStatusLogBatch) open now, and the lines added inside one.
int OpenStatusLogBatches();
int BatchedLineCount();
// Called while a box is "open", as a notification arriving during its nested message loop would be. Null for none.
using BoxHook = void (*)(const ShellEvent& box);
void SetBoxHook(BoxHook hook);

// Makes a new empty folder the working directory until destroyed.
struct WorkFolder {
  WorkFolder();
  ~WorkFolder();
  std::string previous, folder;
};
// Writes bytes to a file as given; reads a whole file ("" if none); counts the open descriptors (a stream left open
// shows as one more).
void WriteFile(const std::string& name, const std::string& bytes);
std::string ReadFile(const std::string& name);
int OpenDescriptors();
// A fault every stream shows until set back to kNone: ferror() reporting an error, as after a device failed in the
// middle of a read or write, or a seek to the start failing, as on a device that cannot go back.
enum class StreamFault { kNone, kError, kNoRewind };
void SetStreamFault(StreamFault fault);

#endif  // REVEDIZ_TESTS_SUPPORT_RECORDING_SHELL_H
