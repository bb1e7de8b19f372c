// The receipt printer: written bytes become printed lines of CharsPerLine
// characters at most. It stops printing while its paper is out, its cover
// open, or after a printer error (for the next print only).
#include "simulator/devices/device.h"
#include "tables/pos_codes.h"

namespace sim {
namespace {

// Printed lines kept; older ones are dropped.
constexpr std::size_t kPrinterMemory = 10000;
// The station that prints documents inserted by hand.
constexpr std::int32_t kDiStation = 3;

class Printer : public BenchDevice {
 public:
  explicit Printer(const ClassDef& cls) : BenchDevice(cls) {}

  std::int32_t Write(const unsigned char* data, std::int32_t length, std::int32_t* accepted,
                     DeviceEvents& events) override {
    if (Halted(events.Journal())) return Refuse(pos::kErrSysHwError, "printer halted");
    if (!diPrinting_ && values_[kPrnStation].number == kDiStation) {
      return Refuse(pos::kErrSysCmdReject, "DI printing disabled (Station 3)");
    }
    Print(data, length);
    *accepted = length;
    events.NotifyCaller(pos::kMsgPrnChaseComplete, 0);
    return 0;
  }

  bool OwnsRequest(std::int32_t request) const override { return request / 100 == 49; }

  std::int32_t Request(std::int32_t request, DeviceEvents& events) override {
    switch (request) {
      case pos::kReqPrnDisableDiPrinting: diPrinting_ = false; return 0;
      case pos::kReqPrnEnableDiPrinting: diPrinting_ = true; return 0;
      case pos::kReqPrnDiscardData: line_.clear(); return 0;
      // Fiscal printing, defined characters, resuming and retrying change
      // nothing that a print shows.
      case pos::kReqPrnDisableFiscalPrinting:
      case pos::kReqPrnEnableFiscalPrinting:
      case pos::kReqPrnDefineCharacters:
      case pos::kReqPrnResumePrinting:
      case pos::kReqPrnRetryPrinting:
        return 0;
      case pos::kReqPrnResetPrinter:
        values_ = InitialValues(cls_);
        line_.clear();
        diPrinting_ = true;
        events.NotifyHandles(pos::kMsgPrnStatusChange, 0);
        return 0;
      default:
        return BenchDevice::Request(request, events);
    }
  }

  // Paper and cover tell only a change of state; a printer error is news
  // every time.
  std::int32_t Act(const BenchAction& action, DeviceEvents& events) override {
    const bool on = action.number != 0;
    bool* flag = nullptr;
    std::uint32_t message = pos::kMsgPrnStatusChange;
    switch (action.act) {
      case BenchAct::kPaperOut:
        flag = &paperOut_;
        if (on) message = pos::kMsgPrnPrinterError;
        break;
      case BenchAct::kCoverOpen: flag = &coverOpen_; break;
      case BenchAct::kPrinterError:
        errorPending_ = true;
        events.NotifyHandles(pos::kMsgPrnPrinterError, 0);
        return 0;
      default:
        return BenchDevice::Act(action, events);
    }
    if (*flag != on) {
      *flag = on;
      events.NotifyHandles(message, 0);
    }
    return 0;
  }

  bool Holds(BenchAct condition) const override {
    if (condition == BenchAct::kPaperOut) return paperOut_;
    return condition == BenchAct::kCoverOpen && coverOpen_;
  }

  std::string State() const override {
    std::string text = paperOut_ ? "paper out" : "paper in";
    text += coverOpen_ ? ", cover open" : ", cover shut";
    if (errorPending_) text += ", error waiting";
    if (!line_.empty()) {
      text += ", printing " + BenchQuoted(line_);
    } else if (!printed_.empty()) {
      text += ", last " + BenchQuoted(printed_.back());
    }
    return text;
  }

  // The printed lines, the unfinished one last.
  bool TextLines(std::vector<std::string>* lines) const override {
    *lines = printed_;
    if (!line_.empty()) lines->push_back(line_);
    return true;
  }

 private:
  // Whether the printer cannot print now; a waiting error is used up by the
  // print it fails.
  bool Halted(JournalBlock& block) {
    if (!paperOut_ && !coverOpen_ && !errorPending_) return false;
    block.Line("  # printer halted:%s%s%s", paperOut_ ? " paper out" : "",
               coverOpen_ ? " cover open" : "", errorPending_ ? " error" : "");
    errorPending_ = false;
    return true;
  }

  // LF ends a line, CR is dropped, a line reaching CharsPerLine wraps.
  void Print(const unsigned char* data, std::int32_t length) {
    const std::size_t width = static_cast<std::size_t>(values_[kPrnCharsPerLine].number);
    for (std::int32_t i = 0; i < length; ++i) {
      const unsigned char byte = data[i];
      if (byte == '\r') continue;
      if (byte != '\n') line_.push_back(static_cast<char>(byte));
      if (byte == '\n' || line_.size() >= width) {
        printed_.push_back(line_);
        line_.clear();
        if (printed_.size() > kPrinterMemory) printed_.erase(printed_.begin());
      }
    }
  }

  std::vector<std::string> printed_;  // finished lines
  std::string line_;                  // the line being printed
  bool diPrinting_ = true;
  bool paperOut_ = false;             // no paper: printing fails until paper is loaded
  bool coverOpen_ = false;            // cover open: printing fails until it is shut
  bool errorPending_ = false;         // a printer error: the next print fails
};

}  // namespace

std::unique_ptr<BenchDevice> MakePrinter(const ClassDef& cls) {
  return std::make_unique<Printer>(cls);
}

}  // namespace sim
