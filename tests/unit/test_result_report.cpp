// The common failure report: its exact line, the box that follows it, and the
// scratch area it leaves empty.
#include <gtest/gtest.h>

#include "app/result_report.h"
#include "tables/lookup.h"
#include "tests/support/recording_shell.h"

namespace {

class ResultReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetShellRecord();
    ResetNameScratch();
  }
};

TEST_F(ResultReportTest, NamedErrorIsLoggedThenShownUnderCommandStatus) {
  ReportResult(-1, 304);
  const std::string line = "  RC = -1, errno = (304) POSERR_SYS_ALREADY_INITIALIZED  ";
  const std::vector<ShellEvent> expected = {
      {ShellEvent::kLogLine, line, "", false},
      {ShellEvent::kMessageBox, line, "Command Status", false},
  };
  EXPECT_EQ(ShellRecord(), expected);
}

TEST_F(ResultReportTest, NotInitializedAfterZeroResult) {
  ReportResult(0, 302);
  EXPECT_EQ(LoggedLines(),
            std::vector<std::string>{"  RC = 0, errno = (302) POSERR_SYS_NOT_INITIALIZED  "});
}

TEST_F(ResultReportTest, CodeWithoutRowShowsNumericFallback) {
  ReportResult(-1, 337);
  EXPECT_EQ(LoggedLines(), std::vector<std::string>{"  RC = -1, errno = (337) 337    (0x00000151)  "});
  ReportResult(-1, -1);
  EXPECT_EQ(LoggedLines().back(), "  RC = -1, errno = (-1) -1     (0xFFFFFFFF)  ");
}

TEST_F(ResultReportTest, LineIsInLogWhileBoxIsOpen) {
  SetBoxHook([](const ShellEvent& box) {
    ASSERT_EQ(LoggedLines().size(), 1u);
    EXPECT_EQ(LoggedLines()[0], box.text);
  });
  ReportResult(-1, 304);
  EXPECT_EQ(ShownBoxes().size(), 1u);
}

TEST_F(ResultReportTest, ScratchIsEmptyAfterEachReport) {
  ReportResult(-1, 337);
  EXPECT_EQ(NameScratch[0], '\0');
  // The next fallback starts again at the beginning of the area.
  const char* name = CodeToName(ErrorNames, 338);
  EXPECT_EQ(name, NameScratch);
  ResetNameScratch();
}

}  // namespace
