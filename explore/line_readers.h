// The small readers the agreement oracle's parts share: literals, decimals
// and hexadecimals taken from the front of a line, and the numbers and
// references its reports write. Internal to the oracle; window-free.
#ifndef REVEDIZ_EXPLORE_LINE_READERS_H
#define REVEDIZ_EXPLORE_LINE_READERS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace explore::detail {

using std::string;
using std::string_view;

// ---- Small readers --------------------------------------------------------

inline string_view WithoutCr(const string& line) {
  string_view view = line;
  if (view.ends_with('\r')) view.remove_suffix(1);
  return view;
}

inline bool TakeLiteral(string_view& rest, string_view literal) {
  if (!rest.starts_with(literal)) return false;
  rest.remove_prefix(literal.size());
  return true;
}

// A signed decimal of at most 12 digits from the front of rest.
inline bool TakeInt(string_view& rest, long long* value) {
  std::size_t i = 0;
  const bool negative = !rest.empty() && rest[0] == '-';
  if (negative) ++i;
  long long v = 0;
  const std::size_t first = i;
  while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9' && i - first < 12) {
    v = v * 10 + (rest[i] - '0');
    ++i;
  }
  if (i == first || (i < rest.size() && rest[i] >= '0' && rest[i] <= '9')) return false;
  *value = negative ? -v : v;
  rest.remove_prefix(i);
  return true;
}

inline bool IsInt(string_view text, long long* value) { return TakeInt(text, value) && text.empty(); }

// One to eight hexadecimal digits, either case, from the front of rest.
inline bool TakeHex(string_view& rest, std::uint32_t* value) {
  std::size_t i = 0;
  std::uint32_t v = 0;
  for (; i < rest.size() && i < 9; ++i) {
    const char c = rest[i];
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (digit < 0) break;
    v = v << 4 | static_cast<std::uint32_t>(digit);
  }
  if (i == 0 || i > 8) return false;
  *value = v;
  rest.remove_prefix(i);
  return true;
}

inline std::int32_t As32(long long value) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(value)); }

inline string Decimal(long long value) { return std::to_string(value); }

inline string LineRef(std::size_t index) { return "log line " + Decimal(static_cast<long long>(index) + 1); }
inline string JournalLineRef(std::size_t index) {
  return "journal line " + Decimal(static_cast<long long>(index) + 1);
}

}  // namespace explore::detail

#endif  // REVEDIZ_EXPLORE_LINE_READERS_H
