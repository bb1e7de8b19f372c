// Answers of the control pipe: see control_serve.h.
#include "simulator/control_serve.h"

#include "simulator/bench_state.h"
#include "simulator/control_line.h"
#include "tables/code_tables.h"
#include "tables/pos_codes.h"

namespace sim {
namespace {

// A refused line is echoed into the journal up to this many characters.
constexpr std::size_t kEchoLimit = 80;

std::string Listing(const std::vector<std::string>& lines) {
  std::string reply = "ok " + std::to_string(lines.size()) + (lines.size() == 1 ? " line\n" : " lines\n");
  for (const std::string& line : lines) reply += EscapeText(line) + "\n";
  return reply + "end\n";
}

std::string Error(const std::string& why) { return "error " + EscapeText(why) + "\n"; }

// "ok", or the status with its name: "error 302 POSERR_SYS_NOT_INITIALIZED".
std::string StatusReply(std::int32_t status) {
  if (status == 0) return "ok\n";
  std::string text = "error " + std::to_string(status);
  for (const CodeName* row = ErrorNames; row->Name != nullptr; ++row) {
    if (row->Code == status) {
      text += " ";
      text += row->Name;
      break;
    }
  }
  return text + "\n";
}

std::string Refuse(std::string_view line, const std::string& why, ControlHost& host) {
  std::string echo = EscapeText(line.substr(0, kEchoLimit));
  if (line.size() > kEchoLimit) echo += "...";
  host.Run([&](Simulator& s) {
    s.JournalNote(("control refused \"" + echo + "\": " + why).c_str());
    return 0;
  });
  return Error(why);
}

}  // namespace

std::string AnswerOverlong(std::size_t length, ControlHost& host) {
  const std::string why = "line longer than " + std::to_string(kMaxLine) + " bytes";
  host.Run([&](Simulator& s) {
    s.JournalNote(("control refused a line of " + std::to_string(length) + " bytes: " + why).c_str());
    return 0;
  });
  return Error(why);
}

std::int32_t Perform(const Request& request, Simulator& s) {
  const char* text = request.words.empty() ? nullptr : request.words[0].c_str();
  const std::int32_t* n = request.numbers;
  switch (request.verb) {
    case Verb::kSwipe: return s.SwipeCard(text);
    case Verb::kScan: return s.ScanLabel(text);
    case Verb::kKeys: return s.PressKeys(text);
    case Verb::kWeight: return s.PlaceWeight(n[0]);
    case Verb::kCloseDrawer: return s.CloseDrawer();
    case Verb::kTouch: return s.Touch(n[0], n[1]);
    case Verb::kPaperOut: return s.SetPaperOut(request.on);
    case Verb::kCoverOpen: return s.SetCoverOpen(request.on);
    case Verb::kPrinterError: return s.PrinterError();
    case Verb::kBurst: return s.Burst(FindClass(text), n[0]);
    case Verb::kFault: return s.SetFault(FaultTarget(text), static_cast<FaultKind>(n[0]), n[1]);
    case Verb::kClearFaults: s.ClearFaults(); return 0;
    default: return pos::kErrSysInvalidRequest;
  }
}

std::string Answer(std::string_view line, ControlHost& host) {
  Request request;
  std::string why;
  if (!ParseRequest(line, &request, &why)) return Refuse(line, why, host);
  if (VerbOf(request.verb).action) {
    return StatusReply(host.Act(line, [&](Simulator& s) { return Perform(request, s); }));
  }
  const std::vector<std::string>& w = request.words;
  const char* text = w.empty() ? nullptr : w[0].c_str();
  switch (request.verb) {
    case Verb::kRecord: {
      std::size_t steps = 0;
      if (w[0] == "start") return host.StartRecording(&why) ? "ok\n" : Error(why);
      if (!host.StopRecording(w[1], &steps, &why)) return Error(why);
      return "ok " + std::to_string(steps) + " steps\n";
    }
    case Verb::kState: {
      std::vector<std::string> lines;
      host.Run([&](Simulator& s) {
        lines = BenchStateLines(s);
        return 0;
      });
      return Listing(lines);
    }
    case Verb::kLog: {
      std::vector<std::string> lines;
      if (!host.LogLines(&lines, &why)) return Error(why);
      return Listing(lines);
    }
    case Verb::kJournal: {
      const std::int32_t count = request.numbers[0];
      if (count < 0) return Refuse(line, "journal takes a count of 0 or more", host);
      std::vector<std::string> lines = host.JournalLines();
      const std::size_t keep = static_cast<std::size_t>(count) < lines.size() ? static_cast<std::size_t>(count)
                                                                               : lines.size();
      lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(keep));
      return Listing(lines);
    }
    case Verb::kText: {
      std::string shown;
      bool shows = false;
      host.Run([&](Simulator& s) {
        shows = s.DeviceText(FindClass(text), &shown);
        return 0;
      });
      if (!shows) return Error(w[0] + " shows no text");
      return Listing(SplitLines(shown));
    }
    default:
      break;
  }
  return Refuse(line, "unknown verb", host);
}

}  // namespace sim
