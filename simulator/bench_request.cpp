// The bench's requests: see bench_request.h.
#include "simulator/bench_request.h"

#include <vector>

#include "simulator/bench_ids.h"
#include "simulator/bench_state.h"
#include "simulator/control_line.h"
#include "simulator/simulator.h"

namespace sim {
namespace {

// Where a word of the request comes from.
enum class From : char {
  kNone,
  kText,    // the text of field `arg`
  kLabel,   // the scanner's symbology and label fields, joined
  kKeys,    // the keyboard field, its escapes read (BenchKeys)
  kNumber,  // the number in field `arg` (BenchNumber)
  kFixed,   // the number `arg`
  kCheck,   // check box `arg`: on or off
  kTarget,  // the Device combo's target
  kKind,    // fault kind `arg`, by name
};

struct Word {
  From from = From::kNone;
  int arg = 0;
};

struct Button {
  int id;
  const char* action;   // as the status line names it (a check box: when checked)
  const char* cleared;  // a check box: the action when cleared
  Verb verb;
  Word words[3];
};

constexpr int kOffline = static_cast<int>(FaultKind::kOffline);

constexpr Button kButtons[] = {
    {IDC_BENCH_SWIPE, "Swipe", nullptr, Verb::kSwipe, {{From::kText, IDC_BENCH_TRACKS}}},
    {IDC_BENCH_SCAN, "Scan", nullptr, Verb::kScan, {{From::kLabel}}},
    {IDC_BENCH_PLACE, "Place weight", nullptr, Verb::kWeight, {{From::kNumber, IDC_BENCH_GRAMS}}},
    {IDC_BENCH_REMOVE, "Remove weight", nullptr, Verb::kWeight, {{From::kFixed, 0}}},
    {IDC_BENCH_PRESS, "Type", nullptr, Verb::kKeys, {{From::kKeys, IDC_BENCH_KEYS}}},
    {IDC_BENCH_TOUCH, "Touch", nullptr, Verb::kTouch,
     {{From::kNumber, IDC_BENCH_TOUCH_X}, {From::kNumber, IDC_BENCH_TOUCH_Y}}},
    {IDC_BENCH_CLOSE_DRAWER, "Close drawer", nullptr, Verb::kCloseDrawer, {}},
    {IDC_BENCH_PAPER_OUT, "Paper out", "Paper loaded", Verb::kPaperOut, {{From::kCheck, IDC_BENCH_PAPER_OUT}}},
    {IDC_BENCH_COVER_OPEN, "Cover open", "Cover shut", Verb::kCoverOpen, {{From::kCheck, IDC_BENCH_COVER_OPEN}}},
    {IDC_BENCH_PRINTER_ERROR, "Printer error", nullptr, Verb::kPrinterError, {}},
    {IDC_BENCH_OFFLINE, "Off line", nullptr, Verb::kFault, {{From::kTarget}, {From::kKind, kOffline}, {From::kFixed, 1}}},
    {IDC_BENCH_ONLINE, "On line", nullptr, Verb::kFault, {{From::kTarget}, {From::kKind, kOffline}, {From::kFixed, 0}}},
    {IDC_BENCH_SET_ERROR, "Error code", nullptr, Verb::kFault,
     {{From::kTarget}, {From::kKind, static_cast<int>(FaultKind::kError)}, {From::kNumber, IDC_BENCH_ERROR_CODE}}},
    {IDC_BENCH_SET_OVERCLAIM, "Read claims", nullptr, Verb::kFault,
     {{From::kTarget}, {From::kKind, static_cast<int>(FaultKind::kReadOverclaim)}, {From::kNumber, IDC_BENCH_OVERCLAIM}}},
    {IDC_BENCH_SET_OVERRUN, "Read overrun", nullptr, Verb::kFault,
     {{From::kTarget}, {From::kKind, static_cast<int>(FaultKind::kReadOverrun)}, {From::kNumber, IDC_BENCH_OVERRUN}}},
    {IDC_BENCH_BURST, "Burst", nullptr, Verb::kBurst, {{From::kTarget}, {From::kNumber, IDC_BENCH_BURST_COUNT}}},
    {IDC_BENCH_CLEAR_FAULTS, "Clear faults", nullptr, Verb::kClearFaults, {}},
};

// The word, or false when its field holds no number.
bool WordOf(const Word& word, const BenchFields& fields, std::string* text) {
  std::int32_t number = word.arg;
  switch (word.from) {
    case From::kText: *text = fields.Text(word.arg); return true;
    case From::kLabel: *text = fields.Text(IDC_BENCH_SYMBOLOGY) + fields.Text(IDC_BENCH_LABEL); return true;
    case From::kKeys: *text = BenchKeys(fields.Text(word.arg)); return true;
    case From::kNumber:
      if (!BenchNumber(fields.Text(word.arg), &number)) return false;
      *text = std::to_string(number);
      return true;
    case From::kFixed: *text = std::to_string(number); return true;
    case From::kCheck: *text = fields.Checked(word.arg) ? "on" : "off"; return true;
    case From::kTarget: *text = BenchTargetName(fields.Target()); return true;
    case From::kKind: *text = kFaultKindNames[word.arg - 1]; return true;
    case From::kNone: break;
  }
  return true;
}

}  // namespace

std::string BenchTargetName(int target) {
  return target == kQueueTarget ? "Queue" : target >= 0 && target < kClassCount ? kClasses[target].name : "?";
}

bool MakeBenchRequest(int control, const BenchFields& fields, BenchRequest* request) {
  const Button* button = nullptr;
  for (const Button& each : kButtons) {
    if (each.id == control) button = &each;
  }
  if (button == nullptr) return false;
  *request = BenchRequest{};
  const bool cleared = button->cleared != nullptr && !fields.Checked(control);
  request->action = cleared ? button->cleared : button->action;
  if (button->words[0].from == From::kTarget) (request->action += ' ') += BenchTargetName(fields.Target());
  std::vector<std::string> words;
  for (const Word& word : button->words) {
    if (word.from == From::kNone) break;
    words.emplace_back();
    if (!WordOf(word, fields, &words.back())) {
      request->refused = "not a number";
      return true;
    }
    // An empty Tracks or Label field swipes the test card, scans the test label.
    if ((word.from == From::kText || word.from == From::kLabel) && words.back().empty()) words.pop_back();
  }
  request->line = RequestLine(button->verb, words);
  return true;
}

}  // namespace sim
