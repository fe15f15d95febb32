#include "core/dice.h"
#include "core/platformfiles.h"
#include "generate/generators.h"
#include "core/safefiles.h"
#include "listing/outputformats.h"
#include "listing/rabblejson.h"
#include "listing/screenlisting.h"
#include "tests/support/scripteddice.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <iterator>
#include <utility>

using namespace throngkit;
using throngkit::test::NewSettings;
using throngkit::test::ReadFile;
using throngkit::test::WriteFile;

namespace {

// A rabble in tests/data/engine/listings as the program's JSON writes it (keys as
// listing/memberfields names them), with "howMany" where it is not the number of members; one
// with a "seed" is a rabble of "howMany" generated here with that seed from the small table.
GameSystem LoadRabble(const QString &path, Settings &s, QString &heading)
{
    const QJsonObject rabble = QJsonDocument::fromJson(ReadFile(path)).object();
    const GameSystem system = rabble[u"system"] == u"runequest"_qs ? GameSystem::RuneQuest : GameSystem::Traveller;
    heading = rabble[u"heading"].toString();
    const QJsonArray members = rabble[u"members"].toArray();
    s.HowMany = float(rabble[u"howMany"].toDouble(double(members.size())));
    for (const QJsonValue &member : members) {
        const QJsonObject fields = member.toObject();
        RabbleMember &m = s.Members[fields[u"number"].toInt()];
        const auto text = [&](auto &field, QStringView key) { field = fields[key].toString(field.toString()); };
        const auto number = [&](qint16 &field, QStringView key) { field = qint16(fields[key].toInt(field)); };
        text(m.Name, u"name"); text(m.Level, u"level"); text(m.Weapon, u"weapon"); text(m.Damage, u"damage");
        number(m.Attack, u"attack"); number(m.Parry, u"parry"); text(m.ParryWith, u"parryWith");
        number(m.Missile, u"missile"); text(m.MissileType, u"missileType"); text(m.StrikeRank, u"strikeRank");
        number(m.HitPoints, u"hitPoints"); number(m.Scan, u"scan"); number(m.Listen, u"listen");
        number(m.Armour, u"armour"); text(m.Code, u"code");
    }
    if (rabble.contains(u"seed")) {
        test::LoadSmallTable(s);
        Dice dice(quint64(rabble[u"seed"].toInteger()));
        EXPECT_TRUE(GenerateRabble(system, s, dice).ok());
    }
    return system;
}

// Every output of each rabble in tests/data/engine/listings against the copy of the same name,
// whose extension names the format (.rbl, .htm, .listing, .csv, .summary): column placement with
// values that overflow their columns, escaping in a page, characters outside Latin-1, headings
// with line breaks, an empty rabble, and two seeded rabbles of 1000 (whose members are held to
// the rules apart, in generators_test). A difference is a fault until shown otherwise.
TEST(ListingFiles, WholeOutputsMatchTheirCheckedCopies)
{
    const QDir data(test::TestDataDirectory() + u"engine/listings"_qs);
    QStringList inputs;
    for (const QFileInfo &golden : data.entryInfoList(QDir::Files, QDir::Name)) {
        if (golden.suffix() == u"json"_qs)
            continue;
        SCOPED_TRACE(golden.fileName().toStdString());
        auto s = NewSettings();
        QString heading;
        const GameSystem system = LoadRabble(data.filePath(golden.completeBaseName() + u".json"_qs), *s, heading);
        const OutputFormatInfo *format = FindOutputFormat(golden.suffix());
        ASSERT_NE(format, nullptr);
        const QByteArray made = ComposeOutput(format->format, {system, *s, heading});
        EXPECT_EQ(made.toStdString(), ReadFile(golden.filePath()).toStdString());   // shown as a diff of lines
        inputs << golden.completeBaseName() + u".json"_qs;
    }
    inputs.removeDuplicates();
    EXPECT_EQ(inputs, data.entryList({u"*.json"_qs}, QDir::Files, QDir::Name));   // each has its copies
    EXPECT_EQ(BuildListing(GameSystem::None, *NewSettings()), QString());
}

// JSON strings: the bytes 0x80 to 0x9F of a weapon table read as Windows-1252, and the control
// characters a terminal would act on escaped.
TEST(ListingFiles, JsonStringsShowWindowsTextAndEscapeControls)
{
    const struct { const char *name; QString text; QString json; } cases[] = {
        {"dashes and quotes of a Windows table", u"\u0093Axe\u0094 \u0096 \u0080"_qs, u"\"\u201CAxe\u201D \u2013 \u20AC\""_qs},
        {"a byte that Windows-1252 leaves undefined", u"a\u0081\u009Db"_qs, u"\"a\\u0081\\u009db\""_qs},
        {"C0 controls, DEL, quote and backslash", u"\u001B[1m\u007F\"\\\n"_qs, u"\"\\u001b[1m\\u007f\\\"\\\\\\n\""_qs},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QString json = u"["_qs;
        AppendJsonString(json, c.text);
        EXPECT_EQ(json, u'[' + c.json);
    }
}

// A save replaces the whole file through a link, keeping the link, and a name as long as the
// file system allows, however long the temporary name beside it would be; one that cannot be
// made (a regular file used as a directory stops even root; so does a missing directory; a
// chain of 41 links, one more than Linux follows, is taken for a loop and never replaced by a
// file, while its last 40 lead to the file; on Windows a device's name, in any folder, with any
// extension) leaves the old file as it was and nothing beside it.
TEST(ListingFiles, SaveReplacesWholeFileOrLeavesItUntouched)
{
#ifndef Q_OS_WIN
    struct sigaction signalsBefore {};
    ::sigaction(SIGTERM, nullptr, &signalsBefore);
#endif
    QTemporaryDir dir;
    auto settings = NewSettings();
    settings->HowMany = 0;
    const QByteArray old(5000, 'x');
    const QString target = WriteFile(dir, u"old.rbl"_qs, old);
    const RabbleOutput rabble{GameSystem::RuneQuest, *settings, u"H"_qs};
    ASSERT_TRUE(SaveOutput(OutputFormat::Rbl, rabble, target).ok());
    EXPECT_EQ(ReadFile(target), ComposeOutput(OutputFormat::Rbl, rabble));

    WriteFile(dir, u"old.rbl"_qs, old);
#ifdef Q_OS_WIN
    const QString noPath = test::NoSuchFolder(), device = u"it is not a regular file"_qs;
    const std::pair<QString, QString> refused[] = {{target + u"/x.rbl"_qs, noPath}, {dir.filePath(u"missing/x.htm"_qs), noPath},
        {dir.filePath(u"NUL"_qs), device}, {dir.filePath(u"con.htm"_qs), device}, {dir.filePath(u"Com1.x.rbl"_qs), device},
        {dir.filePath(u"lpt9 .txt"_qs), device}, {u"aux"_qs, device}};
#else
    const QString loop = dir.filePath(u"loop.rbl"_qs);
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"chain"_qs));
    const auto chain = [&](int i) { return i ? dir.filePath(u"chain/%1"_qs.arg(i)) : loop; };
    for (int i = 0; i <= 40; ++i)   // loop.rbl, chain/1 ... chain/40, old.rbl
        ASSERT_TRUE(QFile::link(i == 40 ? target : chain(i + 1), chain(i)));
    const std::pair<QString, QString> refused[] = {{target + u"/x.rbl"_qs, u"Not a directory"_qs},
        {dir.filePath(u"missing/x.htm"_qs), u"No such file or directory"_qs}, {loop, u"Too many levels of symbolic links"_qs}};
#endif
    for (const auto &[bad, why] : refused)
        EXPECT_EQ(SaveOutput(OutputFormat::Htm, rabble, bad).reason(), u"Cannot save \"%1\": %2"_qs.arg(QDir::toNativeSeparators(bad), why));
    EXPECT_EQ(ReadFile(target), old);
#ifndef Q_OS_WIN
    EXPECT_TRUE(QFileInfo(loop).isSymLink());
    // The file replaced is found by a walk of its own, which the links may change under: it too
    // stops where the system does.
    EXPECT_EQ(platform::FileReplacement().begin(loop).reason(), u"Too many levels of symbolic links"_qs);
    EXPECT_EQ(test::Entries(dir.path()), (QStringList{u"chain"_qs, u"loop.rbl"_qs, u"old.rbl"_qs}));
#endif

    for (const int length : {249, 255}) {
        SCOPED_TRACE(length);
        const QString longest = WriteFile(dir, QString(length, u'n'), old);
        const Outcome saved = SaveFileAtomically(longest, "new");
        EXPECT_TRUE(saved.ok()) << saved.reason().toStdString();
        EXPECT_EQ(ReadFile(longest), "new");
        QFile::remove(longest);
    }
#ifndef Q_OS_WIN
    // The temporary name of a 255-byte name is cut between whole characters; once the save is
    // over, the signals are handled as they were before it.
    {
        const QString accented = u"n"_qs + QString(127, u'\u00e9');
        platform::FileReplacement replacement;
        ASSERT_TRUE(replacement.begin(dir.filePath(accented), platform::FileReplacement::Writer::OpensByName).ok());
        EXPECT_EQ(QFileInfo(replacement.temporaryPath()).fileName().chopped(6), accented.first(124) + u'.');
    }
    struct sigaction after {};
    ::sigaction(SIGTERM, nullptr, &after);
    EXPECT_EQ(after.sa_handler, signalsBefore.sa_handler);
#endif

#ifdef Q_OS_WIN
    EXPECT_EQ(test::Entries(dir.path()), QStringList{u"old.rbl"_qs});
}

// A read-only file is refused and left as it was; a hidden one stays hidden once replaced.
TEST(ListingFiles, ASaveKeepsTheReplacedFilesAttributes)
{
    QTemporaryDir dir;
    const QString readOnly = WriteFile(dir, u"read-only"_qs, "old"), hidden = WriteFile(dir, u"hidden"_qs, "old");
    const auto name = [](const QString &path) { return reinterpret_cast<const wchar_t *>(path.utf16()); };
    ASSERT_TRUE(::SetFileAttributesW(name(readOnly), FILE_ATTRIBUTE_READONLY) && ::SetFileAttributesW(name(hidden), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(SaveFileAtomically(readOnly, "new").reason(), u"Cannot save \"%1\": %2"_qs.arg(QDir::toNativeSeparators(readOnly), test::SystemReason(ERROR_ACCESS_DENIED)));
    EXPECT_TRUE(SaveFileAtomically(hidden, "new").ok());
    EXPECT_EQ(ReadFile(readOnly) + ReadFile(hidden), "oldnew");
    EXPECT_EQ(::GetFileAttributesW(name(hidden)) & FILE_ATTRIBUTE_HIDDEN, DWORD(FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(test::Entries(dir.path()), (QStringList{u"hidden"_qs, u"read-only"_qs}));
    ::SetFileAttributesW(name(readOnly), FILE_ATTRIBUTE_NORMAL);
}
#else
    const QString link = dir.filePath(u"chain/1"_qs);
    ASSERT_TRUE(SaveFileAtomically(link, "new").ok());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadFile(target), "new");
    EXPECT_EQ(test::Entries(dir.path()), (QStringList{u"chain"_qs, u"loop.rbl"_qs, u"old.rbl"_qs}));
}

// A save keeps what the replaced file had that the user may set, as GNU sed -i does: its
// permissions with the set-group-id bit, its owner and group (only root may give a file to
// another), and its extended attributes. A file its user may not write is left alone; root
// may write it, and it stays read-only.
TEST(ListingFiles, ASaveKeepsTheReplacedFilesPermissionsOwnerAndAttributes)
{
    QTemporaryDir dir;
    const bool root = ::geteuid() == 0;
    const struct { const char *name; mode_t mode; uid_t owner; gid_t group; } cases[] = {
        {"group-readable", 0640, ::getuid(), ::getgid()},
        {"set-group-id", 02750, ::getuid(), ::getgid()},
        {"read-only", 0444, ::getuid(), ::getgid()},
        {"another's", 0604, 4321, 8765},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = WriteFile(dir, QString::fromLatin1(c.name), "old");
        const QByteArray name = QFile::encodeName(path);
        if (::chown(name.constData(), c.owner, c.group) != 0)
            continue;   // not root
        ASSERT_EQ(::chmod(name.constData(), c.mode), 0);
        const bool attributes = ::setxattr(name.constData(), "user.origin", "table", 5, 0) == 0
                                && ::setxattr(name.constData(), "user.maker", "referee", 7, 0) == 0;
        const bool writable = root || (c.mode & S_IWUSR);
        EXPECT_EQ(SaveFileAtomically(path, "new").reason(),
                  writable ? QString() : u"Cannot save \"%1\": Permission denied"_qs.arg(path));
        EXPECT_EQ(ReadFile(path), writable ? "new" : "old");
        struct stat status {};
        ASSERT_EQ(::stat(name.constData(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, c.mode);
        EXPECT_EQ(status.st_uid, c.owner);
        EXPECT_EQ(status.st_gid, c.group);
        for (const auto &[attribute, expected] : {std::pair{"user.origin", "table"}, {"user.maker", "referee"}}) {
            char value[8] = {};
            const auto length = attributes ? ::getxattr(name.constData(), attribute, value, sizeof value) : 0;
            EXPECT_TRUE(!attributes || QByteArray(value, int(length)) == expected) << attribute;
        }
    }
    EXPECT_EQ(test::Entries(dir.path()).size(), std::size(cases));   // no temporary file left
}
#endif

#ifdef Q_OS_LINUX

// A file system may report a lost write only when the file is synced: a save whose sync fails
// keeps the old file and says why, but a file system that cannot sync (EINVAL) or is read-only
// at sync time (EROFS) does not stop it. A signal that ends the program in the middle of a save
// (here as the new file is renamed over the old one) leaves the old file and no temporary file;
// one the program ignores ends nothing. A seccomp filter in a child fails the sync, or traps
// the call to raise the signal (and to say through errno that the file system cannot sync).
int g_raised = 0;

TEST(ListingFiles, AFailedOrInterruptedSaveKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString target = WriteFile(dir, u"keep.rbl"_qs, "OLD");
    const QString saved = u"saved"_qs, failed = u"Cannot save \"%1\": Input/output error"_qs.arg(target);
    // flags: only a call with all of these in its third argument is refused (the file opened
    // without a name, which some file systems cannot make: the save names one instead).
    const struct { const char *name; long call; int error; int signal; bool ignored; std::optional<QString> said; QByteArray left; std::uint32_t flags = 0; } cases[] = {
        {"EIO", __NR_fsync, EIO, 0, false, failed, "OLD"},
        {"EINVAL", __NR_fsync, EINVAL, 0, false, saved, "NEW"},
        {"EROFS", __NR_fsync, EROFS, 0, false, saved, "NEW"},
        {"SIGINT", __NR_rename, 0, SIGINT, false, std::nullopt, "OLD"},
        {"SIGTERM", __NR_rename, 0, SIGTERM, false, std::nullopt, "OLD"},
        {"SIGHUP", __NR_rename, 0, SIGHUP, false, std::nullopt, "OLD"},
        {"SIGINT ignored", __NR_fsync, 0, SIGINT, true, saved, "NEW"},
        {"no O_TMPFILE", __NR_openat, EOPNOTSUPP, 0, false, saved, "NEW", O_TMPFILE},
        {"SIGTERM while writing", __NR_write, 0, SIGTERM, false, std::nullopt, "OLD"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const auto said = test::InChildProcess([&c, &target] {
            g_raised = c.signal;
            std::signal(SIGSYS, [](int) { std::raise(g_raised); errno = EINVAL; });
            if (c.ignored)
                std::signal(c.signal, SIG_IGN);
            const auto action = c.signal ? SECCOMP_RET_TRAP : SECCOMP_RET_ERRNO | (c.error & SECCOMP_RET_DATA);
            sock_filter filter[] = {
                BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
                BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, std::uint32_t(c.call), 0, 4),
                BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[2])),
                BPF_STMT(BPF_ALU | BPF_AND | BPF_K, c.flags),
                BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, c.flags, 0, 1),
                BPF_STMT(BPF_RET | BPF_K, action),
                BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
            };
            const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
            if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
                return u"no seccomp"_qs;
            const Outcome outcome = SaveFileAtomically(target, "NEW");
            return outcome.ok() ? u"saved"_qs : outcome.reason();
        });
        EXPECT_EQ(said, c.said);
        EXPECT_EQ(ReadFile(target), c.left);
        EXPECT_EQ(test::Entries(dir.path()), QStringList{u"keep.rbl"_qs});
        WriteFile(dir, u"keep.rbl"_qs, "OLD");
    }
}

// A tmpfs of 64 KiB, unmounted however the test ends.
struct TinyDisk
{
    explicit TinyDisk(const QString &where) : path(QFile::encodeName(where))
    {
        mounted = ::mount("tmpfs", path.constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~TinyDisk() { if (mounted) ::umount2(path.constData(), MNT_DETACH); }
    QByteArray path;
    bool mounted = false;
};

TEST(ListingFiles, AFullOrReadOnlyDiskKeepsTheOldFileAndSaysWhy)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    QTemporaryDir dir;
    const TinyDisk disk(dir.path());
    if (!disk.mounted)
        GTEST_SKIP() << "this system refuses to mount a tmpfs here (no CAP_SYS_ADMIN?)";
    const QString target = WriteFile(dir, u"keep.htm"_qs, "OLD\n");
    WriteFile(dir, u"filler"_qs, QByteArray(57000, '\0'));
    auto settings = NewSettings();
    for (OutputFormat format : {OutputFormat::Htm, OutputFormat::Rbl}) {
        settings->HowMany = format == OutputFormat::Htm ? 10 : 1000;
        const Outcome saved = SaveOutput(format, {GameSystem::RuneQuest, *settings, u"H"_qs}, target);
        EXPECT_EQ(saved.reason(), u"Cannot save \"%1\": No space left on device"_qs.arg(target));
        EXPECT_EQ(ReadFile(target), "OLD\n");
        EXPECT_EQ(test::Entries(dir.path()), (QStringList{u"filler"_qs, u"keep.htm"_qs}));
    }
    // Read-only now: the existing file says why it may not be written, a new one too.
    ASSERT_EQ(::mount(nullptr, disk.path.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    EXPECT_EQ(SaveFileAtomically(target, "NEW").reason(),
              u"Cannot save \"%1\": Read-only file system"_qs.arg(target));
    EXPECT_EQ(SaveFileAtomically(dir.filePath(u"new.htm"_qs), "NEW").reason(),
              u"Cannot save \"%1\": Read-only file system"_qs.arg(dir.filePath(u"new.htm"_qs)));
    EXPECT_EQ(ReadFile(target), "OLD\n");
}
#endif

} // namespace
