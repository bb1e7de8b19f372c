// The resource list reader over any file content: line ends LF or CR LF or none, lines longer than the reader's line
// buffer, binary bytes. One entry per line, without its newline and one CR before it; a NUL byte ends the text of the
// piece it is read in, so never more entries than lines, and for text without NUL exactly the lines.
#include "resources/resource_files.h"
#include "tests/fuzz/fuzz_harness.h"

void FuzzOne(FuzzInput& input) {
  const std::vector<std::uint8_t> bytes = input.Bytes();
  const std::string content(bytes.begin(), bytes.end());
  const auto collect = [](const char* entry, void* entries) {
    static_cast<std::vector<std::string>*>(entries)->push_back(entry);
  };
  std::vector<std::string> entries;
  FUZZ_CHECK(ReadResourceList(FuzzTempFile(bytes.data(), bytes.size()), collect, &entries) == 0);
  const std::vector<std::string> lines = FuzzSplitLines(content, true);
  FUZZ_CHECK(entries.size() <= lines.size() && (content.find('\0') != std::string::npos || entries == lines));
}
