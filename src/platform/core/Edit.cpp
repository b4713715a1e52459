// The "edit" window class: a Qt line edit filling the window. Its keys go
// through the thread's message queue as WM_KEYDOWN (or WM_SYSKEYDOWN with
// Alt) addressed to the edit window, so that a program loop waiting in
// GetMessageW sees them first and may swallow them; a key that is dispatched
// is then replayed to the line edit and types as usual.
#include "platform/core/Edit.h"

#include "platform/core/MessageQueue.h"
#include "platform/core/Window.h"
#include "platform/core/WindowObject.h"
#include "platform/gdi/GdiInternal.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>

#include <algorithm>
#include <memory>

namespace platform::core {

namespace {

constexpr WPARAM kVkProcessKey = 0xE5;  // a key without a virtual-key code of its own
constexpr LPARAM kAltContext = 0x20000000;
constexpr int kLongestText = 32767;

WPARAM VirtualKey(int key)
{
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return static_cast<WPARAM>(key);  // the same codes in both
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<WPARAM>(0x70 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Tab: return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return 0x10;
    case Qt::Key_Control: return 0x11;
    case Qt::Key_Alt: return 0x12;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_End: return 0x23;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return 0x2E;
    default: return kVkProcessKey;
    }
}

}  // namespace

class EditState : public QObject {
public:
    explicit EditState(HWND window) : m_window(window) { }

    QLineEdit* line = nullptr;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != line || m_replaying || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool alt = (key->modifiers() & Qt::AltModifier) != 0;
        const MSG msg{
            m_window, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, VirtualKey(key->key()), alt ? (1 | kAltContext) : 1, 0, {}, 0};
        auto copy = std::make_shared<QKeyEvent>(key->type(), key->key(), key->modifiers(), key->text(),
                                                key->isAutoRepeat(), key->count());
        QPointer<EditState> self(this);
        DeliverInput(msg, [self, copy] {
            if (self == nullptr || self->line == nullptr)
                return;
            self->m_replaying = true;
            QCoreApplication::sendEvent(self->line, copy.get());
            self->m_replaying = false;
        });
        return true;
    }

private:
    HWND m_window;
    bool m_replaying = false;
};

namespace {

EditState* StateOf(HWND window)
{
    return OwnedStateOf<EditState>(window);
}

void FitLine(HWND window, EditState* state)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return;
    state->line->setGeometry(0, 0, std::max<LONG>(0, w->rect.right - w->rect.left),
                             std::max<LONG>(0, w->rect.bottom - w->rect.top));
}

LRESULT Create(HWND window)
{
    HWND__* w = Lookup(window);
    auto* state = new EditState(window);
    w->control = state;
    auto* line = new QLineEdit(w->widget);
    state->line = line;
    line->setFrame((w->style & WS_BORDER) != 0);
    line->setReadOnly((w->style & ES_READONLY) != 0);
    if (w->style & ES_PASSWORD)
        line->setEchoMode(QLineEdit::Password);
    if ((w->style & 0x3) == ES_CENTER)
        line->setAlignment(Qt::AlignCenter);
    else if ((w->style & 0x3) == ES_RIGHT)
        line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    line->setText(QString::fromStdU16String(w->text));
    QFont font;
    if (w->font != nullptr && platform::gdi::FontOf(w->font, font))
        line->setFont(font);
    FitLine(window, state);
    line->installEventFilter(state);
    w->widget->setFocusProxy(line);
    // Every change of the text, typed or set, tells the parent.
    QObject::connect(line, &QLineEdit::textChanged, state, [window] {
        if (Lookup(window) == nullptr)
            return;
        if (HWND parent = GetParent(window))
            SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), static_cast<int>(EN_UPDATE)),
                         reinterpret_cast<LPARAM>(window));
    });
    line->show();
    return 0;
}

LRESULT CopyOut(const std::u16string& text, WPARAM capacity, LPARAM buffer)
{
    auto* out = reinterpret_cast<WCHAR*>(buffer);
    if (out == nullptr || capacity == 0)
        return 0;
    const std::size_t n = std::min<std::size_t>(text.size(), capacity - 1);
    std::copy_n(text.data(), n, out);
    out[n] = 0;
    return static_cast<LRESULT>(n);
}

}  // namespace

LRESULT EditWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return 0;
    if (message == WM_CREATE)
        return Create(window);
    EditState* state = StateOf(window);
    if (state == nullptr || state->line == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    QLineEdit* line = state->line;

    switch (message) {
    case WM_DESTROY:
        w->control = std::monostate{};
        line->removeEventFilter(state);
        delete state;  // also ends its text-changed connection
        return 0;
    case WM_SIZE: FitLine(window, state); return 0;
    case WM_SETTEXT: {
        const auto* text = reinterpret_cast<const WCHAR*>(lParam);
        line->setText(text != nullptr ? QString::fromStdU16String(text) : QString());
        return TRUE;
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(line->text().size());
    case WM_GETTEXT: return CopyOut(line->text().toStdU16String(), wParam, lParam);
    case WM_SETFONT: {
        DefWindowProcW(window, message, wParam, lParam);
        QFont font;
        if (platform::gdi::FontOf(reinterpret_cast<HFONT>(wParam), font))
            line->setFont(font);
        return 0;
    }
    case WM_SETFOCUS: line->setFocus(); return 0;
    case EM_LIMITTEXT: {
        const auto limit = static_cast<int>(std::min<WPARAM>(wParam == 0 ? kLongestText : wParam, kLongestText));
        // Qt also cuts a longer text already there to the limit.
        line->setMaxLength(limit);
        return 0;
    }
    case EM_SETSEL: {
        const int length = static_cast<int>(line->text().size());
        const auto start = static_cast<int>(static_cast<LONG>(wParam));
        const auto end = static_cast<int>(static_cast<LONG>(lParam));
        if (start < 0) {
            line->deselect();
            return 0;
        }
        const int from = std::min(start, length);
        const int to = end < 0 ? length : std::min(end, length);
        // The caret ends at the second position, as on Win32.
        if (from == to) {
            line->deselect();
            line->setCursorPosition(to);
        } else {
            line->setSelection(from, to - from);
        }
        return 0;
    }
    case EM_GETSEL: {
        int start = line->cursorPosition();
        int end = start;
        if (line->hasSelectedText()) {
            start = line->selectionStart();
            end = start + static_cast<int>(line->selectedText().size());
        }
        if (auto* out = reinterpret_cast<DWORD*>(wParam))
            *out = static_cast<DWORD>(start);
        if (auto* out = reinterpret_cast<DWORD*>(lParam))
            *out = static_cast<DWORD>(end);
        return MAKELPARAM(start, end);
    }
    case EM_SCROLLCARET:
        // The line edit keeps its cursor in view by itself.
        return TRUE;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace platform::core
