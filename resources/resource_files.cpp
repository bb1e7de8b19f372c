#include "resources/resource_files.h"

#include <cstdio>
#include <string>

#include "app/status_log.h"

namespace {

// The stream of the current read and its line buffer. A line longer than the
// buffer arrives in several pieces, which are joined into one entry.
constexpr int kLineBufferSize = 80;
std::FILE* ListFile = nullptr;
char LineBuffer[kLineBufferSize];

}  // namespace

int ReadResourceList(const char* fileName, ResourceEntrySink sink, void* context) {
  ListFile = std::fopen(fileName, "r");
  if (ListFile == nullptr) {
    FormatMessageText(" File : %s is not found.", fileName);
    AppendToStatusLog();
    return 1;
  }
  std::string entry;
  bool pending = false;  // a line has begun but its newline has not come yet
  while (std::fgets(LineBuffer, kLineBufferSize, ListFile) != nullptr) {
    entry.append(LineBuffer);
    pending = true;
    if (!entry.empty() && entry.back() == '\n') {
      entry.pop_back();
      // Text mode drops the CR of CR LF on Windows only; drop it here too.
      if (!entry.empty() && entry.back() == '\r') entry.pop_back();
      sink(entry.c_str(), context);
      entry.clear();
      pending = false;
    }
  }
  // The end of the file completes a last line that has no newline; a read
  // error leaves the line being read incomplete, so it is dropped.
  if (pending && !std::ferror(ListFile)) sink(entry.c_str(), context);
  std::fclose(ListFile);
  ListFile = nullptr;
  return 0;
}
