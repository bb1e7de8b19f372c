#include "dialogs/read_checks.h"

#include <cstdlib>

#include "app/fatal.h"
#include "app/status_log.h"
#include "dialogs/field_checks.h"

namespace {

void RefuseTooLarge(const char* text) {
  FormatMessageText("Buffer Size too large : %s ", text);
  ShowMessageBox(MessageText, "Buffer Size Error ");
}

}  // namespace

bool CheckBufferSizeText(const char* text, std::int32_t* size) {
  if (text[0] == '\0') {
    SetMessageText("Missing Buffer Size");
    ShowMessageBox(MessageText, "Buffer Size Error ");
    return false;
  }
  if (!IsAllOf(text, kDecimalDigits)) {
    FormatMessageText("Non numeric Buffer Size : %s ", text);
    ShowMessageBox(MessageText, "Buffer Size Error");
    return false;
  }
  std::int32_t value = 0;
  if (!ParseDecimal32(text, &value) || value > kMaxReadBufferSize) {
    RefuseTooLarge(text);
    return false;
  }
  *size = value;
  return true;
}

unsigned char* TakeReadBuffer(std::int32_t size, const char* sizeText) {
  const std::size_t total = static_cast<std::size_t>(size) + 2;
  // Zeroed: bytes a device claims but never wrote show as 00, never as what
  // the heap held before (earlier reads, other data), which no replay of
  // the session would show again.
  unsigned char* Buffer = static_cast<unsigned char*>(std::calloc(total, 1));
  if (Buffer == nullptr && size > kReadSizeRefusedAbove) {
    RefuseTooLarge(sizeText);
    return nullptr;
  }
  REVEDIZ_ASSERT(Buffer);
  Buffer[0] = kReadGuardByte;
  Buffer[total - 1] = kReadGuardByte;
  return Buffer;
}

void ReleaseReadBuffer(unsigned char* block) { std::free(block); }

std::int32_t CheckReadResult(const unsigned char* block, std::int32_t size, std::int32_t result) {
  std::int32_t shown = result;
  if (result > size) {
    FormatMessageText("REVEDIZ: Device returned %d bytes for a buffer of %d; showing %d",
                      static_cast<int>(result), static_cast<int>(size), static_cast<int>(size));
    AppendToStatusLog();
    shown = size;
  }
  const bool before = block[0] != kReadGuardByte;
  const bool after = block[static_cast<std::size_t>(size) + 1] != kReadGuardByte;
  if (before || after) {
    FormatMessageText("REVEDIZ: Device wrote outside the read buffer (guard byte %s changed)",
                      before && after ? "before and after" : before ? "before" : "after");
    AppendToStatusLog();
  }
  return shown;
}
