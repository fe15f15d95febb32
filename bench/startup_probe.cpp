// Does what the desktop program does up to its configuration window on screen, then quits: the
// whole-process time of this is the start-up figure.
#include "core/settings.h"
#include "core/startup.h"
#include "generate/dice.h"
#include "ui/desktopstart.h"
#include "ui/form2.h"
#include "ui/prompts.h"

#include <throngkit/version.h>

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QObject>
#include <QProcess>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

// The window counts as shown once it has painted itself, not merely when show() returns.
class QuitOnFirstPaint : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    using namespace throngkit;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("throngkit"));
    QApplication::setApplicationVersion(QString::fromLatin1(version::Text));

    auto settings = std::make_unique<Settings>();
    Dice dice;
    QtPrompts prompts(*settings);
    const StartupReport report = RunStartup(
        *settings, {QProcess::systemEnvironment(), QDir::currentPath(), ProgramDataDirectory(), true});
    if (!report.firstRunNotice.isEmpty() || !report.tableError.isEmpty()) {
        // A message box would wait for a person: the figure is taken with the INI in place.
        std::fputs("start-up would show a message: run with Throngkit.ini naming the tables\n", stderr);
        return 1;
    }
    const std::unique_ptr<Form2> form2 = OpenConfigurationWindow(*settings, dice, prompts, report);
    QuitOnFirstPaint quit;
    form2->installEventFilter(&quit);
    form2->show();
    // A window that never paints must not hang the benchmark run.
    QTimer::singleShot(10000, &app, [] { QCoreApplication::exit(3); });
    return app.exec();
}
