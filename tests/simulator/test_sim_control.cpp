// The control pipe's line protocol (words, escapes, requests, replies) and the answers to its requests.
#include <fstream>
#include <iterator>
#include <map>
#include <tuple>
#include <utility>

#include "simulator/bench_ids.h"
#include "simulator/bench_request.h"
#include "simulator/bench_state.h"
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
      {"scan \"\"", {"scan", ""}, ""}, {"", {}, ""}, {"keys \"abc", {}, "text not closed by \""},
      {"keys \"a\"b", {}, "a blank must follow the closing \""},
      {"keys \"\\q\"", {}, "unknown escape \\q (known: \\\" \\\\ \\n \\r \\t \\xHH)"},
      {"keys \"\\x4\"", {}, "unknown escape \\x (known: \\\" \\\\ \\n \\r \\t \\xHH)"},
      {"keys \"\\", {}, "text not closed by \""}};
  for (const auto& c : kCases) {
    std::vector<std::string> words{"stale"};
    std::string error;
    const bool ok = sim::SplitLine(c.line, &words, &error);  // a refused line's words are not looked at
    EXPECT_EQ(std::tuple(ok, error, ok ? words : c.words), std::tuple(!*c.error, std::string(c.error), c.words)) << c.line;
  }
  // Any word, quoted for a line, reads back as itself, a plain word bare; a reply text escapes every byte that could
  // break a line and unescapes to itself.
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  for (const std::string& word : {std::string("PosMsr"), std::string(), std::string("a b"), std::string("\"x"), all.substr(1)}) {
    std::vector<std::string> words;
    std::string error;
    ASSERT_TRUE(sim::SplitLine("v " + sim::QuoteWord(word), &words, &error)) << error;
    EXPECT_EQ(words, (std::vector<std::string>{"v", word}));
  }
  EXPECT_EQ(sim::QuoteWord("PosMsr") + sim::QuoteWord("a b") + sim::QuoteWord("\x7F\x80"), "PosMsr\"a b\"\"\\x7F\x80\"");
  EXPECT_EQ(sim::EscapeText("a\\b\r\n\t\x01\x1F\x7F\x80\"~"), "a\\\\b\\r\\n\\t\\x01\\x1F\\x7F\x80\"~");
  EXPECT_EQ(sim::UnescapeText("\\q \\x4 \\x6a\\xz4\\") + "|" + sim::UnescapeText(std::string_view("\\x41", 3)) + "|" + sim::UnescapeText("\\r\\n"),
            "\\q \\x4 j\\xz4\\|\\x4|\r\n");  // an escape cut short by the end of the text too
  EXPECT_EQ(sim::SplitLines("ab\r\ncd\r\n\r\ne"), (std::vector<std::string>{"ab", "cd", "", "e"}));
  EXPECT_EQ(sim::EscapeText(all).find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(sim::UnescapeText(sim::EscapeText(all)), all);
  EXPECT_EQ(sim::ControlPipeName(4242), "\\\\.\\pipe\\vavuro32-4242");
}

TEST(ControlLine, RequestsAreCheckedWordByWord) {
  using namespace std::string_view_literals;
  using enum sim::Verb;
  const struct {
    std::string_view line;
    const char* error;  // "": the line reads
    sim::Verb verb = {};
    std::int32_t n0 = 0, n1 = 0;
    std::vector<std::string> words = {};  // as read, where given
  } kCases[] = {
      {"swipe", "", kSwipe}, {"touch 0x7fffffff -2147483648", "", kTouch, 0x7FFFFFFF, INT32_MIN},
      {"touch 1 \"\\x32\"", "", kTouch, 1, 2},  // only the word after "record stop" or "step" is verbatim
      {"weight 4294967295", "", kWeight, -1}, {"fault PosMsr short 0", "", kFault, 5},
      {"fault \"\" 9 -1", "", kFault, 9, -1}, {"burst PosScale 3", "", kBurst, 3}, {"journal 0", "", kJournal},
      {"frobnicate", "unknown verb \"frobnicate\""}, {"SWIPE", "unknown verb \"SWIPE\""}, {"   ", "empty line"},
      {"swipe a b", "swipe takes 0 to 1 words, not 2"}, {"keys", "keys takes 1 word, not 0"},
      {"record stop a b", "record takes 1 to 2 words, not 3"},
      {"record step", "record takes start, stop and a file name, or step and a scenario line"},
      {"keys \"a\\x00b\"", "a word cannot hold a NUL byte (\\x00)"},
      {"keys a\0b"sv, "a word cannot hold a NUL byte (\\x00)"},
      {"keys \"\\\0\""sv, "unknown escape \\\\x00 (known: \\\" \\\\ \\n \\r \\t \\xHH)"},
      {"swipe \"\"", "swipe takes tracks, or no words for the test card"},
      {"scan \"\"", "scan takes a label, or no words for the test label"}, {"keys \"\"", "keys takes at least one key"},
      {"record stop \"a\x1f\"", "a file name cannot hold control characters"}, {"state x", "state takes 0 words, not 1"},
      {"weight 4294967296", "weight: not a number: \"4294967296\""},
      {"weight -2147483649", "weight: not a number: \"-2147483649\""}, {"touch 1 0x", "touch: not a number: \"0x\""},
      {"weight 12a", "weight: not a number: \"12a\""}, {"weight -", "weight: not a number: \"-\""},
      {"weight 1x5", "weight: not a number: \"1x5\""},
      {"fault PosMsr melt 1", "fault kinds are error, overclaim, overrun, offline, short, not \"melt\""},
      {"paper-out yes", "paper-out takes on or off, not \"yes\""},
      // The file of "record stop" and the line of "record step" read as typed: only \\ and \" are escapes in them.
      {"record step \"file a \\\"x\\r\\\"\"", "", kRecord, 0, 0, {"step", "file a \"x\\r\""}},
      {"record stop C:\\temp\\s.scn", "", kRecord, 0, 0, {"stop", "C:\\temp\\s.scn"}},
      {"record stop \"C:\\temp\\new\\x41.scn\"", "", kRecord, 0, 0, {"stop", "C:\\temp\\new\\x41.scn"}},
      {"record stop \"\\\\\\\\server\\share\\\"q\\\".scn\"", "", kRecord, 0, 0, {"stop", "\\\\server\\share\"q\".scn"}}};
  for (const auto& c : kCases) {
    sim::Request request;
    std::string error;
    ASSERT_EQ(sim::ParseRequest(c.line, &request, &error), !*c.error) << c.line << ": " << error;
    EXPECT_EQ(error, c.error) << c.line;
    EXPECT_TRUE(*c.error || (std::tuple(request.verb, request.numbers[0], request.numbers[1]) == std::tuple(c.verb, c.n0, c.n1)
                             && (c.words.empty() || request.words == c.words))) << c.line;
  }
}

// vavuro-ctl's command line makes the request, each option refused as a wrong command line.
TEST(ControlLine, TheCommandLine) {
  using sim::CtlArgs;
  const struct {
    std::vector<std::string> args;
    const char* lineOrWhy;
    CtlArgs result = CtlArgs::kWrong;
    unsigned long pid = 0;
  } kArgs[] = {
      {{}, "no verb"}, {{"--pid"}, "--pid takes a process id (1 or more), not nothing"}, {{"--pid", "7"}, "no verb"},
      {{"--pid=7", "state"}, "unknown option \"--pid=7\""},
      {{"--pid", "0", "state"}, "--pid takes a process id (1 or more), not \"0\""},
      {{"--pid", "-3", "state"}, "--pid takes a process id (1 or more), not \"-3\""},
      {{"--pid", "4294967296", "state"}, "--pid takes a process id (1 or more), not \"4294967296\""},
      {{"--pid", "5", "--pid", "6", "state"}, "--pid given twice"}, {{"-x", "state"}, "unknown option \"-x\""},
      {{"--foo"}, "unknown option \"--foo\""}, {{"--help"}, "", CtlArgs::kHelp}, {{"-h"}, "", CtlArgs::kHelp},
      {{"--pid", "4294967295", "state"}, "state", CtlArgs::kRequest, 4294967295UL},
      {{"weight", "-5"}, "weight \"-5\"", CtlArgs::kRequest},
      {{"keys", "12\\r", "a\"b c"}, "keys \"12\\r\" \"a\\\"b c\"", CtlArgs::kRequest},
      {{"record", "stop", "C:\\temp\\s.scn"}, "record \"stop\" C:\\temp\\s.scn", CtlArgs::kRequest},
      {{"record", "stop", "C:\\My Files\\s.scn"}, "record \"stop\" \"C:\\\\My Files\\\\s.scn\"", CtlArgs::kRequest},
      {{"record", "step", "file a \"x\\r\""}, "record \"step\" \"file a \\\"x\\\\r\\\"\"", CtlArgs::kRequest}};
  for (const auto& c : kArgs) {
    sim::CtlCommand command{99, "stale"};
    std::string why;
    ASSERT_EQ(sim::ParseCtlArgs(c.args, &command, &why), c.result) << c.lineOrWhy;
    EXPECT_EQ(std::tuple(c.result == CtlArgs::kRequest ? command.line : why, command.pid),
              std::tuple(std::string(c.lineOrWhy), c.pid));
  }
  for (const sim::VerbDef& def : sim::kVerbs) EXPECT_NE(std::string(sim::kCtlUsage).find(def.name), std::string::npos) << def.name;
}

TEST(ControlLine, RepliesAreReadWholeOrAwaited) {
  using enum ReplyRead;
  const struct {
    const char* bytes;
    ReplyRead read;
    bool ok, listing;
    const char* text;
    std::vector<std::string> lines = {};
    std::int32_t status = 0;
  } kCases[] = {
      {"ok\r\n", kComplete, true, false, ""}, {"ok", kIncomplete, false, false, ""},
      {"ok 2 lines\na\\tb\n", kIncomplete, true, true, "2 lines", {"a\tb"}},
      {"ok 2 lines\na\\tb\n\nend\n", kComplete, true, true, "2 lines", {"a\tb", ""}},
      {"ok 1 line\nx\nend\n", kComplete, true, true, "1 line", {"x"}}, {"ok 1 line\nx\n", kIncomplete, true, true, "1 line", {"x"}},
      {"ok 0 lines\nend\n", kComplete, true, true, "0 lines"}, {"ok 1 line\nx\nEND\n", kMalformed, true, true, "1 line", {"x"}},
      {"ok 1 lines\n", kComplete, true, false, "1 lines"}, {"ok 2 linesx\n", kComplete, true, false, "2 linesx"},
      {"ok 999999999 lines\nx\n", kIncomplete, true, true, "999999999 lines", {"x"}},
      {"ok 1000000000 lines\n", kComplete, true, false, "1000000000 lines"}, {"okay\n", kMalformed, false, false, ""},
      {"error 302 POSERR_SYS_NOT_INITIALIZED\n", kComplete, false, false, "302 POSERR_SYS_NOT_INITIALIZED", {}, 302},
      {"error 4404\n", kComplete, false, false, "4404", {}, 4404}, {"error 30x\n", kComplete, false, false, "30x"},
      {"error unknown verb \"a\\\\b\"\n", kComplete, false, false, "unknown verb \"a\\b\""}};
  for (const auto& c : kCases) {
    sim::Reply reply{true, "stale", true, {"stale"}, 7};  // what an earlier reply left
    const ReplyRead read = sim::ParseReply(c.bytes, &reply);
    EXPECT_EQ(std::tuple(read, reply.ok, reply.listing, reply.text, reply.lines, reply.status),
              std::tuple(c.read, c.ok, c.listing, std::string(c.text), c.lines, c.status)) << c.bytes;
  }
}

// The host of the tests: the fixture's simulator, a log and a journal of its own, a recorder that stops with
// `steps_` steps and keeps the file it was given.
class Control : public simtest::Sim, public sim::ControlHost {
 protected:
  std::int32_t Run(const std::function<std::int32_t(sim::Simulator&)>& call) override { return call(sim_); }
  bool LogLines(std::vector<std::string>* lines, std::string* why) override {
    return *lines = log_, *why = "no log", !log_.empty();
  }
  std::vector<std::string> JournalLines() override { return {"one", "two", "three"}; }
  bool StopRecording(const std::string& file, std::size_t* steps, std::string*) override {
    return file_ = file, *steps = steps_, true;
  }
  std::string Ask(const std::string& line) { return sim::Answer(line, *this); }
  std::vector<std::string> log_;
  std::size_t steps_ = 0;
  std::string file_;
};

TEST_F(Control, ListingsAnswerWhatTheBenchTheJournalAndTheLogHold) {
  EXPECT_EQ(Ask("swipe"), "error 302 POSERR_SYS_NOT_INITIALIZED\n");
  Init();
  EXPECT_EQ(Ask("paper-out on"), "ok\n");
  EXPECT_NE(sim::Answer("state", *this).find("PosPrinter   on line   0 open   paper out, cover shut\n"),
            std::string::npos);
  EXPECT_EQ(Ask("text PosDisplay"), "ok 2 lines\n                    \n                    \nend\n");
  EXPECT_EQ(Ask("text PosMsr"), "error PosMsr shows no text\n");
  EXPECT_EQ(Ask("journal 2"), "ok 2 lines\ntwo\nthree\nend\n");
  EXPECT_EQ(Ask("journal 9"), "ok 3 lines\none\ntwo\nthree\nend\n");
  EXPECT_EQ(Ask("log") + Ask("record start") + Ask("record step \"menu PosOpen\""),
            "error no log\nerror no recorder in this program\nerror no recorder in this program\n");
  log_ = {"Command-->  PosOpen(X)", "a\\b\r"};
  EXPECT_EQ(Ask("log"), "ok 2 lines\nCommand-->  PosOpen(X)\na\\\\b\\r\nend\n");
  for (const auto& [steps, reply] : {std::pair<std::size_t, const char*>{0, "ok 0 steps\n"}, {1, "ok 1 step\n"}, {2, "ok 2 steps\n"}}) {
    steps_ = steps;
    EXPECT_EQ(Ask("record stop \"C:\\Program Files\\s.scn\""), reply);
    EXPECT_EQ(file_, "C:\\Program Files\\s.scn");
  }
}

// Numbers outside what their device documents are refused with the range (the scale's as its MaxWeight stands),
// journaled as refused lines; the bench (Perform) gets POSERR_SYS_OUT_OF_BOUNDS for them and nothing happens. An
// unknown class is answered alike by every verb that takes one.
TEST_F(Control, ValuesOutsideTheirDevicesRangeAreRefused) {
  Init();
  const std::string k331 = "error 331 POSERR_SYS_INVALID_CLASS\n", grams = "error weight must be 0 to 15000 grams\n",
                    touch = "error touch X and Y must each be 0 to 65535\n",
                    code = "error fault error must be 0, -1 or a status the device API has a name for, not ";
  const struct { const char* line; std::string reply; } kCases[] = {
      {"weight 15000", "ok\n"}, {"weight 15001", grams}, {"weight -1", grams}, {"touch 65535 0", "ok\n"},
      {"touch 0 65535", "ok\n"}, {"touch -1 65535", touch}, {"touch 65536 0", touch}, {"touch 0 -1", touch},
      {"touch 0 65536", touch}, {"burst PosScale 0", "error burst count must be 1 to 10000\n"}, {"burst PosScale 1", "ok\n"},
      {"burst PosScale 10000", "ok\n"}, {"burst PosScale 10001", "error burst count must be 1 to 10000\n"},
      {"fault PosMsr error 306", "ok\n"}, {"fault PosMsr error -1", "ok\n"}, {"fault PosMsr error -5", code + "-5\n"},
      {"fault PosMsr error 0", "ok\n"}, {"fault PosMsr error 1", code + "1\n"},
      {"fault \"\" error 399", code + "399\n"}, {"fault Queue overclaim -1", "error fault overclaim must be 0 or more (bytes)\n"},
      {"fault PosMsr overrun -1", "error fault overrun must be 0 or more (bytes)\n"},
      {"fault PosMsr offline 2", "error fault offline must be 1 (off line) or 0 (back on line)\n"},
      {"fault PosMsr short -1", "ok\n"}, {"fault PosMsr short -2", "error fault short must be -1 (off) or 0 or more (bytes)\n"},
      {"burst Nonesuch 0", k331}, {"fault Nonesuch error -5", k331}, {"text Nonesuch", k331}, {"text PosSystem", k331},
      {"burst PosDevice 0", k331}};  // a target that is no device is refused before its count
  for (const auto& c : kCases) {
    Forget();
    EXPECT_EQ(Ask(c.line), c.reply) << c.line;
    if (c.reply.rfind("error ", 0) != 0 || c.reply == k331) continue;
    EXPECT_EQ(simtest::gJournal, std::string("BENCH control refused \"") + c.line + "\": " + c.reply.substr(6, c.reply.size() - 7) + "\r\n");
    sim::Request request;
    std::string why;
    ASSERT_TRUE(sim::ParseRequest(c.line, &request, &why)) << why;
    Forget();
    EXPECT_EQ(sim::Perform(request, sim_), 310) << c.line;
    EXPECT_EQ(simtest::gJournal + std::to_string(simtest::gPosts.size()), "0") << c.line;
  }
  sim_.ClearFaults();
  EXPECT_EQ(Set(Open("PosScale"), {{"MaxWeight", 500}}), 0);
  EXPECT_EQ(Ask("weight 501") + Ask("weight 500"), "error weight must be 0 to 500 grams\nok\n");
  EXPECT_EQ(Ask("touch 258 772"), "ok\n");
  std::int32_t status = -1;  // X and Y reach the touch screen as given
  EXPECT_EQ(Read(Open("PosTouch"), 4, &status), "\x02\x01\x04\x03");
}

// The bench's fields as a test sets them.
struct Fields : sim::BenchFields {
  Fields(std::map<int, std::string> t, bool c, int g) : texts(std::move(t)), checked(c), target(g) {}
  std::string Text(int id) const override { return texts.count(id) ? texts.at(id) : ""; }
  bool Checked(int) const override { return checked; }
  int Target() const override { return target; }
  std::map<int, std::string> texts;
  bool checked;  // every check box
  int target;
};

// Each bench button makes the pipe's request for it (none: refused for a field not a number); the bench performs
// it as the pipe answers it, to the same status, journal and notifications, the first line journaling the action.
TEST_F(Control, EachBenchButtonMakesThePipesRequestWithTheSameEffect) {
  const Fields fields[] = {{{{IDC_BENCH_TRACKS, ";41 2?"}, {IDC_BENCH_SYMBOLOGY, "]A0"}, {IDC_BENCH_LABEL, "C"},
                             {IDC_BENCH_GRAMS, " 500 g"}, {IDC_BENCH_KEYS, "1\\r\\q"}, {IDC_BENCH_TOUCH_X, "300"},
                             {IDC_BENCH_TOUCH_Y, "7"}, {IDC_BENCH_ERROR_CODE, "306 POSERR_SYS_HW_ERROR"},
                             {IDC_BENCH_OVERRUN, "64"}, {IDC_BENCH_BURST_COUNT, "2"}}, true, sim::FindClass("PosMsr")},
                           {{{IDC_BENCH_GRAMS, "5g"}, {IDC_BENCH_BURST_COUNT, "2"}}, false, sim::kQueueTarget},
                           {{{IDC_BENCH_OVERCLAIM, "9"}}, false, -2}};
  const struct { int fields, id; const char *action, *line, *journal; std::int32_t status; } kCases[] = {
      {0, IDC_BENCH_SWIPE, "Swipe", "swipe \";41 2?\"", "PosMsr swipe length=6", 0},
      {0, IDC_BENCH_SCAN, "Scan", "scan ]A0C", "PosScanner scan length=4", 0},
      {0, IDC_BENCH_PLACE, "Place weight", "weight 500", "PosScale weight grams=500", 0},
      {1, IDC_BENCH_PLACE, "Place weight", nullptr, nullptr, 0},
      {1, IDC_BENCH_REMOVE, "Remove weight", "weight 0", "PosScale weight grams=0", 0},
      {0, IDC_BENCH_PRESS, "Type", "keys \"1\\r\\\\q\"", "PosKeyboard keys length=4", 0},
      {0, IDC_BENCH_TOUCH, "Touch", "touch 300 7", "PosTouch touch length=4", 0},
      {1, IDC_BENCH_TOUCH, "Touch", nullptr, nullptr, 0},
      {0, IDC_BENCH_CLOSE_DRAWER, "Close drawer", "close-drawer", "PosDrawer close", 0},
      {0, IDC_BENCH_PAPER_OUT, "Paper out", "paper-out on", "PosPrinter paper out", 0},
      {1, IDC_BENCH_PAPER_OUT, "Paper loaded", "paper-out off", "PosPrinter paper loaded", 0},
      {0, IDC_BENCH_COVER_OPEN, "Cover open", "cover-open on", "PosPrinter cover open", 0},
      {1, IDC_BENCH_COVER_OPEN, "Cover shut", "cover-open off", "PosPrinter cover shut", 0},
      {0, IDC_BENCH_PRINTER_ERROR, "Printer error", "printer-error", "PosPrinter printer error", 0},
      {0, IDC_BENCH_OFFLINE, "Off line PosMsr", "fault PosMsr offline 1", "fault PosMsr offline=1", 0},
      {1, IDC_BENCH_ONLINE, "On line Queue", "fault Queue offline 0", "fault queue offline=0", 316},
      {1, IDC_BENCH_SET_ERROR, "Error code Queue", nullptr, nullptr, 0},
      {0, IDC_BENCH_SET_ERROR, "Error code PosMsr", "fault PosMsr error 306", "fault PosMsr error=306", 0},
      {2, IDC_BENCH_SET_OVERCLAIM, "Read claims ?", "fault ? overclaim 9", "fault ? overclaim=9", 331},
      {0, IDC_BENCH_SET_OVERRUN, "Read overrun PosMsr", "fault PosMsr overrun 64", "fault PosMsr overrun=64", 0},
      {1, IDC_BENCH_SWIPE, "Swipe", "swipe", "PosMsr swipe length=89", 0},  // the test card
      {1, IDC_BENCH_BURST, "Burst Queue", "burst Queue 2", "? burst count=2", 331},
      {0, IDC_BENCH_CLEAR_FAULTS, "Clear faults", "clear-faults", "faults cleared", 0},
      {0, IDC_BENCH_TRACKS}, {0, IDC_BENCH_STOP}};
  sim::BenchRequest asked;  // one for all: nothing of the last request may stay
  for (const auto& c : kCases) {
    ASSERT_EQ(c.action != nullptr, sim::MakeBenchRequest(c.id, fields[c.fields], &asked)) << c.id;
    if (c.action == nullptr) continue;
    EXPECT_EQ(std::tuple(asked.action, asked.line, std::string(asked.refused ? asked.refused : "")),
              std::tuple(c.action, c.line ? c.line : "", c.line ? "" : "not a number"));
    if (c.line == nullptr) continue;
    std::string effects[2];  // the bench's, the pipe's
    for (int pipe = 0; pipe < 2; ++pipe) {
      sim_.ClearFaults(), Init(), Open("PosMsr"), Forget();
      sim::Request request;
      sim::Reply reply;
      std::string why;
      ASSERT_TRUE(sim::ParseRequest(asked.line, &request, &why)) << why;
      const std::int32_t status = pipe ? (sim::ParseReply(Ask(asked.line), &reply), reply.status) : sim::Perform(request, sim_);
      effects[pipe] = std::to_string(status) + " " + simtest::gJournal + std::to_string(simtest::gPosts.size());
    }
    EXPECT_EQ(effects[0], effects[1]);
    const std::string status = std::to_string(c.status), ends = c.id == IDC_BENCH_CLEAR_FAULTS ? "" : "  -> " + status;
    EXPECT_EQ(effects[0].rfind(status + " BENCH " + c.journal + "\r\n", 0), 0u) << effects[0];
    EXPECT_NE(effects[0].find(ends + "\r\n"), std::string::npos) << effects[0];
  }
}

TEST_F(Control, RefusedLinesAreJournaledShortenedAndSessionsBoundEachLine) {
  EXPECT_EQ(Ask("frobnicate now"), "error unknown verb \"frobnicate\"\n");
  EXPECT_EQ(Ask("journal -1"), "error journal takes a count of 0 or more\n");
  EXPECT_EQ(sim::AnswerOverlong(std::string(10240, 'x'), *this), "error line longer than 4096 bytes\n");
  EXPECT_EQ(Ask("keys \"" + std::string(100, 'k')), "error text not closed by \"\n");
  EXPECT_EQ(simtest::gJournal,
            "BENCH control refused \"frobnicate now\": unknown verb \"frobnicate\"\r\n"
            "BENCH control refused \"journal -1\": journal takes a count of 0 or more\r\n"
            "BENCH control refused \"" + std::string(80, 'x') + "...\": line longer than 4096 bytes\r\n"
            "BENCH control refused \"keys \"" + std::string(74, 'k') + "...\": text not closed by \"\r\n");
  // A connection: each line must be finished within 2 s of connecting or of the last reply, however the bytes
  // trickle in; a line is answered as too long once past 4096 bytes, without waiting for its end, and the rest of
  // it is dropped; a raw NUL is refused, not cut.
  using namespace std::string_view_literals;
  sim::ControlSession session(*this, 0xFFFFF000u);  // the tick count wraps meanwhile
  EXPECT_EQ(session.Take("jour", 0xFFFFF000u + 900), "");
  EXPECT_EQ(session.Left(0xFFFFF000u + 900), 1100u);
  EXPECT_EQ(session.Take("nal 1\r\njournal 0\nj", 0xFFFFF000u + 1999), "ok 1 line\nthree\nend\nok 0 lines\nend\n");
  const std::uint32_t replied = 0xFFFFF000u + 1999 + 300;
  session.Replied(replied);
  for (std::uint32_t t = 1; t < 2000; t += 500) EXPECT_EQ(session.Take("o", replied + t), "");
  EXPECT_EQ(session.Left(replied + 1999), 1u);
  EXPECT_EQ(session.Left(replied + 2000), 0u);

  sim::ControlSession lines(*this, 0);
  const std::string longest = "journal" + std::string(4088, ' ') + "0";  // 4096 bytes
  EXPECT_EQ(lines.Take(longest + "\r", 1), "");
  EXPECT_EQ(lines.Take("\n", 2), "ok 0 lines\nend\n");
  Forget();
  EXPECT_EQ(lines.Take(longest + "x", 3), "error line longer than 4096 bytes\n");
  EXPECT_EQ(lines.Left(3), 2000u);
  EXPECT_EQ(lines.Take(std::string(70000, 'y'), 4), "");
  EXPECT_EQ(lines.Take("y\njournal 0\nkeys a\0b\n"sv, 5),
            "ok 0 lines\nend\nerror a word cannot hold a NUL byte (\\\\x00)\n");
  EXPECT_EQ(simtest::gJournal.substr(0, 32), "BENCH control refused \"journal  ");
  EXPECT_NE(simtest::gJournal.find("...\": line longer than 4096 bytes\r\nBENCH control refused \"keys a\\x00b\": a word"),
            std::string::npos) << simtest::gJournal;
}

// The journal lines of this library instance: whole lines from its blocks (CR LF or LF ended), the last 100,000.
TEST(ControlJournal, KeepsTheLastLinesWrittenAndSavesTheLogCrLfEnded) {
  sim::JournalMemory memory;
  memory.Add("a\r\nb");
  EXPECT_EQ(memory.Last(5), std::vector<std::string>{"a"});
  memory.Add("c\r\n\r\nd\n");
  EXPECT_EQ(memory.Last(5), (std::vector<std::string>{"a", "bc", "", "d"}));
  EXPECT_EQ(memory.Last(2), (std::vector<std::string>{"", "d"}));
  std::string block;
  for (int i = 0; i < 100001; ++i) block += std::to_string(i) + "\r\n";
  memory.Add(block);
  const std::vector<std::string> kept = memory.Last(200000);
  ASSERT_EQ(kept.size(), 100000u);
  EXPECT_EQ(kept.front() + " to " + kept.back(), "1 to 100000");
  // The bench's saved log: each line CR LF ended, the file made anew; a path that cannot be made says so.
  const std::string path = ::testing::TempDir() + "saved-log.txt";
  std::string why;
  for (const auto& [lines, bytes] : {std::pair<std::vector<std::string>, std::string>{{" a ", "", "b\r"}, " a \r\n\r\nb\r\r\n"},
                                     {{}, ""}}) {
    ASSERT_TRUE(sim::WriteLogFile(path, lines, &why)) << why;
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bytes);
  }
  EXPECT_FALSE(sim::WriteLogFile(::testing::TempDir() + "no-such-dir/x.txt", {"a"}, &why));
  EXPECT_EQ(why.rfind("cannot make " + ::testing::TempDir() + "no-such-dir/x.txt: ", 0), 0u) << why;
#ifndef _WIN32  // a full disk, where one is at hand
  EXPECT_FALSE(sim::WriteLogFile("/dev/full", {"a"}, &why));
  EXPECT_EQ(why, "cannot write /dev/full whole");
#endif
}

}  // namespace
