// Any bytes as Throngkit.ini: reading the data directory never fails, whatever the file holds.
#include "fuzzsupport.h"

#include "core/inienv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = throngkit::fuzz::WriteScratchFile("Throngkit.ini", data, size);
    const QStringList environment{QStringLiteral("WINDIR=") + throngkit::fuzz::ScratchDirectory()};
    (void)throngkit::GetIniValue(environment, QStringLiteral("Throngkit.ini"), QStringLiteral("DBLoc"));
    (void)throngkit::GetIniValue(environment, path, QStringLiteral("D"));
    (void)throngkit::GetIniValue(environment, path, QString());
    return 0;
}
