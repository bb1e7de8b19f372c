// The window-free parts of the Read dialog: the buffer size field, the
// guarded read buffer, and the check of what the device did with it.
#ifndef REVEDIZ_DIALOGS_READ_CHECKS_H
#define REVEDIZ_DIALOGS_READ_CHECKS_H

#include <cstdint>

// The byte stored before and after the data area of the read buffer.
inline constexpr unsigned char kReadGuardByte = 0xBB;

// The largest buffer size: the data area and its two guard bytes must fit a
// signed 32-bit size.
inline constexpr std::int32_t kMaxReadBufferSize = 2147483645;

// The buffer size field. On success stores S and returns true. Otherwise
// shows one refusal and returns false:
//   "Missing Buffer Size"             under "Buffer Size Error "  (empty text)
//   "Non numeric Buffer Size : %s "   under "Buffer Size Error"   (not all digits)
//   "Buffer Size too large : %s "     under "Buffer Size Error "  (above 2147483645)
bool CheckBufferSizeText(const char* text, std::int32_t* size);

// Takes size + 2 zeroed bytes from the heap and stores the guard byte in the
// first and the last; the data area is block + 1. When the heap cannot give them,
// a size above kReadSizeRefusedAbove is refused as a request the heap
// cannot meet ("Buffer Size too large : %s " with sizeText under
// "Buffer Size Error ", null returned); a smaller one is heap exhaustion,
// and the tool ends through its assertion ("Buffer"). Release with
// ReleaseReadBuffer.
inline constexpr std::int32_t kReadSizeRefusedAbove = 1024 * 1024;
unsigned char* TakeReadBuffer(std::int32_t size, const char* sizeText);
void ReleaseReadBuffer(unsigned char* block);

// Checks the read buffer after PosRead returned result for a data area of
// size bytes, and returns the number of bytes that may be shown and saved:
// result itself, or size when the device claims more than the buffer holds.
// Logs "REVEDIZ: Device returned %d bytes for a buffer of %d; showing %d"
// in that case, and "REVEDIZ: Device wrote outside the read buffer (guard
// byte before changed)" (or "after", or "before and after") when a guard
// byte no longer holds its value, whatever the result.
std::int32_t CheckReadResult(const unsigned char* block, std::int32_t size, std::int32_t result);

#endif  // REVEDIZ_DIALOGS_READ_CHECKS_H
