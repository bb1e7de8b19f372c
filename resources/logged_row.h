// A row of the argument table as LogResourceArgs (arguments.h) logs it,
// read back from the log: the recorder makes the Add Resource that gave it
// from the two lines. Beside the formatter, so a change of the row's format
// shows here (tests/unit/test_resources.cpp reads back every kind it logs).
// Window-free, and free of the status log: the simulator links it.
#ifndef REVEDIZ_RESOURCES_LOGGED_ROW_H
#define REVEDIZ_RESOURCES_LOGGED_ROW_H

#include <string>
#include <string_view>

// What the operator chose and typed: the type as the dialog's list shows it
// (ArgumentTypeNames of tables/code_tables.h) and the value text.
struct LoggedRow {
  std::string type;
  std::string value;
};

// The row of a name line ("     2: Rows   ") and the value line after it
// ("               (0x1A2B)  ", "               (7)  " or "  text    ").
// A Hex value reads back as its digits, a Dec value as its number ("-1",
// which only an empty value gives, as the empty text), a String as its
// text. False when the lines are not such a pair.
bool ReadLoggedRow(std::string_view nameLine, std::string_view valueLine, LoggedRow* row);

#endif  // REVEDIZ_RESOURCES_LOGGED_ROW_H
