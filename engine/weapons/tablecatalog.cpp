#include "weapons/tablecatalog.h"

#include "weapons/weapontable.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace throngkit {

namespace {

QDir TableDirectory(const QString &dbLoc)
{
    return QDir(dbLoc.isEmpty() ? QStringLiteral(".") : dbLoc);
}

} // namespace

QStringList WeaponTableFiles(const QString &dbLoc)
{
    // Name filters of QDir ignore case unless told otherwise: "TK-WP-RQ2.DAT" is found too.
    // Without QDir::System, FIFOs, sockets and device nodes are left out of the listing.
    QStringList names = TableDirectory(dbLoc).entryList({QStringLiteral("tk-wp*.dat")},
                                                        QDir::Files, QDir::Unsorted);
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

QList<OfferedTable> OfferedWeaponTables(const QString &dbLoc)
{
    const QDir directory = TableDirectory(dbLoc);
    QList<OfferedTable> offered;
    for (const QString &name : WeaponTableFiles(dbLoc)) {
        // Checked again through the link: a symbolic link is listed by its own name and type.
        const QFileInfo file(directory.absoluteFilePath(name));
        const QFileInfo target(file.canonicalFilePath());
        if (!target.isFile() || target.size() == 0)
            continue;   // a link to a FIFO, a device or nothing; an empty file has no caption
        const Result<QString> caption = ReadTableCaption(file.absoluteFilePath());
        if (!caption)
            continue;   // unreadable
        offered.append({name, QString(caption.value()).replace(u'/', u'-')});
    }
    return offered;
}

} // namespace throngkit
