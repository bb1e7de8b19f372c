// Journal lines: one block of readable lines per entry-point call (the call
// with its arguments, the status returned, values written back, notes), each
// line ending in CR LF. The block goes to the platform's journal sink in one
// piece when the call returns. Window-free.
#ifndef REVEDIZ_SIMULATOR_JOURNAL_H
#define REVEDIZ_SIMULATOR_JOURNAL_H

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>

#if defined(__GNUC__)
#define SIM_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define SIM_PRINTF_FORMAT(fmt, args)
#endif

namespace sim {

// The journal's file, in the working folder of the program that loaded the
// library; its readers (the control pipe, the driver) open the same name.
inline constexpr char kJournalFile[] = "vavuro32.jnl";

// Write data is shown whole up to this many bytes, then " ... total=N".
inline constexpr std::size_t kJournalDataBytes = 256;
// Longest text shown for a text argument.
inline constexpr std::size_t kJournalTextLimit = 4096;

// printf into a string, of any length.
std::string Formatted(const char* format, ...) SIM_PRINTF_FORMAT(1, 2);
std::string FormattedList(const char* format, va_list args) SIM_PRINTF_FORMAT(1, 0);

class JournalBlock {
 public:
  // Appends one line (the format's output plus CR LF). Lines of any length
  // are kept whole; a CR or LF in the output is written as \r or \n.
  void Line(const char* format, ...) SIM_PRINTF_FORMAT(2, 3);
  // Appends formatted text to the current, unfinished line.
  void Append(const char* format, ...) SIM_PRINTF_FORMAT(2, 3);
  // Appends bytes as upper-case hex pairs separated by blanks: all of them
  // up to kJournalDataBytes, then " ... total=N".
  void AppendHex(const unsigned char* data, std::size_t length);
  // Ends the current line.
  void EndLine();

  const std::string& Text() const { return text_; }
  bool Empty() const { return text_.empty(); }
  void Clear() { text_.clear(); }

 private:
  std::string text_;
};

}  // namespace sim

#endif  // REVEDIZ_SIMULATOR_JOURNAL_H
