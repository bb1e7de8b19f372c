// The control pipe's line protocol (words, escapes, requests, replies) and the answers to its requests.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "simulator/control_line.h"
#include "simulator/control_serve.h"
#include "simulator/log_file.h"
#include "sim_fixture.h"

namespace {

using sim::ReplyRead;

TEST(ControlLine, WordsQuotesAndEscapesReadBackExactly) {
  const struct {
    const char* line;
    std::vector<std::string> words;  // empty with error: refused
    const char* error;
  } kCases[] = {
      {"  swipe \t\";41=25?\"  ", {"swipe", ";41=25?"}, ""},
      {"keys \"a b\\r\\x41\\\\\\\"\\t\\n\" x\"y", {"keys", "a b\rA\\\"\t\n", "x\"y"}, ""},
      {"scan \"\"", {"scan", ""}, ""},
      {"", {}, ""},
      {"keys \"abc", {}, "text not closed by \""},
      {"keys \"a\"b", {}, "a blank must follow the closing \""},
      {"keys \"\\q\"", {}, "unknown escape \\q (known: \\\" \\\\ \\n \\r \\t \\xHH)"},
      {"keys \"\\x4\"", {}, "unknown escape \\x (known: \\\" \\\\ \\n \\r \\t \\xHH)"},
      {"keys \"\\", {}, "text not closed by \""},
  };
  for (const auto& c : kCases) {
    std::vector<std::string> words{"stale"};
    std::string error;
    EXPECT_EQ(sim::SplitLine(c.line, &words, &error), c.error[0] == '\0') << c.line;
    EXPECT_EQ(error, c.error) << c.line;
    if (c.error[0] == '\0') {
      EXPECT_EQ(words, c.words) << c.line;
    }
  }
  // Any word, quoted for a line, reads back as itself; a plain word stays bare.
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  for (const std::string& word : {std::string("PosMsr"), std::string(), std::string("a b"), std::string("\"x"), all}) {
    std::vector<std::string> words;
    std::string error;
    ASSERT_TRUE(sim::SplitLine("v " + sim::QuoteWord(word), &words, &error)) << error;
    EXPECT_EQ(words, (std::vector<std::string>{"v", word}));
  }
  EXPECT_EQ(sim::QuoteWord("PosMsr"), "PosMsr");
  EXPECT_EQ(sim::QuoteWord("a b"), "\"a b\"");
}

TEST(ControlLine, ReplyTextsEscapeEveryByteThatCouldBreakALine) {
  EXPECT_EQ(sim::EscapeText("a\\b\r\n\t\x01\x1F\x7F\x80\"~"), "a\\\\b\\r\\n\\t\\x01\\x1F\\x7F\x80\"~");
  EXPECT_EQ(sim::UnescapeText("\\q \\x4 \\x6a\\"), "\\q \\x4 j\\");
  EXPECT_EQ(sim::UnescapeText("\\x4"), "\\x4");
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string escaped = sim::EscapeText(all);
  EXPECT_EQ(escaped.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(sim::UnescapeText(escaped), all);
  EXPECT_EQ(sim::ControlPipeName(4242), "\\\\.\\pipe\\vavuro32-4242");
}

TEST(ControlLine, RequestsAreCheckedWordByWord) {
  const struct {
    const char* line;
    bool good;
    sim::Verb verb;
    std::int32_t n0, n1;
    const char* error;
  } kCases[] = {
      {"swipe", true, sim::Verb::kSwipe, 0, 0, ""},
      {"touch 0x7fffffff -2147483648", true, sim::Verb::kTouch, 0x7FFFFFFF, INT32_MIN, ""},
      {"weight 4294967295", true, sim::Verb::kWeight, -1, 0, ""},
      {"fault PosMsr short 0", true, sim::Verb::kFault, 5, 0, ""},
      {"fault \"\" 9 -1", true, sim::Verb::kFault, 9, -1, ""},
      {"burst PosScale 3", true, sim::Verb::kBurst, 3, 0, ""},
      {"journal 0", true, sim::Verb::kJournal, 0, 0, ""},
      {"frobnicate", false, {}, 0, 0, "unknown verb \"frobnicate\""},
      {"SWIPE", false, {}, 0, 0, "unknown verb \"SWIPE\""},
      {"   ", false, {}, 0, 0, "empty line"},
      {"swipe a b", false, {}, 0, 0, "swipe takes 0 to 1 words, not 2"},
      {"keys", false, {}, 0, 0, "keys takes 1 words, not 0"},
      {"state x", false, {}, 0, 0, "state takes 0 words, not 1"},
      {"weight 4294967296", false, {}, 0, 0, "weight: not a number: \"4294967296\""},
      {"weight -2147483649", false, {}, 0, 0, "weight: not a number: \"-2147483649\""},
      {"touch 1 0x", false, {}, 0, 0, "touch: not a number: \"0x\""},
      {"weight 12a", false, {}, 0, 0, "weight: not a number: \"12a\""},
      {"fault PosMsr melt 1", false, {}, 0, 0, "fault kinds are error, overclaim, overrun, offline, short, not \"melt\""},
      {"paper-out yes", false, {}, 0, 0, "paper-out takes on or off, not \"yes\""},
  };
  for (const auto& c : kCases) {
    sim::Request request;
    std::string error;
    ASSERT_EQ(sim::ParseRequest(c.line, &request, &error), c.good) << c.line << ": " << error;
    EXPECT_EQ(error, c.error) << c.line;
    if (!c.good) continue;
    EXPECT_EQ(request.verb, c.verb) << c.line;
    EXPECT_EQ(request.numbers[0], c.n0) << c.line;
    EXPECT_EQ(request.numbers[1], c.n1) << c.line;
  }
  sim::Request request;
  std::string error;
  ASSERT_TRUE(sim::ParseRequest("cover-open on", &request, &error));
  EXPECT_TRUE(request.on);
  ASSERT_TRUE(sim::ParseRequest("paper-out off", &request, &error));
  EXPECT_FALSE(request.on);
}

TEST(ControlLine, RepliesAreReadWholeOrAwaited) {
  const struct {
    const char* bytes;
    ReplyRead read;
    bool ok, listing;
    const char* text;
    std::vector<std::string> lines;
    std::int32_t status;
  } kCases[] = {
      {"ok\r\n", ReplyRead::kComplete, true, false, "", {}, 0},
      {"ok", ReplyRead::kIncomplete, false, false, "", {}, 0},
      {"ok 2 lines\na\\tb\n", ReplyRead::kIncomplete, true, true, "2 lines", {"a\tb"}, 0},
      {"ok 2 lines\na\\tb\n\nend\n", ReplyRead::kComplete, true, true, "2 lines", {"a\tb", ""}, 0},
      {"ok 1 line\nx\nend\n", ReplyRead::kComplete, true, true, "1 line", {"x"}, 0},
      {"ok 1 line\nx\n", ReplyRead::kIncomplete, true, true, "1 line", {"x"}, 0},
      {"ok 0 lines\nend\n", ReplyRead::kComplete, true, true, "0 lines", {}, 0},
      {"ok 1 line\nx\nEND\n", ReplyRead::kMalformed, true, true, "1 line", {"x"}, 0},
      {"ok 1 lines\n", ReplyRead::kComplete, true, false, "1 lines", {}, 0},
      {"ok 2 linesx\n", ReplyRead::kComplete, true, false, "2 linesx", {}, 0},
      {"error 302 POSERR_SYS_NOT_INITIALIZED\n", ReplyRead::kComplete, false, false,
       "302 POSERR_SYS_NOT_INITIALIZED", {}, 302},
      {"error 4404\n", ReplyRead::kComplete, false, false, "4404", {}, 4404},
      {"error 30x\n", ReplyRead::kComplete, false, false, "30x", {}, 0},
      {"error unknown verb \"a\\\\b\"\n", ReplyRead::kComplete, false, false, "unknown verb \"a\\b\"", {}, 0},
      {"okay\n", ReplyRead::kMalformed, false, false, "", {}, 0},
  };
  for (const auto& c : kCases) {
    sim::Reply reply;
    EXPECT_EQ(sim::ParseReply(c.bytes, &reply), c.read) << c.bytes;
    EXPECT_EQ(reply.ok, c.ok) << c.bytes;
    EXPECT_EQ(reply.listing, c.listing) << c.bytes;
    EXPECT_EQ(reply.text, c.text) << c.bytes;
    EXPECT_EQ(reply.lines, c.lines) << c.bytes;
    EXPECT_EQ(reply.status, c.status) << c.bytes;
  }
}

// The host of the tests: the fixture's simulator, a log and a journal of its own.
class Control : public simtest::Sim, public sim::ControlHost {
 protected:
  std::int32_t Run(const std::function<std::int32_t(sim::Simulator&)>& call) override { return call(sim_); }
  bool LogLines(std::vector<std::string>* lines, std::string* why) override {
    *lines = log_;
    *why = "no log";
    return !log_.empty();
  }
  std::vector<std::string> JournalLines() override { return {"one", "two", "three"}; }
  std::string Ask(const std::string& line) { return sim::Answer(line, *this); }
  std::vector<std::string> log_;
};

TEST_F(Control, EachRequestActsOnTheSimulatorAndAnswersItsStatus) {
  EXPECT_EQ(Ask("swipe"), "error 302 POSERR_SYS_NOT_INITIALIZED\n");
  Init();
  const std::int32_t msr = Open("PosMsr");
  EXPECT_EQ(Ask("swipe \"%B1^A\\tB^2?\""), "ok\n");
  std::int32_t status = -1;
  EXPECT_EQ(Read(msr, 64, &status), "%B1^A\tB^2?");
  EXPECT_EQ(Ask("weight -5"), "error 310 POSERR_SYS_OUT_OF_BOUNDS\n");
  EXPECT_EQ(Ask("fault Nonesuch error 1"), "error 331 POSERR_SYS_INVALID_CLASS\n");
  EXPECT_EQ(Ask("fault PosMsr error 4404"), "ok\n");
  EXPECT_EQ(Read(msr, 64, &status), "");
  EXPECT_EQ(status, 4404);
  EXPECT_EQ(Ask("clear-faults"), "ok\n");
  EXPECT_EQ(Ask("burst PosScale 0"), "error 310 POSERR_SYS_OUT_OF_BOUNDS\n");
  EXPECT_EQ(Ask("paper-out on"), "ok\n");
  EXPECT_NE(sim::Answer("state", *this).find("PosPrinter   on line   0 open   paper out, cover shut\n"),
            std::string::npos);
  EXPECT_EQ(Ask("text PosDisplay"), "ok 2 lines\n                    \n                    \nend\n");
  EXPECT_EQ(Ask("text PosMsr"), "error PosMsr shows no text\n");
  EXPECT_EQ(Ask("journal 2"), "ok 2 lines\ntwo\nthree\nend\n");
  EXPECT_EQ(Ask("journal 9"), "ok 3 lines\none\ntwo\nthree\nend\n");
  EXPECT_EQ(Ask("log"), "error no log\n");
  log_ = {"Command-->  PosOpen(X)", "a\\b\r"};
  EXPECT_EQ(Ask("log"), "ok 2 lines\nCommand-->  PosOpen(X)\na\\\\b\\r\nend\n");
}

TEST_F(Control, RefusedLinesAreJournaledShortened) {
  EXPECT_EQ(Ask("frobnicate now"), "error unknown verb \"frobnicate\"\n");
  EXPECT_EQ(Ask("journal -1"), "error journal takes a count of 0 or more\n");
  EXPECT_EQ(sim::AnswerOverlong(10240, *this), "error line longer than 4096 bytes\n");
  EXPECT_EQ(Ask("keys \"" + std::string(100, 'k')), "error text not closed by \"\n");
  EXPECT_EQ(simtest::gJournal,
            "BENCH control refused \"frobnicate now\": unknown verb \"frobnicate\"\r\n"
            "BENCH control refused \"journal -1\": journal takes a count of 0 or more\r\n"
            "BENCH control refused a line of 10240 bytes: line longer than 4096 bytes\r\n"
            "BENCH control refused \"keys \"" + std::string(74, 'k') + "...\": text not closed by \"\r\n");
}

// The bench's saved log: each line CR LF ended, the file made anew; a path that cannot be made says so.
TEST(ControlLog, SavedLogHoldsEachLineCrLfEnded) {
  const std::string path = ::testing::TempDir() + "saved-log.txt";
  std::string why;
  for (const auto& [lines, bytes] : {std::pair<std::vector<std::string>, std::string>{{" a ", "", "b\r"}, " a \r\n\r\nb\r\r\n"},
                                     {{}, ""}}) {
    ASSERT_TRUE(sim::WriteLogFile(path, lines, &why)) << why;
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), bytes);
  }
  EXPECT_FALSE(sim::WriteLogFile(::testing::TempDir() + "no-such-dir/x.txt", {"a"}, &why));
  EXPECT_EQ(why.rfind("cannot make " + ::testing::TempDir() + "no-such-dir/x.txt: ", 0), 0u) << why;
}

}  // namespace
