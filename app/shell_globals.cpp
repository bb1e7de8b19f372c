// The four start-up defaults.
#include "app/shell_globals.h"

#include <cstdio>

char DefaultApplicationName[kDefaultTextSize];
char DefaultResourceFile[kDefaultTextSize];
char DefaultDeviceName[kDefaultTextSize];
char DefaultDeviceClass[kDefaultTextSize];

void SetStartupDefaults() {
  std::snprintf(DefaultApplicationName, sizeof DefaultApplicationName, "%s", "REVEDIZ");
  std::snprintf(DefaultResourceFile, sizeof DefaultResourceFile, "%s", "C:\\VORN");
  std::snprintf(DefaultDeviceName, sizeof DefaultDeviceName, "%s", "DEVNAME");
  std::snprintf(DefaultDeviceClass, sizeof DefaultDeviceClass, "%s", "PosDisplay");
}
