// The Read dialog's window-free checks: the buffer size field, the guarded
// buffer, and what is shown when the device overruns the count or the
// buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialogs/read_checks.h"
#include "tests/support/recording_shell.h"

namespace {

class ReadChecksTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetShellRecord(); }
};

ShellEvent Box(const std::string& text, const std::string& caption) {
  return {ShellEvent::kMessageBox, text, caption, false};
}

TEST_F(ReadChecksTest, AcceptsDigitsUpToTheLargestSize) {
  std::int32_t size = -7;
  EXPECT_TRUE(CheckBufferSizeText("80", &size));
  EXPECT_EQ(size, 80);
  EXPECT_TRUE(CheckBufferSizeText("0", &size));
  EXPECT_EQ(size, 0);
  EXPECT_TRUE(CheckBufferSizeText("000016", &size));
  EXPECT_EQ(size, 16);
  EXPECT_TRUE(CheckBufferSizeText("2147483645", &size));
  EXPECT_EQ(size, 2147483645);
  EXPECT_TRUE(ShellRecord().empty());
}

TEST_F(ReadChecksTest, RefusalsNameTheFieldWithTheirOwnCaptions) {
  std::int32_t size = 5;
  EXPECT_FALSE(CheckBufferSizeText("", &size));
  EXPECT_FALSE(CheckBufferSizeText("-1", &size));
  EXPECT_FALSE(CheckBufferSizeText(" 8", &size));
  EXPECT_FALSE(CheckBufferSizeText("2147483646", &size));
  EXPECT_FALSE(CheckBufferSizeText("99999999999999999999", &size));
  EXPECT_EQ(size, 5);
  EXPECT_EQ(ShellRecord(), (std::vector<ShellEvent>{
                               Box("Missing Buffer Size", "Buffer Size Error "),
                               Box("Non numeric Buffer Size : -1 ", "Buffer Size Error"),
                               Box("Non numeric Buffer Size :  8 ", "Buffer Size Error"),
                               Box("Buffer Size too large : 2147483646 ", "Buffer Size Error "),
                               Box("Buffer Size too large : 99999999999999999999 ",
                                   "Buffer Size Error "),
                           }));
}

TEST_F(ReadChecksTest, BufferHasGuardBytesAroundTheDataArea) {
  for (std::int32_t size : {0, 1, 80, 4096}) {
    unsigned char* block = TakeReadBuffer(size, "n");
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[0], kReadGuardByte);
    EXPECT_EQ(block[size + 1], kReadGuardByte);
    std::memset(block + 1, 0x5A, static_cast<std::size_t>(size));  // the whole data area is ours
    EXPECT_EQ(CheckReadResult(block, size, size), size);
    ReleaseReadBuffer(block);
  }
  EXPECT_TRUE(ShellRecord().empty());
}

TEST_F(ReadChecksTest, ResultWithinTheBufferIsShownAsIs) {
  unsigned char* block = TakeReadBuffer(80, "80");
  EXPECT_EQ(CheckReadResult(block, 80, 16), 16);
  EXPECT_EQ(CheckReadResult(block, 80, 0), 0);
  EXPECT_EQ(CheckReadResult(block, 80, -1), -1);
  ReleaseReadBuffer(block);
  EXPECT_TRUE(ShellRecord().empty());
}

TEST_F(ReadChecksTest, OverCountIsCutToTheBufferWithOneLine) {
  unsigned char* block = TakeReadBuffer(16, "16");
  EXPECT_EQ(CheckReadResult(block, 16, 100), 16);
  ReleaseReadBuffer(block);
  EXPECT_EQ(LoggedLines(), std::vector<std::string>{
                               "REVEDIZ: Device returned 100 bytes for a buffer of 16; showing 16"});
}

TEST_F(ReadChecksTest, ChangedGuardBytesAreReported) {
  unsigned char* block = TakeReadBuffer(8, "8");
  block[0] = 0;
  EXPECT_EQ(CheckReadResult(block, 8, 8), 8);
  block[0] = kReadGuardByte;
  block[9] = 'x';
  EXPECT_EQ(CheckReadResult(block, 8, 3), 3);
  block[0] = 1;
  EXPECT_EQ(CheckReadResult(block, 8, -1), -1);  // reported on a failed read too
  ReleaseReadBuffer(block);
  EXPECT_EQ(LoggedLines(),
            (std::vector<std::string>{
                "REVEDIZ: Device wrote outside the read buffer (guard byte before changed)",
                "REVEDIZ: Device wrote outside the read buffer (guard byte after changed)",
                "REVEDIZ: Device wrote outside the read buffer (guard byte before and after "
                "changed)"}));
}

TEST_F(ReadChecksTest, OverCountAndOverrunTogether) {
  unsigned char* block = TakeReadBuffer(0, "0");
  block[1] = 0;  // the guard after an empty data area
  EXPECT_EQ(CheckReadResult(block, 0, 16), 0);
  ReleaseReadBuffer(block);
  EXPECT_EQ(LoggedLines(),
            (std::vector<std::string>{
                "REVEDIZ: Device returned 16 bytes for a buffer of 0; showing 0",
                "REVEDIZ: Device wrote outside the read buffer (guard byte after changed)"}));
}

}  // namespace
