// Keeping the desktop awake while scanning runs.
#pragma once

// Tells the desktop's screen saver that the user is active, through the
// freedesktop screen saver service on the session bus. Without a session
// bus or screen saver service it does nothing. Never waits for an answer.
// The session bus is connected on the first call, not at start.
void SystemIdleTimerReset();

namespace platform::core {

// Before the application environment exists: where no session bus can be
// found, tells the D-Bus library so. Otherwise the first to ask for the
// bus (Qt's accessibility bridge, while the window is being built) has the
// library start dbus-launch to search for one, and the first frame waits
// for that child process.
void DeclareMissingSessionBus();

}  // namespace platform::core
