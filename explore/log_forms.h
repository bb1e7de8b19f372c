// Every line form the tool writes to its "Command and Status" log, each with a
// short name and a pattern, and a matcher that names the form a line has.
// Window-free; used by the explorer's oracles.
//
// Pattern language: text stands for itself, blanks included (each blank is
// exactly one blank), and placeholders in braces stand for a run of
// characters:
//   {d}   a signed decimal: an optional '-' and one or more digits
//   {u}   one or more decimal digits
//   {X}   one or more upper-case hexadecimal digits
//   {x}   one or more lower-case hexadecimal digits
//   {p}   one or more printable characters (0x20 to 0x7E)
//   {b}   zero or more blanks
//   {s}   any text, empty included
//   {c}   exactly one character, whatever it is
//   {g}   one or more groups of two upper-case hexadecimal digits and a blank
//   {#}   a byte in the C "%#04x" form: "0000", or "0x" and two lower-case
//         hexadecimal digits
// A digit count after the letter fixes the length ({X8}: exactly eight), and
// a '+' after the count makes it a least ({X4+}: four or more). A '{' always
// opens a placeholder; no form has a literal brace.
#ifndef REVEDIZ_EXPLORE_LOG_FORMS_H
#define REVEDIZ_EXPLORE_LOG_FORMS_H

#include <span>
#include <string_view>

namespace explore {

struct LogForm {
  std::string_view name;
  std::string_view pattern;
};

// All forms, in the order MatchLogForm tries them (narrow forms before the
// wide ones that would also take their lines).
std::span<const LogForm> LogForms();

// The name of the first form the whole line has; empty if it has none.
// Time grows linearly with the line's length.
std::string_view MatchLogForm(std::string_view line);

// Whether the whole line has the given pattern (the language above). A
// malformed pattern matches nothing.
bool MatchesPattern(std::string_view pattern, std::string_view line);

}  // namespace explore

#endif  // REVEDIZ_EXPLORE_LOG_FORMS_H
