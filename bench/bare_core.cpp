// The floor under the whole-process figure of a saved page: a Qt Core program that starts and
// writes the same page as `throngkit generate --format htm -o` does, durably (QSaveFile, the
// flush and an fsync before the rename), with nothing generated or composed. It reads the page
// from a file the benchmark made beforehand.
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

#include <unistd.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: throngkit_bare_core PAGE TARGET\n", stderr);
        return 2;
    }
    QFile page(QString::fromLocal8Bit(argv[1]));
    if (!page.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s\n", qPrintable(page.errorString()));
        return 1;
    }
    const QByteArray bytes = page.readAll();
    QSaveFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(bytes) != bytes.size()
        || !file.flush() || ::fsync(file.handle()) != 0 || !file.commit()) {
        std::fprintf(stderr, "%s\n", qPrintable(file.errorString()));
        return 1;
    }
    return 0;
}
