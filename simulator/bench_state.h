// What the device bench window shows of each device, as text: one line per
// bench device (every class but PosSystem and PosDevice), in class order.
// Window-free, so the wording is tested natively.
//
//   "PosPrinter   on line   1 open   paper in, cover shut, last "TOTAL 9.99""
//
// The class name padded to 12, "on line " or "off line", the number of open
// handles, then what the device itself shows: the display's rows, the
// drawer's state, the printer's paper, cover and last line, the scale's
// weight, the input waiting for a read, the bytes looped back. Faults set on
// the device follow in brackets: "[error N]", "[claims +N]", "[overruns N]",
// "[short reads N]".
#ifndef REVEDIZ_SIMULATOR_BENCH_STATE_H
#define REVEDIZ_SIMULATOR_BENCH_STATE_H

#include <cstdint>
#include <string>
#include <vector>

#include "simulator/simulator.h"

namespace sim {

std::vector<std::string> BenchStateLines(const Simulator& simulator);

// The bench devices' class indexes, in the order of BenchStateLines.
std::vector<int> BenchDevices();

// The whole number at the start of a bench field: blanks before it, and a
// name after a blank, are allowed ("306 POSERR_SYS_HW_ERROR"); false for no
// number, anything else after it, or a value beyond 32 bits.
bool BenchNumber(const std::string& text, std::int32_t* value);

// Keys as typed in the bench's keyboard field: \r, \n, \t and \\ stand for
// CR, LF, tab and one backslash; any other backslash is itself.
std::string BenchKeys(const std::string& text);

}  // namespace sim

#endif  // REVEDIZ_SIMULATOR_BENCH_STATE_H
