// The Device Bench's fields, whatever a person types into them: a device button makes a request the control line
// reads as an action, with the fields' texts in it as typed and their numbers as the bench reads them, or is refused
// for a field that holds no number. A control that is no device action makes no request.
#include "simulator/bench_ids.h"
#include "simulator/bench_request.h"
#include "simulator/bench_state.h"
#include "simulator/control_line.h"
#include "tests/fuzz/fuzz_harness.h"

namespace {

class Fields : public sim::BenchFields {
 public:
  explicit Fields(FuzzInput& input) : target(input.ConsumeIntegralInRange(-3, 16)) {
    // An edit holds no NUL, and may hold more than a request line.
    for (std::string& text : texts) text = input.ConsumeRandomLengthString(6000).c_str();
    checks = input.ConsumeIntegral<std::uint8_t>();
  }
  std::string Text(int id) const override { return texts[id % 16]; }
  bool Checked(int id) const override { return checks >> (id % 8) & 1; }
  int Target() const override { return target; }

  std::string texts[16];
  std::uint8_t checks;
  int target;
};

}  // namespace

void FuzzOne(FuzzInput& input) {
  const int control = input.ConsumeBool() ? input.ConsumeIntegral<int>()
                                          : kBenchControlNames[input.ConsumeIntegralInRange<std::size_t>(
                                                0, std::size(kBenchControlNames) - 1)].id;
  const Fields fields(input);
  sim::BenchRequest asked;
  if (!sim::MakeBenchRequest(control, fields, &asked)) return;
  FUZZ_CHECK(!asked.action.empty());
  if (asked.refused != nullptr) return FUZZ_CHECK(asked.line.empty());
  sim::Request request;
  std::string why;
  if (!sim::ParseRequest(asked.line, &request, &why)) {  // the line's own refusal, shown in the status line
    return FUZZ_CHECK(control == IDC_BENCH_PRESS && sim::BenchKeys(fields.Text(IDC_BENCH_KEYS)).empty());
  }
  FUZZ_CHECK(sim::VerbOf(request.verb).action);
  // A swipe or scan of empty fields carries no word: the test card or label.
  const std::string typed = request.words.empty() ? "" : request.words[0];
  std::int32_t number = 0;
  switch (control) {
    case IDC_BENCH_SWIPE: FUZZ_CHECK(typed == fields.Text(IDC_BENCH_TRACKS)); break;
    case IDC_BENCH_SCAN: FUZZ_CHECK(typed == fields.Text(IDC_BENCH_SYMBOLOGY) + fields.Text(IDC_BENCH_LABEL)); break;
    case IDC_BENCH_PRESS: FUZZ_CHECK(typed == sim::BenchKeys(fields.Text(IDC_BENCH_KEYS))); break;
    case IDC_BENCH_PLACE:
      FUZZ_CHECK(sim::BenchNumber(fields.Text(IDC_BENCH_GRAMS), &number) && request.numbers[0] == number);
      break;
    case IDC_BENCH_BURST:
      FUZZ_CHECK(sim::BenchNumber(fields.Text(IDC_BENCH_BURST_COUNT), &number) && request.numbers[0] == number);
      break;
    default: break;
  }
}
