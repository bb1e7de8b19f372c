#include "resources/resource_files.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app/status_log.h"

const ResourceFileRow ClassResourceFiles[kClassResourceFileCount] = {
    {"PosSystem", 9, "PSYSTEM.DAT"},     {"PosDevice", 9, "PDEVICE.DAT"},
    {"PosAlarm", 8, "PALARM.DAT"},       {"PosDisplay", 10, "PDISPLAY.DAT"},
    {"PosDrawer", 9, "PDRAWER.DAT"},     {"PosKeyboard", 11, "PKEYBRD.DAT"},
    {"PosMsr", 6, "PMSR.DAT"},           {"PosNvram", 8, "PNVRAM.DAT"},
    {"PosPower", 8, "PPOWER.DAT"},       {"PosPrinter", 10, "PPRINTER.DAT"},
    {"PosRs232c", 9, "PPOSRS23.DAT"},    {"PosScale", 8, "PSCALE.DAT"},
    {"PosScanner", 10, "PSCANNER.DAT"},  {"PosTouch", 8, "PTOUCH.DAT"},
};

const ResourceFileRow IoctlResourceFiles[kIoctlResourceFileCount] = {
    {"POS_ALARM", 9, "PALARM.DAT"},   {"POS_DSP", 7, "PDISPLAY.DAT"},
    {"POS_KBD", 7, "PKEYBRD.DAT"},    {"POS_POWER", 9, "PPOWER.DAT"},
    {"POS_PRN", 7, "PPRINTER.DAT"},   {"POS_RS232", 9, "PPOSRS23.DAT"},
    {"POS_SCALE", 9, "PSCALE.DAT"},   {"POS_SCAN", 8, "PSCANNER.DAT"},
    {"POS_SYS", 7, "PSYSTEM.DAT"},    {"POS_TILL", 8, "PDRAWER.DAT"},
    {"POS_TOUCH", 9, "PTOUCH.DAT"},
};

namespace {

const char* FindResourceFile(const ResourceFileRow* rows, std::size_t count, const char* text) {
  for (std::size_t i = 0; i < count; ++i)
    if (std::strncmp(text, rows[i].Prefix, rows[i].Length) == 0) return rows[i].File;
  return nullptr;
}

// The stream of the current read and its line buffer. A line longer than the
// buffer arrives in several pieces, which are joined into one entry.
constexpr int kLineBufferSize = 80;
std::FILE* ListFile = nullptr;
char LineBuffer[kLineBufferSize];

}  // namespace

const char* ClassResourceFile(const char* classText) {
  return FindResourceFile(ClassResourceFiles, kClassResourceFileCount, classText);
}

const char* IoctlResourceFile(const char* requestText) {
  return FindResourceFile(IoctlResourceFiles, kIoctlResourceFileCount, requestText);
}

int ReadResourceList(const char* fileName, ResourceEntrySink sink, void* context) {
  ListFile = std::fopen(fileName, "r");
  if (ListFile == nullptr) {
    FormatMessageText(" File : %s is not found.", fileName);
    AppendToStatusLog();
    return 1;
  }
  std::string entry;
  bool pending = false;  // a line has begun but its newline has not come yet
  while (std::fgets(LineBuffer, kLineBufferSize, ListFile) != nullptr) {
    entry.append(LineBuffer);
    pending = true;
    if (!entry.empty() && entry.back() == '\n') {
      entry.pop_back();
      // Text mode drops the CR of CR LF on Windows only; drop it here too.
      if (!entry.empty() && entry.back() == '\r') entry.pop_back();
      sink(entry.c_str(), context);
      entry.clear();
      pending = false;
    }
  }
  // The end of the file completes a last line that has no newline; a read
  // error leaves the line being read incomplete, so it is dropped.
  if (pending && !std::ferror(ListFile)) sink(entry.c_str(), context);
  std::fclose(ListFile);
  ListFile = nullptr;
  return 0;
}
