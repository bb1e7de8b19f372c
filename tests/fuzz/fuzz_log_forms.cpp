// The explorer's oracles over any bytes: a line for the form matcher, whose form's pattern must match it, and a log
// and journal pair for the agreement check, whose finding must say what it is.
#include "explore/agreement.h"
#include "explore/log_forms.h"
#include "tests/fuzz/fuzz_harness.h"

void FuzzOne(FuzzInput& input) {
  if (input.ConsumeBool()) {  // a log and a journal, split at a byte
    const std::size_t at = input.ConsumeIntegral<std::uint8_t>();
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    const std::string_view all = bytes;
    const std::size_t split = at * bytes.size() / 256;
    const auto finding = explore::CheckAgreement(FuzzSplitLines(all.substr(0, split), false),
                                                 FuzzSplitLines(all.substr(split), false));
    return FUZZ_CHECK(!finding || !finding->what.empty());
  }
  const std::string line = input.ConsumeRemainingBytesAsString();
  const std::string_view name = explore::MatchLogForm(line);
  for (const explore::LogForm& form : explore::LogForms())
    FUZZ_CHECK(form.name != name || explore::MatchesPattern(form.pattern, line));
}
