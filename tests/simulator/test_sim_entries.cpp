// The entries that set the library up and hand out handles (initialize, open,
// close, term), the names they know, their limits, and GET_VALUES.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "sim_fixture.h"
#include "simulator/resource_table.h"
#include "tables/code_tables.h"

namespace {

using namespace simtest;
using namespace pos;

class SimEntries : public Sim {};

TEST_F(SimEntries, InitializeNeedsAQueueHandleAndKnownSettingsAndTermEndsEverything) {
  const ResourceArg q = gQueue;
  const std::vector<ResourceArg> q257(257, q);
  struct Case { std::vector<ResourceArg> args; std::int32_t count, status; } cases[] = {
      {{}, 0, kErrSysInvalidQueue}, {{{"queueHandle", 0}}, 1, kErrSysInvalidQueue},
      {{q, {"QueueHandle", 0}}, 2, kErrSysInvalidQueue}, {{q, {"Rows", 2}}, 2, kErrSysInvalidName},
      {{q, {"LogLevel", 6}}, 2, kErrSysOutOfBounds}, {{q, {"LogLevel", 5}}, 2, 0}, {{q}, -1, kErrSysInvalidNargs},
      {q257, 256, 0}, {q257, 257, kErrSysInvalidNargs}};
  for (Case& c : cases) {
    std::int32_t out = 7;
    EXPECT_TRUE(sim_.Open("D", "PosDisplay", nullptr, 0, &out) == kErrSysNotInitialized && out == 0 &&
                sim_.Close(1) == kErrSysNotInitialized);
    EXPECT_EQ(c.status, sim_.Initialize("APP", "FILE", c.args.data(), c.count)) << c.count;
    EXPECT_EQ(c.status == 0 ? 12u : 0u, gPosts.size());
    if (c.status != 0) continue;
    EXPECT_EQ(kErrSysAlreadyInitialized, sim_.Initialize("APP", "FILE", c.args.data(), 1));
    for (int i = 0; i < 10; ++i) Open("PosMsr");
    Forget();  // term closes every handle and empties the queue, and posts nothing: the window may be gone
    EXPECT_TRUE(sim_.Term() == 0 && sim_.Term() == kErrSysNotInitialized);
    EXPECT_EQ("DLL_PosTerm\r\n  # closed 10 open devices\r\n  -> 0\r\nDLL_PosTerm\r\n  -> 302\r\n", gJournal);
    EXPECT_TRUE(gPosts.empty() && sim_.Queue().Empty());
  }
}

std::vector<std::string> ListFile(const std::string& file) {
  const char* dir = std::getenv("REVEDIZ_DATA_DIR");
  std::ifstream in(std::string(dir != nullptr ? dir : ".") + "/" + file);
  EXPECT_TRUE(in.is_open()) << file << " (REVEDIZ_DATA_DIR names the data folder)";
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.find('\r')));
  return lines;
}
bool Named(const CodeName* row, std::int32_t code) {
  while (row->Name != nullptr && row->Code != code) ++row;
  return row->Name != nullptr;
}

// Every name of a class's list file, of PDEVICE.DAT and of PSYSTEM.DAT, passed as the tool passes it (without
// its first four characters; "PosNDIWidth" as "diWidth"), answers GET_VALUES on a handle of the class; "PosS"
// names are texts. Every bench device is one the tool can name.
TEST_F(SimEntries, EveryListedClassAndNameIsKnown) {
  const std::vector<std::string> classes = ListFile("PRESOURC.DAT"), generic = ListFile("PDEVICE.DAT"),
                                 system = ListFile("PSYSTEM.DAT");
  ASSERT_EQ(static_cast<std::size_t>(sim::kClassCount), classes.size());
  Init();
  for (int c = 0; c < sim::kClassCount; ++c) {
    const sim::ClassDef& cls = sim::kClasses[c];
    EXPECT_EQ(c, sim::FindClass(classes[static_cast<std::size_t>(c)].c_str()));
    EXPECT_TRUE(c <= sim::kGenericClass ||
                (Named(DeviceClassNames, cls.classCode) && Named(DeviceTypeNames, cls.type) &&
                 Named(SlotNames, cls.slot) && Named(PortNames, cls.port) &&
                 (!cls.subtype || Named(DeviceSubtypeNames, cls.type << 8 | cls.subtype))));
    if (c == sim::kGenericClass) continue;
    std::vector<std::string> entries = ListFile(cls.listFile);
    entries.insert(entries.end(), generic.begin(), c == sim::kSystemClass ? generic.begin() : generic.end());
    entries.insert(entries.end(), system.begin(), system.end());
    std::vector<std::string> names;
    for (const std::string& e : entries) names.push_back(e == "PosNDIWidth" ? "diWidth" : e.substr(4));
    std::vector<std::vector<char>> blocks(entries.size(), std::vector<char>(100, '\0'));
    std::vector<ResourceArg> args;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      args.push_back({names[i].c_str(), entries[i].rfind("PosS", 0) == 0 ? Ptr(blocks[i].data()) : -1});
    }
    EXPECT_EQ(0, Ioctl(Open(cls.name), kReqSysGetValues, args)) << cls.name;
  }
}

TEST_F(SimEntries, OpenChecksNameClassAndResourcesAndRefusesWhole) {
  const std::string n64(64, 'n'), n256(256, 'd'), h81(81, 'h'), t41(41, 't');
  const char *D = "PosDisplay", *P = "PosPrinter", *S = "PosSystem", *W = "PosPower", *R = "PosRs232c", *T = "PosTouch";
  const std::int32_t kSize = 4403, kCursor = 4401;  // device family codes as ErrorNames has them
  struct Case { const char* cls; std::vector<ResourceArg> args; std::int32_t status; const char* name = "D"; };
  const Case cases[] = {
      {D, {}, kErrSysInvalidName, ""}, {D, {}, kErrSysInvalidName, n256.c_str()}, {"PosDisp", {}, kErrSysInvalidClass},
      {"PosDevice", {}, kErrSysInvalidDevice}, {D, {{"BaudRate", 9600}}, kErrSysInvalidName},
      // Slots 0 to 8 and the port codes 0x00, 0x11, 0x22 exist; a bench device's type is its own.
      {D, {{"Slot", 8}, {"Port", 0x22}}, 0}, {D, {{"Slot", 9}}, kErrSysInvalidSlot},
      {D, {{"Port", 1}}, kErrSysInvalidPort}, {D, {{"DeviceType", 0x25}}, kErrSysInvalidClassDeviceCombo},
      {"PosNvram", {{"Size", 1024}}, 4101},
      // The display up to kDisplayMaxRows x kDisplayMaxColumns (2 x 20 fresh), the cursor on it; texts past limits.
      {D, {{"Rows", 4}, {"Columns", 80}, {"CursorRow", 3}, {"CursorColumn", 79}}, 0}, {D, {{"Rows", 5}}, kSize},
      {D, {{"CursorColumn", 20}}, kCursor}, {D, {{"DisplayText", Ptr(t41.c_str())}}, kSize},
      {D, {{"DisplayText", 40}}, kErrSysInvalidAddress}, {D, {{"DeviceName", Ptr(n64.c_str())}}, kErrSysInvalidName},
      {P, {{"HeaderText", Ptr(h81.c_str())}}, kErrSysOutOfBounds},
      // Limits that follow from what a value means: a day of the week, an hour, a minute, a switch, a percentage,
      // the tracks of a three-track reader, the standard baud rates; no negative time, length or volume.
      {W, {{"AlarmDay", 6}, {"AlarmHour", 23}, {"AlarmMinutes", 59}, {"PowerState", 0}}, 0},
      {W, {{"AlarmDay", 7}}, 6401}, {W, {{"AlarmHour", -1}}, 6402}, {W, {{"AlarmMinutes", -1}}, 6403},
      {W, {{"PowerState", -1}}, kErrSysOutOfBounds}, {P, {{"Interleaved", 2}}, 4902}, {P, {{"FeedDirection", 2}}, 4909},
      {P, {{"DiLfDistance", -1}}, 4908}, {"PosScale", {{"WeightMode", -1}}, 6204},
      {T, {{"ToneVolume", 100}, {"ExitClick", 0}, {"Backlight", 0}}, 0}, {T, {{"ExitClick", 2}}, 6705},
      {T, {{"Backlight", 2}}, 6701}, {"PosMsr", {{"Tracks", 7}}, 0}, {"PosMsr", {{"Tracks", 8}}, kErrSysOutOfBounds},
      {R, {{"BaudRate", 300}, {"BaudRate", 19200}, {"BaudRate", 57600}, {"BaudRate", 115200}, {"Parity", 0}}, 0},
      {R, {{"Parity", -1}}, 5903}, {S, {{"Timeout", -1}}, kErrSysOutOfBounds},
      {"PosKeyboard", {{"FatFingerTimeout", -1}}, 4706}, {"PosScanner", {{"BeepLength", -1}}, 5705},
      {"PosScanner", {{"BeepVolume", -1}}, 5707}, {"PosNvram", {{"RecordLength", 0}}, 4105}};
  for (Case c : cases) {
    Init();  // each on a fresh bench
    std::int32_t out = -1;
    EXPECT_EQ(c.status, sim_.Open(c.name, c.cls, c.args.data(), static_cast<std::int32_t>(c.args.size()), &out))
        << c.cls << " " << (c.args.empty() ? "" : c.args[0].name);
    EXPECT_EQ(c.status == 0, out > 0) << out;
  }
  ASSERT_EQ(5901, Set(Open(R), {{"DataBits", 5}, {"BaudRate", 1}}));
  EXPECT_EQ(8, Get(Open(R), "DataBits")) << "a refused call changes nothing, not even by the records before it";
}

TEST_F(SimEntries, HandlesStayWithinOneByteAndSkipThoseInUse) {
  Init();
  ASSERT_EQ(1, Open("PosSystem"));
  std::vector<std::int32_t> handles;
  for (int i = 0; i < 255; ++i) handles.push_back(Open("PosDisplay")), sim_.Close(handles.back());
  EXPECT_EQ((std::vector<std::int32_t>{2, 255, 2}), (std::vector<std::int32_t>{handles[0], handles[253], handles[254]}))
      << "after 255 the count starts again, past the one in use";
}

TEST_F(SimEntries, GetValuesWritesWithinEachBlockOrNothing) {
  Init();
  const std::int32_t display = Open("PosDisplay", kOwn);
  ASSERT_EQ(0, Set(display, {{"Rows", 4}, {"Columns", 80}, {"DisplayText", Ptr("HI")}, {"DeviceName", Ptr("FRONT")}}));
  // The tool's empty text is a block of 100 bytes; a block with text holds no more than it and its end.
  char empty[101], shortBlock[8] = "abc\0UUU", name[100] = "";
  std::memset(empty, 'U', sizeof empty), empty[0] = '\0';
  ResourceArg args[] = {{"DisplayText", Ptr(empty)}, {"DisplayText", Ptr(shortBlock)}, {"DeviceName", Ptr(name)}};
  std::int32_t out = -1;
  ASSERT_EQ(0, sim_.IOCtl(display, kReqSysGetValues, args, 3, &out));
  EXPECT_EQ("HI" + std::string(97, ' ') + '\0' + 'U', std::string(empty, 101)) << "99 characters of the 320";
  EXPECT_EQ(std::string("HI \0UUU", 8), std::string(shortBlock, 8));
  EXPECT_STREQ("FRONT", name);
  ResourceArg refused[] = {{"Rows", 77}, {"DisplayText", -1}};
  EXPECT_EQ(kErrSysInvalidAddress, sim_.IOCtl(display, kReqSysGetValues, refused, 2, &out));
  EXPECT_EQ(77, refused[0].value) << "a refused call writes nothing back";
}

}  // namespace
