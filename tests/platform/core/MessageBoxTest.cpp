#include "platform/core/MessageBox.h"
#include "platform/Testing.h"
#include "platform/core/Window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(MessageBox, TheAnswererSeesTheTextAndFlagsAndAnswers)
{
    std::u16string seenText;
    UINT seenFlags = 0;
    platform::core::SetMessageBoxAnswerer([&](const std::u16string& text, UINT flags) {
        seenText = text;
        seenFlags = flags;
        return IDNO;
    });
    EXPECT_EQ(MessageBoxW(nullptr, u"Sure?", u"Tarvolin", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(seenText, u"Sure?");
    EXPECT_EQ(seenFlags, MB_YESNO | MB_ICONQUESTION);
    platform::core::SetMessageBoxAnswerer({});
}

// Runs `act` on the real box once it is up, then reads MessageBoxW's answer.
int AnswerRealBox(UINT flags, const std::function<void(QMessageBox&)>& act, const WCHAR* text = u"Question")
{
    bool acted = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || acted)
            return;
        acted = true;
        act(*box);
    });
    poll.start(10);
    return MessageBoxW(nullptr, text, u"Tarvolin", flags);
}

TEST(MessageBox, RealBoxesAnswerWithTheButtonChosen)
{
    struct Case {
        const char* name;
        UINT flags;
        QMessageBox::StandardButton press;  // NoButton: close the box with Escape
        int expected;
    };
    const Case cases[] = {
        {"yes", MB_YESNO | MB_ICONQUESTION, QMessageBox::Yes, IDYES},
        {"no", MB_YESNO | MB_ICONQUESTION, QMessageBox::No, IDNO},
        {"closing a yes/no box says no", MB_YESNO, QMessageBox::NoButton, IDNO},
        {"ok", MB_OK | MB_ICONINFORMATION, QMessageBox::Ok, IDOK},
        {"closing an ok box says ok", MB_OK, QMessageBox::NoButton, IDOK},
        {"cancel", MB_OKCANCEL, QMessageBox::Cancel, IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int answer = AnswerRealBox(c.flags, [&](QMessageBox& box) {
            if (c.press == QMessageBox::NoButton)
                QTest::keyClick(&box, Qt::Key_Escape);
            else
                box.button(c.press)->click();
        });
        EXPECT_EQ(answer, c.expected);
    }
}

TEST(MessageBox, RealBoxShowsItsIconAndTextAsWritten)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    QString title;
    int buttons = 0;
    AnswerRealBox(
        MB_OK | MB_ICONINFORMATION,
        [&](QMessageBox& box) {
            icon = box.icon();
            text = box.text();
            title = box.windowTitle();
            buttons = static_cast<int>(box.buttons().size());
            // Markup in a text is shown, not obeyed.
            EXPECT_EQ(box.textFormat(), Qt::PlainText);
            box.accept();
        },
        u"Tarvolin 1.2\n<b>Free</b>");
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(text, QStringLiteral("Tarvolin 1.2\n<b>Free</b>"));
    EXPECT_EQ(title, QStringLiteral("Tarvolin"));
    EXPECT_EQ(buttons, 1);
}

}  // namespace
