// Printing the listing: how it is cut into pages, a full rabble printed to a PDF file and read
// back, and a print to a file that is whole or not at all.
#include "listing/screenlisting.h"
#include "tests/ui/uitest.h"
#include "ui/listingprinter.h"
#include "ui/twips.h"

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

using namespace throngkit;

namespace {

// The cases and what they give are in tests/data/ui/pages.txt, written from the rules: a member
// stays whole on a page unless it is taller than one.
TEST(ListingPrinterTest, MembersStayWholeOnAPage)
{
    const QString golden = QString::fromUtf8(test::ReadTestData("ui/pages.txt"));
    QString made;
    for (const QString &line : golden.split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(u'#') || line.startsWith("$ "))
            made += line + "\n";
        if (!line.startsWith("$ "))
            continue;
        const ListingPages pages = PaginateListing(line.section(u' ', 3).replace("\\r", "\r").replace("\\n", "\n"),
                                                   line.section(u' ', 1, 1).toInt(), line.section(u' ', 2, 2).toInt());
        QStringList texts;
        for (const QStringList &body : pages.bodies)
            texts << body.join(u',');
        made += "header " + pages.header + "\npages " + texts.join(u'|') + "\n";
    }
    EXPECT_EQ(made, golden);
}

// A 1000-member listing with every seventh member spilling onto a second line.
QString LongListing(Settings &settings)
{
    settings.HowMany = MaxMembers;
    const QStringList lines = BuildListing(GameSystem::RuneQuest, settings).split("\r\n", Qt::SkipEmptyParts);
    QString listing;
    for (qsizetype i = 0; i < lines.size(); ++i)
        listing += lines[i] + "\r\n" + (i > 0 && i % 7 == 0 ? QString("      overflow of %1\r\n").arg(i) : "");
    return listing;
}

QPrinter &PdfPrinter(QPrinter &printer, const QString &path, QPageSize::PageSizeId size = QPageSize::A4)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(size));
    return printer;
}

// Every page: the heading on the first, the column header, whole members (a member's overflow
// line after it), the page's number at the foot; all pages' members are the listing's, in order.
TEST(ListingPrinterTest, FullRabbleOnPaper)
{
    QTemporaryDir dir;
    auto settings = test::NewSettings();
    const QString listing = LongListing(*settings);
    QPrinter printer(QPrinter::HighResolution);
    const int printed = PrintListing(PdfPrinter(printer, dir.filePath("a4.pdf")), "City Watch", listing, ListingFont()).value();
    const QList<QStringList> pages = test::PdfPages(dir.filePath("a4.pdf"));
    ASSERT_EQ(pages.size(), printed);
    EXPECT_GT(printed, 1);
    EXPECT_LT(printed, MaxMembers / 20);   // pages hold far fewer lines than fit otherwise
    QStringList members = listing.split("\r\n", Qt::SkipEmptyParts), printedMembers;
    for (QString &line : members)
        line = line.simplified();
    const QString header = members.takeFirst();
    for (int p = 0; p < pages.size(); ++p) {
        SCOPED_TRACE(p + 1);
        const qsizetype top = p == 0 ? 2 : 1;
        EXPECT_EQ(pages[p].mid(0, top).join(u'|') + "|" + pages[p].constLast(),
                  (p == 0 ? "City Watch|" : "") + header + QString("|Page %1 of %2").arg(p + 1).arg(printed));
        EXPECT_TRUE(QRegularExpression("^\\d+( |$)").match(pages[p].value(top)).hasMatch()) << "starts inside a member";
        printedMembers << pages[p].mid(top, pages[p].size() - top - 1);
    }
    EXPECT_EQ(printedMembers, members);
    // Flush with the left of the printable area: the first word's box, in points, starts there.
    EXPECT_NEAR(QRegularExpression("xMin=\"([0-9.]+)\"").match(test::PdfText(dir.filePath("a4.pdf"), {"-bbox", "-l", "1"})).captured(1).toDouble(),
                printer.pageLayout().paintRectPixels(printer.resolution()).left() * 72.0 / printer.resolution(), 0.001);
    // Smaller paper, more pages: the layout follows the page it is given.
    QPrinter a5(QPrinter::HighResolution);
    EXPECT_GT(PrintListing(PdfPrinter(a5, dir.filePath("a5.pdf"), QPageSize::A5), "W", listing, ListingFont()).value(), printed);
}

// Printing to a file goes through a temporary file: the old file survives a print that does
// not fit, and special files are refused untouched.
TEST(ListingPrinterTest, PrintToFileIsWholeOrNotAtAll)
{
    QTemporaryDir dir;
    auto settings = test::NewSettings();
    const QString listing = LongListing(*settings).section("\r\n", 0, 200);
    const QString target = test::WriteFile(dir, "keep.pdf", "OLD");
    auto print = [&](const QString &path) {
        QPrinter printer(QPrinter::HighResolution);
        return PrintListingToFile(PdfPrinter(printer, path), "Watch", listing, ListingFont());
    };

#ifndef Q_OS_WIN   // file-size limits, FIFOs and symbolic links are Linux's
    const auto failed = test::InChildProcess([&] { return print(target).reason(); }, 4096);
    ASSERT_TRUE(failed.has_value());
    EXPECT_EQ(*failed, "The listing could not be printed to \"" + target + "\": the file was not written to its end (is the disk full?)");
    EXPECT_EQ(test::ReadFile(target), "OLD");
    EXPECT_EQ(test::Entries(dir.path()), QStringList{"keep.pdf"});

    const QString fifo = dir.filePath("fifo.pdf");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);   // a print into it would hang
    EXPECT_FALSE(print(fifo).ok());
    EXPECT_FALSE(QFileInfo(fifo).isFile());
#endif

    const Outcome printed = print(target);
    ASSERT_TRUE(printed.ok()) << printed.reason().toStdString();
    EXPECT_TRUE(test::ReadFile(target).startsWith("%PDF"));
#ifdef Q_OS_WIN
    EXPECT_EQ(test::Entries(dir.path()), QStringList{"keep.pdf"});
    EXPECT_FALSE(print(dir.filePath("lpt1.pdf")).ok());   // a device's name
#else
    EXPECT_EQ(test::Entries(dir.path()), (QStringList{"fifo.pdf", "keep.pdf"}));

    // Through a chain of links into another folder: the file at its end is replaced there, and
    // the links stay links.
    ASSERT_TRUE(QDir(dir.path()).mkdir("far"));
    const QString far = test::WriteFile(dir, "far/real.pdf", "OLD");
    ASSERT_TRUE(QFile::link(far, dir.filePath("far/second.pdf")) && QFile::link(dir.filePath("far/second.pdf"), dir.filePath("first.pdf")));
    ASSERT_TRUE(print(dir.filePath("first.pdf")).ok());
    EXPECT_TRUE(test::ReadFile(far).startsWith("%PDF"));
    EXPECT_TRUE(QFileInfo(dir.filePath("first.pdf")).isSymLink() && QFileInfo(dir.filePath("far/second.pdf")).isSymLink());
    EXPECT_EQ(test::Entries(dir.filePath("far")), (QStringList{"real.pdf", "second.pdf"}));
#endif
}

} // namespace
