// The bound on notification boxes open at once. Every box runs a message
// loop that handles the next notification, so a storm nests one box in the
// other; past 50 a notification is only logged, the log says once that boxes
// are held back and, when every notification box is closed again, how many.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/status_log.h"
#include "decode/notifications.h"
#include "tests/support/recording_shell.h"

namespace {

// One step of a storm: a notification arriving, or the operator closing the
// innermost open box.
struct Step {
  bool close;
  unsigned message;
  std::uint32_t wParam;
};

std::vector<Step> script;
std::size_t next = 0;

// Handles queued notifications until the operator closes this box (or the
// queue is empty and the operator closes them all), as a box's modal loop.
void RunLoop() {
  while (next < script.size()) {
    const Step step = script[next++];
    if (step.close) return;
    HandleDeviceNotification(step.message, step.wParam, 6);
  }
}

void BoxLoop(const ShellEvent&) { RunLoop(); }

constexpr unsigned kPrinterError = 0x4205, kOnline = 0x420D, kKeyboardChar = 0x4202;

// Tokens: P<n> printer errors (descriptors 1, 2, ... across the storm),
// O<n> device online, S<n> keyboard characters (no trace), C<n> the operator
// closes the innermost box n times, R a refusal box of a dialog opens first.
// Returns the lines the notifications log, in order.
std::vector<std::string> MakeScript(const char* text, bool* refusal) {
  script.clear();
  next = 0;
  *refusal = false;
  std::vector<std::string> lines;
  std::istringstream words(text);
  std::string word;
  std::uint32_t descriptor = 0;
  while (words >> word) {
    const int n = word.size() > 1 ? std::stoi(word.substr(1)) : 1;
    for (int i = 0; i < n; ++i) {
      switch (word[0]) {
        case 'R': *refusal = true; break;
        case 'C': script.push_back({true, 0, 0}); break;
        case 'S': script.push_back({false, kKeyboardChar, 0x02112402}); break;
        case 'P':
          script.push_back({false, kPrinterError, ++descriptor});
          lines.push_back("PRINTER ERROR (Device Descriptor = " + std::to_string(descriptor) + ")");
          break;
        case 'O':
          script.push_back({false, kOnline, 0x02112402});
          lines.insert(lines.end(), {" wParam --> 2112402 ", " lParam --> 00000006 ", "  POSM_SYS_DEVICE_ONLINE ",
                                     "        Device: ANOP_DISPLAY_A  (Subtype: 2X20_VFD) (Device Num: 0x24)",
                                     "            SLOT_2   (0x02) ", "            PORT_1   (0x11) "});
          break;
      }
    }
  }
  return lines;
}

const std::string kOpen = "REVEDIZ: 50 notification boxes are open; further ones are held back";
std::string Held(int n) { return "REVEDIZ: " + std::to_string(n) + " notification boxes were held back"; }

struct Case {
  const char* script;
  int boxes;  // shown, a refusal box included
  // Each "REVEDIZ: " line, after how many printer-error lines it comes.
  std::vector<std::pair<int, std::string>> notes;
};

TEST(NotificationBound, StormsKeepEveryLineAndHoldBackBoxesPastFifty) {
  const Case cases[] = {
      {"P3", 3, {}},
      {"P50", 50, {}},
      {"P51", 50, {{51, kOpen}, {51, Held(1)}}},
      {"O20 P25 S10 O5 P30 S3", 50, {{51, kOpen}, {55, Held(5)}}},
      {"P60 C P60", 51, {{51, kOpen}, {120, Held(69)}}},
      {"P60 C50 P5", 55, {{51, kOpen}, {60, Held(10)}}},
      {"P51 C50 P52", 100, {{51, kOpen}, {51, Held(1)}, {102, kOpen}, {103, Held(2)}}},
      {"R P60", 51, {{51, kOpen}, {60, Held(10)}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    ResetShellRecord();
    bool refusal = false;
    const std::vector<std::string> expected = MakeScript(c.script, &refusal);
    SetBoxHook(BoxLoop);
    if (refusal) {
      ShowMessageBox("Missing Handle number", "Handle Error ");
    }
    while (next < script.size()) RunLoop();  // the main loop takes what is left

    std::vector<std::string> lines;
    std::vector<std::pair<int, std::string>> notes;
    int printerLines = 0;
    for (const std::string& line : LoggedLines()) {
      if (line.rfind("REVEDIZ: ", 0) == 0) {
        notes.emplace_back(printerLines, line);
      } else {
        printerLines += line.rfind("PRINTER ERROR", 0) == 0;
        lines.push_back(line);
      }
    }
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(notes, c.notes);
    EXPECT_EQ(ShownBoxes().size(), static_cast<std::size_t>(c.boxes));
    // Every notification box shows the line logged just before it.
    const Events& record = ShellRecord();
    for (std::size_t i = 1; i < record.size(); ++i) {
      if (record[i].kind == ShellEvent::kMessageBox) {
        EXPECT_EQ(record[i], BoxEvent(record[i - 1].text, "DRAV Printer")) << "event " << i;
      }
    }
  }
  ResetShellRecord();
}

}  // namespace
