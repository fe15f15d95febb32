#include "core/dice.h"
#include "generate/generators.h"
#include "listing/csvwriter.h"
#include "listing/listingfiles.h"
#include "listing/screenlisting.h"
#include "listing/summary.h"
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

#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
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

// Every output of each rabble in tests/data/engine/listings against the copy of the same name:
// .rbl, .htm, .listing (on screen), .csv, .summary. Each copy was written by this code when it
// passed the detailed checks it replaces. The two pages matched, byte for byte, pages spelled out
// by hand from the page layout. The .rbl and screen listings matched, line by line, each member's
// line placed item by item at its columns (a missile of 100 or a Listen of 100 pushing the rest
// to a new line, HP 105 meeting the armour, a blank missile letter hiding the value, hash forms
// of 0). The summaries passed checks of every count, share, low, median, high and mean, and of
// lines within 80 columns. The CSV rows were spelled out whole: only right padding goes, and a
// cell with a comma, quote or line break is quoted. The texts rabbles: outside Latin-1 a file
// shows "?" or &#N;, markup is escaped in a page, a heading's line breaks are one blank each;
// the clef takes two of the weapon's ten units but is one character, one "?", and the damage
// still starts in its column. The two seeded rabbles of 1000 passed the rule checks of the
// seeded tests they replace (ranges by level, hit points, modifiers, strike ranks, damage bonus,
// Scan and Listen caps, missile of at least 15, recon floor) and a separate recomputation, from
// each member's characteristic code and weapon, of its strike ranks, damage with bonus, hit
// points and parry against attack; their summaries equal the counts, shares, lows, medians,
// highs and means recomputed from those CSV copies by a separate script. An empty rabble is its headings alone. In a rabble of 1000 the
// number 1000 fills its field and meets the next, and members never generated are written as
// blank text and zeros (never NUL), as every record starts. A difference is a fault until shown
// otherwise.
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
        const QString format = golden.suffix();
        const QByteArray made = format == u"rbl"_qs ? ComposeListingFile(system, FileFormat::Rbl, *s, heading)
                                : format == u"htm"_qs ? ComposeListingFile(system, FileFormat::Htm, *s, heading)
                                : format == u"csv"_qs ? ComposeCsv(system, *s)
                                : format == u"summary"_qs ? BuildSummary(system, *s).toUtf8()
                                                         : BuildListing(system, *s).toUtf8();
        EXPECT_EQ(made.toStdString(), ReadFile(golden.filePath()).toStdString());   // shown as a diff of lines
        inputs << golden.completeBaseName() + u".json"_qs;
    }
    inputs.removeDuplicates();
    EXPECT_EQ(inputs, data.entryList({u"*.json"_qs}, QDir::Files, QDir::Name));   // each has its copies
    EXPECT_EQ(BuildListing(GameSystem::None, *NewSettings()), QString());
}

// A save replaces the whole file through a link, keeping the link; one that cannot be made (a
// regular file used as a directory stops even root; so does a missing directory) leaves the old
// file as it was and nothing beside it.
TEST(ListingFiles, SaveReplacesWholeFileOrLeavesItUntouched)
{
    QTemporaryDir dir;
    auto settings = NewSettings();
    settings->HowMany = 0;
    const QByteArray old(5000, 'x');
    const QString target = WriteFile(dir, u"old.rbl"_qs, old);
    ASSERT_TRUE(WriteRQRblFile(*settings, u"H"_qs, target).ok());
    EXPECT_EQ(ReadFile(target), ComposeRQRbl(*settings, u"H"_qs));

    WriteFile(dir, u"old.rbl"_qs, old);
    for (const auto &[bad, why] : {std::pair{target + u"/x.rbl"_qs, u"Not a directory"_qs},
                                   std::pair{dir.filePath(u"missing/x.htm"_qs), u"No such file or directory"_qs}})
        EXPECT_EQ(WriteTravellerHtmFile(*settings, u"H"_qs, bad).reason(), u"Cannot save \"%1\": %2"_qs.arg(bad, why));
    EXPECT_EQ(ReadFile(target), old);
    EXPECT_EQ(test::Entries(dir.path()), QStringList{u"old.rbl"_qs});

    const QString link = dir.filePath(u"link.rbl"_qs);
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_TRUE(SaveFileAtomically(link, "new").ok());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadFile(target), "new");
}

// A file system may report a lost write only when the file is synced: a save whose sync fails
// keeps the old file and says why, but a file system that cannot sync (EINVAL) or is read-only
// at sync time (EROFS) does not stop it. The failing sync is made by a seccomp filter in a child.
TEST(ListingFiles, AFailedSyncKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString target = WriteFile(dir, u"keep.rbl"_qs, "OLD");
    for (const auto &[error, saved] : {std::pair{EIO, false}, std::pair{EINVAL, true}, std::pair{EROFS, true}}) {
        SCOPED_TRACE(error);
        const auto reason = test::InChildProcess([error = error, &target] {
            sock_filter filter[] = {
                BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
                BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fsync, 0, 1),
                BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (error & SECCOMP_RET_DATA)),
                BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
            };
            const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
            if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
                return u"no seccomp"_qs;
            const Outcome outcome = SaveFileAtomically(target, "NEW");
            return outcome.ok() ? u"saved"_qs : outcome.reason();
        });
        ASSERT_TRUE(reason.has_value());
        EXPECT_EQ(*reason, saved ? u"saved"_qs : u"Cannot save \"%1\": Input/output error"_qs.arg(target));
        EXPECT_EQ(ReadFile(target), saved ? "NEW" : "OLD");
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
    for (FileFormat format : {FileFormat::Htm, FileFormat::Rbl}) {
        settings->HowMany = format == FileFormat::Htm ? 10 : 1000;
        const Outcome saved = SaveFileAtomically(
            target, ComposeListingFile(GameSystem::RuneQuest, format, *settings, u"H"_qs));
        EXPECT_EQ(saved.reason(), u"Cannot save \"%1\": No space left on device"_qs.arg(target));
        EXPECT_EQ(ReadFile(target), "OLD\n");
        EXPECT_EQ(test::Entries(dir.path()), (QStringList{u"filler"_qs, u"keep.htm"_qs}));
    }
    // Read-only now: the existing file says why it may not be written, a new one too.
    ASSERT_EQ(::mount(nullptr, disk.path.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    EXPECT_EQ(SaveFileAtomically(target, "NEW").reason(),
              u"Cannot save \"%1\": the file is not writable (Read-only file system)"_qs.arg(target));
    EXPECT_EQ(SaveFileAtomically(dir.filePath(u"new.htm"_qs), "NEW").reason(),
              u"Cannot save \"%1\": Read-only file system"_qs.arg(dir.filePath(u"new.htm"_qs)));
    EXPECT_EQ(ReadFile(target), "OLD\n");
}

} // namespace
