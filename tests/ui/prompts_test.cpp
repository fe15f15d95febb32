// The real boxes behind Prompts, driven once they are up: the icon of a message box, and a save
// dialog that a pattern in its name box never ends.
#include "core/settings.h"
#include "core/startup.h"
#include "tests/support/testsupport.h"
#include "ui/prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace throngkit;

namespace {

// Runs act on the modal box of type Box once it is up; one that never came up is closed so that
// the test fails instead of hanging.
template <typename Box>
void WhenUp(const std::function<void(Box &)> &act)
{
    QTimer::singleShot(0, qApp, [act] {
        auto *box = qobject_cast<Box *>(QApplication::activeModalWidget());
        if (!box) {
            ADD_FAILURE() << "no box of the expected kind is up";
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
            return;
        }
        act(*box);
    });
}

TEST(QtPrompts, MessageBoxesCarryTheIconOfTheirKind)
{
    const auto settings = test::NewSettings();
    InitialiseSettings(*settings);
    QtPrompts prompts(*settings);
    const struct { MessageKind kind; QMessageBox::Icon icon; } cases[] = {
        {MessageKind::Failure, QMessageBox::Warning}, {MessageKind::Notice, QMessageBox::Information}};
    for (const auto &c : cases) {
        std::optional<QMessageBox::Icon> shown;
        WhenUp<QMessageBox>([&](QMessageBox &box) {
            shown = box.icon();
            EXPECT_EQ(box.windowTitle(), settings->Title);
            box.accept();
        });
        prompts.message(nullptr, QStringLiteral("57 "), c.kind);
        EXPECT_EQ(shown, c.icon);
    }
}

// What the user types into the name box at each showing, and presses Enter; nullopt: Cancel.
TEST(QtPrompts, APatternForANameFiltersAndTheDialogAsksAgain)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto settings = test::NewSettings();
    InitialiseSettings(*settings);
    QtPrompts prompts(*settings);
    const struct { QList<std::optional<QString>> typed; std::optional<QString> chosen; } cases[] = {
        {{QString("*.htm"), QString("r?id*.htm"), QString("raid")}, dir.filePath("raid.htm")},
        {{QString("*.htm"), std::nullopt}, std::nullopt},
        {{std::nullopt}, std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed.size());
        QStringList filtersShown;   // the filter of each showing after the first
        qsizetype step = 0;
        std::function<void(QFileDialog &)> act = [&](QFileDialog &dialog) {
            if (step > 0)
                filtersShown << dialog.nameFilters().join(u';');
            const std::optional<QString> typed = c.typed.value(step++);
            if (!typed) {
                dialog.reject();
                return;
            }
            auto *nameBox = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(nameBox, nullptr);
            nameBox->setText(dir.filePath(*typed));
            if (step < c.typed.size())
                WhenUp<QFileDialog>(act);   // the next showing
            QTest::keyClick(nameBox, Qt::Key_Return);
        };
        WhenUp<QFileDialog>(act);
        const std::optional<QString> chosen =
            prompts.saveFileName(nullptr, QStringLiteral("*.htm"), QStringLiteral("*.htm"),
                                 QStringLiteral(".htm"));
        EXPECT_EQ(chosen, c.chosen);
        EXPECT_EQ(step, c.typed.size());
        QStringList patterns;
        for (const auto &typed : c.typed.mid(0, c.typed.size() - 1))
            patterns << *typed;
        EXPECT_EQ(filtersShown, patterns);
    }
}

} // namespace
