/* vavuro32.h: the programming interface of vavuro32.dll, the device simulator.
 *
 * Plain C (C99 and later, and C++), for 32-bit and 64-bit Windows; it needs
 * no windows.h. The library is loaded at run time: LoadLibraryA("vavuro32.dll")
 * and GetProcAddress(library, "DLL_PosOpen"), cast to the matching PFN_ type
 * below. simulator/example/pos_client.c is a complete program.
 *
 * Every entry returns a status: 0 for success, or one of the POSERR_ numbers
 * at the end of this file. An entry with an out value always writes it (0
 * when the call fails). No entry waits: a read with nothing to give answers
 * POSERR_SYS_TIMEOUT at once, and news arrives as posted window messages
 * (POSM_) and as records of the queue, descriptor 0.
 *
 * Resource names, values and ranges: RESOURCES.md. Driving the simulated
 * devices from outside (swipe a card, take the paper out): CONTROL.md and
 * vavuro-ctl.exe.
 */
#ifndef VAVURO32_H
#define VAVURO32_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The entries' calling convention: __stdcall on 32-bit x86 Windows (the
 * callee pops its arguments, so a pointer of the wrong type corrupts the
 * stack); the one convention of the platform elsewhere. The names are
 * exported undecorated ("DLL_PosOpen", not "DLL_PosOpen@24"). */
#if defined(_WIN32) && (defined(__i386__) || defined(_M_IX86))
#define VAVURO_CALL __stdcall
#else
#define VAVURO_CALL
#endif

/* ---- Context -------------------------------------------------------------
 * The first argument of every entry (void *context): the address of the
 * caller's block of 16 bytes, zeroed before DLL_PosInitialize and passed at
 * the same address to every call until DLL_PosTerm. The library keeps its
 * state itself; the simulator never reads or writes the block, so a zeroed
 * PosContext is all a caller needs. */
#define VAVURO_CONTEXT_SIZE 16
typedef struct PosContext {
  unsigned char reserved[VAVURO_CONTEXT_SIZE];
} PosContext;

/* ---- Resource record -----------------------------------------------------
 * One named value, passed as an array with a count (0 to 256 records) to
 * Initialize, Open and IOCtl. `name` is a NUL-ended wire name (below),
 * matched whole and case-sensitively. `value` is a number (the library takes
 * its low 32 bits, so a window handle is passed as it is) or, for a text
 * resource (S below), the address of a NUL-ended text. POS_SYS_GET_VALUES
 * writes each record's value back: a number into `value`; a text into the
 * block `value` points to, which must be writable: a block whose first byte
 * is 0 is taken to hold 100 bytes, any other as long as the text it holds
 * now with its terminator (the answer is cut to fit and always ended).
 * Records are applied whole or not at all: one bad record refuses the call. */
typedef struct PosResourceArg {
  const char *name;
  intptr_t value;
} PosResourceArg;

/* ---- Entries, as typed for GetProcAddress --------------------------------
 * Descriptors (handles) are 1 to 255; 0 is the library itself: its message
 * queue for DLL_PosRead, its settings (class PosSystem) for DLL_PosIOCtl. */

/* DLL_PosInitialize(context, applicationName, resourceFile, args, count)
 * Starts the library. applicationName and resourceFile are texts for the
 * journal (either may be ""). args must hold "QueueHandle" (or "queueHandle"):
 * the window, not 0, that receives the notifications; it may hold any other
 * PosSystem resource, "TestInputs" included. Once it succeeds every device
 * announces itself with POSM_SYS_DEVICE_ONLINE, the Device Bench window opens
 * and the control pipe is served. A second call before DLL_PosTerm answers
 * POSERR_SYS_ALREADY_INITIALIZED; no queue handle POSERR_SYS_INVALID_QUEUE. */
typedef int32_t (VAVURO_CALL *PFN_DLL_PosInitialize)(void *context,
                                                     const char *applicationName,
                                                     const char *resourceFile,
                                                     PosResourceArg *args, int32_t count);

/* DLL_PosOpen(context, deviceName, deviceClass, args, count, &handle)
 * Opens the device of a class (POS_CLASS_ below; not PosDevice). deviceName
 * is the caller's name for it, 1 to 255 characters. args may set the class's
 * resources, those of PosDevice and of PosSystem; "QueueHandle" here gives
 * this handle a window of its own for its notifications. Out: the new
 * descriptor. */
typedef int32_t (VAVURO_CALL *PFN_DLL_PosOpen)(void *context, const char *deviceName,
                                               const char *deviceClass, PosResourceArg *args,
                                               int32_t count, int32_t *handle);

/* DLL_PosClose(context, handle)
 * Closes a descriptor (0, the queue, cannot be closed). */
typedef int32_t (VAVURO_CALL *PFN_DLL_PosClose)(void *context, int32_t handle);

/* DLL_PosIOCtl(context, handle, request, args, count, &out)
 * A request (POS_ below) to a descriptor, or to the library with 0.
 * POS_SYS_SET_VALUES applies args; POS_SYS_GET_VALUES writes the current
 * values back into args; a device's own request takes args as its settings
 * first. A request of another class answers POSERR_SYS_INVALID_REQUEST.
 * Out: 0. */
typedef int32_t (VAVURO_CALL *PFN_DLL_PosIOCtl)(void *context, int32_t handle,
                                                int32_t request, PosResourceArg *args,
                                                int32_t count, int32_t *out);

/* DLL_PosRead(context, handle, buffer, size, &bytesRead)
 * Descriptor 0: as many whole PosQueueRecords as fit, oldest first (size
 * under 16: POSERR_SYS_BUFFER_TOO_SMALL). A card, label or touch is read
 * whole (a buffer too small answers POSERR_SYS_BUFFER_TOO_SMALL and keeps
 * it); keys may be read in parts. Nothing waiting: POSERR_SYS_TIMEOUT.
 * Out: the bytes placed in buffer. */
typedef int32_t (VAVURO_CALL *PFN_DLL_PosRead)(void *context, int32_t handle, void *buffer,
                                               int32_t size, int32_t *bytesRead);

/* DLL_PosWrite(context, handle, data, length, &bytesWritten)
 * To the display, printer, serial port or NVRAM (others:
 * POSERR_SYS_FUNCTION_NOT_SUPPORTED). A printer without paper, with its
 * cover open or after a printer error answers POSERR_SYS_HW_ERROR.
 * Out: the bytes accepted. */
typedef int32_t (VAVURO_CALL *PFN_DLL_PosWrite)(void *context, int32_t handle,
                                                const void *data, int32_t length,
                                                int32_t *bytesWritten);

/* DLL_PosTerm(context)
 * Closes every descriptor, empties the queue, posts nothing more. */
typedef int32_t (VAVURO_CALL *PFN_DLL_PosTerm)(void *context);

/* DLL_PosVersion(context, a, b, c)
 * Three 32-bit numbers passed by value, not pointers: the library writes
 * nothing back (the simulator journals them) and answers 0. */
typedef int32_t (VAVURO_CALL *PFN_DLL_PosVersion)(void *context, int32_t a, int32_t b,
                                                  int32_t c);

/* ---- Device classes (the deviceClass of DLL_PosOpen) --------------------- */
#define POS_CLASS_SYSTEM   "PosSystem"  /* the library's settings */
#define POS_CLASS_DEVICE   "PosDevice"  /* resources every device has; not opened */
#define POS_CLASS_ALARM    "PosAlarm"
#define POS_CLASS_DISPLAY  "PosDisplay"
#define POS_CLASS_DRAWER   "PosDrawer"   /* cash drawer */
#define POS_CLASS_KEYBOARD "PosKeyboard"
#define POS_CLASS_MSR      "PosMsr"      /* magnetic-stripe card reader */
#define POS_CLASS_NVRAM    "PosNvram"
#define POS_CLASS_POWER    "PosPower"
#define POS_CLASS_PRINTER  "PosPrinter"
#define POS_CLASS_RS232    "PosRs232c"   /* serial port (loopback) */
#define POS_CLASS_SCALE    "PosScale"
#define POS_CLASS_SCANNER  "PosScanner"
#define POS_CLASS_TOUCH    "PosTouch"

/* ---- Resource wire names --------------------------------------------------
 * The names of the resource list files without their four-character prefix
 * (PosNRows is "Rows", PosSDisplayText "DisplayText"). The tool's own
 * spellings "queueHandle" and "diWidth" are taken too, meaning the same as
 * "QueueHandle" and "DIWidth". N: a number, S: a text.
 *   PosSystem   QueueHandle N, Timeout N, LogLevel N, MaxDevices N, LogFile S,
 *               TestInputs N
 *   PosDevice   DeviceName S, Slot N, Port N, DeviceType N, Subtype N
 *   PosAlarm    ToneFrequency, ToneDuration, ToneVolume, RepeatCount
 *   PosDisplay  Rows, Columns, CursorRow, CursorColumn, CursorMode, Brightness,
 *               DisplayMode, DisplayText S
 *   PosDrawer   PulseWidth, DrawerNumber, DrawerStatus, OpenTimeout
 *   PosKeyboard TypematicDelay, TypematicFrequency, ClickVolume, KeyboardClick,
 *               ToneFrequency, ToneDuration, FatFingerTimeout
 *   PosMsr      Tracks, Track1, Track2, Track3, ReadTimeout
 *   PosNvram    Size, RecordLength, Cursor, Mode
 *   PosPower    AlarmDay, AlarmHour, AlarmMinutes, PowerState
 *   PosPrinter  Station, LineSpacing, DIWidth, CharsPerLine, FeedDirection,
 *               Interleaved, PrintMode, CrLfDistance, SjLfDistance,
 *               DiLfDistance, HeaderText S
 *   PosRs232c   BaudRate, DataBits, Parity, StopBits, TimeoutChar, FlowControl
 *   PosScale    Units, MaxWeight, WeightMode, OperationsMode, VibrationFilter,
 *               ZeroReturn, RemoteDisplay
 *   PosScanner  Symbologies, BeepState, BeepVolume, BeepFrequency, BeepLength,
 *               LaserTimeout, MotorTimeout, ScansPerRead, CheckModulo
 *   PosTouch    Contrast, ClickVolume, EntryClick, ExitClick, Backlight,
 *               ScreenSaverTime, ToneFrequency, ToneDuration, ToneVolume,
 *               TouchMode
 * (unmarked: N)
 * TestInputs: 1 (the default) the devices start holding a test input each (a
 * card in the card reader, keys, a label, a touch); 0 at DLL_PosInitialize
 * they start with none waiting (set to 0 later, what they hold is dropped). */

/* ---- IOCtl requests ------------------------------------------------------
 * POS_SYS_ go to any descriptor (and 0); each other one to a device of its
 * own class. */
#define POS_SYS_ACQUIRE_DEVICE                301
#define POS_SYS_GET_VALUES                    302
#define POS_SYS_LOCK_DEVICE                   303
#define POS_SYS_RELEASE_DEVICE                304
#define POS_SYS_SET_VALUES                    305
#define POS_SYS_UNLOCK_DEVICE                 306
#define POS_DSP_CLEAR_SCREEN                  4401
#define POS_DSP_DEFINE_CHARACTERS             4402
#define POS_KBD_DISABLE_POS_FUNCTIONS         4701
#define POS_KBD_ENABLE_POS_FUNCTIONS          4702
#define POS_KBD_SILENCE_TONE                  4704
#define POS_KBD_SOUND_TONE                    4705
#define POS_KBD_SET_TYPEMATIC_OFF             4706
#define POS_KBD_SET_TYPEMATIC_ON              4707
#define POS_KBD_DISABLE_HOT_KEYS              4708
#define POS_KBD_ENABLE_HOT_KEYS               4709
#define POS_KBD_DISABLE_NUM_LOCK              4710
#define POS_KBD_ENABLE_NUM_LOCK               4711
#define POS_KBD_DISABLE_SCROLL_LOCK           4712
#define POS_KBD_ENABLE_SCROLL_LOCK            4713
#define POS_KBD_SET_NUM_LOCK_OFF              4715
#define POS_KBD_SET_NUM_LOCK_ON               4716
#define POS_KBD_SET_SCROLL_LOCK_OFF           4717
#define POS_KBD_SET_SCROLL_LOCK_ON            4718
#define POS_PRN_DISABLE_DI_PRINTING           4901
#define POS_PRN_ENABLE_DI_PRINTING            4902
#define POS_PRN_RESUME_PRINTING               4903
#define POS_PRN_RETRY_PRINTING                4904
#define POS_PRN_DISCARD_DATA                  4905
#define POS_PRN_DISABLE_FISCAL_PRINTING       4906
#define POS_PRN_ENABLE_FISCAL_PRINTING        4907
#define POS_PRN_RESET_PRINTER                 4908
#define POS_PRN_DEFINE_CHARACTERS             4909
#define POS_TILL_OPEN_TILL                    5401
#define POS_ALARM_SILENCE_ALARM               5402
#define POS_ALARM_SOUND_ALARM                 5403
#define POS_SCAN_DISCARD_DATA                 5701
#define POS_RS232_SEND_BREAK                  5901
#define POS_SCALE_ZERO_SCALE                  6101
#define POS_SCALE_CLEAR_SCREEN                6102
#define POS_POWER_OFF                         6401
#define POS_POWER_ON                          6402
#define POS_POWER_SET_ALARM                   6403
#define POS_TOUCH_SILENCE_TONE                6701
#define POS_TOUCH_SOUND_TONE                  6702

/* ---- Notifications ---------------------------------------------------------
 * Posted (PostMessage) to a window, and queued as a PosQueueRecord for
 * descriptor 0. In the words below, SLOT, PORT, TYPE, CLASS and SUBTYPE are
 * the device's codes (its PosDevice resources Slot, Port, DeviceType,
 * Subtype, and its class code) and HANDLE the descriptor concerned.
 *
 * Device notifications, POSM_SYS_DEVICE_ONLINE and POSM_SYS_DEVICE_OFFLINE,
 * go to the window given at DLL_PosInitialize and to every window a handle
 * of the device asked for (once each), with
 *   wParam = SLOT << 24 | PORT << 16 | TYPE << 8 | CLASS,  lParam = SUBTYPE;
 * the queue record has mp1 = wParam, mp2 = lParam.
 *
 * Every other notification concerns an open handle; it goes to that handle's
 * own window if it gave one, else to the window of DLL_PosInitialize, with
 *   wParam = SLOT << 24 | PORT << 16 | TYPE << 8 | (HANDLE & 0xFF);
 * its queue record differs: mp1 = SLOT << 24 | PORT << 16 | HANDLE (the low
 * 16 bits the handle, no TYPE), mp2 = lParam. When several handles of a
 * device are open, each gets its own. lParam by message: */
#define POSM_KBD_STATUS_CHANGE    0x4201 /* lParam: bit 0 Num Lock on, bit 1 Scroll Lock on */
#define POSM_KBD_WM_CHAR          0x4202 /* lParam: the key's byte; one message a key */
#define POSM_MSR_DATA_AVAIL       0x4203 /* lParam: bytes of the card waiting (low 8 bits) */
#define POSM_PRN_CHASE_COMPLETE   0x4204 /* lParam 0; to the writer, after each write printed */
#define POSM_PRN_PRINTER_ERROR    0x4205 /* lParam 0; paper ran out, or a printer error */
#define POSM_PRN_STATUS_CHANGE    0x4206 /* lParam 0; paper loaded, cover opened or shut, reset */
#define POSM_RS232_BREAK_DETECTED 0x4207 /* lParam 0 */
#define POSM_RS232_DATA_AVAIL     0x4208 /* lParam: bytes just arrived */
#define POSM_RS232_XMIT_ABORT     0x4209 /* not sent by the simulator */
#define POSM_RS232_XMIT_COMPLETE  0x420A /* lParam: bytes sent; to the writer */
#define POSM_SCAN_DATA_AVAIL      0x420B /* lParam: bytes of the label waiting (low 8 bits) */
#define POSM_SYS_DEVICE_OFFLINE   0x420C /* a device notification (above) */
#define POSM_SYS_DEVICE_ONLINE    0x420D /* a device notification (above) */
#define POSM_TILL_CLOSED          0x420E /* lParam 0 */
#define POSM_TILL_OPENED          0x420F /* lParam 0; to the handle that opened it */
#define POSM_PRN_DATA_AVAIL       0x4210 /* not sent by the simulator */
#define POSM_PRN_FISCAL_ERROR     0x4211 /* not sent by the simulator */
#define POSM_PRN_FISCAL_STATUS    0x4212 /* not sent by the simulator */
#define POSM_SYS_DEVICE_RELEASED  0x4213 /* not sent by the simulator */
#define POSM_TOUCH_DATA           0x4216 /* lParam: y << 16 | x of the touch */

/* ---- Queue record ----------------------------------------------------------
 * What DLL_PosRead on descriptor 0 gives: 16-byte records, four 32-bit
 * little-endian fields in this order (the same on 32-bit and 64-bit). At
 * most 1024 wait; a record beyond drops the oldest. */
typedef struct PosQueueRecord {
  uint32_t opaque;  /* bytes 0-3: sequence number, from 1 since the queue was emptied */
  uint32_t message; /* bytes 4-7: the POSM_ number */
  uint32_t mp1;     /* bytes 8-11: the device word (see Notifications) */
  uint32_t mp2;     /* bytes 12-15: the lParam posted */
} PosQueueRecord;
#define VAVURO_QUEUE_RECORD_SIZE 16

/* ---- Statuses --------------------------------------------------------------
 * What the entries return besides 0. */
/* The library itself (every device) */
#define POSERR_SYS_OS_ERROR                           301
#define POSERR_SYS_NOT_INITIALIZED                    302
#define POSERR_SYS_INVALID_DESCRIPTOR                 303
#define POSERR_SYS_ALREADY_INITIALIZED                304
#define POSERR_SYS_MEMORY_ALLOCATION                  305
#define POSERR_SYS_HW_ERROR                           306
#define POSERR_SYS_INVALID_DEVICE                     307
#define POSERR_SYS_INVALID_QUEUE                      308
#define POSERR_SYS_TOO_MANY_DEVICES                   309
#define POSERR_SYS_OUT_OF_BOUNDS                      310
#define POSERR_SYS_FUNCTION_NOT_SUPPORTED             311
#define POSERR_SYS_BUFFER_TOO_SMALL                   312
#define POSERR_SYS_ACQUIRED_BY_OTHER                  313
#define POSERR_SYS_ALREADY_ACQUIRED                   314
#define POSERR_SYS_NOT_ACQUIRED                       315
#define POSERR_SYS_INVALID_REQUEST                    316
#define POSERR_SYS_DEVICE_OFFLINE                     317
#define POSERR_SYS_INVALID_LENGTH                     318
#define POSERR_SYS_INVALID_CLASS_DEVICE_COMBO         319
#define POSERR_SYS_DATA_DISCARDED                     320
#define POSERR_SYS_INTERNAL_ERROR                     321
#define POSERR_SYS_CMD_REJECT                         322
#define POSERR_SYS_WRAP_FAILED                        323
#define POSERR_SYS_DIAG_FAILED                        324
#define POSERR_SYS_INVALID_NARGS                      325
#define POSERR_SYS_INVALID_SLOT                       326
#define POSERR_SYS_UNSUPPORTED_ADAPTER                327
#define POSERR_SYS_INVALID_PORT                       328
#define POSERR_SYS_TIMEOUT                            329
#define POSERR_SYS_INVALID_NAME                       330
#define POSERR_SYS_INVALID_CLASS                      331
#define POSERR_SYS_INTERRUPTED                        332
#define POSERR_SYS_FILE_ERROR                         333
#define POSERR_SYS_INVALID_ADDRESS                    334
#define POSERR_SYS_LOCKED_NO_DATA_READ                335
#define POSERR_SYS_INVALID_FILE                       336

/* NVRAM */
#define POSERR_NVRAM_NOT_ENOUGH_ROOM                  4101
#define POSERR_NVRAM_INVALID_CURSOR                   4102
#define POSERR_NVRAM_EOF                              4103
#define POSERR_NVRAM_INVALID_MODE                     4104
#define POSERR_NVRAM_INVALID_LENGTH_RECORD            4105
#define POSERR_NVRAM_INVALID_DATA_CRC                 4106
#define POSERR_NVRAM_BATTERY_BAD                      4107

/* Display */
#define POSERR_DSP_INVALID_CURSOR                     4401
#define POSERR_DSP_INVALID_MODE                       4402
#define POSERR_DSP_INVALID_SIZE                       4403
#define POSERR_DSP_UNSUPPORTED_BITMAP                 4404
#define POSERR_DSP_BAD_BITMAP                         4405

/* POS keyboard */
#define POSERR_KBD_INVALID_FREQUENCY                  4701
#define POSERR_KBD_INVALID_DURATION                   4702
#define POSERR_KBD_INVALID_VOLUME                     4703
#define POSERR_KBD_FILE_NOT_FOUND                     4704
#define POSERR_KBD_INVALID_DOUBLE_KEY                 4705
#define POSERR_KBD_INVALID_FAT_FINGER_TIMEOUT         4706
#define POSERR_KBD_INVALID_KEYBOARD_CLICK             4708
#define POSERR_KBD_INVALID_NUMPAD_STYLE               4709
#define POSERR_KBD_INVALID_NUMPAD_ZERO                4710
#define POSERR_KBD_INVALID_TYPEMATIC_DELAY            4711
#define POSERR_KBD_INVALID_TYPEMATIC_FREQ             4712
#define POSERR_KBD_INVALID_NUMPAD_LOCATION            4713

/* Printer */
#define POSERR_PRN_INVALID_DI_WIDTH                   4901
#define POSERR_PRN_INVALID_INTERLEAVED_VALUE          4902
#define POSERR_PRN_INVALID_HEAD_PARKED_POSITION       4903
#define POSERR_PRN_INVALID_STATION                    4904
#define POSERR_PRN_INVALID_MODE                       4905
#define POSERR_PRN_INVALID_CR_LF_DISTANCE             4906
#define POSERR_PRN_INVALID_SJ_LF_DISTANCE             4907
#define POSERR_PRN_INVALID_DI_LF_DISTANCE             4908
#define POSERR_PRN_INVALID_FEED_DIRECTION             4909
#define POSERR_PRN_INVALID_FISCAL_NOTIFY              4910

/* Cash drawer */
#define POSERR_TILL_INVALID_PULSE_WIDTH               5401

/* Scanner */
#define POSERR_SCAN_INVALID_BAR_CODES_1               5702
#define POSERR_SCAN_INVALID_BAR_CODES_2               5703
#define POSERR_SCAN_INVALID_BEEP_FREQ                 5704
#define POSERR_SCAN_INVALID_BEEP_LENGTH               5705
#define POSERR_SCAN_INVALID_BEEP_STATE                5706
#define POSERR_SCAN_INVALID_BEEP_VOLUME               5707
#define POSERR_SCAN_INVALID_BLINK_LENGTH              5708
#define POSERR_SCAN_INVALID_BLOCK_READ_MODE           5709
#define POSERR_SCAN_INVALID_BLOCK_1_TYPE              5710
#define POSERR_SCAN_INVALID_BLOCK_2_TYPE              5711
#define POSERR_SCAN_INVALID_BLOCK_3_TYPE              5712
#define POSERR_SCAN_INVALID_CHECK_MODULO              5713
#define POSERR_SCAN_INVALID_D_READ_TIMEOUT            5714
#define POSERR_SCAN_INVALID_D_TOUCH_MODE              5715
#define POSERR_SCAN_INVALID_ITF_LENGTH_1              5716
#define POSERR_SCAN_INVALID_ITF_LENGTH_2              5717
#define POSERR_SCAN_INVALID_LASER_TIMEOUT             5718
#define POSERR_SCAN_INVALID_MOTOR_TIMEOUT             5719
#define POSERR_SCAN_INVALID_LASER_SWITCH_STATE        5720
#define POSERR_SCAN_INVALID_SCANS_PER_READ            5721
#define POSERR_SCAN_LABEL_TOO_SHORT                   5722
#define POSERR_SCAN_LABEL_TOO_LONG                    5723
#define POSERR_SCAN_MSG_LENGTH_ERROR                  5724
#define POSERR_SCAN_INVALID_BVOL_SWITCH_STATE         5725
#define POSERR_SCAN_INVALID_DECODE_ALGORITHM          5726
#define POSERR_SCAN_INVALID_EAN13_SCANS_PER_READ      5727
#define POSERR_SCAN_INVALID_EAN8_SCANS_PER_READ       5728
#define POSERR_SCAN_INVALID_STORE_SCANS_PER_READ      5729
#define POSERR_SCAN_INVALID_UPCA_SCANS_PER_READ       5730
#define POSERR_SCAN_INVALID_UPCD_SCANS_PER_READ       5731
#define POSERR_SCAN_INVALID_UPCE_SCANS_PER_READ       5732
#define POSERR_SCAN_INVALID_UPC_EXPANSION             5733
#define POSERR_SCAN_INVALID_VERIFY_PRICE_CHK          5734
#define POSERR_SCAN_INVALID_QUEUE_ALL_INDICATOR       5735
#define POSERR_SCAN_CONFIGURATION_ERROR               5736
#define POSERR_SCAN_2_LABEL_FLAG_CONFIG_ERROR         5737
#define POSERR_SCAN_INVALID_2_LABEL_DECODE_STATE      5738
#define POSERR_SCAN_INVALID_FLAG_PAIR_COMBINATION     5739
#define POSERR_SCAN_INVALID_2_LABEL_FLAG_PAIR_1       5740
#define POSERR_SCAN_INVALID_2_LABEL_FLAG_PAIR_2       5741
#define POSERR_SCAN_INVALID_2_LABEL_FLAG_PAIR_3       5742
#define POSERR_SCAN_INVALID_2_LABEL_FLAG_PAIR_4       5743
#define POSERR_SCAN_INVALID_CODE39_SCANS_PER_READ     5744
#define POSERR_SCAN_INVALID_INT2OF5_SCANS_PER_READ    5745
#define POSERR_SCAN_INVALID_CODE128_SCANS_PER_READ    5746
#define POSERR_SCAN_INVALID_BAR_CODES_3               5747
#define POSERR_SCAN_INVALID_BAR_CODES_4               5748

/* Serial port */
#define POSERR_RS232_INVALID_BAUD_RATE                5901
#define POSERR_RS232_INVALID_STOP_BITS                5902
#define POSERR_RS232_INVALID_PARITY                   5903
#define POSERR_RS232_INVALID_DATA_BITS                5904
#define POSERR_RS232_INVALID_TIMEOUT_CHAR             5905
#define POSERR_RS232_PREV_NOT_COMPLETE                5907

/* Scale */
#define POSERR_SCALE_INVALID_OPERATIONS_MODE          6201
#define POSERR_SCALE_INVALID_REMOTE_DISPLAY_STATE     6202
#define POSERR_SCALE_INVALID_VIBRATION_FILTER         6203
#define POSERR_SCALE_INVALID_WEIGHT_MODE              6204
#define POSERR_SCALE_INVALID_ZERO_INDICATOR_STATE     6205
#define POSERR_SCALE_INVALID_ZERO_RETURN_STATE        6206
#define POSERR_SCALE_ZERO_SCALE_FAILED                6207
#define POSERR_SCALE_INVALID_CLEAR_SCREEN_REQUEST     6208
#define POSERR_SCALE_CONFIGURATION_ERROR              6209
#define POSERR_SCALE_MSG_LENGTH_ERROR                 6210

/* Power */
#define POSERR_POWER_INVALID_DAY                      6401
#define POSERR_POWER_INVALID_HOUR                     6402
#define POSERR_POWER_INVALID_MINUTES                  6403

/* Touch screen */
#define POSERR_TOUCH_INVALID_BACKLIGHT_ON             6701
#define POSERR_TOUCH_INVALID_CLICK_VOLUME             6702
#define POSERR_TOUCH_INVALID_CONTRAST                 6703
#define POSERR_TOUCH_INVALID_ENTRY_CLICK              6704
#define POSERR_TOUCH_INVALID_EXIT_CLICK               6705
#define POSERR_TOUCH_INVALID_MODE                     6706
#define POSERR_TOUCH_INVALID_SCREEN_SAVER_TIME        6707
#define POSERR_TOUCH_INVALID_TONE_DURATION            6708
#define POSERR_TOUCH_INVALID_TONE_FREQUENCY           6709
#define POSERR_TOUCH_INVALID_TONE_VOLUME              6710

#ifdef __cplusplus
}
#endif

#endif /* VAVURO32_H */
