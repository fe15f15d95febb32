// Starts the windows the way throngkit does without arguments (its Qt Core program loading the
// windows' library), quitting on the configuration window's first paint: the whole-process time
// of this is the start-up figure.
#include "app/desktoplibrary.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

#include <cstdio>

namespace {

enum class ProbeEnd { Waiting, Painted, OtherWindow, TimedOut };
ProbeEnd probeEnd = ProbeEnd::Waiting;   // the probe's own: set from inside the windows' run

void Finish(ProbeEnd how)
{
    if (probeEnd != ProbeEnd::Waiting)
        return;
    probeEnd = how;
    QCoreApplication::exit(0);
}

// The window counts as shown once it has painted itself, not merely when show() returns.
class QuitOnFirstPaint : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            // A message box would wait for a person: the figure is taken with the INI in place.
            ProbeEnd how = ProbeEnd::OtherWindow;
            for (QObject *object = watched; object; object = object->parent()) {
                if (object->inherits("QMessageBox"))
                    break;
                if (!object->parent() && object->inherits("throngkit::Form2"))
                    how = ProbeEnd::Painted;
            }
            QTimer::singleShot(0, qApp, [how] { Finish(how); });
        }
        return QObject::eventFilter(watched, event);
    }
};

// Runs as the windows' library creates its QApplication, the probe's only way in.
void WatchTheApplication()
{
    qApp->installEventFilter(new QuitOnFirstPaint(qApp));
    // A window that never paints must not hang the benchmark run.
    QTimer::singleShot(10000, qApp, [] { Finish(ProbeEnd::TimedOut); });
}

} // namespace

int main(int argc, char *argv[])
{
    qAddPreRoutine(WatchTheApplication);
    const int status = throngkit::OpenDesktop(argc, argv, stderr);
    if (status != 0)
        return status;
    switch (probeEnd) {
    case ProbeEnd::Painted:
        return 0;
    case ProbeEnd::OtherWindow:
        std::fputs("start-up showed a message: run with Throngkit.ini naming the tables\n", stderr);
        return 1;
    case ProbeEnd::TimedOut:
    case ProbeEnd::Waiting:
        break;
    }
    std::fputs("the configuration window never painted\n", stderr);
    return 3;
}
