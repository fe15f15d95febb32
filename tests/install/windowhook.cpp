// Loaded into the program with LD_PRELOAD, it stands in for the user at the windows: each window
// is reported on standard error when it first paints, then closed by its frame, so a run of the
// windows ends by itself and shows what a user would have seen.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

struct CloseEachWindow : QObject
{
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Marked on the window itself: a later window may be given the address of a closed one.
        auto *window = qobject_cast<QWidget *>(watched);
        if (event->type() == QEvent::Paint && window && window->isWindow() && !window->property("hookShown").toBool()) {
            window->setProperty("hookShown", true);
            std::fprintf(stderr, "shown %s \"%s\" %s\n", window->metaObject()->className(),
                         qPrintable(window->windowTitle()), qPrintable(window->property("text").toString()));
            QTimer::singleShot(0, window, &QWidget::close);
        }
        return false;
    }
};

void WatchTheWindows() { qApp->installEventFilter(new CloseEachWindow(qApp)); }

} // namespace

Q_COREAPP_STARTUP_FUNCTION(WatchTheWindows)
