#include "explore/agreement.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string_view>

#include "explore/journal_calls.h"
#include "explore/line_readers.h"
#include "explore/log_commands.h"
#include "explore/log_forms.h"

namespace explore {
namespace {

using namespace detail;

using std::string;
using std::string_view;

// ---- The check --------------------------------------------------------------

class Checker {
 public:
  Checker(const std::vector<string>& log, const std::vector<string>& journal)
      : journal_(ReadJournal(journal)), consumed_(log.size(), false) {
    log_.reserve(log.size());
    for (const string& line : log) log_.push_back(WithoutCr(line));
  }

  std::optional<Finding> Run() {
    for (std::size_t i = 0; i < log_.size() && !finding_; ++i) {
      if (!log_[i].starts_with("Command-->")) continue;
      consumed_[i] = true;
      Command command;
      if (!ParseCommand(log_[i], &command)) {
        Report("The log has a command line of no form the tool writes (" + LineRef(i) + ")",
               "a \"Command-->\" line of one of the six dialogs", string(log_[i]));
        break;
      }
      i = CheckCommand(i, command) - 1;
    }
    if (!finding_) CheckLeftoverCalls();
    if (!finding_) CheckNotifications();
    return finding_;
  }

 private:
  void Report(string what, string expected, string actual) {
    if (!finding_) finding_ = Finding{std::move(what), std::move(expected), std::move(actual)};
  }

  string NextCallText() const {
    if (nextCall_ >= journal_.calls.size()) return "no further DLL_ call in the journal";
    const JournalCall& call = journal_.calls[nextCall_];
    return string(call.header) + " (" + JournalLineRef(call.line) + ")";
  }

  bool IsNotificationLine(std::size_t i) const {
    return MatchLogForm(log_[i]).starts_with("notification.");
  }

  // Past the notification lines from `at` on (a box was showing).
  std::size_t SkipNotifications(std::size_t at) const {
    while (at < log_.size() && !consumed_[at] && IsNotificationLine(at)) ++at;
    return at;
  }

  // Checks the command at log line i; returns the line after what it used.
  std::size_t CheckCommand(std::size_t i, const Command& c) {
    const string name(ApiName(c.call));
    // Calls the binding answers itself, with the errno it gives them.
    long long selfError = 0;
    if (c.call == Call::kInitialize) {
      if (bound_) selfError = 304;
    } else if (!bound_) {
      selfError = 302;
    } else if (c.call == Call::kClose && c.handle == 0) {
      selfError = 311;
    }
    const bool echoes = c.call == Call::kInitialize || c.call == Call::kOpen || c.call == Call::kIoctl;
    std::size_t at = i + 1;

    // A library that cannot be loaded: the Initialize has no journal call,
    // and the report after its echo names the binding's own 337.
    if (c.call == Call::kInitialize && !bound_ && echoes) {
      const std::size_t after = EchoEnd(i + 1, c.count);
      if (after < log_.size() && log_[after].starts_with("  RC = -1, errno = (337) ")) selfError = 337;
    }

    const JournalCall* call = nullptr;
    if (selfError == 0) {
      if (nextCall_ >= journal_.calls.size() || journal_.calls[nextCall_].call != c.call) {
        Report("The log's " + name + " (" + LineRef(i) + ") has no call of its own in the journal: " +
                   "the next DLL_ call is not it",
               ImpliedCall(c), NextCallText());
        return log_.size();
      }
      call = &journal_.calls[nextCall_++];
      if (!CheckHeader(i, c, *call)) return log_.size();
    }

    // The argument lines, against the journal's records.
    if (echoes) {
      const std::vector<string_view>* records = call ? &call->args : nullptr;
      if (!CheckEcho(i, c, at, records, false)) return log_.size();
    }

    // The outcome: the binding's result rule over the journal's status and
    // out value, and each dialog's test for failure.
    long long result = 0, error = 0;
    bool errorKnown = true;
    if (selfError != 0) {
      result = -1;
      error = selfError;
    } else if (!call->hasStatus) {
      Report("The journal's " + string(call->header.substr(0, call->header.find(' '))) +
                 " for the log's " + name + " (" + LineRef(i) + ") has no status line",
             "a line \"  -> STATUS\" in the call's journal block", string(call->header));
      return log_.size();
    } else if (call->status != 0) {
      result = -1;
      error = call->status;
    } else {
      result = (c.call == Call::kInitialize || c.call == Call::kClose) ? 0 : As32(call->out);
      errorKnown = false;  // errno keeps what it held before
    }
    const bool failed = (c.call == Call::kOpen || c.call == Call::kRead) ? result <= 0 : result < 0;
    if (selfError == 0 && call->status == 0 && c.call == Call::kInitialize) {
      bound_ = true;
      if (!call->args.empty()) NoteWindow(call->args.front());
    }
    if (call && c.call == Call::kOpen && !call->args.empty()) NoteWindow(call->args.back());

    const string_view report = at < log_.size() ? log_[at] : string_view();
    if (failed) {
      const string head = "  RC = " + Decimal(result) + ", errno = (";
      string_view rest = report;
      long long shownError = 0;
      if (!TakeLiteral(rest, head) || !TakeInt(rest, &shownError) || !rest.starts_with(") ") ||
          !rest.ends_with("  ")) {
        Report("The log does not report the failed " + name + " (" + LineRef(i) + ") as the journal gives it",
               head + (errorKnown ? Decimal(error) : string("ERRNO")) + ") NAME  ",
               at < log_.size() ? string(report) : string("the end of the log"));
        return log_.size();
      }
      if (errorKnown && shownError != error) {
        Report("The errno the log reports for " + name + " (" + LineRef(i) + ") is not the journal's status",
               head + Decimal(error) + ") NAME  ", string(report));
        return log_.size();
      }
      consumed_[at++] = true;
    } else {
      if (report.starts_with("  RC = ") &&
          !(c.call == Call::kInitialize && report.starts_with("  RC = -1, errno = (-1) "))) {
        Report("The log reports a failure of " + name + " (" + LineRef(i) + ") where the journal gives success",
               call ? string(journal_.calls[nextCall_ - 1].header) + " answered 0" : "success",
               string(report));
        return log_.size();
      }
      if (c.call == Call::kInitialize && report.starts_with("  RC = ")) consumed_[at++] = true;
      if (!CheckSuccess(i, c, *call, result, at)) return log_.size();
    }

    // After the box: the close line, the values Get Values brought back.
    if (c.call == Call::kClose && !failed) {
      const std::size_t next = SkipNotifications(at);
      const string expected = "Close Handle " + Decimal(c.handle) + " successful";
      if (next < log_.size()) {
        if (log_[next] != expected) {
          Report("The log lacks the close line of the successful PosClose (" + LineRef(i) + ")", expected,
                 string(log_[next]));
          return log_.size();
        }
        consumed_[next] = true;
      }
    }
    if (c.call == Call::kIoctl && IsGetValues(c.texts)) {
      std::size_t next = SkipNotifications(at);
      if (next < log_.size()) {
        const bool returned = call && call->status == 0 && !call->rets.empty();
        const std::vector<string_view>* records = call ? (returned ? &call->rets : &call->args) : nullptr;
        if (!CheckEcho(i, c, next, records, !returned)) return log_.size();
      }
    }
    return at;
  }

  // The line after the argument lines that start at `from`, read by their
  // shape alone.
  std::size_t EchoEnd(std::size_t from, long long count) const {
    for (long long k = 1; k <= count && from < log_.size(); ++k) {
      string_view name;
      if (!ReadNameLine(log_[from], k, &name)) break;
      ++from;
      EchoValue value;
      if (from < log_.size() && !ReadNameLine(log_[from], k + 1, &name) &&
          (ReadNumberLine(log_[from], &value) || ReadTextLine(log_[from], &value)))
        ++from;
    }
    return from;
  }

  void NoteWindow(string_view record) {
    string_view rest = record;
    std::uint32_t window = 0;
    if (TakeLiteral(rest, "queueHandle = 0x") && TakeHex(rest, &window) && rest.empty()) windows_.insert(window);
  }

  bool CheckHeader(std::size_t i, const Command& c, const JournalCall& call) {
    string_view rest = call.header;
    bool same = false;
    long long a = 0, b = 0, request = 0;
    switch (c.call) {
      case Call::kInitialize:
      case Call::kOpen: {
        const bool init = c.call == Call::kInitialize;
        const long long count = init ? c.count : c.count + 1;  // Open adds the queue handle record
        const string tail = "\" count=" + Decimal(count);
        if (TakeLiteral(rest, init ? "DLL_PosInitialize app=\"" : "DLL_PosOpen name=\"") && rest.ends_with(tail)) {
          rest.remove_suffix(tail.size());
          const long long split = SplitAgree(c.texts, ", ", rest, init ? "\" resfile=\"" : "\" class=\"");
          same = split >= 0;
          if (same && !init) deviceName_ = c.texts.substr(0, static_cast<std::size_t>(split));
        }
        if (same && !init && !call.args.empty() && !call.args.back().starts_with("queueHandle = ")) same = false;
        break;
      }
      case Call::kClose: same = rest == "DLL_PosClose handle=" + Decimal(c.handle); break;
      case Call::kIoctl: {
        if (TakeLiteral(rest, "DLL_PosIOCtl handle=") && TakeInt(rest, &a) && a == c.handle &&
            TakeLiteral(rest, " request=") && TakeInt(rest, &request) && TakeLiteral(rest, " (")) {
          const string tail = ") count=" + Decimal(c.count);
          if (rest.ends_with(tail)) {
            const string_view requestName = rest.substr(0, rest.size() - tail.size());
            const string wanted = Squeezed(c.texts);
            same = requestName != "no such request" && !wanted.empty() &&
                   Squeezed(requestName).find(wanted) != string::npos;
          }
        }
        break;
      }
      case Call::kRead:
        same = rest == "DLL_PosRead handle=" + Decimal(c.handle) + " size=" + Decimal(c.count);
        break;
      case Call::kWrite:
        same = TakeLiteral(rest, "DLL_PosWrite handle=") && TakeInt(rest, &a) && a == c.handle &&
               TakeLiteral(rest, " length=") && TakeInt(rest, &b) && b == c.count && rest.starts_with(" data=");
        break;
      default: break;
    }
    if (!same) {
      Report("The journal's call for the log's " + string(ApiName(c.call)) + " (" + LineRef(i) +
                 ") has other arguments",
             ImpliedCall(c),
             string(call.header) + " (" + JournalLineRef(call.line) + ")");
    }
    return same;
  }

  // The argument lines of command line i from `at` on, each against the
  // journal's record of the same index (when the journal shows them);
  // namesOnly when the values may have changed since.
  bool CheckEcho(std::size_t i, const Command& c, std::size_t& at, const std::vector<string_view>* records,
                 bool namesOnly) {
    const string name(ApiName(c.call));
    // The library lists no records when it refused the array as a whole.
    if (records && records->empty()) records = nullptr;
    for (long long k = 0; k < c.count; ++k) {
      string_view argName;
      if (at >= log_.size() || !ReadNameLine(log_[at], k + 1, &argName)) {
        Report("The log's argument lines of " + name + " (" + LineRef(i) + ") stop short",
               Decimal(c.count) + " numbered arguments; argument " + Decimal(k + 1) + " as \"     " +
                   Decimal(k + 1) + ": NAME   \"",
               at < log_.size() ? string(log_[at]) : string("the end of the log"));
        return false;
      }
      consumed_[at++] = true;
      const std::size_t index = static_cast<std::size_t>(k);
      string_view journalValue;
      bool inJournal = false;
      if (records) {
        if (index >= records->size()) {
          Report("The journal lists fewer records than the log's " + name + " (" + LineRef(i) + ") echoes",
                 Decimal(c.count) + " records", Decimal(static_cast<long long>(records->size())) + " records");
          return false;
        }
        const string prefix = (argName.empty() ? string("\"\"") : string(argName)) + " = ";
        const string_view record = (*records)[index];
        if (!record.starts_with(prefix)) {
          Report("Argument " + Decimal(k + 1) + " of the log's " + name + " (" + LineRef(i) +
                     ") has another name in the journal",
                 prefix + "...", string(record));
          return false;
        }
        journalValue = record.substr(prefix.size());
        inJournal = true;
      }
      // The value line, if the row had a type.
      EchoValue value;
      if (at < log_.size()) {
        const string_view line = log_[at];
        string_view nextName;
        const bool nextIsName = k + 1 < c.count && ReadNameLine(line, k + 2, &nextName);
        if (ReadNumberLine(line, &value)) {
          consumed_[at++] = true;
        } else if (ReadTextLine(line, &value) &&
                   (!nextIsName || (inJournal && journalValue == "\"" + string(value.text) + "\""))) {
          consumed_[at++] = true;
        } else {
          value = EchoValue();
        }
      }
      if (inJournal && !namesOnly && !ValueAgrees(value, journalValue)) {
        Report("Argument " + Decimal(k + 1) + " of the log's " + name + " (" + LineRef(i) +
                   ") has another value in the journal",
               "the journal's record as logged: " + string((*records)[index]),
               value.kind == EchoValue::kNone ? string("no value line (the value 0)")
                                              : string(log_[at - 1]));
        return false;
      }
    }
    return true;
  }

  // The lines a successful call logs before its box.
  bool CheckSuccess(std::size_t i, const Command& c, const JournalCall& call, long long result,
                    std::size_t& at) {
    if (c.call == Call::kOpen) {
      const string head = "  Handle :  " + Decimal(result) + "  Device Name :  ";
      const string expected = head + string(deviceName_);
      const bool ok = at < log_.size() && log_[at] == expected;
      if (!ok) {
        Report("The log lacks the handle line of the PosOpen (" + LineRef(i) + ") the journal gives success",
               expected, at < log_.size() ? string(log_[at]) : string("the end of the log"));
        return false;
      }
      consumed_[at++] = true;
    }
    if (c.call == Call::kRead) {
      // What this tool shows of a read: at most the buffer's size.
      const long long shown = std::min<long long>(result, c.count);
      while (at < log_.size()) {
        const string_view form = MatchLogForm(log_[at]);
        if (!form.starts_with("read.") && !form.starts_with("file.")) break;
        consumed_[at++] = true;
      }
      std::vector<string> expected;
      if (c.handle == 0 && shown == 16) return true;  // one decoded record
      if (c.handle == 0) expected.push_back("ERROR: Unknown POSQ message format!!!!");
      expected.push_back(c.handle == 0 ? "      POSQ Info:  " : "      Read Results:  ");
      expected.push_back("      (" + Decimal(shown) + " bytes)");
      for (const string& line : expected) {
        if (at >= log_.size() || log_[at] != line) {
          Report("The log's dump of the PosRead (" + LineRef(i) + ") does not show the bytes the journal gives",
                 line + "   (" + string(call.header) + " returned out=" + Decimal(call.out) + ")",
                 at < log_.size() ? string(log_[at]) : string("the end of the log"));
          return false;
        }
        consumed_[at++] = true;
      }
      // The rows: each byte the journal shows, in its place.
      for (long long offset = 0; offset < shown; offset += 16) {
        string_view row = at < log_.size() ? log_[at] : string_view();
        char head[32];
        std::snprintf(head, sizeof head, "   %04llX: ", static_cast<unsigned long long>(offset));
        bool same = TakeLiteral(row, head);
        string implied = head;
        for (long long b = offset; same && b < std::min(shown, offset + 16); ++b) {
          const auto index = static_cast<std::size_t>(b);
          // Past the bytes the journal lists, any two digits.
          const string_view pair = index < call.data.size() ? call.data[index] : row.substr(0, 2);
          implied += string(index < call.data.size() ? pair : string_view("HH")) + " ";
          same = pair.size() == 2 && pair.find_first_not_of("0123456789ABCDEF") == string_view::npos &&
                 TakeLiteral(row, pair) && TakeLiteral(row, " ");
        }
        if (!same || !row.starts_with(" | ")) {
          Report("The log's dump of the PosRead (" + LineRef(i) + ") does not show the bytes the journal gives",
                 implied + " | ...   (" + JournalLineRef(call.line) + ")",
                 at < log_.size() ? string(log_[at]) : string("the end of the log"));
          return false;
        }
        consumed_[at++] = true;
      }
    }
    return true;
  }

  void CheckLeftoverCalls() {
    for (std::size_t k = nextCall_; k < journal_.calls.size(); ++k) {
      const JournalCall& call = journal_.calls[k];
      if (call.call == Call::kTerm || call.call == Call::kVersion) continue;
      Report("The journal shows a call the log never issued",
             "no further \"Command-->\" line's call after the log's last one",
             string(call.header) + " (" + JournalLineRef(call.line) + ")");
      return;
    }
  }

  // The log line(s) a notification posted to the tool's window leaves, as
  // one text; empty for one the tool passes over.
  static string Expected(const Post& post) {
    char text[160];
    const unsigned descriptor = post.wParam & 0xFF, length = post.lParam & 0xFF;
    switch (post.message) {
      case 0x4201: return "POSM_KBD_STATUS_CHANGE (Msg = 16897)";
      case 0x4203: std::snprintf(text, sizeof text, "MSR DATA AVAILABLE (Length = %u)", length); break;
      case 0x4204: std::snprintf(text, sizeof text, "PRINTER CHASE COMPLETE (Device Descriptor = %u)", descriptor); break;
      case 0x4205: std::snprintf(text, sizeof text, "PRINTER ERROR (Device Descriptor = %u)", descriptor); break;
      case 0x4206: std::snprintf(text, sizeof text, "PRINTER STATUS CHANGE (Device Descriptor = %u)", descriptor); break;
      case 0x420B: std::snprintf(text, sizeof text, "SCANNER DATA AVAILABLE (Length = %u)", length); break;
      case 0x420C:
        switch ((post.wParam >> 8) & 0xFF) {
          case 0x24: std::snprintf(text, sizeof text, "DEVICE_ANOP_DISPLAY_A OFF LINE (Device Descriptor = %u)", descriptor); break;
          case 0x48: std::snprintf(text, sizeof text, "MSR_3_TRACK OFF LINE (Device Descriptor = %u)", descriptor); break;
          case 0x54: std::snprintf(text, sizeof text, "DEVICE_CASH_DRAWER OFF LINE(Device Descriptor = %u)", descriptor); break;
          default: return {};
        }
        break;
      case 0x420D:
        std::snprintf(text, sizeof text, " wParam --> %04x \n lParam --> %08x ",
                      static_cast<unsigned>(post.wParam), static_cast<unsigned>(post.lParam));
        break;
      case 0x420F: std::snprintf(text, sizeof text, "TILL OPENED (Device Descriptor = %u)", descriptor); break;
      case 0x4210: std::snprintf(text, sizeof text, "PRINTER DATA AVAILABLE (Device Descriptor = %u)", descriptor); break;
      default: return {};
    }
    return text;
  }

  void CheckNotifications() {
    struct Item {
      string text;
      std::size_t line;
    };
    std::vector<Item> expected, logged;
    for (const Post& post : journal_.posts) {
      if (windows_.count(post.window) == 0) continue;
      string text = Expected(post);
      if (!text.empty()) expected.push_back({std::move(text), post.line});
    }
    for (std::size_t i = 0; i < log_.size(); ++i) {
      if (consumed_[i]) continue;
      const string_view form = MatchLogForm(log_[i]);
      if (!form.starts_with("notification.") || form == "notification.boxes_held" ||
          form == "notification.boxes_released" || form == "notification.online_lparam" ||
          form == "notification.online_name" || form == "notification.online_device" ||
          form == "notification.online_place")
        continue;
      string text(log_[i]);
      if (form == "notification.online_wparam") {
        text += "\n";
        if (i + 1 < log_.size()) text += log_[i + 1];
      }
      logged.push_back({std::move(text), i});
    }
    for (std::size_t k = 0; k < logged.size(); ++k) {
      if (k >= expected.size()) {
        Report("The log shows a notification the journal does not show posted to the tool (" +
                   LineRef(logged[k].line) + ")",
               Decimal(static_cast<long long>(expected.size())) + " notifications, as the journal's \"# posted\" lines",
               logged[k].text);
        return;
      }
      if (logged[k].text != expected[k].text) {
        Report("A notification the journal shows posted is missing from the log or out of order (" +
                   LineRef(logged[k].line) + ")",
               expected[k].text + "   (" + JournalLineRef(expected[k].line) + ")",
               logged[k].text);
        return;
      }
    }
  }

  Journal journal_;
  std::vector<string_view> log_;
  std::vector<bool> consumed_;
  std::size_t nextCall_ = 0;
  bool bound_ = false;
  std::set<std::uint32_t> windows_;
  string_view deviceName_;
  std::optional<Finding> finding_;
};

}  // namespace

std::optional<Finding> CheckAgreement(const std::vector<string>& log, const std::vector<string>& journal) {
  // The journal writes a line end inside a text as \r or \n (so that each
  // of its lines is one entry's); the log's texts are compared so written.
  std::vector<string> written(log);
  for (string& line : written) {
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] != '\r' && line[i] != '\n') continue;
      line.replace(i, 1, line[i] == '\r' ? "\\r" : "\\n");
      ++i;
    }
  }
  return Checker(written, journal).Run();
}

}  // namespace explore
