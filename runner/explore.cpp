// revediz-run --explore: see explore.h.
#include "runner/explore.h"

#include <cstdio>
#include <algorithm>
#include <fstream>

#include "explore/domains.h"
#include "explore/random.h"
#include "explore/session.h"
#include "explore/shrink.h"
#include "runner/control_steps.h"
#include "runner/explore_player.h"
#include "scenario/scenario.h"
#include "toolwindows/paths.h"

namespace runner {
namespace {

using explore::Chunks;

// A recording from the session's first Initialize on (CONTROL.md).
constexpr const char* kRecordFromStart = "file vavuro32.rec \"explore\"";
// The recording, written as the tool ends.
const std::string kRecording = "session-1.scn";
// The session's end: the tool left idle and told to exit must end with 0.
// Its last step names the oracle of a tool that does not end.
const std::vector<std::string> kEnding = {"dismiss", "exit", "expect exit 0"};
const std::string& kEndingOracle = kEnding.back();

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return static_cast<bool>(out.flush());
}

std::vector<std::string> Flatten(const Chunks& chunks) {
  std::vector<std::string> lines;
  for (const auto& chunk : chunks) lines.insert(lines.end(), chunk.begin(), chunk.end());
  return lines;
}

std::string ScenarioText(const std::string& head, const std::vector<std::string>& lines) {
  std::string text = head;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// The progress line, rewritten in place.
class Progress {
 public:
  explicit Progress(std::uint64_t seed) : seed_(seed), started_(GetTickCount64()) {}
  double Seconds() const { return static_cast<double>(GetTickCount64() - started_) / 1000.0; }
  double Rate(std::int64_t steps) const { return Seconds() > 0 ? static_cast<double>(steps) / Seconds() : 0; }
  void Show(std::int64_t steps, int violations, bool last = false) {
    const ULONGLONG now = GetTickCount64();
    if (!last && now - shown_ < 1000) return;
    shown_ = now;
    std::printf("\rexplore seed %llu: %lld steps, %.1f a second, %d violations%s",
                static_cast<unsigned long long>(seed_), static_cast<long long>(steps), Rate(steps), violations,
                last ? "\n" : "   ");
    std::fflush(stdout);
  }

 private:
  std::uint64_t seed_;
  ULONGLONG started_;
  ULONGLONG shown_ = 0;
};

std::optional<Violation> PlayEnding(Player& player) {
  std::string why;
  for (const std::string& line : kEnding) {
    if (!player.Play(line, &why)) {
      return Violation{kEndingOracle, "the tool did not end when told to; " + why};
    }
  }
  return std::nullopt;
}

// The name every file of the exploration starts with: "explore-S".
std::string Stem(const ExploreOptions& o) { return "explore-" + std::to_string(o.bounds.seed); }

// revediz-run on a scenario file, as a user would run it; its output kept.
// Every step of a recording is meant to pass, so its waits are a user's
// (or the longer ones asked for), not the short wait of random steps.
bool Replay(const ExploreOptions& o, const std::string& scenario, CtlRun* result) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, sizeof self);
  std::string why;
  const DWORD waitMs = std::max(o.run.timeoutMs, driver::kDefaultTimeoutMs);
  const std::vector<std::string> words = {"--tool", o.run.toolDir, "--work", o.run.workParent, "--out", o.run.outDir,
                                          "--timeout", std::to_string(waitMs), scenario};
  constexpr DWORD kReplayBoundMs = 30 * 60 * 1000;
  if (!RunCtl(self, words, o.run.outDir, kReplayBoundMs, result, &why)) {
    result->output = why;
    return false;
  }
  return true;
}

// Plays `lines` in a fresh tool, checking `oracle` (and that the tool is
// alive) after each; the lines that played, and the violation if one came.
struct Replayed {
  std::vector<std::string> played;
  std::optional<Violation> violation;
};

Replayed PlayFresh(const ExploreOptions& o, const std::vector<std::string>& lines, const std::string& oracle) {
  Replayed replayed;
  Options options = o.run;
  options.scenarioPath = "explore-shrink.scn";
  Player player(options);
  // After a crash, Wine's debugger can stay about and make even a fresh
  // tool look held by one: such a replay proves nothing either way.
  if (!player.Play("start") || player.run().ToolCrashed()) return replayed;
  const bool ending = oracle == kEndingOracle;
  std::vector<std::string> oracles = {OracleLines().front()};
  if (!ending && oracle != oracles.front()) oracles.push_back(oracle);
  for (const std::string& line : lines) {
    if (player.Play(line)) replayed.played.push_back(line);
    if ((replayed.violation = player.Check(oracles))) break;
  }
  if (ending && !replayed.violation) replayed.violation = PlayEnding(player);
  return replayed;
}

// Shrinks a session whose `oracle` failed; writes explore-S-min.scn and
// checks that revediz-run fails it at the oracle's line.
void ShrinkAndWrite(const ExploreOptions& o, const Chunks& chunks, const Violation& first) {
  const std::string stem = Stem(o);
  int tries = 0;
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(o.bounds.shrinkMinutes) * 60 * 1000;
  const auto fails = [&](const std::vector<std::string>& lines) {
    if (GetTickCount64() > deadline) return false;  // time is up: what is shrunk so far stays
    ++tries;
    const Replayed replayed = PlayFresh(o, lines, first.oracle);
    return replayed.violation && replayed.violation->oracle == first.oracle;
  };
  std::printf("shrinking %zu steps (at most %d replays) ...\n", Flatten(chunks).size(), o.shrinkTries);
  std::fflush(stdout);
  const explore::ShrinkResult shrunk = explore::Shrink(chunks, fails, o.shrinkTries);
  if (!shrunk.failed) {
    std::printf("the violation did not show again in %d replays in a fresh tool (it depends on timing, or on "
                "what the crash left behind); the session as played is %s.scn\n",
                tries, stem.c_str());
    return;
  }
  const Replayed last = PlayFresh(o, shrunk.lines, first.oracle);
  std::vector<std::string> lines = {"start"};
  lines.insert(lines.end(), last.played.begin(), last.played.end());
  const bool ending = first.oracle == kEndingOracle;
  if (ending) {
    lines.insert(lines.end(), kEnding.begin(), kEnding.end());
  } else {
    lines.push_back(first.oracle);
  }
  // The report on one comment line: the texts it quotes may hold line ends.
  std::string report = first.report;
  for (std::size_t at; (at = report.find_first_of("\r\n")) != std::string::npos;) {
    report.replace(at, 1, report[at] == '\r' ? "\\r" : "\\n");
  }
  const std::string head = "# Found by revediz-run --explore --seed " + std::to_string(o.bounds.seed) + ": " +
                           first.oracle + " failed.\n# " + report + "\n# Shrunk from " +
                           std::to_string(Flatten(chunks).size()) + " steps in " + std::to_string(tries) +
                           " replays; it passes once the fault is mended.\n";
  const std::string path = winpath::Join(o.run.outDir, stem + "-min.scn");
  WriteText(path, ScenarioText(head, lines));
  std::printf("shrunk to %zu steps in %d replays: %s\n", lines.size(), tries, path.c_str());
  std::printf("%s", ScenarioText(head, lines).c_str());
  CtlRun check;
  const bool ran = Replay(o, path, &check);
  // The oracle's step is the last line; a tool that does not end may
  // already fail at one of the ending's steps before it.
  const std::size_t lastLine = std::count(head.begin(), head.end(), '\n') + lines.size();
  std::string failedAt;
  for (std::size_t line = ending ? lastLine - kEnding.size() + 1 : lastLine; line <= lastLine; ++line) {
    const std::string at = "line " + std::to_string(line);
    if (ran && check.exitCode == 1 && check.output.find(at + " failed") != std::string::npos) failedAt = at;
  }
  const bool same = !failedAt.empty();
  std::printf("revediz-run %s: %s\n", path.c_str(),
              same ? ("fails at " + failedAt + ", the oracle's step").c_str()
                   : "does NOT fail at the oracle's step (the fault depends on timing; the scenario is kept)");
}

// The round trip: the recording of the session replays green. The files
// made odd before the recording began are made so before its start.
std::optional<Violation> RoundTrip(const ExploreOptions& o, Player& player, const std::vector<std::string>& before) {
  driver::Revediz& app = *player.run().app;
  if (!app.FileExists(kRecording)) return Violation{"round trip", "the recording " + kRecording + " was not written"};
  const std::string recording = winpath::Join(o.run.outDir, Stem(o) + "-session.scn");
  std::string text = app.ReadFile(kRecording);
  const std::size_t start = text.find("\nstart\n");
  if (start != std::string::npos) text.insert(start + 1, ScenarioText("", before));
  if (!WriteText(recording, text)) return Violation{"round trip", "cannot write " + recording};
  CtlRun replay;
  const bool ran = Replay(o, recording, &replay);
  const std::string transcript = winpath::Join(o.run.outDir, Stem(o) + "-session.log");
  WriteText(transcript, replay.output);
  if (ran && replay.exitCode == 0) return std::nullopt;
  // The failed step's report: from its line to the screen dump.
  const std::size_t failed = replay.output.find("   FAILED");
  const std::size_t from = failed == std::string::npos ? 0 : replay.output.rfind('\n', failed) + 1;
  const std::size_t to = replay.output.find("--- screen", from);
  return Violation{"round trip", "the recording " + recording + " does not replay (" + transcript + "):\n" +
                                     replay.output.substr(from, to == std::string::npos ? 2000 : to - from)};
}

}  // namespace

int Explore(const ExploreOptions& o) {
  const ExploreBounds& b = o.bounds;
  explore::Vocabulary vocabulary;
  std::string why;
  if (!explore::LoadVocabulary(o.run.toolDir, &vocabulary, &why)) {
    std::printf("explore: the resource lists cannot be read: %s\n", why.c_str());
    return 2;
  }
  explore::Random random(b.seed);
  Options options = o.run;
  options.scenarioPath = Stem(o) + ".scn";
  Player player(options);
  if (!player.Play(kRecordFromStart) || !player.Play("start", &why)) {
    std::printf("explore: the tool cannot be started: %s\n", why.c_str());
    return 2;
  }
  Progress progress(b.seed);
  Chunks chunks;
  std::int64_t steps = 0;
  std::optional<Violation> violation;
  std::vector<std::string> oddBefore;  // files made odd before the recording began
  while ((b.steps == 0 || steps < b.steps) && (b.minutes == 0 || progress.Seconds() < 60.0 * b.minutes)) {
    chunks.push_back(explore::NextChunk(random, vocabulary));
    for (const std::string& line : chunks.back()) {
      player.Play(line);
      ++steps;
      // A file made odd is no step the recording can see: it is given to
      // the recording as one, or, before the recording began, kept to be
      // made so before the replay starts.
      if (line.rfind("file ", 0) == 0 && !player.Play("ctl record step " + scn::QuoteText(line))) {
        oddBefore.push_back(line);
      }
    }
    if ((violation = player.Check())) break;
    progress.Show(steps, 0);
  }
  if (!violation && (violation = PlayEnding(player))) {
    // A tool still there that crashed or hangs says more than that it did
    // not end.
    const bool there = player.run().app && player.run().app->Running();
    if (std::optional<Violation> dead = there ? player.Check({OracleLines().front()}) : std::nullopt) violation = dead;
  } else if (!violation) {
    violation = RoundTrip(o, player, oddBefore);
  }
  progress.Show(steps, violation ? 1 : 0, true);
  const std::string stem = Stem(o);
  if (!violation) {
    std::printf("explore seed %llu: PASS, %lld steps in %.0f s (%.1f a second), 0 violations; the recording "
                "replays green\n",
                static_cast<unsigned long long>(b.seed), static_cast<long long>(steps), progress.Seconds(),
                progress.Rate(steps));
    return 0;
  }
  std::printf("explore seed %llu: %s failed after %lld steps:\n  %s\n", static_cast<unsigned long long>(b.seed),
              violation->oracle.c_str(), static_cast<long long>(steps), violation->report.c_str());
  std::vector<std::string> session = {kRecordFromStart, "start"};
  const std::vector<std::string> flat = Flatten(chunks);
  session.insert(session.end(), flat.begin(), flat.end());
  WriteText(winpath::Join(o.run.outDir, stem + ".scn"),
            ScenarioText("# revediz-run --explore --seed " + std::to_string(b.seed) + ": the session as played\n",
                         session));
  // The tool of the session goes before the replays start: one that crashed
  // is held by a debugger, which must not outlive into them.
  player.run().app.reset();
  // After a crash Wine's debugger stays about in this Wine session, and the
  // tools started later in it can look held by one too: the replays could
  // not judge, so a crash is not shrunk here (replay the session file in a
  // fresh session, or shrink it by hand).
  const bool crashed = violation->report.find("crashed") != std::string::npos;
  if (crashed) std::printf("not shrunk: a crash leaves Wine's debugger behind in this session\n");
  if (!crashed && violation->oracle != "round trip") {
    ShrinkAndWrite(o, chunks, *violation);
  }
  std::printf("FAIL explore seed %llu: %s\n", static_cast<unsigned long long>(b.seed), violation->oracle.c_str());
  return 1;
}

}  // namespace runner
