// End-to-end sweep of bad operator input through every command dialog of
// the real tool: numeric fields given blanks, signs, hexadecimal prefixes,
// letters, hundreds of digits and values just past 32 bits; text fields at
// and past their read limits; more rows than the argument table holds and
// argument counts around the array's capacity; file names at their limit,
// paths that do not exist and folders. After each entry the tool must still
// run, the dialog be open or closed as it should, the refusal read exactly as
// it should, the library (its journal) have received exactly what was
// accepted and nothing else, and no earlier log line be lost.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/driver/steps.h"

using e2e::Box;
using e2e::Dialog;
using e2e::Lines;
using e2e::Revediz;

using e2e::EchoedWindow;
using e2e::Head;
using e2e::LastJournalCall;

namespace {

constexpr char kHex[] = "Hex         ";
constexpr char kDec[] = "Dec         ";
constexpr char kString[] = "String      ";
constexpr char kDigits[] = "0123456789";
constexpr char kHexDigits[] = "0123456789ABCDEFabcdef";

// Dialog text fields are read up to 253 characters, file names up to 99.
constexpr std::size_t kFieldLimit = 253;
constexpr std::size_t kFileNameLimit = 99;

std::string Field(const std::string& typed) { return typed.substr(0, kFieldLimit); }

bool AllOf(const std::string& text, const char* set) {
  return text.find_first_not_of(set) == std::string::npos;
}

// What every numeric field is tried with. None of the digit-only entries
// fits a signed 32-bit value.
const std::vector<std::string>& BadNumbers() {
  static const std::vector<std::string> values = {
      "",     " ",   " 5 ", "+5",  "-5",  "-0", "0x10", "xyz", std::string(300, '7'), "2147483648",
      "4294967296", "-2147483649",
  };
  return values;
}

struct Refusal {
  std::string caption;
  std::string text;
};

Refusal HandleRefusal(const std::string& typed) {
  const std::string seen = Field(typed);
  if (seen.empty()) return {"Handle Error ", "Missing Handle number"};
  if (!AllOf(seen, kDigits)) return {"Handle Error ", "Non numeric Handle : " + seen + " "};
  return {"Handle Error ", "Handle out of range : " + seen + " "};
}

// An empty N Arguments field is no refusal (N is 0); not asked for here.
Refusal CountRefusal(const std::string& typed) {
  const std::string seen = Field(typed);
  if (!AllOf(seen, kDigits)) return {"Argument Error ", "Non Numeric Argument : " + seen + " "};
  return {"Argument Error ", "Too many arguments : " + seen + " "};
}

Refusal BufferSizeRefusal(const std::string& typed) {
  const std::string seen = Field(typed);
  if (seen.empty()) return {"Buffer Size Error ", "Missing Buffer Size"};
  // This one caption ends without a blank.
  if (!AllOf(seen, kDigits)) return {"Buffer Size Error", "Non numeric Buffer Size : " + seen + " "};
  return {"Buffer Size Error ", "Buffer Size too large : " + seen + " "};
}

// An empty value is no refusal (the value is -1); not asked for here.
Refusal ValueRefusal(const std::string& typed, bool hex) {
  const std::string seen = Field(typed);
  if (hex && !AllOf(seen, kHexDigits))
    return {"Argument Error ", "Non Hexadecimal Argument : " + seen + " "};
  if (!hex && !AllOf(seen, kDigits)) return {"Argument Error ", "Non decimal Argument : " + seen + " "};
  return {"Argument Error ", "Argument out of range : " + seen + " "};
}

// Printable form of an entry for failure messages.
std::string Shown(const std::string& typed) {
  return typed.size() > 20 ? std::to_string(typed.size()) + " characters" : "'" + typed + "'";
}

// The number of lines of a list box control (one message; reading every
// line of a long list across processes takes a while).
int ListCount(const Dialog& dialog, int id) {
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutA(dialog.Control(id), LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count)) return -1;
  return static_cast<int>(count);
}

// Presses `button`, which must be refused with exactly `expected`: one box,
// and afterwards the tool running, the dialog open, nothing logged, the
// journal unchanged, the `kept` controls (and the Resources List, for a
// dialog with an argument table: its number of rows) as they were. Log lines
// are only ever added, so an unchanged count is an unchanged log; the tests
// compare the whole log, and the rows, once a run of refusals is done.
void ExpectRefused(const Revediz& app, const Dialog& dialog, int button, const Refusal& expected,
                   const std::vector<int>& kept, bool hasTable, const std::string& what) {
  const int logCount = app.LogCount();
  const Lines journal = app.Journal();
  std::vector<std::string> texts;
  for (int id : kept) texts.push_back(dialog.Text(id));
  const int rows = hasTable ? ListCount(dialog, IDC_RESOURCES_LIST) : 0;

  dialog.Click(button);
  const Box box = app.WaitAnyBox();
  EXPECT_EQ(box.caption, expected.caption) << what;
  EXPECT_EQ(box.text, expected.text) << what;
  box.Ok();

  ASSERT_TRUE(app.Running()) << what;
  EXPECT_TRUE(app.Boxes().empty()) << what << "\n" << app.Dump();
  EXPECT_TRUE(dialog.IsOpen()) << what;
  EXPECT_EQ(app.LogCount(), logCount) << what;
  EXPECT_EQ(app.Journal(), journal) << what;
  for (std::size_t i = 0; i < kept.size(); ++i)
    EXPECT_EQ(dialog.Text(kept[i]), texts[i]) << what << ", control " << kept[i];
  if (hasTable) {
    EXPECT_EQ(ListCount(dialog, IDC_RESOURCES_LIST), rows) << what;
  }
}

// Fills the argument controls and presses Add Resource (posted).
void EnterRow(const Dialog& dialog, const std::string& resource, const std::string& type,
              const std::string& value) {
  dialog.SetText(IDC_RESOURCE, resource);
  dialog.Select(IDC_TYPE, type);
  dialog.SetText(IDC_VALUE, value);
}

// Adds a row and waits until the Resources List shows it.
void AddRow(const Dialog& dialog, const std::string& resource, const std::string& type,
            const std::string& value) {
  EnterRow(dialog, resource, type, value);
  // N Arguments shows the new row count once the row is in.
  const std::string after = std::to_string(std::stoi(dialog.Text(IDC_N_ARGUMENTS)) + 1);
  dialog.Click(IDC_ADD_RESOURCE);
  ASSERT_TRUE(e2e::PollUntil([&] { return dialog.Text(IDC_N_ARGUMENTS) == after; }, e2e::kDefaultTimeoutMs));
}

// Adds `count` Dec rows named `name` with the values first, first + 1, ...:
// the name and type are entered once, then only the value changes.
void AddNumberedRows(const Dialog& dialog, const std::string& name, int first, int count) {
  EnterRow(dialog, name, kDec, "");
  for (int i = 0; i < count; ++i) {
    dialog.SetText(IDC_VALUE, std::to_string(first + i));
    const std::string after = std::to_string(std::stoi(dialog.Text(IDC_N_ARGUMENTS)) + 1);
    dialog.Click(IDC_ADD_RESOURCE);
    ASSERT_TRUE(e2e::PollUntil([&] { return dialog.Text(IDC_N_ARGUMENTS) == after; }, e2e::kDefaultTimeoutMs));
  }
}

// Presses Add Resource `times` more times with the controls as they are,
// and waits until the list holds `total` rows.
void AddSameRows(const Dialog& dialog, int times, std::size_t total) {
  for (int i = 0; i < times; ++i) dialog.Click(IDC_ADD_RESOURCE);
  ASSERT_TRUE(e2e::PollUntil([&] { return dialog.Text(IDC_N_ARGUMENTS) == std::to_string(total); },
                             e2e::kDefaultTimeoutMs));
  ASSERT_EQ(dialog.Items(IDC_RESOURCES_LIST).size(), total);
}

std::string JournalWindow(const Revediz& app) {
  char text[64];
  std::snprintf(text, sizeof text, "0x%08lX",
                static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(app.MainWindow())));
  return text;
}

// Checks that the log still begins with `before` and returns what follows.
Lines NewLines(const Revediz& app, const Lines& before) {
  const Lines now = app.LogLines();
  EXPECT_GE(now.size(), before.size()) << app.Dump();
  EXPECT_EQ(Head(now, before.size()), before) << "an earlier log line was lost or changed";
  if (now.size() <= before.size()) return {};
  return Lines(now.begin() + static_cast<std::ptrdiff_t>(before.size()), now.end());
}

// PosInitialize with the dialog's defaults, then waits until the online
// notifications of the simulator's twelve devices (six lines each) are in
// the log, so that later comparisons of the whole log see a quiet tool.
void InitializeAndSettle(const Revediz& app) {
  const int before = app.LogCount();
  e2e::Initialize(app);
  app.WaitLogCount(before + 3 + 12 * 6);
}

// The log as last seen; Next() checks that it still begins with what was
// seen and returns the lines added since.
struct LogWatch {
  explicit LogWatch(const Revediz& watched) : app(watched), seen(watched.LogLines()) {}
  Lines Next() {
    const Lines got = NewLines(app, seen);
    seen.insert(seen.end(), got.begin(), got.end());
    return got;
  }
  const Revediz& app;
  Lines seen;
};

struct DialogCase {
  WPARAM command;
  const char* caption;
};

// ---- Numeric fields -----------------------------------------------------------

TEST(BadInput, HandleFieldsOfCloseIoctlReadAndWrite) {
  Revediz app = Revediz::Start();
  InitializeAndSettle(app);
  const int handle = e2e::Open(app, "PosRs232c");
  ASSERT_GT(handle, 0);
  const Lines log = app.LogLines();
  int tried = 0;
  // Close last: after its refusals a good handle still closes the device.
  for (const DialogCase& c : {DialogCase{IDM_POS_IOCTL, "POS Ioctl"}, DialogCase{IDM_POS_READ, "POS Read"},
                              DialogCase{IDM_POS_WRITE, "POS Write"}, DialogCase{IDM_POS_CLOSE, "POS Close"}}) {
    app.Menu(c.command);
    const Dialog dialog = app.WaitDialog(c.caption);
    if (c.command == IDM_POS_WRITE) dialog.SetText(IDC_DATA_BOX, "x");
    for (const std::string& typed : BadNumbers()) {
      dialog.SetText(IDC_HANDLE, typed);
      ExpectRefused(app, dialog, IDOK, HandleRefusal(typed), {IDC_HANDLE}, false,
                    std::string(c.caption) + " handle " + Shown(typed));
      ++tried;
    }
    if (c.command != IDM_POS_CLOSE) {
      dialog.Cancel();
      continue;
    }
    EXPECT_EQ(app.LogLines(), log);
    const Lines& before = log;
    dialog.SetText(IDC_HANDLE, std::to_string(handle));
    dialog.Click(IDOK);
    e2e::ExpectBox(app, "POS Close", "PosClose Successful.");
    dialog.WaitClosed();
    const std::string h = std::to_string(handle);
    EXPECT_EQ(NewLines(app, before), (Lines{"Command-->  PosClose(" + h + ")  ", "Close Handle " + h + " successful"}));
  }
  EXPECT_EQ(tried, 4 * static_cast<int>(BadNumbers().size()));
  EXPECT_EQ(e2e::JournalStarting(app, "DLL_PosClose"), Lines{"DLL_PosClose handle=" + std::to_string(handle)});
  EXPECT_TRUE(e2e::JournalStarting(app, "DLL_PosIOCtl").empty());
  EXPECT_TRUE(e2e::JournalStarting(app, "DLL_PosRead").empty());
  EXPECT_TRUE(e2e::JournalStarting(app, "DLL_PosWrite").empty());
  app.Exit();
  EXPECT_EQ(app.WaitExit(), 0u);
}

TEST(BadInput, ArgumentCountAndBufferSizeFields) {
  Revediz app = Revediz::Start();
  InitializeAndSettle(app);
  const int handle = e2e::Open(app, "PosDisplay");
  ASSERT_GT(handle, 0);
  const Lines log = app.LogLines();
  const Lines journal = app.Journal();
  for (const DialogCase& c : {DialogCase{IDM_POS_INITIALIZE, "POS Initialization"},
                              DialogCase{IDM_POS_OPEN, "POS Open"}, DialogCase{IDM_POS_IOCTL, "POS Ioctl"}}) {
    app.Menu(c.command);
    const Dialog dialog = app.WaitDialog(c.caption);
    if (c.command == IDM_POS_IOCTL) {
      dialog.SetText(IDC_HANDLE, std::to_string(handle));
      dialog.Select(IDC_REQUEST, "POS_SYS_SET_VALUES");
    }
    for (const std::string& typed : BadNumbers()) {
      if (typed.empty()) continue;  // N of 0: a call, not a refusal
      dialog.SetText(IDC_N_ARGUMENTS, typed);
      ExpectRefused(app, dialog, IDOK, CountRefusal(typed), {IDC_N_ARGUMENTS}, true,
                    std::string(c.caption) + " N Arguments " + Shown(typed));
    }
    dialog.Cancel();
  }

  app.Menu(IDM_POS_READ);
  const Dialog read = app.WaitDialog("POS Read");
  read.SetText(IDC_HANDLE, std::to_string(handle));
  for (const std::string& typed : BadNumbers()) {
    read.SetText(IDC_BUFFER_SIZE, typed);
    ExpectRefused(app, read, IDOK, BufferSizeRefusal(typed), {IDC_HANDLE, IDC_BUFFER_SIZE}, false,
                  "Buffer Size " + Shown(typed));
  }
  read.Cancel();
  EXPECT_EQ(app.LogLines(), log);
  EXPECT_EQ(app.Journal(), journal);
  app.Exit();
  EXPECT_EQ(app.WaitExit(), 0u);
}

TEST(BadInput, ValueFieldsOfTheArgumentDialogs) {
  Revediz app = Revediz::Start();
  InitializeAndSettle(app);
  const int handle = e2e::Open(app, "PosDisplay");
  ASSERT_GT(handle, 0);
  const Lines log = app.LogLines();
  const Lines journal = app.Journal();
  for (const DialogCase& c : {DialogCase{IDM_POS_INITIALIZE, "POS Initialization"},
                              DialogCase{IDM_POS_IOCTL, "POS Ioctl"}, DialogCase{IDM_POS_OPEN, "POS Open"}}) {
    app.Menu(c.command);
    const Dialog dialog = app.WaitDialog(c.caption);
    if (c.command == IDM_POS_OPEN) dialog.Select(IDC_DEVICE_CLASS, "PosDisplay");
    for (const char* type : {kHex, kDec}) {
      EnterRow(dialog, "PosNRows", type, "");
      for (const std::string& typed : BadNumbers()) {
        if (typed.empty()) continue;  // an empty value is -1, not a refusal
        dialog.SetText(IDC_VALUE, typed);
        ExpectRefused(app, dialog, IDC_ADD_RESOURCE, ValueRefusal(typed, type == kHex),
                      {IDC_RESOURCE, IDC_VALUE, IDC_N_ARGUMENTS}, true,
                      std::string(c.caption) + " " + type + " value " + Shown(typed));
      }
    }
    EXPECT_EQ(ListCount(dialog, IDC_RESOURCES_LIST), c.command == IDM_POS_INITIALIZE ? 1 : 0);
    EXPECT_EQ(dialog.Text(IDC_N_ARGUMENTS), c.command == IDM_POS_INITIALIZE ? "1" : "0");
    if (c.command != IDM_POS_OPEN) dialog.Cancel();
  }
  EXPECT_EQ(app.Journal(), journal);
  EXPECT_EQ(app.LogLines(), log);

  // The largest values that fit are taken whole, also behind 250 zeros.
  const Dialog open = app.WaitDialog("POS Open");
  AddRow(open, "PosNRows", kDec, "2147483647");
  AddRow(open, "PosNRows", kHex, "FFFFFFFF");
  AddRow(open, "PosNRows", kHex, "80000000");
  AddRow(open, "PosNRows", kDec, std::string(252, '0') + "5");
  EXPECT_EQ(open.Text(IDC_N_ARGUMENTS), "4");
  const Lines& before = log;
  open.Click(IDOK);
  // The display takes at most 4 rows.
  const std::string report = "  RC = -1, errno = (4403) POSERR_DSP_INVALID_SIZE  ";
  e2e::ExpectBox(app, "Command Status", report);
  open.WaitClosed();
  EXPECT_EQ(NewLines(app, before),
            (Lines{"Command-->  PosOpen(DEVNAME, PosDisplay, [], 4)", "     1: Rows   ",
                   "               (2147483647)  ", "     2: Rows   ", "               (0xFFFFFFFF)  ",
                   "     3: Rows   ", "               (0x80000000)  ", "     4: Rows   ",
                   "               (5)  ", report}));
  EXPECT_EQ(LastJournalCall(app, "DLL_PosOpen"),
            (Lines{"DLL_PosOpen name=\"DEVNAME\" class=\"PosDisplay\" count=5", "  arg[0] Rows = 2147483647",
                   "  arg[1] Rows = -1", "  arg[2] Rows = -2147483648", "  arg[3] Rows = 5",
                   "  arg[4] queueHandle = " + JournalWindow(app), "  -> 4403 out=0"}));
  app.Exit();
  EXPECT_EQ(app.WaitExit(), 0u);
}

// ---- Text fields ------------------------------------------------------------------

void ExpectNameTooLong(const Revediz& app, const Dialog& dialog, std::size_t length) {
  const std::string name = "PosN" + std::string(length - 4, 'N');
  EnterRow(dialog, name, kDec, "1");
  ExpectRefused(app, dialog, IDC_ADD_RESOURCE, {"Argument Error ", "Resource name too long : " + Field(name) + " "},
                {IDC_RESOURCE, IDC_N_ARGUMENTS}, true, "resource name of " + std::to_string(length));
}

int HandleOf(const Box& box) {
  int handle = 0;
  EXPECT_EQ(std::sscanf(box.text.c_str(), "  Handle :  %d", &handle), 1) << box.text;
  return handle;
}

TEST(BadInput, TextFieldsAtAndPastTheirLimit) {
  Revediz app = Revediz::Start();
  const std::string appName(253, 'a');
  const std::string resourceFile(253, 'r');
  const std::string logFile(253, 'L');
  const std::string longRow = "PosN" + std::string(98, 'Q');  // 102: the most a row's name holds

  // Initialize: names and a string value one past the field's limit are cut
  // to 253; resource names past the row's 102 are refused.
  app.Menu(IDM_POS_INITIALIZE);
  const Dialog init = app.WaitDialog("POS Initialization");
  init.SetText(IDC_APPLICATION_NAME, appName);
  init.SetText(IDC_RESOURCE_FILE, resourceFile + "r");
  for (std::size_t length : {std::size_t{253}, std::size_t{254}}) ExpectNameTooLong(app, init, length);
  AddRow(init, "PosSLogFile", kString, logFile + "L");
  AddRow(init, longRow, kDec, "1");
  EXPECT_EQ(init.Items(IDC_RESOURCES_LIST).back(), longRow);
  EXPECT_EQ(init.Text(IDC_N_ARGUMENTS), "3");
  init.Click(IDOK);
  const std::string invalidName = "  RC = -1, errno = (330) POSERR_SYS_INVALID_NAME  ";
  e2e::ExpectBox(app, "Command Status", invalidName);
  init.WaitClosed();
  EXPECT_EQ(app.LogLines(),
            (Lines{"Command-->  PosInitialize(" + appName + ", " + resourceFile + ", 0, 0, [], 3)",
                   "     1: queueHandle   ", EchoedWindow(app), "     2: LogFile   ", "  " + logFile + "    ",
                   "     3: " + longRow.substr(4) + "   ", "               (1)  ", invalidName}));
  EXPECT_EQ(LastJournalCall(app, "DLL_PosInitialize"),
            (Lines{"DLL_PosInitialize app=\"" + appName + "\" resfile=\"" + resourceFile + "\" count=3",
                   "  arg[0] queueHandle = " + JournalWindow(app), "  arg[1] LogFile = \"" + logFile + "\"",
                   "  arg[2] " + longRow.substr(4) + " = 1", "  -> 330"}));
  InitializeAndSettle(app);

  // Open: a device name and a string value one past the limit.
  const std::string device(253, 'd');
  app.Menu(IDM_POS_OPEN);
  const Dialog open = app.WaitDialog("POS Open");
  open.Select(IDC_DEVICE_CLASS, "PosDisplay");
  open.SetText(IDC_DEVICE_NAME, device + "d");
  ExpectNameTooLong(app, open, 254);
  Lines before = app.LogLines();
  open.Click(IDOK);
  Box box = app.WaitBox("POS Open");
  const int first = HandleOf(box);
  EXPECT_EQ(box.text, "  Handle :  " + std::to_string(first) + "  Device Name :  " + device);
  box.Ok();
  open.WaitClosed();
  EXPECT_EQ(NewLines(app, before), (Lines{"Command-->  PosOpen(" + device + ", PosDisplay, [], 0)", box.text}));
  EXPECT_EQ(Head(LastJournalCall(app, "DLL_PosOpen"), 1),
            Lines{"DLL_PosOpen name=\"" + device + "\" class=\"PosDisplay\" count=1"});

  const std::string shown(253, 't');
  app.Menu(IDM_POS_OPEN);
  const Dialog second = app.WaitDialog("POS Open");
  second.Select(IDC_DEVICE_CLASS, "PosDisplay");
  AddRow(second, "PosSDisplayText", kString, shown + "t");
  before = app.LogLines();
  second.Click(IDOK);
  // More than the display shows: the library refuses it, having seen it whole.
  const std::string tooBig = "  RC = -1, errno = (4403) POSERR_DSP_INVALID_SIZE  ";
  e2e::ExpectBox(app, "Command Status", tooBig);
  second.WaitClosed();
  EXPECT_EQ(NewLines(app, before), (Lines{"Command-->  PosOpen(DEVNAME, PosDisplay, [], 1)", "     1: DisplayText   ",
                                          "  " + shown + "    ", tooBig}));
  EXPECT_EQ(LastJournalCall(app, "DLL_PosOpen"),
            (Lines{"DLL_PosOpen name=\"DEVNAME\" class=\"PosDisplay\" count=2",
                   "  arg[0] DisplayText = \"" + shown + "\"", "  arg[1] queueHandle = " + JournalWindow(app),
                   "  -> 4403 out=0"}));

  // Ioctl: the same limits on its argument controls.
  const std::string h = std::to_string(first);
  const std::string other(253, 'o');
  app.Menu(IDM_POS_IOCTL);
  const Dialog ioctl = app.WaitDialog("POS Ioctl");
  ioctl.SetText(IDC_HANDLE, h);
  ioctl.Select(IDC_REQUEST, "POS_SYS_SET_VALUES");
  ExpectNameTooLong(app, ioctl, 254);
  AddRow(ioctl, "PosSDisplayText", kString, other + "o");
  before = app.LogLines();
  ioctl.Click(IDOK);
  e2e::ExpectBox(app, "Command Status", tooBig);
  EXPECT_EQ(NewLines(app, before), (Lines{"Command-->  PosIoctl(" + h + ", POS_SYS_SET_VALUES, [..], 1)",
                                          "     1: DisplayText   ", "  " + other + "    ", tooBig}));
  const Lines block = LastJournalCall(app, "DLL_PosIOCtl");
  ASSERT_EQ(block.size(), 3u);
  EXPECT_EQ(block[1], "  arg[0] DisplayText = \"" + other + "\"");
  EXPECT_EQ(block[2], "  -> 4403 out=0");
  ioctl.Cancel();

  // Write: the data box sends at most 253 characters of one long line.
  const std::string serial = std::to_string(e2e::Open(app, "PosRs232c"));
  for (std::size_t length : {std::size_t{253}, std::size_t{254}}) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text.push_back(static_cast<char>('A' + i % 26));
    app.Menu(IDM_POS_WRITE);
    const Dialog write = app.WaitDialog("POS Write");
    write.SetText(IDC_HANDLE, serial);
    write.SetText(IDC_DATA_BOX, text);
    before = app.LogLines();
    write.Click(IDOK);
    e2e::ExpectBox(app, "POS Write", "PosWrite Successful.");
    write.WaitClosed();
    const Lines got = NewLines(app, before);
    ASSERT_EQ(got.size(), 2u) << app.Dump();
    EXPECT_EQ(got[0].rfind("nLines    -> ", 0), 0u) << got[0];
    EXPECT_EQ(got[1], "Command-->  PosWrite(" + serial + ", [], 253)");
    const Lines writes = e2e::JournalStarting(app, "DLL_PosWrite");
    ASSERT_FALSE(writes.empty());
    // 253 bytes: 253 two-digit values with a blank between.
    const std::string prefix = "DLL_PosWrite handle=" + serial + " length=253 data=";
    EXPECT_EQ(writes.back().rfind(prefix, 0), 0u) << writes.back();
    EXPECT_EQ(writes.back().size(), prefix.size() + 253 * 3 - 1) << writes.back();
  }
  app.Exit();
  EXPECT_EQ(app.WaitExit(), 0u);
}

// ---- Argument table and count limits -----------------------------------------------

// Add Resource with every row taken: refused, nothing changes.
void ExpectTableFull(const Revediz& app, const Dialog& dialog, const std::string& what) {
  ExpectRefused(app, dialog, IDC_ADD_RESOURCE, {"Argument Error ", "Too many resources : 100 "},
                {IDC_N_ARGUMENTS, IDC_RESOURCE, IDC_VALUE}, true, what + " row 101");
  EXPECT_EQ(dialog.Text(IDC_N_ARGUMENTS), "100");
}

void ExpectCountsRefused(const Revediz& app, const Dialog& dialog, const std::vector<std::string>& counts,
                         const std::string& what) {
  for (const std::string& n : counts) {
    dialog.SetText(IDC_N_ARGUMENTS, n);
    ExpectRefused(app, dialog, IDOK, CountRefusal(n), {IDC_N_ARGUMENTS}, true, what + " N " + n);
  }
}

// The Resources List after the refusals: 100 names, all `name` from row
// `from` on (row 0 of the Initialize dialog is the queue handle's).
void ExpectRows(const Dialog& dialog, const std::string& name, std::size_t from) {
  const Lines rows = dialog.Items(IDC_RESOURCES_LIST);
  ASSERT_EQ(rows.size(), 100u);
  for (std::size_t i = from; i < rows.size(); ++i) EXPECT_EQ(rows[i], name) << "row " << i;
}

TEST(BadInput, ArgumentTableAndCountLimits) {
  Revediz app = Revediz::Start();

  // Initialize: row 0 stands for the queue handle; 19 rows of its own, then
  // the table filled to its 100 rows. 20 records is what the array holds.
  app.Menu(IDM_POS_INITIALIZE);
  const Dialog init = app.WaitDialog("POS Initialization");
  AddNumberedRows(init, "PosNTimeout", 1, 19);
  AddSameRows(init, 80, 100);
  ExpectTableFull(app, init, "Initialize");
  ExpectCountsRefused(app, init, {"21", "100", "101"}, "Initialize");
  ExpectRows(init, "PosNTimeout", 1);
  init.SetText(IDC_N_ARGUMENTS, "20");
  init.Click(IDOK);
  e2e::ExpectBox(app, "POS Initialize", "Initialize Successful.");
  init.WaitClosed();
  Lines expected = {"Command-->  PosInitialize(REVEDIZ, C:\\VORN, 0, 0, [], 20)", "     1: queueHandle   ",
                    EchoedWindow(app)};
  Lines journal = {"DLL_PosInitialize app=\"REVEDIZ\" resfile=\"C:\\VORN\" count=20",
                   "  arg[0] queueHandle = " + JournalWindow(app)};
  for (int i = 1; i <= 19; ++i) {
    expected.push_back("     " + std::to_string(i + 1) + ": Timeout   ");
    expected.push_back("               (" + std::to_string(i) + ")  ");
    journal.push_back("  arg[" + std::to_string(i) + "] Timeout = " + std::to_string(i));
  }
  journal.push_back("  -> 0");
  // The devices' online lines follow.
  const Lines log = app.WaitLogCount(static_cast<int>(expected.size()) + 12 * 6);
  EXPECT_EQ(Head(log, expected.size()), expected);
  EXPECT_EQ(Head(LastJournalCall(app, "DLL_PosInitialize"), journal.size() + 1), journal);

  // Open: the queue handle record goes last, so 19 rows is the most.
  app.Menu(IDM_POS_OPEN);
  const Dialog open = app.WaitDialog("POS Open");
  open.Select(IDC_DEVICE_CLASS, "PosDisplay");
  AddNumberedRows(open, "PosNCursorColumn", 0, 19);
  AddSameRows(open, 81, 100);
  ExpectTableFull(app, open, "Open");
  ExpectCountsRefused(app, open, {"20", "21", "100", "101"}, "Open");
  ExpectRows(open, "PosNCursorColumn", 0);
  open.SetText(IDC_N_ARGUMENTS, "19");
  Lines before = app.LogLines();
  open.Click(IDOK);
  const Box box = app.WaitBox("POS Open");
  const int handle = HandleOf(box);
  box.Ok();
  open.WaitClosed();
  expected = {"Command-->  PosOpen(DEVNAME, PosDisplay, [], 19)"};
  journal = {"DLL_PosOpen name=\"DEVNAME\" class=\"PosDisplay\" count=20"};
  for (int i = 0; i < 19; ++i) {
    expected.push_back("     " + std::to_string(i + 1) + ": CursorColumn   ");
    expected.push_back("               (" + std::to_string(i) + ")  ");
    journal.push_back("  arg[" + std::to_string(i) + "] CursorColumn = " + std::to_string(i));
  }
  expected.push_back("  Handle :  " + std::to_string(handle) + "  Device Name :  DEVNAME");
  journal.push_back("  arg[19] queueHandle = " + JournalWindow(app));
  journal.push_back("  -> 0 out=" + std::to_string(handle));
  EXPECT_EQ(NewLines(app, before), expected);
  EXPECT_EQ(LastJournalCall(app, "DLL_PosOpen"), journal);

  // Ioctl: 20 rows, the whole array.
  const std::string h = std::to_string(handle);
  app.Menu(IDM_POS_IOCTL);
  const Dialog ioctl = app.WaitDialog("POS Ioctl");
  ioctl.SetText(IDC_HANDLE, h);
  ioctl.Select(IDC_REQUEST, "POS_SYS_SET_VALUES");
  AddNumberedRows(ioctl, "PosNCursorColumn", 0, 20);
  AddSameRows(ioctl, 80, 100);
  ExpectTableFull(app, ioctl, "Ioctl");
  ExpectCountsRefused(app, ioctl, {"21", "100", "101"}, "Ioctl");
  ExpectRows(ioctl, "PosNCursorColumn", 0);
  ioctl.SetText(IDC_N_ARGUMENTS, "20");
  before = app.LogLines();
  ioctl.Click(IDOK);
  e2e::ExpectBox(app, "POS Ioctl", "PosIoctl Successful.");
  expected = {"Command-->  PosIoctl(" + h + ", POS_SYS_SET_VALUES, [..], 20)"};
  journal.clear();
  for (int i = 0; i < 20; ++i) {
    expected.push_back("     " + std::to_string(i + 1) + ": CursorColumn   ");
    expected.push_back("               (" + std::to_string(i) + ")  ");
    journal.push_back("  arg[" + std::to_string(i) + "] CursorColumn = " + std::to_string(i));
  }
  journal.push_back("  -> 0 out=0");
  EXPECT_EQ(NewLines(app, before), expected);
  const Lines block = LastJournalCall(app, "DLL_PosIOCtl");
  ASSERT_FALSE(block.empty());
  EXPECT_EQ(block[0].rfind("DLL_PosIOCtl handle=" + h + " request=", 0), 0u) << block[0];
  EXPECT_NE(block[0].find(" (POS_SYS_SET_VALUES) count=20"), std::string::npos) << block[0];
  EXPECT_EQ(Lines(block.begin() + 1, block.end()), journal);
  // The table starts again empty, and rows can be added again.
  EXPECT_TRUE(ioctl.Items(IDC_RESOURCES_LIST).empty());
  EXPECT_EQ(ioctl.Text(IDC_N_ARGUMENTS), "0");
  AddRow(ioctl, "PosNCursorColumn", kDec, "1");
  EXPECT_EQ(ioctl.Text(IDC_N_ARGUMENTS), "1");
  ioctl.Cancel();
  app.Exit();
  EXPECT_EQ(app.WaitExit(), 0u);
}

// ---- File names ---------------------------------------------------------------------

// The byte count of a read from its dump's count line ("      (%d bytes)").
int DumpedCount(const Lines& lines) {
  for (const std::string& line : lines) {
    int count = 0;
    if (std::sscanf(line.c_str(), "      (%d bytes)", &count) == 1) return count;
  }
  return -1;
}

TEST(BadInput, FileNamesOfReadAndWrite) {
  Revediz app = Revediz::Start();
  InitializeAndSettle(app);
  const int display = e2e::Open(app, "PosDisplay");
  const int serial = e2e::Open(app, "PosRs232c");
  ASSERT_TRUE(CreateDirectoryA(app.PathOf("folder").c_str(), nullptr));
  const std::string name99 = std::string(95, 'f') + ".bin";
  const std::string name100 = std::string(95, 'g') + ".bin" + "X";  // cut to its first 99
  // 99 characters in a folder that does not exist: the error lines quote
  // them whole.
  const std::string missing99 = "no-such-folder\\" + std::string(84, 'm');
  ASSERT_EQ(name99.size(), kFileNameLimit);
  ASSERT_EQ(missing99.size(), kFileNameLimit);

  // Read's output file. A file that cannot be made is logged, and the read is
  // still shown and confirmed.
  struct OutputCase {
    std::string typed;
    std::string used;  // the name the tool works with
    int error;         // errno of the failed open, 0 for a file written
  };
  const std::vector<OutputCase> outputs = {
      {name99, name99, 0},
      {name100, name100.substr(0, kFileNameLimit), 0},
      {"no-such-folder\\out.bin", "no-such-folder\\out.bin", 2},
      {missing99, missing99, 2},
      {"C:\\no-such-folder\\deeper\\out.bin", "C:\\no-such-folder\\deeper\\out.bin", 2},
      {"folder", "folder", 13},
      {"folder\\", "folder\\", 13},
      {".", ".", 13},
  };
  const std::string d = std::to_string(display);
  LogWatch log(app);
  for (const OutputCase& c : outputs) {
    app.Menu(IDM_POS_READ);
    const Dialog read = app.WaitDialog("POS Read");
    read.SetText(IDC_HANDLE, d);
    read.SetText(IDC_OUTPUT_FILE, c.typed);
    read.Click(IDOK);
    e2e::ExpectBox(app, "POS Read", "PosRead Successful.");
    read.WaitClosed();
    ASSERT_TRUE(app.Running());
    const Lines got = log.Next();
    ASSERT_GE(got.size(), 5u) << c.typed << "\n" << app.Dump();
    const int count = DumpedCount(got);
    ASSERT_GT(count, 0) << c.typed;
    EXPECT_EQ(got[0], "Command-->  PosRead(" + d + ", [], 80)");
    if (c.error == 0) {
      EXPECT_EQ(got[1], "REVEDIZ: Wrote " + std::to_string(count) + " bytes to '" + c.used + "'");
      EXPECT_EQ(app.ReadFile(c.used).size(), static_cast<std::size_t>(count)) << c.used;
    } else {
      EXPECT_EQ(got[1], "REVEDIZ: Error " + std::to_string(c.error) + " on open of file '" + c.used + "'  ");
    }
    EXPECT_EQ(got[2], "      Read Results:  ") << c.typed;
  }
  EXPECT_FALSE(app.FileExists(name100));

  // Write's input file: a name at the limit is read and sent; one past it is
  // cut to the same 99; a path that does not exist and a folder are refused
  // after the line that names the failure.
  app.WriteFile(name99, "HELLO");
  const std::string s = std::to_string(serial);
  for (const std::string& typed : {name99, name99 + "Z"}) {
    app.Menu(IDM_POS_WRITE);
    const Dialog write = app.WaitDialog("POS Write");
    write.SetText(IDC_HANDLE, s);
    write.SetRadio(IDC_FILE_MODE);
    write.SetText(IDC_INPUT_FILE, typed);
    write.Click(IDOK);
    e2e::ExpectBox(app, "POS Write", "PosWrite Successful.");
    write.WaitClosed();
    EXPECT_EQ(log.Next(), (Lines{"REVEDIZ: Read 5 bytes from '" + name99 + "'",
                                            "Command-->  PosWrite(" + s + "," + name99 + ",5)"}));
    EXPECT_EQ(e2e::JournalStarting(app, "DLL_PosWrite").back(),
              "DLL_PosWrite handle=" + s + " length=5 data=48 45 4C 4C 4F");
  }
  struct InputCase {
    std::string name;
    std::string line;  // what the read logs before the refusal
  };
  const std::vector<InputCase> inputs = {
      {"no-such-folder\\in.bin", "REVEDIZ: Error 2 on open of file 'no-such-folder\\in.bin'"},
      {missing99, "REVEDIZ: Error 2 on open of file '" + missing99 + "'"},
      {"C:\\no-such-folder\\in.bin", "REVEDIZ: Error 2 on open of file 'C:\\no-such-folder\\in.bin'"},
      {"folder", "REVEDIZ: Error 13 on open of file 'folder'"},
      {".", "REVEDIZ: Error 13 on open of file '.'"},
  };
  app.Menu(IDM_POS_WRITE);
  const Dialog write = app.WaitDialog("POS Write");
  write.SetText(IDC_HANDLE, s);
  write.SetRadio(IDC_FILE_MODE);
  const Lines journalBefore = app.Journal();
  for (const InputCase& c : inputs) {
    write.SetText(IDC_INPUT_FILE, c.name);
    write.Click(IDOK);
    e2e::ExpectBox(app, "File Name Error ", "File " + c.name + " not found ");
    EXPECT_TRUE(write.IsOpen()) << c.name;
    EXPECT_EQ(log.Next(), Lines{c.line}) << c.name;
    EXPECT_EQ(write.Text(IDC_INPUT_FILE), c.name);
  }
  EXPECT_EQ(app.Journal(), journalBefore);
  write.Cancel();
  app.Exit();
  EXPECT_EQ(app.WaitExit(), 0u);
}

}  // namespace
