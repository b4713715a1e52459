#include "platform/core/MessageQueue.h"

#include "platform/core/StopRequest.h"
#include "platform/core/Window.h"
#include "platform/core/WindowObject.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <deque>
#include <map>

namespace platform::core {

namespace {

struct Entry {
    MSG msg;
    std::function<void()> native;
};

std::deque<Entry>& Queue()
{
    static std::deque<Entry> queue;
    return queue;
}

// Natives of messages taken by GetMessageW, waiting for their dispatch.
std::map<DWORD, std::function<void()>>& TakenNatives()
{
    static std::map<DWORD, std::function<void()>> natives;
    return natives;
}

// How many taken natives wait at most for their dispatch.
constexpr DWORD kKeptNatives = 64;

int g_loopDepth = 0;
bool g_drainScheduled = false;
DWORD g_nextNativeId = 1;

void DispatchEntry(Entry& entry)
{
    if (entry.msg.message != WM_QUIT && Lookup(entry.msg.hwnd) != nullptr)
        Dispatch(entry.msg.hwnd, entry.msg.message, entry.msg.wParam, entry.msg.lParam);
    if (entry.native)
        entry.native();
}

// Outside a program loop, queued messages are dispatched from Qt's loop.
void Drain()
{
    g_drainScheduled = false;
    while (g_loopDepth == 0 && !Queue().empty()) {
        Entry entry = std::move(Queue().front());
        Queue().pop_front();
        DispatchEntry(entry);
    }
}

void ScheduleDrain()
{
    if (g_drainScheduled || QCoreApplication::instance() == nullptr)
        return;
    g_drainScheduled = true;
    QMetaObject::invokeMethod(QCoreApplication::instance(), Drain, Qt::QueuedConnection);
}

}  // namespace

void QueueMessage(const MSG& msg, std::function<void()> native)
{
    Entry entry{msg, std::move(native)};
    entry.msg.time = GetTickCount();
    Queue().push_back(std::move(entry));
    ScheduleDrain();
}

void DeliverInput(const MSG& msg, std::function<void()> native)
{
    if (g_loopDepth > 0) {
        QueueMessage(msg, std::move(native));
        return;
    }
    Entry entry{msg, std::move(native)};
    DispatchEntry(entry);
}

}  // namespace platform::core

using namespace platform::core;

BOOL GetMessageW(MSG* msg, HWND, UINT, UINT)
{
    if (msg == nullptr)
        return FALSE;
    ++g_loopDepth;
    while (Queue().empty() && !StopRequested())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    --g_loopDepth;
    // A stop request ends every program loop, as a quit message would; what
    // is queued stays for the platform to dispatch.
    if (StopRequested()) {
        *msg = MSG{nullptr, WM_QUIT, 0, 0, GetTickCount(), {}, 0};
        if (!Queue().empty())
            ScheduleDrain();
        return FALSE;
    }
    Entry entry = std::move(Queue().front());
    Queue().pop_front();
    *msg = entry.msg;
    msg->lPrivate = 0;
    if (entry.native) {
        msg->lPrivate = g_nextNativeId++;
        auto& natives = TakenNatives();
        natives[msg->lPrivate] = std::move(entry.native);
        // A loop may take a message and never dispatch it (a swallowed key):
        // its native handling is forgotten once many later ones were taken.
        natives.erase(natives.begin(),
                      natives.lower_bound(msg->lPrivate - std::min<DWORD>(msg->lPrivate, kKeptNatives)));
    }
    if (!Queue().empty())
        ScheduleDrain();
    return msg->message != WM_QUIT;
}

BOOL TranslateMessage(const MSG*)
{
    return FALSE;
}

LRESULT DispatchMessageW(const MSG* msg)
{
    if (msg == nullptr)
        return 0;
    LRESULT result = 0;
    if (Lookup(msg->hwnd) != nullptr)
        result = Dispatch(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    auto& natives = TakenNatives();
    auto it = natives.find(msg->lPrivate);
    if (it != natives.end()) {
        auto native = std::move(it->second);
        natives.erase(it);
        native();
    }
    return result;
}

void PostQuitMessage(int exitCode)
{
    QueueMessage(MSG{nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0, 0, {}, 0});
}
