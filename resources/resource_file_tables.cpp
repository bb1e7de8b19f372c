// The selection-to-file tables of resources/resource_files.h and their
// lookups, apart from the list reader: they use nothing of the status log,
// so programs without the tool's log (the explorer of revediz-run) link them.
#include <cstring>

#include "resources/resource_files.h"

const ResourceFileRow ClassResourceFiles[kClassResourceFileCount] = {
    {"PosSystem", 9, "PSYSTEM.DAT"},     {"PosDevice", 9, "PDEVICE.DAT"},
    {"PosAlarm", 8, "PALARM.DAT"},       {"PosDisplay", 10, "PDISPLAY.DAT"},
    {"PosDrawer", 9, "PDRAWER.DAT"},     {"PosKeyboard", 11, "PKEYBRD.DAT"},
    {"PosMsr", 6, "PMSR.DAT"},           {"PosNvram", 8, "PNVRAM.DAT"},
    {"PosPower", 8, "PPOWER.DAT"},       {"PosPrinter", 10, "PPRINTER.DAT"},
    {"PosRs232c", 9, "PPOSRS23.DAT"},    {"PosScale", 8, "PSCALE.DAT"},
    {"PosScanner", 10, "PSCANNER.DAT"},  {"PosTouch", 8, "PTOUCH.DAT"},
};

const ResourceFileRow IoctlResourceFiles[kIoctlResourceFileCount] = {
    {"POS_ALARM", 9, "PALARM.DAT"},   {"POS_DSP", 7, "PDISPLAY.DAT"},
    {"POS_KBD", 7, "PKEYBRD.DAT"},    {"POS_POWER", 9, "PPOWER.DAT"},
    {"POS_PRN", 7, "PPRINTER.DAT"},   {"POS_RS232", 9, "PPOSRS23.DAT"},
    {"POS_SCALE", 9, "PSCALE.DAT"},   {"POS_SCAN", 8, "PSCANNER.DAT"},
    {"POS_SYS", 7, "PSYSTEM.DAT"},    {"POS_TILL", 8, "PDRAWER.DAT"},
    {"POS_TOUCH", 9, "PTOUCH.DAT"},
};

namespace {

const char* FindResourceFile(const ResourceFileRow* rows, std::size_t count, const char* text) {
  for (std::size_t i = 0; i < count; ++i)
    if (std::strncmp(text, rows[i].Prefix, rows[i].Length) == 0) return rows[i].File;
  return nullptr;
}

}  // namespace

const char* ClassResourceFile(const char* classText) {
  return FindResourceFile(ClassResourceFiles, kClassResourceFileCount, classText);
}

const char* IoctlResourceFile(const char* requestText) {
  return FindResourceFile(IoctlResourceFiles, kIoctlResourceFileCount, requestText);
}
