// Argument rows read back from the log: see logged_row.h.
#include "resources/logged_row.h"

#include "tables/code_tables.h"

namespace {

// The heads and tails LogResourceArgs writes around a name and a value. A
// number's line ends in ")  ", a text's in four blanks: the two never meet.
constexpr std::string_view kNameHead = "     ", kNumberHead = "               (", kNumberTail = ")  ";
constexpr std::string_view kHexHead = "0x", kStringHead = "  ", kStringTail = "    ";
constexpr int kHex = 0, kDec = 1, kString = 2;  // rows of ArgumentTypeNames

// The text between head and tail, if the line is so framed.
bool Between(std::string_view line, std::string_view head, std::string_view tail, std::string_view* inner) {
  if (line.size() < head.size() + tail.size() || line.substr(0, head.size()) != head ||
      line.substr(line.size() - tail.size()) != tail)
    return false;
  *inner = line.substr(head.size(), line.size() - head.size() - tail.size());
  return true;
}

}  // namespace

bool ReadLoggedRow(std::string_view nameLine, std::string_view valueLine, LoggedRow* row) {
  std::string_view name, value;
  if (!Between(nameLine, kNameHead, "   ", &name) || name.find(": ") == std::string_view::npos) return false;
  int type = kString;
  if (Between(valueLine, kNumberHead, kNumberTail, &value)) {
    type = value.substr(0, kHexHead.size()) == kHexHead ? kHex : kDec;
    if (type == kHex) value.remove_prefix(kHexHead.size());
    if (type == kDec && value == "-1") value = {};
  } else if (!Between(valueLine, kStringHead, kStringTail, &value)) {
    return false;
  }
  *row = {ArgumentTypeNames[type], std::string(value)};
  return true;
}
