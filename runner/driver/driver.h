// The driver of REVEDIZ.exe: starts the tool in a fresh working folder and
// drives it from this (second) process, as an operator would, under the same
// desktop. It is the engine of revediz-run, and of the benchmark driver.
//
// Every wait is a bounded poll (every 20 ms, default 10 s). A wait that runs
// out, a message that cannot be delivered or a program that hangs throws
// driver::Failure, whose text holds the reason and a dump of what was on
// screen (the program's top-level windows with their captions, and the log
// lines). The Revediz object ends the program when it goes, so a hung tool
// never holds up a run. The working folder is kept after a failure (with a
// picture of the desktop, failure.bmp) and removed otherwise.
//
// Typical use:
//
//   StartOptions options;  // program, data folder, working folder, library
//   ...
//   Revediz app = Revediz::Start(options);
//   app.Menu(IDM_POS_CLOSE);
//   Dialog d = app.WaitDialog("POS Close");
//   d.SetText(IDC_HANDLE, "x");
//   d.Click(IDOK);                         // posted: OK opens a box
//   Box b = app.WaitBox("Handle Error ");  // b.text: "Non numeric Handle : x "
//   b.Ok();                                // and waits until it is gone
//   d.Cancel();                            // and waits until it is gone
//   app.Exit();
//   DWORD status = app.WaitExit();
//
// Dialogs and message boxes are told apart by their owner: the command
// dialogs are owned by the main window, message boxes have no owner. So a
// dialog "POS Open" and its success box "POS Open" are never confused.
//
// Texts are the program's own (ANSI) texts. List box and combo box items are
// read with the wide messages and converted (Wine 8 overruns a char buffer
// with the ANSI ones across processes).
#ifndef REVEDIZ_RUNNER_DRIVER_DRIVER_H
#define REVEDIZ_RUNNER_DRIVER_DRIVER_H

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "res/resource_ids.h"
#include "simulator/control_line.h"

namespace driver {

// Default bound of every wait, in milliseconds.
inline constexpr DWORD kDefaultTimeoutMs = 10000;

// Thrown when a wait runs out or the program cannot be driven. what() holds
// the reason and the dump of the screen.
class Failure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The sixteen resource list files, in the order the start-up check opens
// them.
const std::vector<std::string>& DataFileNames();

struct StartOptions {
  // REVEDIZ.exe, copied into the working folder and started there (the
  // loader looks in the program's own folder first, so it finds exactly the
  // library put there, or none). Windows or Unix paths throughout.
  std::string programPath;
  // The folder holding the sixteen resource list files.
  std::string dataDir;
  // The working folder; removed and made afresh at start.
  std::string workDir;
  // The library copied into the working folder as vavuro32.dll; empty: none.
  std::string libraryPath;
  // Resource list files to leave out of the working folder (e.g. "PTOUCH.DAT").
  std::vector<std::string> omitDataFiles;
  // Further files to create in the working folder before start: name, bytes.
  std::vector<std::pair<std::string, std::string>> extraFiles;
  // Bound of the wait for the main window (Start) and of every later wait
  // whose caller gives none.
  DWORD timeoutMs = kDefaultTimeoutMs;
};

namespace detail {
struct Session;  // one started program: its process, window and folder
}

// A command dialog of the program (a top-level "#32770" owned by the main
// window). Cheap to copy; refers to the window only.
class Dialog {
 public:
  HWND hwnd() const { return hwnd_; }
  // The dialog's caption.
  std::string Caption() const;
  // The control with that id; throws if there is none.
  HWND Control(int id) const;
  // Window text of a control (an edit's content, a button's label, a combo
  // box's edit field or selected entry).
  std::string Text(int id) const;
  // Sets a control's window text (WM_SETTEXT; edits notify the dialog).
  // Lines of a multi-line edit are separated by "\r\n".
  void SetText(int id, std::string_view text) const;
  // Posts WM_COMMAND(id, BN_CLICKED) to the dialog, as a click of the button
  // with that id would. Returns at once: whatever the button does (a box, the
  // dialog closing) is then waited for.
  void Click(int id) const;
  // Posts BM_CLICK to the button itself (the button's own click path, which
  // also switches automatic radio buttons and check boxes).
  void Press(int id) const;
  // Gives the control the focus (the dialog's own move of it, WM_NEXTDLGCTL)
  // and posts a key's WM_KEYDOWN and WM_KEYUP to it, as the keyboard would:
  // the dialog reads Enter by where the focus is. Returns at once.
  void Key(int id, int virtualKey) const;
  // Turns on a radio button by clicking it, and waits until it is checked.
  void SetRadio(int id) const;
  // Whether a button is checked (BM_GETCHECK == BST_CHECKED).
  bool IsChecked(int id) const;
  // Items of a combo box or list box control.
  std::vector<std::string> Items(int id) const;
  // Index of the selected item of a combo box or list box (-1: none).
  int Selection(int id) const;
  // Selects a combo box item by index, or by its exact text (throws if there
  // is no such item), and sends the dialog CBN_SELCHANGE, as the operator's
  // choice would. Waits until the dialog has handled it.
  void Select(int id, int index) const;
  void Select(int id, std::string_view item) const;
  // As Select, but the notification is posted: for a choice whose handling
  // opens a box.
  void SelectPosted(int id, std::string_view item) const;
  // Whether the dialog window still exists and is visible.
  bool IsOpen() const;
  // Waits until the dialog window is gone; throws if it stays.
  void WaitClosed(DWORD timeoutMs = kDefaultTimeoutMs) const;
  // Click(IDOK) / Click(IDCANCEL), then WaitClosed().
  void OkAndWaitClosed() const;
  void Cancel() const;

 private:
  friend class Revediz;
  Dialog(std::shared_ptr<detail::Session> session, HWND hwnd)
      : session_(std::move(session)), hwnd_(hwnd) {}
  int IndexOf(int id, std::string_view item) const;
  void SelectIndex(int id, int index, bool post) const;
  std::shared_ptr<detail::Session> session_;
  HWND hwnd_ = nullptr;
};

// A message box of the program (a top-level "#32770" without owner).
struct Box {
  HWND hwnd = nullptr;
  std::string caption;  // GetWindowText of the box
  std::string text;     // the box's text (static control id 0xFFFF)
  // Presses OK (posted) and waits until the box is gone.
  void Ok(DWORD timeoutMs = kDefaultTimeoutMs) const;
  std::shared_ptr<detail::Session> session;  // the driver's own
};

// One run of REVEDIZ.exe. Moving only (Dialog and Box objects stay valid);
// the destructor ends the program if it is still running, and removes the
// working folder unless the test failed.
class Revediz {
 public:
  // Prepares the working folder, starts the program and waits until its main
  // window is visible.
  static Revediz Start(const StartOptions& options = {});
  // Prepares the working folder and starts the program without waiting for
  // anything (for start-up failures, which show a box and no window).
  static Revediz Launch(const StartOptions& options = {});

  Revediz(Revediz&& other) noexcept = default;
  Revediz& operator=(Revediz&& other) noexcept;
  Revediz(const Revediz&) = delete;
  Revediz& operator=(const Revediz&) = delete;
  ~Revediz();

  // The working folder (Windows path, no trailing backslash) and a file in it.
  const std::string& WorkDir() const;
  std::string PathOf(std::string_view fileName) const;
  // Files in the working folder: write (binary), read (binary; throws if
  // missing), test for existence, remove.
  void WriteFile(std::string_view fileName, std::string_view bytes) const;
  std::string ReadFile(std::string_view fileName) const;
  bool FileExists(std::string_view fileName) const;
  void RemoveFile(std::string_view fileName) const;

  DWORD ProcessId() const;
  // Waits until the main window (class "REVEDIZ") is visible; returns it.
  HWND WaitMainWindow(DWORD timeoutMs = kDefaultTimeoutMs);
  // The main window once found (null before), and whether the process
  // currently has a visible one.
  HWND MainWindow() const;
  bool HasMainWindow() const;
  // The "Command and Status" list box (null if there is none).
  HWND LogWindow() const;
  // Waits until the program's window thread has handled what was posted to
  // its windows so far (a click, a menu command): a mark posted behind them
  // to the log list comes through then, and a box that one of them opens is
  // showing by then (the box's own loop handles the mark). False if the mark
  // does not come through in time (the thread is busy or hung) or there is
  // no log. The list's state is put back either way.
  bool Drain(DWORD timeoutMs) const;

  // Posts WM_COMMAND(id) to the main window (a menu command).
  void Menu(WPARAM id) const;
  // Posts any message to the main window (e.g. a device notification).
  void Post(UINT message, WPARAM wParam, LPARAM lParam) const;
  // Menu(IDM_EXIT).
  void Exit() const;
  // Posts WM_SYSCOMMAND SC_CLOSE to the main window (its close box).
  void CloseBox() const;

  // Every line of the log, in order (empty if the log is gone).
  // Lines are only ever added at the end of the log, so a caller that keeps
  // what it has read can ask for the lines from `first` on.
  std::vector<std::string> LogLines(std::size_t first = 0) const;
  int LogCount() const;
  // Waits until the log has at least count lines; returns all lines.
  std::vector<std::string> WaitLogCount(int count, DWORD timeoutMs = kDefaultTimeoutMs) const;

  // Waits for a visible dialog with that caption.
  Dialog WaitDialog(std::string_view caption, DWORD timeoutMs = kDefaultTimeoutMs) const;
  // Waits for the simulator's visible "Device Bench" window (class
  // VAVURO_BENCH_CLASS, simulator/bench_ids.h) and returns it as a Dialog, so
  // its controls are set and pressed like a dialog's. The bench opens when
  // the library is initialized.
  Dialog WaitBench(DWORD timeoutMs = kDefaultTimeoutMs) const;
  // Whether the bench window exists now.
  bool HasBench() const;
  // Waits for a visible message box with that caption.
  Box WaitBox(std::string_view caption, DWORD timeoutMs = kDefaultTimeoutMs) const;
  // Waits for any visible message box.
  Box WaitAnyBox(DWORD timeoutMs = kDefaultTimeoutMs) const;
  // The visible message boxes / dialogs right now.
  std::vector<Box> Boxes() const;
  std::vector<Dialog> Dialogs() const;

  // Top-level windows of the process now: class, caption, visibility.
  struct WindowInfo {
    HWND hwnd;
    std::string className;
    std::string caption;
    bool visible;
    bool owned;
  };
  std::vector<WindowInfo> TopLevelWindows() const;

  // Whether the process is still running.
  bool Running() const;
  // Waits for the process to end and returns its exit status; throws (and
  // ends the process) if it does not end in time.
  DWORD WaitExit(DWORD timeoutMs = kDefaultTimeoutMs);

  // The simulator's journal "vavuro32.jnl" in the working folder, one entry
  // per line without line ends (empty if there is no journal yet).
  std::vector<std::string> Journal() const;
  // Waits until a journal line contains text; returns the whole journal.
  std::vector<std::string> WaitJournal(std::string_view text, DWORD timeoutMs = kDefaultTimeoutMs) const;

  // One request line to the control pipe of the simulator the program has
  // loaded (simulator/CONTROL.md), and its reply; fails when the pipe cannot
  // be reached (no library initialized) or its reply cannot be read.
  sim::Reply Control(const std::string& line, DWORD timeoutMs = kDefaultTimeoutMs) const;

  // Text describing the screen now (windows, boxes, log), for failures.
  std::string Dump() const;
  // Throws Failure with message and Dump(); also saves failure.bmp.
  [[noreturn]] void Fail(const std::string& message) const;

 private:
  explicit Revediz(std::shared_ptr<detail::Session> session) : s_(std::move(session)) {}
  void End();
  std::shared_ptr<detail::Session> s_;
};

// Polls condition every 20 ms until it holds or timeoutMs passes; returns
// whether it held.
bool PollUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// Window text of any window, read with WM_GETTEXT (SendMessageTimeout).
std::string WindowText(HWND hwnd);

// Texts of a combo box's or list box's items from index `first` on (wide
// messages, converted).
std::vector<std::string> ListItems(HWND control, std::size_t first = 0);
// The number of a list box's items; Failure if it does not answer.
int ListCount(HWND control);

// Splits text at "\r\n" or "\n" (no empty last line for a final line end).
std::vector<std::string> SplitLines(std::string_view text);

// The Windows path of a path handed over from the build (a Unix path gets
// the drive Z: and backslashes).
std::string WindowsPath(std::string_view path);

// Saves the screen as a 24-bit BMP: the whole desktop, or the part that a
// window covers (its frame included). With settleMs, once the picture holds
// still (two taken 200 ms apart the same) or settleMs has passed. False when
// nothing could be saved.
bool SaveScreenshot(const std::string& path, HWND window = nullptr, DWORD settleMs = 0);

}  // namespace driver

#endif  // REVEDIZ_RUNNER_DRIVER_DRIVER_H
