// The simulator's control protocol over any request bytes, as a client's session reads them: its first answer reads
// as a whole reply; a request read, written out again, reads as the same request.
// Each input meets a fresh simulator, initialized or not: one an action changed is made fresh again.
#include <algorithm>

#include "simulator/control_line.h"
#include "simulator/control_serve.h"
#include "tests/fuzz/fuzz_harness.h"

static ResourceArg gQueue{"queueHandle", 0x10010};
static bool Initialize(sim::Simulator& simulator) { return simulator.Initialize("REVEDIZ", "", &gQueue, 1) == 0; }

class Host : public sim::ControlHost {
 public:
  explicit Host(bool initialized) {
    static sim::Simulator idle{sim::Platform{}}, ready{sim::Platform{}};
    static const bool readied = Initialize(ready);
    FUZZ_CHECK(readied);
    simulator = initialized ? &ready : &idle;
  }
  std::int32_t Run(const std::function<std::int32_t(sim::Simulator&)>& call) override { return call(*simulator); }
  std::int32_t Act(std::string_view, const std::function<std::int32_t(sim::Simulator&)>& call) override {
    return acted = true, call(*simulator);
  }
  bool LogLines(std::vector<std::string>* lines, std::string*) override { return *lines = {"\r\n\\"}, true; }
  std::vector<std::string> JournalLines() override { return {"a", "b"}; }
  sim::Simulator* simulator;
  bool acted = false;
};

void FuzzOne(FuzzInput& input) {
  const bool initialized = input.ConsumeBool();
  const std::vector<std::uint8_t> bytes = input.Bytes();
  const std::string line(bytes.begin(), bytes.end());
  Host host(initialized);
  // The bytes reach a client's session in pieces, ended by a line end, up to the fourth (each line is a request, and
  // a burst or a listing costs time): the first of its replies reads whole.
  std::string fed = line + '\n';
  for (std::size_t at = 0, lines = 0; (at = fed.find('\n', at)) != std::string::npos; ++at)
    if (++lines == 4) fed.resize(at + 1);
  sim::ControlSession session(host, 0);
  std::string replies;
  for (std::size_t at = 0, piece = 1 + fed.size() % 7; at < fed.size(); at += piece)
    replies += session.Take(std::string_view(fed).substr(at, piece), 0);
  sim::Reply reply;
  FUZZ_CHECK(sim::ParseReply(replies, &reply) == sim::ReplyRead::kComplete);
  if (host.acted) {  // only actions change a simulator; an idle one only in its faults
    host.simulator->ClearFaults();
    FUZZ_CHECK(!initialized || (host.simulator->Term() == 0 && Initialize(*host.simulator)));
  }

  sim::Request request, reread;
  std::string error;
  if (!sim::ParseRequest(line, &request, &error)) return;
  FUZZ_CHECK(sim::ParseRequest(sim::RequestLine(request.verb, request.words), &reread, &error) &&
             reread.verb == request.verb && reread.words == request.words && reread.on == request.on &&
             std::equal(request.numbers, request.numbers + 3, reread.numbers));
}
