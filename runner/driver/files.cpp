// The driver's files: see files.h; and SaveScreenshot of driver.h.
#include "runner/driver/files.h"

#include "runner/driver/driver.h"
#include "toolwindows/paths.h"

namespace driver {
namespace detail {

using winpath::Join;

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Creates a folder and its missing parents.
void MakeDirs(const std::string& path) {
  if (path.empty() || PathExists(path)) return;
  size_t cut = path.find_last_of("\\/");
  if (cut != std::string::npos && cut > 2) MakeDirs(path.substr(0, cut));
  CreateDirectoryA(path.c_str(), nullptr);
}

// Removes a folder with everything in it.
void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(Join(path, "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = Join(path, name);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path.c_str());
}

void Copy(const std::string& from, const std::string& to) {
  if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) {
    throw Failure("cannot copy " + from + " to " + to + " (error " + std::to_string(GetLastError()) + ")");
  }
}

void WriteBytes(const std::string& path, std::string_view bytes) {
  const size_t cut = path.find_last_of("\\/");
  if (cut != std::string::npos) MakeDirs(path.substr(0, cut));  // a file of a folder not there yet
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw Failure("cannot create " + path);
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != bytes.size()) throw Failure("cannot write " + path);
}

// Reads a whole file that another process may hold open for writing.
bool ReadBytes(const std::string& path, std::string* bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes->clear();
  char chunk[8192];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes->append(chunk, got);
  CloseHandle(file);
  return true;
}

}  // namespace detail

namespace {

// The pixels of a part of the screen, bottom row first, as a 24-bit DIB's; empty when none could be read.
std::string Capture(int left, int top, int width, int height, BITMAPINFOHEADER* info) {
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return {};
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY);
  SelectObject(memory, old);

  *info = {};
  info->biSize = sizeof *info;
  info->biWidth = width;
  info->biHeight = height;
  info->biPlanes = 1;
  info->biBitCount = 24;
  info->biCompression = BI_RGB;
  DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
  std::string pixels(static_cast<size_t>(stride) * static_cast<size_t>(height), '\0');
  int lines = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                        reinterpret_cast<BITMAPINFO*>(info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return lines == height ? pixels : std::string();
}

BOOL CALLBACK FindUnpainted(HWND child, LPARAM found) {
  *reinterpret_cast<bool*>(found) = GetUpdateRect(child, nullptr, FALSE) != FALSE;
  return !*reinterpret_cast<bool*>(found);
}

// Whether the window or a window within it has a part left to paint.
bool Unpainted(HWND window) {
  bool found = GetUpdateRect(window, nullptr, FALSE) != FALSE;
  if (!found) EnumChildWindows(window, FindUnpainted, reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

bool SaveScreenshot(const std::string& path, HWND window, DWORD settleMs) {
  int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  RECT rect;
  if (window != nullptr) {
    if (!GetWindowRect(window, &rect)) return false;
    left = rect.left;
    top = rect.top;
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
  }
  if (width <= 0 || height <= 0) return false;
  // A window still painting (a scroll bar's arrow not drawn yet, say) is not
  // what it shows: the picture is taken once nothing in the window is left to
  // paint, and it is the first that the next one, 200 ms later, repeats.
  const DWORD start = GetTickCount();
  if (window != nullptr && settleMs > 0) PollUntil([window] { return !Unpainted(window); }, settleMs);
  BITMAPINFOHEADER info;
  std::string pixels = Capture(left, top, width, height, &info);
  while (!pixels.empty() && GetTickCount() - start < settleMs) {
    Sleep(200);
    std::string again = Capture(left, top, width, height, &info);
    if (again == pixels) break;
    pixels.swap(again);
  }
  if (pixels.empty()) return false;

  BITMAPFILEHEADER header = {};
  header.bfType = 0x4D42;  // "BM"
  header.bfOffBits = sizeof header + sizeof info;
  header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
  std::string file(reinterpret_cast<const char*>(&header), sizeof header);
  file.append(reinterpret_cast<const char*>(&info), sizeof info);
  file += pixels;
  try {
    detail::WriteBytes(path, file);
  } catch (const Failure&) {
    return false;
  }
  return true;
}

}  // namespace driver
