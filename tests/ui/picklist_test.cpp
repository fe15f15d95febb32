// The pick-list dialog driven through its driver: the buttons made from a choice text, their
// sizes and the dialog's, the number returned for a press, and a close by the frame.
#include "ui/picklist.h"
#include "ui/spickbox.h"
#include "ui/twips.h"

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace throngkit;

namespace {

struct SeenWhileShown
{
    bool modal = false;   // up, and the modal window of the moment
    QString caption;
    QRect frame;   // the outer rectangle on the screen
};

// Runs one pick and does `act` on the dialog once it is up; a dialog that never came up is
// closed so that the test fails instead of hanging.
qint16 Pick(PickList &list, const QString &choices, const QString &title,
            const std::function<void(SPICKBOX &)> &act, SeenWhileShown *seen = nullptr)
{
    QTimer::singleShot(0, qApp, [&] {
        SPICKBOX *box = list.dialog();
        if (!box || !box->isVisible()) {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
            return;
        }
        if (seen)
            *seen = {QApplication::activeModalWidget() == box, box->windowTitle(),
                     box->frameGeometry()};
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

struct PickCase
{
    const char *name;
    QString choices;
    QString title;
    QStringList captions;   // the buttons expected, top to bottom
    int press;              // index of the button pressed
    int buttonWidth;        // twips
    int outerWidth;
    int outerHeight;
};

const QString WeaponTitle = QStringLiteral("Select weapon table");
const QString Long25 = QStringLiteral("Twenty-five characters!!!");

// One dialog serves the whole table, so a pick after a longer one must hide what it left.
const PickCase Cases[] = {
    {"nineteen entries", Entries(19), QStringLiteral("Pick"),
     Entries(19).split(u'/'), 18, 550, 1200, 10000},
    {"beyond nineteen only the first are offered", Entries(21), QStringLiteral("Pick"),
     Entries(19).split(u'/'), 18, 550, 1200, 10000},
    {"weapon tables, second pressed", QStringLiteral("A/B/Abandon"), WeaponTitle,
     {"A", "B", "Abandon"}, 1, 2050, 2700, 2000},
    {"weapon tables, Abandon pressed", QStringLiteral("A/B/Abandon"), WeaponTitle,
     {"A", "B", "Abandon"}, 2, 2050, 2700, 2000},
    {"an entry wider than the title", QStringLiteral("A/") + Long25 + QStringLiteral("/Abandon"),
     WeaponTitle, {"A", Long25, "Abandon"}, 1, 2650, 3300, 2000},
    {"a title wider than the entries", QStringLiteral("Yes/No"),
     QStringLiteral("A title of 24 characters"), {"Yes", "No"}, 0, 2550, 3200, 1500},
    {"single entry", QStringLiteral("Only"), WeaponTitle, {"Only"}, 0, 2050, 2700, 1000},
    {"empty entry inside", QStringLiteral("A//B"), QStringLiteral("T"), {"A", "", "B"}, 1, 250,
     900, 2000},
    {"trailing slash", QStringLiteral("A/B/"), QStringLiteral("T"), {"A", "B", ""}, 2, 250, 900,
     2000},
    {"empty choice text and title", QString(), QString(), {""}, 0, 150, 800, 1000},
};

TEST(PickListTest, ButtonsSizesAndResultFollowTheChoiceText)
{
    QWidget caller;
    PickList list(&caller);
    EXPECT_EQ(list.dialog(), nullptr);
    SPICKBOX *firstDialog = nullptr;

    for (const PickCase &c : Cases) {
        SCOPED_TRACE(c.name);
        SeenWhileShown seen;
        const qint16 number = Pick(
            list, c.choices, c.title,
            [&](SPICKBOX &box) {
                QTest::mouseClick(box.ChoiceButton(c.press), Qt::LeftButton);
            },
            &seen);

        EXPECT_TRUE(seen.modal);
        EXPECT_EQ(seen.caption, c.title);
        EXPECT_EQ(number, c.press + 1);
        EXPECT_EQ(list.PickedNumber(), c.press + 1);
        EXPECT_EQ(list.PickedCaption(), c.captions.value(c.press));

        SPICKBOX *box = list.dialog();
        ASSERT_NE(box, nullptr);
        if (!firstDialog)
            firstDialog = box;
        EXPECT_EQ(box, firstDialog) << "a press keeps the dialog for the next pick";
        EXPECT_TRUE(box->isHidden());

        // As designed where the screen has room, else squeezed onto it; a title never
        // narrower than its title bar needs.
        const QSize outer = TwipsSize(c.outerWidth, c.outerHeight);
        const QScreen *screen = QGuiApplication::primaryScreen();
        const QRect area = screen->availableGeometry();
        const bool fits = outer.height() <= area.height();
        EXPECT_TRUE(area.contains(seen.frame)) << "on a screen of " << area.height();
        EXPECT_GE(seen.frame.width(), outer.width());
        EXPECT_EQ(seen.frame.height(), fits ? outer.height() : area.height());
        if (fits) {
            EXPECT_LE(std::abs(2 * (seen.frame.y() - screen->geometry().y()) + outer.height()
                               - screen->geometry().height()),
                      1);
        }

        int below = 0;   // the bottom of the button above
        for (int index = 0; index < SPICKBOX::ButtonCount; ++index) {
            SCOPED_TRACE(index);
            const QString name = QStringLiteral("Command1_%1").arg(index);
            const auto *button = box->findChild<QPushButton *>(name);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->width(), TwipsToPixels(c.buttonWidth));
            if (index >= c.captions.size()) {
                EXPECT_TRUE(button->isHidden());
                continue;
            }
            EXPECT_FALSE(button->isHidden());
            EXPECT_EQ(button->text(), c.captions.at(index));
            if (fits) {
                EXPECT_EQ(button->geometry().top(), TwipsToPixels(120 + 480 * index));
                EXPECT_EQ(button->height(), TwipsToPixels(375));
            }
            EXPECT_GT(button->y(), below);
            EXPECT_TRUE(box->rect().contains(button->geometry()));
            EXPECT_GE(button->height(), button->fontMetrics().height());
            below = button->geometry().bottom();
            EXPECT_LE(std::abs(2 * button->x() + button->width() - box->width()), 1);
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
    for (const auto &[name, close] : closes) {
        SCOPED_TRACE(name);
        QWidget caller;
        PickList list(&caller);
        const auto pressSecond = [](SPICKBOX &box) { box.ChoiceButton(1)->click(); };

        ASSERT_EQ(Pick(list, QStringLiteral("A/B/C"), QStringLiteral("T"), pressSecond), 2);
        ASSERT_NE(list.dialog(), nullptr);

        EXPECT_EQ(Pick(list, QStringLiteral("A/B/C"), QStringLiteral("T"), close), 0);
        EXPECT_EQ(list.PickedNumber(), 0);
        EXPECT_EQ(list.dialog(), nullptr);
        EXPECT_EQ(caller.findChild<SPICKBOX *>(), nullptr) << "the closed dialog is destroyed";

        EXPECT_EQ(Pick(list, QStringLiteral("X/Y/Z"), QStringLiteral("Again"), pressSecond), 2);
        EXPECT_EQ(list.PickedCaption(), QStringLiteral("Y"));
        ASSERT_NE(list.dialog(), nullptr);
        EXPECT_EQ(list.dialog()->windowTitle(), QStringLiteral("Again"));
    }
}

// The prompts keep their list between picks, and the window that asked may close first: its
// dialog goes with it, and only once.
TEST(PickListTest, TheWindowThatAskedMayGoFirst)
{
    auto caller = std::make_unique<QWidget>();
    PickList list(caller.get());
    const auto pressFirst = [](SPICKBOX &box) { box.ChoiceButton(0)->click(); };
    ASSERT_EQ(Pick(list, QStringLiteral("A/B"), QStringLiteral("T"), pressFirst), 1);
    caller.reset();
    EXPECT_EQ(list.dialog(), nullptr);
}

} // namespace
