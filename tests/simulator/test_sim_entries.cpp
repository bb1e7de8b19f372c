// The entries that set the library up and hand out handles (initialize, open,
// close, term), the names they know, their limits, and GET_VALUES.
#if defined(__linux__)
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <array>
#include <cctype>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>
#include <utility>

#include "sim_fixture.h"
#include "simulator/sim_codes.h"
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
      {{q, {"TestInputs", 2}}, 2, kErrSysOutOfBounds}, {{q, {"TestInputs", -1}}, 2, kErrSysOutOfBounds},
      {q257, 256, 0}, {q257, 257, kErrSysInvalidNargs}};
  for (Case& c : cases) {
    std::int32_t out = 7;
    EXPECT_TRUE(sim_.Open("D", "PosDisplay", nullptr, 0, &out) == kErrSysNotInitialized && out == 0 &&
                sim_.Close(1) == kErrSysNotInitialized && Ioctl(0, kReqSysGetValues) == kErrSysNotInitialized &&
                Write(1, "x") == kErrSysNotInitialized);
    EXPECT_EQ(c.status, sim_.Initialize("APP", "FILE", c.args.data(), c.count)) << c.count;
    EXPECT_NE(gJournal.find("resfile=\"FILE\" count=" + std::to_string(c.count) + "\r\n"), std::string::npos);
    EXPECT_EQ(c.status == 0 ? 12u : 0u, gPosts.size());
    if (c.status != 0) continue;
    EXPECT_EQ(kErrSysAlreadyInitialized, sim_.Initialize("APP", "FILE", c.args.data(), 1));
    // Descriptor 0, which no Open made, reads back the window notifications go to.
    ResourceArg window{"queueHandle", 0};
    EXPECT_EQ(std::tuple(0, gQueue.value), std::tuple(sim_.IOCtl(0, kReqSysGetValues, &window, 1, &out), window.value));
    for (int i = 0; i < 10; ++i) Open("PosMsr");
    Forget();  // term closes every handle and empties the queue, and posts nothing: the window may be gone
    EXPECT_TRUE(sim_.Term() == 0 && sim_.Term() == kErrSysNotInitialized);
    EXPECT_EQ("DLL_PosTerm\r\n  # closed 10 open devices\r\n  -> 0\r\nDLL_PosTerm\r\n  # refused: not initialized\r\n"
              "  -> 302\r\n", gJournal);
    EXPECT_TRUE(gPosts.empty() && sim_.Queue().Empty() && sim_.OpenDevices().empty() && sim_.QueueWindow() == 0);
  }
  const std::string app(4097, 'A');  // a text argument is journaled up to its 4096th character
  EXPECT_EQ(0, sim_.Initialize(app.c_str(), "F", &gQueue, 1));
  EXPECT_NE(gJournal.find("app=\"" + app.substr(1) + "\" resfile=\"F\""), std::string::npos);
  std::int32_t out = -1;  // a device name of up to 255 characters
  EXPECT_EQ(kErrSysInvalidName, sim_.Open(std::string(256, 'd').c_str(), "PosDisplay", nullptr, 0, &out));
  ASSERT_EQ(0, sim_.Open(std::string(255, 'd').c_str(), "PosSystem", nullptr, 0, &out));
  std::vector<std::int32_t> handles;
  for (int i = 0; i < 255; ++i) handles.push_back(Open("PosDisplay")), sim_.Close(handles.back());
  EXPECT_EQ((std::vector<std::int32_t>{2, 255, 2}), (std::vector<std::int32_t>{handles[0], handles[253], handles[254]}))
      << "after 255 the count starts again, past the one in use";
}

// The lines of a file of the sources (data files, documents), CR dropped.
std::vector<std::string> SourceLines(const std::string& path) {
  std::ifstream in(std::string(REVEDIZ_SOURCE_DIR) + "/" + path);
  EXPECT_TRUE(in.is_open()) << path;
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.find('\r')));
  return lines;
}
bool Named(const CodeName* row, std::int32_t code) {
  while (row->Name != nullptr && row->Code != code) ++row;
  return row->Name != nullptr;
}

// Every bench device is one the tool can name. Each class's list file names the resources that
// simulator/RESOURCES.md gives it, and each takes the values documented there (the ends of a range, every
// value of a list, texts of the shortest and longest length), starts at the documented value, and refuses
// the values just outside with the documented status.
TEST_F(SimEntries, EveryListedResourceTakesItsDocumentedValues) {
  const std::vector<std::string> classes = SourceLines("data/PRESOURC.DAT");
  ASSERT_EQ(static_cast<std::size_t>(sim::kClassCount), classes.size());
  std::map<std::string, std::vector<std::string>> documented;  // class: its resources in order
  for (const std::string& row : SourceLines("simulator/RESOURCES.md")) {
    std::vector<std::string> cell;  // class, resource, values, initial, status
    std::istringstream cells(row.substr(row.rfind("| Pos", 0) == 0 ? 1 : row.size()));
    for (std::string c; std::getline(cells, c, '|');) cell.push_back(c.substr(1, c.size() - 2));
    if (cell.size() != 5) continue;
    const std::string listed = cell[1].substr(1, cell[1].size() - 2), kind = listed.substr(0, 4);
    const std::string name = listed.substr(4);
    documented[cell[0]].push_back(listed);
    std::int32_t status = 0, low = 0, high = 0;
    for (const CodeName* e = ErrorNames; e->Name != nullptr; ++e) status = cell[4] == e->Name ? e->Code : status;
    Init();
    const std::int32_t handle = Open(cell[0] == "PosDevice" ? "PosDisplay" : cell[0].c_str());
    std::vector<std::string> texts;  // kept alive until the call
    const auto set = [&](std::int64_t v) {
      texts.push_back(std::string(static_cast<std::size_t>(v < 0 ? 0 : v), 't'));
      return Set(handle, {{name.c_str(), kind == "PosS" ? Ptr(texts.back().c_str()) : static_cast<std::intptr_t>(v)}});
    };
    char text[400] = "";  // an empty block takes 100 bytes
    ResourceArg get{name.c_str(), Ptr(text)};
    std::int32_t out = 0;
    const std::string initial = kind == "PosS" && sim_.IOCtl(handle, kReqSysGetValues, &get, 1, &out) == 0
                                    ? '"' + std::string(text) + '"' : std::to_string(Get(handle, name.c_str()));
    const bool stated = cell[3][0] == '"' || std::isdigit(static_cast<unsigned char>(cell[3][0]));
    EXPECT_TRUE(!stated || cell[3] == initial) << name << " starts at " << initial;
    EXPECT_TRUE(cell[2] != "read only" || std::pair(set(std::stoi(initial)), set(-7)) == std::pair(0, status)) << name;
    if (std::sscanf(cell[2].c_str(), "%d to %d", &low, &high) == 2) {
      EXPECT_EQ(std::tuple(0, 0, status, status), std::tuple(set(low), set(high), set(high + std::int64_t{1}),
                                                             kind == "PosS" && low == 0 ? status : set(low - 1)))
          << name;
    } else if (std::isdigit(static_cast<unsigned char>(cell[2][0]))) {  // a list: each accepted, none between
      std::istringstream list(cell[2]);
      for (std::int32_t v; list >> v; list.ignore(1)) EXPECT_TRUE(set(v) == 0 && set(v + 1) == status) << name << v;
    }
  }
  // A class and a resource are matched whole and case-sensitively, in the class's own table only.
  EXPECT_EQ((std::vector<int>(6, -1)), (std::vector<int>{sim::FindClass(nullptr), sim::FindClass("posmsr"),
      sim::FindClass("PosMs"), sim::FindResource(-1, "Timeout"), sim::FindResource(sim::kClassCount, "Timeout"),
      sim::FindResource(0, nullptr)}));
  for (int c = 0; c < sim::kClassCount; ++c) {
    const sim::ClassDef& cls = sim::kClasses[c];
    EXPECT_EQ(c, sim::FindClass(classes[static_cast<std::size_t>(c)].c_str()));
    EXPECT_EQ(-1, sim::FindClass((classes[static_cast<std::size_t>(c)] + "x").c_str()));
    EXPECT_EQ(SourceLines(std::string("data/") + cls.listFile), documented[cls.name]) << cls.name;
    EXPECT_TRUE(c <= sim::kGenericClass ||
                (Named(DeviceClassNames, cls.classCode) && Named(DeviceTypeNames, cls.type) &&
                 Named(SlotNames, cls.slot) && Named(PortNames, cls.port) &&
                 (!cls.subtype || Named(DeviceSubtypeNames, cls.type << 8 | cls.subtype))));
  }
}

// Where the platform knows the caller's memory to the byte, a buffer, data, records or any entry's out value may end
// where it ends; a text must end before it, and an out value that may be read but not written is refused.
TEST(SimMemory, BuffersMayEndWhereTheCallersMemoryEnds) {
  alignas(8) static unsigned char memory[64];  // all else but null counts as mapped; a DeviceName of 63 (its longest)
  std::memset(memory, 'N', sizeof memory);     // characters from memory + 1 has no end
  static const ResourceArg fixed{"Mode", 1};   // may be read, not written
  static std::int32_t readOnly = 0;            // so too, as an out value
  sim::Simulator lib(sim::Platform{nullptr, nullptr, [](const void* at, bool forWrite) -> std::size_t {
    if (at == &fixed) return forWrite ? 0 : sizeof fixed;
    if (at == &readOnly) return forWrite ? 0 : sizeof readOnly;
    const auto* p = static_cast<const unsigned char*>(at);
    return p >= memory && p < memory + 64 ? static_cast<std::size_t>(memory + 64 - p) : p ? 1u << 20 : 0;
  }});
  std::int32_t handle = 0, out = 0, set = kReqSysSetValues;
  std::int32_t* outs[] = {reinterpret_cast<std::int32_t*>(memory + 60), reinterpret_cast<std::int32_t*>(memory + 61)};
  ResourceArg name{"DeviceName", reinterpret_cast<std::intptr_t>(memory + 1)};
  ASSERT_EQ(0, lib.Initialize("REVEDIZ", "", &gQueue, 1) + lib.Open("D", "PosNvram", nullptr, 0, &handle));
  const std::vector<std::int32_t> answers{lib.IOCtl(handle, set, &name, 1, &out),
      lib.IOCtl(handle, kReqSysGetValues, &name, 1, &out), lib.IOCtl(handle, set, nullptr, 1, &out),
      lib.Read(handle, memory + 48, 16, &out), lib.Read(handle, memory + 49, 16, &out),
      lib.Write(handle, memory + 48, 16, &out), lib.Write(handle, memory + 49, 16, &out),
      lib.IOCtl(handle, set, nullptr, 0, outs[0]), lib.IOCtl(handle, set, nullptr, 0, outs[1]),
      lib.IOCtl(handle, set, const_cast<ResourceArg*>(&fixed), 1, &out), lib.Write(handle, &fixed, 4, &out),
      lib.IOCtl(handle, kReqSysGetValues, const_cast<ResourceArg*>(&fixed), 1, &out),  // values go into records
      lib.Open("E", "PosMsr", nullptr, 0, outs[0]), lib.Open("E", "PosMsr", nullptr, 0, outs[1]),
      lib.Read(handle, memory, 4, outs[0]), lib.Read(handle, memory, 4, outs[1]), lib.Write(handle, memory, 4, outs[0]),
      lib.Write(handle, memory, 4, outs[1]), lib.Open("E", "PosMsr", nullptr, 0, &readOnly),
      lib.IOCtl(handle, set, nullptr, 0, &readOnly), lib.Read(handle, memory, 4, &readOnly),
      lib.Write(handle, memory, 4, &readOnly)};
  const std::int32_t bad = kErrSysInvalidAddress;
  EXPECT_EQ((std::vector<std::int32_t>{bad, bad, bad, 0, bad, 0, bad, 0, bad, 0, 0, bad, 0, bad, 0, bad, 0, bad, bad,
                                       bad, bad, bad}),
            answers);
  ResourceArg* const last = reinterpret_cast<ResourceArg*>(memory + 64) - 2;  // two records that end with it
  std::memcpy(last, std::array{fixed, fixed}.data(), 2 * sizeof fixed);
  EXPECT_EQ(std::pair(0, 0),
            std::pair(lib.IOCtl(handle, set, last, 2, &out), lib.IOCtl(handle, kReqSysGetValues, last, 2, &out)));
}

TEST_F(SimEntries, GetValuesWritesWithinEachBlockOrNothing) {
  Init();
  const std::int32_t display = Open("PosDisplay", kOwn);
  // The name stays through a later call that gives none; a setting is kept by the system's handle.
  ASSERT_EQ(0, Set(display, {{"DeviceName", Ptr("FRONT")}}) +
                   Set(display, {{"Rows", 4}, {"Columns", 80}, {"DisplayText", Ptr("HI")}}) +
                   Set(Open("PosSystem"), {{"LogFile", Ptr("X.LOG")}}));
  // The tool's empty text is a block of 100 bytes; a block with text holds no more than it and its end.
  char empty[101], shortBlock[8] = "abc\0UUU", name[8] = "abcd\0UU", logFile[100] = "";
  std::memset(empty, 'U', sizeof empty), empty[0] = '\0';
  ResourceArg args[] = {{"Rows", 77}, {"DisplayText", Ptr(empty)}, {"DisplayText", Ptr(shortBlock)},
                        {"DeviceName", Ptr(name)}, {"queueHandle", 0}, {"LogFile", Ptr(logFile)}, {"Rows", 77}};
  std::int32_t out = -1;
  ASSERT_EQ(0, sim_.IOCtl(display, kReqSysGetValues, args + 1, 5, &out));  // the records between the two Rows
  EXPECT_EQ("HI" + std::string(97, ' ') + '\0' + 'U', std::string(empty, 101)) << "99 characters of the 320";
  EXPECT_EQ(std::string("HI \0UUU", 8), std::string(shortBlock, 8));
  EXPECT_EQ(std::string("FRON\0UU", 8), std::string(name, 8)) << "a name cut one short of its block";
  EXPECT_TRUE(args[4].value == kOwn && std::string(logFile) == "X.LOG");
  EXPECT_EQ(0x24, Get(display, "DeviceType")) << "ANOP_DISPLAY_A, as its notifications give it";
  EXPECT_TRUE(args[0].value == 77 && args[6].value == 77);
  ResourceArg refused[] = {{"Rows", 77}, {"DisplayText", -1}};
  EXPECT_EQ(kErrSysInvalidAddress, sim_.IOCtl(display, kReqSysGetValues, refused, 2, &out));
  EXPECT_EQ(77, refused[0].value) << "a refused call writes nothing back";
  refused[1].value = 0;  // no block at all
  EXPECT_EQ(kErrSysInvalidAddress, sim_.IOCtl(display, kReqSysGetValues, refused, 2, &out));
}

}  // namespace
