// Steps that many end-to-end tests share: the commands as an operator does
// them with the dialogs' defaults, and looks at the log and the journal.
// Each step checks what it sees with EXPECT_*, so a test reads as the
// operator's story.
#ifndef REVEDIZ_TESTS_E2E_DRIVER_STEPS_H
#define REVEDIZ_TESTS_E2E_DRIVER_STEPS_H

#include <string>
#include <vector>

#include "tests/e2e/driver/driver.h"

namespace e2e {

using Lines = std::vector<std::string>;

// Lines of the log from index `from` on.
Lines LogFrom(const Revediz& app, std::size_t from);
// Journal lines that start with prefix.
Lines JournalStarting(const Revediz& app, const std::string& prefix);
// The first count lines (all of them if there are fewer).
Lines Head(const Lines& lines, std::size_t count);
// The journal block of the last call of entry (a "DLL_..." or "BENCH ..."
// line and the lines after it up to the next one), without the simulator's
// "  # " notes.
Lines LastJournalCall(const Revediz& app, const std::string& entry);
// The main window handle as the log's hex echo of the queue handle shows it.
std::string EchoedWindow(const Revediz& app);
// Waits for the box of `caption`, checks its text and presses OK.
void ExpectBox(const Revediz& app, const std::string& caption, const std::string& text);
// A hex dump row without the line end the list box may or may not keep.
std::string Row(std::string line);

// PosInitialize with the dialog's defaults; the success box is closed.
void Initialize(const Revediz& app);
// PosOpen of the default device name in deviceClass; the handle from the
// success box.
int Open(const Revediz& app, const std::string& deviceClass);
// PosWrite of `text` (one line of the text box) to handle; the box that
// answers is checked against `box` ("PosWrite Successful." for success) and
// closed, with caption "POS Write" for success and "Command Status" else.
void Write(const Revediz& app, int handle, const std::string& text,
           const std::string& box = "PosWrite Successful.");
// PosRead of size bytes from handle into fileName; the log lines of the
// read, after its success box.
Lines ReadAndSave(const Revediz& app, int handle, int size, const std::string& fileName);

}  // namespace e2e

#endif  // REVEDIZ_TESTS_E2E_DRIVER_STEPS_H
