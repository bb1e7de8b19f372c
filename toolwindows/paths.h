// Windows paths as the driver, the runner and the simulator handle them:
// joined with a backslash, split at the last backslash or slash. Window-free.
#ifndef REVEDIZ_TOOLWINDOWS_PATHS_H
#define REVEDIZ_TOOLWINDOWS_PATHS_H

#include <string>
#include <string_view>

namespace winpath {

// dir and name with one backslash between them; name alone when dir is empty.
std::string Join(std::string_view dir, std::string_view name);
// What comes before the last '\' or '/', or "." when there is none.
std::string FolderOf(std::string_view path);
// What comes after the last '\' or '/' (the whole path when there is none).
std::string BaseName(std::string_view path);
// A path handed over from the build as Windows sees it: a Unix path gets the
// drive Z:, every '/' becomes '\', and trailing backslashes go (a drive's
// root keeps its own).
std::string FromBuild(std::string_view path);

}  // namespace winpath

#endif  // REVEDIZ_TOOLWINDOWS_PATHS_H
