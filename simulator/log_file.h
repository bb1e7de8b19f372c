// The bench's "Save log...": the host program's log lines to a text file,
// window-free.
#ifndef REVEDIZ_SIMULATOR_LOG_FILE_H
#define REVEDIZ_SIMULATOR_LOG_FILE_H

#include <string>
#include <vector>

namespace sim {

// Writes the lines to `path` (made anew), each ended by CR LF, in order;
// false with *why when the file cannot be made or written whole.
bool WriteLogFile(const std::string& path, const std::vector<std::string>& lines, std::string* why);

}  // namespace sim

#endif  // REVEDIZ_SIMULATOR_LOG_FILE_H
