// Tests of the lazy binding layer against the test device libraries
// (test_device.h), run under Wine.
//
// How the scenarios run: the layer keeps process-wide state and loads
// "vavuro32.dll" by name, so every scenario needs a fresh process that finds
// exactly the library variant it is about. Each scenario is a pair of tests:
//   Child_<Suite>.<Name>  the scenario itself; runs only in a child process;
//   <Suite>.<Name>        empties the folder run\<Suite>.<Name>\ beside this
//                         program, copies this program and the scenario's
//                         vavuro32.dll variant into it (none for "no library"),
//                         starts the copy there with
//                         --gtest_filter=Child_<Suite>.<Name> --child and that
//                         folder as working directory, and checks its exit
//                         status, its output and the library's log.
// The loader searches the program's own folder first, so the child loads the
// copy beside it and nothing else; the library's log ends up in the same
// folder, where it survives the child. Without --child the Child_ tests are
// filtered out, so ctest (and a run by hand) sees only the parent tests.
#include <windows.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

#include "api/binding.h"
#include "tests/wine/test_device.h"

namespace {

// ---- Parent side ------------------------------------------------------------

constexpr DWORD kChildTimeoutMs = 60000;

std::string ProgramPath() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length);
}

// The folder of this program, with its trailing backslash.
std::string ProgramFolder() {
  const std::string path = ProgramPath();
  return path.substr(0, path.find_last_of('\\') + 1);
}

std::string ReadWholeFile(const std::string& path) {
  std::string content;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return content;
  }
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
    content.append(chunk, got);
  }
  CloseHandle(file);
  return content;
}

// Makes `folder` (with trailing backslash) exist and hold no files.
void PrepareEmptyFolder(const std::string& folder) {
  CreateDirectoryA(folder.c_str(), nullptr);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    return;
  }
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      DeleteFileA((folder + found.cFileName).c_str());
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

// Deletes a file that an ended child may still hold for a moment; polls
// every 20 ms for up to a second.
void DeleteSoon(const std::string& path) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) {
      return;
    }
    Sleep(20);
  }
}

struct ChildRun {
  bool started = false;
  DWORD exitCode = 0;
  std::string output;  // the child's standard output and error
  std::string log;     // the library's log after the child ended ("" if none)
};

// Runs Child_<name> in a fresh process beside a copy of the `variant`'s
// library ("complete", "no_version", "init_fails"; nullptr for none).
ChildRun RunScenario(const char* variant, const char* name) {
  ChildRun run;
  const std::string root = ProgramFolder();
  CreateDirectoryA((root + "run").c_str(), nullptr);
  const std::string folder = root + "run\\" + name + "\\";
  PrepareEmptyFolder(folder);

  // A copy, not a hard link: the system refuses to delete a link to the
  // image of this running program. Removed again once the child has ended.
  const std::string program = folder + "binding_tests.exe";
  if (!CopyFileA(ProgramPath().c_str(), program.c_str(), FALSE)) {
    ADD_FAILURE() << "cannot copy the test program to " << program;
    return run;
  }
  if (variant != nullptr) {
    const std::string library = root + variant + "\\vavuro32.dll";
    if (!CopyFileA(library.c_str(), (folder + "vavuro32.dll").c_str(), FALSE)) {
      ADD_FAILURE() << "cannot copy " << library;
      return run;
    }
  }

  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  HANDLE output = CreateFileA((folder + "child.out").c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (output == INVALID_HANDLE_VALUE) {
    ADD_FAILURE() << "cannot create the child's output file";
    return run;
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = output;
  startup.hStdError = output;
  std::string commandLine =
      "\"" + program + "\" --gtest_filter=Child_" + name + " --gtest_color=no --child";
  PROCESS_INFORMATION process = {};
  const BOOL created = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                      0, nullptr, folder.c_str(), &startup, &process);
  CloseHandle(output);
  if (!created) {
    ADD_FAILURE() << "cannot start " << commandLine << " (error " << GetLastError() << ")";
    return run;
  }
  CloseHandle(process.hThread);
  if (WaitForSingleObject(process.hProcess, kChildTimeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 99);
    WaitForSingleObject(process.hProcess, kChildTimeoutMs);
    ADD_FAILURE() << "the child did not end within " << kChildTimeoutMs << " ms";
  }
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hProcess);
  run.started = true;
  run.output = ReadWholeFile(folder + "child.out");
  run.log = ReadWholeFile(folder + kTestDeviceLog);
  DeleteSoon(program);
  DeleteSoon(folder + "vavuro32.dll");
  return run;
}

// The child ran its one test, and it passed. (A filter matching nothing
// would also end with status 0.)
void ExpectChildPassed(const ChildRun& run) {
  ASSERT_TRUE(run.started);
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_NE(run.output.find("[  PASSED  ] 1 test."), std::string::npos) << run.output;
}

// Defines the parent test Suite.Name, which runs the child test whose body
// follows the macro, Child_Suite.Name, next to the library `variant`.
#define BINDING_SCENARIO(Suite, Name, variant)              \
  TEST(Suite, Name) {                                       \
    ExpectChildPassed(RunScenario(variant, #Suite "." #Name)); \
  }                                                         \
  TEST(Child_##Suite, Name)

// ---- Child side ---------------------------------------------------------------

// Where the parent's build keeps the complete library, seen from a child's
// folder run\<Suite>.<Name>\.
constexpr char kCompleteLibraryFromChild[] = "..\\..\\complete\\vavuro32.dll";

// The library's log as expected: the lines, each ended by CR LF.
std::string LogOf(std::initializer_list<const char*> lines) {
  std::string log;
  for (const char* line : lines) {
    log += line;
    log += "\r\n";
  }
  return log;
}

std::string DeviceLog() { return ReadWholeFile(kTestDeviceLog); }

HMODULE LoadedLibrary() { return GetModuleHandleA("vavuro32.dll"); }

template <typename Fn>
Fn TestExport(const char* name) {
  HMODULE library = LoadedLibrary();
  if (library == nullptr) {
    return nullptr;
  }
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// The loaded library's record; null when it is not loaded.
TestDeviceRecord* Record() {
  const auto get = TestExport<TestDeviceGetRecordFn>("TestDeviceGetRecord");
  return get != nullptr ? get() : nullptr;
}

void FailNext(std::int32_t status) {
  const auto fail = TestExport<TestDeviceFailNextFn>("TestDeviceFailNext");
  ASSERT_NE(fail, nullptr);
  fail(status);
}

void SetNextOut(std::int32_t value) {
  const auto set = TestExport<TestDeviceSetNextOutFn>("TestDeviceSetNextOut");
  ASSERT_NE(set, nullptr);
  set(value);
}

// Fills the stack below the caller with non-zero bytes, so that an out value
// the layer failed to preset would not read as 0 by chance.
void DirtyStack() {
  volatile unsigned char junk[4096];
  for (std::size_t i = 0; i < sizeof junk; ++i) {
    junk[i] = 0xA5;
  }
}
void (*volatile DirtyStackCall)() = DirtyStack;

ResourceArg InitArgs[1] = {{"queueHandle", 0x000200B4}};
ResourceArg OpenArgs[2] = {{"Rows", 2}, {"queueHandle", 0x000200B4}};

std::int32_t Initialize() { return PosInitialize("REVEDIZ", "C:\\VORN", 0, 0, InitArgs, 1); }
std::int32_t Open() { return PosOpen("DEVNAME", "PosDisplay", OpenArgs, 2); }

int TotalCalls(const TestDeviceRecord& record) {
  int total = 0;
  for (std::int32_t count : record.calls) {
    total += count;
  }
  return total;
}

// The call fails: -1 with `code` in errno.
#define EXPECT_POS_FAILURE(call, code) \
  do {                                 \
    errno = 0;                         \
    EXPECT_EQ((call), -1) << #call;    \
    EXPECT_EQ(errno, (code)) << #call; \
  } while (0)

// Initializes the complete library and sets `record` to its record.
#define INITIALIZE_COMPLETE(record)                  \
  ASSERT_EQ(Initialize(), 0);                        \
  TestDeviceRecord* const record = Record();         \
  ASSERT_NE(record, nullptr)

// ---- Before initialization -------------------------------------------------

BINDING_SCENARIO(BeforeInitialize, EveryCallFailsWith302AndLoadsNothing, "complete") {
  char buffer[16] = {};
  EXPECT_POS_FAILURE(Open(), 302);
  EXPECT_POS_FAILURE(PosClose(1), 302);
  EXPECT_POS_FAILURE(PosClose(0), 302);
  EXPECT_POS_FAILURE(PosIoctl(1, kPosSysGetValues, OpenArgs, 1), 302);
  EXPECT_POS_FAILURE(PosRead(0, buffer, sizeof buffer), 302);
  EXPECT_POS_FAILURE(PosWrite(1, "AB", 2), 302);
  EXPECT_POS_FAILURE(PosTerm(), 302);
  EXPECT_POS_FAILURE(PosVersion(1, 2, 3), 302);
  EXPECT_EQ(LoadedLibrary(), nullptr);
  EXPECT_EQ(DeviceLog(), "");  // never even attached
}

// ---- PosInitialize and loading ---------------------------------------------

BINDING_SCENARIO(Initialize, LoadsLibraryAndPassesOnAllButTheReservedArguments, "complete") {
  static const char application[] = "APPNAME";
  static const char resourceFile[] = "C:\\RESFILE";
  ResourceArg args[2] = {{"queueHandle", 0x000200B4}, {"Rows", 4}};
  SetErrorMode(SEM_FAILCRITICALERRORS);
  EXPECT_EQ(PosInitialize(application, resourceFile, 11, 22, args, 2), 0);
  EXPECT_EQ(GetErrorMode(), static_cast<UINT>(SEM_FAILCRITICALERRORS));

  TestDeviceRecord* const record = Record();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->errorModeAtLoad, static_cast<UINT>(SEM_NOOPENFILEERRORBOX));
  EXPECT_EQ(record->calls[kTestInitialize], 1);
  EXPECT_EQ(TotalCalls(*record), 1);
  EXPECT_EQ(record->initApplication, application);
  EXPECT_EQ(record->initResourceFile, resourceFile);
  EXPECT_EQ(record->initArgs, args);
  EXPECT_EQ(record->initCount, 2);
  EXPECT_EQ(DeviceLog(), LogOf({"attach", "DLL_PosInitialize"}));
}

BINDING_SCENARIO(Initialize, SecondCallGives304AndTheLibraryStays, "complete") {
  INITIALIZE_COMPLETE(record);
  const HMODULE library = LoadedLibrary();
  EXPECT_POS_FAILURE(Initialize(), 304);
  EXPECT_EQ(LoadedLibrary(), library);
  EXPECT_EQ(Record(), record);
  EXPECT_EQ(record->calls[kTestInitialize], 1);
  SetNextOut(3);
  EXPECT_EQ(Open(), 3);  // still initialized
  EXPECT_EQ(DeviceLog(), LogOf({"attach", "DLL_PosInitialize"}));
}

BINDING_SCENARIO(Initialize, MissingLibraryGives337AndIsTriedAgainLater, nullptr) {
  SetErrorMode(SEM_FAILCRITICALERRORS);
  EXPECT_POS_FAILURE(Initialize(), 337);
  EXPECT_EQ(GetErrorMode(), static_cast<UINT>(SEM_FAILCRITICALERRORS));
  EXPECT_EQ(LoadedLibrary(), nullptr);
  EXPECT_POS_FAILURE(Open(), 302);

  // The library appears beside the program: the next PosInitialize loads it.
  ASSERT_TRUE(CopyFileA(kCompleteLibraryFromChild, "vavuro32.dll", TRUE));
  EXPECT_EQ(Initialize(), 0);
  TestDeviceRecord* const record = Record();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->calls[kTestInitialize], 1);
  EXPECT_EQ(record->errorModeAtLoad, static_cast<UINT>(SEM_NOOPENFILEERRORBOX));
  EXPECT_EQ(GetErrorMode(), static_cast<UINT>(SEM_FAILCRITICALERRORS));
}

BINDING_SCENARIO(Initialize, LibraryLackingAnEntryGives337AndIsFreed, "no_version") {
  EXPECT_POS_FAILURE(Initialize(), 337);
  EXPECT_EQ(LoadedLibrary(), nullptr);
  EXPECT_POS_FAILURE(Open(), 302);
  EXPECT_POS_FAILURE(Initialize(), 337);  // loaded and refused once more
  EXPECT_EQ(LoadedLibrary(), nullptr);
  // "DLL_PosInitialize" is never called.
  EXPECT_EQ(DeviceLog(), LogOf({"attach", "detach unload", "attach", "detach unload"}));
}

BINDING_SCENARIO(Initialize, FailingEntryKeepsItsStatusAndUnloads, "init_fails") {
  EXPECT_POS_FAILURE(Initialize(), 305);
  EXPECT_EQ(LoadedLibrary(), nullptr);
  EXPECT_POS_FAILURE(Open(), 302);
  EXPECT_POS_FAILURE(PosTerm(), 302);
  EXPECT_POS_FAILURE(Initialize(), 305);  // loaded afresh
  EXPECT_EQ(LoadedLibrary(), nullptr);
  EXPECT_EQ(DeviceLog(), LogOf({"attach", "DLL_PosInitialize", "detach unload", "attach",
                                "DLL_PosInitialize", "detach unload"}));
}

// ---- Calls on an initialized library ---------------------------------------

BINDING_SCENARIO(Calls, CloseOfTheQueueGives311WithoutCallingTheLibrary, "complete") {
  EXPECT_POS_FAILURE(PosClose(0), 302);
  INITIALIZE_COMPLETE(record);
  EXPECT_POS_FAILURE(PosClose(0), 311);
  EXPECT_EQ(record->calls[kTestClose], 0);
  EXPECT_EQ(PosClose(7), 0);
  EXPECT_EQ(record->calls[kTestClose], 1);
  EXPECT_EQ(record->closeHandle, 7);
}

BINDING_SCENARIO(Calls, ArgumentsArePassedOnExactly, "complete") {
  INITIALIZE_COMPLETE(record);
  static const char name[] = "SCALE1";
  static const char deviceClass[] = "PosScale";
  ResourceArg args[3] = {{"Rows", 2}, {"", -1}, {"queueHandle", 0x000200B4}};
  char buffer[64] = {};
  static const char data[] = "AB\x1B" "C";

  EXPECT_EQ(PosOpen(name, deviceClass, args, 3), 0);
  EXPECT_EQ(record->openName, name);
  EXPECT_EQ(record->openClass, deviceClass);
  EXPECT_EQ(record->openArgs, args);
  EXPECT_EQ(record->openCount, 3);

  EXPECT_EQ(PosIoctl(-2, kPosSysGetValues, args, 2), 0);
  EXPECT_EQ(record->ioctlHandle, -2);
  EXPECT_EQ(record->ioctlRequest, kPosSysGetValues);
  EXPECT_EQ(record->ioctlArgs, args);
  EXPECT_EQ(record->ioctlCount, 2);

  EXPECT_EQ(PosRead(0, buffer, 64), 0);
  EXPECT_EQ(record->readHandle, 0);
  EXPECT_EQ(record->readBuffer, buffer);
  EXPECT_EQ(record->readSize, 64);

  EXPECT_EQ(PosWrite(13, data, 4), 0);
  EXPECT_EQ(record->writeHandle, 13);
  EXPECT_EQ(record->writeData, data);
  EXPECT_EQ(record->writeLength, 4);

  EXPECT_EQ(PosClose(14), 0);
  EXPECT_EQ(record->closeHandle, 14);

  EXPECT_EQ(PosVersion(-1, 0x7FFFFFFF, 5), 0);
  EXPECT_EQ(record->version[0], -1);
  EXPECT_EQ(record->version[1], 0x7FFFFFFF);
  EXPECT_EQ(record->version[2], 5);

  for (int entry = 0; entry < kTestEntryCount; ++entry) {
    EXPECT_EQ(record->calls[entry], entry == kTestTerm ? 0 : 1) << "entry " << entry;
  }
  EXPECT_EQ(record->outMissing, 0);
}

BINDING_SCENARIO(Calls, OutValueIsTheResult, "complete") {
  INITIALIZE_COMPLETE(record);
  char buffer[16] = {};
  errno = 4321;
  SetNextOut(5);
  EXPECT_EQ(Open(), 5);
  SetNextOut(0x7FFFFFFF);
  EXPECT_EQ(PosIoctl(5, kPosSysGetValues, OpenArgs, 1), 0x7FFFFFFF);
  SetNextOut(16);
  EXPECT_EQ(PosRead(0, buffer, sizeof buffer), 16);
  SetNextOut(4);
  EXPECT_EQ(PosWrite(5, "ABCD", 4), 4);
  // Status 0 passes any out value on as it is; judging it is the caller's.
  SetNextOut(-7);
  EXPECT_EQ(PosIoctl(5, kPosSysGetValues, OpenArgs, 1), -7);
  EXPECT_EQ(errno, 4321);
}

BINDING_SCENARIO(Calls, OutValueIsPresetToZero, "complete") {
  INITIALIZE_COMPLETE(record);
  char buffer[16] = {};
  // The library leaves the out value untouched: the result is the preset 0.
  record->outOnEntry = 99;
  DirtyStackCall();
  EXPECT_EQ(Open(), 0);
  EXPECT_EQ(record->outOnEntry, 0);
  record->outOnEntry = 99;
  DirtyStackCall();
  EXPECT_EQ(PosIoctl(5, kPosSysGetValues, OpenArgs, 1), 0);
  EXPECT_EQ(record->outOnEntry, 0);
  record->outOnEntry = 99;
  DirtyStackCall();
  EXPECT_EQ(PosRead(0, buffer, sizeof buffer), 0);
  EXPECT_EQ(record->outOnEntry, 0);
  record->outOnEntry = 99;
  DirtyStackCall();
  EXPECT_EQ(PosWrite(5, "AB", 2), 0);
  EXPECT_EQ(record->outOnEntry, 0);
  EXPECT_EQ(record->outMissing, 0);
}

BINDING_SCENARIO(Calls, FailureGivesMinusOneWithTheStatusInErrno, "complete") {
  INITIALIZE_COMPLETE(record);
  char buffer[16] = {};
  FailNext(303);
  EXPECT_POS_FAILURE(Open(), 303);
  FailNext(310);
  SetNextOut(9);  // an out value written on failure is not the result
  EXPECT_POS_FAILURE(PosIoctl(5, kPosSysGetValues, OpenArgs, 1), 310);
  FailNext(312);
  EXPECT_POS_FAILURE(PosRead(0, buffer, sizeof buffer), 312);
  FailNext(318);
  EXPECT_POS_FAILURE(PosWrite(5, "AB", 2), 318);
  FailNext(303);
  EXPECT_POS_FAILURE(PosClose(5), 303);
  FailNext(316);
  EXPECT_POS_FAILURE(PosVersion(1, 2, 3), 316);
  EXPECT_EQ(TotalCalls(*record), 7);
  // Failures of the library leave the layer initialized.
  EXPECT_EQ(PosClose(5), 0);
}

BINDING_SCENARIO(Calls, SuccessLeavesErrnoAsItWas, "complete") {
  char buffer[16] = {};
  errno = 4321;
  ASSERT_EQ(Initialize(), 0);
  EXPECT_EQ(errno, 4321);
  EXPECT_EQ(Open(), 0);
  EXPECT_EQ(errno, 4321);
  EXPECT_EQ(PosIoctl(5, kPosSysGetValues, OpenArgs, 1), 0);
  EXPECT_EQ(errno, 4321);
  EXPECT_EQ(PosRead(0, buffer, sizeof buffer), 0);
  EXPECT_EQ(errno, 4321);
  EXPECT_EQ(PosWrite(5, "AB", 2), 0);
  EXPECT_EQ(errno, 4321);
  EXPECT_EQ(PosVersion(1, 2, 3), 0);
  EXPECT_EQ(errno, 4321);
  EXPECT_EQ(PosClose(5), 0);
  EXPECT_EQ(errno, 4321);
  // A code left by an earlier failure stays too.
  EXPECT_POS_FAILURE(PosClose(0), 311);
  EXPECT_EQ(Open(), 0);
  EXPECT_EQ(errno, 311);
  EXPECT_EQ(PosTerm(), 0);
  EXPECT_EQ(errno, 311);
}

BINDING_SCENARIO(Calls, ContextIsTheSameZeroBlockOnEveryCall, "complete") {
  INITIALIZE_COMPLETE(record);
  // A reference of our own keeps the record readable after PosTerm frees
  // the library.
  const HMODULE pin = LoadLibraryA("vavuro32.dll");
  ASSERT_NE(pin, nullptr);
  char buffer[16] = {};
  EXPECT_EQ(Open(), 0);
  EXPECT_EQ(PosIoctl(5, kPosSysGetValues, OpenArgs, 1), 0);
  EXPECT_EQ(PosRead(0, buffer, sizeof buffer), 0);
  EXPECT_EQ(PosWrite(5, "AB", 2), 0);
  EXPECT_EQ(PosClose(5), 0);
  EXPECT_EQ(PosVersion(1, 2, 3), 0);
  EXPECT_EQ(PosTerm(), 0);
  EXPECT_EQ(Initialize(), 0);  // the second load finds the pinned library

  void* const context = record->context[kTestInitialize];
  ASSERT_NE(context, nullptr);
  for (int entry = 0; entry < kTestEntryCount; ++entry) {
    EXPECT_EQ(record->calls[entry], entry == kTestInitialize ? 2 : 1) << "entry " << entry;
    EXPECT_EQ(record->context[entry], context) << "entry " << entry;
  }
  EXPECT_EQ(record->contextNotZero, 0);
  EXPECT_EQ(PosTerm(), 0);
  EXPECT_EQ(record->context[kTestTerm], context);
  FreeLibrary(pin);
}

// ---- PosTerm ---------------------------------------------------------------

BINDING_SCENARIO(Term, UnloadsAndTheNextInitializeLoadsAfresh, "complete") {
  ASSERT_EQ(Initialize(), 0);
  EXPECT_EQ(PosTerm(), 0);
  EXPECT_EQ(LoadedLibrary(), nullptr);
  EXPECT_POS_FAILURE(Open(), 302);
  EXPECT_POS_FAILURE(PosTerm(), 302);
  EXPECT_EQ(Initialize(), 0);
  TestDeviceRecord* const record = Record();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->calls[kTestInitialize], 1);  // a fresh copy of the library
  EXPECT_EQ(DeviceLog(), LogOf({"attach", "DLL_PosInitialize", "DLL_PosTerm", "detach unload",
                                "attach", "DLL_PosInitialize"}));
}

BINDING_SCENARIO(Term, FailureStillUnloadsAndEndsInitialization, "complete") {
  ASSERT_EQ(Initialize(), 0);
  FailNext(321);
  EXPECT_POS_FAILURE(PosTerm(), 321);
  EXPECT_EQ(LoadedLibrary(), nullptr);
  EXPECT_POS_FAILURE(Open(), 302);
  EXPECT_POS_FAILURE(PosTerm(), 302);
  EXPECT_EQ(DeviceLog(), LogOf({"attach", "DLL_PosInitialize", "DLL_PosTerm", "detach unload"}));
}

// ---- Program end -----------------------------------------------------------
// The library's log, read after the child has ended, shows whether the
// exit-time routine terminated it and freed it ("detach unload") or left it
// to the system ("detach exit").

TEST(Child_AtExit, ReturnFromMainTerminatesTheLibraryOnce) { ASSERT_EQ(Initialize(), 0); }
TEST(AtExit, ReturnFromMainTerminatesTheLibraryOnce) {
  const ChildRun run = RunScenario("complete", "AtExit.ReturnFromMainTerminatesTheLibraryOnce");
  ExpectChildPassed(run);
  EXPECT_EQ(run.log, LogOf({"attach", "DLL_PosInitialize", "DLL_PosTerm", "detach unload"}));
}

TEST(Child_AtExit, ExitCallTerminatesTheLibraryOnce) {
  ASSERT_EQ(Initialize(), 0);
  std::exit(7);
}
TEST(AtExit, ExitCallTerminatesTheLibraryOnce) {
  const ChildRun run = RunScenario("complete", "AtExit.ExitCallTerminatesTheLibraryOnce");
  ASSERT_TRUE(run.started);
  EXPECT_EQ(run.exitCode, 7u) << run.output;
  EXPECT_EQ(run.log, LogOf({"attach", "DLL_PosInitialize", "DLL_PosTerm", "detach unload"}));
}

TEST(Child_AtExit, NothingIsLeftAfterAnExplicitTerm) {
  ASSERT_EQ(Initialize(), 0);
  ASSERT_EQ(PosTerm(), 0);
}
TEST(AtExit, NothingIsLeftAfterAnExplicitTerm) {
  const ChildRun run = RunScenario("complete", "AtExit.NothingIsLeftAfterAnExplicitTerm");
  ExpectChildPassed(run);
  EXPECT_EQ(run.log, LogOf({"attach", "DLL_PosInitialize", "DLL_PosTerm", "detach unload"}));
}

TEST(Child_AtExit, ReinitializedLibraryIsTerminated) {
  ASSERT_EQ(Initialize(), 0);
  ASSERT_EQ(PosTerm(), 0);
  ASSERT_EQ(Initialize(), 0);
}
TEST(AtExit, ReinitializedLibraryIsTerminated) {
  const ChildRun run = RunScenario("complete", "AtExit.ReinitializedLibraryIsTerminated");
  ExpectChildPassed(run);
  EXPECT_EQ(run.log, LogOf({"attach", "DLL_PosInitialize", "DLL_PosTerm", "detach unload",
                            "attach", "DLL_PosInitialize", "DLL_PosTerm", "detach unload"}));
}

TEST(Child_AtExit, FailedInitializeLeavesNothingToTerminate) {
  EXPECT_POS_FAILURE(Initialize(), 305);
}
TEST(AtExit, FailedInitializeLeavesNothingToTerminate) {
  const ChildRun run = RunScenario("init_fails", "AtExit.FailedInitializeLeavesNothingToTerminate");
  ExpectChildPassed(run);
  EXPECT_EQ(run.log, LogOf({"attach", "DLL_PosInitialize", "detach unload"}));
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  bool child = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--child") == 0) {
      child = true;
    }
  }
  if (!child) {
    // Scenarios run only in the fresh processes their parent tests start.
    std::string filter = GTEST_FLAG_GET(filter);
    filter += filter.find('-') == std::string::npos ? "-Child_*" : ":Child_*";
    GTEST_FLAG_SET(filter, filter);
  }
  return RUN_ALL_TESTS();
}
