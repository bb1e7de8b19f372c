#include "tables/lookup.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "app/fatal.h"
#include "app/status_log.h"

char NameScratch[kNameScratchSize];

namespace {

// A fallback text that did not fit NameScratch; freed at the next reset.
struct OverflowText {
  OverflowText* next;
  char text[32];  // the widest fallback, "-2147483648 (0x80000000)", is 24
};

OverflowText* overflowTexts = nullptr;

// Places a fallback text at the free end of NameScratch and closes the
// sequence behind it; a text that would not fit goes to an overflow block.
const char* KeepFallback(const char* text) {
  const size_t length = strlen(text);
  // The free end: step past each packed text, never beyond the area.
  size_t end = 0;
  while (end < kNameScratchSize && NameScratch[end] != '\0') {
    const void* nul = memchr(NameScratch + end, '\0', kNameScratchSize - end);
    end = nul ? static_cast<size_t>(static_cast<const char*>(nul) - NameScratch) + 1
              : kNameScratchSize;
  }

  // The text, its terminator and the closing NUL of the sequence.
  if (end + length + 2 <= kNameScratchSize) {
    char* slot = NameScratch + end;
    memcpy(slot, text, length + 1);
    slot[length + 1] = '\0';
    return slot;
  }

  OverflowText* pOverflow = static_cast<OverflowText*>(malloc(sizeof(OverflowText)));
  REVEDIZ_ASSERT(pOverflow);
  snprintf(pOverflow->text, sizeof pOverflow->text, "%s", text);
  pOverflow->next = overflowTexts;
  overflowTexts = pOverflow;
  return pOverflow->text;
}

// The row the walk stops at: the first with the code, or the terminator.
const CodeName* FindRow(const CodeName* pLookupTable, std::int32_t code) {
  while (pLookupTable->Name != nullptr && pLookupTable->Code != code) ++pLookupTable;
  return pLookupTable;
}

}  // namespace

const char* CodeToName(const CodeName* pLookupTable, std::int32_t code) {
  const CodeName* row = FindRow(pLookupTable, code);
  if (row->Name != nullptr) return row->Name;

  char text[32];
  snprintf(text, sizeof text, "%-6d (0x%08X)", static_cast<int>(code),
           static_cast<unsigned>(code));
  return KeepFallback(text);
}

const char* SubtypeToName(int type, int subtype) {
  if (subtype == 0) return "NONE";

  const std::int32_t key = static_cast<std::int32_t>(
      (static_cast<std::uint32_t>(type) << 8) | static_cast<std::uint32_t>(subtype));
  const CodeName* row = FindRow(DeviceSubtypeNames, key);
  if (row->Name != nullptr) return row->Name;

  char text[32];
  snprintf(text, sizeof text, "%3d (0x%02X)", subtype, static_cast<unsigned>(subtype));
  return KeepFallback(text);
}

int NameToCode(const char* text, const CodeName* pLookupTable, std::int32_t* code) {
  int result = 3;
  if (text == nullptr) return result;

  char* Needle = static_cast<char*>(malloc(strlen(text) + 1));
  REVEDIZ_ASSERT(Needle);
  size_t needleLength = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == ' ' || *p == '_') continue;
    Needle[needleLength++] = (*p >= 'a' && *p <= 'z') ? static_cast<char>(*p - 'a' + 'A') : *p;
  }
  Needle[needleLength] = '\0';

  if (needleLength != 0) {
    char Haystack[128];
    int matches = 0;
    const CodeName* match = nullptr;
    for (; pLookupTable->Name != nullptr; ++pLookupTable) {
      REVEDIZ_ASSERT(strlen(pLookupTable->Name) < sizeof(Haystack));
      size_t h = 0;
      for (const char* p = pLookupTable->Name; *p != '\0'; ++p)
        if (*p != '_') Haystack[h++] = *p;
      Haystack[h] = '\0';
      if (strstr(Haystack, Needle) != nullptr) {
        ++matches;
        match = pLookupTable;
      }
    }

    if (matches == 0) {
      FormatMessageText("  --> Couldn't find match for: '%s'  ", text);
      AppendToStatusLog();
      result = 1;
    } else if (matches > 1) {
      FormatMessageText("  --> Multiple matches for: '%s'  ", text);
      AppendToStatusLog();
      result = 2;
    } else {
      if (code != nullptr) *code = match->Code;
      result = 0;
    }
  }

  free(Needle);
  return result;
}

void ResetNameScratch() {
  NameScratch[0] = '\0';
  while (overflowTexts != nullptr) {
    OverflowText* next = overflowTexts->next;
    free(overflowTexts);
    overflowTexts = next;
  }
}
