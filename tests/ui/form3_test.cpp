// The listing window on its own: its start state, both save actions with the heading question
// and the file dialog answered by FakePrompts, and printing to a PDF file. Exit and the frame are
// driven from the configuration window's Display.
#include "core/settings.h"
#include "core/startup.h"
#include "listing/listingfiles.h"
#include "tests/support/testsupport.h"
#include "tests/ui/uitest.h"
#include "ui/form3.h"

#include <QDir>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace throngkit;

namespace {

class Form3Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        InitialiseSettings(*settings);
        settings->HowMany = 3;
    }
    QPlainTextEdit &text1() const { return *form.findChild<QPlainTextEdit *>("Text1"); }
    QPushButton &button(const char *name) const { return *form.findChild<QPushButton *>(name); }
    QStringList savedFiles() const { return QDir(dir.path()).entryList(QDir::Files); }

    QTemporaryDir dir;
    std::unique_ptr<Settings> settings = test::NewSettings();
    test::FakePrompts prompts;
    Form3 form{*settings, prompts};
};

TEST_F(Form3Test, StartsAsDesigned)
{
    EXPECT_EQ(form.size(), QSize(507, 357));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(text1().lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_TRUE(QFontInfo(text1().font()).fixedPitch());   // the columns line up
    const struct { const char *name; QString caption; } buttons[] = {
        {"Command1", "Exit"}, {"Command2", "Save .rbl"}, {"Command3", "Save .htm"}, {"Command4", "Print"}};
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
        EXPECT_EQ(nextTabStop(previous), &button(b.name)) << b.name;
        previous = &button(b.name);
    }
    EXPECT_EQ(nextTabStop(previous), &text1());
    form.show();
    EXPECT_EQ(form.focusWidget(), &text1());
}

TEST_F(Form3Test, NothingIsSavedOrPrintedBeforeAGeneration)
{
    for (const char *action : {"Command2", "Command3", "Command4"}) {
        prompts.calls.clear();
        prompts.fileAnswers = {dir.filePath("raid.rbl")};
        button(action).click();
        EXPECT_EQ(prompts.messages(),
                  QStringList{QString("Nothing to %1 yet: press Generate first.")
                                  .arg(action == QStringLiteral("Command4") ? "print" : "save")});
        EXPECT_EQ(prompts.calls.size(), 1) << action;
    }
    EXPECT_TRUE(savedFiles().isEmpty());
}

// The heading is asked only while it is the default, and an empty or cancelled answer keeps it.
TEST_F(Form3Test, HeadingIsAskedWhileItIsTheDefault)
{
    const struct { GameSystem system; const char *button; QString before; std::optional<QString> answer; QString used; } cases[] = {
        {GameSystem::RuneQuest, "Command2", "Throngkit Listing", QString("My Raiders"), "My Raiders"},
        {GameSystem::RuneQuest, "Command3", "Throngkit Listing", QString("My Raiders"), "My Raiders"},
        {GameSystem::Traveller, "Command2", "Throngkit Listing", std::nullopt, "Throngkit Listing"},
        {GameSystem::Traveller, "Command3", "Throngkit Listing", QString(""), "Throngkit Listing"},
        {GameSystem::Traveller, "Command2", "throngkit listing", QString("unasked"), "throngkit listing"},
        {GameSystem::RuneQuest, "Command2", "", QString("unasked"), ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.before.toStdString() + " " + c.button);
        prompts.calls.clear();
        settings->GeneratedSystem = c.system;
        form.SetHeading(c.before);
        prompts.textAnswers = {c.answer};
        const bool rbl = c.button == QStringLiteral("Command2");
        const QString path = dir.filePath(rbl ? "t.rbl" : "t.htm");
        prompts.fileAnswers = {path};
        button(c.button).click();
        EXPECT_EQ(prompts.of("askText"),
                  c.before == "Throngkit Listing"
                      ? QStringList{settings->Title + "|Give title for this listing|Throngkit Listing"}
                      : QStringList{});
        EXPECT_EQ(prompts.of("saveFileName"), QStringList{rbl ? "*.rbl|*.rbl|.rbl" : "*.htm|*.htm|.htm"});
        EXPECT_EQ(form.Heading(), c.used);
        EXPECT_EQ(test::ReadFile(path), ComposeListingFile(c.system, rbl ? FileFormat::Rbl : FileFormat::Htm,
                                                           *settings, c.used));
    }
}

TEST_F(Form3Test, FileNamesFromTheSaveDialog)
{
    settings->GeneratedSystem = GameSystem::RuneQuest;
    form.SetHeading("Raid");
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
    form.SetHeading("Raid");
    form.show();
    prompts.fileAnswers = {dir.filePath("no such folder/raid.rbl")};
    button("Command2").click();
    EXPECT_EQ(prompts.messages(), QStringList{"Cannot save \"" + dir.filePath("no such folder/raid.rbl")
                                              + "\": No such file or directory"});
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(savedFiles().isEmpty());
}

TEST_F(Form3Test, PrintsTheBoxAsItHoldsIt)
{
    settings->GeneratedSystem = GameSystem::RuneQuest;
    form.ShowListing("Num   T Weapon\r\n1     B Broadsword\r\n");
    QTest::keyClicks(&text1(), "typed ");
    // The print dialog's answer: where the pages go, and OK or Cancel.
    const struct { const char *file; bool ok; std::optional<QString> heading; bool printed; int messages; } cases[] = {
        {"cancelled.pdf", false, QString("Unused"), false, 0},
        {"raid.pdf", true, QString("My Raiders"), true, 0},
        {"no such folder/raid.pdf", true, std::nullopt, false, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        prompts.calls.clear();
        form.SetHeading("Throngkit Listing");
        prompts.textAnswers = {c.heading};
        const QString path = dir.filePath(c.file);
        prompts.printAnswer = [&](QWidget *parent, QPrinter &printer) {
            EXPECT_EQ(parent, &form);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            return c.ok;
        };
        button("Command4").click();
        EXPECT_EQ(prompts.count("printSetup"), 1);
        EXPECT_EQ(prompts.count("askText"), 1) << "the heading is settled as for a save";
        EXPECT_EQ(prompts.messages().size(), c.messages);
        EXPECT_EQ(QFileInfo::exists(path), c.printed);
        if (c.printed)
            EXPECT_EQ(test::PdfPages(path), (QList<QStringList>{{*c.heading, "typed Num T Weapon",
                                                                 "1 B Broadsword", "Page 1 of 1"}}));
    }
}

} // namespace
