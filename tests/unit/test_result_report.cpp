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

// ---- Outcomes of the Initialize, Open and Close calls -------------------------

class CallOutcomeTest : public ResultReportTest {
 protected:
  static ShellEvent Line(const std::string& text) { return {ShellEvent::kLogLine, text, "", false}; }
  static ShellEvent Box(const std::string& text, const std::string& caption) {
    return {ShellEvent::kMessageBox, text, caption, false};
  }
};

TEST_F(CallOutcomeTest, InitializeSuccessIsABoxOnly) {
  ReportInitializeResult(0, 0);
  EXPECT_EQ(ShellRecord(), (std::vector<ShellEvent>{Box("Initialize Successful.", "POS Initialize")}));
}

TEST_F(CallOutcomeTest, InitializeFailureIsReported) {
  ReportInitializeResult(-1, 304);
  const std::string line = "  RC = -1, errno = (304) POSERR_SYS_ALREADY_INITIALIZED  ";
  EXPECT_EQ(ShellRecord(), (std::vector<ShellEvent>{Line(line), Box(line, "Command Status")}));
}

TEST_F(CallOutcomeTest, OpenHandleIsLoggedThenShown) {
  ReportOpenResult(3, 0, "DEVNAME");
  const std::string line = "  Handle :  3  Device Name :  DEVNAME";
  EXPECT_EQ(ShellRecord(), (std::vector<ShellEvent>{Line(line), Box(line, "POS Open")}));
}

TEST_F(CallOutcomeTest, OpenHandleStandsDespiteAStaleNegativeErrno) {
  // errno still holds the -1 of an earlier failed registration.
  ReportOpenResult(7, -1, "DEVNAME");
  const std::string line = "  Handle :  7  Device Name :  DEVNAME";
  EXPECT_EQ(ShellRecord(), (std::vector<ShellEvent>{Line(line), Box(line, "POS Open")}));
}

TEST_F(CallOutcomeTest, OpenResultOfZeroOrLessIsAFailure) {
  ReportOpenResult(0, 302, "DEVNAME");
  ReportOpenResult(-1, 331, "DEVNAME");
  ASSERT_EQ(LoggedLines().size(), 2u);
  EXPECT_EQ(LoggedLines()[0], "  RC = 0, errno = (302) POSERR_SYS_NOT_INITIALIZED  ");
  EXPECT_EQ(LoggedLines()[1].rfind("  RC = -1, errno = (331) ", 0), 0u) << LoggedLines()[1];
  for (const ShellEvent& box : ShownBoxes()) EXPECT_EQ(box.caption, "Command Status");
}

TEST_F(CallOutcomeTest, OpenLongDeviceNameIsKeptWhole) {
  const std::string name(253, 'd');
  ReportOpenResult(1, 0, name.c_str());
  EXPECT_EQ(LoggedLines(), std::vector<std::string>{"  Handle :  1  Device Name :  " + name});
}

TEST_F(CallOutcomeTest, CloseSuccessLogsItsLineAfterTheBox) {
  SetBoxHook([](const ShellEvent&) { EXPECT_TRUE(LoggedLines().empty()); });
  ReportCloseResult(0, 0, 4);
  EXPECT_EQ(ShellRecord(), (std::vector<ShellEvent>{Box("PosClose Successful.", "POS Close"),
                                                    Line("Close Handle 4 successful")}));
}

TEST_F(CallOutcomeTest, CloseFailureIsReported) {
  ReportCloseResult(-1, 311, 0);
  ASSERT_EQ(LoggedLines().size(), 1u);
  EXPECT_EQ(LoggedLines()[0], "  RC = -1, errno = (311) POSERR_SYS_FUNCTION_NOT_SUPPORTED  ");
  EXPECT_EQ(ShownBoxes().size(), 1u);
}

}  // namespace
