// File helpers for native unit tests: a fresh working folder per test, the
// count of open descriptors (a stream left open shows as one more), and a
// switch that makes every stream report a read or write error.
#ifndef REVEDIZ_TESTS_SUPPORT_WORK_FOLDER_H
#define REVEDIZ_TESTS_SUPPORT_WORK_FOLDER_H

#include <string>

// Makes a new empty folder the working directory; the destructor goes back
// and removes it. Parallel test processes each get their own.
class WorkFolder {
 public:
  WorkFolder();
  ~WorkFolder();
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;

 private:
  std::string previous_;
  std::string folder_;
};

// Writes bytes to the named file exactly as given; returns the name.
std::string WriteFile(const std::string& name, const std::string& bytes);
// The whole content of a file ("" when it cannot be read).
std::string ReadFile(const std::string& name);

// The descriptors this process has open now.
int OpenDescriptors();

// While on, ferror() reports an error for every stream: a read or write
// that failed after the bytes shown so far.
void ForceStreamErrors(bool on);

#endif  // REVEDIZ_TESTS_SUPPORT_WORK_FOLDER_H
