// The log as a text file: see log_file.h.
#include "simulator/log_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace sim {

bool WriteLogFile(const std::string& path, const std::vector<std::string>& lines, std::string* why) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    *why = "cannot make " + path + ": " + std::strerror(errno);
    return false;
  }
  bool written = true;
  for (const std::string& line : lines) {
    written = written && std::fwrite(line.data(), 1, line.size(), file) == line.size() &&
              std::fwrite("\r\n", 1, 2, file) == 2;
  }
  written = std::fclose(file) == 0 && written;
  if (!written) *why = "cannot write " + path + " whole";
  return written;
}

}  // namespace sim
