// The public header simulator/vavuro32.h against what the tool and the simulator use: its numbers against the tool's
// code tables, both ways, and its records against the simulator's own.
#include <gtest/gtest.h>

#include <cctype>
#include <cstddef>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <tuple>

#include "api/device_api.h"
#include "simulator/message_queue.h"
#include "simulator/resource_table.h"
#include "simulator/vavuro32.h"
#include "tables/code_tables.h"

namespace {

static_assert(sizeof(PosContext) == 16);  // the tool's binding passes a 16-byte block as the context (api/binding.cpp)

static_assert(sizeof(PosResourceArg) == sizeof(ResourceArg) && offsetof(PosResourceArg, name) == offsetof(ResourceArg, name) &&
              offsetof(PosResourceArg, value) == offsetof(ResourceArg, value) &&
              sizeof(PosResourceArg::value) == sizeof(ResourceArg::value));
static_assert(VAVURO_QUEUE_RECORD_SIZE == sim::kQueueRecordSize && sizeof(PosQueueRecord) == sim::kQueueRecordSize);

using NumberMap = std::map<std::string, long>;

std::string HeaderText() {
  std::ifstream file(REVEDIZ_SOURCE_DIR "/simulator/vavuro32.h");
  return {std::istreambuf_iterator<char>(file), {}};
}

// Every "#define PREFIX... NUMBER" of the header, decimal or hexadecimal.
NumberMap HeaderNumbers(const std::string& prefix) {
  std::istringstream text(HeaderText());
  NumberMap found;
  for (std::string line; std::getline(text, line);) {
    std::istringstream words(line);
    std::string define, name, value;
    words >> define >> name >> value;
    const bool named = define == "#define" && name.starts_with(prefix) &&
                       name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") == std::string::npos;
    std::size_t used = 0;
    if (named && !value.empty() && std::isdigit(static_cast<unsigned char>(value[0]))) {
      const long number = std::stol(value, &used, 0);
      if (used == value.size()) found[name] = number;
    }
  }
  return found;
}

TEST(PublicHeader, NamesEveryCodeOfTheToolTablesWithItsNumberAndReadsTheQueueRecord) {
  const struct { const char* prefix; const CodeName* table; } families[] = {
      {"POSERR_", ErrorNames}, {"POSM_", MessageNames}, {"POS_", IoctlRequestNames}};
  for (const auto& family : families) {
    const NumberMap header = HeaderNumbers(family.prefix);
    NumberMap rows;
    for (const CodeName* row = family.table; row->Name != nullptr; ++row) rows[row->Name] = row->Code;
    EXPECT_FALSE(header.empty()) << family.prefix;
    for (const auto& [name, number] : header) EXPECT_EQ(rows.count(name) != 0 ? rows.at(name) : -1, number) << name;
    for (const auto& row : rows) EXPECT_EQ(header.count(row.first), 1u) << row.first << " not in the header";
  }
  sim::MessageQueue queue;
  queue.Push(POSM_MSR_DATA_AVAIL, 0x01220005u, 89u);
  unsigned char bytes[VAVURO_QUEUE_RECORD_SIZE];
  ASSERT_EQ(queue.PopInto(bytes, sizeof bytes), VAVURO_QUEUE_RECORD_SIZE);
  PosQueueRecord record;
  std::memcpy(&record, bytes, sizeof record);  // a little-endian host, as Windows is
  EXPECT_EQ(std::tuple(record.opaque, record.message, record.mp1, record.mp2),
            std::tuple(1u, static_cast<std::uint32_t>(POSM_MSR_DATA_AVAIL), 0x01220005u, 89u));
}

}  // namespace
