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
// the tab order). Under Wine the tests' one face is DejaVu Sans, in which "Export…" needs a row
// widened by a few pixels: form3-windows.txt.
TEST_F(Form3Test, NothingIsSavedOrPrintedBeforeAGeneration)
{
    test::ExpectGolden(test::Snapshot(form), test::OnWindows ? "form3-windows" : "form3", {{"{title}", QString::fromLatin1(test::ProgramTitle())}});
    for (const char *action : {"Command2", "Command3", "Command4", "Command5"}) {
        prompts.fileAnswers = {dir.filePath("raid.rbl")};
        click(action);
    }
    EXPECT_EQ(prompts.calls, (QStringList{"failure Form3: Nothing to save yet: press Generate first.",
                                          "failure Form3: Nothing to save yet: press Generate first.",
                                          "failure Form3: Nothing to print yet: press Generate first.",
                                          "failure Form3: Nothing to export yet: press Generate first."}));
    EXPECT_TRUE(savedFiles().isEmpty());
}

// Export offers three types; the type chosen, not the name, says the format (two are .json), and
// a bare name gets that type's extension. The rabble goes out with the seed that made it.
TEST_F(Form3Test, ExportWritesTheFormatOfTheTypeChosen)
{
    settings->GeneratedSystem = GameSystem::Traveller;
    settings->GeneratedSeed = 9007199254740993;
    form.setHeading("Raid");
    const struct { int type; const char *name, *saved; OutputFormat format; } cases[] = {
        {0, "vtt", "vtt.json", OutputFormat::Foundry}, {1, "sheet", "sheet.csv", OutputFormat::Csv},
        {2, "plain.json", "plain.json", OutputFormat::Json}, {1, "odd.json", "odd.json", OutputFormat::Csv},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.saved);
        prompts.calls.clear();
        prompts.fileAnswers = {dir.filePath(c.name)};
        prompts.fileType = c.type;
        click("Command5");
        EXPECT_EQ(prompts.calls, QStringList{"saveFileName Form3: Foundry VTT actors (*.json)||.json;"
                                             "CSV (*.csv)||.csv;JSON (*.json)||.json"});
        EXPECT_EQ(test::ReadFile(dir.filePath(c.saved)),
                  ComposeOutput(c.format, {GameSystem::Traveller, *settings, "Raid", 9007199254740993}));
    }
}

// A save asks for the heading only while it is the default (an empty or cancelled answer keeps
// it), then for the file: a cancel or a pattern saves nothing, a name without an extension (or
// ending in a dot) gets the format's, the rabble is written by its system's writer, a failed
// write is reported and the dialog offered again with the name, and the window stays.
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
        {GameSystem::RuneQuest, true, "Raid", {}, QString("no such folder/raid.rbl"), "Raid", "g.rbl", true},
    };
    QStringList files;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.chosen.value_or("cancelled").toStdString());
        prompts.calls.clear();
        settings->GeneratedSystem = c.system;
        form.setHeading(c.before);
        prompts.textAnswers = {c.answer};
        prompts.fileAnswers = {c.chosen ? std::optional(dir.filePath(*c.chosen)) : std::nullopt, dir.filePath(c.saved)};
        click(c.rbl ? "Command2" : "Command3");
        QStringList calls{QString("saveFileName Form3: *.%1|*.%1|.%1").arg(c.rbl ? "rbl" : "htm")};
        if (c.before == standard)
            calls.prepend("askText Form3: " + settings->Title + "|Give title for this listing|" + standard);
        if (c.fails) {
            const QString again = QString(calls.last()).replace("*.rbl|.rbl", dir.filePath(*c.chosen) + "|.rbl");
            calls << "failure Form3: Cannot save \"" + QDir::toNativeSeparators(dir.filePath(*c.chosen)) + "\": " + test::NoSuchFolder() << again;
        }
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

// Opens at the designed size and may be made larger, smaller or maximised: the listing box
// follows, the buttons stay.
TEST_F(Form3Test, TheListingBoxFollowsTheWindowAndTheButtonsStay)
{
    form.show();
    auto *text = form.findChild<QPlainTextEdit *>("Text1");
    auto *print = form.findChild<QPushButton *>("Command4");
    const QRect buttons = print->geometry();
    for (const QSize size : {QSize(507, 357), QSize(1000, 800), form.minimumSize()}) {
        form.resize(size);
        EXPECT_EQ(text->geometry(), QRect(0, 32, size.width() - 2, size.height() - 36));
        EXPECT_EQ(print->geometry(), buttons);
    }
    EXPECT_TRUE(form.minimumSize().width() < 507 && form.minimumSize().width() > buttons.right());
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    form.showMaximized();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.frameGeometry() == form.screen()->availableGeometry(); }));
    EXPECT_EQ(text->geometry(), QRect(0, 32, form.width() - 2, form.height() - 36));
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
