// The session recorder: typed events in, the scenario's steps out, exactly.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "simulator/control_serve.h"
#include "simulator/recorder.h"

namespace {

using F = sim::RecordedField;
using Events = std::function<void(sim::Recorder&)>;

constexpr char kHeader[] = "# Recorded by hand on W, build B.\n# Replay: revediz-run FILE\nstart\n";

TEST(Recorder, EventsBecomeTheSteps) {
  const F handle{F::kEdit, 224, "", false}, text{F::kRadio, 231, "", true}, file{F::kRadio, 232, "", false};
  const F type{F::kChoice, 205, "Hex         ", false};
  const struct { const char* what; Events events; const char* steps; } kCases[] = {
      {"menu names, Exit, any other number (none past 16 bits), the close box",
       [](sim::Recorder& r) { for (int id : {100, 101, 102, 103, 104, 105, 107, 4242, -1, 0, 65535, 65536}) r.Menu(id);
                              r.CloseMain(), r.ToolEnded(0); },
       "menu PosInitialize\nmenu PosOpen\nmenu PosClose\nmenu PosIoctl\nmenu PosRead\nmenu PosWrite\nexit\nmenu 4242\nmenu 0\n"
       "menu 65535\n"
       "close\nexpect exit 0\n"},
      {"only changed fields; a radio newly on; the press's own changes expected; Cancel",
       [&](sim::Recorder& r) {
         r.DialogOpened(1, "POS Write", {handle, text, file, type});
         r.Pressed(1, 1, {{F::kEdit, 224, "3", false}, {F::kRadio, 231, "", false}, {F::kRadio, 232, "", true}, type});
         r.PressDone(1, {{F::kEdit, 224, "4", false}, {F::kRadio, 231, "", false}, {F::kRadio, 232, "", true}, type}, true);
         r.Pressed(1, 9999, {{F::kEdit, 224, "4", false}, text, file, {F::kChoice, 205, "Dec         ", false}});
         r.PressDone(1, {{F::kEdit, 224, "x", false}}, false);
         r.Pressed(1, 2, {{F::kEdit, 224, "changed", false}});
       },
       "dialog \"POS Write\"\nset IDC_HANDLE \"3\"\nradio IDC_FILE_MODE\nclick OK\nexpect field IDC_HANDLE \"4\"\n"
       "radio IDC_TEXT_MODE\nselect IDC_TYPE \"Dec         \"\nclick 9999\ncancel\n"},
      {"a list's entry selected; a field the opening did not show is set; a radio still on is not pressed",
       [&](sim::Recorder& r) { r.DialogOpened(1, "POS Open", {text}), r.Pressed(1, 207, {type, {F::kEdit, 206, "", false}, text}); },
       "dialog \"POS Open\"\nselect IDC_TYPE \"Hex         \"\nset IDC_VALUE \"\"\nclick IDC_ADD_RESOURCE\n"},
      {"after a list entry chosen, a field showing what it showed at opening is set too (the choice refilled it)",
       [](sim::Recorder& r) {
         r.DialogOpened(1, "POS Ioctl", {{F::kEdit, 224, "1", false}, {F::kChoice, 229, "A", false}, {F::kEdit, 204, "X", false}});
         r.Pressed(1, 207, {{F::kEdit, 224, "1", false}, {F::kChoice, 229, "B", false}, {F::kEdit, 204, "X", false}});
       },
       "dialog \"POS Ioctl\"\nselect IDC_REQUEST \"B\"\nset IDC_RESOURCE \"X\"\nclick IDC_ADD_RESOURCE\n"},
      {"back in an outer dialog after an inner one; unknown dialogs and boxes pass",
       [](sim::Recorder& r) {
         r.DialogOpened(1, "A", {}), r.DialogOpened(2, "B", {}), r.DialogOpened(2, "B", {});
         r.Pressed(2, 1, {}), r.DialogClosed(2), r.Pressed(1, 1, {}), r.Pressed(3, 1, {}), r.BoxClosed(7);
         r.Pressed(2, 1, {});  // a closed dialog is gone
       },
       "dialog \"A\"\ndialog \"B\"\nclick OK\ndialog \"A\"\nclick OK\n"},
      {"a Cancel pressed while a box shows (the dialog goes only after it) is a click, not a cancel that waits; fields are not Cancel's",
       [](sim::Recorder& r) { r.DialogOpened(1, "A", {}), r.BoxShown(5, "B", "b"), r.Pressed(1, 2, {{F::kEdit, 224, "x", false}}), r.BoxClosed(5); },
       "dialog \"A\"\nexpect box \"B\" \"b\"\nclick Cancel\nok\n"},
      {"boxes in order with the log lines before them, each ok once",
       [](sim::Recorder& r) { r.LogLine("x"), r.BoxShown(5, "Cap", "say \"hi\""), r.BoxShown(6, "", "\r\n"), r.BoxClosed(6);
                              r.BoxClosed(5), r.BoxClosed(5); },
       "expect log \"x\"\nexpect box \"Cap\" \"say \\\"hi\\\"\"\nexpect box \"\" \"\\r\\n\"\nok\nok\n"},
      {"the window handle standing alone in either form (at a text's end, whatever follows it); escapes",
       [](sim::Recorder& r) {
         r.LogLine("               (0x10076)  "), r.LogLine("h=00010076."), r.LogLine("110076 100761 0x100760");
         r.LogLine(std::string_view("10076a", 5)), r.LogLine("a\tb\\c\x01\x7F\xE9#"), r.LogLine("0X10076 ax10076 0x00010076");
         r.LogLine("910076 A10076 Z10076 a10076 z10076 100760 10076A");
         r.LogLine("(65654) 0x65654 165654 656541 65654");  // decimal, standing alone, not after 0x
       },
       "expect log \"               (0x${hwnd})  \"\nexpect log \"h=${hwnd8}.\"\n"
       "expect log \"110076 100761 0x100760\"\nexpect log \"${hwnd}\"\nexpect log \"a\\tb\\\\c\\x01\\x7F\xE9#\"\n"
       "expect log \"0X${hwnd} ax10076 0x${hwnd8}\"\n"
       "expect log \"910076 A10076 Z10076 a10076 z10076 100760 10076A\"\n"
       "expect log \"(${hwnd-dec}) 0x65654 165654 656541 ${hwnd-dec}\"\n"},
      {"bench lines re-quoted, with their status; listings, record and refused lines left out",
       [](sim::Recorder& r) {
         r.Bench("swipe \";41 1\"", 0), r.Bench("fault \"\" offline 1", 0), r.Bench("burst returns 5", 331);
         r.Bench("keys #1", 0), r.Bench("keys \"\\r\"", 0), r.Bench("state", 0), r.Bench("log", 0);
         r.Bench("journal 3", 0), r.Bench("text PosDisplay", 0), r.Bench("record start", 0);
         r.Bench("frobnicate", 0), r.Bench("swipe \"open", 0);
       },
       "bench swipe \";41 1\"\nbench fault \"\" offline 1\nbench burst \"returns\" 5 returns 331\n"
       "bench keys \"#1\"\nbench keys \"\\r\"\n"}};
  for (const auto& c : kCases) {
    sim::Recorder recorder(0x10076);
    c.events(recorder);
    EXPECT_EQ(recorder.Scenario("W", "B"), kHeader + std::string(c.steps)) << c.what;
    std::size_t lines = 0;
    for (const char* at = c.steps; *at != '\0'; ++at) lines += *at == '\n';
    EXPECT_EQ(recorder.Steps(), lines) << c.what;
  }
}

// The pipe's record verb, and its actions handed to the host with their line before the reply.
class RecordingHost : public sim::ControlHost {
 public:
  std::int32_t Run(const std::function<std::int32_t(sim::Simulator&)>& call) override { return call(simulator); }
  bool LogLines(std::vector<std::string>*, std::string*) override { return false; }
  std::vector<std::string> JournalLines() override { return {}; }
  bool StartRecording(std::string* why) override { return *why = "a recording runs already", !std::exchange(on, true); }
  bool StopRecording(const std::string& file, std::size_t* steps, std::string* why) override {
    return *steps = file.size(), *why = "no recording runs", std::exchange(on, false);
  }
  std::int32_t Act(std::string_view line, const std::function<std::int32_t(sim::Simulator&)>& call) override {
    return recorder.Bench(line, Run(call)), 0;
  }
  bool RecordStep(const std::string& line, std::string*) override { return recorder.Line(line), true; }
  sim::Simulator simulator{sim::Platform{}};
  sim::Recorder recorder;
  bool on = false;
};

TEST(Recorder, PipeStartsStopsAndHandsOverItsActionsAndTakesOneLineSteps) {
  RecordingHost host;
  const std::string takes = "error record takes start, stop and a file name, or step and a scenario line\n";
  const std::pair<const char*, std::string> kExchanges[] = {{"record", "error record takes 1 to 2 words, not 0\n"},
      {"record stop", takes}, {"record stop \"\"", takes}, {"record step \"\"", takes},
      {"record stop a.scn", "error no recording runs\n"}, {"record start", "ok\n"},
      {"record start", "error a recording runs already\n"}, {"weight 5", "ok\n"}, {"journal 1", "ok 0 lines\nend\n"},
      {"record step \"file a.dat \\\"x\\\\x01\\\"\"", "ok\n"}, {"record stop a.scn", "ok 5 steps\n"}};
  for (const auto& [line, reply] : kExchanges) EXPECT_EQ(sim::Answer(line, host), reply) << line;
  host.recorder.LogLine("FFFFFFFF 0");  // a recorder told of no window keeps every text as it is
  EXPECT_EQ(host.recorder.Scenario("W", "B"),
            kHeader + std::string("bench weight 5 returns 302\nfile a.dat \"x\\x01\"\nexpect log \"FFFFFFFF 0\"\n"));
  // The header's texts stay on their comment line whatever bytes they hold.
  EXPECT_TRUE(host.recorder.Scenario("W\nx\x7F", "B\r\t").starts_with("# Recorded by hand on W x , build B  .\n"));
  // A step given whole through the pipe is one scenario step of one line; otherwise the reader's own error.
  for (const auto& [line, error] : {std::pair<const char*, const char*>{"file a.dat \"x\\x01\"", ""},
       {"menu PosOpen\nmenu PosOpen", "a step is one line"}, {"exit\r", "a step is one line"}, {"", "not a scenario step"},
       {"   ", "not a scenario step"}, {"# a comment", "not a scenario step"}}) EXPECT_EQ(sim::StepLineError(line), error) << line;
  EXPECT_NE(sim::StepLineError("frobnicate 1").find("frobnicate"), std::string::npos);
}

}  // namespace
