// Steps on files of the working folder, on windows' places and looks, and
// pictures of the screen.
#include <cstdio>

#include "runner/run.h"
#include "runner/steps.h"
#include "toolwindows/paths.h"

namespace runner {
namespace {

// The text of "file" and "expect file": TEXT, or TEXT "times" N.
std::string FileBytes(const Run& run, const Step& step) {
  const std::string text = run.Text(step.args[1]);
  if (step.args.size() < 4) return text;
  std::string bytes;
  for (std::int64_t i = Run::Number(step.args[3]); i > 0; --i) bytes += text;
  return bytes;
}

// The style bits named must be set: "0x00CF0000" checks an overlapped
// window whatever else its style holds.
void ExpectStyle(HWND window, const Step& step, const std::string& expected) {
  const auto bits = static_cast<std::uint32_t>(Run::Number(step.args[2]));
  const auto style = static_cast<std::uint32_t>(GetWindowLongA(window, GWL_STYLE));
  char text[32];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(style));
  if ((style & bits) != bits) throw Mismatch{"style of the " + step.args[0].text + " window", "bits " + expected, text};
}

// A window's class, text, list extent, or place in the parent's client area
// (the desktop's for a top-level window) and width.
std::string WindowField(HWND window, const std::string& field, DWORD timeoutMs) {
  if (field == "class") {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
  }
  if (field == "text") return driver::WindowText(window);
  if (field == "extent") {
    DWORD_PTR extent = 0;
    SendMessageTimeoutA(window, LB_GETHORIZONTALEXTENT, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &extent);
    return std::to_string(extent);
  }
  RECT rect = {};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  const long value = field == "x" ? rect.left : field == "y" ? rect.top : rect.right - rect.left;
  return std::to_string(value);
}

}  // namespace

void OnFile(Run& run, const Step& step) {
  const std::string name = step.args[0].text;
  if (!run.app) {
    run.files.emplace_back(name, FileBytes(run, step));
    return;
  }
  run.app->WriteFile(name, FileBytes(run, step));
}

void OnRemove(Run& run, const Step& step) {
  const std::string& name = step.args[0].text;
  if (!run.app) throw StepError{"remove: the tool is not started (files made before start are listed with file)"};
  run.app->RemoveFile(name);
  if (run.app->FileExists(name)) throw StepError{"remove: " + name + " cannot be removed"};
}

void OnCopy(Run& run, const Step& step) {
  const std::string from = run.ToolFile(step.args[0].text);
  if (!CopyFileA(from.c_str(), run.App(step).PathOf(step.args[1].text).c_str(), FALSE)) {
    throw StepError{"copy: cannot copy " + from};
  }
}

void OnExpectFile(Run& run, const Step& step) {
  driver::Revediz& app = run.App(step);
  const std::string name = step.args[0].text;
  const std::string expected = FileBytes(run, step);
  if (!app.FileExists(name)) throw Mismatch{"file " + name, scn::ShowText(expected), "no such file"};
  const std::string actual = app.ReadFile(name);
  if (actual != expected) throw Mismatch{"file " + name, scn::ShowText(expected), scn::ShowText(actual)};
}

void OnExpectNoFile(Run& run, const Step& step) {
  driver::Revediz& app = run.App(step);
  if (driver::PollUntil([&] { return app.FileExists(step.args[0].text); }, Run::kSettleMs))
    throw Mismatch{"file " + step.args[0].text, "no such file", "it exists"};
}

void OnExpectFileLog(Run& run, const Step& step) {
  driver::Revediz& app = run.App(step);
  const std::string& name = step.args[0].text;
  std::string expected;
  for (const std::string& line : app.LogLines()) (expected += line) += "\r\n";
  const std::string actual = app.FileExists(name) ? app.ReadFile(name) : "no such file";
  if (actual != expected) throw Mismatch{"file " + name, scn::ShowText(expected), scn::ShowText(actual)};
}

// An include is replaced by its steps when the scenario is read.
void OnInclude(Run&, const Step& step) { throw StepError{"include: " + step.args[0].text + " was not read"}; }

// Saves a picture (BMP) of the desktop or of one window in the --out folder.
void OnScreenshot(Run& run, const Step& step) {
  const HWND window = step.args.size() > 1 ? run.Target(step, step.args[1].text) : nullptr;
  const std::string path = winpath::Join(run.options().outDir, step.args[0].text);
  if (!driver::SaveScreenshot(path, window, run.timeout())) throw StepError{"screenshot: cannot save " + path};
}

void OnPlace(Run& run, const Step& step) {
  const std::vector<Word>& a = step.args;
  const HWND window = run.Target(step, a[0].text);
  SetWindowPos(window, nullptr, static_cast<int>(Run::Number(a[1])), static_cast<int>(Run::Number(a[2])),
               static_cast<int>(Run::Number(a[3])), static_cast<int>(Run::Number(a[4])), SWP_NOZORDER | SWP_NOACTIVATE);
}

void OnScroll(Run& run, const Step& step) {
  SendMessageTimeoutA(run.Target(step, "log"), LB_SETTOPINDEX, static_cast<WPARAM>(Run::Number(step.args[1])), 0,
                      SMTO_ABORTIFHUNG, run.timeout(), nullptr);
}

void OnExpectWindow(Run& run, const Step& step) {
  const std::string& field = step.args[1].text;
  const std::string expected = run.Text(step.args[2]);
  const HWND window = run.Target(step, step.args[0].text);
  if (field == "style") return ExpectStyle(window, step, expected);
  const std::string actual = WindowField(window, field, run.timeout());
  if (actual != expected) {
    throw Mismatch{field + " of the " + step.args[0].text + " window", scn::ShowText(expected), scn::ShowText(actual)};
  }
}

}  // namespace runner
