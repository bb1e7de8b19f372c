// The command dialogs' window-free parts: numeric fields and their refusals, the guarded read buffer, the Write text
// and its escapes, the data files.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "dialogs/data_files.h"
#include "dialogs/escapes.h"
#include "dialogs/field_checks.h"
#include "dialogs/read_checks.h"
#include "dialogs/write_text.h"
#include "tests/support/recording_shell.h"

namespace {

const std::string kZeros(250, '0'), kSevens(300, '7');
const std::string kStaleEmpty("\0" "7", 2);  // an empty field with a stale digit behind its end

struct FieldCase { std::string text; std::int32_t value; std::string refusal; };  // value -9, refusal "": none

// A refusal is one box, under nonDigitCaption for a text holding a non-digit and under caption otherwise; nothing is
// ever logged.
template <typename Check>
void ExpectField(const std::vector<FieldCase>& cases, Check check, const char* caption, const char* nonDigitCaption) {
  for (const FieldCase& c : cases) {
    ResetShellRecord();
    std::int32_t value = -9;
    EXPECT_EQ(check(c.text.c_str(), &value), c.refusal.empty()) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
    const bool nonDigit = c.text.find_first_not_of("0123456789") != std::string::npos;
    const Events box{BoxEvent(c.refusal, nonDigit ? nonDigitCaption : caption)};
    EXPECT_EQ(ShellRecord(), c.refusal.empty() ? Events{} : box) << c.text;
  }
}

std::string Unknown(char c) { return std::string("--> Error, unknown escape sequence '\\") + c + "'"; }

std::string Pattern(std::size_t size) {
  std::string s(size, '\0');
  for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 7 + 3) & 0xFF);
  return s;
}

}  // namespace

// The handle, argument count and buffer size fields; only the buffer size's non-numeric refusal has a caption without
// the trailing blank.
TEST(FieldChecks, HandleArgumentCountAndBufferSize) {
  ExpectField({{"0", 0, ""}, {"2147483647", INT32_MAX, ""}, {kStaleEmpty, -9, "Missing Handle number"},
               {"-1", -9, "Non numeric Handle : -1 "}, {" 5", -9, "Non numeric Handle :  5 "},
               {"2147483648", -9, "Handle out of range : 2147483648 "},
               {kSevens.substr(47), -9, "Handle out of range : " + kSevens.substr(47) + " "}},
              CheckHandleText, "Handle Error ", "Handle Error ");
  for (std::int32_t capacity : {19, 20}) {
    const std::string over = std::to_string(capacity + 1);
    ExpectField({{kStaleEmpty, 0, ""}, {"0", 0, ""}, {std::to_string(capacity), capacity, ""},
                 {over, -9, "Too many arguments : " + over + " "}, {"100", -9, "Too many arguments : 100 "},
                 {"2147483648", -9, "Too many arguments : 2147483648 "}, {"2a", -9, "Non Numeric Argument : 2a "}},
                [capacity](const char* text, std::int32_t* n) { return CheckArgumentCountText(text, capacity, n); },
                "Argument Error ", "Argument Error ");
  }
  ExpectField({{"80", 80, ""}, {"0", 0, ""}, {"2147483645", 2147483645, ""}, {"", -9, "Missing Buffer Size"},
               {"-1", -9, "Non numeric Buffer Size : -1 "}, {"2147483646", -9, "Buffer Size too large : 2147483646 "},
               {"2147483648", -9, "Buffer Size too large : 2147483648 "}},
              CheckBufferSizeText, "Buffer Size Error ", "Buffer Size Error");
}

// The data area lies between two guard bytes 0xBB; what the device did with them and the count it claimed are checked
// after the call.
// Hexadecimal: at most eight digits after leading zeros, the 32 bits as they are; decimal: up to 2147483647. Both take
// digits only: no sign, blank or prefix.
TEST(FieldChecks, HexAndDecimalConversions) {
  const struct { bool hex; std::string text; bool taken; std::int32_t value; } kCases[] = {
      {true, "1a2B", true, 0x1A2B}, {true, "09afAF", true, 0x09AFAF}, {true, "FFFFFFFF", true, -1},
      {true, "80000000", true, INT32_MIN}, {true, "7fffffff", true, INT32_MAX}, {true, kZeros + "Ff", true, 255},
      {true, "0", true, 0}, {true, "1f", true, 0x1F}, {true, "100000000", false, -9}, {true, "0x10", false, -9}, {true, "", false, -9},
      {true, "fg", false, -9}, {true, "G", false, -9}, {true, " 5", false, -9}, {false, kZeros + "42", true, 42},
      {false, "2147483647", true, INT32_MAX}, {false, "2147483648", false, -9}, {false, "4294967297", false, -9},
      {false, kSevens, false, -9}, {false, "12a", false, -9}, {false, "", false, -9}, {false, "+5", false, -9},
      {false, "-1", false, -9}, {false, " 5", false, -9}, {false, "5 ", false, -9},
  };
  for (const auto& c : kCases) {
    std::int32_t value = -9;
    EXPECT_EQ((c.hex ? ParseHex32 : ParseDecimal32)(c.text.c_str(), &value), c.taken) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
}

TEST(ReadChecks, GuardBytesAndTheCountShown) {
  const std::string wrote = "REVEDIZ: Device wrote outside the read buffer (guard byte ";
  const struct { std::int32_t size, result; bool before, after; std::int32_t shown; Lines lines; } kCases[] = {
      {80, 16, false, false, 16, {}}, {80, 80, false, false, 80, {}}, {80, 0, false, false, 0, {}},
      {80, 81, false, false, 80, {"REVEDIZ: Device returned 81 bytes for a buffer of 80; showing 80"}},
      {8, 8, true, false, 8, {wrote + "before changed)"}}, {8, 3, false, true, 3, {wrote + "after changed)"}},
      {8, -1, true, true, -1, {wrote + "before and after changed)"}},
      {0, 16, false, true, 0,
       {"REVEDIZ: Device returned 16 bytes for a buffer of 0; showing 0", wrote + "after changed)"}},
  };
  for (const auto& c : kCases) {
    ResetShellRecord();
    unsigned char* block = TakeReadBuffer(c.size, "n");
    ASSERT_TRUE(block != nullptr && block[0] == 0xBB && block[c.size + 1] == 0xBB);
    // Zeroed, though the block before was filled (a claimed but unwritten byte shows as 00).
    EXPECT_EQ(std::count(block + 1, block + 1 + c.size, 0), c.size);
    std::memset(block + 1, 0x5A, static_cast<std::size_t>(c.size));
    if (c.before) block[0] = 0;
    if (c.after) block[c.size + 1] = 'x';
    EXPECT_EQ(CheckReadResult(block, c.size, c.result), c.shown);
    ReleaseReadBuffer(block);
    EXPECT_EQ(ShellRecord(), LogEvents(c.lines));
  }
}

// When the heap cannot give the block (in a child, cut to what the process holds and then taken in 512 KiB blocks while
// it gives them), a size above 1 MiB is refused as too large and one of 1 MiB ends the tool through the assertion.
TEST(ReadChecksDeathTest, HeapRefusesAboveOneMebibyteAndAssertsUpToIt) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator ends the process itself";
#endif
  const auto starve = [] {
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t held = static_cast<rlim_t>(pages * ::sysconf(_SC_PAGESIZE)) + (256 << 10);
    const rlimit limit{held, held};
    static void* taken[4096];  // kept, so a leak checker sees them held, not lost
    if (::setrlimit(RLIMIT_AS, &limit) != 0) return false;
    for (void*& block : taken) {
      if ((block = std::malloc(512 << 10)) == nullptr) return true;
    }
    return false;
  };
  EXPECT_DEATH(starve() && TakeReadBuffer(1 << 20, "1048576"), "Assertion .Buffer. failed");
  const Events refusal{BoxEvent("Buffer Size too large : 1048577 ", "Buffer Size Error ")};
  EXPECT_EXIT(ResetShellRecord();
              std::_Exit(starve() && !TakeReadBuffer((1 << 20) + 1, "1048577") && ShellRecord() == refusal),
              ::testing::ExitedWithCode(1), "");
}

TEST(Escapes, EachSequenceGivesItsByteAndTheCountIncludesZeros) {
  std::string longest;  // the most the text holds, all escapes
  while (longest.size() + 4 <= 253) longest += R"(\x41)";
  const struct { std::string typed; std::string bytes; Lines logged; } kCases[] = {
      {"", "", {}}, {R"(\\n)", "\\n", {}}, {R"(AB\x1bC)", "AB\x1b" "C", {}},
      {R"(\"\'\?\\\a\b\f\n\r\t\v)", "\x22\x27\x3F\x5C\x07\x08\x0C\x0A\x0D\x09\x0B", {}},
      {R"(\101)", "A", {}}, {R"(\1012)", "A2", {}}, {R"(\777)", "\xFF", {}}, {R"(\400)", std::string(1, '\0'), {}},
      {R"(\18\12\13)", "\x01" "8\x0A\x0B", {}}, {R"(\x414)", "A4", {}},
      {R"(\xfF\xA\x7e\xa9\x9g)", "\xFF\x0A~\xA9\x09g", {}},
      {R"(\xg)", std::string("\0g", 2), {}}, {R"(\x)", std::string(1, '\0'), {}}, {"\\", "\\", {}},
      {R"(A\000B\x00C\0)", std::string("A\0B\0C\0", 6), {}}, {R"(\q\n)", "\\q\n", {Unknown('q')}},
      {R"(\X41\A\N\e\8\9z)", R"(\X41\A\N\e\8\9z)",
       {Unknown('X'), Unknown('A'), Unknown('N'), Unknown('e'), Unknown('8'), Unknown('9')}},
      {longest, std::string(longest.size() / 4, 'A'), {}},
  };
  for (const auto& c : kCases) {
    ResetShellRecord();
    std::string buffer = c.typed;
    const std::int32_t count = ExpandEscapes(buffer.data());  // the bytes and the NUL after them
    EXPECT_EQ(std::tuple(count, std::string(buffer.c_str(), c.bytes.size() + 1), ShellRecord()),
              std::tuple(static_cast<std::int32_t>(c.bytes.size()), c.bytes + '\0', LogEvents(c.logged))) << c.typed;
  }
}

// Lines are joined without line ends; the line that passes 253 characters in all gives only what still fits, and
// collecting stops there.
TEST(WriteText, LinesJoinedUpToTheLimit) {
  const struct { std::vector<std::string> lines; std::size_t taken; std::string data; } kCases[] = {
      {{"Hello ", "w", "rapped", "", "\\x1b!"}, 5, "Hello wrapped\\x1b!"},
      {{std::string(200, 'a'), std::string(53, 'b'), "c", "d"}, 2, std::string(200, 'a') + std::string(53, 'b')},
      {{std::string(150, 'a'), std::string(150, 'b'), "c"}, 1, std::string(150, 'a') + std::string(103, 'b')},
      {{std::string(300, 'z')}, 0, std::string(253, 'z')},
  };
  for (const auto& c : kCases) {
    WriteText text;
    std::memset(&text, 'x', sizeof text);
    StartWriteText(&text);
    std::size_t taken = 0;
    for (const std::string& line : c.lines) {
      if (!AddWriteTextLine(&text, line.data(), static_cast<std::int32_t>(line.size()))) break;
      ++taken;
    }
    EXPECT_EQ(std::tuple(taken, text.collected, std::string(text.data)),
              std::tuple(c.taken, static_cast<std::int32_t>(c.data.size()), c.data));
  }
  WriteText text;  // a negative length counts as none: it cannot make room for more than the limit
  StartWriteText(&text);
  const std::string full(254, 'f');
  EXPECT_TRUE(AddWriteTextLine(&text, "x", -5));
  EXPECT_FALSE(AddWriteTextLine(&text, full.data(), 254));
  EXPECT_EQ(text.collected, 253);
}

// The pipe cannot seek (a reader-writer descriptor keeps its open from waiting); attribute files of /sys report a page
// and hold less.
// /dev/full takes a small write into the stream's buffer and fails at the flush, and takes only part of a large one.
TEST(DataFiles, WriteOutputFileReplacesTheFileOrSaysWhyNot) {
  WorkFolder folder;
  ASSERT_EQ(::mkdir("folder", 0700), 0);
  const std::string n99(99, 'w'), bytes("\0\r\n\xBB\xFF" "abc", 8);
  const struct { std::string name, data; std::int32_t result; std::string line; } kCases[] = {
      {"out.bin", bytes, 8, "REVEDIZ: Wrote 8 bytes to 'out.bin'"},
      {"zero.bin", "", 0, "REVEDIZ: Wrote 0 bytes to 'zero.bin'"},
      {n99, Pattern(100000), 100000, "REVEDIZ: Wrote 100000 bytes to '" + n99 + "'"},
      {"no-dir/out.bin", "abc", -1, "REVEDIZ: Error 2 on open of file 'no-dir/out.bin'  "},
      {"folder", "abc", -1, "REVEDIZ: Error 21 on open of file 'folder'  "},
      {"/dev/full", "0123456789ABCDEF", 16, "Error 32 writing file '/dev/full'"},
  };
  for (const auto& c : kCases) {
    const bool ours = c.result >= 0 && c.name[0] != '/';
    if (ours) WriteFile(c.name, std::string(1000, 'o'));
    ResetShellRecord();
    const int open = OpenDescriptors();
    EXPECT_EQ(WriteOutputFile(c.name.c_str(), c.data.data(), static_cast<std::int32_t>(c.data.size())), c.result);
    EXPECT_EQ(OpenDescriptors(), open) << c.line;
    EXPECT_EQ(ShellRecord(), Events{LogEvent(c.line)});
    EXPECT_EQ(ours ? ReadFile(c.name) : c.data, c.data) << c.line;
  }
  const std::string large = Pattern(100000);
  ResetShellRecord();
  const std::int32_t written = WriteOutputFile("/dev/full", large.data(), 100000);
  EXPECT_TRUE(written >= 0 && written < 100000) << written;
  EXPECT_EQ(LoggedLines(), Lines{"Only wrote " + std::to_string(written) + " out of 100000 bytes of file '/dev/full'"});
}

TEST(DataFiles, ReadInputFileTakesTheWholeFileOrSaysWhyNot) {
  WorkFolder folder;
  ASSERT_EQ(::mkfifo("pipe", 0600), 0);
  const int pipeKeeper = ::open("pipe", O_RDWR);
  const std::string n99(99, 'n'), n3000(3000, 'n'), raw("\\n\r\n\0\x1A" "end", 8);
  std::string sys = "/sys/kernel/mm/transparent_hugepage/enabled";
  if (ReadFile(sys).empty()) sys = "/sys/devices/system/cpu/online";
  const std::string held = ReadFile(sys);
  const struct {  // exists: the bytes are written to the file first
    std::string name, bytes; bool exists; std::int32_t capacity, result; std::string line;
    StreamFault fault = StreamFault::kNone;
  } kCases[] = {
      {"raw.bin", raw, true, 8192, 8, "REVEDIZ: Read 8 bytes from 'raw.bin'"},
      {n99, "x", true, 8192, 1, "REVEDIZ: Read 1 bytes from '" + n99 + "'"},
      {"ten.bin", Pattern(10), true, 10, 10, "REVEDIZ: Read 10 bytes from 'ten.bin'"},
      {"ten.bin", Pattern(10), true, 9, -1, "REVEDIZ: Buffer not big enough: have 9 bytes, 'ten.bin' is 10 bytes long\n"},
      {"empty.bin", "", true, 8192, -1, "REVEDIZ: Error -1/0 on ftell of file 'empty.bin'"},
      {"no such.bin", "", false, 8192, -1, "REVEDIZ: Error 2 on open of file 'no such.bin'"},
      {n3000, "", false, 8192, -1, "REVEDIZ: Error 36 on open of file '" + n3000 + "'"},
      {"pipe", "", false, 8192, -1, "REVEDIZ: Error -1/29 on seek_end of file 'pipe'"},
      {"back.bin", "abc", true, 8192, -1, "REVEDIZ: Error -1/29 on seek_set of file 'back.bin'", StreamFault::kNoRewind},
      {"failing.bin", "abc", true, 8192, 3, "REVEDIZ: Error 32 reading file 'failing.bin'", StreamFault::kError},
      {sys, held, false, 8192, static_cast<std::int32_t>(held.size()),
       "REVEDIZ: Only read " + std::to_string(held.size()) + " out of 4096 bytes of file '" + sys + "'"},
  };
  for (const auto& c : kCases) {
    if (c.name == sys && held.empty()) continue;  // no such attribute file here
    if (c.exists) WriteFile(c.name, c.bytes);
    ResetShellRecord();
    std::vector<char> buffer(8192 + 16, 'Z');
    const int open = OpenDescriptors();
    errno = 0;
    SetStreamFault(c.fault);
    EXPECT_EQ(ReadInputFile(c.name.c_str(), buffer.data(), c.capacity), c.result) << c.line;
    SetStreamFault(StreamFault::kNone);
    EXPECT_EQ(OpenDescriptors(), open) << c.line;
    EXPECT_EQ(ShellRecord(), Events{LogEvent(c.line)});
    EXPECT_EQ(std::string(buffer.data(), c.bytes.size()), c.result > 0 ? c.bytes : std::string(c.bytes.size(), 'Z'));
  }
  ::close(pipeKeeper);
}
