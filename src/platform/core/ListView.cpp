// The list view: a Qt table view inside the window. It stores no items: the
// parent gives each visible cell's text (LVN_GETDISPINFO) and may colour and
// draw into each cell before its text is drawn (NM_CUSTOMDRAW). One row at
// most is selected, and drawn in the highlight colours unless the parent
// takes CDIS_SELECTED out of the row's state.
#include "platform/core/ListView.h"

#include "platform/core/MessageQueue.h"
#include "platform/core/WindowObject.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiInternal.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>

#include <vector>

namespace platform::core {

namespace {

struct Column {
    std::u16string text;
    int width = 0;
};

class ListModel : public QAbstractTableModel {
public:
    explicit ListModel(ListState* state) : m_state(state) { }
    int rowCount(const QModelIndex& parent) const override;
    int columnCount(const QModelIndex& parent) const override;
    QVariant data(const QModelIndex&, int) const override { return {}; }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void Reset()
    {
        beginResetModel();
        endResetModel();
    }

private:
    ListState* m_state;
};

// Paints one cell: background, the parent's custom drawing, then the text.
class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(ListState* state) : m_state(state) { }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    ListState* m_state;
};

class ListTable : public QTableView {
public:
    ListTable(ListState* state, QWidget* parent) : QTableView(parent), m_state(state) { }

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    POINT ListPoint(QMouseEvent* event) const;
    ListState* m_state;
};

}  // namespace

class ListState {
public:
    HWND window = nullptr;
    std::vector<Column> columns;
    int itemCount = 0;
    int selected = -1;  // the selected row, -1 for none
    HFONT font = nullptr;
    ListTable* table = nullptr;
    ListModel* model = nullptr;
    // Custom draw answers of the paint cycle under way.
    bool notifyItems = false;
    bool notifySubItems = false;
    int lastRow = -1;

    LRESULT Notify(NMHDR& header) const
    {
        header.hwndFrom = window;
        header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window));
        return SendMessageW(GetParent(window), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    }

    std::u16string CellText(int row, int column) const
    {
        WCHAR buffer[260] = {};
        NMLVDISPINFOW request{};
        request.hdr.code = LVN_GETDISPINFOW;
        request.item.mask = LVIF_TEXT;
        request.item.iItem = row;
        request.item.iSubItem = column;
        request.item.pszText = buffer;
        request.item.cchTextMax = static_cast<int>(std::size(buffer));
        Notify(request.hdr);
        buffer[std::size(buffer) - 1] = 0;
        // The parent may answer with its own buffer instead of filling ours.
        const WCHAR* text = request.item.pszText != nullptr ? request.item.pszText : buffer;
        return std::u16string(text);
    }

    void ApplyFont()
    {
        QFont qfont;
        if (font != nullptr && platform::gdi::FontOf(font, qfont))
            table->setFont(qfont);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        if (old != nullptr)
            SelectObject(dc, old);
        DeleteDC(dc);
        table->verticalHeader()->setDefaultSectionSize(std::max<int>(metrics.tmHeight + 2, 8));
        table->viewport()->update();
    }

    // A frame only with WS_BORDER; the keyboard focus by the Tab key only
    // with WS_TABSTOP (a tap gives the list the focus either way).
    void ApplyStyle()
    {
        HWND__* w = Lookup(window);
        if (w == nullptr)
            return;
        table->setFrameShape((w->style & WS_BORDER) != 0 ? QFrame::Box : QFrame::NoFrame);
        table->setFrameShadow(QFrame::Plain);
        table->setLineWidth(1);
        table->setFocusPolicy((w->style & WS_TABSTOP) != 0 ? Qt::StrongFocus : Qt::ClickFocus);
    }

    void ApplyColumns()
    {
        model->Reset();
        for (std::size_t i = 0; i < columns.size(); ++i)
            table->setColumnWidth(static_cast<int>(i), columns[i].width);
    }
};

namespace {

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_state->itemCount;
}

int ListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_state->columns.size());
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= static_cast<int>(m_state->columns.size()))
        return {};
    return QString::fromStdU16String(m_state->columns[static_cast<std::size_t>(section)].text);
}

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QRect cell = option.rect;
    if (cell.isEmpty())
        return;
    QImage image(cell.size(), QImage::Format_RGB32);
    HDC dc = platform::gdi::CreateImageDC(&image);
    HGDIOBJ oldFont = m_state->font != nullptr ? SelectObject(dc, m_state->font) : nullptr;
    RECT rect{0, 0, cell.width(), cell.height()};
    const int row = index.row();
    UINT itemState = row == m_state->selected ? CDIS_SELECTED : 0;
    FillRect(dc, &rect, GetSysColorBrush(itemState != 0 ? COLOR_HIGHLIGHT : COLOR_WINDOW));

    COLORREF textColour = GetSysColor(COLOR_WINDOWTEXT);
    COLORREF backColour = GetSysColor(COLOR_WINDOW);
    if (m_state->notifyItems && row != m_state->lastRow) {
        m_state->lastRow = row;
        NMLVCUSTOMDRAW draw{};
        draw.nmcd.hdr.code = NM_CUSTOMDRAW;
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.hdc = dc;
        draw.nmcd.rc = rect;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
        draw.nmcd.uItemState = itemState;
        draw.clrText = textColour;
        draw.clrTextBk = backColour;
        m_state->notifySubItems = (m_state->Notify(draw.nmcd.hdr) & CDRF_NOTIFYSUBITEMDRAW) != 0;
    }
    if (m_state->notifyItems && m_state->notifySubItems) {
        NMLVCUSTOMDRAW draw{};
        draw.nmcd.hdr.code = NM_CUSTOMDRAW;
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
        draw.nmcd.hdc = dc;
        draw.nmcd.rc = rect;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
        draw.nmcd.uItemState = itemState;
        draw.iSubItem = index.column();
        draw.clrText = textColour;
        draw.clrTextBk = backColour;
        m_state->Notify(draw.nmcd.hdr);
        textColour = draw.clrText;
        backColour = draw.clrTextBk;
        rect = draw.nmcd.rc;
        itemState = draw.nmcd.uItemState;
    }
    if (itemState & CDIS_SELECTED) {
        textColour = GetSysColor(COLOR_HIGHLIGHTTEXT);
        backColour = GetSysColor(COLOR_HIGHLIGHT);
    }
    // The text goes where the parent left room for it, in its colours.
    HBRUSH back = CreateSolidBrush(backColour);
    FillRect(dc, &rect, back);
    DeleteObject(back);
    const std::u16string text = m_state->CellText(row, index.column());
    RECT textRect{rect.left + 2, rect.top, rect.right - 2, rect.bottom};
    SetTextColor(dc, textColour);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (oldFont != nullptr)
        SelectObject(dc, oldFont);
    platform::gdi::DestroyImageDC(dc);
    painter->drawImage(cell.topLeft(), image);
}

void ListTable::paintEvent(QPaintEvent* event)
{
    // One paint cycle: the parent is asked once whether it wants the rows.
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = CDDS_PREPAINT;
    GetClientRect(m_state->window, &draw.nmcd.rc);
    m_state->notifyItems = (m_state->Notify(draw.nmcd.hdr) & CDRF_NOTIFYITEMDRAW) != 0;
    m_state->notifySubItems = false;
    m_state->lastRow = -1;
    QTableView::paintEvent(event);
}

void ListTable::focusInEvent(QFocusEvent* event)
{
    // The keyboard focus the table takes (by the Tab key or a tap) is the
    // list window's focus.
    QTableView::focusInEvent(event);
    if (GetFocus() != m_state->window)
        SetFocus(m_state->window);
}

POINT ListTable::ListPoint(QMouseEvent* event) const
{
    const QPoint inList = viewport()->mapTo(parentWidget(), event->position().toPoint());
    return POINT{inList.x(), inList.y()};
}

void ListTable::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const POINT point = ListPoint(event);
    WPARAM keys = MK_LBUTTON | ((event->modifiers() & Qt::ControlModifier) ? MK_CONTROL : 0);
    DeliverInput(MSG{m_state->window, WM_LBUTTONDOWN, keys, MAKELPARAM(point.x, point.y), 0, {}, 0});
}

void ListTable::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || Lookup(m_state->window) == nullptr)
        return;
    const POINT point = ListPoint(event);
    DeliverInput(MSG{m_state->window, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y), 0, {}, 0});
    const QModelIndex index = indexAt(event->position().toPoint());
    NMITEMACTIVATE click{};
    click.hdr.code = NM_CLICK;
    click.iItem = index.isValid() ? index.row() : -1;
    click.iSubItem = index.isValid() ? index.column() : 0;
    click.ptAction = point;
    m_state->Notify(click.hdr);
}

ListState* StateOf(HWND window)
{
    return OwnedStateOf<ListState>(window);
}

// Builds the list's table, its model and its cell painter inside the window.
LRESULT Create(HWND window)
{
    HWND__* w = Lookup(window);
    auto* state = new ListState;
    state->window = window;
    w->control = state;
    state->table = new ListTable(state, w->widget);
    state->model = new ListModel(state);
    state->table->setModel(state->model);
    // A view does not own its delegate: the table does, so that both go
    // when the window is destroyed.
    auto* delegate = new CellDelegate(state);
    delegate->setParent(state->table);
    state->table->setItemDelegate(delegate);
    state->table->setSelectionMode(QAbstractItemView::NoSelection);
    // Tab leaves the list rather than stepping through its cells.
    state->table->setTabKeyNavigation(false);
    w->widget->setFocusProxy(state->table);
    state->ApplyStyle();
    state->table->setShowGrid(false);
    state->table->verticalHeader()->hide();
    QHeaderView* header = state->table->horizontalHeader();
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setMinimumSectionSize(1);
    state->table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    state->table->setGeometry(0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top);
    state->table->show();
    state->ApplyFont();
    return 0;
}

}  // namespace

LRESULT ListViewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND__* w = Lookup(window);
    ListState* state = StateOf(window);
    switch (message) {
    case WM_CREATE: return Create(window);
    case WM_DESTROY:
        if (state != nullptr) {
            w->control = std::monostate{};
            delete state->model;
            state->table->deleteLater();
            delete state;
        }
        return 0;
    case WM_NCCALCSIZE:
        if (state != nullptr)
            state->ApplyStyle();
        return 0;
    case WM_SIZE:
        if (state != nullptr)
            state->table->setGeometry(0, 0, LOWORD(static_cast<std::uintptr_t>(lParam)),
                                      HIWORD(static_cast<std::uintptr_t>(lParam)));
        return 0;
    case WM_SETFONT:
        DefWindowProcW(window, message, wParam, lParam);
        if (state != nullptr) {
            state->font = reinterpret_cast<HFONT>(wParam);
            state->ApplyFont();
        }
        return 0;
    case WM_PAINT:
        // The table shows the list; the window itself has nothing to draw.
        return DefWindowProcW(window, message, wParam, lParam);
    case LVM_INSERTCOLUMNW: {
        const auto* column = reinterpret_cast<const LVCOLUMNW*>(lParam);
        if (state == nullptr || column == nullptr)
            return -1;
        const auto at =
            std::min<std::size_t>(static_cast<std::size_t>(std::max<WPARAM>(0, wParam)), state->columns.size());
        Column c;
        if ((column->mask & LVCF_TEXT) && column->pszText != nullptr)
            c.text = column->pszText;
        c.width = (column->mask & LVCF_WIDTH) ? column->cx : 50;
        state->columns.insert(state->columns.begin() + static_cast<std::ptrdiff_t>(at), c);
        state->ApplyColumns();
        return static_cast<LRESULT>(at);
    }
    case LVM_SETCOLUMNW: {
        const auto* column = reinterpret_cast<const LVCOLUMNW*>(lParam);
        if (state == nullptr || column == nullptr || wParam >= state->columns.size())
            return FALSE;
        Column& c = state->columns[wParam];
        if (column->mask & LVCF_WIDTH)
            c.width = column->cx;
        if ((column->mask & LVCF_TEXT) && column->pszText != nullptr)
            c.text = column->pszText;
        state->ApplyColumns();
        return TRUE;
    }
    case LVM_SETCOLUMNWIDTH:
        if (state == nullptr || wParam >= state->columns.size())
            return FALSE;
        state->columns[wParam].width =
            static_cast<int>(static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(lParam))));
        state->ApplyColumns();
        return TRUE;
    case LVM_GETCOLUMNWIDTH:
        if (state == nullptr || wParam >= state->columns.size())
            return 0;
        return state->columns[wParam].width;
    case LVM_SETITEMCOUNT:
        if (state == nullptr)
            return FALSE;
        // The selection stays on its row while the row is still there.
        state->itemCount = std::max<int>(0, static_cast<int>(wParam));
        if (state->selected >= state->itemCount)
            state->selected = -1;
        state->model->Reset();
        return TRUE;
    case LVM_DELETEALLITEMS:
        if (state == nullptr)
            return FALSE;
        state->itemCount = 0;
        state->selected = -1;
        state->model->Reset();
        return TRUE;
    case LVM_SETITEMSTATE: {
        const auto* item = reinterpret_cast<const LVITEMW*>(lParam);
        const int row = static_cast<int>(wParam);
        if (state == nullptr || item == nullptr || row < -1 || row >= state->itemCount)
            return FALSE;
        if ((item->stateMask & LVIS_SELECTED) == 0)
            return TRUE;
        const bool select = (item->state & LVIS_SELECTED) != 0;
        if (select && row >= 0)
            state->selected = row;
        else if (!select && (row == -1 || row == state->selected))
            state->selected = -1;
        state->table->viewport()->update();
        return TRUE;
    }
    case LVM_GETITEMSTATE:
        if (state == nullptr)
            return 0;
        return (lParam & LVIS_SELECTED) != 0 && static_cast<int>(wParam) == state->selected && state->selected >= 0
                   ? LVIS_SELECTED
                   : 0;
    case LVM_GETITEMCOUNT: return state != nullptr ? state->itemCount : 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace platform::core

const CRuntimeClass CListCtrl::classCListCtrl = {"CListCtrl", &CWnd::classCWnd};

const CRuntimeClass* CListCtrl::GetRuntimeClass() const
{
    return &classCListCtrl;
}

int CListCtrl::InsertColumn(int column, const WCHAR* heading, int format, int width, int subItem)
{
    LVCOLUMNW record{};
    record.mask = LVCF_FMT | LVCF_TEXT | (width >= 0 ? LVCF_WIDTH : 0) | (subItem >= 0 ? LVCF_SUBITEM : 0);
    record.fmt = format;
    record.cx = width;
    record.pszText = const_cast<WCHAR*>(heading);
    record.iSubItem = subItem;
    return static_cast<int>(
        SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&record)));
}

int CListCtrl::GetColumnWidth(int column) const
{
    return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

BOOL CListCtrl::SetItemCountEx(int count, DWORD flags)
{
    return static_cast<BOOL>(SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(count), static_cast<LPARAM>(flags)));
}

int CListCtrl::GetItemCount() const
{
    return static_cast<int>(SendMessage(LVM_GETITEMCOUNT));
}

BOOL CListCtrl::DeleteAllItems()
{
    return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS));
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask)
{
    LVITEMW record{};
    record.mask = LVIF_STATE;
    record.state = state;
    record.stateMask = mask;
    return static_cast<BOOL>(
        SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&record)));
}

UINT CListCtrl::GetItemState(int item, UINT mask) const
{
    return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(item), static_cast<LPARAM>(mask)));
}
