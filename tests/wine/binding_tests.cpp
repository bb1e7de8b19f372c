// The binding layer's contract that no scenario can see: the error mode while
// loading, each entry's context and preset out value, PosVersion and PosTerm.
// Runs beside the complete test device.
#include <windows.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "api/binding.h"
#include "tests/wine/test_device.h"

namespace {

ResourceArg Args[1] = {{"queueHandle", 0x000200B4}};

std::int32_t Initialize() { return PosInitialize("REVEDIZ", "C:\\VORN", 0, 0, Args, 1); }

template <typename Fn>
Fn Export(const char* name) {
  HMODULE library = GetModuleHandleA("vavuro32.dll");
  return library == nullptr ? nullptr : reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

const TestDeviceRecord& Record() { return *Export<TestDeviceGetRecordFn>("TestDeviceGetRecord")(); }

// A call's status and the errno it leaves, errno cleared before.
template <typename Call>
std::pair<std::int32_t, int> WithErrno(Call call) {
  errno = 0;
  const std::int32_t status = call();
  return {status, errno};
}

std::string DeviceLog() {
  std::ifstream in("test_device.log", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Fills the stack below the caller with non-zero bytes, so that an out value
// the layer failed to preset would not read as 0 by chance.
void DirtyStack() {
  volatile unsigned char junk[4096];
  for (std::size_t i = 0; i < sizeof junk; ++i) junk[i] = 0xA5;
}
void (*volatile DirtyStackCall)() = DirtyStack;

class Binding : public ::testing::Test {
 protected:
  void SetUp() override { DeleteFileA("test_device.log"); }
};

TEST_F(Binding, TermAndVersionBeforeInitializeGive302AndLoadNothing) {
  EXPECT_EQ(WithErrno(PosTerm), std::pair(-1, 302));
  EXPECT_EQ(WithErrno([] { return PosVersion(1, 2, 3); }), std::pair(-1, 302));
  EXPECT_EQ(GetModuleHandleA("vavuro32.dll"), nullptr);
  EXPECT_EQ(DeviceLog(), "");
}

TEST_F(Binding, LoadsWithoutTheSystemsFileBoxAndRestoresTheErrorMode) {
  SetErrorMode(SEM_FAILCRITICALERRORS);
  ASSERT_EQ(Initialize(), 0);
  EXPECT_EQ(Record().errorModeAtLoad, static_cast<UINT>(SEM_NOOPENFILEERRORBOX));
  EXPECT_EQ(GetErrorMode(), static_cast<UINT>(SEM_FAILCRITICALERRORS));
  EXPECT_EQ(PosTerm(), 0);
}

TEST_F(Binding, EveryEntryGetsOneZeroContextAndAnOutPresetToZero) {
  ASSERT_EQ(Initialize(), 0);
  char buffer[8] = {};
  DirtyStackCall();
  EXPECT_EQ(PosOpen("DEVNAME", "PosDisplay", Args, 1), 0);
  DirtyStackCall();
  EXPECT_EQ(PosIoctl(1, 302, Args, 1), 0);
  DirtyStackCall();
  EXPECT_EQ(PosRead(1, buffer, sizeof buffer), 0);
  DirtyStackCall();
  EXPECT_EQ(PosWrite(1, "AB", 2), 0);
  EXPECT_EQ(PosClose(1), 0);
  EXPECT_EQ(PosVersion(7, -8, 9), 0);
  const TestDeviceRecord& record = Record();
  EXPECT_EQ(std::tuple(record.calls, record.otherContexts, record.contextNotZero, record.outNotZero),
            std::tuple(7, 0, 0, 0));
  EXPECT_EQ(std::vector<std::int32_t>(record.version, record.version + 3), (std::vector<std::int32_t>{7, -8, 9}));
  EXPECT_EQ(PosTerm(), 0);
}

TEST_F(Binding, TermUnloadsEvenWhenItFailsAndTheNextInitializeLoadsAfresh) {
  ASSERT_EQ(Initialize(), 0);
  Export<TestDeviceFailNextFn>("TestDeviceFailNext")(301);
  EXPECT_EQ(WithErrno(PosTerm), std::pair(-1, 301));
  EXPECT_EQ(GetModuleHandleA("vavuro32.dll"), nullptr);
  EXPECT_EQ(WithErrno([] { return PosClose(1); }), std::pair(-1, 302));
  ASSERT_EQ(Initialize(), 0);
  EXPECT_EQ(Record().calls, 1);  // a fresh load: its record starts again
  EXPECT_EQ(PosTerm(), 0);
  EXPECT_EQ(DeviceLog(), "attach\r\nDLL_PosInitialize\r\nDLL_PosTerm\r\ndetach unload\r\n"
                         "attach\r\nDLL_PosInitialize\r\nDLL_PosTerm\r\ndetach unload\r\n");
}

}  // namespace
