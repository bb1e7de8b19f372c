// The shell's window-free parts: the start-up check of the list files, the result reports, the shared text buffer and
// the start-up defaults.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/result_report.h"
#include "app/shell_globals.h"
#include "app/startup_check.h"
#include "app/status_log.h"
#include "tables/lookup.h"
#include "tests/support/recording_shell.h"
#include "tests/unit/api_names.h"

namespace {

// Runs the check with the given list files absent and all others present (and no stream left open); returns what its
// one box, if any, said.
Events CheckWithout(std::initializer_list<const char*> absent) {
  for (const std::string name : kListFiles) {
    std::remove(name.c_str());
    if (std::find(absent.begin(), absent.end(), name) == absent.end()) WriteFile(name, "PosNEntry\n");
  }
  ResetShellRecord();
  const int open = OpenDescriptors();
  EXPECT_EQ(StartupFileCheck(), absent.size() ? 1 : 0);
  EXPECT_EQ(OpenDescriptors(), open) << "a list file was left open";
  return ShellRecord();
}

Events Missing(const std::string& name) { return {{ShellEvent::kMessageBox, "File " + name + " is missing.", "", true}}; }

}  // namespace

// Each file in turn is missing and named; of two neighbours in the listed order, the earlier is the one named.
TEST(StartupCheck, NamesTheFirstMissingFileInTheListedOrder) {
  WorkFolder folder;
  EXPECT_EQ(CheckWithout({}), Events{});
  EXPECT_EQ(CheckWithout({kListFiles[0]}), Missing(kListFiles[0]));
  for (std::size_t i = 1; i < std::size(kListFiles); ++i) {
    EXPECT_EQ(CheckWithout({kListFiles[i]}), Missing(kListFiles[i]));
    EXPECT_EQ(CheckWithout({kListFiles[i], kListFiles[i - 1]}), Missing(kListFiles[i - 1]));
  }
}

// Calls: 0 the report itself, 1 Initialize, 2 Open, 3 Close. Initialize and Close fail on a negative result, Open on
// zero or less (a positive handle stands whatever errno holds). A failure is logged, then shown under "Command Status"
// and the fallback name released; Close logs its line only once its own box is closed.
TEST(ResultReport, FailuresAndOutcomesOfInitializeOpenAndClose) {
  const auto failed = [](const std::string& line) { return Events{LogEvent(line), BoxEvent(line, "Command Status")}; };
  const Events opened = {LogEvent("  Handle :  7  Device Name :  DEVNAME"),
                         BoxEvent("  Handle :  7  Device Name :  DEVNAME", "POS Open")};
  const Events closed = {BoxEvent("PosClose Successful.", "POS Close"), LogEvent("Close Handle 12 successful")};
  const Events initialized = {BoxEvent("Initialize Successful.", "POS Initialize")};
  const struct { int call; std::int32_t result, error; Events events; } kCases[] = {
      {0, -1, 304, failed("  RC = -1, errno = (304) POSERR_SYS_ALREADY_INITIALIZED  ")},
      {0, -1, 337, failed("  RC = -1, errno = (337) 337    (0x00000151)  ")},
      {0, -2147483647, 0, failed("  RC = -2147483647, errno = (0) 0      (0x00000000)  ")},
      {1, 0, 0, initialized}, {1, 1, 5, initialized},
      {1, -1, 304, failed("  RC = -1, errno = (304) POSERR_SYS_ALREADY_INITIALIZED  ")},
      {2, 7, 0, opened}, {2, 7, -1, opened},
      {2, 0, 302, failed("  RC = 0, errno = (302) POSERR_SYS_NOT_INITIALIZED  ")},
      {2, -1, 331, failed("  RC = -1, errno = (331) POSERR_SYS_INVALID_CLASS  ")}, {3, 0, 9, closed}, {3, 1, 0, closed},
      {3, -1, 311, failed("  RC = -1, errno = (311) POSERR_SYS_FUNCTION_NOT_SUPPORTED  ")},
  };
  for (const auto& c : kCases) {
    ResetShellRecord();
    SetBoxHook([](const ShellEvent& box) {  // what is logged while the box is open
      const bool logged = box.caption == "Command Status" || box.caption == "POS Open";
      EXPECT_EQ(LoggedLines(), logged ? Lines{box.text} : Lines{});
    });
    if (c.call == 0) ReportResult(c.result, c.error);
    if (c.call == 1) ReportInitializeResult(c.result, c.error);
    if (c.call == 2) ReportOpenResult(c.result, c.error, "DEVNAME");
    if (c.call == 3) ReportCloseResult(c.result, c.error, 12);
    EXPECT_EQ(ShellRecord(), c.events) << c.call << " " << c.result;
    EXPECT_EQ(NameScratch[0], '\0');
  }
  const std::string name(253, 'd');
  ResetShellRecord();
  ReportOpenResult(1, 0, name.c_str());
  EXPECT_EQ(LoggedLines(), Lines{"  Handle :  1  Device Name :  " + name});
}

TEST(ShellText, MessageTextAndTheStartupDefaults) {
  // MessageText holds 2,047 characters and its terminator: a longer text is cut there.
  const std::string tooLong(kMessageTextSize + 10, 'm');
  EXPECT_EQ(FormatMessageText("%s", tooLong.c_str()), static_cast<int>(tooLong.size()));
  EXPECT_EQ(std::string(MessageText), tooLong.substr(0, 2047));
  SetMessageText(nullptr);
  EXPECT_STREQ(MessageText, "");
  // A format that cannot be written (a wide character the C locale has no byte for) leaves it empty.
  SetMessageText("abc");
  EXPECT_LT(FormatMessageText("x%lsy", L"\u00e9"), 0);
  EXPECT_STREQ(MessageText, "");
  SetMessageText(tooLong.c_str());
  EXPECT_EQ(std::string(MessageText), tooLong.substr(0, 2047));
  ClearMessageText();
  EXPECT_EQ(std::string(MessageText, kMessageTextSize), std::string(kMessageTextSize, '\0'));
  SetStartupDefaults();
  EXPECT_EQ(sizeof DefaultApplicationName, 256u);
  EXPECT_EQ(std::string(DefaultApplicationName) + "|" + DefaultResourceFile + "|" + DefaultDeviceName + "|" +
                DefaultDeviceClass,
            "REVEDIZ|C:\\VORN|DEVNAME|PosDisplay");
}
