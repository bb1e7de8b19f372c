// The six command dialogs as the resource compiler built them: caption, place,
// size and font of each, and every control's class, id, text and rectangle in
// dialog units, in template (tab) order. The program's resources are linked in.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Reads a DLGTEMPLATE (the form a DIALOG statement compiles to) item by item.
class TemplateReader {
 public:
  explicit TemplateReader(const void* start) : base_(static_cast<const BYTE*>(start)), p_(base_) {}
  WORD Word() { WORD w; std::memcpy(&w, p_, sizeof w); p_ += sizeof w; return w; }
  DWORD Dword() { DWORD d; std::memcpy(&d, p_, sizeof d); p_ += sizeof d; return d; }
  // A name or an ordinal ("#n"); the predefined control classes by their names.
  std::string NameOrOrdinal() {
    static const char* const kClasses[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
    WORD c = Word();
    if (c == 0xFFFF) {
      const WORD ordinal = Word();
      if (ordinal >= 0x80 && ordinal <= 0x85) return kClasses[ordinal - 0x80];
      return std::string("#").append(std::to_string(ordinal));
    }
    std::string name;
    for (; c != 0; c = Word()) name += static_cast<char>(c);
    for (const char* known : kClasses) if (lstrcmpiA(name.c_str(), known) == 0) return known;
    return name;
  }
  // "x y width height", each a signed dialog-unit value.
  std::string Rectangle() {
    std::string shown;
    for (int i = 0; i < 4; ++i) shown.append(i ? " " : "").append(std::to_string(static_cast<SHORT>(Word())));
    return shown;
  }
  void AlignToDword() { p_ = base_ + ((p_ - base_ + 3) & ~static_cast<std::ptrdiff_t>(3)); }

 private:
  const BYTE* base_;
  const BYTE* p_;
};

// The dialog's own line, then one line per control.
std::vector<std::string> ReadDialog(const char* name) {
  const HRSRC found = FindResourceA(nullptr, name, RT_DIALOG);
  const HGLOBAL loaded = found != nullptr ? LoadResource(nullptr, found) : nullptr;
  if (loaded == nullptr) return {std::string("no dialog template ").append(name)};
  TemplateReader in(LockResource(loaded));
  const DWORD style = in.Dword();
  in.Dword();  // extended style
  const WORD items = in.Word();
  const std::string place = in.Rectangle();
  const std::string menu = in.NameOrOrdinal(), windowClass = in.NameOrOrdinal(), caption = in.NameOrOrdinal();
  std::string font;
  if (style & DS_SETFONT) {
    font = std::to_string(in.Word());
    font.append(" \"").append(in.NameOrOrdinal()).append("\"");
  }
  std::vector<std::string> lines = {"\"" + caption + "\" " + place + " " + font + menu + windowClass};
  for (WORD i = 0; i < items; ++i) {
    in.AlignToDword();
    in.Dword(), in.Dword();  // style, extended style
    const std::string rectangle = in.Rectangle();
    const int id = static_cast<SHORT>(in.Word());
    const std::string windowClassName = in.NameOrOrdinal();
    const std::string text = in.NameOrOrdinal();
    in.Word();  // no creation data follows
    lines.push_back(windowClassName);
    lines.back().append(" ").append(std::to_string(id)).append(" \"").append(text).append("\" ").append(rectangle);
  }
  return lines;
}

struct Expected { const char* name; std::vector<std::string> lines; };

TEST(DialogTemplates, EveryControlWhereTheToolPutsIt) {
  const std::string kArgumentRows[] = {
      "Button 222 \"Argument Value\" 5 53 151 72", "Static -1 \"Resources List\" 161 9 72 8",
      "Static -1 \"Resource\" 61 61 33 8", "Static -1 \"Type\" 125 60 16 8", "Static -1 \"Value     \" 92 89 20 8",
      "ComboBox 204 \"ARG_RESOURCE\" 24 72 93 84"};
  const std::string kButtons[] = {"Button 1 \"OK\" 21 130 50 14", "Button 2 \"Cancel\" 107 131 50 14"};
  const std::string kHeader = " 32 47 241 153 8 \"MS Sans Serif\"";
  const Expected kDialogs[] = {
      {"DispPosInit",
       {"\"POS Initialization\"" + kHeader, "Static -1 \"Application name\" 7 4 60 8", "Edit 200 \"\" 69 4 78 12",
        "Static -1 \"Resource File\" 7 22 60 8", "Edit 201 \"\" 69 19 77 12", "Static -1 \"N Arguments\" 7 36 53 8",
        "Edit 202 \"1\" 69 38 18 12", kArgumentRows[0], kArgumentRows[1], kArgumentRows[2], kArgumentRows[3],
        kArgumentRows[4], kArgumentRows[5], "ComboBox 205 \"ARG_TYPE\" 123 73 30 40", "Edit 206 \"\" 83 100 67 12",
        "ListBox 208 \"RESOURCE_LIST\" 161 21 75 109", "Button 207 \"Add Resource\" 14 105 50 14", kButtons[0],
        kButtons[1]}},
      {"DispPosOpen",
       {"\"POS Open\"" + kHeader, "Static -1 \"Device Name\" 7 4 60 8", "Edit 223 \"\" 69 4 74 12",
        "Static -1 \"Device Class\" 7 22 60 8", "ComboBox 203 \"DeviceClass\" 69 24 75 94",
        "Static -1 \"N Arguments\" 7 36 53 8", "Edit 202 \"0\" 69 38 18 12", kArgumentRows[0], kArgumentRows[1],
        kArgumentRows[2], kArgumentRows[3], kArgumentRows[4], kArgumentRows[5],
        "ComboBox 205 \"ARG_TYPE\" 123 72 30 40", "Edit 206 \"\" 83 100 67 12",
        "ListBox 208 \"RESOURCE_LIST\" 161 21 75 109", "Button 207 \"Add Resource\" 14 105 50 14", kButtons[0],
        kButtons[1]}},
      {"DispPosClose",
       {"\"POS Close\"" + kHeader, "Static -1 \"Handle\" 67 41 34 8", "Edit 224 \"\" 105 40 17 12", kButtons[0],
        kButtons[1]}},
      {"DispPosIoctl",
       {"\"POS Ioctl\"" + kHeader, "Static -1 \"Handle\" 4 4 24 8", "Edit 224 \"\" 28 4 12 12",
        "Static -1 \"Request\" 64 7 30 8", "ComboBox 229 \"IOCTL_COMBOBOX\" 97 5 138 72",
        "Static -1 \"N Arguments\" 7 36 53 8", "Edit 202 \"0\" 69 38 18 12", kArgumentRows[0],
        "Static -1 \"Resources List\" 163 24 72 8", kArgumentRows[2], kArgumentRows[3], kArgumentRows[4],
        kArgumentRows[5], "ComboBox 205 \"ARG_TYPE\" 123 72 30 40", "Edit 206 \"\" 83 100 67 12",
        "ListBox 208 \"RESOURCE_LIST\" 161 37 75 93", "Button 207 \"Add Resource\" 14 105 50 14", kButtons[0],
        kButtons[1]}},
      {"DispPosRead",
       {"\"POS Read\" 28 46 241 116 8 \"MS Sans Serif\"", "Static -1 \"Handle\" 11 10 35 8",
        "Edit 224 \"\" 55 8 16 12", "Static -1 \"Buffer  Size\" 8 29 39 8", "Edit 225 \"80\" 55 27 25 12",
        "Static -1 \"Save Output in File\" 5 50 65 8", "Edit 235 \"\" 72 48 115 12", "Button 1 \"OK\" 21 93 50 14",
        "Button 2 \"Cancel\" 107 94 50 14"}},
      {"DispPosWrite",
       {"\"POS Write\"" + kHeader, "Static -1 \"Handle\" 8 12 25 8", "Edit 224 \"\" 39 10 16 12",
        "Button 231 \"Using data from List Box\" 12 52 94 12", "Button 232 \" Using data from File\" 12 32 85 12",
        "Static -1 \"File Name\" 113 21 60 8", "Static -1 \"(Maximum 253 bytes)\" 32 68 70 8",
        "Edit 233 \"\" 108 59 130 61", "Edit 234 \"\" 108 32 128 12", "Button 1 \"OK\" 22 132 50 14",
        "Button 2 \"Cancel\" 108 131 50 14"}},
  };
  for (const Expected& dialog : kDialogs) EXPECT_EQ(ReadDialog(dialog.name), dialog.lines) << dialog.name;
}

}  // namespace
