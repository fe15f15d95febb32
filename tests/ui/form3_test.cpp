// The listing window on its own: its start state, Exit and the frame, both save actions with
// the heading question and the file dialog answered by FakePrompts, and printing to a PDF file.
#include "core/settings.h"
#include "core/startup.h"
#include "listing/listingfiles.h"
#include "tests/support/testsupport.h"
#include "tests/ui/fakeprompts.h"
#include "ui/form3.h"

#include <QDir>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace throngkit;
using throngkit::test::FakePrompts;

namespace {

class Form3Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        InitialiseSettings(*settings);
        settings->HowMany = 3;
        form = new Form3(*settings, prompts);
    }
    void TearDown() override { delete form; }

    QPlainTextEdit &text1() const { return *form->findChild<QPlainTextEdit *>("Text1"); }
    QPushButton &button(const char *name) const { return *form->findChild<QPushButton *>(name); }
    QStringList savedFiles() const { return QDir(dir.path()).entryList(QDir::Files); }

    QTemporaryDir dir;
    std::unique_ptr<Settings> settings = test::NewSettings();
    FakePrompts prompts;
    QPointer<Form3> form;
};

TEST_F(Form3Test, StartsAsDesigned)
{
    EXPECT_EQ(form->objectName(), "Form3");
    EXPECT_EQ(form->windowTitle(), settings->Title);
    EXPECT_EQ(form->size(), QSize(507, 357));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(text1().toPlainText(), "Text1");
    EXPECT_EQ(text1().geometry(), QRect(0, 32, 505, 321));
    EXPECT_EQ(text1().lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_FALSE(text1().isReadOnly());
    EXPECT_TRUE(QFontInfo(text1().font()).fixedPitch());
    EXPECT_DOUBLE_EQ(text1().font().pointSizeF(), 8.25);
    const struct { const char *name; QString caption; QRect rect; } buttons[] = {
        {"Command1", "Exit", QRect(0, 0, 49, 33)},
        {"Command2", "Save .rbl", QRect(56, 0, 49, 33)},
        {"Command3", "Save .htm", QRect(112, 0, 49, 33)},
        {"Command4", "Print", QRect(168, 0, 49, 33)}};
    // Tab skips what cannot take the focus, such as the text box's own scroll bars.
    const auto nextTabStop = [](QWidget *widget) {
        do
            widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus));
        return widget;
    };
    QWidget *previous = &text1();
    for (const auto &b : buttons) {
        EXPECT_EQ(button(b.name).text(), b.caption);
        EXPECT_EQ(button(b.name).geometry(), b.rect) << b.name;
        EXPECT_EQ(nextTabStop(previous), &button(b.name)) << b.name;
        previous = &button(b.name);
    }
    EXPECT_EQ(nextTabStop(previous), &text1());
    form->show();
    EXPECT_EQ(form->focusWidget(), &text1());
}

TEST_F(Form3Test, ExitAndTheFrameOnlyHideTheWindow)
{
    for (const bool byFrame : {false, true}) {
        form->show();
        form->ShowListing("the listing\r\n");
        QTest::keyClicks(&text1(), "typed ");
        const QString shown = text1().toPlainText();
        if (byFrame)
            form->close();
        else
            button("Command1").click();
        ASSERT_FALSE(form.isNull());
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(text1().toPlainText(), shown);
        EXPECT_TRUE(shown.contains("typed "));
    }
}

TEST_F(Form3Test, NothingIsSavedOrPrintedBeforeAGeneration)
{
    const struct { const char *button; QString message; } cases[] = {
        {"Command2", "Nothing to save yet: press Generate first."},
        {"Command3", "Nothing to save yet: press Generate first."},
        {"Command4", "Nothing to print yet: press Generate first."},
    };
    for (const auto &c : cases) {
        prompts.calls.clear();
        prompts.fileAnswers = {dir.filePath("raid.rbl")};
        button(c.button).click();
        EXPECT_EQ(prompts.messages(), QStringList{c.message}) << c.button;
        EXPECT_EQ(prompts.calls.front().messageKind, MessageKind::Failure) << c.button;
        EXPECT_EQ(prompts.count("askText"), 0) << c.button;
        EXPECT_EQ(prompts.count("saveFileName"), 0) << c.button;
    }
    EXPECT_EQ(prompts.count("printSetup"), 0);
    EXPECT_TRUE(savedFiles().isEmpty());
}

TEST_F(Form3Test, HeadingIsAskedWhileItIsTheDefault)
{
    settings->GeneratedSystem = GameSystem::RuneQuest;
    prompts.textAnswers = {QString("My Raiders")};
    prompts.fileAnswers = {dir.filePath("raid.rbl"), dir.filePath("raid.htm")};
    button("Command2").click();
    button("Command3").click();

    EXPECT_EQ(prompts.of("askText"),
              QStringList{settings->Title + "|Give title for this listing|Throngkit Listing"});
    EXPECT_EQ(prompts.of("saveFileName"), (QStringList{"*.rbl|*.rbl|.rbl", "*.htm|*.htm|.htm"}));
    EXPECT_EQ(form->Heading(), "My Raiders");
    EXPECT_EQ(test::ReadFile(dir.filePath("raid.rbl")), ComposeRQRbl(*settings, "My Raiders"));
    EXPECT_EQ(test::ReadFile(dir.filePath("raid.htm")), ComposeRQHtm(*settings, "My Raiders"));
}

TEST_F(Form3Test, AnswersThatKeepTheHeading)
{
    settings->GeneratedSystem = GameSystem::Traveller;
    const struct { QString before; std::optional<QString> answer; int asked; QString used; } cases[] = {
        {"Throngkit Listing", std::nullopt, 1, "Throngkit Listing"},
        {"Throngkit Listing", QString(""), 1, "Throngkit Listing"},
        {"throngkit listing", QString("unasked"), 0, "throngkit listing"},
        {"", QString("unasked"), 0, ""},
    };
    for (const auto &c : cases) {
        prompts.calls.clear();
        form->SetHeading(c.before);
        prompts.textAnswers = {c.answer};
        prompts.fileAnswers = {dir.filePath("t.rbl")};
        button("Command2").click();
        EXPECT_EQ(prompts.count("askText"), c.asked) << c.before.toStdString();
        EXPECT_EQ(form->Heading(), c.used);
        EXPECT_EQ(test::ReadFile(dir.filePath("t.rbl")), ComposeTravellerRbl(*settings, c.used));
    }
}

TEST_F(Form3Test, FileNamesFromTheSaveDialog)
{
    settings->GeneratedSystem = GameSystem::RuneQuest;
    form->SetHeading("Raid");
    const struct { std::optional<QString> chosen; const char *button; QStringList files; } cases[] = {
        {std::nullopt, "Command2", {}},
        {QString("*.rbl"), "Command2", {}},
        {QString("ra?d.htm"), "Command3", {}},
        {QString("raid"), "Command2", {"raid.rbl"}},
        {QString("raid"), "Command3", {"raid.htm", "raid.rbl"}},
        {QString("raid.txt"), "Command3", {"raid.htm", "raid.rbl", "raid.txt"}},
    };
    for (const auto &c : cases) {
        prompts.fileAnswers = {c.chosen ? std::optional(dir.filePath(*c.chosen)) : std::nullopt};
        button(c.button).click();
        EXPECT_EQ(savedFiles(), c.files);
    }
    EXPECT_EQ(test::ReadFile(dir.filePath("raid.txt")), ComposeRQHtm(*settings, "Raid"));
    EXPECT_TRUE(prompts.messages().isEmpty());
}

TEST_F(Form3Test, FailedWriteIsReportedAndTheWindowStays)
{
    settings->GeneratedSystem = GameSystem::RuneQuest;
    form->SetHeading("Raid");
    form->show();
    prompts.fileAnswers = {dir.filePath("no such folder/raid.rbl")};
    button("Command2").click();
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_FALSE(prompts.messages().constFirst().isEmpty());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(savedFiles().isEmpty());
}

QString PdfText(const QString &pdf)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(pdftotext.waitForFinished(60000));
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

TEST_F(Form3Test, PrintsTheBoxAsItHoldsIt)
{
    settings->GeneratedSystem = GameSystem::RuneQuest;
    form->ShowListing("Num   T Weapon\r\n1     B Broadsword\r\n");
    QTest::keyClicks(&text1(), "typed ");
    // The print dialog's answer: where the pages go, and OK or Cancel.
    const struct { const char *file; bool ok; std::optional<QString> heading; bool printed; int messages; } cases[] = {
        {"cancelled.pdf", false, QString("Unused"), false, 0},
        {"raid.pdf", true, QString("My Raiders"), true, 0},
        {"no such folder/raid.pdf", true, std::nullopt, false, 1},
    };
    for (const auto &c : cases) {
        prompts.calls.clear();
        form->SetHeading("Throngkit Listing");
        prompts.textAnswers = {c.heading};
        const QString path = dir.filePath(c.file);
        prompts.printAnswer = [&](QWidget *parent, QPrinter &printer) {
            EXPECT_EQ(parent, form.data());
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            return c.ok;
        };
        button("Command4").click();

        EXPECT_EQ(prompts.count("printSetup"), 1) << c.file;
        EXPECT_EQ(prompts.count("askText"), 1) << "the heading is settled as for a save";
        EXPECT_EQ(QFileInfo::exists(path), c.printed) << c.file;
        EXPECT_EQ(prompts.messages().size(), c.messages) << c.file;
        if (c.printed) {
            const QStringList lines = PdfText(path).split(u'\n', Qt::SkipEmptyParts);
            ASSERT_GE(lines.size(), 4);
            EXPECT_EQ(lines[0].simplified(), *c.heading);
            EXPECT_EQ(lines[1].simplified(), "typed Num T Weapon");
            EXPECT_EQ(lines[2].simplified(), "1 B Broadsword");
            EXPECT_EQ(lines[3].simplified(), "Page 1 of 1");
        }
    }
    EXPECT_EQ(prompts.count("saveFileName"), 0);
}

} // namespace
