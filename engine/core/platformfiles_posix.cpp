// The file primitives on Linux and the other POSIX systems.
#include "core/platformfiles.h"

#include "core/inienv.h"
#include "core/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <mutex>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace throngkit::platform {
namespace {

QString Reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

PathKind KindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return PathKind::RegularFile;
    return S_ISDIR(mode) ? PathKind::Directory : PathKind::Other;
}

// ---- A temporary file is removed before a signal ends the program.
//
// The handler may run in any thread, at any moment: it reads only fixed buffers published by
// lock-free flags, and calls only unlink, signal and raise, which are safe in a handler.

// The signals whose default is to end the program and that a program can catch.
constexpr std::array EndingSignals = {SIGHUP,  SIGINT,  SIGQUIT, SIGTERM, SIGPIPE,   SIGALRM,
                                      SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF};

struct PendingSlot
{
    std::atomic<bool> taken{false};
    std::atomic<bool> armed{false};   // the file is there and path names it
    char path[PATH_MAX] = {};
};
// A save and a printout to a file may be under way at once; more is refused, not unguarded.
std::array<PendingSlot, 4> g_pending;
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void RemovePendingFilesAndEnd(int signal)
{
    for (PendingSlot &slot : g_pending) {
        if (slot.armed.load())
            ::unlink(slot.path);
    }
    // Then the program ends as the signal ends it by default: it is blocked while this runs, so
    // it is taken again, with its default action, as soon as the handler returns.
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// The handler is installed while any temporary file exists, and only for signals left at their
// default: one that the program ignores or handles itself is its own business.
std::mutex g_handlerLock;
int g_guarded = 0;
std::array<bool, EndingSignals.size()> g_installed{};

void GuardSignals()
{
    const std::lock_guard lock(g_handlerLock);
    if (g_guarded++ > 0)
        return;
    struct sigaction action {};
    action.sa_handler = RemovePendingFilesAndEnd;
    sigemptyset(&action.sa_mask);
    for (const int signal : EndingSignals)
        sigaddset(&action.sa_mask, signal);
    for (std::size_t i = 0; i < EndingSignals.size(); ++i) {
        struct sigaction previous {};
        g_installed[i] = ::sigaction(EndingSignals[i], nullptr, &previous) == 0
                         && !(previous.sa_flags & SA_SIGINFO) && previous.sa_handler == SIG_DFL
                         && ::sigaction(EndingSignals[i], &action, nullptr) == 0;
    }
}

void UnguardSignals()
{
    const std::lock_guard lock(g_handlerLock);
    if (--g_guarded > 0)
        return;
    for (std::size_t i = 0; i < EndingSignals.size(); ++i) {
        if (g_installed[i])
            ::signal(EndingSignals[i], SIG_DFL);
    }
}

// The file that path names at the end of its chain of symbolic links (it need not exist), or
// the system's reason: a chain longer than the system follows is a loop.
Result<QByteArray> FinalName(QByteArray path)
{
    constexpr int MostLinks = 40;   // as Linux follows
    for (int links = 0; links <= MostLinks; ++links) {
        struct stat status {};
        if (::lstat(path.constData(), &status) != 0)
            return errno == ENOENT ? Result<QByteArray>::success(path) : Result<QByteArray>::failure(Reason(errno));
        if (!S_ISLNK(status.st_mode))
            return Result<QByteArray>::success(path);
        QByteArray target(PATH_MAX, '\0');
        const ssize_t size = ::readlink(path.constData(), target.data(), target.size());
        if (size < 0)
            return Result<QByteArray>::failure(Reason(errno));
        target.truncate(size);
        path = target.startsWith('/') ? target : path.left(path.lastIndexOf('/') + 1) + target;
    }
    return Result<QByteArray>::failure(Reason(ELOOP));
}

// name with a random ending of 7 bytes, its last part cut so that it still fits the folder's
// limit on a name's length (a name of 255 bytes can be replaced as well as a short one).
QByteArray TemporaryName(const QByteArray &name)
{
    const qsizetype slash = name.lastIndexOf('/');
    const QByteArray folder = name.left(slash + 1);
    long longest = ::pathconf(folder.isEmpty() ? "." : folder.constData(), _PC_NAME_MAX);
    if (longest <= 0)
        longest = NAME_MAX;
    constexpr char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray ending = ".XXXXXX";
    for (qsizetype i = 1; i < ending.size(); ++i)
        ending[i] = Letters[QRandomGenerator::global()->bounded(int(sizeof Letters - 1))];
    const qsizetype base = name.size() - folder.size();
    qsizetype kept = std::min(base, qsizetype(longest) - ending.size());
    // Not in the middle of a character (its UTF-8 continuation bytes are 10xxxxxx).
    while (kept > 0 && kept < base && (uchar(name[folder.size() + kept]) & 0xC0) == 0x80)
        --kept;
    return folder + name.mid(folder.size(), kept) + ending;
}

// The old file's owner, group, extended attributes and permissions (set-group-id included)
// on the new one, each as far as the user may set it, as GNU sed -i does: the owner and group
// first, since changing them clears the set-group-id bit.
void TakeOver(int fd, const QByteArray &old, const struct stat &status)
{
    if (::fchown(fd, status.st_uid, status.st_gid) != 0) {
        [[maybe_unused]] const int groupOnly = ::fchown(fd, uid_t(-1), status.st_gid);
    }
    const ssize_t listed = ::llistxattr(old.constData(), nullptr, 0);
    QByteArray names(std::max<ssize_t>(listed, 0), '\0');
    const ssize_t size = listed > 0 ? ::llistxattr(old.constData(), names.data(), names.size()) : 0;
    for (qsizetype at = 0; at < size; at += qsizetype(std::strlen(names.constData() + at)) + 1) {
        const char *attribute = names.constData() + at;
        const ssize_t length = ::lgetxattr(old.constData(), attribute, nullptr, 0);
        QByteArray value(std::max<ssize_t>(length, 0), '\0');
        if (length >= 0 && ::lgetxattr(old.constData(), attribute, value.data(), value.size()) == length)
            ::fsetxattr(fd, attribute, value.constData(), value.size(), 0);
    }
    ::fchmod(fd, status.st_mode & 07777);
}

} // namespace

Result<PathKind> KindOfPath(const QString &path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) == 0)
        return Result<PathKind>::success(KindOf(status.st_mode));
    if (errno == ENOENT)
        return Result<PathKind>::success(PathKind::Missing);
    return Result<PathKind>::failure(Reason(errno));
}

Result<FileStart> ReadFileStart(const QString &path, qsizetype maxBytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Result<FileStart>::failure(Reason(errno));
    FileStart start;
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        return Result<FileStart>::failure(Reason(error));
    }
    start.kind = KindOf(status.st_mode);
    while (start.kind == PathKind::RegularFile && start.bytes.size() < maxBytes) {
        char buffer[64 * 1024];
        const ssize_t n = ::read(fd, buffer, std::size_t(std::min<qsizetype>(sizeof buffer, maxBytes - start.bytes.size())));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            return Result<FileStart>::failure(Reason(error));
        }
        if (n == 0)
            break;
        start.bytes.append(buffer, n);
    }
    ::close(fd);
    return Result<FileStart>::success(std::move(start));
}

struct FileReplacement::Private
{
    QByteArray destination;   // the file replaced, at the end of any links
    QByteArray temporary;
    int fd = -1;
    PendingSlot *slot = nullptr;

    // Removes the new file (unless it has become the destination) and lets go of it.
    void end(bool remove)
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
        if (remove && !temporary.isEmpty())
            ::unlink(temporary.constData());
        temporary.clear();
        if (slot) {
            slot->armed.store(false);
            slot->taken.store(false);
            slot = nullptr;
            UnguardSignals();
        }
    }

    Outcome fail(int error)
    {
        end(true);
        return Outcome::failure(Reason(error));
    }

    // Gives the new file a name beside the destination: a fresh file made under it, or, when
    // the file is open without a name (it is whole and synced then), a link to it.
    Outcome name()
    {
        const QByteArray unnamed = fd >= 0 ? "/proc/self/fd/" + QByteArray::number(fd) : QByteArray();
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QByteArray candidate = TemporaryName(destination);
            if (candidate.size() >= PATH_MAX)
                return fail(ENAMETOOLONG);
            std::memcpy(slot->path, candidate.constData(), std::size_t(candidate.size()) + 1);
            bool made = false;
            if (!unnamed.isEmpty()) {
                made = ::linkat(AT_FDCWD, unnamed.constData(), AT_FDCWD, candidate.constData(),
                                AT_SYMLINK_FOLLOW) == 0;
            } else {
                // Made with the usual permissions (0666 less the umask); an old file's come later.
                fd = ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
                made = fd >= 0;
            }
            if (made) {
                slot->armed.store(true);
                temporary = candidate;
                return Outcome::success();
            }
            if (errno != EEXIST)
                return fail(errno);
        }
        return fail(EEXIST);
    }
};

FileReplacement::FileReplacement() : d(std::make_unique<Private>()) {}

FileReplacement::~FileReplacement()
{
    d->end(true);
}

Outcome FileReplacement::begin(const QString &target, Writer writer)
{
    d->end(true);
    const Result<QByteArray> final = FinalName(QFile::encodeName(target));
    if (!final)
        return Outcome::failure(final.reason());
    d->destination = final.value();
    struct stat old {};
    const bool replacing = ::stat(d->destination.constData(), &old) == 0;
    // A file the user may not write stays as it is, although its folder would let it be replaced.
    if (replacing && ::access(d->destination.constData(), W_OK) != 0)
        return Outcome::failure(Reason(errno));

    for (PendingSlot &slot : g_pending) {
        bool free = false;
        if (slot.taken.compare_exchange_strong(free, true)) {
            d->slot = &slot;
            break;
        }
    }
    if (!d->slot)
        return Outcome::failure(Reason(EBUSY));
    GuardSignals();
    // Where the system can, the new file has no name until it is whole and synced: a kill
    // before then leaves nothing behind, and a file system journals no folder entry that a
    // rename would replace at once.
    if (writer == Writer::ThisObject && ::access("/proc/self/fd", X_OK) == 0) {
        const qsizetype slash = d->destination.lastIndexOf('/');
        const QByteArray folder = slash < 0 ? QByteArray(".") : d->destination.left(slash + 1);
        d->fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);   // less the umask
    }
    if (d->fd < 0) {
        if (const Outcome named = d->name(); !named)
            return named;
    }
    if (replacing)
        TakeOver(d->fd, d->destination, old);
    return Outcome::success();
}

QString FileReplacement::temporaryPath() const
{
    return QFile::decodeName(d->temporary);
}

Outcome FileReplacement::write(QByteArrayView bytes)
{
    if (d->fd < 0)
        return Outcome::failure(Reason(EBADF));
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(d->fd, bytes.data() + sent, std::size_t(bytes.size() - sent));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return d->fail(errno);
        sent += n;
    }
    return Outcome::success();
}

Outcome FileReplacement::commit()
{
    if (d->fd < 0)
        return Outcome::failure(Reason(EBADF));
    // A file system may report a lost write only when the file is synced; one that cannot sync
    // (EINVAL) or is read-only at that moment (EROFS) has nothing more to report.
    if (::fsync(d->fd) != 0 && errno != EINVAL && errno != EROFS)
        return d->fail(errno);
    if (d->temporary.isEmpty()) {
        if (const Outcome named = d->name(); !named)
            return named;
    }
    const int fd = std::exchange(d->fd, -1);
    if (::close(fd) != 0 && errno != EINTR)
        return d->fail(errno);
    if (::rename(d->temporary.constData(), d->destination.constData()) != 0)
        return d->fail(errno);
    d->end(false);
    return Outcome::success();
}

IniFolders IniFoldersOf(const QStringList &environment)
{
    IniFolders folders;
    folders.noFolder = QStringLiteral("WINDIR and XDG_CONFIG_HOME are not set, and HOME is unset, "
                                      "relative or the file-system root");
    const QString windows = GetEnvValue(environment, QStringLiteral("WINDIR"));
    const QString config = GetEnvValue(environment, QStringLiteral("XDG_CONFIG_HOME"));
    const QString home = GetEnvValue(environment, QStringLiteral("HOME"));
    if (!windows.isEmpty())
        folders.writeTo = AddBackslash(windows);
    // No Windows directory here: the user's configuration directory takes its place.
    else if (!config.isEmpty() && QDir::isAbsolutePath(config))
        folders.writeTo = AddBackslash(config);
    // With no home at all there is no INI: the file-system root is nobody's configuration.
    else if (!home.isEmpty() && QDir::isAbsolutePath(home) && QDir::cleanPath(home) != QDir::rootPath())
        folders.writeTo = AddBackslash(home) + QStringLiteral(".config/");
    if (!folders.writeTo.isEmpty())
        folders.readFrom = QStringList{folders.writeTo};
    return folders;
}

QString ProgramDirectory()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

bool HasDesktop()
{
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!qEnvironmentVariableIsEmpty(name))
            return true;
    }
    return false;
}

void UseBinaryMode(std::FILE *) {}

} // namespace throngkit::platform
