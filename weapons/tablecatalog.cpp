#include "weapons/tablecatalog.h"

#include "weapons/weapontable.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace throngkit {

QList<OfferedTable> OfferedWeaponTables(const QString &dbLoc)
{
    const QDir directory(dbLoc.isEmpty() ? QStringLiteral(".") : dbLoc);
    // Without QDir::System, FIFOs, sockets and device nodes are left out of the listing; the
    // file's own type is checked again below because a symbolic link is listed by its name.
    QFileInfoList found = directory.entryInfoList({QStringLiteral("tk-wp*.dat")},
                                                  QDir::Files | QDir::Readable, QDir::Unsorted);
    // The order a case-insensitive file system lists them in; names that differ only in case
    // keep a fixed order between them.
    std::sort(found.begin(), found.end(), [](const QFileInfo &a, const QFileInfo &b) {
        const int folded = a.fileName().compare(b.fileName(), Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a.fileName() < b.fileName();
    });

    QList<OfferedTable> offered;
    for (const QFileInfo &file : std::as_const(found)) {
        const QFileInfo target(file.canonicalFilePath());
        if (!target.isFile() || target.size() == 0)
            continue;   // a link to a FIFO, a device or nothing; an empty file has no caption
        QString caption;
        if (!ReadTableCaption(file.absoluteFilePath(), &caption))
            continue;
        caption.replace(u'/', u'-');
        offered.append({file.fileName(), caption});
    }
    return offered;
}

} // namespace throngkit
