// The argument table that the Initialize, Open and Ioctl dialogs build row by
// row (Add Resource), its conversion into the ResourceArg array that the
// device call receives, and the echo of those arguments to the status log.
// Window-free: refusals are shown through app/status_log.h.
//
// The three dialogs are modal, so at most one of them uses the table at a
// time; each keeps its own row counter Count over it.
#ifndef REVEDIZ_RESOURCES_ARGUMENTS_H
#define REVEDIZ_RESOURCES_ARGUMENTS_H

#include <cstddef>
#include <cstdint>

#include "api/device_api.h"

inline constexpr int kArrayResRows = 100;
inline constexpr std::size_t kResourceNameSize = 103;  // 102 characters and NUL
inline constexpr int kResourceArgCapacity = 20;

// Type tags of a row.
inline constexpr char kTagHex = 'X';
inline constexpr char kTagDec = 'D';
inline constexpr char kTagString = 'S';

// One row added by Add Resource. value holds the number for 'X' and 'D'
// (signed 32 bits, -1 for an empty value) and the address of a heap block
// holding the text for 'S'; the block belongs to the row.
struct PendingResource {
  char tag;  // 'X', 'D', 'S', or 0 in a row never filled
  char name[kResourceNameSize];
  std::intptr_t value;
};

extern PendingResource ArrayRes[kArrayResRows];
extern ResourceArg ResourceArgs[kResourceArgCapacity];
extern std::int32_t ResourceArgCount;

// Zeroes all rows of ArrayRes and all records of ResourceArgs, and sets
// ResourceArgCount to 0. The string blocks of the rows being zeroed are
// freed here: no device call is in flight when a dialog opens or the Ioctl
// dialog clears its rows after a call, so no record still in use points at
// them.
void ClearArgumentTable();

// The window-free part of Add Resource: fills row Count from the operator's
// name, type label ("Hex", "Dec" or "String" with trailing blanks; only the
// leading word counts) and value text, and increases Count. Returns true when
// the row was added (the caller then lists the name and shows Count).
// Refusals show a box under "Argument Error ", leave Count alone and return
// false:
//   "Too many resources : %d "        all 100 rows are taken (nothing written)
//   "Resource name too long : %s "    a name above 102 characters (nothing written)
//   "Non Hexadecimal Argument : %s "  a Hex value outside the hex digit set
//   "Non decimal Argument : %s "      a Dec value outside "0123456789"
//   "Argument out of range : %s "     a Hex value of more than eight digits, a
//                                     Dec value above 2147483647
// The last three leave the row's tag written, as the next addition overwrites
// it. An empty Hex or Dec value gives -1; a String value is copied into a
// heap block of its length plus one, an empty one is a zeroed 100-byte block.
// A type label starting with none of the three words adds nothing.
bool AddPendingResource(const char* name, const char* type, const char* value,
                        std::int32_t& Count);

// Fills records 0 to n-1 of ResourceArgs from rows 0 to n-1 of ArrayRes and
// sets ResourceArgCount to n. The name "PosNDIWidth" becomes "diWidth"; any
// other name loses its first four characters (four or fewer give the empty
// text). Values are copied unchanged. n must be 0 to kResourceArgCapacity; a
// larger n is cut to the capacity so nothing is written past the array.
void BuildResourceArgs(std::int32_t n);

// Logs records 0 to n-1 of args: "     %d: %s   " with the number from 1
// and the name, then by the tag of the ArrayRes row of the same index
// "               (%ld)  " ('D'), "               (0x%lX)  " ('X') or
// "  %s    " with the value as text ('S'); a row without a tag gives only the
// first line. MessageText is zeroed before each line. n above the table's
// rows is cut to them.
void LogResourceArgs(const ResourceArg* args, std::int32_t n);

#endif  // REVEDIZ_RESOURCES_ARGUMENTS_H
