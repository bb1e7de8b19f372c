/* pos_client.c: a small point-of-sale client of vavuro32.dll.
 *
 * It shows the whole life of a program that uses the device library:
 * load the library and find its entries, start it with a window for its
 * notifications, open a card reader and a printer, wait for a card to be
 * swiped, read it, print a receipt line, notice that the printer ran out of
 * paper, and shut everything down again. Run it beside vavuro32.dll and,
 * from a second console, play the customer:
 *
 *     vavuro-ctl swipe ";4111111111111111=2512?"
 *     vavuro-ctl paper-out on
 *
 * It needs nothing but windows.h, vavuro32.h and the DLL. It exits 0 when
 * all went as described, 1 (with a message) on any other status.
 */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

#include "vavuro32.h"

/* The entries, found by name once the library is loaded. */
static PFN_DLL_PosInitialize PosInitialize;
static PFN_DLL_PosOpen PosOpen;
static PFN_DLL_PosClose PosClose;
static PFN_DLL_PosRead PosRead;
static PFN_DLL_PosWrite PosWrite;
static PFN_DLL_PosTerm PosTerm;

/* The library's context: 16 zeroed bytes at one address for the whole run.
 * A static variable is zeroed and stays put. */
static PosContext context;

#define TIMEOUT_MS 20000

/* A few statuses by name; the header has them all. */
static const char *StatusName(int32_t status) {
  switch (status) {
    case 0: return "OK";
    case POSERR_SYS_NOT_INITIALIZED: return "POSERR_SYS_NOT_INITIALIZED";
    case POSERR_SYS_HW_ERROR: return "POSERR_SYS_HW_ERROR";
    case POSERR_SYS_INVALID_QUEUE: return "POSERR_SYS_INVALID_QUEUE";
    case POSERR_SYS_BUFFER_TOO_SMALL: return "POSERR_SYS_BUFFER_TOO_SMALL";
    case POSERR_SYS_INVALID_NAME: return "POSERR_SYS_INVALID_NAME";
    case POSERR_SYS_DEVICE_OFFLINE: return "POSERR_SYS_DEVICE_OFFLINE";
    case POSERR_SYS_TIMEOUT: return "POSERR_SYS_TIMEOUT";
    default: return "(see vavuro32.h)";
  }
}

/* Stops the program when a call did not give what it should. */
static void Check(int32_t status, const char *what) {
  if (status == 0) return;
  printf("unexpected: %s answered %ld %s\n", what, (long)status, StatusName(status));
  exit(1);
}

/* GetProcAddress gives a generic function pointer; each entry is stored
 * under its own type (through void (*)(void), which fits every function). */
static void (*Entry(HMODULE library, const char *name))(void) {
  FARPROC found = GetProcAddress(library, name);
  if (found == NULL) {
    printf("unexpected: vavuro32.dll has no entry %s\n", name);
    exit(1);
  }
  return (void (*)(void))found;
}

/* Runs the thread's message loop until `wanted` arrives (true) or the time
 * is up (false). The library posts its notifications to our window, so they
 * arrive here like any other window message. */
static int WaitForNotification(UINT wanted, DWORD timeoutMs, MSG *got) {
  DWORD start = GetTickCount();
  for (;;) {
    DWORD elapsed;
    while (PeekMessageA(got, NULL, 0, 0, PM_REMOVE)) {
      if (got->message == wanted) return 1;
      DispatchMessageA(got); /* POSM_SYS_DEVICE_ONLINE and the like */
    }
    elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return 0;
    MsgWaitForMultipleObjects(0, NULL, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
  }
}

int main(void) {
  HMODULE library;
  HWND window;
  PosResourceArg settings[2];
  int32_t msr, printer, count, status;
  char card[256];
  static const char receipt[] = "Thank you for shopping with us\n";
  MSG msg;
  DWORD waited;

  setvbuf(stdout, NULL, _IONBF, 0); /* every line out at once: a test reads them */
  printf("pos_client: process %lu\n", (unsigned long)GetCurrentProcessId());

  /* 1. Load the library and look up the entries it exports. */
  library = LoadLibraryA("vavuro32.dll");
  if (library == NULL) {
    printf("unexpected: cannot load vavuro32.dll (error %lu)\n", (unsigned long)GetLastError());
    return 1;
  }
  PosInitialize = (PFN_DLL_PosInitialize)Entry(library, "DLL_PosInitialize");
  PosOpen = (PFN_DLL_PosOpen)Entry(library, "DLL_PosOpen");
  PosClose = (PFN_DLL_PosClose)Entry(library, "DLL_PosClose");
  PosRead = (PFN_DLL_PosRead)Entry(library, "DLL_PosRead");
  PosWrite = (PFN_DLL_PosWrite)Entry(library, "DLL_PosWrite");
  PosTerm = (PFN_DLL_PosTerm)Entry(library, "DLL_PosTerm");

  /* 2. A window for the notifications. A message-only window is enough:
   * nobody sees it, and PostMessage reaches it. */
  window = CreateWindowExA(0, "STATIC", "pos_client", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
  if (window == NULL) {
    printf("unexpected: no window (error %lu)\n", (unsigned long)GetLastError());
    return 1;
  }

  /* 3. Start the library: notifications to our window, and no test input
   * waiting in the devices (the card reader starts empty). */
  settings[0].name = "QueueHandle";
  settings[0].value = (intptr_t)window;
  settings[1].name = "TestInputs";
  settings[1].value = 0;
  Check(PosInitialize(&context, "pos_client", "", settings, 2), "DLL_PosInitialize");

  /* 4. Open the card reader and the printer; each call gives a descriptor. */
  Check(PosOpen(&context, "card reader", POS_CLASS_MSR, NULL, 0, &msr), "DLL_PosOpen PosMsr");
  Check(PosOpen(&context, "receipt printer", POS_CLASS_PRINTER, NULL, 0, &printer),
        "DLL_PosOpen PosPrinter");

  /* 5. Wait for a card. POSM_MSR_DATA_AVAIL says a card is waiting; the
   * low byte of wParam is the reader's descriptor, lParam its length. */
  printf("waiting for a card\n");
  if (!WaitForNotification(POSM_MSR_DATA_AVAIL, TIMEOUT_MS, &msg)) {
    printf("unexpected: no card within %d s\n", TIMEOUT_MS / 1000);
    return 1;
  }
  printf("card notification: descriptor %u, %u bytes\n", (unsigned)(msg.wParam & 0xFF),
         (unsigned)(msg.lParam & 0xFF));

  /* 6. Read the card: the whole swipe at once. */
  Check(PosRead(&context, msr, card, (int32_t)sizeof card - 1, &count), "DLL_PosRead PosMsr");
  card[count] = '\0';
  printf("card: %s\n", card);

  /* 7. Print a receipt line. Out: how many bytes the printer took. */
  Check(PosWrite(&context, printer, receipt, (int32_t)(sizeof receipt - 1), &count),
        "DLL_PosWrite PosPrinter");
  printf("printed %ld bytes\n", (long)count);

  /* 8. Keep printing until the printer refuses: without paper every write
   * fails (the printer also posts POSM_PRN_PRINTER_ERROR). */
  printf("waiting for paper out\n");
  for (waited = 0;; waited += 200) {
    status = PosWrite(&context, printer, ".\n", 2, &count);
    if (status != 0) break;
    if (waited >= TIMEOUT_MS) {
      printf("unexpected: the printer still prints after %d s\n", TIMEOUT_MS / 1000);
      return 1;
    }
    Sleep(200);
  }
  printf("write failed: status %ld %s\n", (long)status, StatusName(status));
  if (status != POSERR_SYS_HW_ERROR) return 1;

  /* 9. Close what was opened and stop the library. */
  Check(PosClose(&context, msr), "DLL_PosClose PosMsr");
  Check(PosClose(&context, printer), "DLL_PosClose PosPrinter");
  Check(PosTerm(&context), "DLL_PosTerm");
  DestroyWindow(window);
  FreeLibrary(library);
  printf("done\n");
  return 0;
}
