// One window per program and settings file: a second start while the
// program runs brings the running window to the front and ends, so that two
// copies never overwrite each other's settings.
#pragma once

#include <functional>
#include <string>

class QLocalServer;

namespace platform::core {

class SingleInstance {
public:
    // `program` tells tarvolin and tarvolin-demo apart; `settingsFile` is
    // the file the two copies would share.
    SingleInstance(const std::string& program, const std::string& settingsFile);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this is the only copy: it now answers later starts by
    // calling `raise`. False when another copy runs and was asked to come to
    // the front; this one should end. A socket left by a copy that was
    // killed is taken over.
    bool Claim(std::function<void()> raise);

    // The local socket's path: in $XDG_RUNTIME_DIR (or the temporary folder,
    // with the user's id in the name), named after the program and the
    // settings file.
    const std::string& SocketPath() const { return m_path; }

private:
    std::string m_path;
    QLocalServer* m_server = nullptr;
};

// Brings the program's visible top-level windows to the front (the main
// window, and a message box over it last).
void RaiseProgramWindows();

}  // namespace platform::core
