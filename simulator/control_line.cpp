// The control line protocol: see control_line.h.
#include "simulator/control_line.h"

#include <algorithm>
#include <iterator>
#include <cstdio>
#include <cstdlib>

namespace sim {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// What each word of a verb must be (VerbDef::shapes).
enum Shape : char { kText = 't', kNumber = 'n', kKind = 'k', kOnOff = 'o' };

constexpr bool VerbsInOrder() {
  int i = 0;
  for (const VerbDef& def : kVerbs) {
    if (static_cast<int>(def.verb) != i++) return false;
  }
  return true;
}
static_assert(VerbsInOrder(), "kVerbs follows the order of Verb");
static_assert(std::size(kFaultKindNames) == kFaultKindCount);

bool ParseNumber(std::string_view word, std::int32_t* value) {
  std::string text(word);
  const bool negative = !text.empty() && text[0] == '-';
  const std::string digits = negative ? text.substr(1) : text;
  const bool hex = digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
  const std::string body = hex ? digits.substr(2) : digits;
  if (body.empty() || body.size() > 10) return false;
  unsigned long long magnitude = 0;
  for (char c : body) {
    const int d = HexDigit(c);
    if (d < 0 || (!hex && d > 9)) return false;
    magnitude = magnitude * (hex ? 16 : 10) + static_cast<unsigned>(d);
  }
  if (negative ? magnitude > 0x80000000ULL : magnitude > 0xFFFFFFFFULL) return false;
  const long long signedValue = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
  *value = static_cast<std::int32_t>(static_cast<std::uint32_t>(signedValue));
  return true;
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  out += EscapeText(text);
  return out += "\"";
}

// Reads a quoted word (ReadQuoted). In a file word (`fileName`) only \\ and
// \" are escapes and any other backslash stands for itself, so a Windows
// path reads as it is typed ("C:\temp\new.scn").
bool ReadQuotedWord(std::string_view line, std::size_t* at, std::string* word, std::string* error, bool fileName) {
  std::size_t i = *at + 1;
  word->clear();
  for (;;) {
    if (i >= line.size()) {
      *error = "text not closed by \"";
      return false;
    }
    const char c = line[i++];
    if (c == '"') break;
    if (c != '\\') {
      *word += c;
      continue;
    }
    if (i >= line.size()) continue;  // reported as not closed
    const char e = line[i];
    if (fileName && e != '"' && e != '\\') {
      *word += c;
      continue;
    }
    ++i;
    if (e == '"' || e == '\\') {
      *word += e;
    } else if (e == 'n' || e == 'r' || e == 't') {
      *word += e == 'n' ? '\n' : e == 'r' ? '\r' : '\t';
    } else if (e == 'x' && i + 1 < line.size() && HexDigit(line[i]) >= 0 && HexDigit(line[i + 1]) >= 0) {
      *word += static_cast<char>(HexDigit(line[i]) * 16 + HexDigit(line[i + 1]));
      i += 2;
    } else {
      *error = "unknown escape \\" + EscapeText(std::string_view(&e, 1)) + " (known: \\\" \\\\ \\n \\r \\t \\xHH)";
      return false;
    }
  }
  if (i < line.size() && !IsBlank(line[i])) {
    *error = "a blank must follow the closing \"";
    return false;
  }
  *at = i;
  return true;
}

// "record stop FILE" and "record step LINE": the word goes as it is typed.
bool VerbatimWord(const std::vector<std::string>& words) {
  return words.size() == 2 && words[0] == "record" && (words[1] == "stop" || words[1] == "step");
}

// Splits a line into words; the word after "record stop" or "record step"
// is a file word (only \\ and \" are escapes in it).
bool SplitWords(std::string_view line, std::vector<std::string>* words, std::string* error, bool fileWords) {
  words->clear();
  std::size_t i = 0;
  while (i < line.size()) {
    if (IsBlank(line[i])) {
      ++i;
      continue;
    }
    std::string word;
    if (line[i] == '"') {
      const bool fileName = fileWords && VerbatimWord(*words);
      if (!ReadQuotedWord(line, &i, &word, error, fileName)) return false;
    } else {
      while (i < line.size() && !IsBlank(line[i])) word += line[i++];
    }
    words->push_back(word);
  }
  return true;
}

// "1 word", "2 words".
std::string Count(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string ControlPipeName(unsigned long processId) {
  char name[48];
  std::snprintf(name, sizeof name, "\\\\.\\pipe\\vavuro32-%lu", processId);
  return name;
}

bool ReadQuoted(std::string_view line, std::size_t* at, std::string* word, std::string* error) {
  return ReadQuotedWord(line, at, word, error, false);
}

bool SplitLine(std::string_view line, std::vector<std::string>* words, std::string* error) {
  return SplitWords(line, words, error, false);
}

std::string QuoteWord(std::string_view word) {
  bool bare = !word.empty() && word[0] != '"';
  for (char c : word) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u <= ' ' || u == 0x7F) bare = false;
  }
  if (bare) return std::string(word);
  std::string out = "\"";
  for (char c : word) out += c == '"' ? std::string("\\\"") : EscapeText(std::string_view(&c, 1));
  return out + "\"";
}

std::string EscapeText(std::string_view text) {
  std::string out;
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\r' || c == '\n' || c == '\t') {
      out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : "\\t";
    } else if (u < 0x20 || u == 0x7F) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", u);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

std::string UnescapeText(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (text[i] != '\\' || next == '\0') {
      out += text[i];
    } else if (next == '\\' || next == 'r' || next == 'n' || next == 't') {
      out += next == '\\' ? '\\' : next == 'r' ? '\r' : next == 'n' ? '\n' : '\t';
      ++i;
    } else if (next == 'x' && i + 3 < text.size() && HexDigit(text[i + 2]) >= 0 && HexDigit(text[i + 3]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3]));
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    at = end + 1;
  }
  return lines;
}

bool ParseFaultKind(std::string_view word, int* kind) {
  for (int k = 0; k < kFaultKindCount; ++k) {
    if (word == kFaultKindNames[k]) {
      *kind = k + 1;
      return true;
    }
  }
  std::int32_t number = 0;
  if (!ParseNumber(word, &number)) return false;
  *kind = number;
  return true;
}

std::string RequestLine(Verb verb, const std::vector<std::string>& words) {
  std::string line = VerbOf(verb).name;
  for (const std::string& word : words) (line += ' ') += QuoteWord(word);
  return line;
}

bool ParseRequest(std::string_view line, Request* request, std::string* error) {
  std::vector<std::string> words;
  if (!SplitWords(line, &words, error, true)) return false;
  if (words.empty()) {
    *error = "empty line";
    return false;
  }
  // Every word reaches the simulator as a C string: a NUL would cut it.
  for (const std::string& word : words) {
    if (word.find('\0') != std::string::npos) {
      *error = "a word cannot hold a NUL byte (\\x00)";
      return false;
    }
  }
  const VerbDef* def = nullptr;
  for (const VerbDef& candidate : kVerbs) {
    if (words[0] == candidate.name) def = &candidate;
  }
  if (def == nullptr) {
    *error = "unknown verb " + Quoted(words[0]);
    return false;
  }
  *request = Request{};
  request->verb = def->verb;
  request->words.assign(words.begin() + 1, words.end());
  const std::size_t most = std::char_traits<char>::length(def->shapes);
  if (request->words.size() < static_cast<std::size_t>(def->minWords) || request->words.size() > most) {
    *error = std::string(def->name) + " takes " +
             (static_cast<std::size_t>(def->minWords) == most
                  ? Count(most, "word", "words")
                  : std::to_string(def->minWords) + " to " + std::to_string(most) + " words") +
             ", not " + std::to_string(request->words.size());
    return false;
  }
  int numbers = 0;
  for (std::size_t i = 0; i < request->words.size(); ++i) {
    const std::string& word = request->words[i];
    int kind = 0;
    switch (def->shapes[i]) {
      case kNumber:
        if (!ParseNumber(word, &request->numbers[numbers++])) {
          *error = std::string(def->name) + ": not a number: " + Quoted(word);
          return false;
        }
        break;
      case kKind:
        if (!ParseFaultKind(word, &kind)) {
          *error = "fault kinds are ";
          for (const char* name : kFaultKindNames) (*error += name) += ", ";
          *error += "not ";
          *error += Quoted(word);
          return false;
        }
        request->numbers[numbers++] = kind;
        break;
      case kOnOff:
        if (word != "on" && word != "off") {
          *error = std::string(def->name) + " takes on or off, not " + Quoted(word);
          return false;
        }
        request->on = word == "on";
        break;
      default:
        break;
    }
  }
  // An empty text would be an input of no bytes: no device gives one.
  if (!request->words.empty() && request->words[0].empty()) {
    const char* why = def->verb == Verb::kSwipe  ? "swipe takes tracks, or no words for the test card"
                      : def->verb == Verb::kScan ? "scan takes a label, or no words for the test label"
                      : def->verb == Verb::kKeys ? "keys takes at least one key"
                                                 : nullptr;
    if (why != nullptr) {
      *error = why;
      return false;
    }
  }
  const bool start = request->words.size() == 1 && request->words[0] == "start";
  const bool stop = request->words.size() == 2 && request->words[0] == "stop" && !request->words[1].empty();
  const bool step = request->words.size() == 2 && request->words[0] == "step" && !request->words[1].empty();
  if (def->verb == Verb::kRecord && !start && !stop && !step) {
    *error = "record takes start, stop and a file name, or step and a scenario line";
    return false;
  }
  if (stop) {
    for (char c : request->words[1]) {
      if (static_cast<unsigned char>(c) < 0x20) {
        *error = "a file name cannot hold control characters";
        return false;
      }
    }
  }
  return true;
}

const char kCtlUsage[] =
    "usage: vavuro-ctl [--pid N] VERB [WORD...]\n"
    "verbs: swipe [TRACKS], scan [LABEL], keys TEXT, weight GRAMS, close-drawer, touch X Y,\n"
    "       paper-out on|off, cover-open on|off, printer-error, burst CLASS N,\n"
    "       fault TARGET error|overclaim|overrun|offline|short VALUE, clear-faults,\n"
    "       state, log, journal N, text CLASS, record start, record stop FILE, record step LINE\n";

namespace {

// ParseCtlArgs, which clears *command unless a request is made.
CtlArgs ReadCtlArgs(const std::vector<std::string>& args, CtlCommand* command, std::string* why) {
  *command = CtlCommand{};
  std::size_t at = 0;
  if (args.size() == 1 && (args[0] == "-h" || args[0] == "--help")) return CtlArgs::kHelp;
  while (at < args.size() && !args[at].empty() && args[at][0] == '-') {
    const std::string& option = args[at++];
    if (option != "--pid" || command->pid != 0) {
      *why = option == "--pid" ? "--pid given twice" : "unknown option " + Quoted(option);
      return CtlArgs::kWrong;
    }
    const std::string number = at < args.size() ? args[at++] : "";
    unsigned long long pid = 0;
    bool digits = !number.empty() && number.size() <= 10;
    for (char c : number) {
      digits = digits && c >= '0' && c <= '9';
      if (digits) pid = pid * 10 + static_cast<unsigned>(c - '0');
    }
    if (!digits || pid == 0 || pid > 0xFFFFFFFFULL) {
      *why = "--pid takes a process id (1 or more), not " + (number.empty() ? std::string("nothing") : Quoted(number));
      return CtlArgs::kWrong;
    }
    command->pid = static_cast<unsigned long>(pid);
  }
  if (at >= args.size()) {
    *why = "no verb";
    return CtlArgs::kWrong;
  }
  const std::string& verb = args[at];
  command->line = QuoteWord(verb);
  for (std::size_t i = at + 1; i < args.size(); ++i) {
    const bool fileWord = i == at + 2 && VerbatimWord({verb, args[at + 1]});
    command->line += ' ';
    if (fileWord) {
      command->line += QuoteWord(args[i]);
      continue;
    }
    command->line += '"';
    for (char c : args[i]) command->line += c == '"' ? std::string("\\\"") : std::string(1, c);
    command->line += '"';
  }
  return CtlArgs::kRequest;
}

}  // namespace

CtlArgs ParseCtlArgs(const std::vector<std::string>& args, CtlCommand* command, std::string* why) {
  const CtlArgs result = ReadCtlArgs(args, command, why);
  if (result != CtlArgs::kRequest) *command = CtlCommand{};
  return result;
}

ReplyRead ParseReply(std::string_view bytes, Reply* reply) {
  *reply = Reply{};
  std::vector<std::string> lines;
  std::size_t at = 0;
  auto nextLine = [&](std::string* line) {
    const std::size_t end = bytes.find('\n', at);
    if (end == std::string_view::npos) return false;
    std::string_view text = bytes.substr(at, end - at);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    *line = std::string(text);
    at = end + 1;
    return true;
  };
  std::string head;
  if (!nextLine(&head)) return ReplyRead::kIncomplete;
  if (head == "ok" || head.compare(0, 3, "ok ") == 0) {
    reply->ok = true;
    reply->text = head.size() > 3 ? UnescapeText(head.substr(3)) : "";
  } else if (head.compare(0, 6, "error ") == 0) {
    reply->text = UnescapeText(head.substr(6));
    char* end = nullptr;
    const long status = std::strtol(reply->text.c_str(), &end, 10);
    if (end != reply->text.c_str() && (*end == '\0' || *end == ' ')) reply->status = static_cast<std::int32_t>(status);
    return ReplyRead::kComplete;
  } else {
    return ReplyRead::kMalformed;
  }
  // "ok N lines" (or "ok 1 line") opens a listing; any other "ok" is whole.
  const std::size_t blank = reply->text.find(' ');
  const std::string number = reply->text.substr(0, blank);
  bool digits = blank != std::string::npos && !number.empty() && number.size() <= 9;
  for (char c : number) digits = digits && c >= '0' && c <= '9';
  if (!digits) return ReplyRead::kComplete;
  const unsigned long count = std::strtoul(number.c_str(), nullptr, 10);
  if (reply->text.substr(blank) != (count == 1 ? " line" : " lines")) return ReplyRead::kComplete;
  reply->listing = true;
  std::string line;
  for (unsigned long i = 0; i < count; ++i) {
    if (!nextLine(&line)) return ReplyRead::kIncomplete;
    reply->lines.push_back(UnescapeText(line));
  }
  if (!nextLine(&line)) return ReplyRead::kIncomplete;
  return line == "end" ? ReplyRead::kComplete : ReplyRead::kMalformed;
}

}  // namespace sim
