#include "core/safefiles.h"

#include "core/platformfiles.h"

#include <QDir>

namespace throngkit {
namespace {

QString CannotSave(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot save %1: %2").arg(QuotedText(QDir::toNativeSeparators(path)), reason);
}

// The program's words for what it refuses to read or replace.
QString NotARegularFile(platform::PathKind kind)
{
    return kind == platform::PathKind::Directory ? QStringLiteral("it is a directory")
                                                 : QStringLiteral("it is not a regular file");
}

} // namespace

Outcome CheckReplaceableTarget(const QString &path)
{
    const Result<platform::PathKind> kind = platform::KindOfPath(path);
    if (!kind)
        return Outcome::failure(CannotSave(path, kind.reason()));
    if (kind.value() == platform::PathKind::Missing || kind.value() == platform::PathKind::RegularFile)
        return Outcome::success();
    return Outcome::failure(CannotSave(path, NotARegularFile(kind.value())));
}

Outcome SaveFileAtomically(const QString &path, const QByteArray &bytes)
{
    if (const Outcome target = CheckReplaceableTarget(path); !target)
        return target;
    platform::FileReplacement file;
    Outcome saved = file.begin(path);
    if (saved)
        saved = file.write(bytes);
    if (saved)
        saved = file.commit();
    return saved ? saved : Outcome::failure(CannotSave(path, saved.reason()));
}

Result<QByteArray> ReadRegularFile(const QString &path, qsizetype limit)
{
    using Read = Result<QByteArray>;
    // One byte past the limit tells a file of exactly the limit from a larger one.
    const Result<platform::FileStart> read = platform::ReadFileStart(path, limit + 1);
    if (!read)
        return Read::failure(read.reason());
    if (read.value().kind != platform::PathKind::RegularFile)
        return Read::failure(NotARegularFile(read.value().kind));
    if (read.value().bytes.size() > limit)
        return Read::failure(QStringLiteral("it is too large (more than %1 KiB)").arg(limit / 1024));
    return Read::success(read.value().bytes);
}

QString EscapeControls(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (IsControlCharacter(u))
            out += QStringLiteral("\\x") + QString::number(unsigned(u), 16).toUpper().rightJustified(2, u'0');
        else
            out += c;
    }
    return out;
}

QString QuotedText(QStringView text)
{
    return u'"' + EscapeControls(text) + u'"';
}

} // namespace throngkit
