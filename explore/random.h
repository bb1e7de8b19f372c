// The explorer's random numbers: a small seeded generator that gives the
// same sequence for a seed on every compiler, platform and word size, so a
// session found with --seed S is found again with it anywhere. It is
// SplitMix64 (a 64-bit counter stepped by the golden ratio, then mixed), and
// every derived draw is plain integer arithmetic on its output: none of the
// standard library's distributions, whose results differ between libraries.
#ifndef REVEDIZ_EXPLORE_RANDOM_H
#define REVEDIZ_EXPLORE_RANDOM_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace explore {

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  // The next 64 bits.
  std::uint64_t Next();

  // 0 to n - 1, each equally likely (0 when n is 0).
  std::uint64_t Below(std::uint64_t n);

  // True with the given chance in percent (0: never, 100 or more: always).
  bool Chance(int percent);

  // least to most, both included (least when most is below it).
  std::int64_t Between(std::int64_t least, std::int64_t most);

  // One of the items, each equally likely; items must not be empty.
  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Below(items.size()))];
  }
  template <typename T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[static_cast<std::size_t>(Below(N))];
  }

 private:
  std::uint64_t state_;
};

}  // namespace explore

#endif  // REVEDIZ_EXPLORE_RANDOM_H
