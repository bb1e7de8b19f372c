// Output decoding: the titled hex dump, records read from the queue, and the device notifications at the main window
// with the bound on their boxes.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "app/status_log.h"
#include "decode/hex_dump.h"
#include "decode/notifications.h"
#include "decode/queue_message.h"
#include "tables/lookup.h"
#include "tests/support/recording_shell.h"

namespace {

// Dump rows one printf conversion at a time: "   %04X: ", "%02X " per byte, " | ", the text column ('.' outside
// 0x20..0x7E) and the newline.
Lines PrintfRows(const unsigned char* bytes, std::size_t length) {
  Lines rows;
  char piece[32];
  for (std::size_t at = 0; at < length; at += 16) {
    std::snprintf(piece, sizeof piece, "   %04zX: ", at);
    std::string row = piece, text;
    for (std::size_t i = at; i < length && i < at + 16; ++i) {
      std::snprintf(piece, sizeof piece, "%02X ", bytes[i]);
      row += piece;
      text += (bytes[i] >= 0x20 && bytes[i] <= 0x7E) ? static_cast<char>(bytes[i]) : '.';
    }
    rows.push_back(row + " | " + text + "\n");
  }
  return rows;
}

void Collect(void* context, const char* line, std::size_t length) {
  EXPECT_EQ(std::strlen(line), length);
  static_cast<Lines*>(context)->push_back(line);
}

using Record = std::array<unsigned char, 16>;

Record Bytes(std::uint32_t message, std::uint32_t mp1, std::uint32_t mp2, std::uint32_t opaque = 0xDEADBEEF) {
  Record bytes{};
  const std::uint32_t fields[] = {opaque, message, mp1, mp2};
  for (int i = 0; i < 16; ++i) bytes[i] = static_cast<unsigned char>(fields[i / 4] >> (8 * (i % 4)));
  return bytes;
}

// Four bytes from the top down: slot, port, type, then class or descriptor.
std::uint32_t Device(unsigned slot, unsigned port, unsigned type, unsigned low) {
  return slot << 24 | port << 16 | type << 8 | low;
}

// A storm of printer errors ('P') and of the operator closing the innermost box ('C'). Every box runs a modal loop that
// takes the next step, so the boxes of a storm nest; the main loop takes what is left.
std::string storm;
std::size_t next = 0;
int descriptor = 0;
void Pump(const ShellEvent&) {
  while (next < storm.size() && storm[next++] == 'P') HandleDeviceNotification(0x4205, ++descriptor, 0);
}

// The six lines of device online, given their variable parts.
Lines Online(const std::string& w, const std::string& l, const std::string& device, const std::string& slot,
             const std::string& port) {
  return {" wParam --> " + w + " ", " lParam --> " + l + " ", "  POSM_SYS_DEVICE_ONLINE ", "        Device: " + device,
          "            " + slot + " ", "            " + port + " "};
}

}  // namespace

// The rows go to the log in one batch, under the title or "(No title)"; the row formatter hands the same rows to any
// sink. No data, no lines.
TEST(HexDump, BlocksUpToAndBeyondSixteenBits) {
  const struct { const char* title; std::size_t length; unsigned first; std::string lastRow; } kCases[] = {
      {"Read Results", 1, 'A', "   0000: 41  | A\n"},
      {"Read Results", 16, 0x30, "   0000: 30 31 32 33 34 35 36 37 38 39 3A 3B 3C 3D 3E 3F  | 0123456789:;<=>?\n"},
      {"Read Results", 17, 0x41, "   0010: 51  | Q\n"},
      {nullptr, 4, 0x1E, "   0000: 1E 1F 20 21  | .. !\n"}, {nullptr, 4, 0x7D, "   0000: 7D 7E 7F 80  | }~..\n"},
      {"T", 65519, 0, "   FFE0: E0 E1 E2 E3 E4 E5 E6 E7 E8 E9 EA EB EC ED EE  | ...............\n"},
      {"T", 65536, 0, "   FFF0: F0 F1 F2 F3 F4 F5 F6 F7 F8 F9 FA FB FC FD FE FF  | ................\n"},
      {"T", 70000, 7, "   11160: 67 68 69 6A 6B 6C 6D 6E 6F 70 71 72 73 74 75 76  | ghijklmnopqrstuv\n"},
  };
  for (const auto& c : kCases) {
    std::vector<unsigned char> bytes(c.length);
    for (std::size_t i = 0; i < c.length; ++i) bytes[i] = static_cast<unsigned char>(c.first + i);
    ResetShellRecord();
    HexDump(c.title, bytes.data(), static_cast<std::int32_t>(c.length));
    Lines expected = {"      " + std::string(c.title ? c.title : "(No title)") + ":  ",
                      "      (" + std::to_string(c.length) + " bytes)"}, formatted;
    const Lines rows = PrintfRows(bytes.data(), c.length);
    expected.insert(expected.end(), rows.begin(), rows.end());
    EXPECT_EQ(ShellRecord(), LogEvents(expected)) << c.length;
    EXPECT_EQ(std::tuple(LoggedLines().back(), BatchedLineCount(), OpenStatusLogBatches()),
              std::tuple(c.lastRow, static_cast<int>(rows.size()), 0));
    FormatHexDumpRows(bytes.data(), c.length, Collect, &formatted);
    EXPECT_EQ(formatted, rows);
  }
  ResetShellRecord();  // nothing to dump
  for (std::int32_t length : {0, -1, INT32_MIN}) HexDump("T", "abcd", length);
  HexDump("T", nullptr, 4);
  Lines none;
  FormatHexDumpRows(nullptr, 16, Collect, &none);
  EXPECT_TRUE(ShellRecord().empty() && none.empty() && OpenStatusLogBatches() == 0);
}

// The four fields are read little-endian at any alignment; only the low byte of mp2 is the subtype.
TEST(QueueMessage, RecordsDecodedLineByLine) {
  const std::string in(21, ' ');
  const struct { Record bytes; bool indent; Lines lines; } kCases[] = {
      {Bytes(0x420D, Device(2, 0x11, 0x24, 2), 6), false,
       {"  POSM_SYS_DEVICE_ONLINE - SLOT_2, PORT_1, DISPLAY  ", "*** Device: ANOP_DISPLAY_A  (Subtype: 2X20_VFD)"}},
      {Bytes(0x420D, Device(2, 0x11, 0x24, 2), 6), true,
       {"  " + in + "POSM_SYS_DEVICE_ONLINE - SLOT_2, PORT_1, DISPLAY  ",
        in + "*** Device: ANOP_DISPLAY_A  (Subtype: 2X20_VFD)"}},
      {Bytes(0x420C, Device(0, 0x22, 0x48, 5), 0), false,
       {"  POSM_SYS_DEVICE_OFFLINE - SLOT_0, PORT_2, MSR  ", "*** Device: MSR_3_TRACK_A  (Subtype: NONE)"}},
      {Bytes(0x420D, Device(8, 0, 0x1D, 1), 0xABCDEF05), false,
       {"  POSM_SYS_DEVICE_ONLINE - SLOT_8, PORT_0, UNKNOWN  ", "*** Device: POS_KEYBOARD_B  (Subtype: KEYBOARD_V)"}},
      {Bytes(0x420D, Device(0xFF, 0x33, 0x99, 0), 0x1C), false,
       {"  POSM_SYS_DEVICE_ONLINE - 255    (0x000000FF), 51     (0x00000033), 0      (0x00000000)  ",
        "*** Device: 153    (0x00000099)  (Subtype:  28 (0x1C))"}},
      {Bytes(0x4203, 0x00050003, 0xBEEF), false,
       {"POSQ Message from Handle  3: POSM_MSR_DATA_AVAIL", "     mp1 = 0x00050003 (327683)",
        "     mp2 = 0x0000BEEF (48879)"}},
      {Bytes(0x4203, 3, 0), true,
       {in + "POSQ Message from Handle  3: POSM_MSR_DATA_AVAIL", in + "     mp1 = 0x00000003 (3)",
        in + "     mp2 = 0x00000000 (0)"}},
      {Bytes(0x4216, 0xFFFFFFFF, 0x80000000, 0xFFFFFFFF), false,
       {"POSQ Message from Handle 65535: POSM_TOUCH_DATA", "     mp1 = 0xFFFFFFFF (4294967295)",
        "     mp2 = 0x80000000 (2147483648)"}},
      {Bytes(0x4299, 12, 1), false,
       {"POSQ Message from Handle 12: 17049  (0x00004299)", "     mp1 = 0x0000000C (12)", "     mp2 = 0x00000001 (1)"}},
  };
  unsigned char buffer[17];
  for (const auto& c : kCases) {
    ResetShellRecord();
    std::copy(c.bytes.begin(), c.bytes.end(), buffer + 1);
    DecodeQueueMessage(buffer + 1, 16, c.indent);
    EXPECT_EQ(ShellRecord(), LogEvents(c.lines));
    EXPECT_STREQ(NameScratch, "") << "the fallback texts are released";
  }
}

// Each handled kind logs its line and then shows it; device offline has a text for three device types only, the rest
// pass without a trace. Each wParam would make the next kind's handling show something of its own.
TEST(Notifications, SingleLineKinds) {
  const struct { unsigned message; std::uint32_t wParam, lParam; const char* text; const char* caption; } kCases[] = {
      {0x4201, 0x12345678, 0x9ABCDEF0, "POSM_KBD_STATUS_CHANGE (Msg = 16897)", "Keyboard Status Change"},
      {0x4203, Device(1, 0x11, 0x48, 9), 0x00001234, "MSR DATA AVAILABLE (Length = 52)", "MSR Message"},
      {0x4204, Device(2, 0x22, 0x34, 17), 0xFF, "PRINTER CHASE COMPLETE (Device Descriptor = 17)", "DRAV Printer"},
      {0x4205, Device(2, 0x22, 0x34, 11), 0, "PRINTER ERROR (Device Descriptor = 11)", "DRAV Printer"},
      {0x4206, 0x0000011A, 0, "PRINTER STATUS CHANGE (Device Descriptor = 26)", "DRAV Printer"},
      {0x420B, Device(0, 0, 0x48, 5), 0xABCDEF80, "SCANNER DATA AVAILABLE (Length = 128)", "SCANNER Message"},
      {0x420F, Device(0, 0, 0x54, 14), 0, "TILL OPENED (Device Descriptor = 14)", "DRAV Message"},
      {0x4210, Device(0, 0, 0x38, 12), 0, "PRINTER DATA AVAILABLE (Device Descriptor = 12)", "DRAV Printer"},
      {0x420C, Device(1, 0x11, 0x48, 93), 9, "MSR_3_TRACK OFF LINE (Device Descriptor = 93)", "DRAV Message"},
      {0x420C, Device(0, 0, 0x24, 10), 0, "DEVICE_ANOP_DISPLAY_A OFF LINE (Device Descriptor = 10)", "DRAV Message"},
      {0x420C, Device(0, 0, 0x54, 20), 0, "DEVICE_CASH_DRAWER OFF LINE(Device Descriptor = 20)", "DRAV Message"},
      {0x420C, Device(0, 0, 0x25, 3), 0, nullptr, nullptr}, {0x420C, Device(0, 0, 0x49, 3), 0, nullptr, nullptr},
  };
  for (const auto& c : kCases) {
    ResetShellRecord();
    EXPECT_TRUE(HandleDeviceNotification(c.message, c.wParam, c.lParam)) << std::hex << c.message;
    const Events expected = c.text ? Events{LogEvent(c.text), BoxEvent(c.text, c.caption)} : Events{};
    EXPECT_EQ(ShellRecord(), expected);
  }
  ResetShellRecord();
  for (unsigned message : {0x4202u, 0x4207u, 0x4208u, 0x4209u, 0x420Au, 0x420Eu, 0x4200u, 0x4211u, 0x4212u, 0x4213u,
                           0x4216u, 0x0000u, 0xFFFFFFFFu, 0x4201u + 0x10000u})
    EXPECT_FALSE(HandleDeviceNotification(message, Device(1, 0x11, 0x24, 2), 6)) << std::hex << message;
  EXPECT_TRUE(ShellRecord().empty());
}

// Device online: six lines in one batch, no box, MessageText cleared after. wParam is "%04x", lParam "%08lx", the bytes
// "%#04x" (0000 for a zero byte: the alternate form adds no prefix to zero).
TEST(Notifications, DeviceOnlineSixLinesAndTheirNumberForms) {
  const struct { std::uint32_t wParam, lParam; Lines lines; } kCases[] = {
      {Device(2, 0x11, 0x24, 2), 6,
       Online("2112402", "00000006", "ANOP_DISPLAY_A  (Subtype: 2X20_VFD) (Device Num: 0x24)", "SLOT_2   (0x02)",
              "PORT_1   (0x11)")},
      {0x1A, 1,
       Online("001a", "00000001", "0      (0x00000000)  (Subtype:   1 (0x01)) (Device Num: 0000)", "SLOT_0   (0000)",
              "PORT_0   (0000)")},
      {0xFFFFFFFF, 0xABCDEF12,
       Online("ffffffff", "abcdef12", "255    (0x000000FF)  (Subtype:  18 (0x12)) (Device Num: 0xff)",
              "255    (0x000000FF)   (0xff)", "255    (0x000000FF)   (0xff)")},
  };
  for (const auto& c : kCases) {
    ResetShellRecord();
    EXPECT_TRUE(HandleDeviceNotification(0x420D, c.wParam, c.lParam));
    EXPECT_EQ(std::tuple(ShellRecord(), BatchedLineCount(), OpenStatusLogBatches(), std::string(NameScratch)),
              std::tuple(LogEvents(c.lines), 6, 0, ""));
    EXPECT_EQ(std::string(MessageText, sizeof MessageText), std::string(sizeof MessageText, '\0'));
  }
}

// Past 50 open boxes a notification is only logged; the log says once that boxes are held back and, when no
// notification box is open any more, how many. Notes: each "REVEDIZ: " line after the printer-error line it follows;
// refusalFirst: a dialog's refusal box is open when the storm begins.
TEST(Notifications, BoxesPastFiftyAreHeldBackAndCounted) {
  const std::string kOpen = "REVEDIZ: 50 notification boxes are open; further ones are held back";
  const auto held = [](int n) { return "REVEDIZ: " + std::to_string(n) + " notification boxes were held back"; };
  const std::string p50(50, 'P'), p60(60, 'P');
  using Notes = std::vector<std::pair<int, std::string>>;
  const struct { std::string storm; bool refusalFirst; std::size_t boxes; Notes notes; } kCases[] = {
      {p50, false, 50, {}}, {p50 + "P", false, 50, {{51, kOpen}, {51, held(1)}}},
      {p60 + "C" + p60, false, 51, {{51, kOpen}, {120, held(69)}}},
      {p60 + std::string(50, 'C') + "PPPPP", false, 55, {{51, kOpen}, {60, held(10)}}},
      {p50 + "P" + std::string(50, 'C') + p50 + "PP", false, 100,
       {{51, kOpen}, {51, held(1)}, {102, kOpen}, {103, held(2)}}},
      {p60, true, 51, {{51, kOpen}, {60, held(10)}}},
  };
  for (const auto& c : kCases) {
    ResetShellRecord();
    storm = c.storm, next = 0, descriptor = 0;
    SetBoxHook(Pump);
    if (c.refusalFirst) ShowMessageBox("Missing Handle number", "Handle Error ");
    while (next < storm.size()) Pump({});
    Notes notes;
    int printed = 0;
    for (const std::string& line : LoggedLines()) {
      if (line.starts_with("REVEDIZ: ")) notes.emplace_back(printed, line);
      else EXPECT_EQ(line, "PRINTER ERROR (Device Descriptor = " + std::to_string(++printed) + ")");
    }
    EXPECT_EQ(printed, descriptor);
    EXPECT_EQ(notes, c.notes) << c.storm;
    EXPECT_EQ(ShownBoxes().size(), c.boxes) << c.storm;
  }
  ResetShellRecord();
}
