// revediz-run: runs a scenario (runner/SCENARIOS.md) against the real
// REVEDIZ.exe, through the driver (runner/driver/driver.h), and checks what
// the tool does.
//
//   revediz-run [--tool DIR] [--work DIR] [--out DIR] [--timeout MS] SCENARIO
//   revediz-run --explore [--seed S] [--steps N | --minutes M] [--shrink-minutes M] [--out DIR] ...
//
// --tool  folder holding REVEDIZ.exe, vavuro32.dll and the sixteen .DAT
//         files (default: the folder of revediz-run.exe)
// --work  where the working folder of the run is made (default: %TEMP%);
//         the folder is removed after a pass and kept after a failure
// --out   where SCENARIO.fail.bmp (the desktop at a failure) goes (default:
//         the current folder)
// --timeout  bound of every wait in milliseconds (default 10000)
//
// Each step is printed as it runs; then the log transcript and one summary
// line, "PASS <scenario>: ..." or "FAIL <scenario>: ...". A mismatch shows
// the scenario line and "expected: ..." / "actual: ...". Exit status 0 for a
// pass, 1 for a failure (or a scenario that does not read), 2 for wrong use.
//
// --explore plays a random session drawn from the scenario language and
// checks the oracles after every chunk of it (runner/explore.h): --seed
// makes it repeatable (default 1), --steps or --minutes bound it (default
// 1,000 steps); a violation is shrunk to explore-S-min.scn in --out.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "runner/command_line.h"
#include "runner/driver/driver.h"
#include "runner/explore.h"
#include "runner/run.h"
#include "scenario/scenario.h"
#include "toolwindows/paths.h"

namespace runner {
namespace {

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  return winpath::FolderOf(path);
}

std::string TempFolder() {
  char path[MAX_PATH] = {};
  DWORD length = GetTempPathA(sizeof path, path);
  if (length == 0 || length >= sizeof path) return ProgramFolder();
  while (length > 3 && path[length - 1] == '\\') --length;
  return std::string(path, length);
}

bool ReadWholeFile(const std::string& path, std::string* bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char chunk[4096];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes->append(chunk, got);
  std::fclose(file);
  return true;
}

// The options of the run or the exploration from the command line; false for
// a wrong line.
bool ReadOptions(int argc, char** argv, ExploreOptions* explore, bool* exploring) {
  CommandLine line;
  if (!ReadCommandLine(std::vector<std::string>(argv + 1, argv + argc), &line)) return false;
  Options* options = &explore->run;
  options->toolDir = line.tool.empty() ? ProgramFolder() : driver::WindowsPath(line.tool);
  options->workParent = line.work.empty() ? TempFolder() : driver::WindowsPath(line.work);
  if (!line.out.empty()) options->outDir = driver::WindowsPath(line.out);
  if (!line.scenario.empty()) options->scenarioPath = driver::WindowsPath(line.scenario);
  if (line.timeoutMs != 0) options->timeoutMs = static_cast<DWORD>(line.timeoutMs);
  *exploring = line.exploring;
  explore->bounds = line.explore;
  return true;
}

}  // namespace
}  // namespace runner

int main(int argc, char** argv) {
  runner::ExploreOptions explore;
  bool exploring = false;
  if (!runner::ReadOptions(argc, argv, &explore, &exploring)) {
    std::fputs(runner::kUsage, stdout);
    return 2;
  }
  if (exploring) {
    const int status = runner::Explore(explore);
    std::fflush(stdout);
    return status;
  }
  const runner::Options& options = explore.run;
  std::string text;
  if (!runner::ReadWholeFile(options.scenarioPath, &text)) {
    std::printf("FAIL %s: cannot read the scenario\n", options.scenarioPath.c_str());
    return 1;
  }
  scn::Scenario scenario;
  std::vector<std::string> errors;
  const std::string folder = winpath::FolderOf(options.scenarioPath);
  const auto include = [&](const std::string& name, std::string* included) {
    return runner::ReadWholeFile(winpath::Join(folder, name), included);
  };
  if (!scn::ParseScenario(text, &scenario, &errors, include)) {
    const std::string name = winpath::BaseName(options.scenarioPath);
    for (const std::string& error : errors) std::printf("%s: %s\n", name.c_str(), error.c_str());
    std::printf("FAIL %s: the scenario does not read (%zu errors)\n", name.c_str(), errors.size());
    return 1;
  }
  int status = 1;
  try {
    runner::Run run(options, scenario);
    status = run.Execute();
  } catch (const std::exception& error) {
    std::printf("FAIL %s: %s\n", winpath::BaseName(options.scenarioPath).c_str(), error.what());
    status = 1;
  }
  std::fflush(stdout);
  return status;
}
