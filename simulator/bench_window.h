// The device bench window of vavuro32.dll: a small modeless window, "Device
// Bench", that shows every bench device and lets a person do what they would
// do at real hardware (swipe a card, scan a label, take a device off line,
// run the printer out of paper, ...). Each action goes through the same
// simulator as the library's entries, so it posts the notifications a real
// device would, queues their records and prepares the next read; the
// simulator journals it.
//
// The window runs on a thread of its own, so it answers while the tool is
// busy in a dialog or a message box, and it never holds the simulator's lock
// while it talks to a window. Control ids: simulator/bench_ids.h.
#ifndef REVEDIZ_SIMULATOR_BENCH_WINDOW_H
#define REVEDIZ_SIMULATOR_BENCH_WINDOW_H

#include <cstdint>
#include <functional>

#include "simulator/simulator.h"

namespace sim {

// Runs `call` on the library's one simulator under its lock (vavuro32.cpp).
std::int32_t WithSimulator(const std::function<std::int32_t(Simulator&)>& call);

// Opens the bench beside `nearWindow` (the window the library notifies)
// unless it is open already; returns once the window exists. Call without
// the simulator's lock.
void OpenBenchWindow(std::uintptr_t nearWindow);
// Closes the bench and waits for its thread to end. Call without the lock.
void CloseBenchWindow();

}  // namespace sim

#endif  // REVEDIZ_SIMULATOR_BENCH_WINDOW_H
