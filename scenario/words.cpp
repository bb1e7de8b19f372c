// The words of scenarios: numbers, ids and names, texts shown and written,
// and the window handle's placeholders. See scenario.h.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "res/id_names.h"
#include "scenario/scenario.h"
#include "simulator/bench_ids.h"
#include "simulator/control_line.h"

namespace scn {
namespace {

// Beside the tool's own names (res/id_names.h) and the device bench's
// (simulator/bench_ids.h): the dialog manager's.
const IdName kMoreControlIds[] = {
    {"IDOK", 1},
    {"IDCANCEL", 2},
};

// The keys a "key" step presses, by their virtual-key codes.
const IdName kKeys[] = {
    {"Enter", 0x0D},
    {"Escape", 0x1B},
    {"Space", 0x20},
    {"Tab", 0x09},
    {"F4", 0x73},
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

template <typename Row, std::size_t N>
bool Lookup(const Row (&table)[N], std::string_view name, bool ignoreCase, int* value) {
  for (const Row& row : table) {
    const std::size_t length = std::strlen(row.name);
    if (length != name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < length && same; ++i) {
      same = ignoreCase ? Lower(row.name[i]) == Lower(name[i]) : row.name[i] == name[i];
    }
    if (same) {
      *value = row.id;
      return true;
    }
  }
  return false;
}

// A number of 16 bits (a control id or a command): *id, or false; or no
// number at all.
enum class IdNumber { kNone, kGood, kBad };
IdNumber ParseId(std::string_view text, int* id) {
  std::int64_t number = 0;
  if (!ParseNumber(text, &number)) return IdNumber::kNone;
  if (number < 0 || number > 0xFFFF) return IdNumber::kBad;
  *id = static_cast<int>(number);
  return IdNumber::kGood;
}

}  // namespace

bool ParseNumber(std::string_view text, std::int64_t* value) {
  bool negative = false;
  if (!text.empty() && text.front() == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return false;
  std::int64_t number = 0;
  for (char c : text) {
    int digit = HexDigit(c);
    if (digit < 0 || digit >= base) return false;
    number = number * base + digit;
    if (number > 0xFFFFFFFFLL) return false;
  }
  if (negative) {
    if (number > 0x80000000LL) return false;
    number = -number;
  }
  *value = number;
  return true;
}

bool ParseControlId(std::string_view text, int* id) {
  const IdNumber number = ParseId(text, id);
  if (number != IdNumber::kNone) return number == IdNumber::kGood;
  return Lookup(kDialogControlNames, text, false, id) || Lookup(kMoreControlIds, text, false, id) ||
         Lookup(kBenchControlNames, text, false, id);
}

bool ParseMenuCommand(std::string_view text, int* id) {
  const IdNumber number = ParseId(text, id);
  if (number != IdNumber::kNone) return number == IdNumber::kGood;
  return Lookup(kMenuCommandNames, text, true, id);
}

int KeyCode(std::string_view name) {
  int code = -1;
  Lookup(kKeys, name, false, &code);
  return code;
}

std::string ControlLine(const Step& step, std::int64_t* expected) {
  std::size_t count = step.args.size();
  *expected = 0;
  if (count >= 2 && !step.args[count - 2].quoted && step.args[count - 2].text == "returns" &&
      ParseNumber(step.args[count - 1].text, expected)) {
    count -= 2;
  }
  std::string line = step.key.substr(step.key.find(' ') + 1);
  for (std::size_t i = 0; i < count; ++i) (line += ' ') += sim::QuoteWord(step.args[i].text);
  return line;
}

std::string ShowText(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02X", byte);
          out += hex;
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

std::vector<HandleForm> HandleForms(std::uint32_t window) {
  const unsigned long handle = window;
  char longForm[16], shortForm[16], decimalForm[16];
  std::snprintf(longForm, sizeof longForm, "%08lX", handle);
  std::snprintf(shortForm, sizeof shortForm, "%lX", handle);
  std::snprintf(decimalForm, sizeof decimalForm, "%lu", handle);
  return {{"${hwnd8}", longForm, true}, {"${hwnd}", shortForm, true}, {"${hwnd-dec}", decimalForm, false}};
}

std::string Substitute(std::string_view text, std::uint32_t window) {
  const std::vector<HandleForm> forms = HandleForms(window);
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto form = std::find_if(forms.begin(), forms.end(), [&](const HandleForm& f) {
      return text.substr(i).starts_with(f.placeholder);
    });
    if (form != forms.end()) {
      out += form->text;
      i += std::string_view(form->placeholder).size();
    } else {
      out += text[i++];
    }
  }
  return out;
}

std::string QuoteText(std::string_view text) {
  std::string out = "\"";
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t quote = std::min(text.find('"', start), text.size());
    out += sim::EscapeText(text.substr(start, quote - start));
    if (quote < text.size()) out += "\\\"";
    start = quote + 1;
  }
  return out += '"';
}

Word PlainWord(std::string text) {
  bool bare = !text.empty() && text[0] != '"' && text[0] != '#' && text != "returns";
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u <= ' ' || u == 0x7F) bare = false;
  }
  return Word{std::move(text), !bare};
}

std::string WriteStep(std::string_view key, const std::vector<Word>& words) {
  std::string line(key);
  for (const Word& word : words) {
    line += ' ';
    line += word.quoted ? QuoteText(word.text) : word.text;
  }
  return line;
}

}  // namespace scn
