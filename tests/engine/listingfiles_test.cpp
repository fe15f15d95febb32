#include "generate/dice.h"
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
#include <functional>
#include <iterator>
#include <utility>

using namespace throngkit;
using throngkit::test::NewSettings;
using throngkit::test::ReadFile;
using throngkit::test::WriteFile;

namespace {

// The examples of the column items of the listing files.
const RabbleMember RQExample = {
    .Name = u"____________________", .Level = u"G", .Weapon = u"Broadsword", .Damage = u"1D8+1+1D4",
    .Attack = 45, .Parry = 40, .ParryWith = u"Sh", .Missile = 30, .MissileType = u"J",
    .StrikeRank = u"5+2", .HitPoints = 12, .Scan = 35, .Listen = 40, .Armour = 3, .Code = u"1234567"};
const RabbleMember TravellerExample = {
    .Name = {}, .Level = u"B", .Weapon = u"Autopistol", .Damage = u"3D6", .Attack = 2, .Parry = 1,
    .ParryWith = {}, .MissileType = {}, .StrikeRank = u"3", .HitPoints = 45, .Scan = 2, .Armour = 7,
    .Code = u"789ABC"};

RabbleMember Changed(RabbleMember m, const std::function<void(RabbleMember &)> &change)
{
    change(m);
    return m;
}

void Rabble(Settings &s, std::initializer_list<RabbleMember> members)
{
    s.HowMany = float(members.size());
    int number = 0;
    for (const RabbleMember &m : members)
        s.Members[++number] = m;
}

// Four fighters, between them every level but B, both ways to parry and none, two missile
// letters, a tie between weapons and an attack far below the rest.
void FourFighters(Settings &s)
{
    const auto fighter = [](const char16_t *level, const char16_t *weapon, const char16_t *parryWith,
                            const char16_t *missileType, qint16 attack, qint16 missile, qint16 scan) {
        RabbleMember m = RQExample;
        m.Level = level, m.Weapon = weapon, m.ParryWith = parryWith, m.MissileType = missileType;
        m.Attack = attack, m.Missile = missile, m.Scan = scan;
        return m;
    };
    Rabble(s, {fighter(u"E", u"Spear", u"Sh", u" ", 40, 0, 10), fighter(u"G", u"Spear", u"Wp", u"J", 50, 30, 21),
               fighter(u"G", u"Axe", u"Sh", u"B", 62, 20, 30), fighter(u"P", u"Club", u"Sh", u" ", -32768, 99, 35)});
}

// Whole outputs against copies in tests/data, each written by this code when it passed the
// detailed checks it replaces. The two pages matched, byte for byte, pages spelled out by hand
// from the page layout. The .rbl and screen listings matched, line by line, each member's line
// placed item by item at its columns (a missile of 100 or a Listen of 100 pushing the rest to a
// new line, HP 105 meeting the armour, a blank missile letter hiding the value, hash forms of 0).
// The summaries passed checks of every count, share, low, median, high and mean, and of lines
// within 80 columns. The CSV rows were spelled out whole: only right padding goes, and a cell
// with a comma, quote or line break is quoted. The two seeded rabbles of 1000 passed the rule
// checks of the seeded tests they replace (ranges by level, hit points, modifiers, strike ranks,
// damage bonus, Scan and Listen caps, missile of at least 15, recon floor) and a separate
// recomputation, from each member's characteristic code and weapon, of its strike ranks, damage
// with bonus, hit points and parry against attack. A difference is a fault until shown otherwise.
TEST(ListingFiles, WholeOutputsMatchTheirCheckedCopies)
{
    const auto rq = [](const std::function<void(RabbleMember &)> &change) { return Changed(RQExample, change); };
    const auto traveller = [](const std::function<void(RabbleMember &)> &change) {
        return Changed(TravellerExample, change);
    };
    const auto rqPage = [&](Settings &s) {
        Rabble(s, {RQExample, rq([](RabbleMember &m) { m.MissileType = u" "; m.Attack = 0; m.Armour = 0; })});
    };
    const auto travellerPage = [&](Settings &s) { Rabble(s, {traveller([](RabbleMember &m) { m.Scan = 0; })}); };
    const auto weapon = [&](const char16_t *name) { return rq([=](RabbleMember &m) { m.Weapon = name; }); };
    // Euro, markup, a quote and one clef outside the BMP; a lone surrogate before "!".
    const auto texts = [](Settings &s, RabbleMember m) {
        m.Weapon = u"\u20ACx<&>\"\U0001D11Ey";
        Rabble(s, {m});
    };
    const auto seeded = [](Settings &s, GameSystem system, quint64 seed) {
        test::LoadSmallTable(s);
        s.HowMany = 1000;
        Dice dice(seed);
        EXPECT_TRUE(GenerateRabble(system, s, dice).ok());
        return ComposeCsv(system, s);
    };
    const QString heading = u"Caf\u00E9 R&D <b> \U0001D11E \xD800!\r\nTwo\nlines\rmore"_qs;
    const struct { const char *file; std::function<QByteArray(Settings &)> make; } cases[] = {
        {"rq-page.htm", [&](Settings &s) { rqPage(s); return ComposeRQHtm(s, u"Rabble"_qs); }},
        {"traveller-page.htm", [&](Settings &s) { travellerPage(s); return ComposeTravellerHtm(s, u"Rabble"_qs); }},
        {"rq-columns.rbl", [&](Settings &s) {
             Rabble(s, {RQExample, rq([](RabbleMember &m) { m.MissileType = u" "; m.Missile = 55; }),
                        rq([](RabbleMember &m) { m.Missile = 7; m.MissileType = u"B"; }),
                        rq([](RabbleMember &m) { m.Parry = 100; }),
                        rq([](RabbleMember &m) { m.Armour = 0; m.Attack = 0; }),
                        rq([](RabbleMember &m) { m.Missile = 100; m.MissileType = u"B"; }),
                        rq([](RabbleMember &m) { m.Listen = 100; })});
             return ComposeRQRbl(s, u"Head"_qs);
         }},
        {"traveller-columns.rbl", [&](Settings &s) {
             Rabble(s, {TravellerExample, traveller([](RabbleMember &m) { m.HitPoints = 105; }),
                        traveller([](RabbleMember &m) { m.Scan = 0; })});
             return ComposeTravellerRbl(s, u"Head"_qs);
         }},
        {"rq-columns.txt", [](Settings &s) {
             s.HowMany = 2;
             test::FillRQ(s.Members[1], u"G", u"Broadsword", u"1D8+1+1D4", 7, 45, u"Sh", u"6+2", 33, u" ", 0, 5, 52, 0, u"CBDEA9F");
             test::FillRQ(s.Members[2], u"E", u"2H Spear", u"1D10+1+1D6", 100, 100, u"Wp", u"5+3", 7, u"B", 17, 5, 52, 45,
                          u"J3883J3");
             return BuildListing(GameSystem::RuneQuest, s).toUtf8();
         }},
        {"traveller-columns.txt", [](Settings &s) {
             s.HowMany = 2;
             test::FillTraveller(s.Members[1], u"G", u"Autopistol", u"3D6", u"2", 3, 45, 7, 0, u"5FA7EB", 4);
             test::FillTraveller(s.Members[2], u"E", u"Laser", u"5D6", u"12", 6, 135, 24, 6, u"9A5B8C ", 5);
             return BuildListing(GameSystem::Traveller, s).toUtf8();
         }},
        {"rq-weapons.csv", [&](Settings &s) {
             Rabble(s, {weapon(u"Club"), weapon(u"  Club"), weapon(u""), weapon(u"Axe, war"), weapon(u"Say \"hi\""),
                        weapon(u"Two\r\nlines"), weapon(u"Ep\u00e9e")});
             return ComposeCsv(GameSystem::RuneQuest, s);
         }},
        {"traveller-two.csv", [&](Settings &s) {
             Rabble(s, {TravellerExample, traveller([](RabbleMember &m) { m.Attack = -7; })});
             return ComposeCsv(GameSystem::Traveller, s);
         }},
        {"rq-summary.txt", [](Settings &s) { FourFighters(s); return BuildSummary(GameSystem::RuneQuest, s).toUtf8(); }},
        {"rq-summary-no-missile.txt", [](Settings &s) {
             FourFighters(s);
             s.HowMany = 1;
             return BuildSummary(GameSystem::RuneQuest, s).toUtf8();
         }},
        {"traveller-summary.txt", [](Settings &s) {
             Rabble(s, {TravellerExample});
             return BuildSummary(GameSystem::Traveller, s).toUtf8();
         }},
        // Outside Latin-1 a file shows "?" or &#N;, markup is escaped in a page, and a heading's
        // line breaks are one blank each. The clef takes two of the weapon's ten units but is one
        // character: one "?", and the damage still starts in its column.
        {"rq-texts.rbl", [&](Settings &s) { texts(s, RQExample); return ComposeRQRbl(s, heading); }},
        {"rq-texts.htm", [&](Settings &s) { texts(s, RQExample); return ComposeRQHtm(s, heading); }},
        {"traveller-texts.rbl", [&](Settings &s) { texts(s, TravellerExample); return ComposeTravellerRbl(s, heading); }},
        {"rq-rabble-seed1.csv", [&](Settings &s) { return seeded(s, GameSystem::RuneQuest, 1); }},
        {"traveller-rabble-seed42.csv", [&](Settings &s) { return seeded(s, GameSystem::Traveller, 42); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        const QByteArray made = c.make(*NewSettings());
        const QByteArray golden = ReadFile(QStringLiteral(THRONGKIT_SOURCE_DATA_DIR "/../tests/data/engine/") + QLatin1String(c.file));
        ASSERT_FALSE(golden.isEmpty());
        EXPECT_EQ(made.toStdString(), golden.toStdString());   // shown as a diff of lines
    }
}

// Number 1000 fills its field and meets the next; an empty rabble is its heading alone.
TEST(ListingFiles, MemberThousandAndNoMembers)
{
    auto s = NewSettings();
    s->HowMany = 1000;
    for (const auto &[system, m] : {std::pair{GameSystem::RuneQuest, RQExample},
                                    std::pair{GameSystem::Traveller, TravellerExample}}) {
        SCOPED_TRACE(int(system));
        s->Members[1000] = m;
        const auto rbl = test::CrLfLines(ComposeListingFile(system, FileFormat::Rbl, *s, u"H"_qs));
        ASSERT_EQ(rbl.size(), 1003);
        EXPECT_EQ(rbl[1002].left(6), "1000 _");
        const QStringList screen = test::CrLfLines(BuildListing(system, *s));
        ASSERT_EQ(screen.size(), 1001);
        EXPECT_EQ(screen[1000].left(8), (u"1000  "_qs + m.Level.toString() + u' '));
    }
    EXPECT_EQ(BuildListing(GameSystem::None, *s), QString());
    s->HowMany = 0;
    EXPECT_EQ(test::CrLfLines(BuildListing(GameSystem::Traveller, *s)).size(), 1);
    EXPECT_EQ(ComposeCsv(GameSystem::Traveller, *s),
              "number,level,weapon,damage,attack,parry,strikeRank,hitPoints,scan,armour,code\r\n");
    EXPECT_EQ(BuildSummary(GameSystem::Traveller, *s), u"Traveller rabble of 0 fighters\r\n"_qs);
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
    for (const QString &bad : {target + u"/x.rbl"_qs, dir.filePath(u"missing/x.htm"_qs)}) {
        const Outcome outcome = WriteTravellerHtmFile(*settings, u"H"_qs, bad);
        EXPECT_FALSE(outcome.ok());
        EXPECT_TRUE(outcome.reason().contains(QDir::toNativeSeparators(bad))) << outcome.reason().toStdString();
    }
    EXPECT_EQ(ReadFile(target), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{u"old.rbl"_qs});

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
        const auto reason = test::WithFileSizeLimit(1 << 20, [error = error, &target] {
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
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList{u"keep.rbl"_qs});
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

TEST(ListingFiles, AFullDiskKeepsTheOldFileAndSaysWhy)
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
        EXPECT_FALSE(saved.ok());
        EXPECT_TRUE(saved.reason().contains(u"No space left on device"_qs)) << saved.reason().toStdString();
        EXPECT_EQ(ReadFile(target), "OLD\n");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  (QStringList{u"filler"_qs, u"keep.htm"_qs}));
    }
}

} // namespace
