// Device notifications at the main window: the single-line kinds with their
// boxes, device offline by type, the six lines of device online with their
// number forms, and the kinds left to default processing.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/status_log.h"
#include "decode/notifications.h"
#include "tables/lookup.h"
#include "tests/support/recording_shell.h"

namespace {

// First parameter: slot, port, type and descriptor from the top byte down.
std::uint32_t Device(unsigned slot, unsigned port, unsigned type, unsigned descriptor) {
  return slot << 24 | port << 16 | type << 8 | descriptor;
}

}  // namespace

TEST(Notifications, SingleLineKindsLogTheirLineThenShowIt) {
  const struct {
    unsigned message;
    std::uint32_t wParam, lParam;
    const char* text;     // nullptr: handled without a trace
    const char* caption;
  } kCases[] = {
      {0x4201, 0x12345678, 0x9ABCDEF0, "POSM_KBD_STATUS_CHANGE (Msg = 16897)", "Keyboard Status Change"},
      {0x4201, 0, 0, "POSM_KBD_STATUS_CHANGE (Msg = 16897)", "Keyboard Status Change"},
      {0x4203, Device(1, 0x11, 0x48, 9), 0x00001234, "MSR DATA AVAILABLE (Length = 52)", "MSR Message"},
      {0x4204, Device(2, 0x22, 0x34, 7), 0xFF, "PRINTER CHASE COMPLETE (Device Descriptor = 7)", "DRAV Printer"},
      {0x4205, 0xFFFFFFFF, 0, "PRINTER ERROR (Device Descriptor = 255)", "DRAV Printer"},
      {0x4206, 0x00000100, 0, "PRINTER STATUS CHANGE (Device Descriptor = 0)", "DRAV Printer"},
      {0x420B, 0x00000005, 0xABCDEF80, "SCANNER DATA AVAILABLE (Length = 128)", "SCANNER Message"},
      {0x420F, Device(0, 0, 0x54, 4), 0, "TILL OPENED (Device Descriptor = 4)", "DRAV Message"},
      {0x4210, Device(0, 0, 0x38, 12), 0, "PRINTER DATA AVAILABLE (Device Descriptor = 12)", "DRAV Printer"},
      {0x420C, Device(1, 0x11, 0x48, 3), 9, "MSR_3_TRACK OFF LINE (Device Descriptor = 3)", "DRAV Message"},
      {0x420C, Device(0, 0, 0x24, 1), 0, "DEVICE_ANOP_DISPLAY_A OFF LINE (Device Descriptor = 1)", "DRAV Message"},
      {0x420C, Device(0, 0, 0x54, 2), 0, "DEVICE_CASH_DRAWER OFF LINE(Device Descriptor = 2)", "DRAV Message"},
      {0x420C, Device(0, 0, 0x4A, 3), 0, nullptr, nullptr},
      {0x420C, Device(0, 0, 0x25, 3), 0, nullptr, nullptr},
      {0x420C, Device(0, 0, 0x49, 3), 0, nullptr, nullptr},
      {0x420C, Device(0, 0, 0x00, 3), 0, nullptr, nullptr},
  };
  for (const auto& c : kCases) {
    ResetShellRecord();
    EXPECT_TRUE(HandleDeviceNotification(c.message, c.wParam, c.lParam)) << std::hex << c.message;
    const Events expected = c.text ? Events{LogEvent(c.text), BoxEvent(c.text, c.caption)} : Events{};
    EXPECT_EQ(ShellRecord(), expected);
  }
}

TEST(Notifications, OtherKindsGetDefaultProcessingAndLeaveNoTrace) {
  ResetShellRecord();
  for (unsigned message : {0x4202u, 0x4207u, 0x4208u, 0x4209u, 0x420Au, 0x420Eu, 0x4200u, 0x4211u, 0x4212u,
                           0x4213u, 0x4216u, 0x0000u, 0xFFFFFFFFu, 0x4201u + 0x10000u})
    EXPECT_FALSE(HandleDeviceNotification(message, Device(1, 0x11, 0x24, 2), 6)) << std::hex << message;
  EXPECT_TRUE(ShellRecord().empty());
}

// Device online: six lines in one batch, no box. The first parameter is
// "%04x" (at least four digits), the second "%08lx", the bytes "%#04x"
// (0000 for a zero byte, as the alternate form adds no prefix to zero).
TEST(Notifications, DeviceOnlineSixLinesAndTheirNumberForms) {
  const std::string kName = "  POSM_SYS_DEVICE_ONLINE ";
  const struct {
    std::uint32_t wParam, lParam;
    Lines lines;
  } kCases[] = {
      {Device(2, 0x11, 0x24, 2), 6,
       {" wParam --> 2112402 ", " lParam --> 00000006 ", kName,
        "        Device: ANOP_DISPLAY_A  (Subtype: 2X20_VFD) (Device Num: 0x24)", "            SLOT_2   (0x02) ",
        "            PORT_1   (0x11) "}},
      {0, 0,
       {" wParam --> 0000 ", " lParam --> 00000000 ", kName,
        "        Device: 0      (0x00000000)  (Subtype: NONE) (Device Num: 0000)", "            SLOT_0   (0000) ",
        "            PORT_0   (0000) "}},
      {0x1A, 1,
       {" wParam --> 001a ", " lParam --> 00000001 ", kName,
        "        Device: 0      (0x00000000)  (Subtype:   1 (0x01)) (Device Num: 0000)", "            SLOT_0   (0000) ",
        "            PORT_0   (0000) "}},
      {0x0FFFFF10, 0x00ABCDEF,
       {" wParam --> fffff10 ", " lParam --> 00abcdef ", kName,
        "        Device: 255    (0x000000FF)  (Subtype: 239 (0xEF)) (Device Num: 0xff)",
        "            15     (0x0000000F)   (0x0f) ", "            255    (0x000000FF)   (0xff) "}},
      {0xFFFFFFFF, 0xABCDEF12,
       {" wParam --> ffffffff ", " lParam --> abcdef12 ", kName,
        "        Device: 255    (0x000000FF)  (Subtype:  18 (0x12)) (Device Num: 0xff)",
        "            255    (0x000000FF)   (0xff) ", "            255    (0x000000FF)   (0xff) "}},
      {Device(9, 0x01, 0x10, 0), 0x100,
       {" wParam --> 9011000 ", " lParam --> 00000100 ", kName,
        "        Device: CHECKOUT_KEYBOARD_A  (Subtype: NONE) (Device Num: 0x10)",
        "            9      (0x00000009)   (0x09) ", "            1      (0x00000001)   (0x01) "}},
      {Device(8, 0x22, 0x20, 0), 5,  // the longest device line: 80 characters
       {" wParam --> 8222000 ", " lParam --> 00000005 ", kName,
        "        Device: ALPHANUMERIC_DISPLAY_A  (Subtype:   5 (0x05)) (Device Num: 0x20)",
        "            SLOT_8   (0x08) ", "            PORT_2   (0x22) "}},
  };
  for (const auto& c : kCases) {
    ResetShellRecord();
    EXPECT_TRUE(HandleDeviceNotification(0x420D, c.wParam, c.lParam));
    EXPECT_EQ(LoggedLines(), c.lines);
    EXPECT_TRUE(ShownBoxes().empty());
    EXPECT_EQ(BatchedLineCount(), 6);
    EXPECT_EQ(OpenStatusLogBatches(), 0);
    EXPECT_EQ(std::string(MessageText, sizeof MessageText), std::string(sizeof MessageText, '\0'));
    EXPECT_STREQ(NameScratch, "");
  }
}

namespace {
int nestedCalls = 0;
void NotifyWhileBoxIsOpen(const ShellEvent&) {
  if (nestedCalls++ == 0) HandleDeviceNotification(0x4203, 0, 9);
}
}  // namespace

// A box runs a nested loop: a notification arriving meanwhile logs and
// shows its own line, in arrival order.
TEST(Notifications, NotificationDuringABoxStacksInArrivalOrder) {
  ResetShellRecord();
  nestedCalls = 0;
  SetBoxHook(NotifyWhileBoxIsOpen);
  EXPECT_TRUE(HandleDeviceNotification(0x420F, 5, 0));
  EXPECT_EQ(ShellRecord(), (Events{LogEvent("TILL OPENED (Device Descriptor = 5)"),
                                   BoxEvent("TILL OPENED (Device Descriptor = 5)", "DRAV Message"),
                                   LogEvent("MSR DATA AVAILABLE (Length = 9)"),
                                   BoxEvent("MSR DATA AVAILABLE (Length = 9)", "MSR Message")}));
}
