// The application shell's window-free parts: the start-up check of the
// sixteen list files, the report of a failed call and the outcome reports
// of Initialize, Open and Close, the shared text buffer and the defaults.
#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <string>

#include "app/result_report.h"
#include "app/shell_globals.h"
#include "app/startup_check.h"
#include "app/status_log.h"
#include "tables/lookup.h"
#include "tests/support/recording_shell.h"
#include "tests/support/work_folder.h"
#include "tests/unit/reference_tables.h"

namespace {

// Runs the check with the named reference files absent and all others
// present; returns the names of the missing files it reported.
Lines ReportedMissing(std::initializer_list<const char*> absent) {
  for (const char* name : kRefListFiles) {
    std::remove(name);
    bool keep = true;
    for (const char* a : absent) keep = keep && std::string(a) != name;
    if (keep) WriteFile(name, "PosNEntry\n");
  }
  ResetShellRecord();
  const int open = OpenDescriptors();
  const int status = StartupFileCheck();
  EXPECT_EQ(OpenDescriptors(), open) << "a list file was left open";
  Lines named;
  for (const ShellEvent& e : ShellRecord()) {
    EXPECT_EQ(e, (ShellEvent{ShellEvent::kMessageBox, e.text, "", true})) << "one box, default caption, no log";
    char file[64] = {};
    EXPECT_EQ(std::sscanf(e.text.c_str(), "File %63s is missing.", file), 1) << e.text;
    EXPECT_EQ(e.text, "File " + std::string(file) + " is missing.");
    named.push_back(file);
  }
  EXPECT_EQ(status, named.empty() ? 0 : 1);
  return named;
}

}  // namespace

// Each file in turn is missing and named; of two missing files the earlier
// in the reference's order is the one named, so the order is the listed one.
TEST(StartupCheck, NamesTheFirstMissingFileInTheListedOrder) {
  WorkFolder folder;
  EXPECT_TRUE(ReportedMissing({}).empty());
  for (std::size_t i = 0; i < std::size(kRefListFiles); ++i) {
    EXPECT_EQ(ReportedMissing({kRefListFiles[i]}), Lines{kRefListFiles[i]});
    if (i > 0) {
      EXPECT_EQ(ReportedMissing({kRefListFiles[i], kRefListFiles[i - 1]}), Lines{kRefListFiles[i - 1]});
    }
  }
}

TEST(ResultReport, FailureLineIsLoggedThenShownUnderCommandStatus) {
  const struct {
    std::int32_t result, error;
    const char* line;
  } kCases[] = {
      {-1, 304, "  RC = -1, errno = (304) POSERR_SYS_ALREADY_INITIALIZED  "},
      {0, 302, "  RC = 0, errno = (302) POSERR_SYS_NOT_INITIALIZED  "},
      {-1, 5739, "  RC = -1, errno = (5739) POSERR_SCAN_INVALID_FLAG_PAIR_COMBINATION  "},
      {-1, 337, "  RC = -1, errno = (337) 337    (0x00000151)  "},
      {-1, -1, "  RC = -1, errno = (-1) -1     (0xFFFFFFFF)  "},
      {-2147483647, 0, "  RC = -2147483647, errno = (0) 0      (0x00000000)  "},
  };
  for (const auto& c : kCases) {
    ResetShellRecord();
    SetBoxHook([](const ShellEvent& box) { EXPECT_EQ(LoggedLines(), Lines{box.text}) << "logged before the box"; });
    ReportResult(c.result, c.error);
    EXPECT_EQ(ShellRecord(), (Events{LogEvent(c.line), BoxEvent(c.line, "Command Status")}));
    EXPECT_EQ(NameScratch[0], '\0') << "the fallback is released";
  }
}

// Initialize and Close fail on a negative result, Open on zero or less (a
// positive handle stands whatever errno holds); the successes have boxes of
// their own, Close logging its line once its box is closed.
TEST(ResultReport, OutcomesOfInitializeOpenAndClose) {
  const std::string name(253, 'd');
  const auto failed = [](const char* line) { return Events{LogEvent(line), BoxEvent(line, "Command Status")}; };
  const struct {
    int call;  // 0 Initialize, 1 Open, 2 Close
    std::int32_t result, error;
    Events events;
  } kCases[] = {
      {0, 0, 0, {BoxEvent("Initialize Successful.", "POS Initialize")}},
      {0, 1, 5, {BoxEvent("Initialize Successful.", "POS Initialize")}},
      {0, -1, 304, failed("  RC = -1, errno = (304) POSERR_SYS_ALREADY_INITIALIZED  ")},
      {1, 3, 0, {LogEvent("  Handle :  3  Device Name :  DEVNAME"), BoxEvent("  Handle :  3  Device Name :  DEVNAME", "POS Open")}},
      {1, 7, -1, {LogEvent("  Handle :  7  Device Name :  DEVNAME"), BoxEvent("  Handle :  7  Device Name :  DEVNAME", "POS Open")}},
      {1, 0, 302, failed("  RC = 0, errno = (302) POSERR_SYS_NOT_INITIALIZED  ")},
      {1, -1, 331, failed("  RC = -1, errno = (331) POSERR_SYS_INVALID_CLASS  ")},
      {2, 0, 9, {BoxEvent("PosClose Successful.", "POS Close"), LogEvent("Close Handle 4 successful")}},
      {2, 1, 0, {BoxEvent("PosClose Successful.", "POS Close"), LogEvent("Close Handle 4 successful")}},
      {2, -1, 311, failed("  RC = -1, errno = (311) POSERR_SYS_FUNCTION_NOT_SUPPORTED  ")},
  };
  for (const auto& c : kCases) {
    ResetShellRecord();
    if (c.call == 0) ReportInitializeResult(c.result, c.error);
    if (c.call == 1) ReportOpenResult(c.result, c.error, "DEVNAME");
    if (c.call == 2) ReportCloseResult(c.result, c.error, 4);
    EXPECT_EQ(ShellRecord(), c.events) << c.call << " " << c.result;
  }
  ResetShellRecord();
  ReportOpenResult(1, 0, name.c_str());
  EXPECT_EQ(LoggedLines(), Lines{"  Handle :  1  Device Name :  " + name});
}

TEST(ShellText, MessageTextAndTheStartupDefaults) {
  const std::string tooLong(kMessageTextSize + 10, 'm');
  EXPECT_EQ(FormatMessageText("%s", tooLong.c_str()), static_cast<int>(tooLong.size()));
  EXPECT_EQ(std::string(MessageText), tooLong.substr(0, kMessageTextSize - 1));
  SetMessageText(tooLong.c_str());
  EXPECT_EQ(std::string(MessageText), tooLong.substr(0, kMessageTextSize - 1));
  SetMessageText(nullptr);
  EXPECT_STREQ(MessageText, "");
  SetMessageText("abc");
  ClearMessageText();
  EXPECT_EQ(std::string(MessageText, kMessageTextSize), std::string(kMessageTextSize, '\0'));

  SetStartupDefaults();
  EXPECT_STREQ(DefaultApplicationName, "REVEDIZ");
  EXPECT_STREQ(DefaultResourceFile, "C:\\VORN");
  EXPECT_STREQ(DefaultDeviceName, "DEVNAME");
  EXPECT_STREQ(DefaultDeviceClass, "PosDisplay");
}
