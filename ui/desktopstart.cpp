#include "ui/desktopstart.h"

#include "session/startup.h"
#include "ui/form2.h"
#include "ui/prompts.h"

#include <throngkit/version.h>

#include <QApplication>
#include <QIcon>
#include <QImageReader>

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

void SetUpDesktopApplication()
{
    // The class of the windows (WM_CLASS "throngkit", "Throngkit" on X11), which the desktop
    // entry's StartupWMClass names; the desktop file name lets docks and Wayland compositors
    // match the windows to that entry.
    QApplication::setApplicationName(QStringLiteral("Throngkit"));
    QApplication::setApplicationVersion(QString::fromLatin1(version::Text));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.throngkit.Throngkit"));
    QApplication::setWindowIcon(ProgramIcon());
}

std::unique_ptr<Form2> OpenConfigurationWindow(Settings &settings, Dice &dice, Prompts &prompts,
                                               const StartupReport &report)
{
    if (!report.firstRunNotice.isEmpty())
        prompts.message(nullptr, report.firstRunNotice, MessageKind::Notice);

    auto form2 = std::make_unique<Form2>(settings, dice, prompts);
    form2->showTableCaption(QStringLiteral("Runequest Standard"));
    if (report.table) {
        form2->showTableCaption(report.table.value());
    } else {
        // The program goes on with an empty table; Browse or a system switch can load another.
        form2->showTableCaption(QString());
        prompts.message(form2.get(), report.table.reason());
    }
    return form2;
}

} // namespace throngkit
