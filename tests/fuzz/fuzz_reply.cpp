// What a client of the control pipe reads: a complete reply read from any bytes stays the same whatever follows it,
// and the tool's log lines, whatever bytes they hold, reach the client through the log listing unchanged.
#include "simulator/control_serve.h"
#include "tests/fuzz/fuzz_harness.h"

class Host : public sim::ControlHost {
 public:
  std::int32_t Run(const std::function<std::int32_t(sim::Simulator&)>&) override { return -1; }
  bool LogLines(std::vector<std::string>* lines, std::string*) override { return *lines = logged, true; }
  std::vector<std::string> JournalLines() override { return {}; }
  std::vector<std::string> logged;
};

void FuzzOne(FuzzInput& input) {
  Host host;
  for (int n = input.ConsumeIntegralInRange(0, 4); n > 0; --n) host.logged.push_back(input.ConsumeRandomLengthString());
  const std::string bytes = input.ConsumeRemainingBytesAsString();

  sim::Reply reply, again;
  const sim::ReplyRead read = sim::ParseReply(bytes, &reply);
  FUZZ_CHECK(read != sim::ReplyRead::kComplete ||
             (sim::ParseReply(bytes + "ok\nerror 1\n", &again) == read && again.ok == reply.ok &&
              again.text == reply.text && again.lines == reply.lines && again.status == reply.status));

  const std::string listing = sim::Answer("log", host);
  FUZZ_CHECK(sim::ParseReply(listing, &again) == sim::ReplyRead::kComplete && again.lines == host.logged);
}
