// The code-name tables as data: row counts, terminators and the invariants
// the lookups rely on, all found by walking the tables; and the named code
// constants checked against the rows they stand for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tables/code_tables.h"
#include "tables/pos_codes.h"

namespace {

// Rows before the terminator; the terminator is the row with a null name.
std::vector<CodeName> Rows(const CodeName* table) {
  std::vector<CodeName> rows;
  for (; table->Name != nullptr; ++table) rows.push_back(*table);
  return rows;
}

const CodeName& Terminator(const CodeName* table) {
  while (table->Name != nullptr) ++table;
  return *table;
}

std::string WithoutUnderscores(const char* name) {
  std::string out;
  for (; *name; ++name)
    if (*name != '_') out += *name;
  return out;
}

struct TableInfo {
  const char* label;
  const CodeName* table;
  std::size_t rows;
};

const TableInfo kTables[] = {
    {"ErrorNames", ErrorNames, 147},
    {"MessageNames", MessageNames, 20},
    {"IoctlRequestNames", IoctlRequestNames, 45},
    {"SlotNames", SlotNames, 9},
    {"PortNames", PortNames, 3},
    {"DeviceTypeNames", DeviceTypeNames, 57},
    {"DeviceClassNames", DeviceClassNames, 13},
    {"DeviceSubtypeNames", DeviceSubtypeNames, 37},
};

}  // namespace

TEST(CodeTables, EachTableHasItsRowsAndAZeroTerminator) {
  for (const auto& t : kTables) {
    SCOPED_TRACE(t.label);
    EXPECT_EQ(Rows(t.table).size(), t.rows);
    EXPECT_EQ(Terminator(t.table).Code, 0);
  }
}

TEST(CodeTables, NamesAreNonEmptyUpperCaseAndShorterThan128) {
  std::size_t longest = 0;
  for (const auto& t : kTables) {
    for (const auto& row : Rows(t.table)) {
      SCOPED_TRACE(std::string(t.label) + " " + row.Name);
      const std::size_t length = std::strlen(row.Name);
      EXPECT_GT(length, 0u);
      EXPECT_LT(length, 128u);
      longest = std::max(longest, length);
      for (const char* p = row.Name; *p; ++p)
        EXPECT_TRUE((*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9') || *p == '_') << *p;
    }
  }
  EXPECT_EQ(longest, 42u);
}

TEST(CodeTables, OnlyDeviceTypesRepeatCodes) {
  for (const auto& t : kTables) {
    SCOPED_TRACE(t.label);
    std::set<std::int32_t> seen;
    std::vector<std::int32_t> repeated;
    for (const auto& row : Rows(t.table))
      if (!seen.insert(row.Code).second) repeated.push_back(row.Code);
    if (t.table == DeviceTypeNames)
      EXPECT_EQ(repeated, (std::vector<std::int32_t>{0x10, 0x40, 0x34}));
    else
      EXPECT_TRUE(repeated.empty());
  }
}

TEST(CodeTables, RepeatedDeviceTypesListTheFirstNameFirst) {
  auto firstName = [](std::int32_t code) -> std::string {
    for (const auto& row : Rows(DeviceTypeNames))
      if (row.Code == code) return row.Name;
    return "";
  };
  EXPECT_EQ(firstName(0x10), "CHECKOUT_KEYBOARD_A");
  EXPECT_EQ(firstName(0x40), "MSR_1_TRACK_A");
  EXPECT_EQ(firstName(0x34), "PRINTER_3");
}

TEST(CodeTables, NoRequestNameIsContainedInAnother) {
  const auto rows = Rows(IoctlRequestNames);
  for (const auto& a : rows)
    for (const auto& b : rows) {
      if (&a == &b) continue;
      EXPECT_EQ(WithoutUnderscores(b.Name).find(WithoutUnderscores(a.Name)), std::string::npos)
          << a.Name << " is contained in " << b.Name;
    }
}

TEST(CodeTables, NameFamiliesHaveTheirRowCounts) {
  auto count = [](const CodeName* table, const char* prefix) {
    std::size_t n = 0;
    for (const auto& row : Rows(table))
      if (std::strncmp(row.Name, prefix, std::strlen(prefix)) == 0) ++n;
    return n;
  };
  EXPECT_EQ(count(ErrorNames, "POSERR_SCAN_"), 47u);
  EXPECT_EQ(count(ErrorNames, "POSERR_SYS_"), 36u);
  EXPECT_EQ(count(ErrorNames, "POSERR_KBD_"), 12u);
  EXPECT_EQ(count(IoctlRequestNames, "POS_KBD_"), 16u);
  EXPECT_EQ(count(MessageNames, "POSM_PRN_"), 6u);
  // Every error code lies in its family's block of one hundred.
  const struct { const char* prefix; int block; } kFamilies[] = {
      {"POSERR_SYS_", 3},    {"POSERR_NVRAM_", 41}, {"POSERR_DSP_", 44},   {"POSERR_KBD_", 47},
      {"POSERR_PRN_", 49},   {"POSERR_TILL_", 54},  {"POSERR_SCAN_", 57},  {"POSERR_RS232_", 59},
      {"POSERR_SCALE_", 62}, {"POSERR_POWER_", 64}, {"POSERR_TOUCH_", 67},
  };
  std::size_t classified = 0;
  for (const auto& row : Rows(ErrorNames))
    for (const auto& f : kFamilies)
      if (std::strncmp(row.Name, f.prefix, std::strlen(f.prefix)) == 0) {
        ++classified;
        EXPECT_EQ(row.Code / 100, f.block) << row.Name;
      }
  EXPECT_EQ(classified, 147u);
}

TEST(CodeTables, SubtypeKeysBelongToListedDeviceTypes) {
  for (const auto& row : Rows(DeviceSubtypeNames)) {
    SCOPED_TRACE(row.Name);
    EXPECT_NE(row.Code & 0xFF, 0) << "subtype 0 has no row";
    bool typeListed = false;
    for (const auto& type : Rows(DeviceTypeNames)) typeListed |= type.Code == (row.Code >> 8);
    EXPECT_TRUE(typeListed);
  }
}

TEST(CodeTables, ModelSubtypesShareNamesOnlyWhereTheyShouldAndAreUnique) {
  const std::int32_t kModelKeys[] = {0x4A01, 0x4A02, 0x4A03, 0x4A04, 0x4A05, 0x4A06,
                                     0x4B01, 0x4B02, 0x4B03, 0x6A01, 0x6A02, 0x6E01,
                                     0x6E02, 0x5C01, 0x5C02, 0x5C03, 0x5C0A, 0x5C0B};
  auto nameOf = [](std::int32_t key) -> std::string {
    for (const auto& row : Rows(DeviceSubtypeNames))
      if (row.Code == key) return row.Name;
    return "";
  };
  std::set<std::string> distinct;
  for (std::int32_t key : kModelKeys) {
    ASSERT_NE(nameOf(key), "") << std::hex << key;
    distinct.insert(nameOf(key));
  }
  EXPECT_EQ(nameOf(0x4A01), nameOf(0x6A01));
  EXPECT_EQ(nameOf(0x4A01), nameOf(0x6E01));
  EXPECT_EQ(nameOf(0x4A04), nameOf(0x6A02));
  EXPECT_EQ(nameOf(0x4A04), nameOf(0x6E02));
  EXPECT_EQ(distinct.size(), 18u - 4u);
  // The model names are their own: none is also a display or keyboard subtype.
  for (const auto& row : Rows(DeviceSubtypeNames)) {
    const int type = row.Code >> 8;
    if (type == 0x24 || type == 0x25 || type == 0x1C || type == 0x1D || type == 0x81) {
      EXPECT_EQ(distinct.count(row.Name), 0u) << row.Name;
    }
  }
  // 18 model rows plus 6 display, 12 keyboard and 1 system keyboard row.
  EXPECT_EQ(Rows(DeviceSubtypeNames).size(), 18u + 6u + 12u + 1u);
}

TEST(CodeTables, ArgumentTypeLabelsArePaddedTo12AndNulFilled) {
  const char* kWords[] = {"Hex", "Dec", "String"};
  for (int i = 0; i < kArgumentTypeCount; ++i) {
    SCOPED_TRACE(kWords[i]);
    const char* slot = ArgumentTypeNames[i];
    const std::size_t word = std::strlen(kWords[i]);
    EXPECT_EQ(std::strncmp(slot, kWords[i], word), 0);
    for (std::size_t j = word; j < 12; ++j) EXPECT_EQ(slot[j], ' ') << j;
    for (int j = 12; j < kArgumentTypeSlotSize; ++j) EXPECT_EQ(slot[j], '\0') << j;
  }
  EXPECT_EQ(sizeof ArgumentTypeNames, 45u);
}

// --- Named constants -------------------------------------------------------

namespace {

struct NamedConstant {
  std::int32_t value;
  const char* name;
};

// The constant itself (not the number in its list entry) with its row name.
#define NAMED_CONSTANT(constant, code, name) {pos::constant, name},
const NamedConstant kSysErrorConstants[] = {REVEDIZ_POS_SYS_ERRORS(NAMED_CONSTANT)};
const NamedConstant kMessageConstants[] = {REVEDIZ_POS_MESSAGES(NAMED_CONSTANT)};
const NamedConstant kRequestConstants[] = {REVEDIZ_POS_REQUESTS(NAMED_CONSTANT)};
const NamedConstant kSlotConstants[] = {REVEDIZ_POS_SLOTS(NAMED_CONSTANT)};
const NamedConstant kPortConstants[] = {REVEDIZ_POS_PORTS(NAMED_CONSTANT)};
const NamedConstant kDeviceTypeConstants[] = {REVEDIZ_POS_DEVICE_TYPES(NAMED_CONSTANT)};
const NamedConstant kDeviceClassConstants[] = {REVEDIZ_POS_DEVICE_CLASSES(NAMED_CONSTANT)};
#undef NAMED_CONSTANT

// Every constant names an existing row by its exact name and carries that
// row's code, and together the constants cover every row they stand for.
void ExpectConstantsMatchRows(const CodeName* table, const NamedConstant* constants,
                              std::size_t count, const char* prefix) {
  std::set<std::string> covered;
  for (std::size_t i = 0; i < count; ++i) {
    SCOPED_TRACE(constants[i].name);
    const CodeName* row = table;
    while (row->Name != nullptr && std::strcmp(row->Name, constants[i].name) != 0) ++row;
    ASSERT_NE(row->Name, nullptr) << "no row of that name";
    EXPECT_EQ(row->Code, constants[i].value);
    EXPECT_TRUE(covered.insert(constants[i].name).second) << "listed twice";
  }
  std::size_t rows = 0;
  for (const auto& row : Rows(table))
    if (std::strncmp(row.Name, prefix, std::strlen(prefix)) == 0) ++rows;
  EXPECT_EQ(covered.size(), rows);
}

}  // namespace

#define EXPECT_CONSTANTS(table, constants, prefix) \
  ExpectConstantsMatchRows(table, constants, std::size(constants), prefix)

TEST(PosCodes, EveryConstantEqualsItsRow) {
  EXPECT_CONSTANTS(ErrorNames, kSysErrorConstants, "POSERR_SYS_");
  EXPECT_CONSTANTS(MessageNames, kMessageConstants, "POSM_");
  EXPECT_CONSTANTS(IoctlRequestNames, kRequestConstants, "POS_");
  EXPECT_CONSTANTS(SlotNames, kSlotConstants, "");
  EXPECT_CONSTANTS(PortNames, kPortConstants, "");
  EXPECT_CONSTANTS(DeviceTypeNames, kDeviceTypeConstants, "");
  EXPECT_CONSTANTS(DeviceClassNames, kDeviceClassConstants, "");
}
