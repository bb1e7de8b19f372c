// The resource list reader over any file content: line ends LF or CR LF or none, lines longer than the reader's line
// buffer, binary bytes.
#include <algorithm>

#include "resources/resource_files.h"
#include "tests/fuzz/fuzz_harness.h"

void FuzzOne(FuzzInput& input) {
  const std::vector<std::uint8_t> bytes = input.Bytes();
  const std::string content(bytes.begin(), bytes.end());
  const auto collect = [](const char* entry, void* entries) {
    static_cast<std::vector<std::string>*>(entries)->push_back(entry);
  };
  std::vector<std::string> entries, lines;
  FUZZ_CHECK(ReadResourceList(FuzzTempFile(bytes.data(), bytes.size()), collect, &entries) == 0);
  FUZZ_CHECK(FuzzLines.empty() && FuzzBoxes.empty());
  // One entry per line, a last line without its newline too, without the newline and one CR before it. A NUL byte
  // ends the text of the piece it is read in: never more entries than lines, for plain text exactly the lines.
  for (std::size_t start = 0, end; start < content.size(); start = end + 1) {
    end = std::min(content.find('\n', start), content.size());
    const bool cr = end < content.size() && end > start && content[end - 1] == '\r';
    lines.push_back(content.substr(start, end - start - cr));
  }
  FUZZ_CHECK(entries.size() <= lines.size() && (content.find('\0') != std::string::npos || entries == lines));
  for (const std::string& entry : entries) FUZZ_CHECK(entry.find('\n') == std::string::npos);
}
