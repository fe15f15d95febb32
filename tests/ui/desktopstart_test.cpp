// Start-up's window end: the first-run notice comes before the configuration window, the
// weapon-table label shows how the default table's load went, and a first run from a folder that
// holds the tables writes the INI.
#include "core/dice.h"
#include "tests/ui/uitest.h"
#include "ui/desktopstart.h"
#include "ui/form2.h"

using namespace throngkit;

namespace {

// Opens the window as the desktop does after start-up; gives its weapon-table label.
QString Open(Settings &settings, const StartupReport &report, test::FakePrompts &prompts)
{
    Dice dice(1);
    const auto form2 = OpenConfigurationWindow(settings, dice, prompts, report);
    EXPECT_EQ(form2->windowTitle(), settings.Title);
    EXPECT_FALSE(form2->isVisible());   // shown modally by the caller
    return form2->findChild<QLabel *>("Label3")->text();
}

TEST(OpenConfigurationWindow, FailedTableIsReportedAndTheLabelLeftEmpty)
{
    const auto settings = test::NewSettings();
    test::FakePrompts prompts;
    EXPECT_EQ(Open(*settings, {"", Result<QString>::failure("Cannot open /d/tk-wp-rq1.dat.")}, prompts), "");
    EXPECT_EQ(prompts.calls, QStringList{"failure Form2: Cannot open /d/tk-wp-rq1.dat."});
}

// The window's start may write the INI; only the command opts out.
TEST(OpenConfigurationWindow, FirstRunFromTheTablesFolderWritesTheIni)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString windows = dir.filePath("windows"), tables = dir.filePath("tables");
    ASSERT_TRUE(QDir().mkpath(windows) && QDir().mkpath(tables));
    ASSERT_TRUE(QFile::copy(test::SourceTable("tk-wp-rq1.dat"), tables + "/tk-wp-rq1.dat"));
    const StartupContext context{{"WINDIR=" + windows, "APPDATA=" + windows, "HOME=" + dir.path()}, tables, test::SourceDataDirectory(), true, {}};
    const auto settings = test::NewSettings();
    test::FakePrompts prompts;
    EXPECT_EQ(Open(*settings, RunStartup(*settings, context), prompts), "Runequest Standard");
    const QString ini = QDir::toNativeSeparators(windows + (test::OnWindows ? "/Throngkit/Throngkit.ini" : "/Throngkit.ini"));
    const QString here = QDir::toNativeSeparators(tables + "/");
    EXPECT_EQ(test::ReadFile(ini), "dbloc=" + QFile::encodeName(here) + "\r\n");
    // The first-run notice comes before any window.
    EXPECT_EQ(prompts.calls, QStringList{"notice -: " + ini + " has been created, assuming your data files are in " + here});
}

// The desktop knows the program by its name and entry, and its windows by the program's icon.
TEST(SetUpDesktopApplication, NamesTheProgramAndGivesItsIcon)
{
    SetUpDesktopApplication();
    EXPECT_EQ(QApplication::applicationName() + " " + QGuiApplication::desktopFileName(), "Throngkit io.github.throngkit.Throngkit");
    EXPECT_EQ(QApplication::windowIcon().pixmap(64).size(), QSize(64, 64));
}

} // namespace
