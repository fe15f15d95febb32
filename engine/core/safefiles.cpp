#include "core/safefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace throngkit {
namespace {

QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Qt's own reason when it has one worth showing, else the system's.
QString ReasonOf(const QFileDevice &file, int savedErrno)
{
    const QString reason = file.errorString();
    if (!reason.isEmpty() && reason != u"Unknown error")
        return reason;
    return SystemReason(savedErrno != 0 ? savedErrno : EIO);
}

QString CannotSave(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot save %1: %2").arg(QuotedText(QDir::toNativeSeparators(path)), reason);
}

} // namespace

Outcome CheckReplaceableTarget(const QString &path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return Outcome::success();   // nothing there yet, or the save itself will say why
    if (S_ISREG(status.st_mode))
        return Outcome::success();
    return Outcome::failure(CannotSave(path, S_ISDIR(status.st_mode)
                                                 ? QStringLiteral("it is a directory")
                                                 : QStringLiteral("it is not a regular file")));
}

QString WhyNotWritable(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (::access(name.constData(), F_OK) != 0 || ::access(name.constData(), W_OK) == 0)
        return {};
    return QStringLiteral("the file is not writable (%1)").arg(SystemReason(errno));
}

Outcome SaveFileAtomically(const QString &path, const QByteArray &bytes)
{
    if (const Outcome target = CheckReplaceableTarget(path); !target)
        return target;
    // Checked here because QSaveFile would refuse with "Existing file ... is not writable" alone.
    if (const QString why = WhyNotWritable(path); !why.isEmpty())
        return Outcome::failure(CannotSave(path, why));

    // Written beside the target and renamed over it only when complete. Unbuffered, so that a
    // failed write shows at once; the flush is checked all the same, because a commit after a
    // failed final flush would still rename an unfinished file over the old one.
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Outcome::failure(CannotSave(path, ReasonOf(file, errno)));
    auto fail = [&](int savedErrno) {
        const QString reason = ReasonOf(file, savedErrno);
        file.cancelWriting();   // the destructor removes the temporary file
        return Outcome::failure(CannotSave(path, reason));
    };
    errno = 0;
    if (file.write(bytes) != bytes.size())
        return fail(errno);
    errno = 0;
    if (!file.flush())
        return fail(errno);
    // A file system may report a lost write only when it is synced.
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS)
        return fail(errno);
    errno = 0;
    if (!file.commit())
        return Outcome::failure(CannotSave(path, ReasonOf(file, errno)));
    return Outcome::success();
}

Outcome MoveFileIntoPlace(const QString &from, const QString &to)
{
    if (const Outcome target = CheckReplaceableTarget(to); !target)
        return target;
    // A link keeps pointing where it did; the file it points to is the one replaced.
    QString destination = to;
    if (const QFileInfo link(to); link.isSymLink() && !link.canonicalFilePath().isEmpty())
        destination = link.canonicalFilePath();   // through every link of a chain
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(destination).constData()) != 0)
        return Outcome::failure(CannotSave(to, SystemReason(errno)));
    return Outcome::success();
}

Result<QByteArray> ReadRegularFile(const QString &path, qsizetype limit)
{
    using Read = Result<QByteArray>;
    // Opened without blocking: a FIFO with no writer would otherwise hang the open.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Read::failure(SystemReason(errno));
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return Read::failure(S_ISDIR(status.st_mode) ? QStringLiteral("it is a directory")
                                                     : QStringLiteral("it is not a regular file"));
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Read::failure(file.errorString());
    }
    // One byte past the limit tells a file of exactly the limit from a larger one.
    QByteArray bytes = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError)
        return Read::failure(file.errorString());
    if (bytes.size() > limit)
        return Read::failure(QStringLiteral("it is too large (more than %1 KiB)").arg(limit / 1024));
    return Read::success(std::move(bytes));
}

QString EscapeControls(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u < 0xA0))
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
