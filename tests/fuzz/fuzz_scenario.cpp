// The scenario reader over any file text: each line gives a step, one error or nothing; the steps read, written out
// again by the scenario writer, read back the same; numbers read print back to themselves.
#include <algorithm>

#include "scenario/scenario.h"
#include "tests/fuzz/fuzz_harness.h"

void FuzzOne(FuzzInput& input) {
  const std::vector<std::uint8_t> bytes = input.Bytes();
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const std::vector<std::string> lines = FuzzSplitLines(text, true);
  scn::Scenario scenario, again;
  std::vector<std::string> errors;
  FUZZ_CHECK(scn::ParseScenario(text, &scenario, &errors) == errors.empty());
  std::vector<int> taken(lines.size() + 1, 0);
  for (const std::string& error : errors) {
    std::size_t line = 0;
    FUZZ_CHECK(std::sscanf(error.c_str(), "line %zu: ", &line) == 1 && line >= 1 && line <= lines.size());
    FUZZ_CHECK(taken[line]++ == 0);
  }
  std::string written;
  for (const scn::Step& step : scenario.steps) {
    FUZZ_CHECK(step.line >= 1 && std::size_t(step.line) <= lines.size() && taken[step.line]++ == 0);
    FUZZ_CHECK(step.source == lines[step.line - 1]);
    (written += scn::WriteStep(step.key, step.args)) += '\n';
    for (const scn::Word& word : step.args) {
      std::int64_t value = 0, back = 0;
      if (scn::ParseNumber(word.text, &value))
        FUZZ_CHECK(scn::ParseNumber(std::to_string(value), &back) && back == value);
    }
  }
  FUZZ_CHECK(scn::ParseScenario(written, &again, &errors) && again.steps.size() == scenario.steps.size());
  const auto same = [](const scn::Word& a, const scn::Word& b) {
    return a.text == b.text && a.quoted == b.quoted;
  };
  for (std::size_t i = 0; i < again.steps.size(); ++i)
    FUZZ_CHECK(again.steps[i].key == scenario.steps[i].key &&
               std::ranges::equal(again.steps[i].args, scenario.steps[i].args, same));
}
