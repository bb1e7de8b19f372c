// The Write dialog's input file and the Read dialog's output file over any
// content and any buffer capacity around the content's size.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dialogs/data_files.h"
#include "tests/fuzz/fuzz_shell.h"
#include "tests/fuzz/fuzz_temp_file.h"

namespace {

// The Write dialog's buffer.
constexpr std::int32_t kWriteBufferSize = 8192;

std::string ReadWhole(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  FUZZ_CHECK(file != nullptr);
  std::string content;
  char chunk[4096];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) content.append(chunk, got);
  std::fclose(file);
  return content;
}

void CheckReadInputFile(const std::uint8_t* content, std::size_t size, std::int32_t capacity) {
  const char* path = FuzzTempPath(0);
  WriteFuzzTempFile(path, content, size);

  // Exactly capacity bytes, so a write past them is caught.
  const std::size_t blockSize = capacity > 0 ? static_cast<std::size_t>(capacity) : 0;
  auto* buffer = static_cast<unsigned char*>(std::malloc(blockSize ? blockSize : 1));
  FUZZ_CHECK(buffer != nullptr);
  ResetFuzzShell();
  const std::int32_t result = ReadInputFile(path, buffer, capacity);
  const auto length = static_cast<std::int64_t>(size);
  if (length >= 1 && length <= capacity) {
    FUZZ_CHECK(result == length);
    FUZZ_CHECK(std::memcmp(buffer, content, size) == 0);
  } else {
    FUZZ_CHECK(result == -1);
  }
  FUZZ_CHECK(FuzzLogLines() == 1);
  FUZZ_CHECK(FuzzBoxes() == 0);
  std::free(buffer);
}

void CheckWriteOutputFile(const std::uint8_t* content, std::size_t size) {
  const char* path = FuzzTempPath(1);
  ResetFuzzShell();
  const auto count = static_cast<std::int32_t>(size);
  FUZZ_CHECK(WriteOutputFile(path, content, count) == count);
  FUZZ_CHECK(FuzzLogLines() == 1);
  FUZZ_CHECK(ReadWhole(path) == std::string(reinterpret_cast<const char*>(content), size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The first two bytes choose the capacity: near the content's size (either
  // side of it), or anywhere from 0 to above the Write dialog's buffer.
  const std::size_t contentSize = size - 2;
  std::int64_t capacity;
  if (data[0] & 0x80)
    capacity = static_cast<std::int64_t>(contentSize) + static_cast<std::int8_t>(data[1]);
  else
    capacity = ((data[0] << 8) | data[1]) % (kWriteBufferSize + 2);
  if (capacity < -1) capacity = -1;
  CheckReadInputFile(data + 2, contentSize, static_cast<std::int32_t>(capacity));
  CheckWriteOutputFile(data + 2, contentSize);
  return 0;
}
