// The device API's slots, ports, device types, classes and subtypes apart from tables/code_tables.cpp (errors,
// messages and requests are held against simulator/vavuro32.h instead): per family its prefix (a first token ending
// in '_'), then suffix and code pairs, in the tool's row order. Of the subtypes only the rows with fixed names.
#ifndef REVEDIZ_TESTS_UNIT_API_NAMES_H
#define REVEDIZ_TESTS_UNIT_API_NAMES_H

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using ApiRows = std::vector<std::pair<std::string, std::int32_t>>;  // name and code

inline ApiRows ParseFamilies(std::initializer_list<const char*> families) {
  ApiRows rows;
  for (const char* text : families) {
    std::istringstream in(text);
    std::string prefix, name, code;
    if (in >> name && name.back() == '_') prefix = name, in >> name;
    do {
      in >> code;
      rows.emplace_back(prefix + name, static_cast<std::int32_t>(std::strtol(code.c_str(), nullptr, 0)));
    } while (in >> name);
  }
  return rows;
}

#define API_TABLE(function, ...) \
  inline const ApiRows& function() { static const ApiRows rows = ParseFamilies({__VA_ARGS__}); return rows; }

API_TABLE(ApiSlots,
          "SLOT_0 0 SLOT_1 1 SLOT_2 2 SLOT_3 3 SLOT_4 4 SLOT_5 5 SLOT_6 6 SLOT_7 7 SLOT_8 8")
API_TABLE(ApiPorts,
          "PORT_0 0x00 PORT_1 0x11 PORT_2 0x22")
API_TABLE(ApiTypes,
          "ALARM 0x84 ALPHANUMERIC_DISPLAY_A 0x20 ALPHANUMERIC_DISPLAY_B 0x21 ANOP_DISPLAY_A 0x24 ANOP_DISPLAY_B 0x25 "
          "ANPOS_KEYBOARD_A 0x1A ANPOS_KEYBOARD_B 0x1B APA_DISPLAY_A 0x2A APA_DISPLAY_B 0x2B APA_DISPLAY_C 0x2C "
          "APA_DISPLAY_D 0x2D CASH_DRAWER_A 0x54 CASH_DRAWER_B 0x83 CHECKOUT_KEYBOARD_A 0x10 CHECKOUT_KEYBOARD_B 0x11 "
          "JAPANESE_KEYBOARD 0x10 MATRIX_KEYBOARD_A 0x16 MATRIX_KEYBOARD_B 0x17 MSR_1_TRACK_A 0x40 MSR_1_TRACK_B 0x41 "
          "MSR_2_TRACK_A 0x46 MSR_2_TRACK_B 0x47 MSR_3_TRACK_A 0x48 MSR_3_TRACK_B 0x49 MSR_J_TRACK 0x40 NVRAM_A 0x50 "
          "NVRAM_B 0x51 NVRAM_LOCAL 0x85 OPERATOR_DISPLAY_A 0x22 OPERATOR_DISPLAY_B 0x23 PLU_KEYBOARD 0x19 "
          "POS_KEYBOARD_A 0x1C POS_KEYBOARD_B 0x1D POWER_B 0x86 POWER_LOCAL 0x87 PRINTER_2 0x30 PRINTER_3 0x34 "
          "PRINTER_4 0x34 PRINTER_FISCAL_3 0x38 PRINTER_QX7 0x37 RS232_23A 0x68 RS232_23B 0x69 RS232_25A 0x64 RS232_25B "
          "0x65 RS232_A 0x66 RS232_B 0x67 SCALE 0x6E SCALE_A 0x6A SCANNER_A 0x4A SCANNER_B 0x4B SHOPPER_DISPLAY_A 0x26 "
          "SHOPPER_DISPLAY_B 0x27 SYSTEM_ATTACHED_KBD 0x81 SYSTEM_ATTACHED_MSR 0x82 TEXT_KEYBOARD_A 0x12 "
          "TEXT_KEYBOARD_B 0x13 TOUCH_SCREEN 0x5C")
API_TABLE(ApiClasses,
          "ALARM 7 CASH_DRAWER 6 DISPLAY 2 KEYBOARD 9 MSR 5 NVRAM 8 POWER 12 PRINTER 3 RS232 10 SCALE 11 SCANNER 4 "
          "TOUCH_SCREEN 13 UNKNOWN 1")
API_TABLE(ApiSubtypes,
          "2X20_LCD 0x2401 2X20_VFD 0x2406 2_SIDE_VFD 0x2407 2X20_LCD 0x2501 2X20_VFD 0x2506 2_SIDE_VFD 0x2507 "
          "CHECKOUT_2 0x1C01 MODIFIABLE_LAYOUT 0x1C02 ANPOS_2 0x1C03 PC_POS 0x1C04 KEYBOARD_V 0x1C05 KEYBOARD_VI 0x1C07 "
          "CHECKOUT_2 0x1D01 MODIFIABLE_LAYOUT 0x1D02 ANPOS_2 0x1D03 PC_POS 0x1D04 KEYBOARD_V 0x1D05 KEYBOARD_VI 0x1D07 "
          "ANPOS_2 0x8103")

// The sixteen resource list files, in the order the start-up check opens them.
inline const char* const kListFiles[] = {
    "PRESOURC.DAT", "PIOCTLRE.DAT", "PSYSTEM.DAT", "PDEVICE.DAT", "PALARM.DAT",   "PDISPLAY.DAT", "PDRAWER.DAT",
    "PKEYBRD.DAT",  "PMSR.DAT",     "PNVRAM.DAT",  "PPOWER.DAT",  "PPRINTER.DAT", "PPOSRS23.DAT", "PSCALE.DAT",
    "PSCANNER.DAT", "PTOUCH.DAT",
};

#endif  // REVEDIZ_TESTS_UNIT_API_NAMES_H
