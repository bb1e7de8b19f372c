// The scenario reader over any file text: it succeeds exactly when it gives no error; the steps read, written out
// again by the scenario writer, read back the same.
#include <algorithm>

#include "scenario/scenario.h"
#include "tests/fuzz/fuzz_harness.h"

void FuzzOne(FuzzInput& input) {
  const std::vector<std::uint8_t> bytes = input.Bytes();
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  scn::Scenario scenario, again;
  std::vector<std::string> errors;
  FUZZ_CHECK(scn::ParseScenario(text, &scenario, &errors) == errors.empty());
  std::string written;
  for (const scn::Step& step : scenario.steps) (written += scn::WriteStep(step.key, step.args)) += '\n';
  FUZZ_CHECK(scn::ParseScenario(written, &again, &errors) && again.steps.size() == scenario.steps.size());
  const auto same = [](const scn::Word& a, const scn::Word& b) {
    return a.text == b.text && a.quoted == b.quoted;
  };
  for (std::size_t i = 0; i < again.steps.size(); ++i)
    FUZZ_CHECK(again.steps[i].key == scenario.steps[i].key &&
               std::ranges::equal(again.steps[i].args, scenario.steps[i].args, same));
}
