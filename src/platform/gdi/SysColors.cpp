// System colours from the desktop's palette.
#include "platform/Testing.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/GdiState.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>

namespace platform::gdi {

namespace {

struct SysColorSource {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Where each system colour comes from. The caption takes the highlight (the
// desktop's accent colour) the way the handheld's title bar coloured its
// dialogs.
constexpr std::array<SysColorSource, COLOR_STATICTEXT + 1> kSources = {{
    {QPalette::Active, QPalette::Button},           // COLOR_SCROLLBAR
    {QPalette::Active, QPalette::Window},           // COLOR_BACKGROUND
    {QPalette::Active, QPalette::Highlight},        // COLOR_ACTIVECAPTION
    {QPalette::Active, QPalette::Mid},              // COLOR_INACTIVECAPTION
    {QPalette::Active, QPalette::Window},           // COLOR_MENU
    {QPalette::Active, QPalette::Base},             // COLOR_WINDOW
    {QPalette::Active, QPalette::Shadow},           // COLOR_WINDOWFRAME
    {QPalette::Active, QPalette::WindowText},       // COLOR_MENUTEXT
    {QPalette::Active, QPalette::Text},             // COLOR_WINDOWTEXT
    {QPalette::Active, QPalette::HighlightedText},  // COLOR_CAPTIONTEXT
    {QPalette::Active, QPalette::Window},           // COLOR_ACTIVEBORDER
    {QPalette::Active, QPalette::Window},           // COLOR_INACTIVEBORDER
    {QPalette::Active, QPalette::Mid},              // COLOR_APPWORKSPACE
    {QPalette::Active, QPalette::Highlight},        // COLOR_HIGHLIGHT
    {QPalette::Active, QPalette::HighlightedText},  // COLOR_HIGHLIGHTTEXT
    {QPalette::Active, QPalette::Button},           // COLOR_BTNFACE
    {QPalette::Active, QPalette::Dark},             // COLOR_BTNSHADOW
    {QPalette::Disabled, QPalette::Text},           // COLOR_GRAYTEXT
    {QPalette::Active, QPalette::ButtonText},       // COLOR_BTNTEXT
    {QPalette::Active, QPalette::WindowText},       // COLOR_INACTIVECAPTIONTEXT
    {QPalette::Active, QPalette::Light},            // COLOR_BTNHIGHLIGHT
    {QPalette::Active, QPalette::Shadow},           // COLOR_3DDKSHADOW
    {QPalette::Active, QPalette::Midlight},         // COLOR_3DLIGHT
    {QPalette::Active, QPalette::ToolTipText},      // COLOR_INFOTEXT
    {QPalette::Active, QPalette::ToolTipBase},      // COLOR_INFOBK
    {QPalette::Active, QPalette::Window},           // COLOR_STATIC
    {QPalette::Active, QPalette::WindowText},       // COLOR_STATICTEXT
}};

QPalette FixedPalette()
{
    QPalette palette;
    auto set = [&palette](QPalette::ColorRole role, QRgb rgb) {
        palette.setColor(QPalette::All, role, QColor::fromRgb(rgb));
    };
    set(QPalette::Window, 0xC0C0C0);
    set(QPalette::WindowText, 0x000000);
    set(QPalette::Base, 0xFFFFFF);
    set(QPalette::Text, 0x000000);
    set(QPalette::Button, 0xC0C0C0);
    set(QPalette::ButtonText, 0x000000);
    set(QPalette::Light, 0xFFFFFF);
    set(QPalette::Midlight, 0xDFDFDF);
    set(QPalette::Mid, 0xA0A0A0);
    set(QPalette::Dark, 0x808080);
    set(QPalette::Shadow, 0x404040);
    set(QPalette::Highlight, 0x0A246A);
    set(QPalette::HighlightedText, 0xFFFFFF);
    set(QPalette::ToolTipBase, 0xFFFFE1);
    set(QPalette::ToolTipText, 0x000000);
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor::fromRgb(0x808080));
    return palette;
}

}  // namespace

void UseFixedPalette()
{
    if (qGuiApp != nullptr) {
        QGuiApplication::setPalette(FixedPalette());
    }
}

}  // namespace platform::gdi

using namespace platform::gdi;

DWORD GetSysColor(int index)
{
    index &= ~SYS_COLOR_INDEX_FLAG;
    if (index < 0 || index >= static_cast<int>(kSources.size())) {
        return 0;
    }
    // Without a running application (a tool or a test without one) the fixed
    // palette answers.
    const QPalette palette = qGuiApp != nullptr ? QGuiApplication::palette() : FixedPalette();
    const SysColorSource& source = kSources[static_cast<std::size_t>(index)];
    return ToColorRef(palette.color(source.group, source.role).rgb());
}

HBRUSH GetSysColorBrush(int index)
{
    index &= ~SYS_COLOR_INDEX_FLAG;
    if (index < 0 || index >= static_cast<int>(kSources.size())) {
        return nullptr;
    }
    static std::array<HBRUSH, COLOR_STATICTEXT + 1> brushes{};
    HBRUSH& brush = brushes[static_cast<std::size_t>(index)];
    if (brush == nullptr) {
        auto object = std::make_unique<GdiObject>();
        object->kind = ObjectKind::Brush;
        object->stock = true;
        object->sysColorIndex = index;
        brush = AddObject(std::move(object));
    }
    return brush;
}
