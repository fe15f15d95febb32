#include "ui/desktop.h"

#include "core/settings.h"
#include "core/startup.h"
#include "generate/dice.h"
#include "ui/desktopstart.h"
#include "ui/form2.h"
#include "ui/prompts.h"

#include <throngkit/version.h>

#include <QApplication>
#include <QDir>
#include <QProcess>

#include <memory>

namespace throngkit {

int RunDesktop(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("throngkit"));
    QApplication::setApplicationVersion(QString::fromLatin1(version::Text));

    auto settings = std::make_unique<Settings>();   // holds 1000 members: not on the stack
    Dice dice;
    QtPrompts prompts(*settings);

    const StartupReport report =
        RunStartup(*settings, {QProcess::systemEnvironment(), QDir::currentPath(),
                               ProgramDataDirectory(), true});
    const std::unique_ptr<Form2> form2 = OpenConfigurationWindow(*settings, dice, prompts, report);
    form2->exec();   // Exit or the frame ends the program
    return 0;
}

} // namespace throngkit
