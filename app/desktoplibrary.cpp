#include "app/desktoplibrary.h"

#include "app/desktopentry.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace throngkit {

namespace {

// A window needs somewhere to appear: an X or Wayland display, or a platform the user chose.
// Without one Qt would abort the program, with advice about reinstalling it.
bool HasDisplay()
{
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!qEnvironmentVariableIsEmpty(name))
            return true;
    }
    return false;
}

} // namespace

int OpenDesktop(int argc, char *argv[], std::FILE *err)
{
    if (!HasDisplay()) {
        std::fputs("throngkit: no display to open the windows on (DISPLAY and WAYLAND_DISPLAY are "
                   "not set); without windows, see \"throngkit --help\"\n",
                   err);
        return 1;
    }
    // No QCoreApplication exists yet (the windows' library creates the QApplication), so the
    // program's own directory comes from the kernel rather than from Qt.
    const QString binDirectory = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    QLibrary library(QDir::cleanPath(binDirectory + QDir::separator()
                                     + QStringLiteral(THRONGKIT_DESKTOP_FROM_BIN)));
    // Never unloaded: Qt's own clean-up at exit may still run code of the libraries it brought.
    const auto entry = reinterpret_cast<DesktopEntry>(library.resolve(DesktopEntryName));
    if (!entry) {
        std::fprintf(err, "throngkit: the windows cannot open: %s\n",
                     qPrintable(library.errorString()));
        return 1;
    }
    return entry(argc, argv);
}

} // namespace throngkit
