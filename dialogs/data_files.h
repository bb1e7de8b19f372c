// The two data files of the Read and Write dialogs: the output file that
// receives the bytes of one PosRead, and the input file whose whole content
// one PosWrite sends. Window-free; each logs its outcome as a "REVEDIZ: "
// line and never shows a box of its own.
#ifndef REVEDIZ_DIALOGS_DATA_FILES_H
#define REVEDIZ_DIALOGS_DATA_FILES_H

#include <cstdint>

// Reads the whole named file, opened "rb", into buffer (capacity bytes).
// Returns the number of bytes read, or -1 when the file does not open, a
// seek or the length query fails, the file is empty or it is longer than
// capacity; each failure logs "REVEDIZ: %s" with its own text:
//   "Error %d on open of file '%s'"                         errno, name
//   "Error %d/%d on seek_end of file '%s'"                  seek result, errno, name
//   "Error %d/%d on ftell of file '%s'"                     -1, errno, name
//   "Error %d/%d on seek_set of file '%s'"                  seek result, errno, name
//   "Buffer not big enough: have %d bytes, '%s' is %d bytes long\n"
// A short read logs "REVEDIZ: Only read %d out of %d bytes of file '%s'", a
// read error "REVEDIZ: Error 32 reading file '%s'", a full read
// "REVEDIZ: Read %d bytes from '%s'"; all three return the count read, so
// the caller still sends what arrived. The file is closed on every path.
std::int32_t ReadInputFile(const char* fileName, void* buffer, std::int32_t capacity);

// Writes count bytes of data to the named file, opened "wb" (created or
// emptied, no line-end translation). Returns -1 when the file does not open,
// after logging "REVEDIZ: Error %d on open of file '%s'  " (errno, name).
// Otherwise logs exactly one of
//   "Only wrote %d out of %d bytes of file '%s'"   fewer bytes taken than count
//   "Error 32 writing file '%s'"                   the stream reported an error
//   "REVEDIZ: Wrote %d bytes to '%s'"              all bytes are in the file
// and returns the number of bytes the write took. The stream is flushed
// before the checks, so an error of the device or disk under the file (a
// full disk) shows as the error line, never as the wrote line.
std::int32_t WriteOutputFile(const char* fileName, const void* data, std::int32_t count);

#endif  // REVEDIZ_DIALOGS_DATA_FILES_H
