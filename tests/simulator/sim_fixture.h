// A Simulator wired to recording hooks (what it posts, what it journals); short forms of the calls tests make.
#ifndef REVEDIZ_TESTS_SIMULATOR_SIM_FIXTURE_H
#define REVEDIZ_TESTS_SIMULATOR_SIM_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "simulator/simulator.h"
#include "tables/pos_codes.h"

namespace simtest {

// A posted notification {window, message, wParam, lParam}, or a queued record {opaque, message, mp1, mp2}.
struct Post { std::uintptr_t window; std::uint32_t message, wParam, lParam; bool operator==(const Post&) const = default; };

// The tool's main window, and another one a handle may ask for.
inline constexpr std::uintptr_t kMain = 0x000200B4, kOwn = 0x00030C02;
inline ResourceArg gQueue{"queueHandle", static_cast<std::intptr_t>(kMain)};  // what the tool initializes with
inline std::vector<Post> gPosts;
inline std::string gJournal;
inline void RecordJournal(const char* text, std::size_t length) { gJournal.append(text, length); }
inline std::intptr_t Ptr(const char* text) { return reinterpret_cast<std::intptr_t>(text); }

class Sim : public ::testing::Test {
 protected:
  Sim() { Forget(); }
  void Forget() { gPosts.clear(), gJournal.clear(); }
  // A fresh bench, initialized with these records; what that posted, queued and journaled is forgotten.
  void Init(ResourceArg* args = &gQueue, int count = 1) {
    if (sim_.Initialized()) { ASSERT_EQ(0, sim_.Term()); }
    ASSERT_EQ(0, sim_.Initialize("REVEDIZ", "C:\\VORN", args, count));
    Drain(), Forget();
  }
  std::int32_t Open(const char* cls, std::uintptr_t window = kMain) {  // window 0: no queueHandle record
    ResourceArg queue{"queueHandle", static_cast<std::intptr_t>(window)};
    std::int32_t handle = 0;
    EXPECT_EQ(0, sim_.Open("DEVNAME", cls, &queue, window != 0, &handle)) << cls;
    return handle;
  }
  std::int32_t Ioctl(std::int32_t handle, std::int32_t request, std::vector<ResourceArg> args = {}) {
    std::int32_t out = -1, status = sim_.IOCtl(handle, request, args.data(), static_cast<int>(args.size()), &out);
    EXPECT_EQ(0, out);
    return status;
  }
  std::int32_t Set(std::int32_t handle, std::vector<ResourceArg> a) { return Ioctl(handle, pos::kReqSysSetValues, a); }
  std::int32_t Get(std::int32_t handle, const char* name) {
    ResourceArg arg{name, -1};
    std::int32_t out = -1;
    EXPECT_EQ(0, sim_.IOCtl(handle, pos::kReqSysGetValues, &arg, 1, &out)) << name;
    return static_cast<std::int32_t>(arg.value);
  }
  // A write accepts all of `data`, or nothing when refused.
  std::int32_t Write(std::int32_t handle, const std::string& data) {
    std::int32_t out = -1, status = sim_.Write(handle, data.data(), static_cast<std::int32_t>(data.size()), &out);
    EXPECT_EQ(status == 0 ? static_cast<std::int32_t>(data.size()) : 0, out) << data;
    return status;
  }
  // The bytes a read into a buffer of `size` places; its status in *status.
  std::string Read(std::int32_t handle, std::int32_t size, std::int32_t* status) {
    std::string buffer(static_cast<std::size_t>(size), '\xBB');
    std::int32_t out = -1;
    *status = sim_.Read(handle, buffer.data(), size, &out);
    EXPECT_TRUE(out >= 0 && out <= size && (*status == 0 || out == 0)) << out;
    return buffer.substr(0, static_cast<std::size_t>(out < 0 ? 0 : out));
  }
  // Every record waiting on descriptor 0, oldest first.
  std::vector<Post> Drain() {
    std::vector<Post> records;
    unsigned char b[64 * 16];
    auto le32 = [](const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24; };
    for (std::int32_t out = 0; sim_.Read(0, b, sizeof b, &out) == 0;) {
      for (auto r = b; r < b + out; r += 16) records.push_back({le32(r), le32(r + 4), le32(r + 8), le32(r + 12)});
    }
    return records;
  }

  sim::Simulator sim_{sim::Platform{[](std::uintptr_t w, std::uint32_t m, std::uint32_t wp, std::uint32_t lp) {
    return gPosts.push_back({w, m, wp, lp}), true;
  }, RecordJournal, nullptr}};
};

}  // namespace simtest

#endif  // REVEDIZ_TESTS_SIMULATOR_SIM_FIXTURE_H
