#include "decode/queue_message.h"

#include "app/status_log.h"
#include "decode/hex_dump.h"
#include "tables/lookup.h"
#include "tables/pos_codes.h"

namespace {

std::uint32_t ReadLittleEndian32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::int32_t Byte(std::uint32_t value, int index) {
  return static_cast<std::int32_t>((value >> (8 * index)) & 0xFF);
}

}  // namespace

QueueMessage ReadQueueMessage(const void* bytes) {
  const unsigned char* p = static_cast<const unsigned char*>(bytes);
  return QueueMessage{ReadLittleEndian32(p), ReadLittleEndian32(p + 4), ReadLittleEndian32(p + 8),
                      ReadLittleEndian32(p + 12)};
}

void DecodeQueueMessage(const void* data, std::int32_t length, bool indent) {
  if (data == nullptr || length != kQueueMessageSize) {
    SetMessageText("ERROR: Unknown POSQ message format!!!!");
    AppendToStatusLog();
    HexDump("POSQ Info", data, length);
    return;
  }

  const char* prefix = indent ? "                     " : "";
  const QueueMessage record = ReadQueueMessage(data);
  const std::int32_t message = static_cast<std::int32_t>(record.Message);

  if (message == pos::kMsgSysDeviceOnline || message == pos::kMsgSysDeviceOffline) {
    FormatMessageText("  %s%s - %s, %s, %s  ", prefix, CodeToName(MessageNames, message),
                      CodeToName(SlotNames, Byte(record.mp1, 3)),
                      CodeToName(PortNames, Byte(record.mp1, 2)),
                      CodeToName(DeviceClassNames, Byte(record.mp1, 0)));
    AppendToStatusLog();
    ResetNameScratch();

    const std::int32_t type = Byte(record.mp1, 1);
    FormatMessageText("%s*** Device: %s  (Subtype: %s)", prefix, CodeToName(DeviceTypeNames, type),
                      SubtypeToName(type, Byte(record.mp2, 0)));
    AppendToStatusLog();
    ResetNameScratch();
    return;
  }

  FormatMessageText("%sPOSQ Message from Handle %2d: %s", prefix,
                    static_cast<int>(record.mp1 & 0xFFFF), CodeToName(MessageNames, message));
  AppendToStatusLog();
  FormatMessageText("%s     mp1 = 0x%08X (%lu)", prefix, static_cast<unsigned>(record.mp1),
                    static_cast<unsigned long>(record.mp1));
  AppendToStatusLog();
  FormatMessageText("%s     mp2 = 0x%08X (%lu)", prefix, static_cast<unsigned>(record.mp2),
                    static_cast<unsigned long>(record.mp2));
  AppendToStatusLog();
  ResetNameScratch();
}
