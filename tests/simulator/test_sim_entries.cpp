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
  const ResourceArg q{"queueHandle", static_cast<std::intptr_t>(kMain)};
  const std::vector<ResourceArg> q257(257, q);
  struct Case { std::vector<ResourceArg> args; std::int32_t count, status; } cases[] = {
      {{}, 0, kErrSysInvalidQueue}, {{{"queueHandle", 0}}, 1, kErrSysInvalidQueue}, {{q, {"QueueHandle", 0}}, 2, kErrSysInvalidQueue},
      {{q, {"Rows", 2}}, 2, kErrSysInvalidName}, {{q, {"LogLevel", 6}}, 2, kErrSysOutOfBounds}, {{q, {"LogLevel", 5}}, 2, 0},
      {{q}, -1, kErrSysInvalidNargs}, {q257, 256, 0}, {q257, 257, kErrSysInvalidNargs}};
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
    EXPECT_TRUE(gPosts.empty() && sim_.OpenDevices().empty() && sim_.Queue().Empty());
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

// Every name of a class's list file, of PDEVICE.DAT and of PSYSTEM.DAT, passed as the tool passes it
// (without its first four characters; "PosNDIWidth" as "diWidth"), answers GET_VALUES on a handle of the
// class; "PosS" names are texts. Every bench device is one the tool can name.
TEST_F(SimEntries, EveryListedClassAndNameIsKnownMatchedWhole) {
  const std::vector<std::string> classes = ListFile("PRESOURC.DAT"), generic = ListFile("PDEVICE.DAT"),
                                 system = ListFile("PSYSTEM.DAT");
  ASSERT_EQ(static_cast<std::size_t>(sim::kClassCount), classes.size());
  Init();
  for (int c = 0; c < sim::kClassCount; ++c) {
    const sim::ClassDef& cls = sim::kClasses[c];
    EXPECT_EQ(c, sim::FindClass(classes[static_cast<std::size_t>(c)].c_str()));
    EXPECT_TRUE(c <= sim::kGenericClass ||
                (Named(DeviceClassNames, cls.classCode) && Named(DeviceTypeNames, cls.type) && Named(SlotNames, cls.slot) &&
                 Named(PortNames, cls.port) && (!cls.subtype || Named(DeviceSubtypeNames, cls.type << 8 | cls.subtype))));
    if (c == sim::kGenericClass) continue;
    std::vector<std::string> entries = ListFile(cls.listFile);
    EXPECT_EQ(static_cast<std::size_t>(cls.resourceCount), entries.size()) << cls.listFile;
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
  for (const char* bad : {"PosDisplayX", "posdisplay", "PosDisp", "", static_cast<const char*>(nullptr)}) {
    EXPECT_EQ(-1, sim::FindClass(bad));
  }
  for (auto [c, name] : {std::pair{sim::kClassCount, "Rows"}, {-1, "Rows"}, {3, nullptr}}) EXPECT_EQ(-1, sim::FindResource(c, name));
}

TEST_F(SimEntries, OpenChecksNameClassAndResourcesAndRefusesWhole) {
  const std::string n63(63, 'n'), n64(64, 'n'), n255(255, 'd'), n256(256, 'd'), h80(80, 'h'), h81(81, 'h'),
      f255(255, 'f'), f256(256, 'f'), t40(40, 't'), t41(41, 't'), t320(320, 't'), t321(321, 't');
  const auto text = [](const std::string& s) { return Ptr(s.c_str()); };
  const char *D = "PosDisplay", *P = "PosPrinter", *S = "PosSystem", *W = "PosPower", *R = "PosRs232c";
  const std::int32_t kSize = 4403, kCursor = 4401;  // device family codes as ErrorNames has them
  struct Case { const char* name; const char* cls; std::vector<ResourceArg> args; std::int32_t status; } cases[] = {
      {"", D, {}, kErrSysInvalidName}, {nullptr, D, {}, kErrSysInvalidName}, {n255.c_str(), D, {}, 0},
      {n256.c_str(), D, {}, kErrSysInvalidName}, {"D", "PosDisplayX", {}, kErrSysInvalidClass},
      {"D", "PosDevice", {}, kErrSysInvalidDevice},
      {"D", D, {{"BaudRate", 9600}}, kErrSysInvalidName}, {"D", S, {{"Slot", 1}}, kErrSysInvalidName},
      {"D", D, {{"Rows", 2}, {"", 0}}, kErrSysInvalidName}, {"D", D, {{"Timeout", 7}}, 0}, {"D", R, {{"DataBits", 5},
      {"BaudRate", 1}}, 5901},
      // Slots 0 to 8 and the port codes 0x00, 0x11, 0x22 exist; a bench device's type and subtype are its own.
      {"D", D, {{"Slot", 8}, {"Port", 0x22}}, 0}, {"D", D, {{"Slot", 0}, {"Port", 0}}, 0}, {"D", D, {{"Slot", 9}}, kErrSysInvalidSlot},
      {"D", D, {{"Slot", -1}}, kErrSysInvalidSlot}, {"D", D, {{"Port", 1}}, kErrSysInvalidPort},
      {"D", D, {{"DeviceType", 0x24}, {"Subtype", 6}}, 0}, {"D", D, {{"DeviceType", 0x25}}, kErrSysInvalidClassDeviceCombo},
      {"D", "PosNvram", {{"Size", sim::kNvramCapacity}}, 0}, {"D", "PosNvram", {{"Size", 1024}}, 4101},
      // The display: up to kDisplayMaxRows x kDisplayMaxColumns (2 x 20 when fresh), the cursor on it.
      {"D", D, {{"Rows", 4}, {"Columns", 80}, {"CursorRow", 3}, {"CursorColumn", 79}}, 0}, {"D", D, {{"Rows", 1}, {"Columns", 1}}, 0},
      {"D", D, {{"Rows", 0}}, kSize}, {"D", D, {{"Rows", 5}}, kSize}, {"D", D, {{"Columns", 0}}, kSize},
      {"D", D, {{"Columns", 81}}, kSize},
      {"D", D, {{"CursorRow", -1}}, kCursor}, {"D", D, {{"CursorRow", 2}}, kCursor}, {"D", D, {{"CursorRow", 1},
      {"CursorColumn", 19}}, 0},
      {"D", D, {{"CursorColumn", 20}}, kCursor},
      // Texts: within their limits, at them, one past them, or no text at all.
      {"D", D, {{"DisplayText", 40}}, kErrSysInvalidAddress}, {"D", D, {{"DisplayText", text(t40)}}, 0},
      {"D", D, {{"DisplayText", text(t41)}}, kSize}, {"D", D, {{"Rows", 4}, {"Columns", 80}, {"DisplayText", text(t320)}}, 0},
      {"D", D, {{"Rows", 4}, {"Columns", 80}, {"DisplayText", text(t321)}}, kSize},
      {"D", D, {{"DeviceName", Ptr("")}}, kErrSysInvalidName},
      {"D", D, {{"DeviceName", text(n63)}}, 0}, {"D", D, {{"DeviceName", text(n64)}}, kErrSysInvalidName},
      {"D", P, {{"HeaderText", text(h80)}}, 0}, {"D", P, {{"HeaderText", text(h81)}}, kErrSysOutOfBounds},
      {"D", P, {{"HeaderText", 0}}, kErrSysInvalidAddress}, {"D", S, {{"LogFile", text(f255)}}, 0},
      {"D", S, {{"LogFile", text(f256)}}, kErrSysOutOfBounds}, {"D", S, {{"LogFile", Ptr("")}}, 0},
      // Limits that follow from what a value means: a day of the week, an hour, a minute, a switch, a percentage,
      // the tracks of a three-track reader, the standard baud rates; no negative time, length or volume.
      {"D", W, {{"AlarmDay", 6}, {"AlarmHour", 23}, {"AlarmMinutes", 59}, {"PowerState", 0}}, 0}, {"D", W, {{"AlarmDay", 7}}, 6401},
      {"D", W, {{"AlarmHour", -1}}, 6402}, {"D", W, {{"AlarmMinutes", -1}}, 6403}, {"D", W, {{"PowerState", -1}}, kErrSysOutOfBounds},
      {"D", P, {{"Interleaved", 2}}, 4902}, {"D", P, {{"FeedDirection", 2}}, 4909}, {"D", P, {{"DiLfDistance", -1}}, 4908},
      {"D", "PosScale", {{"WeightMode", -1}}, 6204}, {"D", "PosTouch", {{"ToneVolume", 100}, {"ExitClick", 0}, {"Backlight", 0}}, 0},
      {"D", "PosTouch", {{"ExitClick", 2}}, 6705}, {"D", "PosTouch", {{"Backlight", 2}}, 6701}, {"D", "PosMsr", {{"Tracks", 7}}, 0},
      {"D", "PosMsr", {{"Tracks", 8}}, kErrSysOutOfBounds}, {"D", R, {{"BaudRate", 300}, {"BaudRate", 19200}, {"BaudRate", 57600}}, 0},
      {"D", R, {{"BaudRate", 115200}, {"Parity", 0}}, 0}, {"D", R, {{"Parity", -1}}, 5903},
      {"D", S, {{"Timeout", -1}}, kErrSysOutOfBounds},
      {"D", "PosKeyboard", {{"FatFingerTimeout", -1}}, 4706}, {"D", "PosScanner", {{"BeepLength", -1}}, 5705},
      {"D", "PosScanner", {{"BeepVolume", -1}}, 5707}, {"D", "PosNvram", {{"RecordLength", 0}}, 4105}};
  for (Case& c : cases) {
    if (sim_.Initialized()) { ASSERT_EQ(0, sim_.Term()); }  // each on a fresh bench
    Init();
    std::int32_t out = -1;
    EXPECT_EQ(c.status, sim_.Open(c.name, c.cls, c.args.data(), static_cast<std::int32_t>(c.args.size()), &out))
        << c.cls << " " << (c.args.empty() ? "" : c.args[0].name);
    EXPECT_EQ(c.status == 0, out > 0) << out;
  }
  // A refused call changes nothing, not even by the records before the refused one.
  ASSERT_EQ(5901, Set(Open(R), {{"DataBits", 5}, {"BaudRate", 1}}));
  EXPECT_EQ(8, Get(Open(R), "DataBits"));
}

TEST_F(SimEntries, HandlesStayWithinOneByteSkipThoseInUseAndCountAgainstMaxDevices) {
  Init();
  ASSERT_EQ(1, Open("PosSystem"));
  std::vector<std::int32_t> handles;
  for (int i = 0; i < 255; ++i) handles.push_back(Open("PosDisplay")), sim_.Close(handles.back());
  EXPECT_EQ((std::vector<std::int32_t>{2, 255, 2}), (std::vector<std::int32_t>{handles[0], handles[253], handles[254]}))
      << "after 255 the count starts again, past the one in use";
  EXPECT_TRUE(sim_.Close(handles[254]) == kErrSysInvalidDescriptor && sim_.Close(0) == kErrSysFunctionNotSupported);
  ASSERT_EQ(0, Set(1, {{"MaxDevices", 2}}));
  const std::int32_t display = Open("PosDisplay");
  std::int32_t out = -1;
  EXPECT_TRUE(sim_.Open("D", "PosDisplay", nullptr, 0, &out) == kErrSysTooManyDevices && out == 0);
  EXPECT_TRUE(sim_.Close(display) == 0 && Open("PosDisplay") > 0);
}

TEST_F(SimEntries, GetValuesWritesWithinEachBlockOrNothing) {
  Init();
  const std::int32_t display = Open("PosDisplay", kOwn);
  ASSERT_EQ(0, Set(display, {{"Rows", 4}, {"Columns", 80}, {"DisplayText", Ptr("HELLO WORLD")}, {"DeviceName", Ptr("FRONT")}}));
  // The tool's empty text is a block of 100 bytes; a block with text holds no more than it and its end.
  char empty[101], shortBlock[8] = "abc\0UUU", name[100] = "";
  std::memset(empty, 'U', sizeof empty), empty[0] = '\0';
  ResourceArg args[] = {{"Rows", 0}, {"DisplayText", Ptr(empty)}, {"DisplayText", Ptr(shortBlock)}, {"DeviceName", Ptr(name)},
                        {"queueHandle", 0}, {"Slot", -1}};
  std::int32_t out = -1;
  ASSERT_EQ(0, sim_.IOCtl(display, kReqSysGetValues, args, 6, &out));
  EXPECT_EQ((std::vector<std::intptr_t>{4, static_cast<std::intptr_t>(kOwn), 2}),
            (std::vector<std::intptr_t>{args[0].value, args[4].value, args[5].value}));
  EXPECT_EQ("HELLO WORLD" + std::string(88, ' ') + '\0' + 'U', std::string(empty, 101)) << "99 characters of the 320";
  EXPECT_EQ(std::string("HEL\0UUU", 8), std::string(shortBlock, 8));
  EXPECT_STREQ("FRONT", name);
  EXPECT_EQ(static_cast<std::int32_t>(kMain), Get(0, "queueHandle")) << "the queue answers the main window";
  ResourceArg unknown[] = {{"Rows", 77}, {"NoSuchThing", 0}}, noBlock[] = {{"Rows", 77}, {"DisplayText", -1}};
  EXPECT_EQ(kErrSysInvalidName, sim_.IOCtl(display, kReqSysGetValues, unknown, 2, &out));
  EXPECT_EQ(kErrSysInvalidAddress, sim_.IOCtl(display, kReqSysGetValues, noBlock, 2, &out));
  EXPECT_TRUE(unknown[0].value == 77 && noBlock[0].value == 77) << "a refused call writes nothing back";
}

}  // namespace
