// The driver's files: the working folder it prepares, the files a run
// reads and writes in it, and the picture of the screen a failure leaves.
// Paths are Windows paths; a file that cannot be made throws driver::Failure.
#ifndef REVEDIZ_RUNNER_DRIVER_FILES_H
#define REVEDIZ_RUNNER_DRIVER_FILES_H

#include <string>
#include <string_view>

namespace driver::detail {

bool PathExists(const std::string& path);
// Creates a folder and its missing parents.
void MakeDirs(const std::string& path);
// Removes a folder with everything in it.
void RemoveTree(const std::string& path);
void Copy(const std::string& from, const std::string& to);
void WriteBytes(const std::string& path, std::string_view bytes);
// Reads a whole file that another process may hold open for writing.
bool ReadBytes(const std::string& path, std::string* bytes);

}  // namespace driver::detail

#endif  // REVEDIZ_RUNNER_DRIVER_FILES_H
