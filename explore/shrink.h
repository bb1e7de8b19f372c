// Shrinking a failing explorer session to a small one that still fails,
// window-free. The session comes as its chunks (session.h); `fails` replays
// candidate lines in a fresh tool and says whether the fault still shows,
// which takes seconds, so a budget of tries bounds the work.
//
// In order, while the budget lasts: chunks are dropped as delta debugging
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
  bool failed = false;             // the whole session failed (else lines is it, unchanged)
  int tries = 0;                   // calls of the predicate
  std::size_t linesBefore = 0;
  std::size_t linesAfter = 0;
};

// At most `budget` calls of `fails`; the first is the whole session. When
// that one does not fail (or the budget is 0) the session is given back as
// it came.
ShrinkResult Shrink(const Chunks& chunks, const FailPredicate& fails, int budget);

}  // namespace explore

#endif  // REVEDIZ_EXPLORE_SHRINK_H
