// Steps on message boxes: expecting one (or none) and pressing OK.
#include <optional>

#include "runner/run.h"
#include "runner/steps.h"

namespace runner {
namespace {

std::string ShowBox(const std::string& caption, const std::string& text) {
  return "box " + scn::ShowText(caption) + " " + scn::ShowText(text);
}

std::string ShowBoxes(const std::vector<driver::Box>& boxes) {
  std::string shown;
  for (const driver::Box& box : boxes) shown += (shown.empty() ? "" : "; ") + ShowBox(box.caption, box.text);
  return shown;
}

}  // namespace

void OnOk(Run& run, const Step& step) {
  driver::Revediz& app = run.App(step);
  if (!run.box) run.box = app.WaitAnyBox(run.timeout());
  driver::Box box = *run.box;
  run.box.reset();
  box.Ok(run.timeout());
}

// Whatever a command left showing goes: OK on each box as it comes (a box
// can bring the next), then Cancel on a dialog still open. Nothing shown is
// an error: the step only makes the tool idle again.
void OnDismiss(Run& run, const Step& step) {
  driver::Revediz& app = run.App(step);
  run.box.reset();
  constexpr int kMostWindows = 200;  // a box that keeps coming back ends the step
  for (int closed = 0; closed < kMostWindows; ++closed) {
    std::vector<driver::Box> boxes;
    driver::PollUntil([&] { return !(boxes = app.Boxes()).empty(); }, Run::kSettleMs);
    if (!boxes.empty()) {
      boxes.front().Ok(run.timeout());  // the topmost: the one whose loop runs
      continue;
    }
    std::vector<driver::Dialog> dialogs = app.Dialogs();
    if (dialogs.empty()) break;
    dialogs.back().Cancel();
  }
  run.dialog.reset();
}

void OnExpectBox(Run& run, const Step& step) {
  driver::Revediz& app = run.App(step);
  const bool anyCaption = !step.args[0].quoted && step.args[0].text == "*";
  const std::string caption = run.Text(step.args[0]);
  const std::string text = run.Text(step.args[1]);
  std::vector<driver::Box> boxes;
  std::optional<driver::Box> match;
  ULONGLONG firstNear = 0;  // when a box of that caption (but other text) showed
  driver::PollUntil([&] {
    boxes = app.Boxes();
    bool nearMiss = false;
    for (const driver::Box& box : boxes) {
      if (!anyCaption && box.caption != caption) continue;
      if (box.text == text) {
        match = box;
        return true;
      }
      nearMiss = true;
    }
    // A box of the caption with another text: give a second box of the
    // same caption a moment to appear, then report.
    if (nearMiss && firstNear == 0) firstNear = GetTickCount64();
    return nearMiss && GetTickCount64() - firstNear > 1000;
  }, run.timeout());
  if (match) {
    run.box = match;
    return;
  }
  const std::string actual = ShowBoxes(boxes);
  throw Mismatch{"message box", ShowBox(anyCaption ? "*" : caption, text), actual.empty() ? "no message box" : actual};
}

void OnExpectNoBox(Run& run, const Step& step) {
  std::string actual;
  driver::PollUntil([&] { return !(actual = ShowBoxes(run.App(step).Boxes())).empty(); }, Run::kSettleMs);
  if (!actual.empty()) throw Mismatch{"message boxes", "no message box", actual};
}

}  // namespace runner
