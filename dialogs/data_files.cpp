#include "dialogs/data_files.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "app/status_log.h"

namespace {

// printf-style formatting into a string of whatever length the text needs,
// so texts that hold a long file name are kept whole.
std::string FormatText(const char* format, ...) REVEDIZ_PRINTF(1, 2);
std::string FormatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text;
  if (length > 0) {
    text.resize(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, again);
    text.resize(static_cast<std::size_t>(length));
  }
  va_end(again);
  return text;
}

// Appends line to the log through MessageText; a line too long even for
// MessageText is appended from its own storage so it stays whole.
void LogLine(const std::string& line) {
  if (line.size() < kMessageTextSize) {
    SetMessageText(line.c_str());
    AppendToStatusLog();
  } else {
    AppendTextToStatusLog(line.c_str());
  }
}

// Logs the staged text of a failed step as "REVEDIZ: %s".
void LogStagedError(const std::string& staged) { LogLine("REVEDIZ: " + staged); }

}  // namespace

std::int32_t ReadInputFile(const char* fileName, void* buffer, std::int32_t capacity) {
  std::string staged;

  std::FILE* file = std::fopen(fileName, "rb");
  staged = FormatText("Error %d on open of file '%s'", errno, fileName);
  if (file == nullptr) {
    LogStagedError(staged);
    return -1;
  }

  int seek = std::fseek(file, 0, SEEK_END);
  staged = FormatText("Error %d/%d on seek_end of file '%s'", seek, errno, fileName);
  if (seek != 0) {
    std::fclose(file);
    LogStagedError(staged);
    return -1;
  }

  const long fileLength = std::ftell(file);
  staged = FormatText("Error %d/%d on ftell of file '%s'", -1, errno, fileName);
  if (fileLength <= 0) {
    std::fclose(file);
    LogStagedError(staged);
    return -1;
  }

  seek = std::fseek(file, 0, SEEK_SET);
  staged = FormatText("Error %d/%d on seek_set of file '%s'", seek, errno, fileName);
  if (seek != 0) {
    std::fclose(file);
    LogStagedError(staged);
    return -1;
  }

  staged = FormatText("Buffer not big enough: have %d bytes, '%s' is %ld bytes long\n",
                      static_cast<int>(capacity), fileName, fileLength);
  if (fileLength > capacity) {
    std::fclose(file);
    LogStagedError(staged);
    return -1;
  }

  const auto wanted = static_cast<std::size_t>(fileLength);
  const std::size_t got = std::fread(buffer, 1, wanted, file);
  const bool readError = std::ferror(file) != 0;
  std::fclose(file);

  const auto count = static_cast<std::int32_t>(got);
  if (got != wanted) {
    LogStagedError(FormatText("Only read %d out of %ld bytes of file '%s'",
                              static_cast<int>(count), fileLength, fileName));
  } else if (readError) {
    LogStagedError(FormatText("Error %d reading file '%s'", 32, fileName));
  } else {
    staged.clear();
    LogLine(FormatText("REVEDIZ: Read %d bytes from '%s'", static_cast<int>(count), fileName));
  }
  return count;
}

std::int32_t WriteOutputFile(const char* fileName, const void* data, std::int32_t count) {
  std::FILE* file = std::fopen(fileName, "wb");
  if (file == nullptr) {
    LogLine(FormatText("REVEDIZ: %s  ",
                       FormatText("Error %d on open of file '%s'", errno, fileName).c_str()));
    return -1;
  }

  const std::size_t wanted = count > 0 ? static_cast<std::size_t>(count) : 0;
  const std::size_t written = std::fwrite(data, 1, wanted, file);
  // Buffered bytes reach the file only on the flush; its failure must not
  // pass for a complete write.
  std::fflush(file);
  const bool writeError = std::ferror(file) != 0;
  std::fclose(file);

  const auto taken = static_cast<std::int32_t>(written);
  if (written != wanted) {
    LogLine(FormatText("Only wrote %d out of %d bytes of file '%s'", static_cast<int>(taken),
                       static_cast<int>(count), fileName));
  } else if (writeError) {
    LogLine(FormatText("Error %d writing file '%s'", 32, fileName));
  } else {
    LogLine(FormatText("REVEDIZ: Wrote %d bytes to '%s'", static_cast<int>(taken), fileName));
  }
  return taken;
}
