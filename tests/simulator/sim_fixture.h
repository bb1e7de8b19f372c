// A Simulator wired to recording hooks: the notifications it posts and the
// journal it writes, for the native tests of the core.
#ifndef REVEDIZ_TESTS_SIMULATOR_SIM_FIXTURE_H
#define REVEDIZ_TESTS_SIMULATOR_SIM_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "simulator/simulator.h"
#include "tables/pos_codes.h"

namespace simtest {

struct Posted {
  std::uintptr_t window;
  std::uint32_t message;
  std::uint32_t wParam;
  std::uint32_t lParam;
};

inline std::vector<Posted>& PostedMessages() {
  static std::vector<Posted> posted;
  return posted;
}

inline std::string& JournalText() {
  static std::string text;
  return text;
}

inline bool RecordPost(std::uintptr_t window, std::uint32_t message, std::uint32_t wParam,
                       std::uint32_t lParam) {
  PostedMessages().push_back({window, message, wParam, lParam});
  return true;
}

inline void RecordJournal(const char* text, std::size_t length) {
  JournalText().append(text, length);
}

// The journal split into lines (CR LF removed).
inline std::vector<std::string> JournalLines() {
  std::vector<std::string> lines;
  const std::string& text = JournalText();
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

inline std::uint32_t LittleEndian32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline constexpr std::intptr_t kWindow = 0x000200B4;

class SimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PostedMessages().clear();
    JournalText().clear();
    sim_ = std::make_unique<sim::Simulator>(sim::Platform{RecordPost, RecordJournal, nullptr});
  }

  // Initializes with just the queue handle and forgets what that posted.
  void InitializeQuietly() {
    ResourceArg queue{"queueHandle", kWindow};
    ASSERT_EQ(0, sim_->Initialize("REVEDIZ", "C:\\VORN", &queue, 1));
    DrainQueue();
    PostedMessages().clear();
    JournalText().clear();
  }

  void DrainQueue() {
    unsigned char buffer[4096];
    std::int32_t out = 0;
    while (sim_->Read(0, buffer, sizeof buffer, &out) == 0) {
    }
  }

  // Opens `cls` with the queue handle as its only resource; 0 on failure.
  std::int32_t OpenDevice(const char* cls, const char* name = "DEVNAME") {
    ResourceArg queue{"queueHandle", kWindow};
    std::int32_t handle = 0;
    EXPECT_EQ(0, sim_->Open(name, cls, &queue, 1, &handle)) << cls;
    return handle;
  }

  std::unique_ptr<sim::Simulator> sim_;
};

}  // namespace simtest

#endif  // REVEDIZ_TESTS_SIMULATOR_SIM_FIXTURE_H
