#include "app/desktoplibrary.h"

#include "app/desktopentry.h"
#include "core/platformfiles.h"

#include <QDir>
#include <QLibrary>

namespace throngkit {

int OpenDesktop(int argc, char *argv[], std::FILE *err)
{
    // Without a display Qt would abort the program, with advice about reinstalling it.
    if (!platform::HasDesktop()) {
        std::fputs("throngkit: no display to open the windows on (DISPLAY and WAYLAND_DISPLAY are "
                   "not set); without windows, see \"throngkit --help\"\n",
                   err);
        return 1;
    }
    // No QCoreApplication exists yet (the windows' library creates the QApplication), so the
    // program's own directory comes from the system rather than from Qt.
    QLibrary library(QDir::cleanPath(platform::ProgramDirectory() + u'/'
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
