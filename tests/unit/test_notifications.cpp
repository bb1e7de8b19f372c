// The device notifications that arrive at the main window: single-line kinds
// with their boxes, device offline by type, the device-online decode, and
// the kinds left to default processing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/status_log.h"
#include "decode/notifications.h"
#include "tables/lookup.h"
#include "tests/support/recording_shell.h"

namespace {

using Lines = std::vector<std::string>;

class Notifications : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetShellRecord();
    ResetNameScratch();
  }
};

ShellEvent Log(const std::string& text) { return {ShellEvent::kLogLine, text, "", false}; }
ShellEvent Box(const std::string& text, const std::string& caption) {
  return {ShellEvent::kMessageBox, text, caption, false};
}

// First parameter of a device notification, from the top byte down.
std::uint32_t DeviceWord(unsigned slot, unsigned port, unsigned type, unsigned descriptor) {
  return slot << 24 | port << 16 | type << 8 | descriptor;
}

}  // namespace

TEST_F(Notifications, SingleLineKindsLogThenShowTheirBox) {
  const struct {
    unsigned message;
    std::uint32_t wParam, lParam;
    const char* text;
    const char* caption;
  } kCases[] = {
      {0x4201, 0x12345678, 0x9ABCDEF0, "POSM_KBD_STATUS_CHANGE (Msg = 16897)",
       "Keyboard Status Change"},
      {0x4203, DeviceWord(1, 0x11, 0x48, 9), 0x00001234, "MSR DATA AVAILABLE (Length = 52)",
       "MSR Message"},
      {0x4204, DeviceWord(2, 0x22, 0x34, 7), 0xFF, "PRINTER CHASE COMPLETE (Device Descriptor = 7)",
       "DRAV Printer"},
      {0x4205, 0xFFFFFFFF, 0, "PRINTER ERROR (Device Descriptor = 255)", "DRAV Printer"},
      {0x4206, 0x00000100, 0, "PRINTER STATUS CHANGE (Device Descriptor = 0)", "DRAV Printer"},
      {0x420B, 0x00000005, 0xABCDEF80, "SCANNER DATA AVAILABLE (Length = 128)", "SCANNER Message"},
      {0x420F, DeviceWord(0, 0, 0x54, 4), 0, "TILL OPENED (Device Descriptor = 4)", "DRAV Message"},
      {0x4210, DeviceWord(0, 0, 0x38, 12), 0,
       "PRINTER DATA AVAILABLE (Device Descriptor = 12)", "DRAV Printer"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    ResetShellRecord();
    EXPECT_TRUE(HandleDeviceNotification(c.message, c.wParam, c.lParam));
    EXPECT_EQ(ShellRecord(), (std::vector<ShellEvent>{Log(c.text), Box(c.text, c.caption)}));
  }
}

TEST_F(Notifications, KeyboardStatusAlwaysShowsItsOwnNumber) {
  EXPECT_TRUE(HandleDeviceNotification(0x4201, 0, 0));
  EXPECT_EQ(LoggedLines(), (Lines{"POSM_KBD_STATUS_CHANGE (Msg = 16897)"}));
}

TEST_F(Notifications, DeviceOfflineTextByDeviceType) {
  EXPECT_TRUE(HandleDeviceNotification(0x420C, DeviceWord(1, 0x11, 0x48, 3), 0));
  EXPECT_TRUE(HandleDeviceNotification(0x420C, DeviceWord(0, 0, 0x24, 1), 0));
  EXPECT_TRUE(HandleDeviceNotification(0x420C, DeviceWord(0, 0, 0x54, 2), 0));
  EXPECT_EQ(ShellRecord(),
            (std::vector<ShellEvent>{
                Log("MSR_3_TRACK OFF LINE (Device Descriptor = 3)"),
                Box("MSR_3_TRACK OFF LINE (Device Descriptor = 3)", "DRAV Message"),
                Log("DEVICE_ANOP_DISPLAY_A OFF LINE (Device Descriptor = 1)"),
                Box("DEVICE_ANOP_DISPLAY_A OFF LINE (Device Descriptor = 1)", "DRAV Message"),
                Log("DEVICE_CASH_DRAWER OFF LINE(Device Descriptor = 2)"),
                Box("DEVICE_CASH_DRAWER OFF LINE(Device Descriptor = 2)", "DRAV Message"),
            }));
}

TEST_F(Notifications, DeviceOfflineOfOtherTypesIsHandledSilently) {
  for (unsigned type : {0x4Au, 0x25u, 0x49u, 0x83u, 0x00u})
    EXPECT_TRUE(HandleDeviceNotification(0x420C, DeviceWord(0, 0, type, 3), 0)) << type;
  EXPECT_TRUE(ShellRecord().empty());
}

TEST_F(Notifications, DeviceOnlineDecodesSixLinesWithoutABox) {
  EXPECT_TRUE(HandleDeviceNotification(0x420D, DeviceWord(2, 0x11, 0x24, 2), 6));
  EXPECT_EQ(LoggedLines(),
            (Lines{" wParam --> 2112402 ", " lParam --> 00000006 ", "  POSM_SYS_DEVICE_ONLINE ",
                   "        Device: ANOP_DISPLAY_A  (Subtype: 2X20_VFD) (Device Num: 0x24)",
                   "            SLOT_2   (0x02) ", "            PORT_1   (0x11) "}));
  EXPECT_TRUE(ShownBoxes().empty());
  // All six in one closed log batch.
  EXPECT_EQ(BatchedLineCount(), 6);
  EXPECT_EQ(OpenStatusLogBatches(), 0);
  // MessageText is left cleared and the fallback texts released.
  for (char c : MessageText) ASSERT_EQ(c, '\0');
  EXPECT_STREQ(NameScratch, "");
}

TEST_F(Notifications, DeviceOnlineZeroFieldsUseTheAlternateFormOfZero) {
  EXPECT_TRUE(HandleDeviceNotification(0x420D, 0, 0));
  EXPECT_EQ(LoggedLines(),
            (Lines{" wParam --> 0000 ", " lParam --> 00000000 ", "  POSM_SYS_DEVICE_ONLINE ",
                   "        Device: 0      (0x00000000)  (Subtype: NONE) (Device Num: 0000)",
                   "            SLOT_0   (0000) ", "            PORT_0   (0000) "}));
}

TEST_F(Notifications, DeviceOnlineNumberForms) {
  EXPECT_TRUE(HandleDeviceNotification(0x420D, 0x1A, 0x1));
  Lines lines = LoggedLines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], " wParam --> 001a ");
  EXPECT_EQ(lines[1], " lParam --> 00000001 ");

  ResetShellRecord();
  EXPECT_TRUE(HandleDeviceNotification(0x420D, 0x0FFFFFFF, 0x00ABCDEF));
  lines = LoggedLines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], " wParam --> fffffff ");
  EXPECT_EQ(lines[1], " lParam --> 00abcdef ");

  ResetShellRecord();
  EXPECT_TRUE(HandleDeviceNotification(0x420D, 0xFFFFFFFF, 0xABCDEF12));
  EXPECT_EQ(LoggedLines(),
            (Lines{" wParam --> ffffffff ", " lParam --> abcdef12 ", "  POSM_SYS_DEVICE_ONLINE ",
                   "        Device: 255    (0x000000FF)  (Subtype:  18 (0x12)) (Device Num: 0xff)",
                   "            255    (0x000000FF)   (0xff) ",
                   "            255    (0x000000FF)   (0xff) "}));
  EXPECT_STREQ(NameScratch, "");
}

TEST_F(Notifications, DeviceOnlineUnlistedSlotAndPortAndSharedType) {
  EXPECT_TRUE(HandleDeviceNotification(0x420D, DeviceWord(9, 0x01, 0x10, 0), 0x100));
  const Lines lines = LoggedLines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[3], "        Device: CHECKOUT_KEYBOARD_A  (Subtype: NONE) (Device Num: 0x10)");
  EXPECT_EQ(lines[4], "            9      (0x00000009)   (0x09) ");
  EXPECT_EQ(lines[5], "            1      (0x00000001)   (0x01) ");
}

TEST_F(Notifications, LongestDeviceLineIsLoggedWhole) {
  EXPECT_TRUE(HandleDeviceNotification(0x420D, DeviceWord(0, 0, 0x20, 0), 5));
  const Lines lines = LoggedLines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[3],
            "        Device: ALPHANUMERIC_DISPLAY_A  (Subtype:   5 (0x05)) (Device Num: 0x20)");
  EXPECT_EQ(lines[3].size(), 80u);
}

TEST_F(Notifications, OtherKindsGetDefaultProcessing) {
  for (unsigned message : {0x4202u, 0x4207u, 0x4208u, 0x4209u, 0x420Au, 0x420Eu, 0x4200u,
                           0x4211u, 0x4212u, 0x4213u, 0x4216u, 0x0000u, 0x0010u, 0xFFFFFFFFu,
                           0x4201u + 0x10000u})
    EXPECT_FALSE(HandleDeviceNotification(message, DeviceWord(1, 0x11, 0x24, 2), 6)) << message;
  EXPECT_TRUE(ShellRecord().empty());
}

namespace {
int nestedCalls = 0;
void NotifyWhileBoxIsOpen(const ShellEvent&) {
  if (nestedCalls++ == 0) HandleDeviceNotification(0x4203, 0, 9);
}
}  // namespace

TEST_F(Notifications, NotificationDuringABoxStacksInArrivalOrder) {
  nestedCalls = 0;
  SetBoxHook(NotifyWhileBoxIsOpen);
  EXPECT_TRUE(HandleDeviceNotification(0x420F, 5, 0));
  EXPECT_EQ(ShellRecord(), (std::vector<ShellEvent>{
                               Log("TILL OPENED (Device Descriptor = 5)"),
                               Box("TILL OPENED (Device Descriptor = 5)", "DRAV Message"),
                               Log("MSR DATA AVAILABLE (Length = 9)"),
                               Box("MSR DATA AVAILABLE (Length = 9)", "MSR Message"),
                           }));
}
