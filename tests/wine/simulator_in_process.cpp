// The simulator loaded into the test's own process, for what only its Win32
// layer does: serving the control pipe from the moment the pipe exists to PosTerm,
// answering one client request after request, and refusing buffers the caller
// cannot have it write to.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

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
    EXPECT_EQ(sim::ControlExchange(GetCurrentProcessId(), "state", &client.reply, &client.why, 1000),
              sim::Exchange::kNoSimulator) << "round " << round << ": the pipe outlived PosTerm";
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

}  // namespace
