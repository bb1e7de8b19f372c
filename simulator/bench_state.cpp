#include "simulator/bench_state.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "simulator/resource_table.h"

namespace sim {

bool BenchNumber(const std::string& text, std::int32_t* value) {
  const char* start = text.c_str();
  char* end = nullptr;
  errno = 0;
  const long long number = std::strtoll(start, &end, 10);
  if (end == start || errno == ERANGE || number < INT32_MIN || number > INT32_MAX) return false;
  if (*end != '\0' && *end != ' ') return false;
  *value = static_cast<std::int32_t>(number);
  return true;
}

std::string BenchKeys(const std::string& text) {
  std::string keys;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    const char* map = nullptr;
    if (text[i] == '\\') {
      map = next == 'r' ? "\r" : next == 'n' ? "\n" : next == 't' ? "\t" : next == '\\' ? "\\" : nullptr;
    }
    if (map != nullptr) {
      keys += map;
      ++i;
    } else {
      keys += text[i];
    }
  }
  return keys;
}

std::vector<int> BenchDevices() {
  std::vector<int> devices;
  for (int i = 0; i < kClassCount; ++i) {
    if (i != kSystemClass && i != kGenericClass) devices.push_back(i);
  }
  return devices;
}

std::vector<std::string> BenchStateLines(const Simulator& simulator) {
  std::vector<std::string> lines;
  for (int classIndex : BenchDevices()) {
    const Faults& faults = simulator.FaultsOf(classIndex);
    int handles = 0;
    for (const OpenDevice& open : simulator.OpenDevices()) handles += open.classIndex == classIndex ? 1 : 0;
    char head[64];
    std::snprintf(head, sizeof head, "%-12s %-8s  %d open", kClasses[classIndex].name,
                  faults.offline ? "off line" : "on line", handles);
    std::string line = head;
    const std::string shows = simulator.Initialized() ? simulator.DeviceOf(classIndex).State() : "";
    if (!shows.empty()) line += "   " + shows;
    if (faults.error != 0) line += "  [error " + std::to_string(faults.error) + "]";
    if (faults.overclaim != 0) line += "  [claims +" + std::to_string(faults.overclaim) + "]";
    if (faults.overrun != 0) line += "  [overruns " + std::to_string(faults.overrun) + "]";
    if (faults.shortRead >= 0) line += "  [short reads " + std::to_string(faults.shortRead) + "]";
    lines.push_back(line);
  }
  return lines;
}

}  // namespace sim
