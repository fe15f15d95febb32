// Any argument list for the command: NUL bytes separate the arguments. It answers with an exit
// status, never with a crash; files it is asked to write land in a scratch directory.
#include "fuzzsupport.h"

#include "cli/commandline.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "throngkit";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = [] {
        qputenv("WINDIR", throngkit::fuzz::ScratchDirectory().toLocal8Bit());
        auto *created = new QCoreApplication(argc, argv);
        QDir::setCurrent(throngkit::fuzz::ScratchDirectory());
        return created;
    }();
    (void)app;
#ifdef _WIN32
    static std::FILE *sink = std::fopen("NUL", "w");
#else
    static std::FILE *sink = std::fopen("/dev/null", "w");
#endif

    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // No paths with directories: whatever -o names stays inside the scratch directory.
    if (bytes.contains('/') || bytes.contains('\\') || bytes.contains(':'))
        return 0;
    QStringList arguments{QStringLiteral("throngkit")};
    for (const QByteArray &argument : bytes.split('\0')) {
        if (arguments.size() > 32)
            break;
        arguments.append(QString::fromUtf8(argument));
    }
    if (arguments.size() < 2)
        return 0;   // no arguments at all open the windows
    const int status = throngkit::RunCommandLine(arguments, sink, sink);
    // 1 is the table check's "a table has a problem", which generate never answers.
    const bool checksTables = arguments.value(1) == QStringLiteral("tables");
    if (status != 0 && status != 2 && !(checksTables && status == 1))
        std::abort();
    // Each input starts from an empty directory, so a run depends on its input alone and a long
    // run does not fill the disk with listings.
    QDir scratch(throngkit::fuzz::ScratchDirectory());
    for (const QString &name : scratch.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (!scratch.remove(name))
            QDir(scratch.filePath(name)).removeRecursively();
    }
    return 0;
}
