#include "ui/listingprinter.h"

#include "core/platformfiles.h"
#include "core/safefiles.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>

#include <QDir>
#include <QFile>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace throngkit {

namespace {

// Member lines start with the member's number; what follows up to the next number (a column
// that overflowed, or text the user typed into the box) belongs to that member.
bool IsMemberLine(const QString &line)
{
    return !line.isEmpty() && line.front() >= u'0' && line.front() <= u'9';
}

QStringList SplitLines(const QString &listing)
{
    QStringList lines = listing.split(u'\n');
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    // The listing ends every line, the last one too: nothing of it is below the last end.
    while (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

QList<QStringList> Entries(const QStringList &lines, qsizetype from)
{
    QList<QStringList> entries;
    for (qsizetype i = from; i < lines.size(); ++i) {
        if (entries.isEmpty() || IsMemberLine(lines[i]))
            entries.append(QStringList());
        entries.last().append(lines[i]);
    }
    return entries;
}

int LinesThatFit(qreal height, qreal lineHeight)
{
    return std::max(1, static_cast<int>(std::floor(height / lineHeight)));
}

} // namespace

ListingPages PaginateListing(const QString &listing, int firstPageLines, int linesPerPage)
{
    firstPageLines = std::max(1, firstPageLines);
    linesPerPage = std::max(1, linesPerPage);

    const QStringList lines = SplitLines(listing);
    ListingPages pages;
    qsizetype from = 0;
    if (!lines.isEmpty() && !IsMemberLine(lines.constFirst())) {
        pages.header = lines.constFirst();
        from = 1;
    }

    pages.bodies.append(QStringList());
    const auto room = [&] {
        const int capacity = pages.bodies.size() == 1 ? firstPageLines : linesPerPage;
        return capacity - static_cast<int>(pages.bodies.constLast().size());
    };
    for (const QStringList &entry : Entries(lines, from)) {
        if (entry.size() > room() && !pages.bodies.constLast().isEmpty())
            pages.bodies.append(QStringList());
        // Only an entry taller than a whole page is cut, where the page is full.
        for (const QString &line : entry) {
            if (room() <= 0)
                pages.bodies.append(QStringList());
            pages.bodies.last().append(line);
        }
    }
    return pages;
}

Result<int> PrintListing(QPagedPaintDevice &device, const QString &heading, const QString &listing,
                         const QFont &font)
{
    QPainter painter;
    if (!painter.begin(&device))
        return Result<int>::failure(QStringLiteral("the printer did not start"));

    QFont headingFont = font;
    headingFont.setBold(true);
    headingFont.setPointSizeF(font.pointSizeF() * 1.5);

    const QFontMetricsF metrics(font, &device);
    const QFontMetricsF headingMetrics(headingFont, &device);
    const qreal lineHeight = metrics.lineSpacing();
    const QRectF area(0, 0, device.width(), device.height());

    const bool hasHeading = !heading.isEmpty();
    const qreal headingHeight = hasHeading ? headingMetrics.lineSpacing() + lineHeight : 0;
    // The header gets half a line more for the rule under it.
    const qreal headerHeight = lineHeight * 1.5;
    const qreal footerHeight = lineHeight * 2;
    const qreal bodyHeight = area.height() - headerHeight - footerHeight;

    const ListingPages pages =
        PaginateListing(listing, LinesThatFit(bodyHeight - headingHeight, lineHeight),
                        LinesThatFit(bodyHeight, lineHeight));
    const int pageCount = static_cast<int>(pages.bodies.size());

    painter.setClipRect(area);
    for (int page = 0; page < pageCount; ++page) {
        if (page > 0 && !device.newPage())
            return Result<int>::failure(QStringLiteral("the printer did not take page %1").arg(page + 1));

        qreal top = area.top();
        if (page == 0 && hasHeading) {
            painter.setFont(headingFont);
            painter.drawText(QPointF(area.left(), top + headingMetrics.ascent()), heading);
            top += headingHeight;
        }

        painter.setFont(font);
        if (!pages.header.isEmpty()) {
            painter.drawText(QPointF(area.left(), top + metrics.ascent()), pages.header);
            const qreal ruleY = top + lineHeight * 1.25;
            painter.setPen(QPen(Qt::black, std::max<qreal>(1, lineHeight / 16)));
            painter.drawLine(QPointF(area.left(), ruleY),
                             QPointF(area.left() + metrics.horizontalAdvance(pages.header), ruleY));
        }
        top += headerHeight;

        for (const QString &line : pages.bodies[page]) {
            painter.drawText(QPointF(area.left(), top + metrics.ascent()), line);
            top += lineHeight;
        }

        const QString footer = QStringLiteral("Page %1 of %2").arg(page + 1).arg(pageCount);
        painter.drawText(QPointF(area.center().x() - metrics.horizontalAdvance(footer) / 2,
                                 area.bottom() - metrics.descent()),
                         footer);
    }
    if (!painter.end())
        return Result<int>::failure(QStringLiteral("the printer did not finish"));
    return Result<int>::success(pageCount);
}

namespace {

// The PDF writer does not report a failed write, so a file is finished only when its last
// bytes are the end-of-file marker.
Outcome CheckFinishedPdf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Outcome::failure(file.errorString());
    const qint64 size = file.size();
    if (size > 64)
        file.seek(size - 64);
    if (!file.readAll().trimmed().endsWith("%%EOF"))
        return Outcome::failure(QStringLiteral("the file was not written to its end "
                                               "(is the disk full?)"));
    return Outcome::success();
}

Outcome NotPrinted(const QString &target, const QString &reason)
{
    return Outcome::failure(QStringLiteral("The listing could not be printed to %1: %2")
                                .arg(QuotedText(QDir::toNativeSeparators(target)), reason));
}

} // namespace

Outcome PrintListingToFile(QPrinter &printer, const QString &heading, const QString &listing,
                           const QFont &font)
{
    const QString target = printer.outputFileName();
    if (const Outcome replaceable = CheckReplaceableTarget(target); !replaceable)
        return replaceable;

    // Printed into a new file beside the file the target names (links followed, so that they
    // stay), which takes that file's permissions, owner and group, and replaces it only when
    // the printout is whole and on disk.
    platform::FileReplacement file;
    if (const Outcome begun = file.begin(target, platform::FileReplacement::Writer::OpensByName); !begun)
        return NotPrinted(target, begun.reason());

    const QPrinter::OutputFormat format = printer.outputFormat();
    printer.setOutputFileName(file.temporaryPath());
    printer.setOutputFormat(format);
    const Result<int> pages = PrintListing(printer, heading, listing, font);
    printer.setOutputFileName(target);
    printer.setOutputFormat(format);
    if (!pages)
        return NotPrinted(target, pages.reason());
    if (const Outcome finished = CheckFinishedPdf(file.temporaryPath()); !finished)
        return NotPrinted(target, finished.reason());
    if (const Outcome committed = file.commit(); !committed)
        return NotPrinted(target, committed.reason());
    return Outcome::success();
}

} // namespace throngkit
