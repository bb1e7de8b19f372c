// The device bench window of vavuro32.dll: its class, title and control ids.
// The ids stay fixed, so that a script or test can act on the bench as a
// person would (set a control's text, press a button) without knowing the
// layout.
#ifndef REVEDIZ_SIMULATOR_BENCH_IDS_H
#define REVEDIZ_SIMULATOR_BENCH_IDS_H

#define VAVURO_BENCH_CLASS "VavuroDeviceBench"
#define VAVURO_BENCH_TITLE "Device Bench"

enum BenchControlId {
  IDC_BENCH_DEVICES = 1001,  // list box: one state line per device
  IDC_BENCH_STATUS = 1002,   // static: the last action and what it answered

  IDC_BENCH_TRACKS = 1010,  // edit: the card's track data
  IDC_BENCH_SWIPE = 1011,   // button: swipe the card
  IDC_BENCH_SYMBOLOGY = 1020,  // edit: symbology identifier sent before the label
  IDC_BENCH_LABEL = 1021,      // edit: the label's data
  IDC_BENCH_SCAN = 1022,       // button: scan the label
  IDC_BENCH_GRAMS = 1030,   // edit: weight in grams
  IDC_BENCH_PLACE = 1031,   // button: place the weight on the scale
  IDC_BENCH_REMOVE = 1032,  // button: take it off (0 g)
  IDC_BENCH_KEYS = 1040,    // edit: keys to type
  IDC_BENCH_PRESS = 1041,   // button: type them
  IDC_BENCH_TOUCH_X = 1050,
  IDC_BENCH_TOUCH_Y = 1051,
  IDC_BENCH_TOUCH = 1052,   // button: touch the screen at x, y
  IDC_BENCH_CLOSE_DRAWER = 1060,

  IDC_BENCH_DEVICE = 1070,      // combo: the device the buttons below act on
  IDC_BENCH_OFFLINE = 1071,
  IDC_BENCH_ONLINE = 1072,
  IDC_BENCH_ERROR_CODE = 1073,  // combo (editable): "0" or a code of ErrorNames
  IDC_BENCH_SET_ERROR = 1074,   // every call on the device answers that code
  IDC_BENCH_OVERCLAIM = 1075,   // edit: bytes a read claims beyond its buffer
  IDC_BENCH_SET_OVERCLAIM = 1076,
  IDC_BENCH_OVERRUN = 1077,     // edit: bytes a read writes past its buffer
  IDC_BENCH_SET_OVERRUN = 1078,
  IDC_BENCH_PAPER_OUT = 1080,      // check box: the printer has no paper
  IDC_BENCH_COVER_OPEN = 1081,     // check box: the printer's cover is open
  IDC_BENCH_PRINTER_ERROR = 1082,  // button: a printer error
  IDC_BENCH_BURST_COUNT = 1090,    // edit: N
  IDC_BENCH_BURST = 1091,          // button: N device-online notifications
  IDC_BENCH_CLEAR_FAULTS = 1092,   // button: every fault ends
  IDC_BENCH_SAVE_LOG = 1100,       // button: the tool's log to a text file
  IDC_BENCH_RECORD = 1101,         // button: start recording the session
  IDC_BENCH_STOP = 1102            // button: stop it, the scenario to session-N.scn
};

#endif  // REVEDIZ_SIMULATOR_BENCH_IDS_H
