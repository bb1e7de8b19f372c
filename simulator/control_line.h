// The simulator's control line protocol, window-free: the words of a
// request line, the requests the simulator understands, and the shape of
// its replies. Served on a local named pipe from initialize to termination
// (control_pipe.h); simulator/CONTROL.md describes it for its users.
//
// A request is one line of at most kMaxLine bytes, ended by LF (a CR before
// it is dropped): a verb and its words, separated by blanks. A word in
// double quotes holds blanks, with the escapes \" \\ \n \r \t \xHH.
//
// A reply is "ok", "ok TEXT" or "error TEXT" on one line; a status of the
// device API is given as "error N NAME" ("error 302
// POSERR_SYS_NOT_INITIALIZED"). The listing verbs (state, log, journal,
// text) answer "ok N lines", then N data lines, then "end". Reply and data
// lines carry their text escaped (EscapeText), so any byte survives and a
// line end inside a text cannot break the framing.
#ifndef REVEDIZ_SIMULATOR_CONTROL_LINE_H
#define REVEDIZ_SIMULATOR_CONTROL_LINE_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

inline constexpr std::size_t kMaxLine = 4096;

// The pipe of the simulator loaded in process `processId`.
std::string ControlPipeName(unsigned long processId);

// Splits a request line into words. False, with *error, for an unclosed
// quote, an unknown escape or a quote followed by anything but a blank.
// (ParseRequest reads the file word of "record stop" so too, except that
// there only \\ and \" are escapes: any other backslash is itself.)
bool SplitLine(std::string_view line, std::vector<std::string>* words, std::string* error);

// Reads the quoted text that starts at line[*at] (a '"'): its escapes, the
// closing quote and the blank (or end) after it; *at moves past the quote.
// False with *error otherwise. The scenario language reads its texts so too.
bool ReadQuoted(std::string_view line, std::size_t* at, std::string* word, std::string* error);

// A word as it is written into a request line: bare when it can be read
// back so, else in quotes with escapes. SplitLine reads it back exactly.
std::string QuoteWord(std::string_view word);

// Backslash as \\, CR, LF and tab as \r \n \t, other control bytes and DEL
// as \xHH; everything else as it is. UnescapeText reverses it.
std::string EscapeText(std::string_view text);
std::string UnescapeText(std::string_view text);

// The lines of a text: each ended by LF (a CR before it dropped), the last
// one also without.
std::vector<std::string> SplitLines(std::string_view text);

enum class Verb {
  kSwipe, kScan, kKeys, kWeight, kCloseDrawer, kFault, kClearFaults, kTouch, kPaperOut, kCoverOpen,
  kPrinterError, kBurst, kState, kLog, kJournal, kText, kRecord
};

// The verbs, in the order of Verb: each one's word, its fewest words and
// what each word may be, one letter a word (t text, n number, k fault kind,
// o on|off; their count is the most words), and whether it acts on the
// devices (the bench's verbs) or only answers (listings, record).
struct VerbDef {
  const char* name;
  Verb verb;
  int minWords;
  const char* shapes;
  bool action;
};
inline constexpr VerbDef kVerbs[] = {
    {"swipe", Verb::kSwipe, 0, "t", true},
    {"scan", Verb::kScan, 0, "t", true},
    {"keys", Verb::kKeys, 1, "t", true},
    {"weight", Verb::kWeight, 1, "n", true},
    {"close-drawer", Verb::kCloseDrawer, 0, "", true},
    {"fault", Verb::kFault, 3, "tkn", true},
    {"clear-faults", Verb::kClearFaults, 0, "", true},
    {"touch", Verb::kTouch, 2, "nn", true},
    {"paper-out", Verb::kPaperOut, 1, "o", true},
    {"cover-open", Verb::kCoverOpen, 1, "o", true},
    {"printer-error", Verb::kPrinterError, 0, "", true},
    {"burst", Verb::kBurst, 2, "tn", true},
    {"state", Verb::kState, 0, "", false},
    {"log", Verb::kLog, 0, "", false},
    {"journal", Verb::kJournal, 1, "n", false},
    {"text", Verb::kText, 1, "t", false},
    {"record", Verb::kRecord, 1, "tt", false},
};
inline constexpr const VerbDef& VerbOf(Verb verb) { return kVerbs[static_cast<int>(verb)]; }

// The fault kinds of the fault verb by name: kind N is kFaultKindNames[N - 1]
// (sim::FaultKind); a number is taken too.
inline constexpr const char* kFaultKindNames[] = {"error", "overclaim", "overrun", "offline", "short"};
inline constexpr int kFaultKindCount = 5;

// The request line of `verb` with `words`: the verb's word, then each word as
// QuoteWord writes it, one blank before each. ParseRequest reads it back.
std::string RequestLine(Verb verb, const std::vector<std::string>& words);

struct Request {
  Verb verb = Verb::kState;
  std::vector<std::string> words;  // after the verb
  std::int32_t numbers[3] = {};    // the number words, in order
  bool on = false;                 // paper-out, cover-open
};

// Reads and checks a request line: a known verb, its number of words, its
// numbers (32 bits, decimal or 0x hex, optionally negative) and on/off;
// record takes start, or stop and a file name (no control characters). No
// word may hold a NUL; swipe, scan and keys take no empty text. Whether a
// number is in its device's range is the simulator's to say (control_serve.h).
// False with *error ("unknown verb \"frobnicate\"", ...) otherwise.
bool ParseRequest(std::string_view line, Request* request, std::string* error);

// A fault kind by name (kFaultKindNames) or number.
bool ParseFaultKind(std::string_view word, int* kind);

// A reply as the client reads it.
struct Reply {
  bool ok = false;
  std::string text;                // after "ok " / "error ", unescaped
  bool listing = false;            // "ok N lines"
  std::vector<std::string> lines;  // the data lines, unescaped
  std::int32_t status = 0;         // "error N ...": N; otherwise 0
};

enum class ReplyRead { kIncomplete, kComplete, kMalformed };

// Reads the reply at the start of `bytes` (as received so far).
ReplyRead ParseReply(std::string_view bytes, Reply* reply);

// vavuro-ctl's command line (after the program name):
//   [--pid N] VERB [WORD...]     (or -h / --help alone)
// N is a process id, 1 or more. The request line is the verb, then each word
// in quotes with only its quotes escaped, so the line's escapes can be typed
// ("12\r"); the file word of "record stop" goes exactly as given (QuoteWord),
// so a Windows path needs no doubled backslashes.
struct CtlCommand {
  unsigned long pid = 0;  // 0: the one simulator running
  std::string line;
};
enum class CtlArgs { kRequest, kHelp, kWrong };
CtlArgs ParseCtlArgs(const std::vector<std::string>& args, CtlCommand* command, std::string* why);
// The usage text, every verb included.
extern const char kCtlUsage[];

}  // namespace sim

#endif  // REVEDIZ_SIMULATOR_CONTROL_LINE_H
