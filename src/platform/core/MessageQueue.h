// The thread's message queue: posted messages and stylus and key input wait
// here until a message loop takes them. Outside a program's own loop
// (GetMessageW) the platform dispatches them at once, in order.
#pragma once

#include "platform/core/Messages.h"

#include <functional>

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
    DWORD lPrivate;  // platform use: links the message to its native input
};

// Waits for the next message of the queue; FALSE when it is WM_QUIT.
// Timers and paints keep being delivered to their windows while it waits.
BOOL GetMessageW(MSG* msg, HWND window, UINT first, UINT last);
// Nothing to translate: typed text reaches edit controls with their keys.
BOOL TranslateMessage(const MSG* msg);
// Hands the message to its window, and then lets its native input (a key
// for an edit control) take effect.
LRESULT DispatchMessageW(const MSG* msg);
void PostQuitMessage(int exitCode);

namespace platform::core {

// Queues a message. native, when given, runs after the message has been
// dispatched (used to let a Qt widget act on the key it came from).
void QueueMessage(const MSG& msg, std::function<void()> native = {});

// Input from a Qt widget: dispatched at once unless a program loop is
// waiting in GetMessageW, which then takes it from the queue.
void DeliverInput(const MSG& msg, std::function<void()> native = {});

}  // namespace platform::core
