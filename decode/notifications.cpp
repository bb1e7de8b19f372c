#include "decode/notifications.h"

#include "app/status_log.h"
#include "tables/lookup.h"
#include "tables/pos_codes.h"

namespace {

int Byte(std::uint32_t value, int index) { return static_cast<int>((value >> (8 * index)) & 0xFF); }

// Notification boxes open now (each one's modal loop nested in the one
// before), and how many were held back since the last time none was open.
int openBoxes = 0;
int heldBackBoxes = 0;

// A box for the notification whose text is in MessageText, unless the bound
// is reached: every box runs its own message loop on the same stack, so a
// flapping device would otherwise stack boxes until the stack is gone.
void ShowNotificationBox(const char* caption) {
  if (openBoxes >= kMaxOpenNotificationBoxes) {
    if (heldBackBoxes++ == 0) {
      FormatMessageText("REVEDIZ: %d notification boxes are open; further ones are held back",
                        kMaxOpenNotificationBoxes);
      AppendToStatusLog();
    }
    return;
  }
  ++openBoxes;
  ShowMessageBox(MessageText, caption);
  if (--openBoxes == 0 && heldBackBoxes > 0) {
    FormatMessageText("REVEDIZ: %d notification boxes were held back", heldBackBoxes);
    AppendToStatusLog();
    heldBackBoxes = 0;
  }
}

// The line goes to the log before its box is shown.
void LogAndShow(const char* caption) {
  AppendToStatusLog();
  ShowNotificationBox(caption);
}

// Device offline: only three device types have a text; the rest pass
// silently.
void DeviceOffline(std::uint32_t wParam) {
  const int descriptor = Byte(wParam, 0);
  switch (Byte(wParam, 1)) {
    case pos::kTypeAnopDisplayA:
      FormatMessageText("DEVICE_ANOP_DISPLAY_A OFF LINE (Device Descriptor = %d)", descriptor);
      break;
    case pos::kTypeMsr3TrackA:
      FormatMessageText("MSR_3_TRACK OFF LINE (Device Descriptor = %d)", descriptor);
      break;
    case pos::kTypeCashDrawerA:
      FormatMessageText("DEVICE_CASH_DRAWER OFF LINE(Device Descriptor = %d)", descriptor);
      break;
    default:
      return;
  }
  LogAndShow("DRAV Message");
}

// Device online: decoded field by field into six lines, no box. Each line is
// formatted into a zeroed MessageText; the five names stay valid until the
// reset at the end.
void DeviceOnline(std::uint32_t wParam, std::uint32_t lParam) {
  const int type = Byte(wParam, 1);
  const int port = Byte(wParam, 2);
  const int slot = Byte(wParam, 3);
  const int subtype = Byte(lParam, 0);

  // The six lines reach the log together: one redraw, not six (a burst of
  // these is thousands of lines).
  BeginStatusLogBatch();
  ClearMessageText();
  FormatMessageText(" wParam --> %04x ", static_cast<unsigned>(wParam));
  AppendToStatusLog();

  ClearMessageText();
  FormatMessageText(" lParam --> %08lx ", static_cast<unsigned long>(lParam));
  AppendToStatusLog();

  ClearMessageText();
  FormatMessageText("  %s ", CodeToName(MessageNames, pos::kMsgSysDeviceOnline));
  AppendToStatusLog();

  ClearMessageText();
  FormatMessageText("        Device: %s  (Subtype: %s) (Device Num: %#04x)",
                    CodeToName(DeviceTypeNames, type), SubtypeToName(type, subtype),
                    static_cast<unsigned>(type));
  AppendToStatusLog();

  ClearMessageText();
  FormatMessageText("            %s   (%#04x) ", CodeToName(SlotNames, slot),
                    static_cast<unsigned>(slot));
  AppendToStatusLog();

  ClearMessageText();
  FormatMessageText("            %s   (%#04x) ", CodeToName(PortNames, port),
                    static_cast<unsigned>(port));
  AppendToStatusLog();
  EndStatusLogBatch();

  ClearMessageText();
  ResetNameScratch();
}

}  // namespace

bool HandleDeviceNotification(unsigned message, std::uint32_t wParam, std::uint32_t lParam) {
  switch (static_cast<std::int32_t>(message)) {
    case pos::kMsgKbdStatusChange:
      FormatMessageText("POSM_KBD_STATUS_CHANGE (Msg = %d)", static_cast<int>(message));
      LogAndShow("Keyboard Status Change");
      return true;
    case pos::kMsgMsrDataAvail:
      FormatMessageText("MSR DATA AVAILABLE (Length = %d)", Byte(lParam, 0));
      LogAndShow("MSR Message");
      return true;
    case pos::kMsgPrnChaseComplete:
      FormatMessageText("PRINTER CHASE COMPLETE (Device Descriptor = %d)", Byte(wParam, 0));
      LogAndShow("DRAV Printer");
      return true;
    case pos::kMsgPrnPrinterError:
      FormatMessageText("PRINTER ERROR (Device Descriptor = %d)", Byte(wParam, 0));
      LogAndShow("DRAV Printer");
      return true;
    case pos::kMsgPrnStatusChange:
      FormatMessageText("PRINTER STATUS CHANGE (Device Descriptor = %d)", Byte(wParam, 0));
      LogAndShow("DRAV Printer");
      return true;
    case pos::kMsgScanDataAvail:
      FormatMessageText("SCANNER DATA AVAILABLE (Length = %d)", Byte(lParam, 0));
      LogAndShow("SCANNER Message");
      return true;
    case pos::kMsgSysDeviceOffline:
      DeviceOffline(wParam);
      return true;
    case pos::kMsgSysDeviceOnline:
      DeviceOnline(wParam, lParam);
      return true;
    case pos::kMsgTillOpened:
      FormatMessageText("TILL OPENED (Device Descriptor = %d)", Byte(wParam, 0));
      LogAndShow("DRAV Message");
      return true;
    case pos::kMsgPrnDataAvail:
      FormatMessageText("PRINTER DATA AVAILABLE (Device Descriptor = %d)", Byte(wParam, 0));
      LogAndShow("DRAV Printer");
      return true;
    default:
      // Keyboard characters, the serial port kinds, till closed and every
      // number outside 0x4201..0x4210: default processing.
      return false;
  }
}
