#include "cli/commandline.h"
#include "app/desktoplibrary.h"

#include <QCoreApplication>
#include <QStringList>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    if (throngkit::WantsCommandLine(arguments)) {
        QCoreApplication app(argc, argv);
        return throngkit::RunCommandLine(QCoreApplication::arguments(), stdout, stderr);
    }
    return throngkit::OpenDesktop(argc, argv, stderr);
}
