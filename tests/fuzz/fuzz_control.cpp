// The simulator's control protocol over any request line: the answer is one whole reply, and the same bytes reaching
// a client's session in pieces get one whole reply per line; a request read, written out again (RequestLine), reads
// as the same request. Each input meets a fresh simulator, initialized or not: the two are made once, and one an
// action changed is made fresh again.
#include <algorithm>

#include "simulator/control_line.h"
#include "simulator/control_serve.h"
#include "tests/fuzz/fuzz_harness.h"

namespace {

ResourceArg gQueue{"queueHandle", 0x10010};
bool Initialize(sim::Simulator& simulator) { return simulator.Initialize("REVEDIZ", "", &gQueue, 1) == 0; }

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
  bool LogLines(std::vector<std::string>* lines, std::string*) override {
    *lines = {"Command-->  PosRead(1, [], 64)", "\r\n\\"};
    return true;
  }
  std::vector<std::string> JournalLines() override { return {"a", "b"}; }
  sim::Simulator* simulator;
  bool acted = false;
};

}  // namespace

void FuzzOne(FuzzInput& input) {
  const bool initialized = input.ConsumeBool();
  const std::vector<std::uint8_t> bytes = input.Bytes();
  const std::string line(bytes.begin(), bytes.end());
  Host host(initialized);
  const std::string answer = sim::Answer(line, host);
  // The same bytes reaching a client's session in pieces: one whole reply for each line end (a line past kMaxLine
  // answered once, as too long, when it gets there), none for an unfinished rest within the limit.
  // (The first four lines: each line is a request, and a burst or a listing costs time.)
  std::string fed = line;
  for (std::size_t at = 0, lines = 0; (at = fed.find('\n', at)) != std::string::npos; ++at)
    if (++lines == 4) fed.resize(at + 1);
  sim::ControlSession session(host, 0);
  std::string replies;
  for (std::size_t at = 0, piece = 1 + fed.size() % 7; at < fed.size(); at += piece)
    replies += session.Take(std::string_view(fed).substr(at, piece), 0);
  const std::size_t rest = fed.size() - (fed.rfind('\n') + 1);
  std::size_t expected = static_cast<std::size_t>(std::count(fed.begin(), fed.end(), '\n')), read = 0;
  expected += rest > sim::kMaxLine + (!fed.empty() && fed.back() == '\r') ? 1 : 0;
  for (std::string_view left = replies; !left.empty(); ++read) {
    sim::Reply each;
    FUZZ_CHECK(sim::ParseReply(left, &each) == sim::ReplyRead::kComplete);
    for (std::size_t lines = each.listing ? each.lines.size() + 2 : 1; lines > 0; --lines)
      left.remove_prefix(left.find('\n') + 1);
  }
  FUZZ_CHECK(read == expected);
  if (host.acted) {  // only actions change a simulator; an idle one only in its faults
    host.simulator->ClearFaults();
    FUZZ_CHECK(!initialized || (host.simulator->Term() == 0 && Initialize(*host.simulator)));
  }
  sim::Reply reply;
  FUZZ_CHECK(sim::ParseReply(answer, &reply) == sim::ReplyRead::kComplete);
  FUZZ_CHECK(reply.listing || answer.find('\n') == answer.size() - 1);
  FUZZ_CHECK(sim::UnescapeText(sim::EscapeText(line)) == line);

  sim::Request request, reread;
  std::string error;
  if (!sim::ParseRequest(line, &request, &error)) return;
  FUZZ_CHECK(sim::ParseRequest(sim::RequestLine(request.verb, request.words), &reread, &error) &&
             reread.verb == request.verb && reread.words == request.words && reread.on == request.on &&
             std::equal(request.numbers, request.numbers + 3, reread.numbers));
}
