// The resource list reader over any file content: line ends LF or CR LF or
// none, lines longer than the reader's line buffer, binary bytes.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "resources/resource_files.h"
#include "tests/fuzz/fuzz_shell.h"
#include "tests/fuzz/fuzz_temp_file.h"

namespace {

void Collect(const char* entry, void* context) {
  FUZZ_CHECK(entry != nullptr);
  static_cast<std::vector<std::string>*>(context)->push_back(entry);
}

// The entries a file of this content holds: one per line, a last line without
// its newline included, each without its newline and one CR before it.
std::vector<std::string> ExpectedEntries(const std::string& content) {
  std::vector<std::string> entries;
  std::size_t start = 0;
  while (start < content.size()) {
    const std::size_t end = content.find('\n', start);
    if (end == std::string::npos) {
      entries.push_back(content.substr(start));
      break;
    }
    std::string line = content.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    entries.push_back(line);
    start = end + 1;
  }
  return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  const char* path = FuzzTempPath(0);
  WriteFuzzTempFile(path, data, size);

  std::vector<std::string> entries;
  if (size == 0) {
    // A file that is not there: one line, no entry.
    const std::string missing = std::string(path) + ".missing";
    ResetFuzzShell(true);
    FUZZ_CHECK(ReadResourceList(missing.c_str(), Collect, &entries) == 1);
    FUZZ_CHECK(FuzzLogLines() == 1 && entries.empty());
  }
  ResetFuzzShell();
  FUZZ_CHECK(ReadResourceList(path, Collect, &entries) == 0);
  FUZZ_CHECK(FuzzLogLines() == 0 && FuzzBoxes() == 0);

  const std::vector<std::string> expected = ExpectedEntries(content);
  for (const std::string& entry : entries) FUZZ_CHECK(entry.find('\n') == std::string::npos);
  if (content.find('\0') == std::string::npos) {
    // Plain text: exactly the lines, whole, in order.
    FUZZ_CHECK(entries.size() == expected.size());
    FUZZ_CHECK(entries == expected);
  } else {
    // A NUL byte ends the text of the piece it is read in; never more entries
    // than lines.
    FUZZ_CHECK(entries.size() <= expected.size());
  }
  return 0;
}
