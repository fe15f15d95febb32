// The file primitives on Windows.
#include "core/platformfiles.h"

#include "core/inienv.h"
#include "core/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <string>
#include <utility>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace throngkit::platform {
namespace {

// The system's words for an error, without their closing full stop: a message goes on after them.
QString Reason(DWORD error)
{
    wchar_t *text = nullptr;
    const DWORD size = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                            | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    QString reason = size > 0 ? QString::fromWCharArray(text, int(size)).trimmed()
                              : QStringLiteral("system error %1").arg(error);
    ::LocalFree(text);
    if (reason.endsWith(u'.'))
        reason.chop(1);
    return reason;
}

// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 (CONIN$ and CONOUT$ too) name devices in
// every folder, whatever extension follows: "NUL.txt" is NUL, and so is "nul .rbl".
bool IsDeviceName(const QString &path)
{
    const qsizetype start = std::max({path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'), path.lastIndexOf(u':')}) + 1;
    QString name = path.mid(start);
    name.truncate(name.indexOf(u'.') < 0 ? name.size() : name.indexOf(u'.'));
    while (name.endsWith(u' '))
        name.chop(1);
    name = name.toUpper();
    for (const char16_t *device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"}) {
        if (name == QStringView(device))
            return true;
    }
    return name.size() == 4 && (name.startsWith(u"COM") || name.startsWith(u"LPT"))
           && QStringView(u"123456789\u00B9\u00B2\u00B3").contains(name[3]);
}

// path as the system's calls take it: whole, with "\" between its parts, and past the old limit
// of MAX_PATH characters marked with "\\?\", which lifts it.
std::wstring SystemPath(const QString &path)
{
    QString whole = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (whole.size() >= MAX_PATH - 12) {
        whole = whole.startsWith(QStringLiteral("\\\\")) ? QStringLiteral("\\\\?\\UNC\\") + whole.mid(2)
                                                           : QStringLiteral("\\\\?\\") + whole;
    }
    return whole.toStdWString();
}

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// An open handle that closes itself.
struct Handle
{
    HANDLE h = INVALID_HANDLE_VALUE;
    explicit Handle(HANDLE handle) : h(handle) {}
    ~Handle() { if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h); }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    bool open() const { return h != INVALID_HANDLE_VALUE; }
};

PathKind KindOf(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION information{};
    if (::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileInformationByHandle(handle, &information))
        return PathKind::Other;   // a console, a printer port, a pipe
    return (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Directory
                                                                      : PathKind::RegularFile;
}

// ---- A temporary file is removed when Ctrl-C, Ctrl-Break or a closed console ends the program.
//
// The handler runs in a thread of its own while the save goes on: it reads only fixed buffers
// published by lock-free flags. The new file is open to deletion while it is being written; it
// goes when the program has ended.

struct PendingSlot
{
    std::atomic<bool> taken{false};
    std::atomic<bool> armed{false};   // the file is there and path names it
    std::array<wchar_t, 32768> path{};
};
std::array<PendingSlot, 4> g_pending;
static_assert(std::atomic<bool>::is_always_lock_free);

BOOL WINAPI RemovePendingFiles(DWORD)
{
    for (PendingSlot &slot : g_pending) {
        if (slot.armed.load())
            ::DeleteFileW(slot.path.data());
    }
    return FALSE;   // and the program ends as it would have
}

// name with a random ending of 7 characters, its last part cut so that it still fits the 255
// characters a name may have on NTFS, FAT and exFAT alike.
std::wstring TemporaryName(const std::wstring &name)
{
    constexpr std::size_t Longest = 255;
    constexpr wchar_t Letters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::wstring ending = L".XXXXXX";
    for (std::size_t i = 1; i < ending.size(); ++i)
        ending[i] = Letters[QRandomGenerator::global()->bounded(int(std::size(Letters) - 1))];
    const std::size_t folder = name.find_last_of(L'\\') + 1;
    std::size_t kept = std::min(name.size() - folder, Longest - ending.size());
    // Not between the two halves of a character outside the Basic Multilingual Plane.
    if (kept > 0 && folder + kept < name.size() && IS_LOW_SURROGATE(name[folder + kept]))
        --kept;
    return name.substr(0, folder + kept) + ending;
}

} // namespace

Result<PathKind> KindOfPath(const QString &path)
{
    if (IsDeviceName(path))
        return Result<PathKind>::success(PathKind::Other);
    // No access asked for: only what the file is, even when another program holds it open.
    const Handle file(::CreateFileW(SystemPath(path).c_str(), 0, ShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (file.open())
        return Result<PathKind>::success(KindOf(file.h));
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return Result<PathKind>::success(PathKind::Missing);
    return Result<PathKind>::failure(Reason(error));
}

Result<FileStart> ReadFileStart(const QString &path, qsizetype maxBytes)
{
    FileStart start;
    // A device is never opened: reading the console would wait for the user.
    if (IsDeviceName(path)) {
        start.kind = PathKind::Other;
        return Result<FileStart>::success(std::move(start));
    }
    const Handle file(::CreateFileW(SystemPath(path).c_str(), GENERIC_READ, ShareAll, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.open())
        return Result<FileStart>::failure(Reason(::GetLastError()));
    start.kind = KindOf(file.h);
    while (start.kind == PathKind::RegularFile && start.bytes.size() < maxBytes) {
        char buffer[64 * 1024];
        DWORD got = 0;
        if (!::ReadFile(file.h, buffer, DWORD(std::min<qsizetype>(sizeof buffer, maxBytes - start.bytes.size())),
                        &got, nullptr))
            return Result<FileStart>::failure(Reason(::GetLastError()));
        if (got == 0)
            break;
        start.bytes.append(buffer, got);
    }
    return Result<FileStart>::success(std::move(start));
}

struct FileReplacement::Private
{
    std::wstring destination;   // the file replaced, at the end of any links
    std::wstring temporary;
    bool replacing = false;
    DWORD attributes = 0;       // the old file's that a user sets (hidden, system, archive)
    HANDLE file = INVALID_HANDLE_VALUE;
    PendingSlot *slot = nullptr;

    // Removes the new file (unless it has become the destination) and lets go of it.
    void end(bool remove)
    {
        if (file != INVALID_HANDLE_VALUE)
            ::CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
        if (remove && !temporary.empty())
            ::DeleteFileW(temporary.c_str());
        temporary.clear();
        if (slot) {
            slot->armed.store(false);
            slot->taken.store(false);
            slot = nullptr;
        }
    }

    Outcome fail(DWORD error)
    {
        end(true);
        return Outcome::failure(Reason(error));
    }
};

FileReplacement::FileReplacement() : d(std::make_unique<Private>()) {}

FileReplacement::~FileReplacement()
{
    d->end(true);
}

Outcome FileReplacement::begin(const QString &target, Writer)
{
    d->end(true);
    // "NUL.rbl.Ab12Cd" would be the device too: nothing is made beside a device's name.
    if (IsDeviceName(target))
        return Outcome::failure(Reason(ERROR_INVALID_NAME));
    d->destination = SystemPath(target);
    d->replacing = false;
    {
        const Handle old(::CreateFileW(d->destination.c_str(), 0, ShareAll, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (old.open()) {
            // The file at the end of any links is replaced; the links stay.
            std::array<wchar_t, 32768> final{};
            const DWORD size = ::GetFinalPathNameByHandleW(old.h, final.data(), DWORD(final.size()),
                                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
            if (size > 0 && size < final.size())
                d->destination.assign(final.data(), size);
            BY_HANDLE_FILE_INFORMATION information{};
            // A read-only file stays as it is, although its folder would let it be replaced.
            if (::GetFileInformationByHandle(old.h, &information)
                && (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY))
                return Outcome::failure(Reason(ERROR_ACCESS_DENIED));
            d->replacing = true;
            d->attributes = information.dwFileAttributes
                            & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE
                               | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        }
    }

    for (PendingSlot &slot : g_pending) {
        bool free = false;
        if (slot.taken.compare_exchange_strong(free, true)) {
            d->slot = &slot;
            break;
        }
    }
    if (!d->slot)
        return Outcome::failure(Reason(ERROR_BUSY));
    static std::once_flag handlerAdded;
    std::call_once(handlerAdded, [] { ::SetConsoleCtrlHandler(RemovePendingFiles, TRUE); });
    for (int attempt = 0; attempt < 100 && d->file == INVALID_HANDLE_VALUE; ++attempt) {
        const std::wstring name = TemporaryName(d->destination);
        if (name.size() >= d->slot->path.size())
            return d->fail(ERROR_FILENAME_EXCED_RANGE);
        std::copy(name.c_str(), name.c_str() + name.size() + 1, d->slot->path.begin());
        // Made with the folder's permissions (ReplaceFileW gives it the old file's), and open to
        // a writer that opens it by name.
        d->file = ::CreateFileW(name.c_str(), GENERIC_WRITE, ShareAll, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
        if (d->file != INVALID_HANDLE_VALUE) {
            d->slot->armed.store(true);
            d->temporary = name;
        } else if (const DWORD error = ::GetLastError(); error != ERROR_FILE_EXISTS) {
            return d->fail(error);
        }
    }
    if (d->file == INVALID_HANDLE_VALUE)
        return d->fail(ERROR_FILE_EXISTS);
    return Outcome::success();
}

QString FileReplacement::temporaryPath() const
{
    return QString::fromStdWString(d->temporary);
}

Outcome FileReplacement::write(QByteArrayView bytes)
{
    if (d->file == INVALID_HANDLE_VALUE)
        return Outcome::failure(Reason(ERROR_INVALID_HANDLE));
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = DWORD(std::min<qsizetype>(bytes.size() - sent, 1 << 30));
        if (!::WriteFile(d->file, bytes.data() + sent, chunk, &written, nullptr))
            return d->fail(::GetLastError());
        sent += written;
    }
    return Outcome::success();
}

Outcome FileReplacement::commit()
{
    if (d->file == INVALID_HANDLE_VALUE)
        return Outcome::failure(Reason(ERROR_INVALID_HANDLE));
    // On disk before it takes the old file's place, so that a crash leaves one or the other.
    if (!::FlushFileBuffers(d->file))
        return d->fail(::GetLastError());
    ::CloseHandle(std::exchange(d->file, INVALID_HANDLE_VALUE));
    // ReplaceFileW gives the new file the old one's permissions and creation time, and should
    // give it its attributes too, which not every implementation does (Wine's does not). Should
    // it fail after the old file is gone (ERROR_UNABLE_TO_MOVE_REPLACEMENT), the new file, whole
    // and on disk, is moved in by name.
    if (d->attributes)
        ::SetFileAttributesW(d->temporary.c_str(), d->attributes);
    bool replaced = d->replacing
                    && ::ReplaceFileW(d->destination.c_str(), d->temporary.c_str(), nullptr,
                                      REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    DWORD error = replaced ? ERROR_SUCCESS : ::GetLastError();
    if (!replaced && (!d->replacing || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_FILE_NOT_FOUND)) {
        replaced = ::MoveFileExW(d->temporary.c_str(), d->destination.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        error = replaced ? ERROR_SUCCESS : ::GetLastError();
    }
    if (!replaced)
        return d->fail(error);
    d->end(false);
    return Outcome::success();
}

IniFolders IniFoldersOf(const QStringList &environment)
{
    IniFolders folders;
    folders.noFolder = QStringLiteral("APPDATA is not set to a full path");
    const QString appData = QDir::toNativeSeparators(GetEnvValue(environment, QStringLiteral("APPDATA")));
    if (!appData.isEmpty() && QDir::isAbsolutePath(appData)) {
        folders.writeTo = AddBackslash(AddBackslash(appData) + QStringLiteral("Throngkit"));
        folders.readFrom << folders.writeTo;
    }
    // Where the INI used to be: an old one still serves, but a user may not write there.
    const QString windows = QDir::toNativeSeparators(GetEnvValue(environment, QStringLiteral("WINDIR")));
    if (!windows.isEmpty())
        folders.readFrom << AddBackslash(windows);
    return folders;
}

QString ProgramDirectory()
{
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = ::GetModuleFileNameW(nullptr, name.data(), DWORD(name.size()));
        if (size == 0)
            return {};
        if (size < name.size())
            return QFileInfo(QString::fromWCharArray(name.data(), int(size))).absolutePath();
        name.resize(name.size() * 2);
    }
}

bool HasDesktop()
{
    return true;
}

void UseBinaryMode(std::FILE *stream)
{
    ::_setmode(::_fileno(stream), _O_BINARY);
}

} // namespace throngkit::platform
