// The explorer's oracles: the log line forms (every line the tool's own
// formatters write has one, near misses have none) and the agreement of a
// session's log with the simulator's journal.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "app/result_report.h"
#include "decode/hex_dump.h"
#include "decode/notifications.h"
#include "decode/queue_message.h"
#include "dialogs/data_files.h"
#include "dialogs/escapes.h"
#include "dialogs/read_checks.h"
#include "explore/agreement.h"
#include "explore/log_commands.h"
#include "explore/log_forms.h"
#include "resources/arguments.h"
#include "resources/resource_files.h"
#include "tables/code_tables.h"
#include "tables/lookup.h"
#include "tests/support/recording_shell.h"

namespace {

using explore::CheckAgreement;
using explore::Finding;
using explore::MatchLogForm;

void Ignore(const char*, void*) {}

// A queue record: Opaque, Message, mp1, mp2, little-endian.
std::vector<unsigned char> Record(std::uint32_t message, std::uint32_t mp1, std::uint32_t mp2) {
  std::vector<unsigned char> bytes(16, 0);
  const std::uint32_t fields[] = {0, message, mp1, mp2};
  for (int f = 0; f < 4; ++f)
    for (int b = 0; b < 4; ++b) bytes[f * 4 + b] = static_cast<unsigned char>(fields[f] >> (8 * b));
  return bytes;
}

// Each producer runs the tool's own formatter; the names are the forms its
// lines must have, in order.
struct Produced { const char* what; std::function<void()> produce; std::vector<std::string> forms; };

TEST(LogForms, EveryLineTheFormattersWriteHasItsForm) {
  const unsigned char bytes[17] = {'A', 'B', 0x00, 0x7F, 0xFF, ' ', '~', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  const std::vector<Produced> table = {
      {"failure report", [] { ReportResult(-1, 304); }, {"result.report"}},
      {"failure report, unnamed code", [] { ReportResult(-1, 337); }, {"result.report"}},
      {"open handle", [] { ReportOpenResult(7, 0, "DEVNAME"); }, {"result.open_handle"}},
      {"close line", [] { ReportCloseResult(0, 0, 3); }, {"result.close_handle"}},
      {"argument echo of every tag",
       [] {
         ClearArgumentTable();
         std::int32_t count = 0;
         AddPendingResource("PosNRows", "Dec", "4", count);
         AddPendingResource("PosNMask", "Hex", "1a2B", count);
         AddPendingResource("PosNText", "String", "abc", count);
         AddPendingResource("PosNNone", "String", "", count);
         BuildResourceArgs(5);
         LogResourceArgs(ResourceArgs, 5);
         ClearArgumentTable();
       },
       {"argument.name", "argument.decimal", "argument.name", "argument.hex", "argument.name",
        "argument.string", "argument.name", "argument.string", "argument.name"}},
      {"hex dump of 17 bytes",
       [&] { HexDump("Read Results", bytes, 17); },
       {"dump.title", "dump.count", "dump.row", "dump.row"}},
      {"queue record, device on line",
       [] { const auto r = Record(0x420D, 0x02112402, 6); DecodeQueueMessage(r.data(), 16, false); },
       {"queue.device", "queue.device_type"}},
      {"queue record, indented and unlisted",
       [] { const auto r = Record(0x4203, 0x00050003, 9); DecodeQueueMessage(r.data(), 16, true); },
       {"queue.message", "queue.mp1", "queue.mp2"}},
      {"queue read of 15 bytes",
       [&] { DecodeQueueMessage(bytes, 15, false); },
       {"queue.unknown_format", "dump.title", "dump.count", "dump.row"}},
      {"device on line, no subtype row", [] { HandleDeviceNotification(0x420D, 0x09332402, 0x77); },
       {"notification.online_wparam", "notification.online_lparam", "notification.online_name",
        "notification.online_device", "notification.online_place", "notification.online_place"}},
      {"device on line, zero bytes", [] { HandleDeviceNotification(0x420D, 0x2402, 0); },
       {"notification.online_wparam", "notification.online_lparam", "notification.online_name",
        "notification.online_device", "notification.online_place", "notification.online_place"}},
      {"single-line notifications",
       [] {
         for (unsigned m : {0x4201u, 0x4203u, 0x4204u, 0x4205u, 0x4206u, 0x420Bu, 0x420Fu, 0x4210u})
           HandleDeviceNotification(m, 0x2A0305, 0x59);
         for (std::uint32_t type : {0x24u, 0x48u, 0x54u}) HandleDeviceNotification(0x420C, type << 8 | 3, 0);
       },
       {"notification.keyboard_status", "notification.msr_data", "notification.printer_chase",
        "notification.printer_error", "notification.printer_status", "notification.scanner_data",
        "notification.till_opened", "notification.printer_data", "notification.offline_display",
        "notification.offline_msr", "notification.offline_drawer"}},
      {"request lookup",
       [] {
         std::int32_t code = 0;
         NameToCode("NO SUCH THING", IoctlRequestNames, &code);
         NameToCode("VALUES", IoctlRequestNames, &code);
       },
       {"lookup.no_match", "lookup.several_matches"}},
      {"missing resource list", [] { ReadResourceList("NOSUCH.DAT", Ignore, nullptr); },
       {"resource_list.missing"}},
      {"unknown escape", [] { char text[] = "a\\qb"; ExpandEscapes(text); }, {"write.unknown_escape"}},
      {"read checks",
       [] {
         unsigned char block[6] = {0xBB, 1, 2, 3, 4, 0x00};
         CheckReadResult(block, 4, 9);
       },
       {"read.overclaim", "read.guard_changed"}},
      {"data files",
       [] {
         WorkFolder folder;
         WriteFile("in.bin", "12345"), WriteFile("big.bin", std::string(9, 'x')), WriteFile("empty.bin", "");
         char buffer[8];
         for (const char* name : {"in.bin", "missing.bin", "big.bin", "empty.bin"}) ReadInputFile(name, buffer, 8);
         WriteOutputFile("out.bin", "ab", 2);
         WriteOutputFile("no/such/folder/out.bin", "ab", 2);
       },
       {"file.read", "file.read_open_error", "file.too_big", "file.ftell_error", "file.wrote", "file.write_open_error"}},
  };
  for (const Produced& p : table) {
    ResetShellRecord();
    p.produce();
    const Lines lines = LoggedLines();
    ResetNameScratch();
    ASSERT_EQ(lines.size(), p.forms.size()) << p.what;
    for (std::size_t i = 0; i < lines.size(); ++i)
      EXPECT_EQ(MatchLogForm(lines[i]), p.forms[i]) << p.what << ": \"" << lines[i] << "\"";
  }
}

TEST(LogForms, PlaceholdersTakeWhatTheyName) {
  struct Case { const char* pattern; const char* line; bool matches; };
  const Case table[] = {
      {"a{d}b", "a-12b", true},   {"a{d}b", "a-b", false},     {"a{d}b", "a--1b", false},  {"a{d}b", "ab", false},
      {"a{u}b", "a-1b", false},   {"a{u}b", "ab", false},      {"a{u}b", "a09b", true},    {"{d3}", "-123", true},
      {"{d3}", "12", false},      {"{u2+}", "1", false},       {"{u2+}", "123", true},     {"{X8}", "0000ABCD", true},
      {"{X8}", "000ABCD", false}, {"{X8}", "00000ABCD", false}, {"{X8}", "0000abcd", false}, {"{X}", "G", false},
      {"{x4+}", "abc", false},    {"{x4+}", "abcd", true},     {"{x4+}", "abcdef09", true}, {"{x4+}", "abcG", false},
      {"{x}", "", false},         {"{x2}", "0f", true},        {"{x2}", "0F", false},      {"{#}", "0000", true},
      {"{#}", "0x1f", true},      {"{#}", "0x1", false},       {"{#}", "0x1F", false},     {"{#}", "0010", false},
      {"{#}", "000", false},      {"{#}", "0x1f0", false},     {"{g}|", "41 42 |", true},  {"{g}|", "41 |", true},
      {"{g}|", "|", false},       {"{g}|", "41 42|", false},   {"{g}|", "4 |", false},     {"{g}|", "4a |", false},
      {"{s}x{s}", "axa", true},   {"{s}x{s}", "x", true},      {"{s3}", "abc", true},      {"{s3}", "ab", false},
      {"{b}a", "   a", true},     {"{b}a", "a", true},         {"{b}a", " \ta", false},    {"{b2}a", "  a", true},
      {"{b2}a", "   a", false},   {"{c}", "", false},          {"{c}", "\n", true},        {"{c}", "ab", false},
      {"{p}", " ~", true},        {"{p}", "a\x7f", false},     {"{p}", "a\x1f", false},    {"{p}", "", false},
      {"a{q}b", "ab", false},  {"a{d", "a{d", false},       {"a}b", "a}b", false},      {"{}", "", false},
      {"{c2}", "ab", false},      {"{g2}", "41 42 ", false},   {"{#1}", "0000", false},    {"a{#1}b", "ab", false},
      {"a{u1z}b", "ab", false},   {"{d+}", "1", false},        {"{p2}", "ab  ", false},
      {"a{u0}b", "ab", true},     {"a{u0}b", "a1b", false},    {"{u0+}", "", true},        {"{c0}", "a", false},
  };
  for (const Case& c : table)
    EXPECT_EQ(explore::MatchesPattern(c.pattern, c.line), c.matches) << c.pattern << " / " << c.line;
  EXPECT_EQ(MatchLogForm("Command-->  PosInitialize(A, B, 0, 0, [], 1)"), "command.initialize");  // the first form
}

// ---- Agreement ---------------------------------------------------------------

TEST(Agreement, TheLogsLinesReadAsTheToolWritesThem) {
  using namespace explore::detail;
  // Command lines: the call, its texts, handle and count, and the journal's line they imply; a line of another
  // shape reads as none.
  const struct { const char* line; bool reads; Call call; const char* texts; long long handle, count; bool file; const char* implied; } commands[] = {
      {"Command-->  PosInitialize(A, B, 0, 0, [], 2)", true, Call::kInitialize, "A, B", 0, 2, false, "DLL_PosInitialize with app and resfile \"A, B\", count=2"},
      {"Command-->  PosInitialize(A, B, 0, 0, [], )", false},
      {"Command-->  PosOpen(N, [], C, [], -3)", true, Call::kOpen, "N, [], C", 0, -3, false, "DLL_PosOpen with name and class \"N, [], C\", count=-2"},
      {"Command-->  PosClose(-7)  ", true, Call::kClose, "", -7, 0, false, "DLL_PosClose handle=-7"}, {"Command-->  PosClose(7) ", false},
      {"Command-->  PosIoctl(4, GET, [..], 5)", true, Call::kIoctl, "GET", 4, 5, false, "DLL_PosIOCtl handle=4 request=(GET) count=5"}, {"Command-->  PosIoctl(4 GET, [..], 5)", false},
      {"Command-->  PosRead(0, [], 80)", true, Call::kRead, "", 0, 80, false, "DLL_PosRead handle=0 size=80"}, {"Command-->  PosRead(0, [], 80) ", false},
      {"Command-->  PosWrite(1, [], 4)", true, Call::kWrite, "", 1, 4, false, "DLL_PosWrite handle=1 length=4"}, {"Command-->  PosWrite(1, [], 4) ", false},
      {"Command-->  PosWrite(2,a,b.bin,8)", true, Call::kWrite, "a,b.bin", 2, 8, true, "DLL_PosWrite handle=2 length=8"}, {"Command-->  PosWrite(2,a.bin)", false},
      {"Command-->  PosTerm()", false}, {"Command--> PosClose(7)  ", false}, {"Command-->  PosClose()  ", false},
      {"Command-->  PosIoctl(, GET, [..], 5)", false}, {"Command-->  PosRead(, [], 80)", false},
      {"Command-->  PosWrite(, [], 4)", false}, {"Command-->  PosWrite(,a.bin,8)", false},
  };
  for (const auto& c : commands) {
    Command command;
    ASSERT_EQ(ParseCommand(c.line, &command), c.reads) << c.line;
    if (c.reads) {
      EXPECT_EQ(std::tuple(command.call, command.texts, command.handle, command.count, command.fileMode, ImpliedCall(command)),
                std::tuple(c.call, std::string_view(c.texts), c.handle, c.count, c.file, std::string(c.implied)))
          << c.line;
    }
  }
  // Value lines: a number (32 bits, as the tool holds it) in parentheses after 15 blanks and before two, or a text
  // after two blanks and before four; anything else is no value line.
  const struct { const char* line; EchoValue::Kind kind; std::int32_t number; const char* text; } values[] = {
      {"               (-12)  ", EchoValue::kNumber, -12, ""}, {"               (4294967295)  ", EchoValue::kNumber, -1, ""},
      {"               (0x1a2B)  ", EchoValue::kNumber, 0x1A2B, ""}, {"               (0xFFFFFFFF)  ", EchoValue::kNumber, -1, ""},
      {"               (123456789012)  ", EchoValue::kNumber, -1097262572, ""},
      {"               (1234567890123)  ", EchoValue::kNone}, {"               (0x123456789)  ", EchoValue::kNone},
      {"               (abc)  ", EchoValue::kNone}, {"               (0x)  ", EchoValue::kNone}, {"               (-)  ", EchoValue::kNone},
      {"              (1)  ", EchoValue::kNone}, {"               (1) ", EchoValue::kNone}, {"               (1 )  ", EchoValue::kNone},
      {"  a b    ", EchoValue::kText, 0, "a b"}, {"      ", EchoValue::kText, 0, ""}, {"     ", EchoValue::kNone},
      {" ab    ", EchoValue::kNone}, {"  ab   ", EchoValue::kNone},
  };
  for (const auto& c : values) {
    EchoValue value;
    const bool read = ReadNumberLine(c.line, &value) || ReadTextLine(c.line, &value);
    EXPECT_EQ(std::tuple(read, value.kind, value.number, value.text),
              std::tuple(c.kind != EchoValue::kNone, c.kind, c.number, std::string_view(c.text ? c.text : "")))
        << "\"" << c.line << "\"";
  }
  // Name lines: "     K: NAME   " for argument K.
  const struct { const char* line; long long number; const char* name; } names[] = {
      {"     1: Rows   ", 1, "Rows"}, {"     12: a b   ", 12, "a b"}, {"     1:    ", 1, ""}, {"     2: Rows   ", 1, nullptr},
      {"    1: Rows   ", 1, nullptr}, {"     1: Rows  ", 1, nullptr}, {"     1 Rows   ", 1, nullptr}, {"     x: Rows   ", 1, nullptr},
  };
  for (const auto& c : names) {
    std::string_view name = "unread";
    EXPECT_EQ(ReadNameLine(c.line, c.number, &name), c.name != nullptr) << c.line;
    EXPECT_EQ(name, c.name ? c.name : "unread") << c.line;
  }
  // A journal record's value against the value line: texts by their bytes, numbers by their 32 bits, a text's
  // address or a number read as a text agreeing with anything.
  const EchoValue none, five{EchoValue::kNumber, 5}, minus{EchoValue::kNumber, -1}, abc{EchoValue::kText, 0, "abc"};
  const struct { EchoValue shown; const char* journal; bool agrees; } records[] = {
      {five, "5", true}, {five, "6", false}, {five, "0x5", true}, {five, "0x00000005", true}, {minus, "4294967295", true},
      {minus, "0xffffffff", true}, {minus, "0x1FFFFFFFF", false}, {none, "0", true}, {none, "(null)", true}, {five, "(null)", false},
      {five, "(bad address 0x00000005)", true}, {five, "(bad address 0x00000006)", false}, {five, "(bad address 0x5", false},
      {five, "five", false}, {five, "\"x\"", true}, {abc, "\"abc\"", true}, {abc, "\"abd\"", false}, {abc, "\"abcd\"", false},
      {abc, "\"ab\"", false}, {abc, "\"abc", false}, {abc, "0x0040F000", true},
  };
  for (const auto& c : records) EXPECT_EQ(ValueAgrees(c.shown, c.journal), c.agrees) << c.journal;
  // Two texts joined by ", " in the log and by another separator in the journal: where the first ends, or -1.
  const struct { const char* log; const char* journal; long long split; } splits[] = {
      {"a, b", "a|b", 1}, {", ", "|", 0}, {"a, b, c", "a, b|c", 4}, {"a, b, c", "a|b, c", 1}, {"a, b", "a|c", -1},
      {"a, b", "ab|", -1}, {"a,", "a|", -1}, {"a, b", "a, b", -1},
  };
  for (const auto& c : splits) EXPECT_EQ(SplitAgree(c.log, ", ", c.journal, "|"), c.split) << c.log << " / " << c.journal;
}

// A short session, the log as the tool writes it and the journal as the
// simulator writes it: Initialize (a device comes on line), Open with one
// argument, Get Values, a failed Read, a Write, a card swiped at the bench,
// Close (its line after the box, the swipe's line before it), and a Close of
// descriptor 0 that the binding answers itself.
const std::vector<std::string> kLog = {
    "Command-->  PosInitialize(REVEDIZ, C:\\VORN, 0, 0, [], 1)",
    "     1: queueHandle   ",
    "               (0x1002A)  ",
    " wParam --> 2002402 ",
    " lParam --> 00000006 ",
    "  POSM_SYS_DEVICE_ONLINE ",
    "        Device: ANOP_DISPLAY_A  (Subtype: 2X20_VFD) (Device Num: 0x24)",
    "            SLOT_2   (0x02) ",
    "            PORT_0   (0000) ",
    "Command-->  PosOpen(DEVNAME, PosDisplay, [], 1)",
    "     1: Rows   ",
    "               (2)  ",
    "  Handle :  1  Device Name :  DEVNAME",
    "Command-->  PosIoctl(1, POS_SYS_GET_VALUES, [..], 1)",
    "     1: Rows   ",
    "               (-1)  ",
    "     1: Rows   ",
    "               (2)  ",
    "Command-->  PosRead(1, [], 80)",
    "  RC = -1, errno = (317) POSERR_SYS_DEVICE_OFFLINE  ",
    "nLines    -> 1 ",
    "Command-->  PosWrite(1, [], 2)",
    "MSR DATA AVAILABLE (Length = 89)",
    "Command-->  PosClose(1)  ",
    "Close Handle 1 successful",
    "Command-->  PosClose(0)  ",
    "  RC = -1, errno = (311) POSERR_SYS_FUNCTION_NOT_SUPPORTED  ",
};
const std::vector<std::string> kJournal = {
    "DLL_PosInitialize app=\"REVEDIZ\" resfile=\"C:\\VORN\" count=1\r",
    "  arg[0] queueHandle = 0x0001002A\r",
    "  -> 0\r",
    "  # posted 0x420D wParam=0x02002402 lParam=0x00000006 to 0x0001002A\r",
    "DLL_PosOpen name=\"DEVNAME\" class=\"PosDisplay\" count=2",
    "  arg[0] Rows = 2",
    "  arg[1] queueHandle = 0x0001002A",
    "  -> 0 out=1",
    "DLL_PosIOCtl handle=1 request=302 (POS_SYS_GET_VALUES) count=1",
    "  arg[0] Rows = -1",
    "  -> 0 out=0",
    "  ret[0] Rows = 2",
    "DLL_PosRead handle=1 size=80",
    "  # refused: PosDisplay is off line",
    "  -> 317 out=0",
    "DLL_PosWrite handle=1 length=2 data=48 49",
    "  -> 0 out=2",
    "BENCH PosMsr swipe",
    "  # posted 0x4203 wParam=0x01004801 lParam=0x00000059 to 0x0001002A",
    "  -> 0",
    "DLL_PosClose handle=1",
    "  -> 0",
    "DLL_PosTerm",
    "  -> 0",
};

std::vector<std::string> Without(std::vector<std::string> lines, std::size_t from, std::size_t count) {
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(from), lines.begin() + static_cast<std::ptrdiff_t>(from + count));
  return lines;
}
std::vector<std::string> With(std::vector<std::string> lines, std::size_t at, const std::string& text) {
  lines[at] = text;
  return lines;
}
std::vector<std::string> Inserted(std::vector<std::string> lines, std::size_t at, std::vector<std::string> more) {
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), more.begin(), more.end());
  return lines;
}

// An Initialize whose log echoes two records where its journal call lists only the queue handle.
const std::vector<std::string> kTwoRecordsLog =
    Inserted(With(kLog, 0, "Command-->  PosInitialize(REVEDIZ, C:\\VORN, 0, 0, [], 2)"), 3, {"     2: X   "});
const std::vector<std::string> kOneRecordJournal =
    With(kJournal, 0, "DLL_PosInitialize app=\"REVEDIZ\" resfile=\"C:\\VORN\" count=2");

// Each text of `pairs` replaced by the other, in every line.
std::vector<std::string> Replaced(std::vector<std::string> lines,
                                  const std::vector<std::pair<std::string, std::string>>& pairs) {
  for (std::string& line : lines) {
    for (const auto& [from, to] : pairs) {
      if (const std::size_t at = line.find(from); at != std::string::npos) line.replace(at, from.size(), to);
    }
  }
  return lines;
}

TEST(Agreement, EachRowAgreesOrGivesItsFinding) {
  // Rows built from the session above; `finding` is the finding's `what`, empty where they agree.
  // Beside it: a String argument in place of Rows, and the device name typed with a line end.
  struct Case { const char* what; std::vector<std::string> log, journal; const char* finding; };
  const auto text = [](const std::string& log, const std::string& journal) {
    return std::pair(Replaced(kLog, {{"Rows", "Name"}, {"               (-1)  ", log}, {"               (2)  ", log}}),
                     Replaced(kJournal, {{"Rows = -1", "Name = " + journal}, {"Rows = 2", "Name = " + journal}}));
  };
  const auto [textLog, textJournal] = text("  abc    ", "\"abc\"");
  const auto [emptyLog, emptyJournal] = text("      ", "\"\"");
  const auto lineEnd = Replaced(kLog, {{"DEVNAME", "DEV\nNAME"}});
  const auto queueLog = Inserted(kLog, 27, {"Command-->  PosRead(0, [], 16)"});
  const std::string printer = "  # posted 0x4205 wParam=0x02002102 lParam=0x00000000 to 0x";
  const std::string post = "  # posted 0x4203 wParam=0x01004801 lParam=0x00000059 to 0x";
  const std::vector<std::string> binding = {  // a Close before any Initialize, and an Initialize whose library does not load
      "Command-->  PosClose(3)  ", "  RC = -1, errno = (302) POSERR_SYS_NOT_INITIALIZED  ",
      "Command-->  PosInitialize(REVEDIZ, C:\\VORN, 0, 0, [], 2)", "     1: queueHandle   ", "               (0x1002A)  ",
      "     2: LogFile   ", "  trace.log    ", "  RC = -1, errno = (337) 337    (0x00000151)  "};
  const std::vector<Case> table = {
      {"as written", kLog, kJournal, ""},
      {"a posted tail not yet logged", kLog, Inserted(kJournal, 22, {"BENCH PosPrinter printer-error", printer + "0001002A"}), ""},
      {"posts to another window, kinds passed over", kLog, Inserted(kJournal, 18, {printer + "00000099",
          "  # posted 0x420E wParam=0x02005402 lParam=0x00000000 to 0x0001002A"}), ""},
      {"lower-case hex", kLog, With(With(kJournal, 1, "  arg[0] queueHandle = 0x0001002a"), 18, post + "0001002a"), ""},
      {"nine hex digits: no post", kLog, With(kJournal, 18, post + "00001002A"), "The log shows a notification the journal does not show posted to the tool (log line 23)"},
      {"an Initialize the library takes but the binding answers -1", Inserted(kLog, 3, {"  RC = -1, errno = (-1) -1     (0xFFFFFFFF)  "}),
          kJournal, ""},
      {"a negative status", With(kLog, 19, "  RC = -1, errno = (-1) -1  "), With(kJournal, 14, "  -> -1 out=0"), ""},
      {"no status line", kLog, Without(kJournal, 14, 1), "The journal's DLL_PosRead for the log's PosRead (log line 19) has no status line"},
      {"a second status line", kLog, Inserted(kJournal, 17, {"  -> 331 out=0"}), ""},
      {"a record out of turn", kLog, Inserted(kJournal, 7, {"  arg[0] Rows = 9"}), ""},
      {"a record after a bench action", kLog, Inserted(kJournal, 8, {"BENCH PosMsr swipe", "  arg[2] Rows = 9"}), ""},
      {"an argument's value changed", kLog, With(kJournal, 5, "  arg[0] Rows = 3"), "Argument 1 of the log's PosOpen (log line 10) has another value in the journal"},
      {"an argument's name changed", kLog, With(kJournal, 5, "  arg[0] Columns = 2"), "Argument 1 of the log's PosOpen (log line 10) has another name in the journal"},
      {"a text argument", textLog, textJournal, ""},
      {"an empty text argument", emptyLog, emptyJournal, ""},
      {"a text argument changed", textLog, With(textJournal, 11, "  ret[0] Name = \"abd\""), "Argument 1 of the log's PosIoctl (log line 14) has another value in the journal"},
      {"a returned value changed", kLog, With(kJournal, 11, "  ret[0] Rows = 4"), "Argument 1 of the log's PosIoctl (log line 14) has another value in the journal"},
      {"no returned values: names only", kLog, Without(kJournal, 11, 1), ""},
      {"no returned values, a name changed", With(kLog, 16, "     1: Cols   "), Without(kJournal, 11, 1), "Argument 1 of the log's PosIoctl (log line 14) has another name in the journal"},
      {"a request in lower case, in part", With(kLog, 13, "Command-->  PosIoctl(1, get values, [..], 1)"), kJournal, ""},
      {"another request", kLog, With(kJournal, 8, "DLL_PosIOCtl handle=1 request=303 (POS_SYS_SET_VALUES) count=1"), "The journal's call for the log's PosIoctl (log line 14) has other arguments"},
      {"the count changed", kLog, With(kJournal, 8, "DLL_PosIOCtl handle=1 request=302 (POS_SYS_GET_VALUES) count=2"), "The journal's call for the log's PosIoctl (log line 14) has other arguments"},
      {"the device name changed", kLog, With(kJournal, 4, "DLL_PosOpen name=\"DEV\" class=\"PosDisplay\" count=2"), "The journal's call for the log's PosOpen (log line 10) has other arguments"},
      {"the class one longer", kLog, With(kJournal, 4, "DLL_PosOpen name=\"DEVNAME\" class=\"XPosDisplay\" count=2"), "The journal's call for the log's PosOpen (log line 10) has other arguments"},
      {"an empty application name", Replaced(kLog, {{"REVEDIZ", ""}}), Replaced(kJournal, {{"REVEDIZ", ""}}), ""},
      {"a device name with a line end", lineEnd, Replaced(kJournal, {{"DEVNAME", "DEV\\nNAME"}}), ""},
      {"a carriage return in a device name", Replaced(kLog, {{"DEVNAME", "DEV\rNAME"}}), Replaced(kJournal, {{"DEVNAME", "DEV\\rNAME"}}), ""},
      {"a line end written otherwise", lineEnd, Replaced(kJournal, {{"DEVNAME", "DEV\\rNAME"}}), "The journal's call for the log's PosOpen (log line 10) has other arguments"},
      {"the handle line's name changed", With(kLog, 12, "  Handle :  1  Device Name :  DEVNAMEX"), kJournal, "The log lacks the handle line of the PosOpen (log line 10) the journal gives success"},
      {"a handle other than the journal's", kLog, With(kJournal, 7, "  -> 0 out=2"), "The log lacks the handle line of the PosOpen (log line 10) the journal gives success"},
      {"the read size changed", kLog, With(kJournal, 12, "DLL_PosRead handle=1 size=81"), "The journal's call for the log's PosRead (log line 19) has other arguments"},
      {"the write length changed", kLog, With(kJournal, 15, "DLL_PosWrite handle=1 length=3 data=48 49 4A"), "The journal's call for the log's PosWrite (log line 22) has other arguments"},
      {"the status changed", kLog, With(kJournal, 14, "  -> 306 out=0"), "The errno the log reports for PosRead (log line 19) is not the journal's status"},
      {"a failure where the journal gives success", kLog, With(kJournal, 14, "  -> 0 out=5 data=41 42 43 44 45"), "The log reports a failure of PosRead (log line 19) where the journal gives success"},
      {"an errno of no number", With(kLog, 19, "  RC = -1, errno = () POSERR_SYS_DEVICE_OFFLINE  "), kJournal, "The log does not report the failed PosRead (log line 19) as the journal gives it"},
      {"a success the log does not report as failed", kLog, With(kJournal, 16, "  -> 331 out=0"), "The log does not report the failed PosWrite (log line 22) as the journal gives it"},
      {"a call missing from the journal", kLog, Without(kJournal, 20, 2), "The log's PosClose (log line 24) has no call of its own in the journal: the next DLL_ call is not it"},
      {"a call twice in the journal", kLog, Inserted(kJournal, 22, {"DLL_PosClose handle=1", "  -> 0"}), "The journal shows a call the log never issued"},
      {"a call the binding answers itself in the journal", kLog, Inserted(kJournal, 22, {"DLL_PosClose handle=0", "  -> 311"}), "The journal shows a call the log never issued"},
      {"the library's version asked at the end", kLog, Inserted(kJournal, 24, {"DLL_PosVersion", "  -> 0"}), ""},
      {"the close line missing", Without(kLog, 24, 1), kJournal, "The log lacks the close line of the successful PosClose (log line 24)"},
      {"the close line not yet logged at the end", Without(kLog, 24, 3), kJournal, ""},
      {"boxes held back and released", Inserted(kLog, 23, {"REVEDIZ: 2 notification boxes are open; further ones are held back", "REVEDIZ: 1 notification boxes were held back"}), kJournal, ""},
      {"a notification missing from the log", Without(kLog, 3, 6), kJournal, "A notification the journal shows posted is missing from the log or out of order (log line 17)"},
      {"a notification never posted", Inserted(kLog, 23, {"PRINTER ERROR (Device Descriptor = 1)"}), kJournal, "The log shows a notification the journal does not show posted to the tool (log line 24)"},
      {"an argument line missing", Without(kLog, 10, 2), kJournal, "The log's argument lines of PosOpen (log line 10) stop short"},
      {"a command line of no form", With(kLog, 21, "Command-->  PosWrite(1 , [], 2)"), kJournal, "The log has a command line of no form the tool writes (log line 22)"},
      {"posts to the window the Open names and the one the Initialize names", kLog,
          With(With(kJournal, 6, "  arg[1] queueHandle = 0x00000077"), 18, post + "00000077"), ""},
      {"an Open's last record not the window", kLog, With(kJournal, 6, "  arg[1] Rows = 3"), "The journal's call for the log's PosOpen (log line 10) has other arguments"},
      {"an Open answered 0 fails", With(kLog, 12, "  RC = 0, errno = (317) POSERR_SYS_DEVICE_OFFLINE  "), With(kJournal, 7, "  -> 0 out=0"), ""},
      {"another Ioctl handle", kLog, With(kJournal, 8, "DLL_PosIOCtl handle=2 request=302 (POS_SYS_GET_VALUES) count=1"), "The journal's call for the log's PosIoctl (log line 14) has other arguments"},
      {"an unknown request", With(kLog, 13, "Command-->  PosIoctl(1, no such request, [..], 1)"),
          With(kJournal, 8, "DLL_PosIOCtl handle=1 request=9 (no such request) count=1"), "The journal's call for the log's PosIoctl (log line 14) has other arguments"},
      {"another Write handle", kLog, With(kJournal, 15, "DLL_PosWrite handle=2 length=2 data=48 49"), "The journal's call for the log's PosWrite (log line 22) has other arguments"},
      {"another Close handle", kLog, With(kJournal, 20, "DLL_PosClose handle=2"), "The journal's call for the log's PosClose (log line 24) has other arguments"},
      {"the close line after a notification's box", With(With(kLog, 22, kLog[23]), 23, kLog[22]), kJournal, ""},
      {"a second Initialize the binding refuses", Inserted(kLog, 27, {kLog[0], kLog[1], kLog[2], "  RC = -1, errno = (304) X  "}), kJournal, ""},
      {"a name line that reads as a text line: the next argument's", {"Command-->  PosInitialize(A, B, 0, 0, [], 2)", "     1: N   ",
          "     2: T    ", "  x    "}, {"DLL_PosInitialize app=\"A\" resfile=\"B\" count=2", "  arg[0] N = 0", "  arg[1] T  = \"x\"", "  -> 0"}, ""},
      {"the last value a text line that reads as the name line after it", {"Command-->  PosInitialize(A, B, 0, 0, [], 1)",
          "     1: T   ", "     2: C    "}, {"DLL_PosInitialize app=\"A\" resfile=\"B\" count=1", "  arg[0] T = 0x0040F000", "  -> 0"}, ""},
      {"a Get Values refused: its values echoed after the report", Inserted(kLog, 16, {kLog[19]}), With(kJournal, 10, kJournal[14]), ""},
      {"an array the library refused whole: no records", {"Command-->  PosInitialize(REVEDIZ, C:\\VORN, 0, 0, [], 1)",
          "     1: PosNLogLevel   ", "               (9)  ", "  RC = -1, errno = (310) POSERR_SYS_OUT_OF_BOUNDS  "},
          {"DLL_PosInitialize app=\"REVEDIZ\" resfile=\"C:\\VORN\" count=1", "  -> 310"}, ""},
      {"fewer records than arguments", kTwoRecordsLog, kOneRecordJournal, "The journal lists fewer records than the log's PosInitialize (log line 1) echoes"},
      {"a queue record read", queueLog, Inserted(kJournal, 22, {"DLL_PosRead handle=0 size=16", "  -> 0 out=16"}), ""},
      {"a queue read of 2 bytes", Inserted(queueLog, 28, {"ERROR: Unknown POSQ message format!!!!", "      POSQ Info:  ", "      (2 bytes)",
          "   0000: 41 42  | AB\n"}), Inserted(kJournal, 22, {"DLL_PosRead handle=0 size=16", "  -> 0 out=2 data=41 42"}), ""},
      {"a queue read titled as a device's", Inserted(queueLog, 28, {"ERROR: Unknown POSQ message format!!!!", "      Read Results:  ", "      (2 bytes)",
          "   0000: 41 42  | AB\n"}), Inserted(kJournal, 22, {"DLL_PosRead handle=0 size=16", "  -> 0 out=2 data=41 42"}),
          "The log's dump of the PosRead (log line 28) does not show the bytes the journal gives"},
      {"a queue read of 2 bytes not shown", queueLog, Inserted(kJournal, 22, {"DLL_PosRead handle=0 size=16", "  -> 0 out=2 data=41 42"}),
          "The log's dump of the PosRead (log line 28) does not show the bytes the journal gives"},
      {"calls the binding answers itself have no journal call", binding, {}, ""},
      {"a library not loaded, after a record with no value line and a name line that reads as a text line",
          {binding[2], "     1:    ", "     2: T    ", "  x    ", binding[7]}, {}, ""},
      {"the same errno from the library itself is a call", With(binding, 7, "  RC = -1, errno = (305) POSERR_SYS_INIT_FAILED  "), {},
          "The log's PosInitialize (log line 3) has no call of its own in the journal: the next DLL_ call is not it"},
      {"not initialized means 302, nothing else", With(binding, 1, "  RC = -1, errno = (304) POSERR_SYS_ALREADY_INITIALIZED  "), {},
          "The errno the log reports for PosClose (log line 1) is not the journal's status"},
      {"once initialized, the call goes to the library", Inserted(kLog, 25, {"Command-->  PosRead(1, [], 80)",
          "  RC = -1, errno = (302) POSERR_SYS_NOT_INITIALIZED  "}), kJournal,
          "The log's PosRead (log line 26) has no call of its own in the journal: the next DLL_ call is not it"},
  };
  for (const Case& c : table) {
    const auto finding = CheckAgreement(c.log, c.journal);
    EXPECT_EQ(finding.has_value(), *c.finding != '\0') << c.what << ": " << (finding ? finding->what : "");
    EXPECT_TRUE(!finding || !*c.finding ||
                (finding->what == c.finding && !finding->expected.empty() && !finding->actual.empty()))
        << c.what << ": " << finding->what;
  }
}

// A read of 18 bytes into a buffer of 20, written to a file and dumped.
const std::vector<std::string> kReadJournal = {
    "DLL_PosInitialize app=\"REVEDIZ\" resfile=\"C:\\VORN\" count=0", "  -> 0", "DLL_PosRead handle=2 size=20",
    "  -> 0 out=18 data=41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 51 52"};
const std::vector<std::string> kReadLog = {
    "Command-->  PosInitialize(REVEDIZ, C:\\VORN, 0, 0, [], 0)", "Command-->  PosRead(2, [], 20)",
    "REVEDIZ: Wrote 18 bytes to 'out.bin'", "      Read Results:  ", "      (18 bytes)",
    "   0000: 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50  | ABCDEFGHIJKLMNOP\n", "   0010: 51 52  | QR\n"};

TEST(Agreement, AReadsDumpShowsTheJournalsBytes) {
  const std::vector<std::string>& journal = kReadJournal;
  const std::vector<std::string>& log = kReadLog;
  EXPECT_FALSE(CheckAgreement(log, journal));
  EXPECT_TRUE(CheckAgreement(log, With(journal, 3, "  -> 0 out=17 data=41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 51")));
  EXPECT_TRUE(CheckAgreement(log, With(journal, 3, "  -> 0 out=18 data=41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 51 53")));
  // Nothing read is a failure of the Read dialog: RC = 0, with whatever errno held.
  const std::vector<std::string> none = {log[0], log[1], "  RC = 0, errno = (317) POSERR_SYS_DEVICE_OFFLINE  "};
  EXPECT_FALSE(CheckAgreement(none, With(journal, 3, "  -> 0 out=0 data=")));
  EXPECT_TRUE(CheckAgreement(log, With(journal, 3, "  -> 0 out=0 data=")));
  // A device that claims more than the buffer: this tool shows the buffer, and
  // the bytes past those the journal lists are whatever the buffer held.
  const std::vector<std::string> overclaim = {
      log[0], log[1], "REVEDIZ: Device returned 25 bytes for a buffer of 20; showing 20", log[3],
      "      (20 bytes)", log[5], "   0010: 51 52 00 BB  | QR..\n"};
  EXPECT_FALSE(CheckAgreement(overclaim, With(journal, 3, "  -> 0 out=25 data=41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 51 52")));
  // Sixteen bytes fill one row: the dump ends there.
  EXPECT_FALSE(CheckAgreement({log[0], log[1], "REVEDIZ: Wrote 16 bytes to 'out.bin'", log[3], "      (16 bytes)", log[5]},
                              With(journal, 3, "  -> 0 out=16 data=41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50")));
}

TEST(Agreement, NotificationsAsTheToolLogsThem) {
  // Descriptors and lengths of two decimal digits: written otherwise in hexadecimal.
  const struct { unsigned message; std::uint32_t wParam, lParam; } table[] = {{0x4201, 0x01002201, 0}, {0x4203, 0x01004801, 0x59}, {0x4204, 0x0200210B, 0},
                        {0x4205, 0x0200210C, 0}, {0x4206, 0x0200210D, 0}, {0x420B, 0x01004C02, 0x0D},
                        {0x420C, 0x0200240E, 0}, {0x420C, 0x0100480F, 0}, {0x420C, 0x0000541A, 0},
                        {0x420C, 0x00004A07, 0}, {0x420D, 0x02112402, 6}, {0x420F, 0x0000541B, 0},
                        {0x4210, 0x0200211C, 0}, {0x420E, 0x00005404, 0}};
  for (const auto& c : table) {
    ResetShellRecord();
    HandleDeviceNotification(c.message, c.wParam, c.lParam);
    std::vector<std::string> log = {"Command-->  PosInitialize(REVEDIZ, C:\\VORN, 0, 0, [], 1)", "     1: queueHandle   ",
                                    "               (0x1002A)  "};
    for (const std::string& line : LoggedLines()) log.push_back(line);
    ResetNameScratch();
    char posted[100];
    std::snprintf(posted, sizeof posted, "  # posted 0x%04X wParam=0x%08X lParam=0x%08X to 0x0001002A", c.message,
                  static_cast<unsigned>(c.wParam), static_cast<unsigned>(c.lParam));
    const std::vector<std::string> journal = {"DLL_PosInitialize app=\"REVEDIZ\" resfile=\"C:\\VORN\" count=1",
                                              "  arg[0] queueHandle = 0x0001002A", "  -> 0", posted};
    EXPECT_FALSE(CheckAgreement(log, journal)) << std::hex << c.message;
    // Another descriptor, length or device in the journal: the log no longer agrees.
    std::snprintf(posted, sizeof posted, "  # posted 0x%04X wParam=0x%08X lParam=0x%08X to 0x0001002A", c.message,
                  static_cast<unsigned>(c.wParam ^ 0x10), static_cast<unsigned>(c.lParam ^ 0x10));
    const bool logged = log.size() > 3, keyboard = c.message == 0x4201;
    EXPECT_EQ(CheckAgreement(log, With(journal, 3, posted)).has_value(), logged && !keyboard) << std::hex << c.message;
  }
  // A device on line whose log ends after its lParam line (its name lines not read yet) agrees all the same.
  EXPECT_FALSE(CheckAgreement({kLog.begin(), kLog.begin() + 5}, {kJournal.begin(), kJournal.begin() + 4}));
}

TEST(Agreement, TheFindingSaysWhatWasExpectedAndFound) {
  const std::string kDump = "The log's dump of the PosRead (log line 2) does not show the bytes the journal gives";
  const struct { std::vector<std::string> log, journal; Finding finding; } table[] = {
      {kLog, With(kJournal, 14, "  -> 306 out=0"), {"The errno the log reports for PosRead (log line 19) is not the journal's status",
                              "  RC = -1, errno = (306) NAME  ", "  RC = -1, errno = (317) POSERR_SYS_DEVICE_OFFLINE  "}},
      {kLog, With(kJournal, 14, "  -> 0 out=5 data=41 42 43 44 45"), {"The log reports a failure of PosRead (log line 19) where the journal gives success",
                            "DLL_PosRead handle=1 size=80 answered 0", "  RC = -1, errno = (317) POSERR_SYS_DEVICE_OFFLINE  "}},
      {kLog, Without(kJournal, 20, 2), {"The log's PosClose (log line 24) has no call of its own in the journal: the next DLL_ call is not it",
                                        "DLL_PosClose handle=1", "DLL_PosTerm (journal line 21)"}},
      {kLog, Inserted(kJournal, 22, {"DLL_PosClose handle=1", "  -> 0"}), {"The journal shows a call the log never issued",
          "no further \"Command-->\" line's call after the log's last one", "DLL_PosClose handle=1 (journal line 23)"}},
      {Without(kLog, 10, 2), kJournal, {"The log's argument lines of PosOpen (log line 10) stop short",
                                        "1 numbered arguments; argument 1 as \"     1: NAME   \"", kLog[12]}},
      {{kLog.begin(), kLog.begin() + 10}, kJournal, {"The log's argument lines of PosOpen (log line 10) stop short",
                                                    "1 numbered arguments; argument 1 as \"     1: NAME   \"",
                                                    "the end of the log"}},
      {With(kReadLog, 3, "      POSQ Info:  "), kReadJournal, {kDump,
          "      Read Results:     (DLL_PosRead handle=2 size=20 returned out=18)", "      POSQ Info:  "}},
      {With(kReadLog, 6, "   0010: 51  | Q\n"), kReadJournal, {kDump, "   0010: 51 52  | ...   (journal line 3)", "   0010: 51  | Q\\n"}},
      {kLog, Inserted(Without(kJournal, 3, 1), 18, {"  # posted 0x420D wParam=0x02002402 lParam=0x00000006 to 0x0001002A"}),
       {"A notification the journal shows posted is missing from the log or out of order (log line 4)",
        "MSR DATA AVAILABLE (Length = 89)   (journal line 18)", " wParam --> 2002402 \n lParam --> 00000006 "}},
      {kTwoRecordsLog, kOneRecordJournal, {"The journal lists fewer records than the log's PosInitialize (log line 1) echoes", "2 records", "1 records"}},
      {{kLog.begin(), kLog.begin() + 19}, {kJournal.begin(), kJournal.begin() + 15},  // the log ends after the call
       {"The log does not report the failed PosRead (log line 19) as the journal gives it",
        "  RC = -1, errno = (317) NAME  ", "the end of the log"}},
      {kLog, With(kJournal, 15, "DLL_PosWrite handle=1 length=3 data=48 49 50"),
       {"The journal's call for the log's PosWrite (log line 22) has other arguments", "DLL_PosWrite handle=1 length=2",
        "DLL_PosWrite handle=1 length=3 data=48 49 50 (journal line 16)"}},
      {{kReadLog.begin(), kReadLog.begin() + 4}, kReadJournal, {kDump,  // the log ends inside the dump
          "      (18 bytes)   (DLL_PosRead handle=2 size=20 returned out=18)", "the end of the log"}},
  };
  for (const auto& c : table) {
    const auto finding = CheckAgreement(c.log, c.journal);
    ASSERT_TRUE(finding) << c.finding.what;
    EXPECT_EQ(std::tie(finding->what, finding->expected, finding->actual),
              std::tie(c.finding.what, c.finding.expected, c.finding.actual));
  }
}

}  // namespace
