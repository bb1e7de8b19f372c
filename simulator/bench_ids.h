// The device bench window of vavuro32.dll: its class, title and control ids.
// The ids stay fixed, so that a script or test can act on the bench as a
// person would (set a control's text, press a button) without knowing the
// layout. VAVURO_BENCH_CONTROLS is the one list of them: the enum below and
// the names scenarios use (kBenchControlNames) are both made from it.
#ifndef REVEDIZ_SIMULATOR_BENCH_IDS_H
#define REVEDIZ_SIMULATOR_BENCH_IDS_H

#define VAVURO_BENCH_CLASS "VavuroDeviceBench"
#define VAVURO_BENCH_TITLE "Device Bench"

// X(name, id): every control of the bench, with what it is.
#define VAVURO_BENCH_CONTROLS(X)                                                          \
  X(IDC_BENCH_DEVICES, 1001)       /* list box: one state line per device */             \
  X(IDC_BENCH_STATUS, 1002)        /* static: the last action and what it answered */    \
  X(IDC_BENCH_TRACKS, 1010)        /* edit: the card's track data */                     \
  X(IDC_BENCH_SWIPE, 1011)         /* button: swipe the card */                          \
  X(IDC_BENCH_SYMBOLOGY, 1020)     /* edit: symbology identifier sent before the label */ \
  X(IDC_BENCH_LABEL, 1021)         /* edit: the label's data */                          \
  X(IDC_BENCH_SCAN, 1022)          /* button: scan the label */                          \
  X(IDC_BENCH_GRAMS, 1030)         /* edit: weight in grams */                           \
  X(IDC_BENCH_PLACE, 1031)         /* button: place the weight on the scale */           \
  X(IDC_BENCH_REMOVE, 1032)        /* button: take it off (0 g) */                       \
  X(IDC_BENCH_KEYS, 1040)          /* edit: keys to type */                              \
  X(IDC_BENCH_PRESS, 1041)         /* button: type them */                               \
  X(IDC_BENCH_TOUCH_X, 1050)                                                             \
  X(IDC_BENCH_TOUCH_Y, 1051)                                                             \
  X(IDC_BENCH_TOUCH, 1052)         /* button: touch the screen at x, y */                \
  X(IDC_BENCH_CLOSE_DRAWER, 1060)                                                        \
  X(IDC_BENCH_DEVICE, 1070)        /* combo: the device the buttons below act on */      \
  X(IDC_BENCH_OFFLINE, 1071)                                                             \
  X(IDC_BENCH_ONLINE, 1072)                                                              \
  X(IDC_BENCH_ERROR_CODE, 1073)    /* combo (editable): "0" or a code of ErrorNames */   \
  X(IDC_BENCH_SET_ERROR, 1074)     /* every call on the device answers that code */      \
  X(IDC_BENCH_OVERCLAIM, 1075)     /* edit: bytes a read claims beyond its buffer */     \
  X(IDC_BENCH_SET_OVERCLAIM, 1076)                                                       \
  X(IDC_BENCH_OVERRUN, 1077)       /* edit: bytes a read writes past its buffer */       \
  X(IDC_BENCH_SET_OVERRUN, 1078)                                                         \
  X(IDC_BENCH_PAPER_OUT, 1080)     /* check box: the printer has no paper */             \
  X(IDC_BENCH_COVER_OPEN, 1081)    /* check box: the printer's cover is open */          \
  X(IDC_BENCH_PRINTER_ERROR, 1082) /* button: a printer error */                         \
  X(IDC_BENCH_BURST_COUNT, 1090)   /* edit: N */                                         \
  X(IDC_BENCH_BURST, 1091)         /* button: N device-online notifications */           \
  X(IDC_BENCH_CLEAR_FAULTS, 1092)  /* button: every fault ends */                        \
  X(IDC_BENCH_SAVE_LOG, 1100)      /* button: the tool's log to a text file */           \
  X(IDC_BENCH_RECORD, 1101)        /* button: start recording the session */             \
  X(IDC_BENCH_STOP, 1102)          /* button: stop it, the scenario to session-N.scn */

#define VAVURO_BENCH_ENUM_ROW(name, id) name = id,
enum BenchControlId { VAVURO_BENCH_CONTROLS(VAVURO_BENCH_ENUM_ROW) };
#undef VAVURO_BENCH_ENUM_ROW

// The bench's controls by name, as a scenario writes them.
struct BenchControlName {
  const char* name;
  int id;
};
#define VAVURO_BENCH_NAME_ROW(name, id) {#name, id},
inline constexpr BenchControlName kBenchControlNames[] = {VAVURO_BENCH_CONTROLS(VAVURO_BENCH_NAME_ROW)};
#undef VAVURO_BENCH_NAME_ROW

#endif  // REVEDIZ_SIMULATOR_BENCH_IDS_H
