#include "tests/e2e/driver/steps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace e2e {

Lines LogFrom(const Revediz& app, std::size_t from) {
  Lines lines = app.LogLines();
  if (from >= lines.size()) return {};
  return Lines(lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end());
}

Lines JournalStarting(const Revediz& app, const std::string& prefix) {
  Lines found;
  for (const std::string& line : app.Journal()) {
    if (line.rfind(prefix, 0) == 0) found.push_back(line);
  }
  return found;
}

Lines Head(const Lines& lines, std::size_t count) {
  return Lines(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(count, lines.size())));
}

Lines LastJournalCall(const Revediz& app, const std::string& entry) {
  Lines block;
  bool collecting = false;
  for (const std::string& line : app.Journal()) {
    if (line.rfind("DLL_", 0) == 0 || line.rfind("BENCH", 0) == 0) {
      collecting = line.rfind(entry + " ", 0) == 0 || line == entry;
      if (collecting) block = {line};
    } else if (collecting && line.rfind("  # ", 0) != 0) {
      block.push_back(line);
    }
  }
  return block;
}

std::string EchoedWindow(const Revediz& app) {
  char text[64];
  std::snprintf(text, sizeof text, "               (0x%lX)  ",
                static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(app.MainWindow())));
  return text;
}

void ExpectBox(const Revediz& app, const std::string& caption, const std::string& text) {
  Box box = app.WaitBox(caption);
  EXPECT_EQ(box.text, text);
  box.Ok();
}

std::string Row(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

void Initialize(const Revediz& app) {
  app.Menu(IDM_POS_INITIALIZE);
  Dialog dialog = app.WaitDialog("POS Initialization");
  dialog.Click(IDOK);
  ExpectBox(app, "POS Initialize", "Initialize Successful.");
  dialog.WaitClosed();
}

int Open(const Revediz& app, const std::string& deviceClass) {
  app.Menu(IDM_POS_OPEN);
  Dialog dialog = app.WaitDialog("POS Open");
  dialog.Select(IDC_DEVICE_CLASS, deviceClass);
  dialog.Click(IDOK);
  Box box = app.WaitBox("POS Open");
  int handle = 0;
  EXPECT_EQ(std::sscanf(box.text.c_str(), "  Handle :  %d", &handle), 1) << box.text;
  box.Ok();
  dialog.WaitClosed();
  return handle;
}

void Write(const Revediz& app, int handle, const std::string& text, const std::string& box) {
  app.Menu(IDM_POS_WRITE);
  Dialog dialog = app.WaitDialog("POS Write");
  dialog.SetText(IDC_HANDLE, std::to_string(handle));
  dialog.SetText(IDC_DATA_BOX, text);
  dialog.Click(IDOK);
  ExpectBox(app, box == "PosWrite Successful." ? "POS Write" : "Command Status", box);
  dialog.WaitClosed();
}

Lines ReadAndSave(const Revediz& app, int handle, int size, const std::string& fileName) {
  const std::size_t mark = app.LogLines().size();
  app.Menu(IDM_POS_READ);
  Dialog dialog = app.WaitDialog("POS Read");
  dialog.SetText(IDC_HANDLE, std::to_string(handle));
  dialog.SetText(IDC_BUFFER_SIZE, std::to_string(size));
  dialog.SetText(IDC_OUTPUT_FILE, fileName);
  dialog.Click(IDOK);
  ExpectBox(app, "POS Read", "PosRead Successful.");
  dialog.WaitClosed();
  return LogFrom(app, mark);
}

}  // namespace e2e
