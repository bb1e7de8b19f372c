// The start-up presence check of the resource list files.
#include "app/startup_check.h"

#include <cstdio>

#include "app/status_log.h"
#include "resources/resource_files.h"

int StartupFileCheck() {
  for (const char* name : kResourceListFiles) {
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
