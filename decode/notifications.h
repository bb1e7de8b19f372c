// Device notifications that the device library posts to the main window.
#ifndef REVEDIZ_DECODE_NOTIFICATIONS_H
#define REVEDIZ_DECODE_NOTIFICATIONS_H

#include <cstdint>

// At most this many notification boxes are open at once. Past it a
// notification is still logged, but its box is held back, and the log says
// so once (and, when every notification box is closed again, how many).
inline constexpr int kMaxOpenNotificationBoxes = 50;

// Logs (and for most kinds shows) one device notification. Returns true when
// the notification was handled, so the window procedure returns 0; false
// when it must get the system's default window processing.
bool HandleDeviceNotification(unsigned message, std::uint32_t wParam, std::uint32_t lParam);

#endif  // REVEDIZ_DECODE_NOTIFICATIONS_H
