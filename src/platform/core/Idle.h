// Keeping the desktop awake while scanning runs.
#pragma once

// Tells the desktop's screen saver that the user is active, through the
// freedesktop screen saver service on the session bus. Without a session
// bus or screen saver service it does nothing. Never waits for an answer.
void SystemIdleTimerReset();
