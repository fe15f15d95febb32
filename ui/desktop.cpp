#include "ui/desktop.h"

#include "core/settings.h"
#include "core/startup.h"
#include "generate/dice.h"
#include "ui/desktopstart.h"
#include "ui/form2.h"
#include "ui/prompts.h"

#include <throngkit/version.h>

#include <QApplication>
#include <QIcon>
#include <QImageReader>

#include <memory>

// The icons live in a resource of the static ui library; Q_INIT_RESOURCE must be named outside
// any namespace.
static void RegisterIconResources()
{
    Q_INIT_RESOURCE(throngkit_icons);
}

namespace throngkit {

namespace {

// The shipped icon, drawn from its scalable source where Qt can read SVG, else from its
// 128-pixel picture, which scales down cleanly.
QIcon ProgramIcon()
{
    QIcon icon;
    if (QImageReader::supportedImageFormats().contains("svg"))
        icon.addFile(QStringLiteral(":/throngkit/icons/throngkit.svg"));
    icon.addFile(QStringLiteral(":/throngkit/icons/throngkit.png"));
    return icon;
}

} // namespace

int RunDesktop(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The class of the windows (WM_CLASS "throngkit", "Throngkit" on X11), which the desktop
    // entry's StartupWMClass names; the desktop file name lets docks and Wayland compositors
    // match the windows to that entry.
    QApplication::setApplicationName(QStringLiteral("Throngkit"));
    QApplication::setApplicationVersion(QString::fromLatin1(version::Text));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.throngkit.Throngkit"));
    RegisterIconResources();
    QApplication::setWindowIcon(ProgramIcon());

    auto settings = std::make_unique<Settings>();   // holds 1000 members: not on the stack
    Dice dice;
    QtPrompts prompts(*settings);

    const StartupReport report = RunStartup(*settings, ProcessStartupContext(FirstRunIni::Write));
    const std::unique_ptr<Form2> form2 = OpenConfigurationWindow(*settings, dice, prompts, report);
    prompts.showModal(*form2);   // Exit or the frame ends the program
    return 0;
}

} // namespace throngkit
