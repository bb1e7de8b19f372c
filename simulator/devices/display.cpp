// The customer display: Rows x Columns characters and a cursor. Writes go to
// the screen at the cursor; a read returns the screen; DisplayText rewrites it
// from home.
#include <cstring>

#include "simulator/devices/device.h"
#include "simulator/sim_codes.h"
#include "tables/pos_codes.h"

namespace sim {
namespace {

class Display : public BenchDevice {
 public:
  explicit Display(const ClassDef& cls) : BenchDevice(cls) {
    screen_.assign(static_cast<std::size_t>(Rows() * Columns()), ' ');
  }

  bool TakesText(int resource) const override { return resource == kDspDisplayText; }

  // The cursor stays on the screen, and a text fits it, at the size the
  // same call sets.
  std::int32_t CheckValues(const std::vector<Value>& values,
                           const TakenTexts& taken) const override {
    const std::int32_t rows = values[kDspRows].number, columns = values[kDspColumns].number;
    const std::int32_t row = values[kDspCursorRow].number, column = values[kDspCursorColumn].number;
    if (row >= rows) {
      return Refuse(kErrDspInvalidCursor, "CursorRow " + std::to_string(row) +
                                              " not below Rows " + std::to_string(rows));
    }
    if (column >= columns) {
      return Refuse(kErrDspInvalidCursor, "CursorColumn " + std::to_string(column) +
                                              " not below Columns " + std::to_string(columns));
    }
    const auto text = taken.find(kDspDisplayText);
    if (text != taken.end() && static_cast<std::int32_t>(text->second.size()) > rows * columns) {
      return Refuse(kErrDspInvalidSize, "DisplayText of " + std::to_string(text->second.size()) +
                                            " characters, more than Rows x Columns " +
                                            std::to_string(rows * columns));
    }
    return 0;
  }

  // A new size keeps what still fits; a text clears the screen and is
  // written from home.
  void SetValues(const std::vector<Value>& values, const TakenTexts& taken) override {
    const std::int32_t oldRows = Rows(), oldColumns = Columns();
    const std::int32_t rows = values[kDspRows].number, columns = values[kDspColumns].number;
    if (rows != oldRows || columns != oldColumns) {
      std::string screen(static_cast<std::size_t>(rows * columns), ' ');
      for (std::int32_t r = 0; r < rows && r < oldRows; ++r) {
        for (std::int32_t c = 0; c < columns && c < oldColumns; ++c) {
          screen[static_cast<std::size_t>(r * columns + c)] =
              screen_[static_cast<std::size_t>(r * oldColumns + c)];
        }
      }
      screen_ = screen;
    }
    values_ = values;
    const auto text = taken.find(kDspDisplayText);
    if (text != taken.end()) {
      Clear();
      Put(reinterpret_cast<const unsigned char*>(text->second.data()),
          static_cast<std::int32_t>(text->second.size()));
    }
  }

  std::string TextValue(int resource) const override {
    return resource == kDspDisplayText ? screen_ : BenchDevice::TextValue(resource);
  }

  std::int32_t Read(unsigned char* buffer, std::int32_t size, std::int32_t* placed) override {
    if (size == 0) return Refuse(pos::kErrSysBufferTooSmall, TooSmall(1, size));
    const std::size_t n = screen_.size() < static_cast<std::size_t>(size)
                              ? screen_.size()
                              : static_cast<std::size_t>(size);
    std::memcpy(buffer, screen_.data(), n);
    *placed = static_cast<std::int32_t>(n);
    return 0;
  }

  std::int32_t Write(const unsigned char* data, std::int32_t length, std::int32_t* accepted,
                     DeviceEvents&) override {
    Put(data, length);
    *accepted = length;
    return 0;
  }

  bool OwnsRequest(std::int32_t request) const override { return request / 100 == 44; }

  std::int32_t Request(std::int32_t request, DeviceEvents& events) override {
    switch (request) {
      case pos::kReqDspClearScreen: Clear(); return 0;
      case pos::kReqDspDefineCharacters: return 0;  // the characters look as they did
      default: return BenchDevice::Request(request, events);
    }
  }

  std::string State() const override {
    std::vector<std::string> rows;
    TextLines(&rows);
    std::string text = "shows";
    for (std::size_t i = 0; i < rows.size(); ++i) {
      text += (i == 0 ? " " : " / ") + BenchQuoted(rows[i]);
    }
    return text;
  }

  bool TextLines(std::vector<std::string>* lines) const override {
    const std::size_t columns = static_cast<std::size_t>(Columns());
    std::vector<std::string> rows;
    for (std::size_t at = 0; at + columns <= screen_.size(); at += columns) {
      rows.push_back(screen_.substr(at, columns));
    }
    *lines = rows;
    return true;
  }

 private:
  std::int32_t Rows() const { return values_[kDspRows].number; }
  std::int32_t Columns() const { return values_[kDspColumns].number; }

  void Clear() {
    screen_.assign(screen_.size(), ' ');
    values_[kDspCursorRow].number = 0;
    values_[kDspCursorColumn].number = 0;
  }

  // Characters go at the cursor, which moves right and on to the next row;
  // past the last position it returns home (the display's normal mode). CR
  // returns to column 0, LF moves down a row, BS back a column; other
  // control bytes are ignored.
  void Put(const unsigned char* data, std::int32_t length) {
    const std::int32_t rows = Rows(), columns = Columns();
    std::int32_t row = values_[kDspCursorRow].number;
    std::int32_t column = values_[kDspCursorColumn].number;
    for (std::int32_t i = 0; i < length; ++i) {
      const unsigned char byte = data[i];
      if (byte == '\r') {
        column = 0;
      } else if (byte == '\n') {
        row = (row + 1) % rows;
      } else if (byte == '\b') {
        if (column > 0) --column;
      } else if (byte >= 0x20) {
        screen_[static_cast<std::size_t>(row * columns + column)] = static_cast<char>(byte);
        if (++column == columns) {
          column = 0;
          row = (row + 1) % rows;
        }
      }
    }
    values_[kDspCursorRow].number = row;
    values_[kDspCursorColumn].number = column;
  }

  std::string screen_;  // Rows x Columns characters
};

}  // namespace

std::unique_ptr<BenchDevice> MakeDisplay(const ClassDef& cls) {
  return std::make_unique<Display>(cls);
}

}  // namespace sim
