#include "dialogs/dialog_common.h"

#include <cstdio>
#include <cstring>

#include "res/resource_ids.h"
#include "resources/arguments.h"
#include "resources/resource_files.h"
#include "tables/code_tables.h"

namespace {

constexpr WPARAM kResourcesListExtent = 300;

void AddComboEntry(const char* entry, void* context) {
  SendMessageA(static_cast<HWND>(context), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
}

}  // namespace

int ReadControlText(HWND dialog, int id, char* buffer, int bufferSize) {
  std::memset(buffer, 0, static_cast<std::size_t>(bufferSize));
  return static_cast<int>(GetDlgItemTextA(dialog, id, buffer, bufferSize));
}

int LoadResourceList(const char* fileName, HWND combo) {
  return ReadResourceList(fileName, AddComboEntry, combo);
}

void LoadResourceListSelectFirst(HWND dialog, int id, const char* fileName) {
  HWND combo = GetDlgItem(dialog, id);
  LoadResourceList(fileName, combo);
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
}

void ReloadResourceList(HWND dialog, const char* fileName) {
  SendDlgItemMessageA(dialog, IDC_RESOURCE, CB_RESETCONTENT, 0, 0);
  LoadResourceListSelectFirst(dialog, IDC_RESOURCE, fileName);
}

void PrepareArgumentControls(HWND dialog, std::int32_t* count) {
  for (const char* label : ArgumentTypeNames)
    SendDlgItemMessageA(dialog, IDC_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label));
  SendDlgItemMessageA(dialog, IDC_TYPE, CB_SETCURSEL, 0, 0);
  SendDlgItemMessageA(dialog, IDC_RESOURCES_LIST, LB_SETHORIZONTALEXTENT, kResourcesListExtent, 0);
  ClearArgumentTable();
  *count = 0;
}

void AddResourceRow(HWND dialog, std::int32_t* count) {
  char name[kFieldBufferSize];
  char type[kFieldBufferSize];
  char value[kFieldBufferSize];
  ReadControlText(dialog, IDC_RESOURCE, name);
  ReadControlText(dialog, IDC_VALUE, value);
  ReadControlText(dialog, IDC_TYPE, type);
  if (!AddPendingResource(name, type, value, *count)) return;
  SendDlgItemMessageA(dialog, IDC_RESOURCES_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  char countText[16];
  std::snprintf(countText, sizeof countText, "%d", static_cast<int>(*count));
  SetDlgItemTextA(dialog, IDC_N_ARGUMENTS, countText);
}
