// The combo box: a Qt combo box inside the window. The window keeps the
// Win32 geometry (box and dropped list together); the Qt box fills only the
// top of it and the rest of the window is masked away, so the controls below
// stay visible and take their own taps.
#include "platform/core/ComboBox.h"

#include "platform/core/WindowObject.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiInternal.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QRegion>

#include <algorithm>
#include <functional>

namespace platform::core {

namespace {

// Room above and below an entry's text in the box: the edit field's border.
constexpr int kBoxBorder = 3;

}  // namespace

class ComboState {
public:
    HWND window = nullptr;
    QComboBox* box = nullptr;
    bool sorted = false;
    bool editable = false;
    int itemHeight = 13;
    // The selected entry as the program sees it. Qt moves its own current
    // index when entries come and go; Win32 keeps the selection where it is.
    int selection = -1;

    int BoxHeight() const { return itemHeight + 2 * kBoxBorder; }

    QString EditText() const
    {
        if (editable)
            return box->lineEdit()->text();
        return selection >= 0 ? box->itemText(selection) : QString();
    }

    // Puts Qt's current index and edit text where the program has them,
    // without telling anyone: only the user's picks notify the parent.
    void ShowSelection(const QString& editText)
    {
        const QSignalBlocker blocker(box);
        box->setCurrentIndex(selection);
        if (editable)
            box->lineEdit()->setText(editText);
    }

    void Layout()
    {
        HWND__* w = Lookup(window);
        if (w == nullptr)
            return;
        const int width = std::max<LONG>(0, w->rect.right - w->rect.left);
        const int height = std::max<LONG>(0, w->rect.bottom - w->rect.top);
        const int boxHeight = std::min(BoxHeight(), std::max(height, 1));
        box->setGeometry(0, 0, width, boxHeight);
        if (w->widget != nullptr)
            w->widget->setMask(QRegion(0, 0, std::max(width, 1), boxHeight));
        // The dropped list takes the rest of the window's height.
        box->setMaxVisibleItems(std::max(1, (height - boxHeight) / std::max(1, itemHeight)));
    }

    void ApplyFont(HFONT font)
    {
        QFont qfont;
        if (font != nullptr && platform::gdi::FontOf(font, qfont)) {
            box->setFont(qfont);
            box->view()->setFont(qfont);
        }
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
        TEXTMETRICW metrics{};
        if (GetTextMetricsW(dc, &metrics) && metrics.tmHeight > 0)
            itemHeight = metrics.tmHeight;
        if (old != nullptr)
            SelectObject(dc, old);
        DeleteDC(dc);
        Layout();
    }

    // Where a new entry goes: at the end, or after every entry that sorts
    // before it or equal to it, ignoring case as Windows does.
    int InsertionPoint(const QString& text) const
    {
        const int count = box->count();
        if (!sorted)
            return count;
        int low = 0;
        int high = count;
        while (low < high) {
            const int middle = (low + high) / 2;
            if (QString::compare(box->itemText(middle), text, Qt::CaseInsensitive) <= 0)
                low = middle + 1;
            else
                high = middle;
        }
        return low;
    }

    // Asks the parent for the colours of one part of the box (WM_CTLCOLOREDIT
    // for the box and its edit field, WM_CTLCOLORLISTBOX for the dropped
    // list) and shows the part in them: the background in the brush the
    // parent answers (or its background colour), the text in its text colour.
    void TakeParentColours(QWidget* part, UINT message) const
    {
        HWND parent = GetParent(window);
        if (parent == nullptr || part == nullptr)
            return;
        HDC dc = CreateCompatibleDC(nullptr);
        if (dc == nullptr)
            return;
        auto brush = reinterpret_cast<HBRUSH>(
            SendMessageW(parent, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window)));
        COLORREF back = GetBkColor(dc);
        LOGBRUSH record{};
        if (brush != nullptr && GetObjectW(brush, sizeof record, &record) == sizeof record &&
            record.lbStyle == BS_SOLID)
            back = record.lbColor;
        const COLORREF text = GetTextColor(dc);
        DeleteDC(dc);
        QPalette palette = part->palette();
        palette.setColor(QPalette::Base, QColor(GetRValue(back), GetGValue(back), GetBValue(back)));
        palette.setColor(QPalette::Text, QColor(GetRValue(text), GetGValue(text), GetBValue(text)));
        // Only a change repaints: asked again at that paint, the parent
        // gives the same answer and nothing more happens.
        if (palette != part->palette())
            part->setPalette(palette);
    }

    void UserPicked(int index)
    {
        selection = index;
        const WPARAM command = MAKEWPARAM(GetDlgCtrlID(window), static_cast<int>(CBN_SELCHANGE));
        if (HWND parent = GetParent(window))
            SendMessageW(parent, WM_COMMAND, command, reinterpret_cast<LPARAM>(window));
    }
};

namespace {

// Runs before each paint of the widget it watches.
class BeforePaint : public QObject {
public:
    BeforePaint(QObject* parent, std::function<void()> work) : QObject(parent), m_work(std::move(work)) { }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            m_work();
        return false;
    }

private:
    std::function<void()> m_work;
};

ComboState* StateOf(HWND window)
{
    return OwnedStateOf<ComboState>(window);
}

LRESULT CopyText(const QString& text, WCHAR* buffer, std::size_t capacity)
{
    if (buffer == nullptr || capacity == 0)
        return 0;
    const std::u16string value = text.toStdU16String();
    const std::size_t n = std::min(value.size(), capacity - 1);
    std::copy_n(value.data(), n, buffer);
    buffer[n] = 0;
    return static_cast<LRESULT>(n);
}

LRESULT Create(HWND window)
{
    HWND__* w = Lookup(window);
    auto* state = new ComboState;
    state->window = window;
    state->sorted = (w->style & CBS_SORT) != 0;
    // A simple or drop-down combo box lets the user type; a drop-down list
    // only offers its entries.
    state->editable = (w->style & 0x3) != CBS_DROPDOWNLIST;
    w->control = state;
    state->box = new QComboBox(w->widget);
    state->box->setEditable(state->editable);
    state->box->setInsertPolicy(QComboBox::NoInsert);
    if (state->editable) {
        state->box->setCompleter(nullptr);
        state->box->lineEdit()->setText(QString::fromStdU16String(w->text));
    }
    // activated comes only from the user, never from the program's own
    // changes of the selection.
    QObject::connect(state->box, &QComboBox::activated, [window](int index) {
        if (ComboState* s = StateOf(window))
            s->UserPicked(index);
    });
    // Every part asks the dialog for its colours each time it is painted,
    // as a Win32 combo box does.
    auto watch = [window](QWidget* painted, QWidget* part, UINT message) {
        painted->installEventFilter(new BeforePaint(painted, [window, part, message] {
            // The box may outlive its window by a moment (it goes later).
            if (const ComboState* s = StateOf(window))
                s->TakeParentColours(part, message);
        }));
    };
    watch(state->box, state->box, WM_CTLCOLOREDIT);
    if (state->editable)
        watch(state->box->lineEdit(), state->box->lineEdit(), WM_CTLCOLOREDIT);
    // The list paints its entries in the view's colours, on its viewport.
    watch(state->box->view()->viewport(), state->box->view(), WM_CTLCOLORLISTBOX);
    state->ApplyFont(w->font);
    state->box->show();
    return 0;
}

}  // namespace

LRESULT ComboBoxWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND__* w = Lookup(window);
    ComboState* state = StateOf(window);
    if (w == nullptr)
        return 0;
    if (message == WM_CREATE)
        return Create(window);
    if (state == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);

    switch (message) {
    case WM_DESTROY:
        w->control = std::monostate{};
        state->box->disconnect();
        state->box->deleteLater();
        delete state;
        return 0;
    case WM_SIZE: state->Layout(); return 0;
    case WM_SETFONT:
        DefWindowProcW(window, message, wParam, lParam);
        state->ApplyFont(reinterpret_cast<HFONT>(wParam));
        return 0;
    case WM_PAINT:
        // The Qt box shows the control; the window has nothing to draw.
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_SETTEXT: {
        const auto* text = reinterpret_cast<const WCHAR*>(lParam);
        if (!state->editable)
            return CB_ERR;
        const QSignalBlocker blocker(state->box);
        state->box->lineEdit()->setText(text != nullptr ? QString::fromStdU16String(text) : QString());
        return TRUE;
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(state->EditText().toStdU16String().size());
    case WM_GETTEXT: return CopyText(state->EditText(), reinterpret_cast<WCHAR*>(lParam), wParam);
    case CB_ADDSTRING: {
        const auto* text = reinterpret_cast<const WCHAR*>(lParam);
        if (text == nullptr)
            return CB_ERR;
        const QString entry = QString::fromStdU16String(text);
        const QString editText = state->EditText();
        const int at = state->InsertionPoint(entry);
        {
            const QSignalBlocker blocker(state->box);
            state->box->insertItem(at, entry);
        }
        if (state->selection >= at)
            ++state->selection;
        state->ShowSelection(editText);
        return at;
    }
    case CB_DELETESTRING: {
        const int index = static_cast<int>(wParam);
        if (wParam >= static_cast<WPARAM>(state->box->count()))
            return CB_ERR;
        const QString editText = state->EditText();
        {
            const QSignalBlocker blocker(state->box);
            state->box->removeItem(index);
        }
        if (state->selection == index)
            state->selection = -1;
        else if (state->selection > index)
            --state->selection;
        state->ShowSelection(editText);
        return state->box->count();
    }
    case CB_RESETCONTENT: {
        const QSignalBlocker blocker(state->box);
        state->box->clear();
        state->selection = -1;
        state->ShowSelection(QString());
        return CB_OKAY;
    }
    case CB_GETCOUNT: return state->box->count();
    case CB_SETCURSEL: {
        const auto index = static_cast<std::intptr_t>(wParam);
        // An index past the end clears the selection and reports an error,
        // as -1 does on purpose.
        const bool valid = index >= 0 && index < state->box->count();
        state->selection = valid ? static_cast<int>(index) : -1;
        state->ShowSelection(valid ? state->box->itemText(state->selection) : QString());
        return valid ? static_cast<LRESULT>(index) : CB_ERR;
    }
    case CB_GETCURSEL: return state->selection >= 0 ? state->selection : CB_ERR;
    case CB_GETLBTEXTLEN:
        if (wParam >= static_cast<WPARAM>(state->box->count()))
            return CB_ERR;
        return static_cast<LRESULT>(state->box->itemText(static_cast<int>(wParam)).toStdU16String().size());
    case CB_GETLBTEXT: {
        // As on Win32 the caller's buffer must hold CB_GETLBTEXTLEN + 1
        // code units.
        auto* buffer = reinterpret_cast<WCHAR*>(lParam);
        if (buffer == nullptr || wParam >= static_cast<WPARAM>(state->box->count()))
            return CB_ERR;
        const std::u16string text = state->box->itemText(static_cast<int>(wParam)).toStdU16String();
        std::copy(text.begin(), text.end(), buffer);
        buffer[text.size()] = 0;
        return static_cast<LRESULT>(text.size());
    }
    case CB_GETITEMHEIGHT: return static_cast<std::intptr_t>(wParam) == -1 ? state->BoxHeight() : state->itemHeight;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace platform::core

const CRuntimeClass CComboBox::classCComboBox = {"CComboBox", &CWnd::classCWnd};

const CRuntimeClass* CComboBox::GetRuntimeClass() const
{
    return &classCComboBox;
}

int CComboBox::AddString(const WCHAR* text)
{
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int CComboBox::SetCurSel(int index)
{
    return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)));
}

int CComboBox::GetCurSel() const
{
    return static_cast<int>(SendMessage(CB_GETCURSEL));
}

int CComboBox::GetCount() const
{
    return static_cast<int>(SendMessage(CB_GETCOUNT));
}

int CComboBox::GetLBTextLen(int index) const
{
    return static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index)));
}

int CComboBox::GetLBText(int index, CString& text) const
{
    text.clear();
    const int length = GetLBTextLen(index);
    if (length < 0)
        return CB_ERR;
    CString buffer(static_cast<std::size_t>(length) + 1, u'\0');
    const int copied = static_cast<int>(
        SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data())));
    if (copied < 0)
        return CB_ERR;
    buffer.resize(static_cast<std::size_t>(copied));
    text = buffer;
    return copied;
}

int CComboBox::GetItemHeight(int index) const
{
    return static_cast<int>(SendMessage(CB_GETITEMHEIGHT, static_cast<WPARAM>(index)));
}

void CComboBox::ResetContent()
{
    SendMessage(CB_RESETCONTENT);
}

int CComboBox::DeleteString(UINT index)
{
    return static_cast<int>(SendMessage(CB_DELETESTRING, index));
}
