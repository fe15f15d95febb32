// Any bytes as Throngkit.ini: reading a value never fails, whatever the file holds, and gives at
// most the rest of one line.
#include "fuzzsupport.h"

#include "core/inienv.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = throngkit::fuzz::WriteScratchFile("Throngkit.ini", data, size);
    const QStringList environment{QStringLiteral("WINDIR=") + throngkit::fuzz::ScratchDirectory()};
    const QString byName = throngkit::GetIniValue(environment, QStringLiteral("Throngkit.ini"), QStringLiteral("DBLoc"));
    const QString byPath = throngkit::GetIniValue(environment, path, QStringLiteral("dbloc"));
    if (byName != byPath)
        std::abort();   // the directory lookup and the key's case must not change the answer
    for (const QString &key : {QStringLiteral("D"), QString()}) {
        if (throngkit::GetIniValue(environment, path, key).contains(u'\n'))
            std::abort();
    }
    return 0;
}
