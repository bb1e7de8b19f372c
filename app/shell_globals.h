// The start-up defaults: texts set once at start and only read afterwards.
// The Initialize and Open dialogs fall back on them when a field is empty.
// Window-free; the main window handle and the module instance live in
// app/main_window.h.
#ifndef REVEDIZ_APP_SHELL_GLOBALS_H
#define REVEDIZ_APP_SHELL_GLOBALS_H

#include <cstddef>

// Size of each default's buffer, terminator included.
inline constexpr std::size_t kDefaultTextSize = 256;

extern char DefaultApplicationName[kDefaultTextSize];  // "REVEDIZ"
extern char DefaultResourceFile[kDefaultTextSize];     // "C:\VORN"
extern char DefaultDeviceName[kDefaultTextSize];       // "DEVNAME"
extern char DefaultDeviceClass[kDefaultTextSize];      // "PosDisplay"

// Copies the four defaults into their buffers. Called once at start, after
// the resource list files were found.
void SetStartupDefaults();

#endif  // REVEDIZ_APP_SHELL_GLOBALS_H
