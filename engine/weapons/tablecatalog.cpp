#include "weapons/tablecatalog.h"

#include "core/safefiles.h"
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

// The names in directory of files that match the pattern, of the kinds filters lets through.
QStringList TableNames(const QDir &directory, QDir::Filters filters)
{
    // Name filters of QDir ignore case unless told otherwise: "TK-WP-RQ2.DAT" is found too.
    QStringList names =
        directory.entryList({QStringLiteral("tk-wp*.dat")}, filters, QDir::Unsorted);
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

// Why the folder cannot be listed; empty when it can.
QString FolderProblem(const QFileInfo &folder)
{
    const QString name = QuotedText(QDir::toNativeSeparators(folder.absoluteFilePath()));
    if (!folder.exists())
        return QStringLiteral("The data folder %1 does not exist.").arg(name);
    if (!folder.isDir())
        return QStringLiteral("The data folder %1 is not a folder.").arg(name);
    if (!folder.isReadable() || !folder.isExecutable())
        return QStringLiteral("The data folder %1 may not be read.").arg(name);
    return {};
}

} // namespace

QStringList WeaponTableFiles(const QString &dbLoc)
{
    // Without QDir::System, FIFOs, sockets and device nodes are left out of the listing.
    return TableNames(TableDirectory(dbLoc), QDir::Files);
}

TableCatalogue OfferedWeaponTables(const QString &dbLoc)
{
    const QDir directory = TableDirectory(dbLoc);
    TableCatalogue catalogue;
    catalogue.folder = directory.absolutePath();
    catalogue.folderProblem = FolderProblem(QFileInfo(catalogue.folder));
    if (!catalogue.folderProblem.isEmpty())
        return catalogue;
    // With QDir::System the FIFOs, devices and dangling links of the pattern are listed too, to be
    // told about (never opened).
    for (const QString &name : TableNames(directory, QDir::Files | QDir::System)) {
        // Checked again through the link: a symbolic link is listed by its own name and type.
        const QFileInfo file(directory.absoluteFilePath(name));
        const QFileInfo target(file.canonicalFilePath());
        QString reason;
        if (!target.isFile())
            reason = QStringLiteral("it is not a regular file");
        else if (target.size() == 0)
            reason = QStringLiteral("the file is empty");   // no caption to offer
        else if (const Result<QString> caption = ReadTableCaption(file.absoluteFilePath()); !caption)
            reason = caption.reason();
        else
            catalogue.offered.append({name, QString(caption.value()).replace(u'/', u'-')});
        if (!reason.isEmpty())
            catalogue.leftOut.append({name, reason});
    }
    return catalogue;
}

QString LeftOutNote(const TableCatalogue &catalogue)
{
    if (!catalogue.folderProblem.isEmpty())
        return catalogue.folderProblem;
    const qsizetype count = catalogue.leftOut.size();
    if (count == 0) {
        if (!catalogue.offered.isEmpty())
            return {};
        return QStringLiteral("The data folder %1 holds no weapon tables (tk-wp*.dat).")
            .arg(QuotedText(QDir::toNativeSeparators(catalogue.folder)));
    }
    // A few by name: the note stands under a pick list and must not outgrow the screen.
    constexpr qsizetype Named = 4;
    QStringList lines{count == 1 ? QStringLiteral("1 table left out:")
                                 : QStringLiteral("%1 tables left out:").arg(count)};
    for (qsizetype i = 0; i < std::min(count, Named); ++i) {
        const LeftOutTable &table = catalogue.leftOut.at(i);
        lines << EscapeControls(table.fileName) + QStringLiteral(": ") + table.reason;
    }
    if (count > Named)
        lines << QStringLiteral("and %1 more.").arg(count - Named);
    return lines.join(u'\n');
}

} // namespace throngkit
