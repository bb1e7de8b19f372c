// The explorer's oracles over any bytes: a line for the form matcher, a log and journal pair for the agreement
// check (both end, do not crash and answer the same twice), and a line made by filling a form's placeholders with
// the fuzzer's bytes, which must have a form.
#include "explore/agreement.h"
#include "explore/log_forms.h"
#include "tests/fuzz/fuzz_harness.h"

namespace {

std::string Run(FuzzInput& input, std::string_view set, std::size_t min, std::size_t max) {
  const std::size_t n = input.ConsumeIntegralInRange(min, max);
  std::string out;
  for (std::size_t i = 0; i < n; ++i) out += set[input.ConsumeIntegralInRange<std::size_t>(0, set.size() - 1)];
  return out;
}

// The text one placeholder ("d", "X8", "x4+" ...) takes, from the fuzzer's bytes.
std::string Fill(FuzzInput& input, std::string_view placeholder) {
  static const std::string kPrintable = [] { std::string all; for (char c = 0x20; c < 0x7F; ++c) all += c; return all; }();
  const char kind = placeholder[0];
  const bool counted = placeholder.size() > 1;
  const std::size_t min = counted ? std::stoul(std::string(placeholder.substr(1))) : kind != 'b';
  const std::size_t max = !counted ? 12 : placeholder.back() == '+' ? min + 8 : min;
  switch (kind) {
    case 'd': return (input.ConsumeBool() ? "-" : "") + Run(input, "0123456789", min, max);
    case 'u': return Run(input, "0123456789", min, max);
    case 'X': return Run(input, "0123456789ABCDEF", min, max);
    case 'x': return Run(input, "0123456789abcdef", min, max);
    case 'p': return Run(input, kPrintable, min, max);
    case 'b': return Run(input, " ", min, max);
    case 'c': return std::string(1, static_cast<char>(input.ConsumeIntegral<std::uint8_t>()));
    case 'g': {
      std::string groups;
      for (int n = input.ConsumeIntegralInRange(1, 16); n > 0; --n) groups += Run(input, "0123456789ABCDEF", 2, 2) + " ";
      return groups;
    }
    case '#': return input.ConsumeBool() ? "0000" : "0x" + Run(input, "0123456789abcdef", 2, 2);
    default: return input.ConsumeRandomLengthString(40);  // 's': any bytes, NUL and newline included
  }
}

}  // namespace

void FuzzOne(FuzzInput& input) {
  const int mode = input.ConsumeIntegralInRange(0, 2);
  if (mode == 0) {  // any bytes as one line
    const std::string line = input.ConsumeRemainingBytesAsString();
    const std::string_view name = explore::MatchLogForm(line);
    FUZZ_CHECK(explore::MatchLogForm(line) == name);
    bool named = name.empty();
    for (const explore::LogForm& form : explore::LogForms()) {
      if (form.name != name) continue;
      named = explore::MatchesPattern(form.pattern, line);
    }
    return FUZZ_CHECK(named);
  }
  if (mode == 1) {  // a log and a journal, split at a byte
    const std::size_t at = input.ConsumeIntegral<std::uint8_t>();
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    const std::size_t split = at * bytes.size() / 256;
    const std::string_view all = bytes;
    const std::vector<std::string> log = FuzzSplitLines(all.substr(0, split), false),
                                   journal = FuzzSplitLines(all.substr(split), false);
    const auto first = explore::CheckAgreement(log, journal), second = explore::CheckAgreement(log, journal);
    FUZZ_CHECK(first.has_value() == second.has_value());
    if (first) FUZZ_CHECK(first->what == second->what && first->expected == second->expected &&
                          first->actual == second->actual && !first->what.empty());
    return;
  }
  // A form's placeholders filled with text that fits them.
  const auto forms = explore::LogForms();
  const explore::LogForm& form = forms[input.ConsumeIntegralInRange<std::size_t>(0, forms.size() - 1)];
  std::string line;
  for (std::size_t i = 0; i < form.pattern.size();) {
    if (form.pattern[i] != '{') {
      line += form.pattern[i++];
      continue;
    }
    const std::size_t close = form.pattern.find('}', i);
    line += Fill(input, form.pattern.substr(i + 1, close - i - 1));
    i = close + 1;
  }
  FUZZ_CHECK(explore::MatchesPattern(form.pattern, line));
  FUZZ_CHECK(!explore::MatchLogForm(line).empty());
}
