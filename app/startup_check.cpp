// The start-up presence check of the resource list files.
#include "app/startup_check.h"

#include <cstdio>

#include "app/status_log.h"

const char* const kStartupFiles[kStartupFileCount] = {
    "PRESOURC.DAT", "PIOCTLRE.DAT", "PSYSTEM.DAT", "PDEVICE.DAT",
    "PALARM.DAT",   "PDISPLAY.DAT", "PDRAWER.DAT", "PKEYBRD.DAT",
    "PMSR.DAT",     "PNVRAM.DAT",   "PPOWER.DAT",  "PPRINTER.DAT",
    "PPOSRS23.DAT", "PSCALE.DAT",   "PSCANNER.DAT", "PTOUCH.DAT",
};

int StartupFileCheck() {
  for (const char* name : kStartupFiles) {
    std::FILE* file = std::fopen(name, "r");
    if (file == nullptr) {
      FormatMessageText("File %s is missing.", name);
      ShowMessageBox(MessageText, nullptr);
      return 1;
    }
    std::fclose(file);
  }
  return 0;
}
