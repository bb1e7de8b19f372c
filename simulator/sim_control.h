// Test and bench controls of the simulator vavuro32.dll: extra cdecl exports,
// undecorated, found with GetProcAddress on the loaded library, beside the
// eight __stdcall device API entries. They act on the library's one bench;
// every call leaves a "BENCH ..." block in the journal.
//
// Targets name a device by the class text the tool passes ("PosDisplay",
// "PosMsr", ...), "Queue" for descriptor 0, or "" / null for every device and
// the queue. Faults survive DLL_PosTerm and a new DLL_PosInitialize, so they
// can be set before the library is initialized; SimClearFaults ends them.
//
// Results are 0 or an error code: POSERR_SYS_INVALID_CLASS (331) for an
// unknown target, POSERR_SYS_INVALID_REQUEST (316) for an unknown kind,
// POSERR_SYS_NOT_INITIALIZED (302) for a device action before initialize.
#ifndef REVEDIZ_SIMULATOR_SIM_CONTROL_H
#define REVEDIZ_SIMULATOR_SIM_CONTROL_H

#if defined(_WIN32)
#define SIMAPI __cdecl
#else
#define SIMAPI
#endif

extern "C" {

// Fault kinds for SimSetFault.
enum SimFaultKind {
  // value != 0: every call on the device (open, close, read, write, ioctl)
  // answers this status; 0 ends it.
  kSimFaultError = 1,
  // value > 0: a successful read reports (buffer size + value) bytes, more
  // than its buffer holds; the bytes placed stay within the buffer.
  kSimFaultReadOverclaim = 2,
  // value > 0: a successful read also writes `value` bytes of 0xEE just past
  // the end of the caller's buffer.
  kSimFaultReadOverrun = 3,
  // value != 0: the device goes off line (POSM_SYS_DEVICE_OFFLINE is posted
  // when initialized; calls give POSERR_SYS_DEVICE_OFFLINE); 0 brings it back
  // (POSM_SYS_DEVICE_ONLINE).
  kSimFaultOffline = 4,
  // value >= 0: a successful read places at most `value` bytes (status 0,
  // out value the bytes placed); the rest of what the device gave is lost,
  // as if read. A negative value ends it.
  kSimFaultShortRead = 5
};

// "SimSetFault"
using SimSetFaultFn = int(SIMAPI*)(const char* target, int kind, int value);
// "SimClearFaults": every fault ends; off-line devices come back on line.
using SimClearFaultsFn = void(SIMAPI*)();
// "SimSwipeCard": the card reader reads `tracks` (null: the test card) and
// posts POSM_MSR_DATA_AVAIL to its open handles.
using SimSwipeCardFn = int(SIMAPI*)(const char* tracks);
// "SimScanLabel": the scanner reads `label` (null: the test label) and posts
// POSM_SCAN_DATA_AVAIL.
using SimScanLabelFn = int(SIMAPI*)(const char* label);
// "SimPressKeys": keys typed on the keyboard, POSM_KBD_WM_CHAR per key.
using SimPressKeysFn = int(SIMAPI*)(const char* keys);
// "SimPlaceWeight": the weight on the scale, in grams.
using SimPlaceWeightFn = int(SIMAPI*)(int grams);
// "SimCloseDrawer": the drawer is pushed shut (POSM_TILL_CLOSED if it was open).
using SimCloseDrawerFn = int(SIMAPI*)();
// "SimGetDeviceText": what a device shows, as text: the display's rows, or
// the printer's printed lines, each line ended by '\n'. Writes at most
// `size` bytes including the terminating NUL; returns the full length of
// the text (so a result >= size means it was cut), or -1 for a device that
// shows no text.
using SimGetDeviceTextFn = int(SIMAPI*)(const char* target, char* buffer, int size);
}

#endif  // REVEDIZ_SIMULATOR_SIM_CONTROL_H
