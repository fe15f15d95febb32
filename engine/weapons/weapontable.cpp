#include "weapons/weapontable.h"

#include "core/paths.h"
#include "core/numerictext.h"
#include "core/safefiles.h"

#include <QDir>
#include <QLocale>

#include <cmath>
#include <limits>
#include <optional>

namespace throngkit {

namespace {

bool IsLineEnd(QChar c) noexcept
{
    return c == u'\r' || c == u'\n';
}

bool IsBlank(QChar c) noexcept
{
    return c == u' ' || c == u'\t';
}

// A name, a damage or a caption is shown in labels, listings and files: a NUL or an escape
// sequence there would cut or garble all of them. A tab is a blank. Bytes 0x80 to 0x9F stay
// allowed: tables written on Windows use them for dashes and quotes.
bool HasControl(QStringView text) noexcept
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t') || u == 0x7F)
            return true;
    }
    return false;
}

// The comma-delimited fields of a table after its caption line. A field ends at a comma or a
// line end; blanks before it are skipped; text may be quoted (and must be when it holds a
// comma); a number also ends at a blank. Line ends separate fields like commas do, so rows are
// not bound to lines.
class FieldReader
{
public:
    FieldReader(QStringView text, qsizetype start, int line) : m_text(text), m_pos(start), m_line(line) {}

    int line() const noexcept { return m_line; }
    const QString &problem() const noexcept { return m_problem; }
    int problemLine() const noexcept { return m_problemLine; }
    bool cutShort() const noexcept { return m_cutShort; }

    // True when nothing but blanks and line ends is left: no further row starts.
    bool atEnd()
    {
        while (m_pos < m_text.size() && (IsBlank(m_text[m_pos]) || IsLineEnd(m_text[m_pos])))
            stepOver();
        return m_pos >= m_text.size();
    }

    std::optional<QString> text()
    {
        if (!startField())
            return std::nullopt;
        QString value;
        if (m_text[m_pos] == u'"') {
            ++m_pos;
            const qsizetype start = m_pos;
            while (m_pos < m_text.size() && m_text[m_pos] != u'"' && !IsLineEnd(m_text[m_pos]))
                ++m_pos;
            if (m_pos >= m_text.size() || m_text[m_pos] != u'"')
                return fail(QStringLiteral("a quoted text is not closed on its line"));
            value = m_text.sliced(start, m_pos - start).toString();
            ++m_pos;
            // Anything between the closing quote and the field's end is not part of the field.
            while (m_pos < m_text.size() && m_text[m_pos] != u',' && !IsLineEnd(m_text[m_pos]))
                ++m_pos;
        } else {
            const qsizetype start = m_pos;
            while (m_pos < m_text.size() && m_text[m_pos] != u',' && !IsLineEnd(m_text[m_pos]))
                ++m_pos;
            value = m_text.sliced(start, m_pos - start).trimmed().toString();
        }
        endField();
        if (HasControl(value))
            return fail(QStringLiteral("the text %1 holds a control character").arg(QuotedText(value)));
        return value;
    }

    std::optional<double> number(const char *what)
    {
        if (!startField())
            return std::nullopt;
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] != u',' && !IsBlank(m_text[m_pos])
               && !IsLineEnd(m_text[m_pos]))
            ++m_pos;
        const QStringView token = m_text.sliced(start, m_pos - start);
        // A number may be followed by blanks before its comma.
        while (m_pos < m_text.size() && IsBlank(m_text[m_pos]))
            ++m_pos;
        endField();
        if (token.isEmpty())
            return 0.0;   // an empty field reads as 0
        bool ok = false;
        const double value = QLocale::c().toDouble(token, &ok);
        if (!ok || !std::isfinite(value))
            return fail(QStringLiteral("the %1 %2 is not a number")
                            .arg(QLatin1String(what), QuotedText(token.left(40))));
        return value;
    }

private:
    // Skips the blanks before a field; false (cut short) when the file ends first.
    bool startField()
    {
        m_fieldLine = m_line;
        while (m_pos < m_text.size() && IsBlank(m_text[m_pos]))
            ++m_pos;
        if (m_pos < m_text.size())
            return true;
        m_cutShort = true;
        fail(QStringLiteral("the file ends in the middle of a row"));
        return false;
    }

    void endField()
    {
        if (m_pos < m_text.size() && (m_text[m_pos] == u',' || IsLineEnd(m_text[m_pos])))
            stepOver();
    }

    // One character, or one line end of CR LF, CR or LF.
    void stepOver()
    {
        const QChar c = m_text[m_pos++];
        if (c == u'\r' && m_pos < m_text.size() && m_text[m_pos] == u'\n')
            ++m_pos;
        if (IsLineEnd(c))
            ++m_line;
    }

    std::nullopt_t fail(const QString &problem)
    {
        if (m_problem.isEmpty()) {
            m_problem = problem;
            m_problemLine = m_fieldLine;
        }
        return std::nullopt;
    }

    QStringView m_text;
    qsizetype m_pos;
    int m_line;
    int m_fieldLine = 0;
    int m_problemLine = 0;
    bool m_cutShort = false;
    QString m_problem;
};

QString Problem(const QString &path, int line, const QString &what)
{
    // All in one arg() call: chained calls would fill a "%2" in the file's name as well.
    return QStringLiteral("The weapon table %1 cannot be loaded: line %2: %3.")
        .arg(EscapeControls(QDir::toNativeSeparators(path)), QString::number(line), what);
}

qsizetype CaptionEnd(QStringView text)
{
    qsizetype end = 0;
    while (end < text.size() && !IsLineEnd(text[end]))
        ++end;
    return end;
}

// The caption: the text's first line, refused when it holds a control character. The loader and
// the pick list's catalogue read it alike.
Result<QString> TableCaption(const QString &text)
{
    const QString caption = text.left(CaptionEnd(text));
    if (HasControl(caption))
        return Result<QString>::failure(QStringLiteral("the caption %1 holds a control character").arg(QuotedText(caption)));
    return Result<QString>::success(caption);
}

} // namespace

Result<TableText> ReadWeaponTable(const QString &path)
{
    using Read = Result<TableText>;
    TableText result;
    const Result<QByteArray> read = ReadRegularFile(ResolveFileName(path));
    if (!read) {
        return Read::failure(QStringLiteral("The weapon table %1 cannot be opened: %2.")
                                  .arg(EscapeControls(QDir::toNativeSeparators(path)), read.reason()));
    }
    const QByteArray &bytes = read.value();
    if (bytes.isEmpty()) {
        return Read::failure(Problem(path, 1, QStringLiteral("the file is empty")));
    }
    const QString text = QString::fromLatin1(bytes);   // single-byte text

    const Result<QString> caption = TableCaption(text);
    if (!caption)
        return Read::failure(Problem(path, 1, caption.reason()));
    qsizetype rowsStart = caption.value().size();
    if (rowsStart < text.size() && text[rowsStart] == u'\r')
        ++rowsStart;
    if (rowsStart < text.size() && text[rowsStart] == u'\n')
        ++rowsStart;

    FieldReader reader(text, rowsStart, 2);
    while (!reader.atEnd()) {
        const int rowLine = reader.line();
        if (std::ssize(result.rows) == MaxWeaponRows) {
            return Read::failure(Problem(path, rowLine,
                                          QStringLiteral("a table holds at most %1 weapons").arg(MaxWeaponRows)));
        }
        const auto low = reader.number("Low");
        const auto high = low ? reader.number("High") : std::nullopt;
        const auto name = high ? reader.text() : std::nullopt;
        const auto damage = name ? reader.text() : std::nullopt;
        const auto rank = damage ? reader.number("SR/PEN") : std::nullopt;
        if (!rank) {
            // A row cut short is named by the line it starts on, a bad field by its own line.
            return Read::failure(Problem(path, reader.cutShort() ? rowLine : reader.problemLine(),
                                          reader.problem()));
        }
        constexpr double FloatMax = std::numeric_limits<float>::max();
        if (std::fabs(*low) > FloatMax || std::fabs(*high) > FloatMax) {
            return Read::failure(Problem(path, rowLine, QStringLiteral("a band limit is out of range")));
        }
        const std::optional<qint16> wholeRank = WholeRank(*rank);
        if (!wholeRank) {
            return Read::failure(Problem(path, rowLine,
                                          QStringLiteral("the SR/PEN %1 is out of range").arg(*rank)));
        }

        result.rows.push_back({float(*low), float(*high), *name, *damage, *wholeRank});
        if (result.rows.back().High == 100.0f)
            break;   // the last row; whatever follows is never read
    }

    result.caption = caption.value();
    return Read::success(std::move(result));
}

Result<QString> LoadWeaponTable(Settings &settings, const QString &path)
{
    // Read whole first: a table that fails to load leaves the loaded one as it was.
    const Result<TableText> read = ReadWeaponTable(path);
    if (!read)
        return Result<QString>::failure(read.reason());
    const TableText &table = read.value();
    int n = 0;
    for (const TableRowText &text : table.rows) {
        WeaponRow &row = settings.Weapons[++n];
        row.Low = text.Low;
        row.High = text.High;
        row.Name = text.Name;
        row.Damage = text.Damage;
        row.Rank = text.Rank;
    }
    settings.WeaponCount = qint16(n);
    return Result<QString>::success(table.caption);
}

Result<QString> ReadTableCaption(const QString &path)
{
    const Result<QByteArray> read = ReadRegularFile(ResolveFileName(path));
    if (!read)
        return Result<QString>::failure(read.reason());
    if (read.value().isEmpty())
        return Result<QString>::failure(QStringLiteral("the file is empty"));
    return TableCaption(QString::fromLatin1(read.value().left(64 * 1024)));
}

} // namespace throngkit
