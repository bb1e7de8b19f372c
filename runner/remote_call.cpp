// Remote calls of a loaded library's cdecl exports: see remote_call.h.
#include "runner/remote_call.h"

#include <tlhelp32.h>

#include <algorithm>

namespace runner {
namespace {

// Layout of the block written into the other process: the routine first,
// then the texts and out buffers.
constexpr std::size_t kCodeBytes = 256;

void Put32(std::vector<unsigned char>* bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes->push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// The base of moduleName in process pid (0 if it is not loaded there).
std::uintptr_t RemoteBase(DWORD pid, const std::string& moduleName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  std::uintptr_t base = 0;
  MODULEENTRY32 module = {};
  module.dwSize = sizeof module;
  for (BOOL more = Module32First(snapshot, &module); more && base == 0; more = Module32Next(snapshot, &module)) {
    if (lstrcmpiA(module.szModule, moduleName.c_str()) == 0) base = reinterpret_cast<std::uintptr_t>(module.modBaseAddr);
  }
  CloseHandle(snapshot);
  return base;
}

// The export's offset from the start of the library file's image.
bool ExportOffset(const std::string& libraryFile, const std::string& entry, std::uintptr_t* offset,
                  std::string* error) {
  HMODULE local = LoadLibraryExA(libraryFile.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  if (local == nullptr) {
    *error = "cannot read the library " + libraryFile;
    return false;
  }
  void* address = reinterpret_cast<void*>(GetProcAddress(local, entry.c_str()));
  if (address != nullptr) {
    *offset = reinterpret_cast<std::uintptr_t>(address) - reinterpret_cast<std::uintptr_t>(local);
  }
  FreeLibrary(local);
  if (address == nullptr) {
    *error = "the library has no export " + entry + " (it is not the simulator)";
    return false;
  }
  return true;
}

// Holds a handle and closes it.
struct HandleGuard {
  HANDLE handle;
  ~HandleGuard() {
    if (handle != nullptr) CloseHandle(handle);
  }
};

}  // namespace

bool CallRemoteExport(DWORD pid, const std::string& moduleName, const std::string& libraryFile,
                      const std::string& entry, std::vector<RemoteArg>* args, std::int32_t* result,
                      std::string* error, DWORD timeoutMs) {
  const std::uintptr_t base = RemoteBase(pid, moduleName);
  if (base == 0) {
    *error = moduleName + " is not loaded in the tool (no PosInitialize yet?)";
    return false;
  }
  std::uintptr_t offset = 0;
  if (!ExportOffset(libraryFile, entry, &offset, error)) return false;

  // Room for the data: texts with their terminators, out buffers.
  std::size_t dataBytes = 0;
  for (const RemoteArg& arg : *args) {
    if (arg.kind == RemoteArg::Kind::kText) dataBytes += arg.text.size() + 1;
    if (arg.kind == RemoteArg::Kind::kOutBuffer) dataBytes += static_cast<std::size_t>(arg.number > 0 ? arg.number : 0);
  }
  const std::size_t blockBytes = kCodeBytes + dataBytes;

  HANDLE process = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
                                   PROCESS_VM_READ | PROCESS_VM_WRITE,
                               FALSE, pid);
  if (process == nullptr) {
    *error = "cannot open the tool's process";
    return false;
  }
  HandleGuard processGuard{process};
  auto* remote = static_cast<unsigned char*>(
      VirtualAllocEx(process, nullptr, blockBytes, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
  if (remote == nullptr) {
    *error = "cannot take memory in the tool's process";
    return false;
  }

  // The data part and the address of each argument's data.
  std::vector<unsigned char> block(kCodeBytes, 0);
  std::vector<std::uint32_t> pushed(args->size(), 0);
  std::vector<std::size_t> dataAt(args->size(), 0);
  for (std::size_t i = 0; i < args->size(); ++i) {
    const RemoteArg& arg = (*args)[i];
    dataAt[i] = block.size();
    const auto address = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(remote + block.size()));
    switch (arg.kind) {
      case RemoteArg::Kind::kNumber:
        pushed[i] = static_cast<std::uint32_t>(arg.number);
        break;
      case RemoteArg::Kind::kNull:
        pushed[i] = 0;
        break;
      case RemoteArg::Kind::kText:
        pushed[i] = address;
        block.insert(block.end(), arg.text.begin(), arg.text.end());
        block.push_back(0);
        break;
      case RemoteArg::Kind::kOutBuffer:
        pushed[i] = address;
        block.resize(block.size() + static_cast<std::size_t>(arg.number > 0 ? arg.number : 0), 0);
        break;
    }
  }

  // The routine: push the arguments last to first, call the export, drop
  // them again (cdecl), and return from the thread routine (one argument).
  std::vector<unsigned char> code;
  for (std::size_t i = args->size(); i-- > 0;) {
    code.push_back(0x68);  // push imm32
    Put32(&code, pushed[i]);
  }
  code.push_back(0xB8);  // mov eax, imm32
  Put32(&code, static_cast<std::uint32_t>(base + offset));
  code.push_back(0xFF);  // call eax
  code.push_back(0xD0);
  const std::uint32_t argBytes = static_cast<std::uint32_t>(args->size() * 4);
  if (argBytes > 0) {
    code.push_back(0x81);  // add esp, imm32
    code.push_back(0xC4);
    Put32(&code, argBytes);
  }
  code.push_back(0xC2);  // ret 4
  code.push_back(0x04);
  code.push_back(0x00);
  if (code.size() > kCodeBytes) {
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    *error = "too many arguments for a remote call";
    return false;
  }
  std::copy(code.begin(), code.end(), block.begin());

  bool done = false;
  SIZE_T written = 0;
  if (!WriteProcessMemory(process, remote, block.data(), block.size(), &written) || written != block.size()) {
    *error = "cannot write into the tool's process";
  } else {
    FlushInstructionCache(process, remote, kCodeBytes);
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(remote),
                                       nullptr, 0, nullptr);
    if (thread == nullptr) {
      *error = "cannot start a thread in the tool's process";
    } else {
      HandleGuard threadGuard{thread};
      DWORD exitCode = 0;
      if (WaitForSingleObject(thread, timeoutMs) != WAIT_OBJECT_0) {
        // The routine may still run: its memory stays.
        *error = entry + " did not return within the time";
        return false;
      }
      if (!GetExitCodeThread(thread, &exitCode)) {
        *error = "cannot read the result of " + entry;
      } else {
        *result = static_cast<std::int32_t>(exitCode);
        done = true;
      }
    }
  }
  if (done) {
    for (std::size_t i = 0; i < args->size(); ++i) {
      RemoteArg& arg = (*args)[i];
      if (arg.kind != RemoteArg::Kind::kOutBuffer || arg.number <= 0) continue;
      std::string bytes(static_cast<std::size_t>(arg.number), '\0');
      SIZE_T got = 0;
      if (!ReadProcessMemory(process, remote + dataAt[i], bytes.data(), bytes.size(), &got)) {
        *error = "cannot read back the result buffer of " + entry;
        done = false;
      }
      bytes.resize(got);
      arg.text = bytes;
    }
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return done;
}

}  // namespace runner
