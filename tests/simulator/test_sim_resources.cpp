// The simulator's class and resource tables: every name an operator can pick
// from a resource list file is known, with the right kind; a value out of
// range gives the family's own error; bench devices decode to names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "sim_fixture.h"
#include "simulator/resource_table.h"
#include "tables/code_tables.h"

namespace {

using sim::kClasses;
using sim::kClassCount;

std::vector<std::string> ReadListFile(const std::string& file) {
  const char* dir = std::getenv("REVEDIZ_DATA_DIR");
  std::vector<std::string> lines;
  if (dir == nullptr) {
    ADD_FAILURE() << "REVEDIZ_DATA_DIR is not set";
    return lines;
  }
  std::ifstream in(std::string(dir) + "/" + file);
  if (!in) {
    ADD_FAILURE() << "cannot open " << file;
    return lines;
  }
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The name the tool passes for a list entry.
std::string PassedName(const std::string& entry) {
  if (entry == "PosNDIWidth") return "diWidth";
  return entry.size() > 4 ? entry.substr(4) : std::string();
}

const char* NameOf(const CodeName* table, std::int32_t code) {
  for (const CodeName* row = table; row->Name != nullptr; ++row) {
    if (row->Code == code) return row->Name;
  }
  return nullptr;
}

TEST(SimResources, ClassesFollowTheClassListFile) {
  const std::vector<std::string> classes = ReadListFile("PRESOURC.DAT");
  ASSERT_EQ(static_cast<std::size_t>(kClassCount), classes.size());
  for (int i = 0; i < kClassCount; ++i) {
    EXPECT_EQ(classes[static_cast<std::size_t>(i)], kClasses[i].name);
    EXPECT_EQ(i, sim::FindClass(classes[static_cast<std::size_t>(i)].c_str()));
  }
  // Whole text, case-sensitive: not the tool's prefix comparison.
  EXPECT_EQ(-1, sim::FindClass("PosDisplayX"));
  EXPECT_EQ(-1, sim::FindClass("posdisplay"));
  EXPECT_EQ(-1, sim::FindClass("PosDisp"));
  EXPECT_EQ(-1, sim::FindClass(""));
  EXPECT_EQ(-1, sim::FindClass(nullptr));
}

TEST(SimResources, EveryListedNameIsKnownWithItsKindAndNothingElse) {
  for (int c = 0; c < kClassCount; ++c) {
    const std::vector<std::string> entries = ReadListFile(kClasses[c].listFile);
    EXPECT_EQ(static_cast<std::size_t>(kClasses[c].resourceCount), entries.size())
        << kClasses[c].listFile;
    for (const std::string& entry : entries) {
      ASSERT_GE(entry.size(), 5u) << entry;
      const std::string name = PassedName(entry);
      const int index = sim::FindResource(c, name.c_str());
      ASSERT_GE(index, 0) << kClasses[c].name << " does not know " << name;
      const sim::Kind kind = entry[3] == 'S' ? sim::Kind::kText : sim::Kind::kNumber;
      EXPECT_EQ(kind, kClasses[c].resources[index].kind) << name;
    }
  }
}

TEST(SimResources, IndexConstantsNameTheirRows) {
  const int display = sim::ClassOfModel(sim::Model::kDisplay);
  EXPECT_EQ(sim::kDspRows, sim::FindResource(display, "Rows"));
  EXPECT_EQ(sim::kDspCursorColumn, sim::FindResource(display, "CursorColumn"));
  EXPECT_EQ(sim::kDspDisplayText, sim::FindResource(display, "DisplayText"));
  EXPECT_EQ(sim::kSysQueueHandle, sim::FindResource(sim::kSystemClass, "QueueHandle"));
  EXPECT_EQ(sim::kSysMaxDevices, sim::FindResource(sim::kSystemClass, "MaxDevices"));
  EXPECT_EQ(sim::kGenSlot, sim::FindResource(sim::kGenericClass, "Slot"));
  EXPECT_EQ(sim::kGenSubtype, sim::FindResource(sim::kGenericClass, "Subtype"));
  EXPECT_EQ(sim::kTillDrawerStatus,
            sim::FindResource(sim::ClassOfModel(sim::Model::kDrawer), "DrawerStatus"));
  const int nvram = sim::ClassOfModel(sim::Model::kNvram);
  EXPECT_EQ(sim::kNvCursor, sim::FindResource(nvram, "Cursor"));
  EXPECT_EQ(sim::kNvMode, sim::FindResource(nvram, "Mode"));
  EXPECT_EQ(sim::kNvRecordLength, sim::FindResource(nvram, "RecordLength"));
  EXPECT_EQ(sim::kPwrPowerState,
            sim::FindResource(sim::ClassOfModel(sim::Model::kPower), "PowerState"));
  const int printer = sim::ClassOfModel(sim::Model::kPrinter);
  EXPECT_EQ(sim::kPrnStation, sim::FindResource(printer, "Station"));
  EXPECT_EQ(sim::kPrnCharsPerLine, sim::FindResource(printer, "CharsPerLine"));
  EXPECT_EQ(sim::kSclUnits, sim::FindResource(sim::ClassOfModel(sim::Model::kScale), "Units"));
}

// Which error family each class may answer with, besides the system errors.
const char* FamilyPrefix(sim::Model model) {
  switch (model) {
    case sim::Model::kDisplay: return "POSERR_DSP_";
    case sim::Model::kDrawer: return "POSERR_TILL_";
    case sim::Model::kKeyboard: return "POSERR_KBD_";
    case sim::Model::kNvram: return "POSERR_NVRAM_";
    case sim::Model::kPower: return "POSERR_POWER_";
    case sim::Model::kPrinter: return "POSERR_PRN_";
    case sim::Model::kRs232: return "POSERR_RS232_";
    case sim::Model::kScale: return "POSERR_SCALE_";
    case sim::Model::kScanner: return "POSERR_SCAN_";
    case sim::Model::kTouch: return "POSERR_TOUCH_";
    default: return "POSERR_SYS_";
  }
}

TEST(SimResources, RangeErrorsBelongToTheClassFamily) {
  for (int c = 0; c < kClassCount; ++c) {
    const std::string family = FamilyPrefix(kClasses[c].model);
    for (int r = 0; r < kClasses[c].resourceCount; ++r) {
      const sim::ResourceDef& def = kClasses[c].resources[r];
      const char* name = NameOf(ErrorNames, def.error);
      ASSERT_NE(nullptr, name) << def.name << " answers " << def.error;
      const std::string error = name;
      EXPECT_TRUE(error.rfind(family, 0) == 0 || error.rfind("POSERR_SYS_", 0) == 0)
          << kClasses[c].name << "." << def.name << ": " << error;
    }
  }
  const auto errorOf = [](sim::Model model, const char* resource) {
    const int c = sim::ClassOfModel(model);
    return std::string(NameOf(ErrorNames, kClasses[c].resources[sim::FindResource(c, resource)].error));
  };
  EXPECT_EQ("POSERR_RS232_INVALID_BAUD_RATE", errorOf(sim::Model::kRs232, "BaudRate"));
  EXPECT_EQ("POSERR_PRN_INVALID_DI_WIDTH", errorOf(sim::Model::kPrinter, "diWidth"));
  EXPECT_EQ("POSERR_DSP_INVALID_CURSOR", errorOf(sim::Model::kDisplay, "CursorRow"));
  EXPECT_EQ("POSERR_TILL_INVALID_PULSE_WIDTH", errorOf(sim::Model::kDrawer, "PulseWidth"));
  EXPECT_EQ("POSERR_SYS_OUT_OF_BOUNDS", errorOf(sim::Model::kAlarm, "ToneVolume"));
}

TEST(SimResources, BenchDevicesDecodeToNames) {
  for (int c = sim::kGenericClass + 1; c < kClassCount; ++c) {
    const sim::ClassDef& cls = kClasses[c];
    EXPECT_NE(nullptr, NameOf(DeviceClassNames, cls.classCode)) << cls.name;
    EXPECT_NE(nullptr, NameOf(DeviceTypeNames, cls.type)) << cls.name;
    EXPECT_NE(nullptr, NameOf(SlotNames, cls.slot)) << cls.name;
    EXPECT_NE(nullptr, NameOf(PortNames, cls.port)) << cls.name;
    if (cls.subtype != 0) {
      EXPECT_NE(nullptr, NameOf(DeviceSubtypeNames, cls.type << 8 | cls.subtype)) << cls.name;
    }
  }
  const int display = sim::FindClass("PosDisplay");
  EXPECT_STREQ("ANOP_DISPLAY_A", NameOf(DeviceTypeNames, kClasses[display].type));
  EXPECT_STREQ("2X20_VFD", NameOf(DeviceSubtypeNames, 0x2406));
  EXPECT_EQ(6, kClasses[display].subtype);
  EXPECT_STREQ("CASH_DRAWER_A", NameOf(DeviceTypeNames, kClasses[sim::FindClass("PosDrawer")].type));
  EXPECT_STREQ("MSR_3_TRACK_A", NameOf(DeviceTypeNames, kClasses[sim::FindClass("PosMsr")].type));
}

// Through the entries: a GET_VALUES of every name in a class's list file and
// the list of what every device has answers on a handle of that class.
class SimResourceLists : public simtest::SimTest {};

TEST_F(SimResourceLists, EveryListedNameAnswersGetValues) {
  InitializeQuietly();
  const std::vector<std::string> generic = ReadListFile("PDEVICE.DAT");
  const std::vector<std::string> system = ReadListFile("PSYSTEM.DAT");
  for (int c = 0; c < kClassCount; ++c) {
    if (c == sim::kGenericClass) continue;
    const std::int32_t handle = OpenDevice(kClasses[c].name);
    ASSERT_GT(handle, 0) << kClasses[c].name;
    std::vector<std::string> entries = ReadListFile(kClasses[c].listFile);
    if (c != sim::kSystemClass) entries.insert(entries.end(), generic.begin(), generic.end());
    entries.insert(entries.end(), system.begin(), system.end());
    std::vector<std::string> names;
    std::vector<std::vector<char>> blocks;
    for (const std::string& entry : entries) {
      names.push_back(PassedName(entry));
      blocks.emplace_back(100, '\0');
    }
    std::vector<ResourceArg> args;
    for (std::size_t i = 0; i < names.size(); ++i) {
      const bool text = entries[i][3] == 'S';
      args.push_back({names[i].c_str(), text ? reinterpret_cast<std::intptr_t>(blocks[i].data()) : -1});
    }
    std::int32_t out = -1;
    EXPECT_EQ(0, sim_->IOCtl(handle, pos::kReqSysGetValues, args.data(),
                             static_cast<std::int32_t>(args.size()), &out))
        << kClasses[c].name;
    EXPECT_EQ(0, out);
  }
}

}  // namespace
