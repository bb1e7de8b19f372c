#include "explore/log_commands.h"

#include <algorithm>

namespace explore::detail {

// ---- The log's command lines ----------------------------------------------

namespace {

// The part of rest before the last occurrence of separator, and the decimal
// that follows it up to the closing parenthesis at the end.
bool SplitTail(string_view rest, string_view separator, string_view* before, long long* number) {
  if (!rest.ends_with(')')) return false;
  rest.remove_suffix(1);
  const std::size_t at = rest.rfind(separator);
  if (at == string_view::npos) return false;
  *before = rest.substr(0, at);
  return IsInt(rest.substr(at + separator.size()), number);
}

}  // namespace

bool ParseCommand(string_view line, Command* c) {
  if (TakeLiteral(line, "Command-->  PosInitialize(")) {
    c->call = Call::kInitialize;
    return SplitTail(line, ", 0, 0, [], ", &c->texts, &c->count);
  }
  if (TakeLiteral(line, "Command-->  PosOpen(")) {
    c->call = Call::kOpen;
    return SplitTail(line, ", [], ", &c->texts, &c->count);
  }
  if (TakeLiteral(line, "Command-->  PosClose(")) {
    c->call = Call::kClose;
    return TakeInt(line, &c->handle) && line == ")  ";
  }
  if (TakeLiteral(line, "Command-->  PosIoctl(")) {
    c->call = Call::kIoctl;
    return TakeInt(line, &c->handle) && TakeLiteral(line, ", ") &&
           SplitTail(line, ", [..], ", &c->texts, &c->count);
  }
  if (TakeLiteral(line, "Command-->  PosRead(")) {
    c->call = Call::kRead;
    return TakeInt(line, &c->handle) && TakeLiteral(line, ", [], ") && TakeInt(line, &c->count) &&
           line == ")";
  }
  if (TakeLiteral(line, "Command-->  PosWrite(")) {
    c->call = Call::kWrite;
    if (!TakeInt(line, &c->handle)) return false;
    string_view text = line;
    if (TakeLiteral(text, ", [], ") && TakeInt(text, &c->count) && text == ")") return true;
    c->fileMode = true;
    return TakeLiteral(line, ",") && SplitTail(line, ",", &c->texts, &c->count);
  }
  return false;
}

// Two texts joined by a separator in the log and by another in the journal:
// the length of the first text for which both agree, or -1.
long long SplitAgree(string_view logText, string_view logSep, string_view journalText,
                     string_view journalSep) {
  if (logText.size() < logSep.size() || journalText.size() < journalSep.size()) return -1;
  const std::size_t total = logText.size() - logSep.size();
  if (journalText.size() - journalSep.size() != total) return -1;
  std::size_t prefix = 0, suffix = 0;
  const std::size_t shorter = std::min(logText.size(), journalText.size());
  while (prefix < shorter && logText[prefix] == journalText[prefix]) ++prefix;
  while (suffix < shorter &&
         logText[logText.size() - 1 - suffix] == journalText[journalText.size() - 1 - suffix])
    ++suffix;
  const std::size_t low = total > suffix ? total - suffix : 0;
  for (std::size_t a = low; a <= std::min(prefix, total); ++a) {
    if (logText.substr(a, logSep.size()) == logSep && journalText.substr(a, journalSep.size()) == journalSep)
      return static_cast<long long>(a);
  }
  return -1;
}

// A request name as the tool's lookup compares it: no blanks or underscores,
// upper case.
string Squeezed(string_view text) {
  string out;
  for (const char c : text) {
    if (c == ' ' || c == '_') continue;
    out.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
  }
  return out;
}

bool IsGetValues(string_view request) {
  const string squeezed = Squeezed(request);
  return !squeezed.empty() && string_view("POSSYSGETVALUES").find(squeezed) != string_view::npos;
}

// What the journal's DLL_ line for the command would read, as far as the log
// tells it.
string ImpliedCall(const Command& c) {
  const string texts(c.texts);
  switch (c.call) {
    case Call::kInitialize: return "DLL_PosInitialize with app and resfile \"" + texts + "\", count=" + Decimal(c.count);
    case Call::kOpen: return "DLL_PosOpen with name and class \"" + texts + "\", count=" + Decimal(c.count + 1);
    case Call::kClose: return "DLL_PosClose handle=" + Decimal(c.handle);
    case Call::kIoctl:
      return "DLL_PosIOCtl handle=" + Decimal(c.handle) + " request=(" + texts + ") count=" + Decimal(c.count);
    case Call::kRead: return "DLL_PosRead handle=" + Decimal(c.handle) + " size=" + Decimal(c.count);
    case Call::kWrite: return "DLL_PosWrite handle=" + Decimal(c.handle) + " length=" + Decimal(c.count);
    default: return "a DLL_ call";
  }
}

// ---- Argument echo ----------------------------------------------------------

bool ReadNumberLine(string_view line, EchoValue* value) {
  if (!TakeLiteral(line, "               (") || !line.ends_with(")  ")) return false;
  line.remove_suffix(3);
  long long v = 0;
  std::uint32_t hex = 0;
  if (IsInt(line, &v)) {
    value->number = As32(v);
  } else if (TakeLiteral(line, "0x") && TakeHex(line, &hex) && line.empty()) {
    value->number = static_cast<std::int32_t>(hex);
  } else {
    return false;
  }
  value->kind = EchoValue::kNumber;
  return true;
}

bool ReadTextLine(string_view line, EchoValue* value) {
  if (line.size() < 6 || !line.starts_with("  ") || !line.ends_with("    ")) return false;
  value->kind = EchoValue::kText;
  value->text = line.substr(2, line.size() - 6);
  return true;
}

// The name of an argument line numbered `number`, if the line is one.
bool ReadNameLine(string_view line, long long number, string_view* name) {
  long long n = 0;
  if (!TakeLiteral(line, "     ") || !TakeInt(line, &n) || n != number || !TakeLiteral(line, ": ") ||
      !line.ends_with("   "))
    return false;
  *name = line.substr(0, line.size() - 3);
  return true;
}

// Whether a journal record's value agrees with what the log showed.
bool ValueAgrees(const EchoValue& shown, string_view journal) {
  std::uint32_t hex = 0;
  long long number = 0;
  string_view rest = journal;
  if (journal.starts_with('"')) {
    // A text the library read; a number the tool passed there is an address.
    return shown.kind != EchoValue::kText || (journal.size() == shown.text.size() + 2 && journal.back() == '"' &&
                                              journal.substr(1, shown.text.size()) == shown.text);
  }
  if (shown.kind == EchoValue::kText) return true;  // the block's address is not in the log
  const std::int32_t expected = shown.kind == EchoValue::kNumber ? shown.number : 0;
  if (journal == "(null)") return expected == 0;
  if (TakeLiteral(rest, "(bad address 0x") && TakeHex(rest, &hex) && rest == ")")
    return static_cast<std::int32_t>(hex) == expected;
  rest = journal;
  if (TakeLiteral(rest, "0x") && TakeHex(rest, &hex) && rest.empty())
    return static_cast<std::int32_t>(hex) == expected;
  if (IsInt(journal, &number)) return As32(number) == expected;
  return false;
}

}  // namespace explore::detail
