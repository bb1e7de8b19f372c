// The code-name tables against the reference's tables: every row's name and
// code in stored order, the subtype rows by key, the named constants by the
// rows they name, and the type labels byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tables/code_tables.h"
#include "tables/pos_codes.h"
#include "tests/unit/reference_tables.h"

namespace {

// "NAME code" for each row before the terminator, which must be {0, null}.
std::vector<std::string> Stored(const CodeName* table) {
  std::vector<std::string> rows;
  for (; table->Name != nullptr; ++table) rows.push_back(std::string(table->Name) + " " + std::to_string(table->Code));
  EXPECT_EQ(table->Code, 0) << "terminator";
  return rows;
}

std::vector<std::string> Listed(const RefRows& rows) {
  std::vector<std::string> out;
  for (const RefRow& row : rows) out.push_back(row.name + " " + std::to_string(row.code));
  return out;
}

std::string SubtypeName(std::int32_t key) {
  for (const CodeName* row = DeviceSubtypeNames; row->Name != nullptr; ++row)
    if (row->Code == key) return row->Name;
  return "";
}

}  // namespace

TEST(CodeTables, EveryRowAsListedInStoredOrder) {
  const struct {
    const CodeName* table;
    const RefRows& rows;
  } kTables[] = {{ErrorNames, RefErrors()}, {MessageNames, RefMessages()}, {IoctlRequestNames, RefRequests()},
                 {SlotNames, RefSlots()},   {PortNames, RefPorts()},       {DeviceTypeNames, RefTypes()},
                 {DeviceClassNames, RefClasses()}};
  for (const auto& t : kTables) EXPECT_EQ(Stored(t.table), Listed(t.rows));
}

// Subtype keys are unique, so only the set of keys and each key's name
// count. The model rows' names are free, but shared exactly where stated.
TEST(CodeTables, SubtypeRowsByKey) {
  const std::vector<std::int32_t> kModelKeys = {0x4A01, 0x4A02, 0x4A03, 0x4A04, 0x4A05, 0x4A06,
                                                0x4B01, 0x4B02, 0x4B03, 0x6A01, 0x6A02, 0x6E01,
                                                0x6E02, 0x5C01, 0x5C02, 0x5C03, 0x5C0A, 0x5C0B};
  std::vector<std::int32_t> stored, expected = kModelKeys;
  for (const CodeName* row = DeviceSubtypeNames; row->Name != nullptr; ++row) stored.push_back(row->Code);
  for (const RefRow& row : RefSubtypes()) expected.push_back(row.code);
  std::sort(stored.begin(), stored.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(stored, expected);
  EXPECT_EQ(Stored(DeviceSubtypeNames).size(), stored.size());  // and the terminator is {0, null}

  for (const RefRow& row : RefSubtypes()) EXPECT_EQ(SubtypeName(row.code), row.name) << std::hex << row.code;
  std::set<std::string> models;
  for (std::int32_t key : kModelKeys) models.insert(SubtypeName(key));
  EXPECT_EQ(models.size(), kModelKeys.size() - 4);
  for (std::int32_t key : {0x6A01, 0x6E01}) EXPECT_EQ(SubtypeName(key), SubtypeName(0x4A01));
  for (std::int32_t key : {0x6A02, 0x6E02}) EXPECT_EQ(SubtypeName(key), SubtypeName(0x4A04));
}

// Each named constant carries the code of the row it names.
TEST(CodeTables, NamedConstantsCarryTheirRowsCodes) {
  const RefRows* rows = nullptr;
  auto codeOf = [&rows](const char* name) {
    for (const RefRow& row : *rows)
      if (row.name == name) return row.code;
    ADD_FAILURE() << name << " is no row of the reference";
    return -1;
  };
#define EXPECT_ROW_CODE(constant, code, name) EXPECT_EQ(pos::constant, codeOf(name)) << #constant;
  rows = &RefErrors();
  REVEDIZ_POS_SYS_ERRORS(EXPECT_ROW_CODE)
  rows = &RefMessages();
  REVEDIZ_POS_MESSAGES(EXPECT_ROW_CODE)
  rows = &RefRequests();
  REVEDIZ_POS_REQUESTS(EXPECT_ROW_CODE)
  rows = &RefSlots();
  REVEDIZ_POS_SLOTS(EXPECT_ROW_CODE)
  rows = &RefPorts();
  REVEDIZ_POS_PORTS(EXPECT_ROW_CODE)
  rows = &RefTypes();
  REVEDIZ_POS_DEVICE_TYPES(EXPECT_ROW_CODE)
  rows = &RefClasses();
  REVEDIZ_POS_DEVICE_CLASSES(EXPECT_ROW_CODE)
#undef EXPECT_ROW_CODE
}

TEST(CodeTables, TypeLabelsAreTwelveCharactersInFifteenByteSlots) {
  const char kSlots[] = "Hex         \0\0\0Dec         \0\0\0String      \0\0\0";
  ASSERT_EQ(sizeof ArgumentTypeNames, sizeof kSlots - 1);
  EXPECT_EQ(std::memcmp(ArgumentTypeNames, kSlots, sizeof kSlots - 1), 0);
}
