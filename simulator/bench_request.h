// What a button of the device bench asks for, window-free: the action as the
// bench's status line names it, and the control request line that performs
// it, made from the bench's fields. The window hands that line to the same
// routine the control pipe uses (Perform, control_serve.h) and to the
// recorder, so a bench action and the pipe's request for it cannot differ.
#ifndef REVEDIZ_SIMULATOR_BENCH_REQUEST_H
#define REVEDIZ_SIMULATOR_BENCH_REQUEST_H

#include <string>

namespace sim {

// What the bench's fields hold when a button is pressed.
class BenchFields {
 public:
  virtual ~BenchFields() = default;
  virtual std::string Text(int id) const = 0;  // an edit's or combo's text
  virtual bool Checked(int id) const = 0;      // a check box
  // The Device combo's choice: a class index, kQueueTarget, or -2 for none.
  virtual int Target() const = 0;
};

struct BenchRequest {
  std::string action;             // "Swipe", "Paper loaded", "Off line PosMsr"
  std::string line;               // the request line ("" when refused)
  const char* refused = nullptr;  // why the fields make none ("not a number")
};

// False for a control that is no device action (the fields, Record, Stop,
// Save log).
bool MakeBenchRequest(int control, const BenchFields& fields, BenchRequest* request);

// A fault target as the bench and its requests name it: the class, "Queue",
// "?" for anything else.
std::string BenchTargetName(int target);

}  // namespace sim

#endif  // REVEDIZ_SIMULATOR_BENCH_REQUEST_H
