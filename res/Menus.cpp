// The menu templates: the scanner page's row popup and the options page's
// language popup.
#include "platform/Resources.h"
#include "res/Resource.h"
#include "res/ResourceTable.h"

namespace {

const MenuItemTemplate kRowItems[] = {
    {u"Go Large", ID_GO_LARGE, nullptr, 0},
};
const MenuItemTemplate kRowMenu[] = {
    {u"Popup", 0, kRowItems, 1},
};

// The languages by their own names, in this order.
const MenuItemTemplate kLanguageItems[] = {
    {u"Deutsch", ID_LANGUAGE_GERMAN, nullptr, 0},
    {u"English", ID_LANGUAGE_ENGLISH, nullptr, 0},
    {u"Fran\u00E7ais", ID_LANGUAGE_FRENCH, nullptr, 0},
    {u"Magyar", ID_LANGUAGE_HUNGARIAN, nullptr, 0},
    {u"Polski", ID_LANGUAGE_POLISH, nullptr, 0},
    {u"Portugu\u00EAs", ID_LANGUAGE_PORTUGUESE, nullptr, 0},
    // The Russian name starts with a Latin "P", as it always has in this menu.
    {u"P\u0443\u0441\u0441\u043A\u0438\u0439", ID_LANGUAGE_RUSSIAN, nullptr, 0},
};
const MenuItemTemplate kLanguageMenu[] = {
    {u"Languages", 0, kLanguageItems, sizeof kLanguageItems / sizeof kLanguageItems[0]},
};

const MenuTemplate kMenus[] = {
    {IDM_ROW_POPUP, kRowMenu, 1},
    {IDM_LANGUAGES, kLanguageMenu, 1},
};

}  // namespace

const MenuTemplate* FindMenuResource(UINT id)
{
    return FindById(kMenus, id);
}
