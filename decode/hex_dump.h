// The titled hexadecimal dump of a block of bytes, 16 bytes to a row, each
// row with its offset and a text column.
#ifndef REVEDIZ_DECODE_HEX_DUMP_H
#define REVEDIZ_DECODE_HEX_DUMP_H

#include <cstddef>
#include <cstdint>

// Receives one finished row: a NUL-terminated text of `length` characters
// that ends in '\n'. The text is valid only during the call.
using DumpLineSink = void (*)(void* context, const char* line, std::size_t length);

// Formats the rows of a dump of length bytes at data, in order, handing each
// to sink with context. A row reads "   %04X: " (the offset; more digits once
// four no longer suffice), then "%02X " for each of its bytes, " | ", the text
// column ('.' for every byte outside 0x20..0x7E) and "\n". The last row holds
// only the bytes left; nothing is padded. Nothing for null data or length 0.
// Rows are assembled in one static line buffer (GUI thread only).
void FormatHexDumpRows(const void* data, std::size_t length, DumpLineSink sink, void* context);

// Logs the dump: the title line "      %s:  " ("(No title)" for a null
// title), the count line "      (%hu bytes)" with the full length, then the
// rows. Null data, a length of 0 or a negative length log nothing at all.
void HexDump(const char* title, const void* data, std::int32_t length);

#endif  // REVEDIZ_DECODE_HEX_DUMP_H
