// The window-free hex dump core under Google Benchmark: FormatHexDumpRows
// over 64 MiB in blocks of 65519 bytes (the largest read the tool shows in
// one dump), into a sink that only counts.
//
//   dump_bench [benchmark flags] [--write-data PATH]
//
// Before measuring, the rows for a sample are checked byte for byte against
// a plain printf formatting of the same bytes (exit status 1 on a
// difference). --write-data writes the 64 MiB measured, so that other dump
// programs can be timed on the same bytes. The last line of output reads
// "dump core: X ns/byte" (the best run).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "app/status_log.h"
#include "decode/hex_dump.h"

// The shell interface, as far as the dump's object needs it; nothing here
// logs.
void AppendToStatusLog() {}
void AppendTextToStatusLog(const char*) {}
void BeginStatusLogBatch() {}
void EndStatusLogBatch() {}
void ShowMessageBox(const char*, const char*) {}

namespace {

constexpr std::size_t kDataSize = 64u << 20;
constexpr std::size_t kBlockSize = 65519;

// The measured bytes: every value, printable or not, in no simple order.
const std::vector<unsigned char>& Data() {
  static const std::vector<unsigned char> data = [] {
    std::vector<unsigned char> bytes(kDataSize);
    std::uint32_t state = 0x12345678u;
    for (unsigned char& b : bytes) {
      state ^= state << 13;
      state ^= state >> 17;
      state ^= state << 5;
      b = static_cast<unsigned char>(state >> 24);
    }
    return bytes;
  }();
  return data;
}

struct Count {
  std::size_t rows = 0;
  std::size_t characters = 0;
};

void CountRow(void* context, const char*, std::size_t length) {
  Count* count = static_cast<Count*>(context);
  ++count->rows;
  count->characters += length;
}

void AppendRow(void* context, const char* line, std::size_t length) {
  static_cast<std::string*>(context)->append(line, length);
}

// The rows of a dump as plain printf formats them.
std::string PrintfRows(const unsigned char* data, std::size_t length) {
  std::string out;
  char cell[32];
  for (std::size_t row = 0; row < length; row += 16) {
    std::snprintf(cell, sizeof cell, "   %04zX: ", row);
    out += cell;
    std::string text;
    for (std::size_t i = row; i < row + 16 && i < length; ++i) {
      std::snprintf(cell, sizeof cell, "%02X ", data[i]);
      out += cell;
      text.push_back(data[i] >= 0x20 && data[i] <= 0x7E ? static_cast<char>(data[i]) : '.');
    }
    out += " | " + text + "\n";
  }
  return out;
}

// Checks samples of the dump against the printf reference: short blocks of
// every length up to two rows, 8 KiB, and a whole block with its short last
// row. Returns the bytes compared, or 0 on a difference.
std::size_t CheckAgainstPrintf() {
  const unsigned char* data = Data().data();
  std::vector<std::size_t> lengths;
  for (std::size_t n = 1; n <= 33; ++n) lengths.push_back(n);
  lengths.push_back(8192);
  lengths.push_back(kBlockSize);
  std::size_t compared = 0;
  for (std::size_t n : lengths) {
    for (std::size_t start : {std::size_t{0}, std::size_t{777}}) {
      std::string got;
      FormatHexDumpRows(data + start, n, AppendRow, &got);
      const std::string want = PrintfRows(data + start, n);
      if (got != want) {
        std::fprintf(stderr, "dump check: rows of %zu bytes differ from printf\n", n);
        return 0;
      }
      compared += want.size();
    }
  }
  return compared;
}

void DumpCore(benchmark::State& state) {
  const unsigned char* data = Data().data();
  Count count;
  for (auto _ : state) {
    for (std::size_t offset = 0; offset < kDataSize; offset += kBlockSize) {
      const std::size_t length = std::min(kBlockSize, kDataSize - offset);
      FormatHexDumpRows(data + offset, length, CountRow, &count);
    }
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kDataSize));
  state.counters["ns_per_byte"] = benchmark::Counter(static_cast<double>(kDataSize) * 1e-9,
                                                     benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}
BENCHMARK(DumpCore)->Unit(benchmark::kMillisecond)->Repetitions(3);

// The console report, keeping the best ns_per_byte of the single runs.
class BestReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      auto counter = run.counters.find("ns_per_byte");
      if (counter != run.counters.end()) best = std::min(best, counter->second.value);
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double best = std::numeric_limits<double>::infinity();
};

bool WriteData(const char* path) {
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(Data().data(), 1, kDataSize, file) == kDataSize;
  return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--write-data") == 0 && i + 1 < argc) {
      if (!WriteData(argv[++i])) {
        std::fprintf(stderr, "cannot write %s\n", argv[i]);
        return 2;
      }
    } else {
      std::fprintf(stderr, "unknown argument %s\n", argv[i]);
      return 2;
    }
  }
  const std::size_t compared = CheckAgainstPrintf();
  if (compared == 0) return 1;
  std::printf("dump check: %zu characters identical to the printf reference\n", compared);
  std::fflush(stdout);

  BestReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::printf("dump core: %.4f ns/byte\n", reporter.best);
  return 0;
}
