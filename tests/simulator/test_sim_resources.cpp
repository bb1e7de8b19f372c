// The simulator's class and resource tables against the resource list files
// the tool reads and the error table it names codes with.
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

std::vector<std::string> ListFile(const std::string& file) {
  const char* dir = std::getenv("REVEDIZ_DATA_DIR");
  std::ifstream in(std::string(dir != nullptr ? dir : ".") + "/" + file);
  EXPECT_TRUE(in.is_open()) << file << " (REVEDIZ_DATA_DIR names the data folder)";
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.find('\r')));
  return lines;
}

class SimResources : public simtest::Sim {};

// Every name of a class's list file, of PDEVICE.DAT and of PSYSTEM.DAT, passed
// as the tool passes it (without its first four characters; "PosNDIWidth" as
// "diWidth"), answers GET_VALUES on the class's handle; "PosS" names are texts.
TEST_F(SimResources, EveryListedNameAnswersOnItsClassMatchedWhole) {
  const std::vector<std::string> classes = ListFile("PRESOURC.DAT"), generic = ListFile("PDEVICE.DAT"),
                                 system = ListFile("PSYSTEM.DAT");
  ASSERT_EQ(static_cast<std::size_t>(kClassCount), classes.size());
  Init();
  for (int c = 0; c < kClassCount; ++c) {
    EXPECT_EQ(c, sim::FindClass(classes[static_cast<std::size_t>(c)].c_str()));
    if (c == sim::kGenericClass) continue;
    std::vector<std::string> entries = ListFile(kClasses[c].listFile);
    EXPECT_EQ(static_cast<std::size_t>(kClasses[c].resourceCount), entries.size()) << kClasses[c].listFile;
    if (c != sim::kSystemClass) entries.insert(entries.end(), generic.begin(), generic.end());
    entries.insert(entries.end(), system.begin(), system.end());
    std::vector<std::string> names;
    for (const std::string& e : entries) names.push_back(e == "PosNDIWidth" ? "diWidth" : e.substr(4));
    std::vector<std::vector<char>> blocks(entries.size(), std::vector<char>(100, '\0'));
    std::vector<ResourceArg> args;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      args.push_back({names[i].c_str(), entries[i].rfind("PosS", 0) == 0 ? simtest::Ptr(blocks[i].data()) : -1});
    }
    const std::int32_t handle = Open(kClasses[c].name);
    EXPECT_EQ(0, Ioctl(handle, pos::kReqSysGetValues, args)) << kClasses[c].name;
    ASSERT_EQ(0, sim_.Close(handle));
  }
  for (const char* bad : {"PosDisplayX", "posdisplay", "PosDisp", "", static_cast<const char*>(nullptr)}) {
    EXPECT_EQ(-1, sim::FindClass(bad));
  }
  EXPECT_EQ(-1, sim::FindResource(kClassCount, "Rows"));
  EXPECT_EQ(-1, sim::FindResource(-1, "Rows"));
}

// A value out of range gives the error of the class's own family, or a system error.
TEST(SimResourceTable, RangeErrorsBelongToTheClassFamily) {
  const char* const families[] = {"SYS", "SYS", "SYS", "DSP", "TILL", "KBD", "SYS", "NVRAM", "POWER", "PRN",
                                  "RS232", "SCALE", "SCAN", "TOUCH"};  // in PRESOURC.DAT order
  for (int c = 0; c < kClassCount; ++c) {
    for (int r = 0; r < kClasses[c].resourceCount; ++r) {
      const CodeName* row = ErrorNames;
      while (row->Name != nullptr && row->Code != kClasses[c].resources[r].error) ++row;
      const std::string error = row->Name != nullptr ? row->Name : "none";
      EXPECT_TRUE(error.rfind("POSERR_" + std::string(families[c]) + "_", 0) == 0 || error.rfind("POSERR_SYS_", 0) == 0)
          << kClasses[c].name << "." << kClasses[c].resources[r].name << ": " << error;
    }
  }
}

}  // namespace
