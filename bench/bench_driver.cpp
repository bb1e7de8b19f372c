// Measures REVEDIZ.exe against the bare baseline program (bare_window.exe)
// under the same Wine desktop, in one run, and prints one Markdown table row
// per measure on stdout (the samples of every run go to stderr):
//
//   start-up     CreateProcess to the visible main window with its list box
//   large read   OK of the Read dialog (65519 bytes from the simulator's
//                NVRAM) to the visible "POS Read" box, against the bare
//                program adding the same 4097 lines
//   burst        1000 posted device-online notifications to their 6000th
//                log line, against two bare baselines: 1000 posted messages
//                that add the same 6000 lines, 6 each, and one message that
//                adds all 6000 in one redraw batch
//   memory       peak working set after the large read / the 4097 lines
//
//   bench_driver.exe [--startup-runs N] [--line-runs N] [--burst-runs N]
//
// Times come from QueryPerformanceCounter; every end is polled tightly
// (Sleep(1) between looks). The tool is driven with the end-to-end driver
// (runner/driver/driver.h); the bare program is started and polled here.
// The exit status is 0 when every run completed, 1 otherwise.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_messages.h"
#include "res/resource_ids.h"
#include "runner/driver/driver.h"
#include "toolwindows/paths.h"

namespace {

using Lines = std::vector<std::string>;

constexpr char kBareClass[] = "BareWindow";
constexpr char kToolClass[] = "REVEDIZ";
constexpr DWORD kTimeoutMs = 300000;

// The large read: a buffer the NVRAM fills (it holds 65536 bytes).
constexpr int kReadSize = 65519;
constexpr int kReadLines = 2 + (kReadSize + 15) / 16;  // title, count, rows: 4097
// The burst: device-online notifications, six lines each.
constexpr UINT kDeviceOnline = 0x420D;
constexpr WPARAM kOnlineWParam = 0x02112402;
constexpr LPARAM kOnlineLParam = 0x00000006;
constexpr int kNotifications = 1000;
constexpr int kLinesPerNotification = 6;
constexpr int kBurstLines = kNotifications * kLinesPerNotification;

using Error = std::runtime_error;

double NowMs() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Looks at condition every millisecond until it holds; false on timeout.
template <class Condition>
bool SpinUntil(Condition condition, DWORD timeoutMs = kTimeoutMs) {
  const double deadline = NowMs() + timeoutMs;
  while (!condition()) {
    if (NowMs() > deadline) return false;
    Sleep(1);
  }
  return true;
}

// --- windows of a process --------------------------------------------------

struct Search {
  DWORD pid;
  const char* className;
  const char* caption;  // null: any
  bool ownerless;
  HWND found;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM param) {
  Search* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != search->pid || !IsWindowVisible(hwnd)) return TRUE;
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof name);
  if (std::strcmp(name, search->className) != 0) return TRUE;
  if (search->ownerless && GetWindow(hwnd, GW_OWNER) != nullptr) return TRUE;
  if (search->caption != nullptr) {
    char caption[128] = {};
    GetWindowTextA(hwnd, caption, sizeof caption);
    if (std::strcmp(caption, search->caption) != 0) return TRUE;
  }
  search->found = hwnd;
  return FALSE;
}

// The visible top-level window of pid with that class (and caption), or null.
HWND VisibleWindow(DWORD pid, const char* className, const char* caption = nullptr,
                   bool ownerless = false) {
  Search search{pid, className, caption, ownerless, nullptr};
  EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The visible list box child of a main window, or null.
HWND VisibleList(HWND main) {
  HWND list = FindWindowExA(main, nullptr, "LISTBOX", nullptr);
  return list != nullptr && IsWindowVisible(list) ? list : nullptr;
}

int ListCount(HWND list) {
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &count))
    throw Error("a list box does not answer");
  return static_cast<int>(static_cast<LRESULT>(count));
}

SIZE_T PeakWorkingSet(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (process == nullptr) throw Error("cannot open process " + std::to_string(pid));
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  const BOOL ok = GetProcessMemoryInfo(process, &counters, sizeof counters);
  CloseHandle(process);
  if (!ok) throw Error("no memory counters for process " + std::to_string(pid));
  return counters.PeakWorkingSetSize;
}

// --- a started program (the bare one, or the tool for start-up runs) -------

struct Program {
  PROCESS_INFORMATION info = {};
  HWND main = nullptr;
  HWND list = nullptr;

  Program() = default;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  ~Program() {
    if (info.hProcess == nullptr) return;
    if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(info.hProcess, 0xDEAD);
      WaitForSingleObject(info.hProcess, 5000);
    }
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
  }

  void Start(const std::string& path, const std::string& argument, const std::string& folder) {
    std::string commandLine = "\"" + path + "\"";
    if (!argument.empty()) commandLine += " " + argument;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info)) {
      throw Error("cannot start " + path + " (error " + std::to_string(GetLastError()) + ")");
    }
  }

  // Waits until the main window of the class is visible with its list box.
  void WaitWindow(const char* className) {
    const bool shown = SpinUntil([&] {
      main = VisibleWindow(info.dwProcessId, className);
      list = main != nullptr ? VisibleList(main) : nullptr;
      return list != nullptr || WaitForSingleObject(info.hProcess, 0) != WAIT_TIMEOUT;
    });
    if (!shown || list == nullptr) throw Error(std::string("no visible window of class ") + className);
  }

  // Closes the main window and waits for a clean exit.
  void Close() {
    PostMessageA(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info.hProcess, kTimeoutMs) != WAIT_OBJECT_0) throw Error("a program did not end");
    DWORD status = 1;
    GetExitCodeProcess(info.hProcess, &status);
    if (status != 0) throw Error("a program ended with status " + std::to_string(status));
  }
};

// --- paths and files --------------------------------------------------------

void CopyInto(const std::string& from, const std::string& folder) {
  if (!CopyFileA(from.c_str(), winpath::Join(folder, winpath::BaseName(from)).c_str(), FALSE))
    throw Error("cannot copy " + from + " to " + folder);
}

// Writes lines as NUL-terminated items (the bare program's lines file).
void WriteLines(const std::string& path, const Lines& lines, std::size_t from, std::size_t count) {
  std::string bytes;
  for (std::size_t i = from; i < from + count; ++i) {
    bytes += lines[i];
    bytes.push_back('\0');
  }
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  const bool ok = file != INVALID_HANDLE_VALUE &&
                  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  if (!ok) throw Error("cannot write " + path);
}

// --- statistics and the table -----------------------------------------------

struct Samples {
  std::vector<double> values;
  double Min() const { return *std::min_element(values.begin(), values.end()); }
  double Median() const {
    std::vector<double> v = values;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
  }
};

void PrintSamples(const char* name, const Samples& samples) {
  std::fprintf(stderr, "%s:", name);
  for (double v : samples.values) std::fprintf(stderr, " %.1f", v);
  std::fprintf(stderr, "\n");
}

// One row: tool and baseline min / median, their ratios, and the goal (a
// ratio of the medians at most `goal`; 0: no goal).
// Runs: one count, or the tool's and the baseline's where they differ.
void PrintRow(const char* measure, const char* unit, const Samples& tool, const Samples& bare, double goal) {
  if (tool.values.empty() || bare.values.empty()) return;  // that measure was not run
  std::string runs = std::to_string(tool.values.size());
  if (bare.values.size() != tool.values.size()) runs += " / " + std::to_string(bare.values.size());
  const double minRatio = tool.Min() / bare.Min();
  const double medianRatio = tool.Median() / bare.Median();
  char goalText[32] = "-";
  const char* verdict = "-";
  if (goal > 0) {
    std::snprintf(goalText, sizeof goalText, "<= %.2fx", goal);
    verdict = medianRatio <= goal ? "met" : "missed";
  }
  std::printf("| %s | %s | %.1f / %.1f %s | %.1f / %.1f %s | %.2fx / %.2fx | %s | %s |\n", measure, runs.c_str(),
              tool.Min(), tool.Median(), unit, bare.Min(), bare.Median(), unit, minRatio, medianRatio,
              goalText, verdict);
  std::fflush(stdout);
}

// --- the tool through the end-to-end driver ---------------------------------

void ExpectBox(const driver::Revediz& app, const char* caption, const char* text) {
  driver::Box box = app.WaitBox(caption);
  if (box.text != text) throw Error(std::string("box ") + caption + ": " + box.text);
  box.Ok();
}

void Initialize(driver::Revediz& app) {
  app.Menu(IDM_POS_INITIALIZE);
  driver::Dialog dialog = app.WaitDialog("POS Initialization");
  dialog.Click(IDOK);
  ExpectBox(app, "POS Initialize", "Initialize Successful.");
  dialog.WaitClosed();
}

int OpenNvram(driver::Revediz& app) {
  app.Menu(IDM_POS_OPEN);
  driver::Dialog dialog = app.WaitDialog("POS Open");
  dialog.Select(IDC_DEVICE_CLASS, "PosNvram");
  dialog.Click(IDOK);
  driver::Box box = app.WaitBox("POS Open");
  int handle = 0;
  if (std::sscanf(box.text.c_str(), "  Handle :  %d", &handle) != 1 || handle <= 0)
    throw Error("PosOpen of PosNvram: " + box.text);
  box.Ok();
  dialog.WaitClosed();
  return handle;
}

// The lines the log must show for the read, formatted plainly: the NVRAM
// holds (offset + offset / 256) & 0xFF at each offset.
Lines ExpectedReadLines() {
  Lines lines = {"      Read Results:  ", "      (" + std::to_string(kReadSize) + " bytes)"};
  char cell[8];
  for (int row = 0; row < kReadSize; row += 16) {
    std::snprintf(cell, sizeof cell, "%04X", row);
    std::string line = std::string("   ") + cell + ": ";
    std::string text;
    for (int i = row; i < row + 16 && i < kReadSize; ++i) {
      const int b = (i + i / 256) & 0xFF;
      std::snprintf(cell, sizeof cell, "%02X ", b);
      line += cell;
      text.push_back(b >= 0x20 && b <= 0x7E ? static_cast<char>(b) : '.');
    }
    lines.push_back(line + " | " + text + "\n");
  }
  return lines;
}

// A fresh working folder of its own for each start of the tool.
driver::StartOptions ToolOptions() {
  static int runs = 0;
  driver::StartOptions options;
  options.timeoutMs = kTimeoutMs;
  options.programPath = REVEDIZ_BENCH_PROGRAM;
  options.dataDir = REVEDIZ_BENCH_DATA_DIR;
  options.libraryPath = REVEDIZ_BENCH_SIMULATOR;
  options.workDir = driver::WindowsPath(REVEDIZ_BENCH_WORK_DIR) + "\\tool-" + std::to_string(++runs);
  return options;
}

struct ReadRun {
  double ms;
  SIZE_T peak;
};

// One large read in a fresh tool; on the first run (linesFile set) the log is
// checked and the dump lines written for the bare program.
ReadRun ToolLargeRead(const std::string& linesFile) {
  driver::StartOptions options = ToolOptions();
  driver::Revediz app = driver::Revediz::Start(options);
  Initialize(app);
  const std::string handle = std::to_string(OpenNvram(app));
  const int mark = app.LogCount();
  app.Menu(IDM_POS_READ);
  driver::Dialog dialog = app.WaitDialog("POS Read");
  dialog.SetText(IDC_HANDLE, handle);
  dialog.SetText(IDC_BUFFER_SIZE, std::to_string(kReadSize));

  const double start = NowMs();
  dialog.Click(IDOK);
  if (!SpinUntil([&] { return VisibleWindow(app.ProcessId(), "#32770", "POS Read", true) != nullptr; }))
    throw Error("no \"POS Read\" box after the large read");
  const double end = NowMs();
  const SIZE_T peak = PeakWorkingSet(app.ProcessId());

  ExpectBox(app, "POS Read", "PosRead Successful.");
  dialog.WaitClosed();
  if (!linesFile.empty()) {
    const Lines log = app.LogLines();
    const Lines expected = ExpectedReadLines();
    if (log.size() != static_cast<std::size_t>(mark) + 1 + kReadLines ||
        log[static_cast<std::size_t>(mark)] != "Command-->  PosRead(" + handle + ", [], " + std::to_string(kReadSize) + ")" ||
        !std::equal(expected.begin(), expected.end(), log.begin() + mark + 1))
      throw Error("the large read's log lines differ from the plain reference");
    std::fprintf(stderr, "large read: %d log lines identical to the plain reference\n", kReadLines);
    WriteLines(linesFile, log, static_cast<std::size_t>(mark) + 1, kReadLines);
  }
  app.Exit();
  if (app.WaitExit(kTimeoutMs) != 0) throw Error("REVEDIZ ended with a nonzero status");
  return ReadRun{end - start, peak};
}

ReadRun BareLargeRead(const std::string& bare, const std::string& linesFile, const std::string& folder) {
  Program program;
  program.Start(bare, "\"" + linesFile + "\"", folder);
  program.WaitWindow(kBareClass);
  const double start = NowMs();
  PostMessageA(program.main, bench::kAddAllMessage, 0, 0);
  if (!SpinUntil([&] { return ListCount(program.list) >= kReadLines; })) throw Error("the bare program stopped adding");
  const double end = NowMs();
  const SIZE_T peak = PeakWorkingSet(program.info.dwProcessId);
  program.Close();
  return ReadRun{end - start, peak};
}

double ToolBurst(const std::string& linesFile) {
  driver::StartOptions options = ToolOptions();
  driver::Revediz app = driver::Revediz::Start(options);
  const int base = app.LogCount();
  // Polled as the bare program's list is: one LB_GETCOUNT a look, on the
  // list found once.
  const HWND list = app.LogWindow();
  const double start = NowMs();
  for (int i = 0; i < kNotifications; ++i) app.Post(kDeviceOnline, kOnlineWParam, kOnlineLParam);
  // The posting alone bounds the burst from below (the baselines post once).
  std::fprintf(stderr, "burst: posted in %.1f ms, %d lines logged by then\n", NowMs() - start, ListCount(list) - base);
  if (!SpinUntil([&] { return ListCount(list) >= base + kBurstLines; })) throw Error("the burst did not reach the log");
  const double end = NowMs();
  if (!linesFile.empty()) {
    const Lines log = app.LogLines();
    if (log.size() != static_cast<std::size_t>(base + kBurstLines)) throw Error("the burst logged extra lines");
    for (std::size_t i = kLinesPerNotification; i < log.size(); ++i) {
      if (log[i] != log[i - kLinesPerNotification]) throw Error("the burst's notifications were logged differently");
    }
    std::fprintf(stderr, "burst: first notification logged as:\n");
    for (int i = 0; i < kLinesPerNotification; ++i) std::fprintf(stderr, "  [%s]\n", log[static_cast<std::size_t>(base + i)].c_str());
    WriteLines(linesFile, log, static_cast<std::size_t>(base), kBurstLines);
  }
  app.Exit();
  if (app.WaitExit(kTimeoutMs) != 0) throw Error("REVEDIZ ended with a nonzero status");
  return end - start;
}

// The bare program adds the burst's lines six per message, or (batched) all
// of them in one redraw batch.
double BareBurst(const std::string& bare, const std::string& linesFile, const std::string& folder, bool batched) {
  Program program;
  program.Start(bare, "\"" + linesFile + "\"", folder);
  program.WaitWindow(kBareClass);
  const double start = NowMs();
  if (batched) {
    PostMessageA(program.main, bench::kAddAllBatchedMessage, 0, 0);
  } else {
    for (int i = 0; i < kNotifications; ++i) PostMessageA(program.main, bench::kAddNextMessage, kLinesPerNotification, 0);
  }
  if (!SpinUntil([&] { return ListCount(program.list) >= kBurstLines; })) throw Error("the bare program stopped adding");
  const double end = NowMs();
  program.Close();
  return end - start;
}

double StartUp(const std::string& path, const std::string& folder, const char* className) {
  Program program;
  const double start = NowMs();
  program.Start(path, "", folder);
  program.WaitWindow(className);
  const double end = NowMs();
  program.Close();
  return end - start;
}

int ArgValue(int argc, char** argv, const char* name, int fallback) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], name) == 0) return std::atoi(argv[i + 1]);
  return fallback;
}

}  // namespace

int main(int argc, char** argv) {
  const int startupRuns = ArgValue(argc, argv, "--startup-runs", 15);
  const int lineRuns = ArgValue(argc, argv, "--line-runs", 1);
  const int burstRuns = ArgValue(argc, argv, "--burst-runs", 5);
  try {
    const std::string folder = driver::WindowsPath(REVEDIZ_BENCH_WORK_DIR);
    const std::string bareSource = driver::WindowsPath(REVEDIZ_BENCH_BARE_PROGRAM);
    CreateDirectoryA(folder.c_str(), nullptr);
    // Both programs start from one folder holding the resource list files.
    for (const std::string& name : driver::DataFileNames()) CopyInto(winpath::Join(driver::WindowsPath(REVEDIZ_BENCH_DATA_DIR), name), folder);
    CopyInto(driver::WindowsPath(REVEDIZ_BENCH_PROGRAM), folder);
    CopyInto(bareSource, folder);
    const std::string tool = winpath::Join(folder, winpath::BaseName(driver::WindowsPath(REVEDIZ_BENCH_PROGRAM)));
    const std::string bare = winpath::Join(folder, winpath::BaseName(bareSource));

    std::printf("| Measure | Runs | REVEDIZ min / median | Bare baseline min / median | Ratio min / median | Goal | Result |\n");
    std::printf("|---|---|---|---|---|---|---|\n");

    // Start-up: one unmeasured start of each first, then alternating runs.
    Samples toolStart, bareStart;
    for (int i = -1; startupRuns > 0 && i < startupRuns; ++i) {
      const double t = StartUp(tool, folder, kToolClass), b = StartUp(bare, folder, kBareClass);
      if (i < 0) continue;
      toolStart.values.push_back(t);
      bareStart.values.push_back(b);
    }
    PrintSamples("start-up REVEDIZ ms", toolStart);
    PrintSamples("start-up bare ms", bareStart);
    PrintRow("Start-up to visible window and log", "ms", toolStart, bareStart, 1.10);

    const std::string readLines = winpath::Join(folder, "read-lines.bin");
    Samples toolRead, bareRead, toolPeak, barePeak;
    for (int i = 0; i < lineRuns; ++i) {
      const ReadRun t = ToolLargeRead(i == 0 ? readLines : std::string());
      std::fprintf(stderr, "tool read %.1f\n", t.ms);
      const ReadRun b = BareLargeRead(bare, readLines, folder);
      std::fprintf(stderr, "bare read %.1f\n", b.ms);
      toolRead.values.push_back(t.ms);
      bareRead.values.push_back(b.ms);
      toolPeak.values.push_back(static_cast<double>(t.peak) / 1024.0);
      barePeak.values.push_back(static_cast<double>(b.peak) / 1024.0);
    }
    PrintSamples("large read REVEDIZ ms", toolRead);
    PrintSamples("large read bare ms", bareRead);
    PrintRow("Large read, 65519 bytes: OK to \"POS Read\" box (4097 lines)", "ms", toolRead, bareRead, 1.10);

    // The burst is quick (the one-line-at-a-time baseline is not): it and
    // its batched baseline run burstRuns times, the other lineRuns times.
    const std::string burstLines = winpath::Join(folder, "burst-lines.bin");
    Samples toolBurst, bareBurst, bareBatched;
    for (int i = 0; i < std::max(lineRuns, burstRuns); ++i) {
      if (i < burstRuns) toolBurst.values.push_back(ToolBurst(i == 0 ? burstLines : std::string()));
      if (i < lineRuns) bareBurst.values.push_back(BareBurst(bare, burstLines, folder, false));
      if (i < burstRuns) bareBatched.values.push_back(BareBurst(bare, burstLines, folder, true));
    }
    PrintSamples("burst REVEDIZ ms", toolBurst);
    PrintSamples("burst bare ms", bareBurst);
    PrintSamples("burst bare batched ms", bareBatched);
    PrintRow("Burst: 1000 notifications 0x420D to the last of 6000 lines; bare: 6 lines a message", "ms", toolBurst,
             bareBurst, 1.10);
    PrintRow("Burst, as above; bare: all 6000 lines in one redraw batch", "ms", toolBurst, bareBatched, 3.0);

    PrintSamples("peak working set REVEDIZ KiB", toolPeak);
    PrintSamples("peak working set bare KiB", barePeak);
    PrintRow("Peak working set after the large read", "KiB", toolPeak, barePeak, 0);
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "bench_driver: %s\n", e.what());
    return 1;
  }
  return 0;
}
