#pragma once

// The listing on paper: a heading on the first page, the listing's header line at the top of
// every page, page numbers at the foot, and no member cut across pages.
#include "core/outcome.h"

#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;
class QPrinter;

namespace throngkit {

// The listing cut into pages. A member's entry is its line (a digit in the first column) and
// the lines after it up to the next member; an entry moves to the next page whole unless it is
// taller than a page on its own.
struct ListingPages
{
    QString header;              // the first line, unless that is already a member
    QList<QStringList> bodies;   // each page's lines under the header; at least one page
};

// firstPageLines and linesPerPage count the lines under the header (at least 1 each; the first
// page has less room because of the heading). Line ends may be CRLF or LF.
ListingPages PaginateListing(const QString &listing, int firstPageLines, int linesPerPage);

// Prints heading (left out when empty) and listing in font on device, the header and the
// page's entries on each page and "Page n of m" at its foot. The number of pages printed, or why
// the device failed (a file that cannot be written, a printer gone).
Result<int> PrintListing(QPagedPaintDevice &device, const QString &heading, const QString &listing,
                         const QFont &font);

// Prints as PrintListing does on a printer set to print to a file: into a temporary file in
// the same folder, moved over the chosen file only when the printer finished without error,
// so that a full disk leaves the old file as it was and no half-written PDF behind.
Outcome PrintListingToFile(QPrinter &printer, const QString &heading, const QString &listing,
                           const QFont &font);

} // namespace throngkit
