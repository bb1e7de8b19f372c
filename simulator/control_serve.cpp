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
// The most notifications one burst may post (Simulator::Burst).
constexpr std::int32_t kMostBurst = 10000;

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
  if (const char* name = NameOf(ErrorNames, status)) (text += " ") += name;
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

std::string AnswerOverlong(std::string_view start, ControlHost& host) {
  return Refuse(start, "line longer than " + std::to_string(kMaxLine) + " bytes", host);
}

std::string OutOfRange(const Request& request, const Simulator& s) {
  const std::int32_t* n = request.numbers;
  const std::string text = request.words.empty() ? "" : request.words[0];
  switch (request.verb) {
    case Verb::kWeight: {
      const std::int32_t most = s.DeviceOf(ClassOfModel(Model::kScale)).Values()[kSclMaxWeight].number;
      if (n[0] >= 0 && n[0] <= most) return "";
      return "weight must be 0 to " + std::to_string(most) + " grams";
    }
    case Verb::kTouch:
      // The touch screen reports each coordinate in 16 bits.
      if (n[0] >= 0 && n[0] <= 0xFFFF && n[1] >= 0 && n[1] <= 0xFFFF) return "";
      return "touch X and Y must each be 0 to 65535";
    case Verb::kBurst: {
      const int target = FindClass(text.c_str());
      if (target <= kGenericClass || (n[0] >= 1 && n[0] <= kMostBurst)) return "";
      return "burst count must be 1 to " + std::to_string(kMostBurst);
    }
    case Verb::kFault: {
      if (FaultTarget(text.c_str()) == -2) return "";
      const std::int32_t value = n[1];
      switch (static_cast<FaultKind>(n[0])) {
        case FaultKind::kError:
          // -1: a failure no table names, to see how a program shows one.
          if (value == 0 || value == -1 || NameOf(ErrorNames, value) != nullptr) return "";
          return "fault error must be 0, -1 or a status the device API has a name for, not " + std::to_string(value);
        case FaultKind::kReadOverclaim:
        case FaultKind::kReadOverrun:
          if (value >= 0) return "";
          return std::string("fault ") + kFaultKindNames[n[0] - 1] + " must be 0 or more (bytes)";
        case FaultKind::kOffline:
          if (value == 0 || value == 1) return "";
          return "fault offline must be 1 (off line) or 0 (back on line)";
        case FaultKind::kShortRead:
          if (value >= -1) return "";
          return "fault short must be -1 (off) or 0 or more (bytes)";
      }
      return "";  // an unknown kind: the simulator refuses it
    }
    default:
      return "";
  }
}

std::int32_t Perform(const Request& request, Simulator& s) {
  if (!OutOfRange(request, s).empty()) return pos::kErrSysOutOfBounds;
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
    host.Run([&](Simulator& s) {
      why = OutOfRange(request, s);
      return 0;
    });
    if (!why.empty()) return Refuse(line, why, host);
    return StatusReply(host.Act(line, [&](Simulator& s) { return Perform(request, s); }));
  }
  const std::vector<std::string>& w = request.words;
  const char* text = w.empty() ? nullptr : w[0].c_str();
  switch (request.verb) {
    case Verb::kRecord: {
      std::size_t steps = 0;
      if (w[0] == "start") return host.StartRecording(&why) ? "ok\n" : Error(why);
      if (w[0] == "step") return host.RecordStep(w[1], &why) ? "ok\n" : Error(why);
      if (!host.StopRecording(w[1], &steps, &why)) return Error(why);
      return "ok " + std::to_string(steps) + (steps == 1 ? " step\n" : " steps\n");
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
      return Listing(host.JournalTail(static_cast<std::size_t>(count)));
    }
    case Verb::kText: {
      std::string shown;
      bool shows = false;
      const int classIndex = FindClass(text);
      // As burst and fault answer a class no device has (PosSystem, PosDevice included).
      if (classIndex <= kGenericClass) return StatusReply(pos::kErrSysInvalidClass);
      host.Run([&](Simulator& s) {
        shows = s.DeviceText(classIndex, &shown);
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

void JournalMemory::Add(std::string_view block) {
  partial_.append(block.data(), block.size());
  const std::size_t end = partial_.rfind('\n');
  if (end == std::string::npos) return;
  for (std::string& line : SplitLines(std::string_view(partial_).substr(0, end + 1))) {
    lines_.push_back(std::move(line));
    if (lines_.size() > kMost) lines_.pop_front();
  }
  partial_.erase(0, end + 1);
}

std::vector<std::string> JournalMemory::Last(std::size_t count) const {
  const std::size_t keep = count < lines_.size() ? count : lines_.size();
  return std::vector<std::string>(lines_.end() - static_cast<std::ptrdiff_t>(keep), lines_.end());
}

std::string ControlSession::Take(std::string_view bytes, std::uint32_t now) {
  std::string replies;
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t end = bytes.find('\n', at);
    const std::size_t stop = end == std::string_view::npos ? bytes.size() : end;
    if (!dropping_) pending_.append(bytes.data() + at, stop - at);
    at = end == std::string_view::npos ? bytes.size() : end + 1;
    // A CR ending the line is no part of it; one still awaiting its LF may be.
    std::string_view line = pending_;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!dropping_ && line.size() > kMaxLine) {
      replies += AnswerOverlong(line, host_);
      Replied(now);
      dropping_ = true;
      pending_.clear();
    }
    if (end == std::string_view::npos) break;
    if (!dropping_) {
      replies += Answer(line, host_);
      Replied(now);
    }
    dropping_ = false;
    pending_.clear();
  }
  return replies;
}

std::uint32_t ControlSession::Left(std::uint32_t now) const {
  const std::int32_t left = static_cast<std::int32_t>(deadline_ - now);
  return left > 0 ? static_cast<std::uint32_t>(left) : 0;
}

}  // namespace sim
