// The pick list driven through its driver: the buttons made from a choice text, the dialog's
// size on a small screen, the number returned for a press, and a close without one.
#include "tests/ui/uitest.h"
#include "ui/picklist.h"
#include "ui/spickbox.h"
#include "ui/twips.h"

#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <memory>

using namespace throngkit;

namespace {

qint16 Pick(PickList &list, const QString &choices, const std::function<void(SPICKBOX &)> &act,
            const QString &title = "T")
{
    test::WhenUp<SPICKBOX>(act);
    return list.PickFromList(choices, title);
}

QStringList Entries(int count)
{
    QStringList entries;
    for (int k = 1; k <= count; ++k)
        entries << QStringLiteral("E%1").arg(k, 2, 10, QLatin1Char('0'));
    return entries;
}

// One dialog serves the whole table, so a pick after a longer one must hide what it left.
// Widths and heights in twips, as designed.
TEST(PickListTest, ButtonsSizesAndResultFollowTheChoiceText)
{
    const struct { QString choices, title; QStringList captions; int press, buttonWidth, outerWidth, outerHeight; } cases[] = {
        {Entries(21).join('/'), "Pick", Entries(19), 18, 550, 1200, 10000},   // only 19 offered
        {"A/B/Abandon", "Select weapon table", {"A", "B", "Abandon"}, 2, 2050, 2700, 2000},
        {"A/Twenty-five characters!!!/Abandon", "T", {"A", "Twenty-five characters!!!", "Abandon"}, 1, 2650, 3300, 2000},
        {"Yes/No", "A title of 24 characters", {"Yes", "No"}, 0, 2550, 3200, 1500},
        {"A//B/", "T", {"A", "", "B", ""}, 1, 250, 900, 2500},
        {"", "", {""}, 0, 150, 800, 1000},
    };
    QWidget caller;
    PickList list(&caller);
    EXPECT_EQ(list.PickedNumber(), 0);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.choices.toStdString());
        QRect frame;
        const qint16 number = Pick(list, c.choices, [&](SPICKBOX &box) {
            frame = box.frameGeometry();
            EXPECT_EQ(box.windowTitle(), c.title);
            QTest::mouseClick(box.ChoiceButton(c.press), Qt::LeftButton);
        }, c.title);
        EXPECT_EQ(number, c.press + 1);
        EXPECT_EQ(list.PickedCaption(), c.captions.value(c.press));
        SPICKBOX *box = list.dialog();
        ASSERT_NE(box, nullptr);   // kept for the next pick
        EXPECT_EQ(box->ChoiceButton(SPICKBOX::ButtonCount), nullptr);
        EXPECT_EQ(box->ChoiceButton(-1), nullptr);

        // As designed and centred where the screen has room, else squeezed onto it.
        const QSize outer = TwipsSize(c.outerWidth, c.outerHeight);
        const QScreen *screen = QGuiApplication::primaryScreen();
        const QRect area = screen->availableGeometry();
        const bool fits = outer.height() <= area.height();
        EXPECT_TRUE(area.contains(frame));
        EXPECT_GE(frame.width(), outer.width());
        EXPECT_EQ(frame.height(), fits ? outer.height() : area.height());
        if (fits) {
            EXPECT_LE(std::abs(2 * (frame.y() - screen->geometry().y()) + outer.height() - screen->geometry().height()), 1);
        }
        for (int index = 0; index < SPICKBOX::ButtonCount; ++index) {
            const auto *button = box->findChild<QPushButton *>(QStringLiteral("Command1_%1").arg(index));
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->isHidden(), index >= c.captions.size()) << index;
            if (button->isHidden())
                continue;
            EXPECT_EQ(button->text(), c.captions.at(index));
            EXPECT_EQ(button->width(), TwipsToPixels(c.buttonWidth));
            EXPECT_LE(std::abs(2 * button->x() + button->width() - box->width()), 1) << index;   // centred
        }
    }
}

// A close without a press returns 0 and takes the dialog with it; the next pick makes a new one.
// The window that asked may close first: its dialog goes with it, and only once.
TEST(PickListTest, CloseWithoutPressReturnsZeroAndNextPickWorks)
{
    const std::function<void(SPICKBOX &)> closes[] = {
        [](SPICKBOX &box) { box.close(); }, [](SPICKBOX &box) { QTest::keyClick(&box, Qt::Key_Escape); }};
    const auto pressSecond = [](SPICKBOX &box) { box.ChoiceButton(1)->click(); };
    for (const auto &close : closes) {
        auto caller = std::make_unique<QWidget>();
        PickList list(caller.get());
        ASSERT_EQ(Pick(list, "A/B/C", pressSecond), 2);
        EXPECT_EQ(Pick(list, "A/B/C", close), 0);
        EXPECT_EQ(list.PickedNumber(), 0);
        EXPECT_EQ(caller->findChild<SPICKBOX *>(), nullptr);
        EXPECT_EQ(Pick(list, "X/Y/Z", pressSecond), 2);
        EXPECT_EQ(list.PickedCaption(), "Y");
        caller.reset();
        EXPECT_EQ(list.dialog(), nullptr);
    }
}

} // namespace
