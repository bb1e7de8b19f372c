// Meaningful values for the explorer, per kind of field: what an operator
// (or a careless one) types into the tool's dialogs, and the words of the
// simulator's bench requests. Each domain is a short list that holds the
// interesting cases (empty, the ends of a range and one past each, text at
// and past its limit, odd characters); the session generator (session.h)
// picks from it, and mixes in plain valid values of its own.
//
// The fields, their ranges and limits are the tool's: the templates of
// res/revediz.rc, the checks of dialogs/ (field_checks.h, read_checks.h,
// write_text.h), the argument table (resources/arguments.h) and the lists of
// data/ (the Vocabulary below); the bench's from simulator/CONTROL.md.
#ifndef REVEDIZ_EXPLORE_DOMAINS_H
#define REVEDIZ_EXPLORE_DOMAINS_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace explore {

// --- The resource lists ----------------------------------------------------

// The entries of the sixteen resource list files, by file name
// ("PRESOURC.DAT"), as the tool reads them when a dialog opens.
struct Vocabulary {
  std::map<std::string, std::vector<std::string>> lists;
  // The entries of one file; none for a file it does not hold.
  const std::vector<std::string>& List(std::string_view file) const;
};

// The entries of a list file's text, as the tool's reader gives them: one
// per line, "\n" and a "\r" before it dropped, a blank line an empty entry,
// a last line without a newline an entry too.
std::vector<std::string> ListEntries(std::string_view text);

// Gives the text of a list file by name; false when there is none.
using ListText = std::function<bool(const std::string& file, std::string* text)>;

// The vocabulary of the sixteen files (resources/resource_files.h) through
// `text`; a file it cannot give has no entries.
Vocabulary ReadVocabulary(const ListText& text);

// The same from the files of `folder`. False, with the name of the first
// missing file in *error, when one of the sixteen is missing.
bool LoadVocabulary(const std::string& folder, Vocabulary* vocabulary, std::string* error);

// --- Ranges and limits -----------------------------------------------------

struct Range {
  std::int64_t least;
  std::int64_t most;
};

// A dialog field is read into 254 bytes: 253 characters at most.
inline constexpr std::size_t kFieldTextLimit = 253;
// The Read and Write dialogs read a file name into 100 bytes.
inline constexpr std::size_t kFileNameLimit = 99;
// A resource name of the argument table: 102 characters.
inline constexpr std::size_t kResourceNameLimit = 102;

inline constexpr Range kHandleRange{0, 2147483647};       // Handle fields
inline constexpr Range kBufferSizeRange{0, 2147483645};   // the Read dialog's Buffer Size
inline constexpr Range kDecimalValueRange{0, 2147483647};  // a Dec argument value
// N Arguments: the rows a call takes (Open keeps one for the queue handle).
inline constexpr Range kInitializeArgumentRange{0, 20};
inline constexpr Range kOpenArgumentRange{0, 19};
inline constexpr Range kIoctlArgumentRange{0, 20};
// The bench's requests.
inline constexpr Range kWeightRange{0, 15000};
inline constexpr Range kTouchRange{0, 65535};
inline constexpr Range kBurstRange{1, 10000};

// --- Domains ---------------------------------------------------------------

// A decimal field of `range`: empty, a valid value, each end and one past
// it, non-numeric, negative, hex ("0x..."), leading blank and zeros, very
// long digits, with a backslash escape and with a control byte.
std::vector<std::string> NumberValues(Range range);

// The same, only the forms a bench request takes as a number (decimal or
// 0x hex of at most 32 bits, maybe negative): the ends, one past each, a
// valid value, -1, the hex of the top end.
std::vector<std::string> NumberWords(Range range);

// A Hex argument value (up to eight hex digits, no prefix): empty, "0",
// "FFFFFFFF" and one digit more, either case, "0x" prefixed, negative,
// non-hex, very long.
std::vector<std::string> HexValues();

// A text field of `limit` characters: empty, typical, at and past the
// limit, blanks only, leading and trailing blanks, quotes, backslashes and
// escapes, percent signs (printf directives), control bytes, line ends.
std::vector<std::string> TextValues(std::size_t limit = kFieldTextLimit);

// A handle: 0, the handles an Open is likely to have given (1 to 4), -1, the
// top of the range and one past it, huge, empty, non-numeric.
std::vector<std::string> HandleValues();

// A file name of the Read and Write dialogs: a plain new name, a list file
// of the working folder, a missing one, empty, at and past the name limit,
// a folder that does not exist, characters no file name may hold.
std::vector<std::string> FileNames();

// Resource names: every entry of the per-class lists (the files other than
// PRESOURC.DAT and PIOCTLRE.DAT), then unknown names, the special
// "PosNDIWidth", names of four characters or fewer, at and past the name
// limit.
std::vector<std::string> ResourceNames(const Vocabulary& vocabulary);

// The device classes of the Open dialog's list (PRESOURC.DAT).
std::vector<std::string> ClassNames(const Vocabulary& vocabulary);

// The requests of the Ioctl dialog's list (PIOCTLRE.DAT).
std::vector<std::string> RequestNames(const Vocabulary& vocabulary);

// The argument type entries of the dialogs' Type list, as the list shows them.
std::vector<std::string> TypeLabels();

// A fault target of the bench: the classes, "Queue", "" (every device) and
// a class no device has.
std::vector<std::string> FaultTargets(const Vocabulary& vocabulary);

// The VALUEs of `bench fault TARGET error VALUE`: 0 (ends it), -1, statuses
// the device API names, and one it does not.
std::vector<std::string> ErrorCodes();

}  // namespace explore

#endif  // REVEDIZ_EXPLORE_DOMAINS_H
