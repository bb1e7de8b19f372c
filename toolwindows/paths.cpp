// Windows paths: see paths.h.
#include "toolwindows/paths.h"

namespace winpath {

std::string Join(std::string_view dir, std::string_view name) {
  std::string path(dir);
  if (!path.empty() && path.back() != '\\') path += '\\';
  path += name;
  return path;
}

std::string FolderOf(std::string_view path) {
  const std::size_t cut = path.find_last_of("\\/");
  return cut == std::string_view::npos ? std::string(".") : std::string(path.substr(0, cut));
}

std::string BaseName(std::string_view path) {
  const std::size_t cut = path.find_last_of("\\/");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string FromBuild(std::string_view path) {
  std::string out;
  if (!path.empty() && path.front() == '/') out = "Z:";
  for (char c : path) out += c == '/' ? '\\' : c;
  while (out.size() > 3 && out.back() == '\\') out.pop_back();
  return out;
}

}  // namespace winpath
