#include "explore/shrink.h"

#include <algorithm>
#include <set>

#include "explore/session.h"

namespace explore {
namespace {

using Lines = std::vector<std::string>;

class Shrinker {
 public:
  Shrinker(const FailPredicate& fails, int budget) : fails_(fails), budget_(budget) {}

  // Whether `lines` still fails; false once the budget is spent or for a
  // candidate tried before (it did not fail then, or it would be kept).
  bool Fails(const Lines& lines) {
    if (tries_ >= budget_ || !tried_.insert(lines).second) return false;
    ++tries_;
    return fails_(lines);
  }
  bool Spent() const { return tries_ >= budget_; }
  int Tries() const { return tries_; }

  // Delta debugging over the items of `items`, each standing for its lines:
  // the items are cut into n parts, and the removal of each part kept while
  // the rest still fails; n doubles while no removal is kept, until parts
  // are single items. True when anything was removed.
  bool DropParts(std::vector<Lines>* items) {
    bool changed = false;
    std::size_t n = 2;
    while (!items->empty() && !Spent()) {
      n = std::min(n, items->size());
      bool removed = false;
      for (std::size_t part = 0; part < n && !removed; ++part) {
        const std::size_t begin = items->size() * part / n;
        const std::size_t end = items->size() * (part + 1) / n;
        std::vector<Lines> rest(items->begin(), items->begin() + static_cast<std::ptrdiff_t>(begin));
        rest.insert(rest.end(), items->begin() + static_cast<std::ptrdiff_t>(end), items->end());
        if (Fails(Flatten(rest))) {
          *items = std::move(rest);
          removed = changed = true;
        }
      }
      if (removed) {
        n = n > 2 ? n - 1 : 2;
      } else {
        if (n >= items->size()) break;
        n = std::min(n * 2, items->size());
      }
    }
    return changed;
  }

  // Each line in turn replaced by its simplest form that still fails, again
  // and again while one does.
  bool SimplifyLines(Lines* lines) {
    bool changed = false;
    for (std::size_t i = 0; i < lines->size() && !Spent(); ++i) {
      bool simpler = true;
      while (simpler && !Spent()) {
        simpler = false;
        for (const std::string& form : Simpler((*lines)[i])) {
          Lines candidate = *lines;
          candidate[i] = form;
          if (Fails(candidate)) {
            *lines = std::move(candidate);
            simpler = changed = true;
            break;
          }
          if (Spent()) break;
        }
      }
    }
    return changed;
  }

  static Lines Flatten(const std::vector<Lines>& items) {
    Lines lines;
    for (const Lines& item : items) lines.insert(lines.end(), item.begin(), item.end());
    return lines;
  }

 private:
  const FailPredicate& fails_;
  int budget_;
  int tries_ = 0;
  std::set<Lines> tried_;
};

std::vector<Lines> Singles(const Lines& lines) {
  std::vector<Lines> items;
  for (const std::string& line : lines) items.push_back({line});
  return items;
}

}  // namespace

ShrinkResult Shrink(const Chunks& chunks, const FailPredicate& fails, int budget) {
  ShrinkResult result;
  result.lines = Shrinker::Flatten(chunks);

  Shrinker shrinker(fails, budget);
  // A fault mostly comes from the last steps before the oracle failed, and
  // each try replays its lines from a fresh start: the last 1, 2, 4, ...
  // chunks are tried first, and the shortest of them that fails is where
  // the delta debugging starts (the whole session when none does).
  std::size_t keep = 1;
  while (keep < chunks.size() && !shrinker.Fails(Shrinker::Flatten({chunks.end() - static_cast<std::ptrdiff_t>(keep), chunks.end()}))) {
    keep *= 2;
  }
  result.failed = keep < chunks.size() || shrinker.Fails(result.lines);
  if (result.failed) {
    std::vector<Lines> items(chunks.end() - static_cast<std::ptrdiff_t>(std::min(keep, chunks.size())), chunks.end());
    for (bool changed = true; changed && !shrinker.Spent();) {
      changed = shrinker.DropParts(&items);
      std::vector<Lines> lines = Singles(Shrinker::Flatten(items));
      changed = shrinker.DropParts(&lines) || changed;
      Lines flat = Shrinker::Flatten(lines);
      changed = shrinker.SimplifyLines(&flat) || changed;
      items = Singles(flat);
    }
    result.lines = Shrinker::Flatten(items);
  }
  result.tries = shrinker.Tries();
  return result;
}

}  // namespace explore
