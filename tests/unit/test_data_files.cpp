// The Read dialog's output file and the Write dialog's input file: the bytes
// moved, the count returned and the one line logged, on every path a native
// file system can produce; no stream is ever left open.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/data_files.h"
#include "tests/support/recording_shell.h"
#include "tests/support/work_folder.h"

namespace {

std::string Pattern(std::size_t size) {
  std::string s(size, '\0');
  for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 7 + 3) & 0xFF);
  return s;
}

}  // namespace

TEST(DataFiles, ReadInputFileTakesTheWholeFileOrRefusesIt) {
  WorkFolder folder;
  const std::string name99(99, 'n'), name3000(3000, 'n'), raw("\\n\r\n\0\x1A" "end", 8);
  const struct {
    std::string name;
    const char* content;  // nullptr: no such file
    std::string bytes;
    std::int32_t capacity, result;
    std::string line;
    bool failingStream;
  } kCases[] = {
      {"full.bin", "", Pattern(8192), 8192, 8192, "REVEDIZ: Read 8192 bytes from 'full.bin'", false},
      {"raw.bin", "", raw, 8192, 8, "REVEDIZ: Read 8 bytes from 'raw.bin'", false},
      {name99, "", "x", 8192, 1, "REVEDIZ: Read 1 bytes from '" + name99 + "'", false},
      {"ten.bin", "", Pattern(10), 10, 10, "REVEDIZ: Read 10 bytes from 'ten.bin'", false},
      {"ten.bin", "", Pattern(10), 9, -1, "REVEDIZ: Buffer not big enough: have 9 bytes, 'ten.bin' is 10 bytes long\n",
       false},
      {"big.bin", "", Pattern(8193), 8192, -1,
       "REVEDIZ: Buffer not big enough: have 8192 bytes, 'big.bin' is 8193 bytes long\n", false},
      {"empty.bin", "", "", 8192, -1, "REVEDIZ: Error -1/0 on ftell of file 'empty.bin'", false},
      {"no such.bin", nullptr, "", 8192, -1, "REVEDIZ: Error 2 on open of file 'no such.bin'", false},
      {name3000, nullptr, "", 8192, -1, "REVEDIZ: Error 36 on open of file '" + name3000 + "'", false},
      {"failing.bin", "", "abc", 8192, 3, "REVEDIZ: Error 32 reading file 'failing.bin'", true},
  };
  for (const auto& c : kCases) {
    if (c.content) WriteFile(c.name, c.bytes);
    ResetShellRecord();
    std::vector<char> buffer(8192 + 16, 'Z');
    const int open = OpenDescriptors();
    errno = 0;
    ForceStreamErrors(c.failingStream);
    EXPECT_EQ(ReadInputFile(c.name.c_str(), buffer.data(), c.capacity), c.result) << c.line;
    ForceStreamErrors(false);
    EXPECT_EQ(OpenDescriptors(), open) << c.line;
    EXPECT_EQ(ShellRecord(), Events{LogEvent(c.line)});
    const std::string expected = c.result > 0 ? c.bytes : std::string(c.bytes.size(), 'Z');
    EXPECT_EQ(std::string(buffer.data(), c.bytes.size()), expected) << c.line;
  }
}

TEST(DataFiles, ReadInputFileFailuresOfSeekAndShortReads) {
  WorkFolder folder;
  std::vector<char> buffer(8192);
  // A pipe cannot seek; a reader-writer descriptor keeps its open from waiting.
  ASSERT_EQ(::mkfifo("pipe", 0600), 0);
  const int keep = ::open("pipe", O_RDWR);
  ResetShellRecord();
  const int open = OpenDescriptors();
  EXPECT_EQ(ReadInputFile("pipe", buffer.data(), 8192), -1);
  EXPECT_EQ(OpenDescriptors(), open);
  ::close(keep);
  EXPECT_EQ(LoggedLines(), Lines{"REVEDIZ: Error -1/29 on seek_end of file 'pipe'"});

  // Attribute files report a page and hold less: what arrived is returned.
  for (const char* path : {"/sys/devices/system/cpu/online", "/sys/kernel/mm/transparent_hugepage/enabled"}) {
    struct stat st {};
    if (::stat(path, &st) != 0 || st.st_size != 4096) continue;
    const std::string held = ReadFile(path);
    ResetShellRecord();
    EXPECT_EQ(ReadInputFile(path, buffer.data(), 8192), static_cast<std::int32_t>(held.size()));
    EXPECT_EQ(std::string(buffer.data(), held.size()), held);
    EXPECT_EQ(LoggedLines(), Lines{"REVEDIZ: Only read " + std::to_string(held.size()) + " out of 4096 bytes of file '" +
                                   path + "'"});
    break;
  }
}

TEST(DataFiles, WriteOutputFileReplacesTheFileOrLogsWhyNot) {
  WorkFolder folder;
  std::filesystem::create_directory("folder");
  const std::string name99(99, 'w'), bytes("\0\r\n\xBB\xFF" "abc", 8);
  const struct {
    std::string name;
    std::string data;
    std::int32_t result;
    std::string line;
  } kCases[] = {
      {"out.bin", bytes, 8, "REVEDIZ: Wrote 8 bytes to 'out.bin'"},
      {"zero.bin", "", 0, "REVEDIZ: Wrote 0 bytes to 'zero.bin'"},
      {name99, Pattern(100000), 100000, "REVEDIZ: Wrote 100000 bytes to '" + name99 + "'"},
      {"no-dir/out.bin", "abc", -1, "REVEDIZ: Error 2 on open of file 'no-dir/out.bin'  "},
      {"folder", "abc", -1, "REVEDIZ: Error 21 on open of file 'folder'  "},
      {"/dev/full", "0123456789ABCDEF", 16, "Error 32 writing file '/dev/full'"},  // fails at the flush
  };
  for (const auto& c : kCases) {
    if (c.result >= 0 && c.name[0] != '/') WriteFile(c.name, std::string(1000, 'o'));
    ResetShellRecord();
    const int open = OpenDescriptors();
    EXPECT_EQ(WriteOutputFile(c.name.c_str(), c.data.data(), static_cast<std::int32_t>(c.data.size())), c.result);
    EXPECT_EQ(OpenDescriptors(), open) << c.line;
    EXPECT_EQ(ShellRecord(), Events{LogEvent(c.line)});
    if (c.result >= 0 && c.name[0] != '/') {
      EXPECT_EQ(ReadFile(c.name), c.data) << c.line;
    }
  }
  EXPECT_FALSE(std::filesystem::exists("no-dir"));

  // A write the device takes only in part.
  const std::string large = Pattern(100000);
  ResetShellRecord();
  const std::int32_t written = WriteOutputFile("/dev/full", large.data(), 100000);
  EXPECT_LT(written, 100000);
  EXPECT_GE(written, 0);
  EXPECT_EQ(LoggedLines(),
            Lines{"Only wrote " + std::to_string(written) + " out of 100000 bytes of file '/dev/full'"});
}
