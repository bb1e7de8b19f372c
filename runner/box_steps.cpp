// Steps on message boxes: expecting one (or none) and pressing OK.
#include <algorithm>
#include <optional>

#include "runner/run.h"
#include "runner/steps.h"
#include "toolwindows/tool_windows.h"

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

// Whatever a command left showing goes, innermost first: the topmost box
// gets OK, and once no box shows, the topmost dialog Cancel, until none
// shows. Before a
// dialog is cancelled, the clicks posted to it are handled first (a box
// they bring shows then); once nothing shows, nothing more is waited for (a
// command's boxes show while its dialog is still open).
// Nothing showing is no error: the step only makes the tool idle again.
void OnDismiss(Run& run, const Step& step) {
  driver::Revediz& app = run.App(step);
  run.box.reset();
  run.dialog.reset();
  // The innermost window showing: a box (the topmost of them: each runs
  // its loop inside the command or box below it), else the topmost dialog.
  const auto innermost = [&] {
    HWND dialog = nullptr;
    for (HWND hwnd : toolwin::WindowsOf(app.ProcessId())) {
      if (!IsWindowVisible(hwnd)) continue;
      if (toolwin::IsBox(hwnd)) return hwnd;
      if (dialog == nullptr && toolwin::IsOwnedDialog(hwnd)) dialog = hwnd;
    }
    return dialog;
  };
  // A pressed window that is hidden but not gone while another box or dialog
  // shows is held by it: that one came up while the pressed one showed (a
  // notification's box, or a command chosen from the menu meanwhile) and its
  // loop runs inside the pressed one's. Their order on the screen does not
  // tell which came first: a box shown late can lie above the dialog whose
  // loop holds it.
  const auto held = [&](HWND window) {
    for (HWND hwnd : toolwin::WindowsOf(app.ProcessId())) {
      if (hwnd != window && IsWindowVisible(hwnd) && (toolwin::IsBox(hwnd) || toolwin::IsOwnedDialog(hwnd))) {
        return true;
      }
    }
    return false;
  };
  constexpr int kMostWindows = 200;  // a box that keeps coming back ends the step
  for (int closed = 0; closed < kMostWindows; ++closed) {
    // A dialog on top: what its posted clicks bring is showing once they are
    // handled (or, failing the check, after the settle time).
    HWND top = innermost();
    if (top != nullptr && !toolwin::IsBox(top)) {
      if (app.Drain(run.timeout())) {
        top = innermost();
      } else {
        driver::PollUntil([&] { return (top = innermost()) == nullptr || toolwin::IsBox(top); }, Run::kSettleMs);
      }
    }
    if (top == nullptr) break;
    const WPARAM press = toolwin::IsBox(top) ? IDOK : IDCANCEL;
    PostMessageA(top, WM_COMMAND, MAKEWPARAM(press, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(top, static_cast<int>(press))));
    // Gone, so that its caller runs on before the next window is acted on
    // (as an operator's next press would come after it); or hidden and held
    // by a window that came up meanwhile: that one is next.
    // It normally goes at once: a loaded machine gets ten seconds at least.
    // Judged once: asked again, a window that held it may have gone while
    // the pressed one is still being destroyed.
    if (!driver::PollUntil([&] { return !IsWindow(top) || (!IsWindowVisible(top) && held(top)); },
                           std::max<DWORD>(run.timeout(), 10000))) {
      char caption[256] = {};
      GetWindowTextA(top, caption, sizeof caption);  // sends nothing to a tool that may hang
      throw StepError{"dismiss: " + scn::ShowText(caption) + " does not go"};
    }
  }
}

void OnExpectBox(Run& run, const Step& step) {
  driver::Revediz& app = run.App(step);
  const bool anyCaption = !step.args[0].quoted && step.args[0].text == "*";
  const std::string caption = run.Text(step.args[0]);
  const std::string text = run.Text(step.args[1]);
  std::vector<driver::Box> boxes;
  std::optional<driver::Box> match, matchedBefore;
  std::erase_if(run.boxesMatched, [](HWND hwnd) { return !IsWindow(hwnd); });
  ULONGLONG firstNear = 0;  // when a box of that caption (but other text), or one matched before, showed
  driver::PollUntil([&] {
    boxes = app.Boxes();
    bool nearMiss = false;
    for (const driver::Box& box : boxes) {
      if (!anyCaption && box.caption != caption) continue;
      if (box.text != text) {
        nearMiss = true;
      } else if (std::find(run.boxesMatched.begin(), run.boxesMatched.end(), box.hwnd) == run.boxesMatched.end()) {
        match = box;
        return true;
      } else {
        matchedBefore = box;
        nearMiss = true;
      }
    }
    // A box of the caption with another text, or only one an earlier step
    // matched: give a second box a moment to appear, then take what shows.
    if (nearMiss && firstNear == 0) firstNear = GetTickCount64();
    return nearMiss && GetTickCount64() - firstNear > 1000;
  }, run.timeout());
  if (!match) match = matchedBefore;
  if (match) {
    run.box = match;
    run.boxesMatched.push_back(match->hwnd);
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
