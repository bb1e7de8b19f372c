// The simulator's class and resource tables against the resource list files
// the tool reads and the code tables it names codes with.
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
  std::ifstream in(std::string(dir != nullptr ? dir : ".") + "/" + file);
  EXPECT_TRUE(in.is_open()) << file << " (REVEDIZ_DATA_DIR names the data folder)";
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

const char* NameOf(const CodeName* table, std::int32_t code) {
  for (const CodeName* row = table; row->Name != nullptr; ++row) {
    if (row->Code == code) return row->Name;
  }
  return nullptr;
}

TEST(SimResources, ClassesFollowTheClassListFileMatchedWhole) {
  const std::vector<std::string> classes = ReadListFile("PRESOURC.DAT");
  ASSERT_EQ(static_cast<std::size_t>(kClassCount), classes.size());
  for (int i = 0; i < kClassCount; ++i) EXPECT_EQ(i, sim::FindClass(classes[static_cast<std::size_t>(i)].c_str()));
  for (const char* bad : {"PosDisplayX", "posdisplay", "PosDisp", "", static_cast<const char*>(nullptr)}) {
    EXPECT_EQ(-1, sim::FindClass(bad)) << (bad != nullptr ? bad : "null");
  }
  EXPECT_EQ(-1, sim::FindResource(kClassCount, "Rows"));
  EXPECT_EQ(-1, sim::FindResource(-1, "Rows"));
}

class SimResourceLists : public simtest::Sim {};

// Every name of a class's list file, of PDEVICE.DAT and of PSYSTEM.DAT, as
// the tool passes it (its first four characters dropped, "PosNDIWidth" as
// "diWidth"), answers GET_VALUES on a handle of the class; "PosS" names are
// texts, written into their blocks.
TEST_F(SimResourceLists, EveryListedNameAnswersOnItsClass) {
  Init();
  const std::vector<std::string> generic = ReadListFile("PDEVICE.DAT"), system = ReadListFile("PSYSTEM.DAT");
  for (int c = 0; c < kClassCount; ++c) {
    if (c == sim::kGenericClass) continue;
    std::vector<std::string> entries = ReadListFile(kClasses[c].listFile);
    EXPECT_EQ(static_cast<std::size_t>(kClasses[c].resourceCount), entries.size()) << kClasses[c].listFile;
    if (c != sim::kSystemClass) entries.insert(entries.end(), generic.begin(), generic.end());
    entries.insert(entries.end(), system.begin(), system.end());
    std::vector<std::string> names;
    for (const std::string& e : entries) names.push_back(e == "PosNDIWidth" ? "diWidth" : e.substr(4));
    std::vector<std::vector<char>> blocks(entries.size(), std::vector<char>(100, '\0'));
    std::vector<ResourceArg> args;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const bool text = entries[i].rfind("PosS", 0) == 0;
      args.push_back({names[i].c_str(), text ? simtest::Ptr(blocks[i].data()) : -1});
    }
    const std::int32_t handle = Open(kClasses[c].name);
    EXPECT_EQ(0, Ioctl(handle, pos::kReqSysGetValues, args)) << kClasses[c].name;
    ASSERT_EQ(0, sim_.Close(handle));
  }
}

TEST(SimResources, RangeErrorsBelongToTheClassFamily) {
  const char* const families[] = {"POSERR_SYS_",  "POSERR_SYS_",   "POSERR_SYS_",   "POSERR_DSP_",
                                  "POSERR_TILL_", "POSERR_KBD_",   "POSERR_SYS_",   "POSERR_NVRAM_",
                                  "POSERR_POWER_", "POSERR_PRN_",  "POSERR_RS232_", "POSERR_SCALE_",
                                  "POSERR_SCAN_", "POSERR_TOUCH_"};  // in PRESOURC.DAT order
  for (int c = 0; c < kClassCount; ++c) {
    for (int r = 0; r < kClasses[c].resourceCount; ++r) {
      const char* name = NameOf(ErrorNames, kClasses[c].resources[r].error);
      ASSERT_NE(nullptr, name) << kClasses[c].resources[r].name;
      const std::string error = name;
      EXPECT_TRUE(error.rfind(families[c], 0) == 0 || error.rfind("POSERR_SYS_", 0) == 0)
          << kClasses[c].name << "." << kClasses[c].resources[r].name << ": " << error;
    }
  }
}

TEST(SimResources, IndexConstantsAndBenchDevicesNameTheirRows) {
  using sim::Model;
  const struct { Model model; int index; const char* name; } rows[] = {
      {Model::kSystem, sim::kSysQueueHandle, "QueueHandle"}, {Model::kSystem, sim::kSysMaxDevices, "MaxDevices"},
      {Model::kGeneric, sim::kGenSlot, "Slot"}, {Model::kGeneric, sim::kGenSubtype, "Subtype"},
      {Model::kDisplay, sim::kDspRows, "Rows"}, {Model::kDisplay, sim::kDspDisplayText, "DisplayText"},
      {Model::kDisplay, sim::kDspCursorColumn, "CursorColumn"}, {Model::kDrawer, sim::kTillDrawerStatus, "DrawerStatus"},
      {Model::kNvram, sim::kNvCursor, "Cursor"}, {Model::kNvram, sim::kNvMode, "Mode"},
      {Model::kNvram, sim::kNvRecordLength, "RecordLength"}, {Model::kPower, sim::kPwrPowerState, "PowerState"},
      {Model::kPrinter, sim::kPrnStation, "Station"}, {Model::kPrinter, sim::kPrnCharsPerLine, "CharsPerLine"},
      {Model::kScale, sim::kSclUnits, "Units"}};
  for (const auto& r : rows) EXPECT_EQ(r.index, sim::FindResource(sim::ClassOfModel(r.model), r.name)) << r.name;
  // Every bench device is one the tool can name.
  for (int c = sim::kGenericClass + 1; c < kClassCount; ++c) {
    const sim::ClassDef& cls = kClasses[c];
    EXPECT_NE(nullptr, NameOf(DeviceClassNames, cls.classCode)) << cls.name;
    EXPECT_NE(nullptr, NameOf(DeviceTypeNames, cls.type)) << cls.name;
    EXPECT_NE(nullptr, NameOf(SlotNames, cls.slot)) << cls.name;
    EXPECT_NE(nullptr, NameOf(PortNames, cls.port)) << cls.name;
    EXPECT_TRUE(cls.subtype == 0 || NameOf(DeviceSubtypeNames, cls.type << 8 | cls.subtype) != nullptr) << cls.name;
  }
}

}  // namespace
