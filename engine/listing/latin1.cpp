#include "listing/latin1.h"

#include <QChar>

namespace throngkit {
namespace {

constexpr char32_t NotACharacter = 0xFFFFFFFF;   // a lone surrogate

// The code point that starts at text[i], advancing i past a surrogate pair.
char32_t NextCodePoint(QStringView text, qsizetype &i)
{
    const char16_t unit = text[i].unicode();
    if (!QChar::isSurrogate(unit))
        return unit;
    if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        ++i;
        return QChar::surrogateToUcs4(unit, text[i].unicode());
    }
    return NotACharacter;
}

} // namespace

void AppendLatin1(QByteArray &out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char32_t code = NextCodePoint(text, i);
        out.append(code <= 0xFF ? char(code) : '?');
    }
}

void AppendHtmlText(QByteArray &out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char32_t code = NextCodePoint(text, i);
        switch (code) {
        case u'&': out.append("&amp;"); break;
        case u'<': out.append("&lt;"); break;
        case u'>': out.append("&gt;"); break;
        default:
            if (code <= 0xFF) {
                out.append(char(code));
            } else {
                out.append("&#");
                out.append(QByteArray::number(code == NotACharacter ? 0xFFFDu : uint(code)));
                out.append(';');
            }
        }
    }
}

} // namespace throngkit
