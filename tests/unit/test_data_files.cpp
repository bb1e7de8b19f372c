// ReadInputFile and WriteOutputFile: the bytes moved, the count returned and
// the one outcome line each logs, on every path that a native file system
// can produce.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dialogs/data_files.h"
#include "tests/support/recording_shell.h"

namespace {

namespace fs = std::filesystem;

class DataFileIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetShellRecord();
    dir_ = fs::current_path() /
           ("data_files_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

  std::string MakeFile(const std::string& name, const std::string& content) const {
    const std::string path = PathOf(name);
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  static std::string Content(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  static std::string Pattern(std::size_t size) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    return s;
  }

  fs::path dir_;
  char buffer_[8192 + 16] = {};
};

// ---- ReadInputFile --------------------------------------------------------

TEST_F(DataFileIoTest, ReadsWholeFileOfCapacityBytes) {
  const std::string content = Pattern(8192);
  const std::string path = MakeFile("full.bin", content);
  EXPECT_EQ(ReadInputFile(path.c_str(), buffer_, 8192), 8192);
  EXPECT_EQ(std::string(buffer_, 8192), content);
  EXPECT_EQ(LoggedLines(),
            std::vector<std::string>{"REVEDIZ: Read 8192 bytes from '" + path + "'"});
  EXPECT_TRUE(ShownBoxes().empty());
}

TEST_F(DataFileIoTest, ReadsBytesUnchanged) {
  const std::string content("\\n\r\n\x00\x1A" "end", 8);
  const std::string path = MakeFile("raw.bin", content);
  ASSERT_EQ(ReadInputFile(path.c_str(), buffer_, 8192), 8);
  EXPECT_EQ(std::string(buffer_, 8), content);
}

TEST_F(DataFileIoTest, RefusesFileOneByteOverCapacity) {
  const std::string path = MakeFile("big.bin", Pattern(8193));
  buffer_[0] = 'Z';
  EXPECT_EQ(ReadInputFile(path.c_str(), buffer_, 8192), -1);
  EXPECT_EQ(buffer_[0], 'Z') << "nothing is read into the buffer";
  EXPECT_EQ(LoggedLines(), std::vector<std::string>{
                               "REVEDIZ: Buffer not big enough: have 8192 bytes, '" + path +
                               "' is 8193 bytes long\n"});
}

TEST_F(DataFileIoTest, CapacityIsWhatTheCallerGives) {
  const std::string path = MakeFile("ten.bin", Pattern(10));
  EXPECT_EQ(ReadInputFile(path.c_str(), buffer_, 9), -1);
  EXPECT_EQ(ReadInputFile(path.c_str(), buffer_, 10), 10);
  EXPECT_EQ(LoggedLines(), (std::vector<std::string>{
                               "REVEDIZ: Buffer not big enough: have 9 bytes, '" + path +
                                   "' is 10 bytes long\n",
                               "REVEDIZ: Read 10 bytes from '" + path + "'"}));
}

TEST_F(DataFileIoTest, RefusesEmptyFileAtTheLengthQuery) {
  const std::string path = MakeFile("empty.bin", "");
  EXPECT_EQ(ReadInputFile(path.c_str(), buffer_, 8192), -1);
  const auto lines = LoggedLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("REVEDIZ: Error -1/", 0), 0u) << lines[0];
  const std::string tail = " on ftell of file '" + path + "'";
  ASSERT_GT(lines[0].size(), tail.size());
  EXPECT_EQ(lines[0].substr(lines[0].size() - tail.size()), tail) << lines[0];
}

TEST_F(DataFileIoTest, MissingFileLogsOpenErrorWithErrno) {
  const std::string path = PathOf("no such file.bin");
  EXPECT_EQ(ReadInputFile(path.c_str(), buffer_, 8192), -1);
  EXPECT_EQ(LoggedLines(), std::vector<std::string>{"REVEDIZ: Error " + std::to_string(ENOENT) +
                                                    " on open of file '" + path + "'"});
}

TEST_F(DataFileIoTest, UnseekableFileLogsSeekEndError) {
  const std::string path = PathOf("pipe");
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  // A reader-writer descriptor keeps the open for reading from waiting.
  const int keep = ::open(path.c_str(), O_RDWR);
  ASSERT_GE(keep, 0);
  EXPECT_EQ(ReadInputFile(path.c_str(), buffer_, 8192), -1);
  ::close(keep);
  EXPECT_EQ(LoggedLines(), std::vector<std::string>{"REVEDIZ: Error -1/" + std::to_string(ESPIPE) +
                                                    " on seek_end of file '" + path + "'"});
}

TEST_F(DataFileIoTest, ShortReadStillReturnsWhatArrived) {
  // Attribute files report a length of a page and hold much less.
  const char* candidates[] = {"/sys/devices/system/cpu/online",
                              "/sys/kernel/mm/transparent_hugepage/enabled"};
  const char* path = nullptr;
  for (const char* c : candidates) {
    struct stat st {};
    if (::stat(c, &st) == 0 && st.st_size == 4096) {
      path = c;
      break;
    }
  }
  if (path == nullptr) GTEST_SKIP() << "no attribute file that reports more than it holds";
  const std::string expected = Content(path);
  ASSERT_LT(expected.size(), 4096u);
  const std::int32_t got = ReadInputFile(path, buffer_, 8192);
  EXPECT_EQ(got, static_cast<std::int32_t>(expected.size()));
  EXPECT_EQ(std::string(buffer_, expected.size()), expected);
  EXPECT_EQ(LoggedLines(), std::vector<std::string>{
                               "REVEDIZ: Only read " + std::to_string(expected.size()) +
                               " out of 4096 bytes of file '" + path + "'"});
}

TEST_F(DataFileIoTest, LongNamesAreLoggedWhole) {
  // Longer than MessageText: the line is still logged whole.
  const std::string path = PathOf(std::string(3000, 'n'));
  EXPECT_EQ(ReadInputFile(path.c_str(), buffer_, 8192), -1);
  const auto lines = LoggedLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("REVEDIZ: Error ", 0), 0u);
  const std::string tail = " on open of file '" + path + "'";
  ASSERT_GT(lines[0].size(), tail.size());
  EXPECT_EQ(lines[0].substr(lines[0].size() - tail.size()), tail);
}

// ---- WriteOutputFile ------------------------------------------------------

TEST_F(DataFileIoTest, WritesBytesAndReplacesOldContent) {
  const std::string path = MakeFile("out.bin", std::string(1000, 'x'));
  const std::string data("\x00\r\n\xBB\xFF" "abc", 8);
  EXPECT_EQ(WriteOutputFile(path.c_str(), data.data(), 8), 8);
  EXPECT_EQ(Content(path), data);
  EXPECT_EQ(LoggedLines(), std::vector<std::string>{"REVEDIZ: Wrote 8 bytes to '" + path + "'"});
  EXPECT_TRUE(ShownBoxes().empty());
}

TEST_F(DataFileIoTest, WritesLargeBlock) {
  const std::string data = Pattern(100000);
  const std::string path = PathOf("large.bin");
  EXPECT_EQ(WriteOutputFile(path.c_str(), data.data(), 100000), 100000);
  EXPECT_EQ(Content(path), data);
}

TEST_F(DataFileIoTest, OpenFailureLogsErrorWithTwoTrailingBlanks) {
  const std::string path = PathOf("missing-dir/out.bin");
  EXPECT_EQ(WriteOutputFile(path.c_str(), "abc", 3), -1);
  EXPECT_FALSE(fs::exists(path));
  EXPECT_EQ(LoggedLines(), std::vector<std::string>{"REVEDIZ: Error " + std::to_string(ENOENT) +
                                                    " on open of file '" + path + "'  "});
}

TEST_F(DataFileIoTest, SmallWriteToFullDeviceIsAnErrorNotASuccess) {
  // The bytes sit in the stream's buffer until the flush, which fails.
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  EXPECT_EQ(WriteOutputFile("/dev/full", "0123456789ABCDEF", 16), 16);
  EXPECT_EQ(LoggedLines(), std::vector<std::string>{"Error 32 writing file '/dev/full'"});
}

TEST_F(DataFileIoTest, LargeWriteToFullDeviceIsShort) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const std::string data = Pattern(100000);
  const std::int32_t written = WriteOutputFile("/dev/full", data.data(), 100000);
  EXPECT_LT(written, 100000);
  EXPECT_GE(written, 0);
  EXPECT_EQ(LoggedLines(), std::vector<std::string>{"Only wrote " + std::to_string(written) +
                                                    " out of 100000 bytes of file '/dev/full'"});
}

TEST_F(DataFileIoTest, ZeroBytesGiveAnEmptyFile) {
  const std::string path = MakeFile("zero.bin", "old");
  EXPECT_EQ(WriteOutputFile(path.c_str(), "", 0), 0);
  EXPECT_EQ(Content(path), "");
  EXPECT_EQ(LoggedLines(), std::vector<std::string>{"REVEDIZ: Wrote 0 bytes to '" + path + "'"});
}

TEST_F(DataFileIoTest, WrittenFileReadsBackThroughReadInputFile) {
  const std::string data = Pattern(300);
  const std::string path = PathOf("round.bin");
  ASSERT_EQ(WriteOutputFile(path.c_str(), data.data(), 300), 300);
  ASSERT_EQ(ReadInputFile(path.c_str(), buffer_, 8192), 300);
  EXPECT_EQ(std::string(buffer_, 300), data);
}

}  // namespace
