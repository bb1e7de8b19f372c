#include "explore/journal_calls.h"

namespace explore::detail {

// ---- The journal ----------------------------------------------------------

constexpr string_view kApiNames[] = {"PosInitialize", "PosOpen", "PosClose", "PosIoctl",
                                     "PosRead",       "PosWrite", "PosTerm", "PosVersion", "?"};
constexpr string_view kEntryNames[] = {"DLL_PosInitialize", "DLL_PosOpen", "DLL_PosClose",
                                       "DLL_PosIOCtl",      "DLL_PosRead", "DLL_PosWrite",
                                       "DLL_PosTerm",       "DLL_PosVersion"};
static_assert(std::size(kEntryNames) == static_cast<std::size_t>(Call::kOther));

string_view ApiName(Call call) { return kApiNames[static_cast<int>(call)]; }

namespace {

Call EntryCall(string_view header) {
  const string_view word = header.substr(0, header.find(' '));
  for (std::size_t i = 0; i < std::size(kEntryNames); ++i) {
    if (word == kEntryNames[i]) return static_cast<Call>(i);
  }
  return Call::kOther;
}

// "  TAG[i] NAME = VALUE" as the i-th record of list; other lines are not.
bool TakeRecord(string_view line, string_view tag, std::vector<string_view>& list) {
  if (!TakeLiteral(line, tag)) return false;
  long long index = 0;
  if (!TakeInt(line, &index) || !TakeLiteral(line, "] ")) return false;
  if (index != static_cast<long long>(list.size())) return false;
  list.push_back(line);
  return true;
}

bool ReadPost(string_view line, Post* post) {
  return TakeLiteral(line, "  # posted 0x") && TakeHex(line, &post->message) &&
         TakeLiteral(line, " wParam=0x") && TakeHex(line, &post->wParam) &&
         TakeLiteral(line, " lParam=0x") && TakeHex(line, &post->lParam) &&
         TakeLiteral(line, " to 0x") && TakeHex(line, &post->window) && line.empty();
}

}  // namespace

Journal ReadJournal(const std::vector<string>& lines) {
  Journal journal;
  bool inCall = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const string_view line = WithoutCr(lines[i]);
    Post post;
    if (ReadPost(line, &post)) {
      post.line = i;
      journal.posts.push_back(post);
      continue;
    }
    if (line.starts_with("DLL_")) {
      JournalCall call;
      call.call = EntryCall(line);
      call.line = i;
      call.header = line;
      journal.calls.push_back(call);
      inCall = true;
      continue;
    }
    if (!line.starts_with("  ")) {  // a bench action or a line of another kind
      inCall = false;
      continue;
    }
    if (!inCall) continue;
    JournalCall& call = journal.calls.back();
    if (TakeRecord(line, "  arg[", call.args) || TakeRecord(line, "  ret[", call.rets)) continue;
    string_view rest = line;
    if (!call.hasStatus && TakeLiteral(rest, "  -> ") && TakeInt(rest, &call.status)) {
      call.hasStatus = true;
      call.hasOut = TakeLiteral(rest, " out=") && TakeInt(rest, &call.out);
      if (call.hasOut && TakeLiteral(rest, " data=")) {
        while (rest.size() >= 2 && rest.substr(0, 2).find_first_not_of("0123456789ABCDEF") == string_view::npos) {
          call.data.push_back(rest.substr(0, 2));
          rest.remove_prefix(2);
          if (!TakeLiteral(rest, " ")) break;
        }
      }
    }
  }
  return journal;
}

}  // namespace explore::detail
