// The "Command and Status" log of the program that loaded the simulator, as
// it holds it now, read from any thread of the library (the control pipe's,
// the bench's, the recording hooks'). The lines are read on the log's own
// thread in one go: a message posted to the log, taken by a hook on that
// thread's queue. Read from another thread, each line costs two messages
// across threads (about 0.3 ms each under Wine: 6 s for 10,000 lines). A
// log thread that does not come to its queue within two seconds is read
// line by line after all, each message bounded by two seconds. Call
// without the simulator's lock.
#ifndef REVEDIZ_SIMULATOR_HOST_LOG_H
#define REVEDIZ_SIMULATOR_HOST_LOG_H

#include <windows.h>

#include <string>
#include <vector>

namespace sim {

// The program's "Command and Status" list box, or null.
HWND FindHostLog();

// The lines of that log from `from` on, appended to *lines; false (with
// the lines read so far) when the log does not answer.
bool ReadLogLines(HWND log, std::size_t from, std::vector<std::string>* lines);

// False with *why when the program has no such log or it does not answer.
bool ReadHostLog(std::vector<std::string>* lines, std::string* why);

}  // namespace sim

#endif  // REVEDIZ_SIMULATOR_HOST_LOG_H
