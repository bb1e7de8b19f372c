#include "tests/support/work_folder.h"

#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {
bool forceStreamErrors = false;
}  // namespace

// Takes the place of the C library's ferror in the test program, so a test
// can make a stream report the error of a failing device.
extern "C" int ferror(FILE* stream) noexcept {
  return forceStreamErrors ? 1 : ferror_unlocked(stream);
}

void ForceStreamErrors(bool on) { forceStreamErrors = on; }

WorkFolder::WorkFolder() : previous_(fs::current_path().string()) {
  std::string pattern = (fs::temp_directory_path() / "revediz-unit-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) abort();
  folder_ = pattern;
  fs::current_path(folder_);
}

WorkFolder::~WorkFolder() {
  fs::current_path(previous_);
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

std::string WriteFile(const std::string& name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary) << bytes;
  return name;
}

std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

int OpenDescriptors() {
  int count = 0;
  for (auto it = fs::directory_iterator("/proc/self/fd"); it != fs::directory_iterator(); ++it) ++count;
  return count;
}
