// The pick list driven through its driver: the buttons made from a choice text, the dialog's
// size on a small screen (this test runs at twice the scale: a screen 400 pixels high), the
// number returned for a press, and a close without one.
#include "tests/ui/uitest.h"
#include "ui/picklist.h"
#include "ui/spickbox.h"

using namespace throngkit;

namespace {

qint16 Pick(PickList &list, const QString &choices, const std::function<void(SPICKBOX &)> &act, const QString &title = "T",
           const QString &note = {})
{
    test::WhenUp<SPICKBOX>(act);
    return list.PickFromList(choices, title, note);
}

// One dialog serves the whole table, so a pick after a longer one must hide what it left. Each
// case in the copy is a line "$ " with the button clicked (from 0) or the keys pressed, the title,
// the choice text and the note ("\n" a line break), then what the pick gave: buttons 150 + 100
// twips a character wide, rows 480 twips apart, the dialog 800 + 100 a character wide and 500 a
// row high, centred on the screen, squeezed onto it when taller or wider; only 19 of 21 entries
// offered; each entry its own access key, the note under the buttons.
TEST(PickListTest, ButtonsSizesAndResultFollowTheChoiceText)
{
    const QString golden = QString::fromUtf8(test::ReadTestData("ui/picklist.txt"));
    QWidget caller;
    PickList list(&caller);
    EXPECT_EQ(list.PickedNumber(), 0);
    QString text = "screen " + QString::number(QGuiApplication::primaryScreen()->availableGeometry().height()) + "\n";
    for (const QString &line : golden.split(u'\n')) {
        if (!line.startsWith("$ "))
            continue;
        const QStringList c = line.mid(2).split(u'|');   // press, title, choices, note
        QRect frame;
        const qint16 number = Pick(list, c.value(2), [&](SPICKBOX &box) {
            frame = box.frameGeometry();
            bool button = false;
            if (const int index = c[0].toInt(&button); button)
                return QTest::mouseClick(box.choiceButton(index), Qt::LeftButton);
            for (const QString &key : c[0].split(", ")) {
                const QKeySequence sequence(key);
                QTest::keyClick(box.focusWidget(), sequence[0].key(), sequence[0].keyboardModifiers());
            }
        }, c.value(1), QString(c.value(3)).replace("\\n", "\n"));
        ASSERT_NE(list.dialog(), nullptr);   // kept for the next pick
        EXPECT_FALSE(list.dialog()->choiceButton(-1) || list.dialog()->choiceButton(20));
        text += line + "\n" + QString("picked %1 \"%2\" frame %3,%4 %5x%6\n").arg(number).arg(list.PickedCaption()).arg(frame.x())
                    .arg(frame.y()).arg(frame.width()).arg(frame.height()) + test::Snapshot(*list.dialog());
    }
    EXPECT_EQ(text, golden);
}

// A close without a press returns 0 and takes the dialog with it; the next pick makes a new one.
// The window that asked may close first: its dialog goes with it, and only once.
TEST(PickListTest, CloseWithoutPressReturnsZeroAndNextPickWorks)
{
    const std::function<void(SPICKBOX &)> closes[] = {
        [](SPICKBOX &box) { box.close(); }, [](SPICKBOX &box) { QTest::keyClick(&box, Qt::Key_Escape); }};
    const auto pressSecond = [](SPICKBOX &box) { box.choiceButton(1)->click(); };
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
