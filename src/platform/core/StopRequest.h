// The process was asked to stop (a signal at logout, a closed terminal):
// every loop that waits for the user ends at once, and none starts again,
// so the program's own shut-down runs and saves what it must.
#pragma once

#include <functional>

namespace platform::core {

// Ends every running modal dialog as its caption's OK button would, closes
// open message boxes and popup menus with their cancelling answer, and makes
// GetMessageW answer WM_QUIT. Later requests change nothing.
void RequestStop();

// Whether a stop was requested.
bool StopRequested();

// While it lives, `end` is called once if a stop is requested: a waiting
// loop (a message box, a popup menu) says here how it is ended.
class StopListener {
public:
    explicit StopListener(std::function<void()> end);
    ~StopListener();
    StopListener(const StopListener&) = delete;
    StopListener& operator=(const StopListener&) = delete;

private:
    friend void RequestStop();
    std::function<void()> m_end;
};

}  // namespace platform::core
