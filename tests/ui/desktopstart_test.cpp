// Start-up's window end: the first-run notice comes before the configuration window, the
// weapon-table label shows how the default table's load went, and a first run from a folder that
// holds the tables writes the INI.
#include "core/settings.h"
#include "core/startup.h"
#include "generate/dice.h"
#include "tests/support/testsupport.h"
#include "tests/ui/uitest.h"
#include "ui/desktopstart.h"
#include "ui/form2.h"

#include <QDir>
#include <QFile>
#include <QLabel>

using namespace throngkit;

namespace {

struct Opened
{
    test::FakePrompts prompts;
    QString label3;
};

// The window opened as the desktop opens it after start-up.
void Open(Settings &settings, const StartupReport &report, Opened &opened)
{
    Dice dice(1);
    const auto form2 = OpenConfigurationWindow(settings, dice, opened.prompts, report);
    opened.label3 = form2->findChild<QLabel *>("Label3")->text();
    EXPECT_EQ(form2->windowTitle(), settings.Title);
    EXPECT_FALSE(form2->isVisible());   // shown modally by the caller
    // The first-run notice informs, before any window; a table that did not load is a failure.
    for (const auto &call : opened.prompts.calls)
        EXPECT_EQ(call.messageKind, call.parent ? MessageKind::Failure : MessageKind::Notice);
}

TEST(OpenConfigurationWindow, NoticeFirstThenTheTableLabel)
{
    const struct { StartupReport report; QStringList messages; QString label3; } cases[] = {
        {{"", Result<QString>::success("Runequest tables")}, {}, "Runequest tables"},
        {{"Notice", Result<QString>::success("Caption")}, {"Notice"}, "Caption"},
        {{"", Result<QString>::failure("Cannot open /d/tk-wp-rq1.dat.")}, {"Cannot open /d/tk-wp-rq1.dat."}, ""},
    };
    for (const auto &c : cases) {
        const auto settings = test::NewSettings();
        InitialiseSettings(*settings);
        Opened opened;
        Open(*settings, c.report, opened);
        EXPECT_EQ(opened.prompts.messages(), c.messages);
        EXPECT_EQ(opened.label3, c.label3);
    }
}

// The window's start may write the INI; only the command opts out.
TEST(OpenConfigurationWindow, FirstRunFromTheTablesFolderWritesTheIni)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString windows = dir.filePath("windows"), tables = dir.filePath("tables");
    ASSERT_TRUE(QDir().mkpath(windows) && QDir().mkpath(tables));
    ASSERT_TRUE(QFile::copy(test::SourceTable("tk-wp-rq1.dat"), tables + "/tk-wp-rq1.dat"));
    StartupContext context;
    context.environment = {"WINDIR=" + windows, "HOME=" + dir.path()};
    context.currentDirectory = tables;
    context.programDataDirectory = test::SourceDataDirectory();
    const auto settings = test::NewSettings();
    Opened opened;
    Open(*settings, RunStartup(*settings, context), opened);

    const QString ini = windows + "/Throngkit.ini";
    EXPECT_EQ(test::ReadFile(ini), "dbloc=" + QFile::encodeName(tables) + "/\r\n");
    EXPECT_EQ(opened.prompts.messages(),
              QStringList{ini + " has been created, assuming your data files are in " + tables + "/"});
    EXPECT_EQ(opened.label3, "Runequest Standard");
    EXPECT_TRUE(settings->Title.startsWith("Throngkit v"));   // the settings were initialised
}

} // namespace
