// The resource list files: plain-text files in the working directory, one
// name per line, that fill the dialogs' drop-down lists; and the two tables
// that choose a resource file for a device class (Open dialog) and for an
// ioctl request family (Ioctl dialog). Window-free.
#ifndef REVEDIZ_RESOURCES_RESOURCE_FILES_H
#define REVEDIZ_RESOURCES_RESOURCE_FILES_H

#include <cstddef>

// The sixteen resource list files, in the order the start-up check opens
// them; the tool will not start without every one in its working directory.
inline constexpr std::size_t kResourceListFileCount = 16;
inline constexpr const char* kResourceListFiles[kResourceListFileCount] = {
    "PRESOURC.DAT", "PIOCTLRE.DAT", "PSYSTEM.DAT", "PDEVICE.DAT",  "PALARM.DAT", "PDISPLAY.DAT",
    "PDRAWER.DAT",  "PKEYBRD.DAT",  "PMSR.DAT",    "PNVRAM.DAT",   "PPOWER.DAT", "PPRINTER.DAT",
    "PPOSRS23.DAT", "PSCALE.DAT",   "PSCANNER.DAT", "PTOUCH.DAT"};

// One row of a selection-to-file table: a selection matches when its first
// Length characters equal Prefix.
struct ResourceFileRow {
  const char* Prefix;
  std::size_t Length;
  const char* File;
};

inline constexpr std::size_t kClassResourceFileCount = 14;
inline constexpr std::size_t kIoctlResourceFileCount = 11;

// Device class name to its resource list, in the order they are compared.
extern const ResourceFileRow ClassResourceFiles[kClassResourceFileCount];
// Ioctl request family prefix to its resource list; no prefix begins another.
extern const ResourceFileRow IoctlResourceFiles[kIoctlResourceFileCount];

// The file of the first row of ClassResourceFiles whose class name begins
// classText, or null when none does.
const char* ClassResourceFile(const char* classText);

// The file of the row of IoctlResourceFiles whose prefix begins requestText,
// or null when none does.
const char* IoctlResourceFile(const char* requestText);

// Receives one entry of a resource list file; context is the reader's caller's.
using ResourceEntrySink = void (*)(const char* entry, void* context);

// Reads the named file (bare name, text mode) and hands each line to sink in
// file order, without its line end: "\n" and a "\r" before it are dropped,
// so CR LF and LF files give the same entries. A blank line gives an empty
// entry, a last line without a newline counts, and a line of any length gives
// one whole entry. A read error ends the reading; the line being read then is
// dropped. Returns 0 when the file was opened (even if it held nothing), 1
// when it could not be opened: then " File : %s is not found." is logged
// with the file name and sink is never called. Not reentrant (one static
// stream and line buffer).
int ReadResourceList(const char* fileName, ResourceEntrySink sink, void* context);

#endif  // REVEDIZ_RESOURCES_RESOURCE_FILES_H
