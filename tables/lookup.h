// Code-to-name and name-to-code lookups over the CodeName tables, and the
// shared scratch area for the fallback texts of codes without a row.
#ifndef REVEDIZ_TABLES_LOOKUP_H
#define REVEDIZ_TABLES_LOOKUP_H

#include <cstddef>
#include <cstdint>

#include "tables/code_tables.h"

// The scratch area of fallback texts: NUL-terminated texts packed one after
// another since the last reset, the sequence closed by one more NUL. Read
// only; the lookups are its one writer.
//
// A run of misses that would not fit the area (no caller of the tool comes
// near: a line needs at most five lookups between resets) is kept whole as
// well: each text that does not fit is held in an overflow block of its own
// until the next reset. So no text is ever written past the area, and no
// text handed out is overwritten before ResetNameScratch.
inline constexpr std::size_t kNameScratchSize = 256;
extern char NameScratch[kNameScratchSize];

// The name of code in the table, or a fallback "%-6d (0x%08X)" placed in
// NameScratch. The first matching row wins; the walk stops at the row with a
// null name. The returned text stays valid until the next ResetNameScratch.
const char* CodeToName(const CodeName* pLookupTable, std::int32_t code);

// "NONE" for subtype 0; else the DeviceSubtypeNames row of (type << 8 |
// subtype), or a fallback "%3d (0x%02X)" of the subtype in NameScratch.
const char* SubtypeToName(int type, int subtype);

// Finds the one row whose name (underscores removed) contains text (blanks
// and underscores removed, upper-cased). Returns 0 and stores the code in
// *code on exactly one match; 1 for none, 2 for several (each logs a line);
// 3 for an empty text (nothing logged). *code is written only on 0.
int NameToCode(const char* text, const CodeName* pLookupTable, std::int32_t* code);

// Discards the fallback texts formatted since the last reset.
void ResetNameScratch();

#endif  // REVEDIZ_TABLES_LOOKUP_H
