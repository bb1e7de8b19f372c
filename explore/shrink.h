// Shrinking a failing explorer session to a small one that still fails,
// window-free. The session comes as its chunks (session.h); `fails` replays
// candidate lines in a fresh tool and says whether the fault still shows,
// which takes seconds, so a budget of tries bounds the work.
//
// First the last 1, 2, 4, ... chunks are tried alone (a fault mostly comes
// from the steps just before the oracle failed, and a short candidate
// replays fast); the shortest that fails is shrunk further, else the whole
// session. Then, in order, while the budget lasts: chunks are dropped as delta debugging
// does (halves, then quarters, ... down to single chunks, each part's
// removal tried in turn and kept while the session still fails); then single
// lines alike; then each line is made simpler (session.h, Simpler), its
// simplest failing form kept. The three are repeated while one of them
// still changes something. Each candidate is tried at most once; the
// result is the same for the same input and predicate.
#ifndef REVEDIZ_EXPLORE_SHRINK_H
#define REVEDIZ_EXPLORE_SHRINK_H

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace explore {

using Chunks = std::vector<std::vector<std::string>>;
using FailPredicate = std::function<bool(const std::vector<std::string>& lines)>;

struct ShrinkResult {
  std::vector<std::string> lines;  // the smallest failing session found
  bool failed = false;             // the session failed (else lines is it, unchanged)
  int tries = 0;                   // calls of the predicate
};

// At most `budget` calls of `fails`. When no suffix and not the whole
// session fails (or the budget is 0) the session is given back as it came.
ShrinkResult Shrink(const Chunks& chunks, const FailPredicate& fails, int budget);

}  // namespace explore

#endif  // REVEDIZ_EXPLORE_SHRINK_H
