// The pick-list dialog driven through its driver: the buttons made from a choice text, their
// sizes and the dialog's, the number returned for a press, and a close by the frame.
#include "ui/picklist.h"
#include "ui/spickbox.h"
#include "ui/twips.h"

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace throngkit;

namespace {

// Runs one pick and does act on the dialog once it is up (and the modal window of the moment);
// a dialog that never came up is closed so that the test fails instead of hanging.
qint16 Pick(PickList &list, const QString &choices, const QString &title,
            const std::function<void(SPICKBOX &)> &act)
{
    QTimer::singleShot(0, qApp, [&] {
        SPICKBOX *box = list.dialog();
        if (!box || QApplication::activeModalWidget() != box) {
            ADD_FAILURE() << "the pick list is not up";
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
            return;
        }
        act(*box);
    });
    return list.PickFromList(choices, title);
}

QString Entries(int count)
{
    QStringList entries;
    for (int k = 1; k <= count; ++k)
        entries << QStringLiteral("E%1").arg(k, 2, 10, QLatin1Char('0'));
    return entries.join(u'/');
}

const QString WeaponTitle = QStringLiteral("Select weapon table");

// One dialog serves the whole table, so a pick after a longer one must hide what it left.
// Widths and heights in twips.
const struct PickCase
{
    const char *name;
    QString choices, title;
    QStringList captions;   // the buttons expected, top to bottom
    int press, buttonWidth, outerWidth, outerHeight;
} Cases[] = {
    {"beyond nineteen only the first are offered", Entries(21), "Pick", Entries(19).split(u'/'),
     18, 550, 1200, 10000},
    {"weapon tables, Abandon pressed", "A/B/Abandon", WeaponTitle, {"A", "B", "Abandon"}, 2, 2050,
     2700, 2000},
    {"an entry wider than the title", "A/Twenty-five characters!!!/Abandon", WeaponTitle,
     {"A", "Twenty-five characters!!!", "Abandon"}, 1, 2650, 3300, 2000},
    {"a title wider than the entries", "Yes/No", "A title of 24 characters", {"Yes", "No"}, 0,
     2550, 3200, 1500},
    {"empty entries count", "A//B/", "T", {"A", "", "B", ""}, 1, 250, 900, 2500},
    {"empty choice text and title", "", "", {""}, 0, 150, 800, 1000},
};

TEST(PickListTest, ButtonsSizesAndResultFollowTheChoiceText)
{
    QWidget caller;
    PickList list(&caller);
    EXPECT_EQ(list.PickedNumber(), 0);
    for (const PickCase &c : Cases) {
        SCOPED_TRACE(c.name);
        QRect frame;   // the outer rectangle on the screen while up
        const qint16 number = Pick(list, c.choices, c.title, [&](SPICKBOX &box) {
            frame = box.frameGeometry();
            EXPECT_EQ(box.windowTitle(), c.title);
            QTest::mouseClick(box.ChoiceButton(c.press), Qt::LeftButton);
        });
        EXPECT_EQ(number, c.press + 1);
        EXPECT_EQ(list.PickedCaption(), c.captions.value(c.press));
        SPICKBOX *box = list.dialog();
        ASSERT_NE(box, nullptr) << "a press keeps the dialog for the next pick";
        EXPECT_EQ(box->ChoiceButton(SPICKBOX::ButtonCount), nullptr);

        // As designed where the screen has room and centred on it, else squeezed onto it.
        const QSize outer = TwipsSize(c.outerWidth, c.outerHeight);
        const QScreen *screen = QGuiApplication::primaryScreen();
        const QRect area = screen->availableGeometry();
        const bool fits = outer.height() <= area.height();
        EXPECT_TRUE(area.contains(frame));
        EXPECT_GE(frame.width(), outer.width());
        EXPECT_EQ(frame.height(), fits ? outer.height() : area.height());
        if (fits) {
            EXPECT_LE(std::abs(2 * (frame.y() - screen->geometry().y()) + outer.height()
                               - screen->geometry().height()), 1);
        }

        for (int index = 0; index < SPICKBOX::ButtonCount; ++index) {
            SCOPED_TRACE(index);
            const auto *button = box->findChild<QPushButton *>(QStringLiteral("Command1_%1").arg(index));
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->isHidden(), index >= c.captions.size());
            if (button->isHidden())
                continue;
            EXPECT_EQ(button->text(), c.captions.at(index));
            EXPECT_EQ(button->width(), TwipsToPixels(c.buttonWidth));
            if (fits) {
                EXPECT_EQ(button->geometry(), QRect(button->x(), TwipsToPixels(120 + 480 * index),
                                                    button->width(), TwipsToPixels(375)));
            }
            EXPECT_LE(std::abs(2 * button->x() + button->width() - box->width()), 1);   // centred
        }
    }
}

// A close without a press, by the frame or by Escape, returns 0 and takes the dialog with it;
// the next pick makes a new one and answers normally.
TEST(PickListTest, CloseWithoutPressReturnsZeroAndNextPickWorks)
{
    const std::pair<const char *, std::function<void(SPICKBOX &)>> closes[] = {
        {"frame", [](SPICKBOX &box) { box.close(); }},
        {"Escape", [](SPICKBOX &box) { QTest::keyClick(&box, Qt::Key_Escape); }},
    };
    const auto pressSecond = [](SPICKBOX &box) { box.ChoiceButton(1)->click(); };
    for (const auto &[name, close] : closes) {
        SCOPED_TRACE(name);
        QWidget caller;
        PickList list(&caller);
        ASSERT_EQ(Pick(list, "A/B/C", "T", pressSecond), 2);
        EXPECT_EQ(Pick(list, "A/B/C", "T", close), 0);
        EXPECT_EQ(list.PickedNumber(), 0);
        EXPECT_EQ(caller.findChild<SPICKBOX *>(), nullptr) << "the closed dialog is destroyed";
        EXPECT_EQ(Pick(list, "X/Y/Z", "Again", pressSecond), 2);
        EXPECT_EQ(list.PickedCaption(), "Y");
    }
}

// The prompts keep their list between picks, and the window that asked may close first: its
// dialog goes with it, and only once.
TEST(PickListTest, TheWindowThatAskedMayGoFirst)
{
    auto caller = std::make_unique<QWidget>();
    PickList list(caller.get());
    ASSERT_EQ(Pick(list, "A/B", "T", [](SPICKBOX &box) { box.ChoiceButton(0)->click(); }), 1);
    caller.reset();
    EXPECT_EQ(list.dialog(), nullptr);
}

} // namespace
