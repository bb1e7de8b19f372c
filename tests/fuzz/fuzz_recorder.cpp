// The recorder over any events: its scenario reads without errors, and each expected log line reads back, the window
// handle put in again, as itself (save a line holding "${hwnd" itself, which the language cannot write).
#include "scenario/scenario.h"
#include "simulator/recorder.h"
#include "tests/fuzz/fuzz_harness.h"

static sim::RecordedFields Fields(FuzzInput& input) {
  sim::RecordedFields fields(input.ConsumeIntegralInRange(0, 3));
  for (sim::RecordedField& field : fields) {
    field = {static_cast<sim::RecordedField::Kind>(input.ConsumeIntegralInRange(0, 2)),
             input.ConsumeBool() ? input.ConsumeIntegralInRange(200, 235) : input.ConsumeIntegral<int>(), input.Field(),
             input.ConsumeBool()};
  }
  return fields;
}

void FuzzOne(FuzzInput& input) {
  const std::uint32_t window = input.ConsumeBool() ? 0x10076 : input.ConsumeIntegral<std::uint32_t>();
  sim::Recorder recorder(window);
  std::vector<std::string> logged;
  while (input.remaining_bytes() > 0) {
    const std::uintptr_t handle = input.ConsumeIntegralInRange(1, 3);
    switch (input.Front() % 11) {
      case 0: recorder.Menu(input.Near(100, 107)); break;
      case 1: recorder.CloseMain(); break;
      case 2: recorder.DialogOpened(handle, input.Field(), Fields(input)); break;
      case 3: recorder.Pressed(handle, input.Near(0, 2), Fields(input)); break;
      case 4: recorder.PressDone(handle, Fields(input), input.ConsumeBool()); break;
      case 5: recorder.DialogClosed(handle); break;
      case 6: recorder.BoxShown(handle, input.Field(), input.Field()); break;
      case 7: recorder.BoxClosed(handle); break;
      case 8: logged.push_back(input.Field()), recorder.LogLine(logged.back()); break;
      case 9: recorder.Bench(input.Field(), input.Near(0, 400)); break;
      default: recorder.ToolEnded(input.Near(0, 2)); break;
    }
  }
  scn::Scenario scenario;
  std::vector<std::string> errors;
  FUZZ_CHECK(scn::ParseScenario(recorder.Scenario(input.Field(), input.Field()), &scenario, &errors));
  std::size_t next = 0;
  for (const scn::Step& step : scenario.steps) {
    if (step.key != "expect log") continue;
    FUZZ_CHECK(next < logged.size());
    const std::string& line = logged[next++];
    FUZZ_CHECK(line.find("${hwnd") != std::string::npos || scn::Substitute(step.args[0].text, window) == line);
  }
  FUZZ_CHECK(next == logged.size());
}
