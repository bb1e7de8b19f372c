// The Device Bench's fields, whatever a person types into them: a device button makes a request the control line
// reads as an action (save Press with no key), with a field's text in it as typed (the tracks of a swipe) and its
// number as the bench reads it (the grams placed), or is refused for a field that holds no number.
#include "simulator/bench_ids.h"
#include "simulator/bench_request.h"
#include "simulator/bench_state.h"
#include "simulator/control_line.h"
#include "tests/fuzz/fuzz_harness.h"

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

void FuzzOne(FuzzInput& input) {
  const int control = input.ConsumeBool() ? input.ConsumeIntegral<int>()
                                          : kBenchControlNames[input.ConsumeIntegralInRange<std::size_t>(
                                                0, std::size(kBenchControlNames) - 1)].id;
  const Fields fields(input);
  sim::BenchRequest asked;
  if (!sim::MakeBenchRequest(control, fields, &asked)) return;
  if (asked.refused != nullptr) return FUZZ_CHECK(asked.line.empty());
  sim::Request request;
  std::string why;
  if (!sim::ParseRequest(asked.line, &request, &why)) return FUZZ_CHECK(control == IDC_BENCH_PRESS);  // no keys
  FUZZ_CHECK(sim::VerbOf(request.verb).action);
  std::int32_t grams = 0;
  const std::string typed = request.words.empty() ? "" : request.words[0];  // an empty field: the test card
  if (control == IDC_BENCH_SWIPE) FUZZ_CHECK(typed == fields.Text(IDC_BENCH_TRACKS));
  if (control == IDC_BENCH_PLACE)
    FUZZ_CHECK(sim::BenchNumber(fields.Text(IDC_BENCH_GRAMS), &grams) && request.numbers[0] == grams);
}
