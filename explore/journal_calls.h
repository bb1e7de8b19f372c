// The simulator's journal read into the calls the tool made of the device
// library (each with its records, status and out value) and the
// notifications posted. Internal to the agreement oracle; window-free.
#ifndef REVEDIZ_EXPLORE_JOURNAL_CALLS_H
#define REVEDIZ_EXPLORE_JOURNAL_CALLS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "explore/line_readers.h"

namespace explore::detail {

enum class Call { kInitialize, kOpen, kClose, kIoctl, kRead, kWrite, kTerm, kVersion, kOther };

string_view ApiName(Call call);

struct JournalCall {
  Call call = Call::kOther;
  std::size_t line = 0;
  string_view header;
  std::vector<string_view> args, rets;  // each record's "NAME = VALUE"
  bool hasStatus = false, hasOut = false;
  std::vector<string_view> data;  // a read's bytes as the journal shows them (the first 256), hex pairs
  long long status = 0, out = 0;
};

struct Post {
  std::size_t line = 0;
  std::uint32_t message = 0, wParam = 0, lParam = 0, window = 0;
};

struct Journal {
  std::vector<JournalCall> calls;
  std::vector<Post> posts;
};

Journal ReadJournal(const std::vector<string>& lines);

}  // namespace explore::detail

#endif  // REVEDIZ_EXPLORE_JOURNAL_CALLS_H
