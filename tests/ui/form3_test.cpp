// The listing window on its own, every box answered by FakePrompts. Exit and the frame are
// driven from the configuration window's Display.
#include "listing/outputformats.h"
#include "tests/ui/uitest.h"
#include "ui/form3.h"

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
    void click(const char *name) { form.findChild<QPushButton *>(name)->click(); }
    QStringList savedFiles() const { return QDir(dir.path()).entryList(QDir::Files); }

    QTemporaryDir dir;
    std::unique_ptr<Settings> settings = test::NewSettings();
    test::FakePrompts prompts;
    Form3 form{*settings, prompts};
};

// The start state against a copy of every control (captions, the listing box's fixed-pitch face,
// the tab order).
TEST_F(Form3Test, NothingIsSavedOrPrintedBeforeAGeneration)
{
    Form3 fresh(*settings, prompts);
    test::ExpectGolden(test::Snapshot(fresh), "form3", {{"{title}", QString::fromLatin1(test::ProgramTitle())}});
    for (const char *action : {"Command2", "Command3", "Command4"}) {
        prompts.fileAnswers = {dir.filePath("raid.rbl")};
        click(action);
    }
    EXPECT_EQ(prompts.calls, (QStringList{"failure Form3: Nothing to save yet: press Generate first.",
                                          "failure Form3: Nothing to save yet: press Generate first.",
                                          "failure Form3: Nothing to print yet: press Generate first."}));
    EXPECT_TRUE(savedFiles().isEmpty());
}

// A save asks for the heading only while it is the default (an empty or cancelled answer keeps
// it), then for the file: a cancel or a pattern saves nothing, a name without an extension (or
// ending in a dot) gets the format's, the rabble is written by its system's writer, a failed
// write is reported and the window stays.
TEST_F(Form3Test, SavesAskTheHeadingWhileItIsTheDefaultAndThenTheFile)
{
    form.show();
    const QString standard = "Throngkit Listing";
    const struct { GameSystem system; bool rbl; QString before; std::optional<QString> answer, chosen; QString used, saved; bool fails = false; } cases[] = {
        {GameSystem::RuneQuest, true, standard, QString("My Raiders"), QString("a"), "My Raiders", "a.rbl"},
        {GameSystem::RuneQuest, false, standard, QString("My Raiders"), QString("b"), "My Raiders", "b.htm"},
        {GameSystem::Traveller, true, standard, std::nullopt, QString("c.rbl"), standard, "c.rbl"},
        {GameSystem::Traveller, false, standard, QString(""), QString("d.txt"), standard, "d.txt"},
        {GameSystem::Traveller, true, "throngkit listing", QString("unasked"), QString("e"), "throngkit listing", "e.rbl"},
        {GameSystem::RuneQuest, true, "", QString("unasked"), QString("f."), "", "f.rbl"},
        {GameSystem::RuneQuest, true, "Raid", {}, std::nullopt, "Raid", ""},
        {GameSystem::RuneQuest, true, "Raid", {}, QString("*.rbl"), "Raid", ""},
        {GameSystem::RuneQuest, false, "Raid", {}, QString("ra?d.htm"), "Raid", ""},
        {GameSystem::RuneQuest, true, "Raid", {}, QString("no such folder/raid.rbl"), "Raid", "", true},
    };
    QStringList files;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.chosen.value_or("cancelled").toStdString());
        prompts.calls.clear();
        settings->GeneratedSystem = c.system;
        form.setHeading(c.before);
        prompts.textAnswers = {c.answer};
        prompts.fileAnswers = {c.chosen ? std::optional(dir.filePath(*c.chosen)) : std::nullopt};
        click(c.rbl ? "Command2" : "Command3");
        QStringList calls{QString("saveFileName Form3: *.%1|*.%1|.%1").arg(c.rbl ? "rbl" : "htm")};
        if (c.before == standard)
            calls.prepend("askText Form3: " + settings->Title + "|Give title for this listing|" + standard);
        if (c.fails)
            calls << "failure Form3: Cannot save \"" + QDir::toNativeSeparators(dir.filePath(*c.chosen)) + "\": " + test::NoSuchFolder();
        EXPECT_EQ(prompts.calls, calls);
        EXPECT_EQ(form.heading(), c.used);
        if (!c.saved.isEmpty()) {
            EXPECT_EQ(test::ReadFile(dir.filePath(files.emplace_back(c.saved))),
                      ComposeOutput(c.rbl ? OutputFormat::Rbl : OutputFormat::Htm, {c.system, *settings, c.used}));
        }
        EXPECT_EQ(savedFiles(), files);
    }
    EXPECT_TRUE(form.isVisible());
}

TEST_F(Form3Test, PrintsTheBoxAsItHoldsIt)
{
    settings->GeneratedSystem = GameSystem::RuneQuest;
    form.showListing("Num   T Weapon\r\n1     B Broadsword\r\n");
    auto *text = form.findChild<QPlainTextEdit *>("Text1");
    EXPECT_TRUE(QFontInfo(text->font()).fixedPitch() && text->lineWrapMode() == QPlainTextEdit::NoWrap);
    QTest::keyClicks(text, "typed ");
    // Where the print dialog sends the pages, and OK or Cancel.
    const struct { const char *file; bool ok; std::optional<QString> heading; bool printed; QString message; } cases[] = {
        {"cancelled.pdf", false, QString("Unused"), false, ""},
        {"raid.pdf", true, QString("My Raiders"), true, ""},
        {"no such folder/raid.pdf", true, std::nullopt, false, "The listing could not be printed to \"{path}\": {no folder}"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        prompts.calls.clear();
        form.setHeading("Throngkit Listing");
        prompts.textAnswers = {c.heading};
        const QString path = dir.filePath(c.file);
        prompts.printAnswer = [&](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            return c.ok;
        };
        click("Command4");
        // The heading is settled as for a save.
        QStringList calls{"askText Form3: " + settings->Title + "|Give title for this listing|Throngkit Listing", "printSetup Form3"};
        if (!c.message.isEmpty())
            calls << "failure Form3: " + QString(c.message).replace("{path}", QDir::toNativeSeparators(path)).replace("{no folder}", test::NoSuchFolder());
        EXPECT_EQ(prompts.calls, calls);
        EXPECT_EQ(QFileInfo::exists(path), c.printed);
#ifndef Q_OS_WIN   // pdftotext reads it back on Linux only
        if (c.printed) {
            EXPECT_EQ(test::PdfPages(path), (QList<QStringList>{{*c.heading, "typed Num T Weapon",
                                                                 "1 B Broadsword", "Page 1 of 1"}}));
        }
#endif
    }
}

} // namespace
