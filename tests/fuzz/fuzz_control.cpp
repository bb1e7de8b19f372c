// The simulator's control protocol over any request line: the answer is always one whole reply, read back as
// such; words quoted for a line read back as themselves; escaped texts unescape to themselves; a request read,
// written out again, reads as the same request.
#include "simulator/control_line.h"
#include "simulator/control_serve.h"
#include "tests/fuzz/fuzz_harness.h"

namespace {

class Host : public sim::ControlHost {
 public:
  std::int32_t Run(const std::function<std::int32_t(sim::Simulator&)>& call) override { return call(simulator); }
  bool LogLines(std::vector<std::string>* lines, std::string*) override {
    *lines = {"Command-->  PosRead(1, [], 64)", "\r\n\\"};
    return true;
  }
  std::vector<std::string> JournalLines() override { return {"a", "b"}; }
  sim::Simulator simulator{sim::Platform{}};
};

}  // namespace

void FuzzOne(FuzzInput& input) {
  const bool initialized = input.ConsumeBool();
  const std::vector<std::uint8_t> bytes = input.Bytes();
  const std::string line(bytes.begin(), bytes.end());
  Host host;
  if (initialized) {
    ResourceArg queue{"queueHandle", 0x10010};
    FUZZ_CHECK(host.simulator.Initialize("REVEDIZ", "", &queue, 1) == 0);
  }
  const std::string answer = sim::Answer(line, host);
  sim::Reply reply;
  FUZZ_CHECK(sim::ParseReply(answer, &reply) == sim::ReplyRead::kComplete);
  FUZZ_CHECK(reply.listing || answer.find('\n') == answer.size() - 1);
  FUZZ_CHECK(sim::UnescapeText(sim::EscapeText(line)) == line);

  std::vector<std::string> words, again;
  std::string error;
  if (!sim::SplitLine(line, &words, &error)) return;
  std::string written;
  for (const std::string& word : words) written += sim::QuoteWord(word) + " ";
  FUZZ_CHECK(sim::SplitLine(written, &again, &error) && again == words);
  sim::Request request, reread;
  if (!sim::ParseRequest(line, &request, &error)) return;
  FUZZ_CHECK(sim::ParseRequest(written, &reread, &error) && reread.verb == request.verb &&
             reread.words == request.words && reread.on == request.on &&
             std::equal(request.numbers, request.numbers + 3, reread.numbers));
}
