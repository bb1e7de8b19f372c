// The explorer's sessions, window-free: random scenario lines
// (runner/SCENARIOS.md) drawn chunk by chunk, and simpler forms of a line
// for shrinking a failing session (shrink.h).
//
// A chunk is a few lines that belong together:
//   - a command dialog: its menu command, `dialog "CAPTION"`, steps on that
//     dialog's own controls with values from the domains (domains.h), its
//     buttons, then `dismiss`, which leaves the tool idle whatever came up;
//   - one simulator action through the control pipe (`bench VERB ...`),
//     some of whose values are out of range, which the simulator refuses;
//   - now and then a resource list file of the working folder made odd
//     (`file NAME TEXT`): a long line, no final newline or binary bytes
//     after the entries it held, so the entries a later `select` names are
//     still in the list.
// Steps that are sent to a dialog (set, select, radio) come before those
// that are posted (select-posted, click), so a replay does them in the same
// order: a posted click can be overtaken by a later sent step.
#ifndef REVEDIZ_EXPLORE_SESSION_H
#define REVEDIZ_EXPLORE_SESSION_H

#include <string>
#include <vector>

#include "explore/domains.h"
#include "explore/random.h"

namespace explore {

// The next chunk of a session. Every line reads with scn::ParseScenario.
std::vector<std::string> NextChunk(Random& random, const Vocabulary& vocabulary);

// Simpler forms of one line, simplest first: a set's value made empty,
// "0", "1", half as long or one character shorter; a bench request's
// numbers 0, 1, a tenth, half or one nearer 0, its texts so shortened (or
// left out where the request allows); a file's text so shortened and its
// "times" smaller. Each form reads with scn::ParseScenario and is simpler
// than the line (Complexity); none for a line that has no simpler form.
std::vector<std::string> Simpler(const std::string& line);

// What "simpler" compares: the total length of the words' texts, then the
// line itself (shorter first, then by byte). Strictly smaller for every form
// Simpler gives, so repeated simplification ends.
struct Complexity {
  std::size_t length;
  std::string line;
  auto operator<=>(const Complexity&) const = default;
};
Complexity ComplexityOf(const std::string& line);

}  // namespace explore

#endif  // REVEDIZ_EXPLORE_SESSION_H
