// The menu templates: the scanner page's row popup (160) and the options
// page's language popup (175).
#include "platform/Resources.h"

namespace {

const MenuItemTemplate kRowItems[] = {
    {u"Go Large", 32771, nullptr, 0},
};
const MenuItemTemplate kRowMenu[] = {
    {u"Popup", 0, kRowItems, 1},
};

// The languages by their own names, in this order.
const MenuItemTemplate kLanguageItems[] = {
    {u"Deutsch", 32781, nullptr, 0},
    {u"English", 32774, nullptr, 0},
    {u"Fran\u00E7ais", 32775, nullptr, 0},
    {u"Magyar", 32776, nullptr, 0},
    {u"Polski", 32777, nullptr, 0},
    {u"Portugu\u00EAs", 32779, nullptr, 0},
    // The Russian name starts with a Latin "P", as it always has in this menu.
    {u"P\u0443\u0441\u0441\u043A\u0438\u0439", 32780, nullptr, 0},
};
const MenuItemTemplate kLanguageMenu[] = {
    {u"Languages", 0, kLanguageItems, sizeof kLanguageItems / sizeof kLanguageItems[0]},
};

const MenuTemplate kMenus[] = {
    {160, kRowMenu, 1},
    {175, kLanguageMenu, 1},
};

}  // namespace

const MenuTemplate* FindMenuResource(UINT id)
{
    for (const MenuTemplate& menu : kMenus)
        if (menu.id == id)
            return &menu;
    return nullptr;
}
