#include "app/desktoplibrary.h"
#include "cli/commandline.h"
#include "core/platformfiles.h"

#include <QCoreApplication>

// Any argument at all is the command (or its usage error); only none opens the windows.
int main(int argc, char *argv[])
{
    if (argc > 1) {
        QCoreApplication app(argc, argv);
        throngkit::platform::UseBinaryMode(stdout);
        throngkit::platform::UseBinaryMode(stderr);
        return throngkit::RunCommandLine(QCoreApplication::arguments(), stdout, stderr);
    }
    return throngkit::OpenDesktop(argc, argv, stderr);
}
