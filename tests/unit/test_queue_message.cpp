// Records read from the queue: 16 little-endian bytes decoded into the
// device on-line and off-line lines or the handle and parameter lines, and
// reads of any other size logged as an error and a dump.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "decode/queue_message.h"
#include "tables/lookup.h"
#include "tests/support/recording_shell.h"

namespace {

using Record = std::array<unsigned char, 16>;

Record Bytes(std::uint32_t message, std::uint32_t mp1, std::uint32_t mp2, std::uint32_t opaque = 0xDEADBEEF) {
  Record bytes{};
  const std::uint32_t fields[] = {opaque, message, mp1, mp2};
  for (int i = 0; i < 16; ++i) bytes[i] = static_cast<unsigned char>(fields[i / 4] >> (8 * (i % 4)));
  return bytes;
}

// mp1 of a device message: slot, port, type and class from the top byte down.
std::uint32_t Device(unsigned slot, unsigned port, unsigned type, unsigned deviceClass) {
  return slot << 24 | port << 16 | type << 8 | deviceClass;
}

const std::string kIndent(21, ' ');

}  // namespace

TEST(QueueMessage, FieldsAreReadLittleEndianAtAnyAlignment) {
  unsigned char buffer[17] = {};
  const Record bytes = Bytes(0x420D, 0x01020304, 0xA0B0C0D0, 0x11223344);
  std::copy(bytes.begin(), bytes.end(), buffer + 1);
  const QueueMessage record = ReadQueueMessage(buffer + 1);
  EXPECT_EQ(record.Opaque, 0x11223344u);
  EXPECT_EQ(record.Message, 0x420Du);
  EXPECT_EQ(record.mp1, 0x01020304u);
  EXPECT_EQ(record.mp2, 0xA0B0C0D0u);
}

TEST(QueueMessage, RecordsDecodedLineByLine) {
  const struct {
    Record bytes;
    bool indent;
    Lines lines;
  } kCases[] = {
      {Bytes(0x420D, Device(2, 0x11, 0x24, 2), 6), false,
       {"  POSM_SYS_DEVICE_ONLINE - SLOT_2, PORT_1, DISPLAY  ", "*** Device: ANOP_DISPLAY_A  (Subtype: 2X20_VFD)"}},
      {Bytes(0x420D, Device(2, 0x11, 0x24, 2), 6), true,
       {"  " + kIndent + "POSM_SYS_DEVICE_ONLINE - SLOT_2, PORT_1, DISPLAY  ",
        kIndent + "*** Device: ANOP_DISPLAY_A  (Subtype: 2X20_VFD)"}},
      {Bytes(0x420C, Device(0, 0x22, 0x48, 5), 0), false,
       {"  POSM_SYS_DEVICE_OFFLINE - SLOT_0, PORT_2, MSR  ", "*** Device: MSR_3_TRACK_A  (Subtype: NONE)"}},
      {Bytes(0x420D, Device(1, 0, 0x1C, 9), 0xABCDEF00), false,
       {"  POSM_SYS_DEVICE_ONLINE - SLOT_1, PORT_0, KEYBOARD  ", "*** Device: POS_KEYBOARD_A  (Subtype: NONE)"}},
      {Bytes(0x420D, Device(8, 0, 0x1D, 1), 0x00000105), false,
       {"  POSM_SYS_DEVICE_ONLINE - SLOT_8, PORT_0, UNKNOWN  ", "*** Device: POS_KEYBOARD_B  (Subtype: KEYBOARD_V)"}},
      {Bytes(0x420D, Device(3, 0x11, 0x10, 13), 0, 0), false,
       {"  POSM_SYS_DEVICE_ONLINE - SLOT_3, PORT_1, TOUCH_SCREEN  ",
        "*** Device: CHECKOUT_KEYBOARD_A  (Subtype: NONE)"}},
      {Bytes(0x420D, Device(9, 0x11, 0x24, 2), 6), false,
       {"  POSM_SYS_DEVICE_ONLINE - 9      (0x00000009), PORT_1, DISPLAY  ",
        "*** Device: ANOP_DISPLAY_A  (Subtype: 2X20_VFD)"}},
      {Bytes(0x420D, Device(0xFF, 0x33, 0x99, 0), 0x1C), false,
       {"  POSM_SYS_DEVICE_ONLINE - 255    (0x000000FF), 51     (0x00000033), 0      (0x00000000)  ",
        "*** Device: 153    (0x00000099)  (Subtype:  28 (0x1C))"}},
      {Bytes(0x4203, 0x00050003, 0x12), false,
       {"POSQ Message from Handle  3: POSM_MSR_DATA_AVAIL", "     mp1 = 0x00050003 (327683)",
        "     mp2 = 0x00000012 (18)"}},
      {Bytes(0x4203, 3, 0), true,
       {kIndent + "POSQ Message from Handle  3: POSM_MSR_DATA_AVAIL", kIndent + "     mp1 = 0x00000003 (3)",
        kIndent + "     mp2 = 0x00000000 (0)"}},
      {Bytes(0x4216, 0xFFFFFFFF, 0x80000000, 0xFFFFFFFF), false,
       {"POSQ Message from Handle 65535: POSM_TOUCH_DATA", "     mp1 = 0xFFFFFFFF (4294967295)",
        "     mp2 = 0x80000000 (2147483648)"}},
      {Bytes(0x4299, 12, 1), false,
       {"POSQ Message from Handle 12: 17049  (0x00004299)", "     mp1 = 0x0000000C (12)",
        "     mp2 = 0x00000001 (1)"}},
  };
  for (const auto& c : kCases) {
    ResetShellRecord();
    DecodeQueueMessage(c.bytes.data(), 16, c.indent);
    EXPECT_EQ(LoggedLines(), c.lines);
    EXPECT_TRUE(ShownBoxes().empty());
    EXPECT_STREQ(NameScratch, "") << "the fallback texts are released";
  }
}

// Any other length, two records at once included, is not decoded at all.
TEST(QueueMessage, OtherLengthsLogTheErrorAndADump) {
  unsigned char bytes[32];
  const Record a = Bytes(0x420D, Device(2, 0x11, 0x24, 2), 6), b = Bytes(0x4203, 3, 0);
  std::copy(a.begin(), a.end(), bytes);
  std::copy(b.begin(), b.end(), bytes + 16);
  const struct {
    std::int32_t length;
    Lines dump;
  } kCases[] = {
      {15, {"   0000: EF BE AD DE 0D 42 00 00 02 24 11 02 06 00 00  | .....B...$.....\n"}},
      {17, {"   0000: EF BE AD DE 0D 42 00 00 02 24 11 02 06 00 00 00  | .....B...$......\n", "   0010: EF  | .\n"}},
      {32, {"   0000: EF BE AD DE 0D 42 00 00 02 24 11 02 06 00 00 00  | .....B...$......\n",
            "   0010: EF BE AD DE 03 42 00 00 03 00 00 00 00 00 00 00  | .....B..........\n"}},
  };
  for (const auto& c : kCases) {
    ResetShellRecord();
    DecodeQueueMessage(bytes, c.length, false);
    Lines expected = {"ERROR: Unknown POSQ message format!!!!", "      POSQ Info:  ",
                      "      (" + std::to_string(c.length) + " bytes)"};
    expected.insert(expected.end(), c.dump.begin(), c.dump.end());
    EXPECT_EQ(LoggedLines(), expected);
    EXPECT_TRUE(ShownBoxes().empty());
  }
  ResetShellRecord();
  DecodeQueueMessage(nullptr, 16, false);
  EXPECT_EQ(LoggedLines(), Lines{"ERROR: Unknown POSQ message format!!!!"});
}
