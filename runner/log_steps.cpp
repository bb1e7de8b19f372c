// Steps on the log (read as the tool shows it, through the run's
// transcript) and on the simulator's journal.
#include "runner/run.h"
#include "runner/steps.h"

namespace runner {
namespace {

std::string LogLineName(std::size_t index) { return "log line " + std::to_string(index + 1); }

// The lines from `first` on.
Lines Rest(const Lines& lines, std::size_t first) {
  return Lines(lines.begin() + static_cast<std::ptrdiff_t>(std::min(first, lines.size())), lines.end());
}

bool Matches(const std::string& line, const std::string& expected, bool contains) {
  return contains ? line.find(expected) != std::string::npos : line == expected;
}

void ExpectLogLine(Run& run, const Step& step, bool contains) {
  run.App(step);
  const std::string expected = run.Text(step.args[0]);
  const Lines& lines = run.WaitLogBeyond(run.logCursor);
  const std::string shownExpected = contains ? "a line holding " + scn::ShowText(expected) : scn::ShowText(expected);
  if (lines.size() <= run.logCursor) {
    throw Mismatch{LogLineName(run.logCursor), shownExpected,
                   "no such line (the log has " + std::to_string(lines.size()) + " lines)"};
  }
  const std::string& actual = lines[run.logCursor];
  if (!Matches(actual, expected, contains)) throw Mismatch{LogLineName(run.logCursor), shownExpected, scn::ShowText(actual)};
  ++run.logCursor;
}

void ExpectJournal(Run& run, const Step& step, bool contains) {
  driver::Revediz& app = run.App(step);
  const std::string expected = run.Text(step.args[0]);
  Lines lines;
  std::size_t at = 0;
  const bool seen = driver::PollUntil([&] {
    lines = app.Journal();
    for (at = run.journalCursor; at < lines.size(); ++at) {
      if (Matches(lines[at], expected, contains)) return true;
    }
    return false;
  }, run.timeout());
  if (!seen) {
    throw Mismatch{"journal from line " + std::to_string(run.journalCursor + 1),
                   (contains ? "a line holding " : "a line ") + scn::ShowText(expected),
                   ShowLines(Rest(lines, run.journalCursor))};
  }
  run.journalCursor = at + 1;
}

}  // namespace

void OnExpectLog(Run& run, const Step& step) { ExpectLogLine(run, step, false); }
void OnExpectLogContains(Run& run, const Step& step) { ExpectLogLine(run, step, true); }

void OnExpectLogFind(Run& run, const Step& step) {
  run.App(step);
  const std::string expected = run.Text(step.args[0]);
  std::size_t at = run.logCursor;
  const bool seen = driver::PollUntil([&] {
    const Lines& lines = at < run.transcript.size() ? run.transcript : run.Log();
    for (; at < lines.size(); ++at) {
      if (lines[at] == expected) return true;
    }
    return false;
  }, run.timeout());
  if (!seen) {
    throw Mismatch{"log from line " + std::to_string(run.logCursor + 1), "a line " + scn::ShowText(expected),
                   ShowLines(Rest(run.transcript, run.logCursor))};
  }
  run.logCursor = at + 1;
}

void OnExpectLogEnd(Run& run, const Step& step) {
  run.App(step);
  driver::PollUntil([&] { return run.Log().size() > run.logCursor; }, Run::kSettleMs);
  const Lines& lines = run.Log();
  if (lines.size() > run.logCursor) {
    throw Mismatch{"log after line " + std::to_string(run.logCursor), "no more lines", ShowLines(Rest(lines, run.logCursor))};
  }
}

void OnSkipLog(Run& run, const Step& step) {
  run.App(step);
  const auto count = static_cast<std::size_t>(Run::Number(step.args[0]));
  if (count == 0) return;
  const Lines& lines = run.WaitLogBeyond(run.logCursor + count - 1);
  if (lines.size() < run.logCursor + count) {
    throw Mismatch{"log", std::to_string(run.logCursor + count) + " lines or more",
                   std::to_string(lines.size()) + " lines"};
  }
  run.logCursor += count;
}

void OnExpectJournal(Run& run, const Step& step) { ExpectJournal(run, step, false); }
void OnExpectJournalContains(Run& run, const Step& step) { ExpectJournal(run, step, true); }

void OnExpectJournalEnd(Run& run, const Step& step) {
  Lines lines;
  driver::PollUntil([&] { return (lines = run.App(step).Journal()).size() > run.journalCursor; }, Run::kSettleMs);
  if (lines.size() > run.journalCursor) {
    throw Mismatch{"journal after line " + std::to_string(run.journalCursor), "no more lines",
                   ShowLines(Rest(lines, run.journalCursor))};
  }
}

void OnExpectJournalCount(Run& run, const Step& step) {
  const std::string text = run.Text(step.args[0]);
  std::int64_t count = 0;
  for (const std::string& line : run.App(step).Journal()) count += line.find(text) != std::string::npos ? 1 : 0;
  if (count != Run::Number(step.args[1])) {
    throw Mismatch{"journal lines holding " + scn::ShowText(text), step.args[1].text, std::to_string(count)};
  }
}

}  // namespace runner
