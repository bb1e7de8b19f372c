// The "Command and Status" log of the program that loaded the simulator, as
// it holds it now: read from any thread of the library (the control pipe's,
// the bench's), each line by a message to the log that must answer within
// two seconds. Call without the simulator's lock.
#ifndef REVEDIZ_SIMULATOR_HOST_LOG_H
#define REVEDIZ_SIMULATOR_HOST_LOG_H

#include <windows.h>

#include <string>
#include <vector>

namespace sim {

// The program's "Command and Status" list box, or null.
HWND FindHostLog();

// The entries of a list box from `from` on, each read by messages that must
// answer within two seconds; false (with the entries read so far) when one
// does not.
bool ReadListItems(HWND list, std::size_t from, std::vector<std::string>* items);

// False with *why when the program has no such log or it does not answer.
bool ReadHostLog(std::vector<std::string>* lines, std::string* why);

}  // namespace sim

#endif  // REVEDIZ_SIMULATOR_HOST_LOG_H
