// Remote calls of a loaded library's cdecl exports: see remote_call.h.
#include "runner/driver/remote_call.h"

#include <tlhelp32.h>

#include <algorithm>

namespace driver {
namespace {

// Layout of the block written into the other process: the routine first,
// then the texts and out buffers.
constexpr std::size_t kCodeBytes = 256;

void PutLittleEndian(std::vector<unsigned char>* bytes, std::uint64_t value, int size) {
  for (int i = 0; i < size; ++i) bytes->push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// The thread routine that calls `entry` with `args` and returns its result.
std::vector<unsigned char> CallRoutine(std::uintptr_t entry, const std::vector<std::uintptr_t>& args) {
  std::vector<unsigned char> code;
  code.reserve(kCodeBytes);
  // Byte by byte: GCC 12 at -O3 takes a range insert here for an overflow
  // (-Wstringop-overflow).
  auto emit = [&code](std::initializer_list<unsigned char> bytes) {
    for (unsigned char byte : bytes) code.push_back(byte);
  };
#if defined(__x86_64__) || defined(_M_X64)
  // The first four arguments go in rcx, rdx, r8 and r9, the rest on the
  // stack above the 32 bytes of home space; rsp is 16-aligned at the call
  // (it is 8 off at the routine's entry, after the return address).
  const std::size_t onStack = args.size() > 4 ? args.size() - 4 : 0;
  std::uint32_t frame = static_cast<std::uint32_t>(32 + 8 * onStack);
  if (frame % 16 == 0) frame += 8;
  emit({0x48, 0x81, 0xEC});  // sub rsp, frame
  PutLittleEndian(&code, frame, 4);
  for (std::size_t i = 4; i < args.size(); ++i) {
    emit({0x48, 0xB8});  // mov rax, imm64
    PutLittleEndian(&code, args[i], 8);
    emit({0x48, 0x89, 0x84, 0x24});  // mov [rsp + disp32], rax
    PutLittleEndian(&code, 32 + 8 * (i - 4), 4);
  }
  static constexpr unsigned char kLoad[4][2] = {{0x48, 0xB9}, {0x48, 0xBA}, {0x49, 0xB8}, {0x49, 0xB9}};
  for (std::size_t i = 0; i < args.size() && i < 4; ++i) {
    emit({kLoad[i][0], kLoad[i][1]});  // mov rcx / rdx / r8 / r9, imm64
    PutLittleEndian(&code, args[i], 8);
  }
  emit({0x48, 0xB8});  // mov rax, entry
  PutLittleEndian(&code, entry, 8);
  emit({0xFF, 0xD0});        // call rax
  emit({0x48, 0x81, 0xC4});  // add rsp, frame
  PutLittleEndian(&code, frame, 4);
  emit({0xC3});  // ret
#elif defined(__i386__) || defined(_M_IX86)
  // Push the arguments last to first, call, drop them again (cdecl), and
  // return from the stdcall thread routine (one argument).
  for (std::size_t i = args.size(); i-- > 0;) {
    emit({0x68});  // push imm32
    PutLittleEndian(&code, args[i], 4);
  }
  emit({0xB8});  // mov eax, entry
  PutLittleEndian(&code, entry, 4);
  emit({0xFF, 0xD0});  // call eax
  if (!args.empty()) {
    emit({0x81, 0xC4});  // add esp, imm32
    PutLittleEndian(&code, 4 * args.size(), 4);
  }
  emit({0xC2, 0x04, 0x00});  // ret 4
#else
#error "remote calls are written for x86 and x86-64 only"
#endif
  return code;
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

  // The data part and the value passed for each argument.
  std::vector<unsigned char> block(kCodeBytes, 0);
  std::vector<std::uintptr_t> passed(args->size(), 0);
  std::vector<std::size_t> dataAt(args->size(), 0);
  for (std::size_t i = 0; i < args->size(); ++i) {
    const RemoteArg& arg = (*args)[i];
    dataAt[i] = block.size();
    const auto address = reinterpret_cast<std::uintptr_t>(remote + block.size());
    switch (arg.kind) {
      case RemoteArg::Kind::kNumber:
        // Sign-extended, as the callee reads an int from the low half.
        passed[i] = static_cast<std::uintptr_t>(static_cast<std::intptr_t>(arg.number));
        break;
      case RemoteArg::Kind::kNull:
        passed[i] = 0;
        break;
      case RemoteArg::Kind::kText:
        passed[i] = address;
        block.insert(block.end(), arg.text.begin(), arg.text.end());
        block.push_back(0);
        break;
      case RemoteArg::Kind::kOutBuffer:
        passed[i] = address;
        block.resize(block.size() + static_cast<std::size_t>(arg.number > 0 ? arg.number : 0), 0);
        break;
    }
  }

  const std::vector<unsigned char> code = CallRoutine(base + offset, passed);
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

}  // namespace driver
