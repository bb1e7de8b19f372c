// The simulator loaded into the test's own process, for what only its Win32
// layer does: serving the control pipe from the moment the pipe exists,
// answering one client request after request, refusing buffers the caller
// cannot have it write to, and showing the bench.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "simulator/bench_ids.h"
#include "simulator/control_client.h"
#include "simulator/vavuro32.h"

namespace {

template <typename Fn>
Fn Entry(HMODULE library, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

class InProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(library_, nullptr) << VAVURO32_PATH;
    ASSERT_TRUE(initialize_ != nullptr && term_ != nullptr && read_ != nullptr);
  }
  void TearDown() override {
    DestroyWindow(queue_);
    FreeLibrary(library_);
  }
  std::int32_t Initialize() {
    context_ = {};
    return initialize_(&context_, "REVEDIZ", "", args_, 1);
  }
  std::int32_t Term() { return term_(&context_); }

  const HMODULE library_ = LoadLibraryA(VAVURO32_PATH);
  const PFN_DLL_PosInitialize initialize_ = Entry<PFN_DLL_PosInitialize>(library_, "DLL_PosInitialize");
  const PFN_DLL_PosTerm term_ = Entry<PFN_DLL_PosTerm>(library_, "DLL_PosTerm");
  const PFN_DLL_PosRead read_ = Entry<PFN_DLL_PosRead>(library_, "DLL_PosRead");
  const HWND queue_ = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  PosResourceArg args_[1] = {{"QueueHandle", reinterpret_cast<intptr_t>(queue_)}};
  PosContext context_ = {};
};

struct Client {
  sim::Exchange result = sim::Exchange::kNoSimulator;
  sim::Reply reply;
  std::string why;
};

// Asks for the bench's state until a simulator serves this process.
DWORD WINAPI AskAsSoonAsItExists(LPVOID parameter) {
  Client& client = *static_cast<Client*>(parameter);
  const DWORD deadline = GetTickCount() + 10000;
  while (client.result == sim::Exchange::kNoSimulator && GetTickCount() < deadline)
    client.result = sim::ControlExchange(GetCurrentProcessId(), "state", &client.reply, &client.why, 10000);
  return 0;
}

// A client that opens the pipe before the server has begun to wait for one
// (the server is then told it is connected already), as a program that polls
// for a tool it has just started does, gets its answer like any other.
TEST_F(InProcess, AClientThatOpensThePipeBeforeTheServerWaitsIsServed) {
  for (int round = 0; round < 3; ++round) {
    Client client;
    const HANDLE thread = CreateThread(nullptr, 0, AskAsSoonAsItExists, &client, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(Initialize(), 0);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(client.result, sim::Exchange::kDone) << "round " << round << ": " << client.why;
    EXPECT_TRUE(client.reply.ok && client.reply.listing && !client.reply.lines.empty()) << "round " << round;
    ASSERT_EQ(Term(), 0);
  }
}

// One request on an open connection, its whole reply read.
sim::ReplyRead Ask(HANDLE pipe, const std::string& line, sim::Reply* reply) {
  const std::string sent = line + "\n";
  DWORD done = 0;
  if (!WriteFile(pipe, sent.data(), static_cast<DWORD>(sent.size()), &done, nullptr)) return sim::ReplyRead::kMalformed;
  std::string bytes;
  char chunk[512];
  sim::ReplyRead read = sim::ReplyRead::kIncomplete;
  while (read == sim::ReplyRead::kIncomplete && ReadFile(pipe, chunk, sizeof chunk, &done, nullptr) && done > 0) {
    bytes.append(chunk, done);
    read = sim::ParseReply(bytes, reply);
  }
  return read;
}

// A client may ask again on the same connection once it has its answer.
TEST_F(InProcess, RequestsFollowEachOtherOnOneConnection) {
  ASSERT_EQ(Initialize(), 0);
  bool missing = true;
  std::string why;
  HANDLE pipe = INVALID_HANDLE_VALUE;
  for (const DWORD deadline = GetTickCount() + 5000; missing && GetTickCount() < deadline;) {
    pipe = sim::ConnectControlPipe(GetCurrentProcessId(), 0, 5000, &missing, &why);  // served from just after Initialize
  }
  EXPECT_NE(pipe, INVALID_HANDLE_VALUE) << why;
  for (const char* line : {"state", "journal 1", "state"}) {
    sim::Reply reply;
    EXPECT_EQ(Ask(pipe, line, &reply), sim::ReplyRead::kComplete) << line;
    EXPECT_TRUE(reply.ok && reply.listing && !reply.lines.empty()) << line;
  }
  CloseHandle(pipe);
  EXPECT_EQ(Term(), 0);
}

// A read's buffer must be committed, writable memory for all of its size.
TEST_F(InProcess, BuffersThatCannotBeWrittenAreRefused) {
  ASSERT_EQ(Initialize(), 0);
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const DWORD page = system.dwPageSize;
  auto* reserved = static_cast<char*>(VirtualAlloc(nullptr, page, MEM_RESERVE, PAGE_READWRITE));
  auto* readOnly = static_cast<char*>(VirtualAlloc(nullptr, page, MEM_RESERVE | MEM_COMMIT, PAGE_READONLY));
  auto* lastPage = static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE, PAGE_READWRITE));
  ASSERT_TRUE(reserved && readOnly && lastPage && VirtualAlloc(lastPage, page, MEM_COMMIT, PAGE_READWRITE));
  std::int32_t got = 0;
  EXPECT_EQ(read_(&context_, 0, reserved, 16, &got), POSERR_SYS_INVALID_ADDRESS) << "reserved, not committed";
  EXPECT_EQ(read_(&context_, 0, readOnly, 16, &got), POSERR_SYS_INVALID_ADDRESS) << "read-only";
  EXPECT_EQ(read_(&context_, 0, lastPage + page - 8, 16, &got), POSERR_SYS_INVALID_ADDRESS) << "8 bytes short";
  EXPECT_EQ(read_(&context_, 0, lastPage + page - 16, 16, &got), 0) << "the queue's first record, to the last byte";
  for (void* block : {reserved, readOnly, lastPage}) VirtualFree(block, 0, MEM_RELEASE);
  EXPECT_EQ(Term(), 0);
}

struct Placed {
  int id;
  std::string cls;
  std::string text;
  RECT rect;  // in the bench's client area
  bool frame;  // a group box
};

BOOL CALLBACK FindOwnBench(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char cls[64] = "";
  GetClassNameA(window, cls, sizeof cls);
  if (process != GetCurrentProcessId() || std::string(cls) != VAVURO_BENCH_CLASS) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

BOOL CALLBACK CollectControl(HWND control, LPARAM list) {
  auto& placed = *reinterpret_cast<std::vector<Placed>*>(list);
  const HWND bench = GetParent(control);
  if (bench == nullptr || GetParent(bench) != nullptr) return TRUE;  // a combo box's own edit
  char cls[64] = "", text[128] = "";
  GetClassNameA(control, cls, sizeof cls);
  GetWindowTextA(control, text, sizeof text);
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, bench, reinterpret_cast<POINT*>(&rect), 2);
  const bool frame = (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX && std::string(cls) == "Button";
  placed.push_back({GetDlgCtrlID(control), cls, text, rect, frame});
  return TRUE;
}

bool Overlap(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
bool Within(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
         inner.bottom <= outer.bottom;
}
std::string Name(const Placed& c) { return c.cls + " " + std::to_string(c.id) + " \"" + c.text + "\""; }

// Every control of the bench shows whole: inside the window, none over
// another (the faults' group box frames whole controls); the controls of a
// row share their middle, and each row outside the frame ends on the device
// list's right edge, as the list above them does.
TEST_F(InProcess, TheBenchShowsEveryControlWholeInAlignedRows) {
  ASSERT_EQ(Initialize(), 0);
  HWND bench = nullptr;
  EnumWindows(FindOwnBench, reinterpret_cast<LPARAM>(&bench));
  ASSERT_NE(bench, nullptr);
  std::vector<Placed> controls;
  EnumChildWindows(bench, CollectControl, reinterpret_cast<LPARAM>(&controls));
  for (const BenchControlName& named : kBenchControlNames) {
    EXPECT_TRUE(std::any_of(controls.begin(), controls.end(), [&](const Placed& c) { return c.id == named.id; }))
        << named.name;
  }
  RECT client;
  GetClientRect(bench, &client);
  const auto list = std::find_if(controls.begin(), controls.end(),
                                 [](const Placed& c) { return c.id == IDC_BENCH_DEVICES; });
  const auto frame = std::find_if(controls.begin(), controls.end(), [](const Placed& c) { return c.frame; });
  ASSERT_TRUE(list != controls.end() && frame != controls.end());
  for (const Placed& c : controls) {
    EXPECT_TRUE(Within(c.rect, client)) << Name(c);
    if (&c == &*frame) continue;
    EXPECT_TRUE(Within(c.rect, frame->rect) || !Overlap(c.rect, frame->rect)) << Name(c) << " across the frame";
    for (const Placed& other : controls) {
      if (&other < &c && !other.frame) {
        EXPECT_FALSE(Overlap(c.rect, other.rect)) << Name(c) << " over " << Name(other);
      }
    }
    const bool framed = Within(c.rect, frame->rect);
    LONG rowEnd = c.rect.right;
    for (const Placed& other : controls) {
      if (other.frame || other.rect.top >= c.rect.bottom || c.rect.top >= other.rect.bottom) continue;
      EXPECT_LE(std::abs((c.rect.top + c.rect.bottom) - (other.rect.top + other.rect.bottom)), 2)
          << Name(c) << " and " << Name(other) << " in one row, their middles apart";
      if (!framed) rowEnd = std::max(rowEnd, other.rect.right);
    }
    if (!framed) {
      EXPECT_EQ(rowEnd, list->rect.right) << "the row of " << Name(c);
    }
  }
  EXPECT_EQ(Term(), 0);
}

// The bench opens ready to use: each drop-down on a choice, and the device
// list scrolls far enough to show its longest line whole.
TEST_F(InProcess, TheBenchOpensWithChoicesMadeAndItsLinesReadable) {
  ASSERT_EQ(Initialize(), 0);
  HWND bench = nullptr;
  EnumWindows(FindOwnBench, reinterpret_cast<LPARAM>(&bench));
  ASSERT_NE(bench, nullptr);
  for (const int combo : {IDC_BENCH_DEVICE, IDC_BENCH_ERROR_CODE}) {
    EXPECT_NE(SendDlgItemMessageA(bench, combo, CB_GETCURSEL, 0, 0), CB_ERR) << combo;
  }
  const HWND list = GetDlgItem(bench, IDC_BENCH_DEVICES);
  const HDC dc = GetDC(list);
  const HGDIOBJ before = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
  LONG widest = 0;
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char line[512] = "";
    if (SendMessageA(list, LB_GETTEXTLEN, i, 0) >= static_cast<LRESULT>(sizeof line)) continue;
    const int length = static_cast<int>(SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line)));
    SIZE size = {};
    GetTextExtentPoint32A(dc, line, length, &size);
    widest = std::max(widest, size.cx);
  }
  SelectObject(dc, before);
  ReleaseDC(list, dc);
  EXPECT_GT(count, 0);
  EXPECT_GE(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0), widest);
  EXPECT_EQ(Term(), 0);
}

}  // namespace
