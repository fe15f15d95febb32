// Does what the desktop program does up to its configuration window on screen, then quits: the
// whole-process time of this is the start-up figure.
#include "core/settings.h"
#include "core/startup.h"
#include "generate/dice.h"
#include "ui/desktopstart.h"
#include "ui/form2.h"
#include "ui/prompts.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTimer>

#include <memory>

int main(int argc, char *argv[])
{
    using namespace throngkit;
    QApplication app(argc, argv);
    auto settings = std::make_unique<Settings>();
    Dice dice;
    QtPrompts prompts(*settings);
    const StartupReport report = RunStartup(
        *settings, {QProcess::systemEnvironment(), QDir::currentPath(), ProgramDataDirectory(), true});
    if (!report.firstRunNotice.isEmpty() || !report.tableError.isEmpty())
        return 1;   // a message box would wait for a person: run it with the INI in place
    const std::unique_ptr<Form2> form2 = OpenConfigurationWindow(*settings, dice, prompts, report);
    form2->show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);   // after the window's first paint
    return app.exec();
}
