// The window system's opening, watched: without a display to talk to (no X
// server or Wayland compositor, a display that refuses us) Qt gives up with
// a fatal message, advice to reinstall and an abort. While an object of this
// class lives, such a fatal message makes the program say in one line what
// it needs and what works without a display, and end with status 1.
#pragma once

namespace platform::core {

class DisplayOpening {
public:
    // program: the name the line starts with.
    explicit DisplayOpening(const char* program);
    // Passes on the messages held while the display was opened.
    ~DisplayOpening();
    DisplayOpening(const DisplayOpening&) = delete;
    DisplayOpening& operator=(const DisplayOpening&) = delete;
};

}  // namespace platform::core
