// revediz-run --explore: a random session against the tool on the
// simulator, drawn from the scenario language (explore/session.h), with the
// oracles checked after every chunk of steps (runner/oracle_steps.cpp):
//
//   expect alive       the tool runs, its window answers, nothing crashed
//   expect log-forms   every log line has one of the tool's line forms
//   expect agreement   the log and the simulator's journal agree
//   expect bounded     boxes, USER and GDI objects and memory stay bounded
//
// and, at the end, the round trip: the session was recorded as it ran
// (vavuro32.rec), and the recording replays green with revediz-run.
//
// On a violation the session so far is written as explore-S.scn, shrunk
// (explore/shrink.h) by replaying candidates in a fresh tool as long as the
// same oracle fails, and written as explore-S-min.scn: the steps that
// played, then the oracle's step, so that the file fails with revediz-run
// for the same reason and passes once the fault is mended.
#ifndef REVEDIZ_RUNNER_EXPLORE_H
#define REVEDIZ_RUNNER_EXPLORE_H

#include <cstdint>
#include <string>

#include "runner/command_line.h"
#include "runner/run.h"

namespace runner {

struct ExploreOptions {
  Options run;           // tool folder, working folders, --out, --timeout
  ExploreBounds bounds;  // seed, steps or minutes, the shrinking's time
  int shrinkTries = 200;  // replays the shrinking may take
};

// Explores; prints progress on one line and a summary. Exit status 0 when no
// oracle failed, 1 when one did (the shrunk scenario printed), 2 when the
// tool could not be started at all.
int Explore(const ExploreOptions& options);

}  // namespace runner

#endif  // REVEDIZ_RUNNER_EXPLORE_H
