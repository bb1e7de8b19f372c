// The handlers of revediz-run's steps: one per row of the scenario
// language (scenario/steps.h), named On<Name>, so that a step without its
// handler does not link. They live in files by family:
//   tool_steps.cpp     the tool and its dialogs
//   box_steps.cpp      message boxes
//   log_steps.cpp      the log and the journal
//   file_steps.cpp     files, windows and pictures
//   control_steps.cpp  the simulator's bench and control pipe
//   run.cpp            repeats
#ifndef REVEDIZ_RUNNER_STEPS_H
#define REVEDIZ_RUNNER_STEPS_H

#include "scenario/scenario.h"

namespace runner {

class Run;

using Handler = void (*)(Run& run, const scn::Step& step);

#define REVEDIZ_RUNNER_HANDLER(Name, ...) void On##Name(Run& run, const scn::Step& step);
REVEDIZ_SCENARIO_STEPS(REVEDIZ_RUNNER_HANDLER)
#undef REVEDIZ_RUNNER_HANDLER

}  // namespace runner

#endif  // REVEDIZ_RUNNER_STEPS_H
