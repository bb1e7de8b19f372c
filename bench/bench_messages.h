// Messages the measuring driver posts to the bare baseline program.
#ifndef REVEDIZ_BENCH_BENCH_MESSAGES_H
#define REVEDIZ_BENCH_BENCH_MESSAGES_H

#include <windows.h>

namespace bench {

// Adds every loaded line to the list box.
inline constexpr UINT kAddAllMessage = WM_APP + 1;
// Adds the next wParam loaded lines.
inline constexpr UINT kAddNextMessage = WM_APP + 2;
// Adds every loaded line with the list's redraw off, then redraws it once.
inline constexpr UINT kAddAllBatchedMessage = WM_APP + 3;

}  // namespace bench

#endif  // REVEDIZ_BENCH_BENCH_MESSAGES_H
