// Win32 helpers shared by the command dialogs: reading a control's text,
// filling a combo box from a resource list file, and the argument controls
// (Resource 204, Type 205, Value 206, Resources List 208, N Arguments 202)
// that the Initialize, Open and Ioctl dialogs share. Thin glue over the
// window-free reader (resources/resource_files.h) and argument table
// (resources/arguments.h).
#ifndef REVEDIZ_DIALOGS_DIALOG_COMMON_H
#define REVEDIZ_DIALOGS_DIALOG_COMMON_H

#include <windows.h>

#include <cstdint>

// A dialog text field is read into a buffer of this size: at most 253
// characters and the terminator.
inline constexpr int kFieldBufferSize = 254;

// Zeroes buffer and reads the text of control id of dialog into it, at most
// bufferSize - 1 characters (253 for the default size; file name fields pass
// 100 for 99). Returns the number of characters read. For a drop-down list
// combo box the text is that of the selected entry, empty when none is.
int ReadControlText(HWND dialog, int id, char* buffer, int bufferSize = kFieldBufferSize);

// Adds the entries of resource list file fileName, in file order, at the end
// of combo box combo. Returns 0 when the file was read, 1 when it could not be
// opened (" File : %s is not found." is then logged and nothing is added).
// Neither empties the combo box first nor selects an entry.
int LoadResourceList(const char* fileName, HWND combo);

// Loads fileName into combo box id of dialog (as LoadResourceList) and selects
// its first entry: the start of every list a dialog fills when it opens.
void LoadResourceListSelectFirst(HWND dialog, int id, const char* fileName);

// The resource-list reload: empties the Resource combo (204) of dialog, loads
// fileName into it and selects its first entry (none when the file is missing
// or empty). The argument table and the Resources List are not touched.
void ReloadResourceList(HWND dialog, const char* fileName);

// The argument part of WM_INITDIALOG: fills the Type combo (205) with the
// three type labels and selects "Hex", sets the Resources List (208)
// horizontal extent to 300 pixels, zeroes the argument table and sets *count
// (the dialog's own Count) to 0.
void PrepareArgumentControls(HWND dialog, std::int32_t* count);

// The Add Resource button (207): reads Resource (204), Type (205) and Value
// (206), each up to 253 characters, and adds row *count of the argument table
// (AddPendingResource). On success appends the name to the Resources List
// (208) and writes the new *count in decimal into N Arguments (202); on a
// refusal its box has been shown and nothing changes.
void AddResourceRow(HWND dialog, std::int32_t* count);

#endif  // REVEDIZ_DIALOGS_DIALOG_COMMON_H
