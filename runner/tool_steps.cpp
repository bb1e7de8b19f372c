// Steps on the tool and its dialogs: starting and ending it, menu commands,
// posted messages, the dialog acted on and its fields.
#include <cstdio>

#include "runner/run.h"
#include "runner/steps.h"
#include "simulator/bench_ids.h"
#include "toolwindows/paths.h"

namespace runner {
namespace {

// The entries of a list (all of them, or one holding a text); polled.
void ExpectItems(Run& run, const Step& step, bool one) {
  Lines expected;
  for (std::size_t i = 1; i < step.args.size(); ++i) expected.push_back(run.Text(step.args[i]));
  Lines actual;
  const bool good = driver::PollUntil([&] {
    actual = run.CurrentDialog(step).Items(Run::Id(step.args[0]));
    if (!one) return actual == expected;
    for (const std::string& item : actual) {
      if (item.find(expected[0]) != std::string::npos) return true;
    }
    return false;
  }, run.timeout());
  if (!good) {
    throw Mismatch{"items of " + step.args[0].text,
                   one ? "an entry holding " + scn::ShowText(expected[0]) : ShowLines(expected), ShowLines(actual)};
  }
}

// A menu of one popup: its title, then "ID TEXT" (" (greyed)") or "-" per item.
Lines MenuLines(HMENU menu) {
  Lines lines;
  char text[256] = {};
  GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
  lines.push_back(text);
  HMENU popup = GetSubMenu(menu, 0);
  for (int i = 0; popup != nullptr && i < GetMenuItemCount(popup); ++i) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    text[0] = '\0';
    GetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &info);
    std::string item = (info.fType & MFT_SEPARATOR) ? "-" : std::to_string(info.wID) + " " + text;
    if (!(info.fType & MFT_SEPARATOR) && (info.fState & (MFS_GRAYED | MFS_DISABLED))) item += " (greyed)";
    lines.push_back(item);
  }
  return lines;
}

// The start step's words, into what the driver starts with.
void StartWords(Run& run, const Step& step, driver::StartOptions* start) {
  const std::vector<Word>& a = step.args;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!a[i].quoted && a[i].text == "missing") continue;
    if (!a[i].quoted && a[i].text == "no-library") {
      start->libraryPath.clear();
    } else if (!a[i].quoted && a[i].text == "library") {
      start->libraryPath = run.ToolFile(a[++i].text);
    } else {
      start->omitDataFiles.push_back(a[i].text);
    }
  }
}

}  // namespace

void OnStart(Run& run, const Step& step) {
  if (run.app && run.app->Running()) throw StepError{"start: the tool is running already"};
  const Options& options = run.options();
  driver::StartOptions start;
  start.timeoutMs = options.timeoutMs;
  start.programPath = winpath::Join(options.toolDir, "REVEDIZ.exe");
  start.dataDir = options.toolDir;
  start.libraryPath = winpath::Join(options.toolDir, "vavuro32.dll");
  start.extraFiles = run.files;
  start.workDir = winpath::Join(options.workParent, "revediz-run-" + Stem(options.scenarioPath) + "-" +
                                                   std::to_string(GetCurrentProcessId()) + "-" +
                                                   std::to_string(++run.starts));
  StartWords(run, step, &start);
  run.dialog.reset();
  run.box.reset();
  run.logCursor = 0;
  run.journalCursor = 0;
  run.transcript.clear();
  run.app.reset();
  // Without all the files the tool shows its start-up box and no window.
  if (start.omitDataFiles.empty()) {
    run.app.emplace(driver::Revediz::Start(start));
  } else {
    run.app.emplace(driver::Revediz::Launch(start));
  }
  run.formsChecked = 0;
  run.heldFirst.reset();
  if (run.FirstPass() && !options.quiet) std::printf("  [folder %s]", run.app->WorkDir().c_str());
}

void OnExit(Run& run, const Step& step) {
  run.Log();
  run.App(step).Exit();
}

void OnClose(Run& run, const Step& step) {
  run.Log();
  if (step.args.empty()) return run.App(step).CloseBox();
  const std::string& which = step.args[0].text;  // the log, or the dialog (its close box is its Cancel)
  const HWND window = run.Target(step, which);
  PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  if (!driver::PollUntil([&] { return !IsWindow(window); }, run.timeout())) {
    throw Mismatch{which + " window", "closed", "still there"};
  }
}

void OnExpectExit(Run& run, const Step& step) {
  const DWORD status = run.App(step).WaitExit(run.timeout());
  const auto expected = static_cast<DWORD>(Run::Number(step.args[0]));
  if (status != expected) {
    throw Mismatch{"exit status", std::to_string(static_cast<long>(expected)), std::to_string(static_cast<long>(status))};
  }
}

void OnMenu(Run& run, const Step& step) {
  int id = 0;
  scn::ParseMenuCommand(step.args[0].text, &id);
  run.Log();
  run.App(step).Menu(static_cast<WPARAM>(id));
}

void OnPost(Run& run, const Step& step) {
  const std::vector<Word>& a = step.args;
  run.App(step).Post(static_cast<UINT>(Run::Number(a[0])), static_cast<WPARAM>(Run::Number(a[1])),
                     static_cast<LPARAM>(Run::Number(a[2])));
}

void OnDialog(Run& run, const Step& step) {
  driver::Revediz& app = run.App(step);
  const std::string caption = run.Text(step.args[0]);
  std::optional<driver::Dialog> found;
  // The simulator's device bench is acted on like a dialog.
  const bool bench = caption == VAVURO_BENCH_TITLE;
  driver::PollUntil([&] {
    if (bench) return app.HasBench();
    for (const driver::Dialog& dialog : app.Dialogs()) {
      if (dialog.Caption() == caption) found = dialog;
    }
    return found.has_value();
  }, run.timeout());
  if (bench && app.HasBench()) found = app.WaitBench(run.timeout());
  if (!found) throw Mismatch{"dialog", "dialog " + scn::ShowText(caption), run.ScreenNow()};
  run.dialog = found;
  run.dialogCaption = caption;
  run.box.reset();
}

void OnSet(Run& run, const Step& step) {
  run.CurrentDialog(step).SetText(Run::Id(step.args[0]), run.Text(step.args[1]));
}

void OnSelect(Run& run, const Step& step) {
  run.CurrentDialog(step).Select(Run::Id(step.args[0]), run.Text(step.args[1]));
}

void OnSelectPosted(Run& run, const Step& step) {
  run.CurrentDialog(step).SelectPosted(Run::Id(step.args[0]), run.Text(step.args[1]));
}

void OnRadio(Run& run, const Step& step) { run.CurrentDialog(step).SetRadio(Run::Id(step.args[0])); }
void OnClick(Run& run, const Step& step) { run.CurrentDialog(step).Click(Run::Id(step.args[0])); }
void OnPress(Run& run, const Step& step) { run.CurrentDialog(step).Press(Run::Id(step.args[0])); }
void OnKey(Run& run, const Step& step) {
  run.CurrentDialog(step).Key(Run::Id(step.args[0]), scn::KeyCode(step.args[1].text));
}
void OnCancel(Run& run, const Step& step) { run.CurrentDialog(step).Cancel(); }

void OnExpectClosed(Run& run, const Step& step) {
  const HWND hwnd = run.CurrentDialog(step).hwnd();
  if (!driver::PollUntil([&] { return !IsWindow(hwnd); }, run.timeout())) {
    throw Mismatch{"dialog state", "dialog " + scn::ShowText(run.dialogCaption) + " closed",
                   "still open; " + run.ScreenNow()};
  }
}

void OnExpectOpen(Run& run, const Step& step) {
  if (!run.CurrentDialog(step).IsOpen()) {
    throw Mismatch{"dialog state", "dialog " + scn::ShowText(run.dialogCaption) + " open", "it has closed"};
  }
}

// A field's text; polled, since the bench's fields change on its own thread.
void OnExpectField(Run& run, const Step& step) {
  const std::string expected = run.Text(step.args[1]);
  std::string actual;
  driver::PollUntil([&] { return (actual = run.CurrentDialog(step).Text(Run::Id(step.args[0]))) == expected; },
                    run.timeout());
  if (actual != expected) {
    throw Mismatch{"field " + step.args[0].text, scn::ShowText(expected), scn::ShowText(actual)};
  }
}

// The menu bar as the program's resources hold it: the first word is the
// popup's title, then one word per item, "ID TEXT" or "-" for a separator.
// (A menu of another process cannot be read item by item under Wine, so it
// is read from the program file.)
void OnExpectMenu(Run& run, const Step& step) {
  driver::Revediz& app = run.App(step);
  if (GetMenu(app.MainWindow()) == nullptr) throw Mismatch{"menu", "a menu bar", "the main window has none"};
  const std::string program = app.PathOf("REVEDIZ.exe");
  HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HMENU menu = module == nullptr ? nullptr : LoadMenuA(module, "WinPOSMenu");
  const Lines actual = menu != nullptr && GetMenuItemCount(menu) == 1 ? MenuLines(menu) : Lines();
  if (menu != nullptr) DestroyMenu(menu);
  if (module != nullptr) FreeLibrary(module);
  Lines expected;
  for (const Word& word : step.args) expected.push_back(run.Text(word));
  if (actual != expected) throw Mismatch{"menu WinPOSMenu", ShowLines(expected), ShowLines(actual)};
}

void OnExpectItems(Run& run, const Step& step) { ExpectItems(run, step, false); }
void OnExpectItemContains(Run& run, const Step& step) { ExpectItems(run, step, true); }

}  // namespace runner
