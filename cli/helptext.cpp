#include "cli/helptext.h"

#include "core/safefiles.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace throngkit {

namespace {

constexpr int Width = 79;
constexpr int EntryIndent = 12;

} // namespace

QString WrapText(QStringView text, int indent)
{
    QString wrapped;
    qsizetype column = 0;
    bool lineHasWord = false;
    for (const QStringView word : text.tokenize(u' ', Qt::SkipEmptyParts)) {
        if (lineHasWord && column + 1 + word.size() > Width) {
            wrapped += u'\n' + QString(indent, u' ');
            column = indent;
            lineHasWord = false;
        }
        if (lineHasWord) {
            wrapped += u' ';
            ++column;
        }
        wrapped += word;
        column += word.size();
        lineHasWord = true;
    }
    return wrapped + u'\n';
}

QString HelpEntry(QStringView name, QStringView description)
{
    const QString start = (QStringLiteral("  ") + name.toString()).leftJustified(EntryIndent - 1) + u' ';
    // The first word goes right after the name: wrap as though the name were indent.
    const QString wrapped = WrapText(QString(EntryIndent, u'x') + u' ' + description.toString(), EntryIndent);
    return start + wrapped.mid(EntryIndent + 1);
}

QString ParserError(const QCommandLineParser &parser, const QStringList &arguments)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        // Named as it was typed: "-style" or "--style=x" alike are "style" to the parser.
        const QString &name = unknown.constFirst();
        QString typed = u"--"_s + name;
        for (const QString &argument : arguments) {
            const QString word = argument.section(u'=', 0, 0);
            if (word.startsWith(u'-') && QStringView(word).sliced(word.startsWith(u"--") ? 2 : 1) == name) {
                typed = word;
                break;
            }
        }
        return QStringLiteral("unknown option %1 (see --help)").arg(QuotedText(typed));
    }
    // Qt's other complaints ("Missing value after '--count'.") in the same style.
    QString text = parser.errorText();
    if (text.endsWith(u'.'))
        text.chop(1);
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text.replace(u'\'', u'"');
}

QString NamedAsTyped(QString helpText, const QString &programPath)
{
    if (const qsizetype at = programPath.isEmpty() ? -1 : helpText.indexOf(programPath); at >= 0)
        helpText.replace(at, programPath.size(), QFileInfo(programPath).completeBaseName());
    return helpText;
}

} // namespace throngkit
