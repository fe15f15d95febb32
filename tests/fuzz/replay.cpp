// Runs a fuzz target over files, without libFuzzer: the seed corpus and every input that once
// found a fault stay part of the ordinary test run, under the sanitizers where they are on.
#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char *argv[])
{
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        QDirIterator files(QString::fromLocal8Bit(argv[i]), QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            if (!file.open(QIODevice::ReadOnly))
                return 1;
            const QByteArray bytes = file.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
            ++inputs;
        }
    }
    // A target may have made its scratch folder the current one, which Windows would not remove.
    QDir::setCurrent(QDir::rootPath());
    std::printf("%d inputs replayed\n", inputs);
    return inputs > 0 ? 0 : 1;
}
