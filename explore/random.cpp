#include "explore/random.h"

namespace explore {

std::uint64_t Random::Next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

std::uint64_t Random::Below(std::uint64_t n) {
  if (n == 0) return 0;
  // Draws below `least` are dropped: the 2^64 - least values left are a
  // whole multiple of n, so every remainder is equally likely.
  const std::uint64_t least = (0 - n) % n;
  for (;;) {
    const std::uint64_t r = Next();
    if (r >= least) return r % n;
  }
}

bool Random::Chance(int percent) { return static_cast<int>(Below(100)) < percent; }

std::int64_t Random::Between(std::int64_t least, std::int64_t most) {
  if (most <= least) return least;
  const std::uint64_t span = static_cast<std::uint64_t>(most) - static_cast<std::uint64_t>(least);
  const std::uint64_t offset = span == UINT64_MAX ? Next() : Below(span + 1);
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(least) + offset);
}

}  // namespace explore
