// A scratch file of the fuzz process (in memory where the system has a tmpfs)
// that each input is written to before the code under test reads it.
#ifndef REVEDIZ_TESTS_FUZZ_FUZZ_TEMP_FILE_H
#define REVEDIZ_TESTS_FUZZ_FUZZ_TEMP_FILE_H

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/fuzz/fuzz_shell.h"

// The path of this process's scratch file number index (0 or 1), created on
// first use and removed at exit.
inline const char* FuzzTempPath(int index) {
  static std::string paths[2];
  std::string& path = paths[index];
  if (path.empty()) {
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(dir) + "/revediz-fuzz-XXXXXX";
    const int fd = mkstemp(pattern.data());
    FUZZ_CHECK(fd >= 0);
    close(fd);
    path = pattern;
    static bool registered = false;
    if (!registered) {
      registered = true;
      std::atexit([] {
        for (const std::string& p : paths)
          if (!p.empty()) std::remove(p.c_str());
      });
    }
  }
  return path.c_str();
}

// Replaces the content of the scratch file with size bytes of data.
inline void WriteFuzzTempFile(const char* path, const void* data, std::size_t size) {
  std::FILE* file = std::fopen(path, "wb");
  FUZZ_CHECK(file != nullptr);
  FUZZ_CHECK(std::fwrite(data, 1, size, file) == size);
  FUZZ_CHECK(std::fclose(file) == 0);
}

#endif  // REVEDIZ_TESTS_FUZZ_FUZZ_TEMP_FILE_H
