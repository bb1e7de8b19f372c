// Decoding of the 16-byte records read from the device API's queue.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "decode/queue_message.h"
#include "tables/lookup.h"
#include "tests/support/recording_shell.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kIndent(21, ' ');

void PutLittleEndian(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::array<unsigned char, 16> Record(std::uint32_t message, std::uint32_t mp1, std::uint32_t mp2,
                                     std::uint32_t opaque = 0xDEADBEEF) {
  std::array<unsigned char, 16> bytes{};
  PutLittleEndian(bytes.data(), opaque);
  PutLittleEndian(bytes.data() + 4, message);
  PutLittleEndian(bytes.data() + 8, mp1);
  PutLittleEndian(bytes.data() + 12, mp2);
  return bytes;
}

// mp1 of a device message: slot, port, type and class from the top byte down.
std::uint32_t DeviceWord(unsigned slot, unsigned port, unsigned type, unsigned deviceClass) {
  return slot << 24 | port << 16 | type << 8 | deviceClass;
}

class QueueMessageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetShellRecord();
    ResetNameScratch();
  }
  void Decode(const std::array<unsigned char, 16>& bytes, bool indent = false) {
    DecodeQueueMessage(bytes.data(), 16, indent);
  }
};

}  // namespace

TEST_F(QueueMessageTest, FieldsAreReadLittleEndianFromAnyAlignment) {
  unsigned char buffer[17] = {};
  const auto bytes = Record(0x420D, 0x01020304, 0xA0B0C0D0, 0x11223344);
  std::copy(bytes.begin(), bytes.end(), buffer + 1);
  const QueueMessage record = ReadQueueMessage(buffer + 1);
  EXPECT_EQ(record.Opaque, 0x11223344u);
  EXPECT_EQ(record.Message, 0x420Du);
  EXPECT_EQ(record.mp1, 0x01020304u);
  EXPECT_EQ(record.mp2, 0xA0B0C0D0u);
}

TEST_F(QueueMessageTest, DeviceOnlineExample) {
  Decode(Record(0x420D, DeviceWord(2, 0x11, 0x24, 2), 6));
  EXPECT_EQ(LoggedLines(), (Lines{"  POSM_SYS_DEVICE_ONLINE - SLOT_2, PORT_1, DISPLAY  ",
                                  "*** Device: ANOP_DISPLAY_A  (Subtype: 2X20_VFD)"}));
  EXPECT_TRUE(ShownBoxes().empty());
}

TEST_F(QueueMessageTest, IndentPrefixesEveryLineWith21Blanks) {
  Decode(Record(0x420D, DeviceWord(2, 0x11, 0x24, 2), 6), true);
  EXPECT_EQ(LoggedLines(), (Lines{"  " + kIndent + "POSM_SYS_DEVICE_ONLINE - SLOT_2, PORT_1, DISPLAY  ",
                                  kIndent + "*** Device: ANOP_DISPLAY_A  (Subtype: 2X20_VFD)"}));
  ResetShellRecord();
  Decode(Record(0x4203, 3, 0), true);
  EXPECT_EQ(LoggedLines(), (Lines{kIndent + "POSQ Message from Handle  3: POSM_MSR_DATA_AVAIL",
                                  kIndent + "     mp1 = 0x00000003 (3)",
                                  kIndent + "     mp2 = 0x00000000 (0)"}));
}

TEST_F(QueueMessageTest, DeviceOfflineDecodesLikeOnline) {
  Decode(Record(0x420C, DeviceWord(0, 0x22, 0x48, 5), 0));
  EXPECT_EQ(LoggedLines(), (Lines{"  POSM_SYS_DEVICE_OFFLINE - SLOT_0, PORT_2, MSR  ",
                                  "*** Device: MSR_3_TRACK_A  (Subtype: NONE)"}));
}

TEST_F(QueueMessageTest, OnlySubtypeByteOfMp2Counts) {
  Decode(Record(0x420D, DeviceWord(1, 0, 0x1C, 9), 0xABCDEF00));
  Decode(Record(0x420D, DeviceWord(1, 0, 0x1C, 9), 0x00000105));
  EXPECT_EQ(LoggedLines(), (Lines{"  POSM_SYS_DEVICE_ONLINE - SLOT_1, PORT_0, KEYBOARD  ",
                                  "*** Device: POS_KEYBOARD_A  (Subtype: NONE)",
                                  "  POSM_SYS_DEVICE_ONLINE - SLOT_1, PORT_0, KEYBOARD  ",
                                  "*** Device: POS_KEYBOARD_A  (Subtype: KEYBOARD_V)"}));
}

TEST_F(QueueMessageTest, UnlistedDeviceFieldsShowTheirFallbacks) {
  Decode(Record(0x420D, DeviceWord(9, 0x11, 0x24, 2), 6));
  Decode(Record(0x420D, DeviceWord(0xFF, 0x33, 0x99, 0), 0x1C));
  EXPECT_EQ(LoggedLines(),
            (Lines{"  POSM_SYS_DEVICE_ONLINE - 9      (0x00000009), PORT_1, DISPLAY  ",
                   "*** Device: ANOP_DISPLAY_A  (Subtype: 2X20_VFD)",
                   "  POSM_SYS_DEVICE_ONLINE - 255    (0x000000FF), 51     (0x00000033), "
                   "0      (0x00000000)  ",
                   "*** Device: 153    (0x00000099)  (Subtype:  28 (0x1C))"}));
  // The fallbacks were released after the last group.
  EXPECT_STREQ(NameScratch, "");
}

TEST_F(QueueMessageTest, RepeatedTypeCodeShowsTheFirstName) {
  Decode(Record(0x420D, DeviceWord(3, 0, 0x10, 9), 0));
  EXPECT_EQ(LoggedLines().back(), "*** Device: CHECKOUT_KEYBOARD_A  (Subtype: NONE)");
}

TEST_F(QueueMessageTest, OtherMessagesShowHandleAndBothParameters) {
  Decode(Record(0x4203, 0x00050003, 0x12));
  EXPECT_EQ(LoggedLines(), (Lines{"POSQ Message from Handle  3: POSM_MSR_DATA_AVAIL",
                                  "     mp1 = 0x00050003 (327683)",
                                  "     mp2 = 0x00000012 (18)"}));
  ResetShellRecord();
  Decode(Record(0x4216, 0xFFFFFFFF, 0x80000000));
  EXPECT_EQ(LoggedLines(), (Lines{"POSQ Message from Handle 65535: POSM_TOUCH_DATA",
                                  "     mp1 = 0xFFFFFFFF (4294967295)",
                                  "     mp2 = 0x80000000 (2147483648)"}));
  EXPECT_TRUE(ShownBoxes().empty());
}

TEST_F(QueueMessageTest, UnlistedMessageShowsItsFallback) {
  Decode(Record(0x4299, 12, 1));
  EXPECT_EQ(LoggedLines(), (Lines{"POSQ Message from Handle 12: 17049  (0x00004299)",
                                  "     mp1 = 0x0000000C (12)", "     mp2 = 0x00000001 (1)"}));
  EXPECT_STREQ(NameScratch, "");
}

TEST_F(QueueMessageTest, OpaqueIsNeverRead) {
  Decode(Record(0x420F, 4, 0, 0));
  const Lines first = LoggedLines();
  ResetShellRecord();
  Decode(Record(0x420F, 4, 0, 0xFFFFFFFF));
  EXPECT_EQ(LoggedLines(), first);
}

TEST_F(QueueMessageTest, OtherLengthsLogTheErrorAndADump) {
  const auto bytes = Record(0x420D, DeviceWord(2, 0x11, 0x24, 2), 6);
  DecodeQueueMessage(bytes.data(), 15, false);
  Lines lines = LoggedLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "ERROR: Unknown POSQ message format!!!!");
  EXPECT_EQ(lines[1], "      POSQ Info:  ");
  EXPECT_EQ(lines[2], "      (15 bytes)");
  EXPECT_EQ(lines[3], "   0000: EF BE AD DE 0D 42 00 00 02 24 11 02 06 00 00  | .....B...$.....\n");

  ResetShellRecord();
  unsigned char seventeen[17] = {};
  DecodeQueueMessage(seventeen, 17, true);
  lines = LoggedLines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "ERROR: Unknown POSQ message format!!!!");
  EXPECT_EQ(lines[2], "      (17 bytes)");
  EXPECT_EQ(lines[4], "   0010: 00  | .\n");
  EXPECT_TRUE(ShownBoxes().empty());
}

TEST_F(QueueMessageTest, TwoRecordsAtOnceAreNotDecoded) {
  unsigned char two[32];
  const auto a = Record(0x420D, DeviceWord(2, 0x11, 0x24, 2), 6);
  const auto b = Record(0x4203, 3, 0);
  std::copy(a.begin(), a.end(), two);
  std::copy(b.begin(), b.end(), two + 16);
  DecodeQueueMessage(two, 32, false);
  const Lines lines = LoggedLines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "ERROR: Unknown POSQ message format!!!!");
  EXPECT_EQ(lines[2], "      (32 bytes)");
  for (const auto& line : lines) EXPECT_EQ(line.find("POSM_"), std::string::npos);
}

TEST_F(QueueMessageTest, NullDataIsAnUnknownFormat) {
  DecodeQueueMessage(nullptr, 16, false);
  EXPECT_EQ(LoggedLines(), (Lines{"ERROR: Unknown POSQ message format!!!!"}));
}
