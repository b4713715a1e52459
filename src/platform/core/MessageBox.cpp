// Message boxes on QMessageBox.
#include "platform/core/MessageBox.h"

#include "platform/Testing.h"
#include "platform/core/StopRequest.h"
#include "platform/core/Window.h"
#include "platform/core/WindowObject.h"

#include <QMessageBox>
#include <QPushButton>

#include <vector>

namespace platform::core {

namespace {

MessageBoxAnswerer& Answerer()
{
    static MessageBoxAnswerer answerer;
    return answerer;
}

struct ButtonChoice {
    QMessageBox::StandardButton button;
    int answer;
};

// The buttons a box offers, first the default one, last the one that
// answers when the box is closed.
std::vector<ButtonChoice> ButtonsOf(UINT flags)
{
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNOCANCEL: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    default: return {{QMessageBox::Ok, IDOK}};
    }
}

QMessageBox::Icon IconOf(UINT flags)
{
    switch (flags & MB_ICONMASK) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

}  // namespace

void SetMessageBoxAnswerer(MessageBoxAnswerer answerer)
{
    Answerer() = std::move(answerer);
}

}  // namespace platform::core

int MessageBoxW(HWND owner, const WCHAR* text, const WCHAR* caption, UINT flags)
{
    using namespace platform::core;
    const std::u16string body = text != nullptr ? std::u16string(text) : std::u16string();
    const std::vector<ButtonChoice> buttons = ButtonsOf(flags);
    // Once the process is asked to stop nobody is there to answer: the box
    // takes its cancelling answer, whether it is open or about to be.
    if (StopRequested())
        return buttons.back().answer;
    if (Answerer())
        return Answerer()(body, flags);

    // The box sits over the owner's top-level window.
    QWidget* parent = nullptr;
    for (HWND window = owner; Lookup(window) != nullptr; window = GetParent(window))
        parent = Lookup(window)->widget;
    QMessageBox box(parent);
    box.setIcon(IconOf(flags));
    box.setWindowTitle(QString::fromStdU16String(caption != nullptr ? std::u16string(caption) : u"Error"));
    // The text is shown as it stands, never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdU16String(body));
    QMessageBox::StandardButtons offered;
    for (const ButtonChoice& choice : buttons)
        offered |= choice.button;
    box.setStandardButtons(offered);
    box.setDefaultButton(buttons.front().button);
    box.setEscapeButton(buttons.back().button);
    const StopListener closeOnStop([&box] { box.reject(); });
    const auto chosen = static_cast<QMessageBox::StandardButton>(box.exec());
    if (StopRequested())
        return buttons.back().answer;
    for (const ButtonChoice& choice : buttons)
        if (choice.button == chosen)
            return choice.answer;
    return buttons.back().answer;
}
