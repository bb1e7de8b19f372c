#include "resources/arguments.h"

#include <cstdlib>
#include <cstring>

#include "app/fatal.h"
#include "app/status_log.h"
#include "dialogs/field_checks.h"

PendingResource ArrayRes[kArrayResRows];
ResourceArg ResourceArgs[kResourceArgCapacity];
std::int32_t ResourceArgCount;

namespace {

constexpr std::size_t kEmptyStringBlockSize = 100;

void RefuseArgument(const char* text) { ShowMessageBox(text, "Argument Error "); }

// Hex and Dec rows: validates and converts the value into row Count, whose
// tag the caller has written. Returns false after a refusal.
bool SetNumberValue(const char* value, bool hex, std::int32_t Count) {
  if (value[0] == '\0') {
    ArrayRes[Count].value = -1;
    return true;
  }
  if (!IsAllOf(value, hex ? kHexDigits : kDecimalDigits)) {
    if (hex)
      FormatMessageText("Non Hexadecimal Argument : %s ", value);
    else
      FormatMessageText("Non decimal Argument : %s ", value);
    RefuseArgument(MessageText);
    return false;
  }
  std::int32_t number = 0;
  if (!(hex ? ParseHex32(value, &number) : ParseDecimal32(value, &number))) {
    FormatMessageText("Argument out of range : %s ", value);
    RefuseArgument(MessageText);
    return false;
  }
  ArrayRes[Count].value = number;
  return true;
}

void SetStringValue(const char* value, std::int32_t Count) {
  const std::size_t length = std::strlen(value);
  if (length > 0) {
    char* pStr = static_cast<char*>(std::malloc(length + 1));
    REVEDIZ_ASSERT(pStr);
    std::memcpy(pStr, value, length + 1);
    ArrayRes[Count].value = reinterpret_cast<std::intptr_t>(pStr);
  } else {
    ArrayRes[Count].value = reinterpret_cast<std::intptr_t>(std::malloc(kEmptyStringBlockSize));
    REVEDIZ_ASSERT(ArrayRes[Count].value);
    *reinterpret_cast<char*>(ArrayRes[Count].value) = '\0';
  }
}

}  // namespace

void ClearArgumentTable() {
  for (PendingResource& row : ArrayRes)
    if (row.tag == kTagString) std::free(reinterpret_cast<void*>(row.value));
  std::memset(ArrayRes, 0, sizeof ArrayRes);
  std::memset(ResourceArgs, 0, sizeof ResourceArgs);
  ResourceArgCount = 0;
}

bool AddPendingResource(const char* name, const char* type, const char* value,
                        std::int32_t& Count) {
  if (Count < 0 || Count >= kArrayResRows) {
    FormatMessageText("Too many resources : %d ", kArrayResRows);
    RefuseArgument(MessageText);
    return false;
  }
  if (std::strlen(name) >= kResourceNameSize) {
    FormatMessageText("Resource name too long : %s ", name);
    RefuseArgument(MessageText);
    return false;
  }
  PendingResource& row = ArrayRes[Count];
  if (std::strncmp(type, "Hex", 3) == 0) {
    row.tag = kTagHex;
    if (!SetNumberValue(value, true, Count)) return false;
  } else if (std::strncmp(type, "Dec", 3) == 0) {
    row.tag = kTagDec;
    if (!SetNumberValue(value, false, Count)) return false;
  } else if (std::strncmp(type, "String", 6) == 0) {
    row.tag = kTagString;
    SetStringValue(value, Count);
  } else {
    return false;
  }
  std::memset(row.name, 0, sizeof row.name);
  std::memcpy(row.name, name, std::strlen(name));
  ++Count;
  return true;
}

void BuildResourceArgs(std::int32_t n) {
  if (n < 0) n = 0;
  if (n > kResourceArgCapacity) n = kResourceArgCapacity;
  for (std::int32_t i = 0; i < n; ++i) {
    const PendingResource& row = ArrayRes[i];
    if (std::strcmp(row.name, "PosNDIWidth") == 0)
      ResourceArgs[i].name = "diWidth";
    else
      ResourceArgs[i].name = row.name + (std::strlen(row.name) >= 4 ? 4 : std::strlen(row.name));
    ResourceArgs[i].value = row.value;
  }
  ResourceArgCount = n;
}

void LogResourceArgs(const ResourceArg* args, std::int32_t n) {
  if (n > kArrayResRows) n = kArrayResRows;
  for (std::int32_t i = 0; i < n; ++i) {
    ClearMessageText();
    FormatMessageText("     %d: %s   ", i + 1, args[i].name ? args[i].name : "");
    AppendToStatusLog();
    const std::intptr_t value = args[i].value;
    switch (ArrayRes[i].tag) {
      case kTagDec:
        ClearMessageText();
        FormatMessageText("               (%ld)  ", static_cast<long>(static_cast<std::int32_t>(value)));
        AppendToStatusLog();
        break;
      case kTagHex:
        ClearMessageText();
        FormatMessageText("               (0x%lX)  ",
                          static_cast<unsigned long>(static_cast<std::uint32_t>(value)));
        AppendToStatusLog();
        break;
      case kTagString:
        ClearMessageText();
        FormatMessageText("  %s    ", value ? reinterpret_cast<const char*>(value) : "");
        AppendToStatusLog();
        break;
      default:
        break;
    }
  }
}
