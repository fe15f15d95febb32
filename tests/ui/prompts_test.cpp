// The real boxes behind Prompts, driven once they are up: a message box is modal and says what
// it was given, the print dialog's OK and Cancel reach the caller, and a save dialog that a
// pattern in its name box never ends.
#include "tests/ui/uitest.h"
#include "ui/captionfit.h"

using namespace throngkit;
using test::WhenUp;

namespace {

class QtPromptsTest : public ::testing::Test
{
protected:
    std::unique_ptr<Settings> settings = test::NewSettings();
    QtPrompts prompts{*settings};
};

TEST_F(QtPromptsTest, MessageBoxIsModalWithTheTextAndTheIconOfItsKind)
{
    const struct { MessageKind kind; QMessageBox::Icon icon; } cases[] = {
        {MessageKind::Failure, QMessageBox::Warning}, {MessageKind::Notice, QMessageBox::Information}};
    for (const auto &c : cases) {
        QStringList seen;
        WhenUp<QMessageBox>([&](QMessageBox &box) {
            // Widened for its title, which a box as short as its text would cut, and no taller.
            QMessageBox plain(c.icon, settings->Title, "57 ", QMessageBox::Ok);
            plain.show();
            EXPECT_LT(plain.width(), TitleBarWidth(settings->Title));
            EXPECT_GE(box.width(), TitleBarWidth(settings->Title));
            EXPECT_EQ(box.height(), plain.height());
            seen << box.text() << box.windowTitle() << QString::number(box.icon());
            box.accept();
        });
        prompts.message(nullptr, "57 ", c.kind);
        EXPECT_EQ(seen, (QStringList{"57 ", settings->Title, QString::number(c.icon)}));
    }
}

TEST_F(QtPromptsTest, PrintDialogAnswersOkAndCancel)
{
    for (const bool ok : {true, false}) {
        WhenUp<QPrintDialog>([ok](QPrintDialog &dialog) {
            // Neither a selection nor a current page means anything for a listing.
            EXPECT_FALSE(dialog.testOption(QAbstractPrintDialog::PrintSelection));
            EXPECT_FALSE(dialog.testOption(QAbstractPrintDialog::PrintCurrentPage));
            ok ? dialog.accept() : dialog.reject();
        });
        QPrinter printer;
        EXPECT_EQ(prompts.printSetup(nullptr, printer), ok);
    }
}

// What the user types into the name box at each showing ("": the name offered), and presses
// Enter (nullopt: Cancel); the filter each showing after the first offers.
TEST_F(QtPromptsTest, APatternForANameFiltersAndTheDialogAsksAgain)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct { QList<std::optional<QString>> typed; QStringList filters; std::optional<QString> chosen; QString offered = "*.htm"; } cases[] = {
        // A save that failed for a folder that is not there offers the same name again (first:
        // the dialog still shows a folder that the name is not in).
        {{QString()}, {}, dir.filePath("gone/deeper/raid.htm"), dir.filePath("gone/deeper/raid.htm")},
        {{QString("*.htm"), QString("r?id*.htm"), QString("raid")}, {"*.htm", "r?id*.htm"}, dir.filePath("raid.htm")},
        {{QString("*.htm"), std::nullopt}, {"*.htm"}, std::nullopt},
        {{std::nullopt}, {}, std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed.size());
        QStringList filters;
        qsizetype step = 0;
        std::function<void(QFileDialog &)> act = [&](QFileDialog &dialog) {
            if (step > 0)
                filters << dialog.nameFilters().join(u';');
            const std::optional<QString> typed = c.typed.value(step++);
            if (!typed) {
                dialog.reject();
                return;
            }
            auto *nameBox = dialog.findChild<QLineEdit *>("fileNameEdit");
            ASSERT_NE(nameBox, nullptr);
            if (!typed->isEmpty())
                nameBox->setText(dir.filePath(*typed));
            if (step < c.typed.size())
                WhenUp<QFileDialog>(act);   // the next showing
            QTest::keyClick(nameBox, Qt::Key_Return);
        };
        WhenUp<QFileDialog>(act);
        const std::optional<SavedAs> saved = prompts.saveFileName(nullptr, {{"*.htm", ".htm"}}, c.offered);
        EXPECT_EQ(saved ? std::optional(saved->fileName) : std::nullopt, c.chosen);
        EXPECT_EQ(filters, c.filters);
    }

    // Of several types, the one chosen gives a bare name its extension and is said with it.
    WhenUp<QFileDialog>([&](QFileDialog &dialog) {
        auto *types = dialog.findChild<QComboBox *>("fileTypeCombo");
        ASSERT_NE(types, nullptr);
        QTest::keyClick(types, Qt::Key_Down);   // as the user picks the second type
        dialog.findChild<QLineEdit *>("fileNameEdit")->setText(dir.filePath("rabble"));
        QTest::keyClick(dialog.findChild<QLineEdit *>("fileNameEdit"), Qt::Key_Return);
    });
    EXPECT_EQ(prompts.saveFileName(nullptr, {{"Actors (*.json)", ".json"}, {"Sheet (*.csv)", ".csv"}}, QString()),
              (SavedAs{dir.filePath("rabble.csv"), 1}));
}

} // namespace
