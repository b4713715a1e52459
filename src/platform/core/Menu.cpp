#include "platform/core/Menu.h"

#include "platform/Resources.h"
#include "platform/Testing.h"
#include "platform/core/StopRequest.h"
#include "platform/core/Window.h"
#include "platform/core/WindowObject.h"

#include <QMenu>

#include <memory>
#include <vector>

struct HMENU__ {
    struct Item {
        std::u16string text;
        UINT command = 0;
        HMENU popup = nullptr;  // owned
    };
    std::vector<Item> items;
};

namespace {

platform::core::MenuChooser& Chooser()
{
    static platform::core::MenuChooser chooser;
    return chooser;
}

HMENU Build(const MenuItemTemplate* items, std::size_t count)
{
    auto* menu = new HMENU__;
    for (std::size_t i = 0; i < count; ++i) {
        HMENU__::Item item;
        item.text = items[i].text != nullptr ? items[i].text : u"";
        item.command = items[i].command;
        if (items[i].children != nullptr)
            item.popup = Build(items[i].children, items[i].childCount);
        menu->items.push_back(std::move(item));
    }
    return menu;
}

// The entry an item names: by position, or by command anywhere below.
bool Find(HMENU menu, UINT item, UINT flags, HMENU* owner, std::size_t* index)
{
    if (menu == nullptr)
        return false;
    if (flags & MF_BYPOSITION) {
        if (item >= menu->items.size())
            return false;
        *owner = menu;
        *index = item;
        return true;
    }
    for (std::size_t i = 0; i < menu->items.size(); ++i) {
        if (menu->items[i].popup == nullptr && menu->items[i].command == item) {
            *owner = menu;
            *index = i;
            return true;
        }
        if (Find(menu->items[i].popup, item, flags, owner, index))
            return true;
    }
    return false;
}

void Free(HMENU menu)
{
    if (menu == nullptr)
        return;
    for (auto& item : menu->items)
        Free(item.popup);
    delete menu;
}

// A menu built from the module's menu resource, or null.
HMENU LoadMenuResource(UINT id)
{
    const MenuTemplate* resource = FindMenuResource(id);
    return resource != nullptr ? Build(resource->items, resource->itemCount) : nullptr;
}

// Inserts a command item before the item that position names, or at the end.
BOOL InsertItem(HMENU menu, UINT position, UINT flags, UINT_PTR id, const WCHAR* text)
{
    if (menu == nullptr)
        return FALSE;
    std::size_t index = menu->items.size();
    if (flags & MF_BYPOSITION) {
        index = std::min<std::size_t>(position, menu->items.size());
    } else {
        HMENU owner = nullptr;
        std::size_t found = 0;
        if (Find(menu, position, flags, &owner, &found)) {
            menu = owner;
            index = found;
        }
    }
    HMENU__::Item item;
    item.text = text != nullptr ? text : u"";
    item.command = static_cast<UINT>(id);
    menu->items.insert(menu->items.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
    return TRUE;
}

}  // namespace

namespace platform::core {

void SetMenuChooser(MenuChooser chooser)
{
    Chooser() = std::move(chooser);
}

}  // namespace platform::core

HMENU GetSubMenu(HMENU menu, int position)
{
    if (menu == nullptr || position < 0 || static_cast<std::size_t>(position) >= menu->items.size())
        return nullptr;
    return menu->items[static_cast<std::size_t>(position)].popup;
}

int GetMenuItemCount(HMENU menu)
{
    return menu != nullptr ? static_cast<int>(menu->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position)
{
    if (menu == nullptr || position < 0 || static_cast<std::size_t>(position) >= menu->items.size() ||
        menu->items[static_cast<std::size_t>(position)].popup != nullptr)
        return static_cast<UINT>(-1);
    return menu->items[static_cast<std::size_t>(position)].command;
}

int GetMenuStringW(HMENU menu, UINT item, WCHAR* buffer, int maxChars, UINT flags)
{
    HMENU owner = nullptr;
    std::size_t index = 0;
    if (!Find(menu, item, flags, &owner, &index) || buffer == nullptr || maxChars <= 0)
        return 0;
    const std::u16string& text = owner->items[index].text;
    const std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(maxChars - 1));
    std::copy_n(text.data(), n, buffer);
    buffer[n] = 0;
    return static_cast<int>(n);
}

BOOL DeleteMenu(HMENU menu, UINT item, UINT flags)
{
    HMENU owner = nullptr;
    std::size_t index = 0;
    if (!Find(menu, item, flags, &owner, &index))
        return FALSE;
    Free(owner->items[index].popup);
    owner->items.erase(owner->items.begin() + static_cast<std::ptrdiff_t>(index));
    return TRUE;
}

BOOL DestroyMenu(HMENU menu)
{
    if (menu == nullptr)
        return FALSE;
    Free(menu);
    return TRUE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*)
{
    using platform::core::Lookup;
    if (menu == nullptr || Lookup(owner) == nullptr)
        return FALSE;
    UINT chosen = 0;
    if (platform::core::StopRequested()) {
        // Nobody is there to choose once the process is asked to stop.
    } else if (Chooser()) {
        chosen = Chooser()(menu, POINT{x, y});
    } else {
        QMenu popup;
        for (const auto& item : menu->items) {
            if (item.popup != nullptr)
                continue;
            QAction* action = popup.addAction(QString::fromStdU16String(item.text));
            action->setData(item.command);
        }
        // The handheld's screen point, placed on the desktop through the
        // owner's top-level window.
        HWND top = owner;
        while (GetParent(top) != nullptr)
            top = GetParent(top);
        HWND__* t = Lookup(top);
        QPoint at(x - t->rect.left, y - t->rect.top);
        at = t->widget->mapToGlobal(at);
        if (flags & TPM_BOTTOMALIGN)
            at.setY(at.y() - popup.sizeHint().height());
        const platform::core::StopListener closeOnStop([&popup] { popup.close(); });
        if (QAction* action = popup.exec(at); action != nullptr && !platform::core::StopRequested())
            chosen = action->data().toUInt();
    }
    if (flags & TPM_RETURNCMD)
        return static_cast<BOOL>(chosen);
    if (chosen != 0)
        PostMessageW(owner, WM_COMMAND, MAKEWPARAM(static_cast<int>(chosen), 0), 0);
    return TRUE;
}

CMenu::~CMenu()
{
    delete m_sub;
    if (m_owned)
        ::DestroyMenu(m_hMenu);
}

BOOL CMenu::LoadMenu(UINT id)
{
    DestroyMenu();
    m_hMenu = LoadMenuResource(id);
    m_owned = m_hMenu != nullptr;
    return m_owned;
}

CMenu* CMenu::GetSubMenu(int position)
{
    HMENU sub = ::GetSubMenu(m_hMenu, position);
    if (sub == nullptr)
        return nullptr;
    delete m_sub;
    m_sub = new CMenu;
    m_sub->m_hMenu = sub;
    return m_sub;
}

BOOL CMenu::DeleteMenu(UINT item, UINT flags)
{
    return ::DeleteMenu(m_hMenu, item, flags);
}

BOOL CMenu::InsertMenu(UINT position, UINT flags, UINT_PTR id, const WCHAR* text)
{
    return InsertItem(m_hMenu, position, flags, id, text);
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, HWND owner, const RECT* unused)
{
    return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner, unused);
}

BOOL CMenu::DestroyMenu()
{
    delete m_sub;
    m_sub = nullptr;
    BOOL done = FALSE;
    if (m_owned && m_hMenu != nullptr)
        done = ::DestroyMenu(m_hMenu);
    m_hMenu = nullptr;
    m_owned = false;
    return done;
}
