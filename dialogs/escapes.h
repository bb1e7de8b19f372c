// The backslash escapes of the Write dialog's text: control codes and other
// byte values typed as \n, \x1b, \033 and the like. Window-free.
#ifndef REVEDIZ_DIALOGS_ESCAPES_H
#define REVEDIZ_DIALOGS_ESCAPES_H

#include <cstdint>

// Converts the zero-terminated text in place and returns the number of bytes
// produced; zero bytes produced by escapes (\0, \x00, \x before a non-hex
// character) count, the final terminator does not. The output never grows,
// so it always fits where the text was.
//
//   \" \' \? \\ \a \b \f \n \r \t \v   the usual single bytes
//   \ooo   one to three octal digits, the value modulo 256
//   \xhh   at most two hex digits, either case; 0x00 when none follows
//   \c     any other character c: both characters are kept, after the line
//          "--> Error, unknown escape sequence '\c'" has been logged
// A backslash that ends the text is kept. Works on a heap copy one byte
// longer than the text; the tool ends through its assertion ("BufCopy") when
// none is to be had.
std::int32_t ExpandEscapes(char* text);

#endif  // REVEDIZ_DIALOGS_ESCAPES_H
