#include "listing/latin1.h"

#include <QChar>

#include <array>
#include <charconv>

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


// The units a page takes as they are: Latin-1 but for the three that markup gives a meaning.
constexpr std::array<bool, 0x100> PlainInPage = [] {
    std::array<bool, 0x100> plain{};
    plain.fill(true);
    plain[u'&'] = plain[u'<'] = plain[u'>'] = false;
    return plain;
}();

} // namespace

void AppendLatin1(ByteSink &out, QStringView text)
{
    // Never more bytes than units: a pair becomes one "?".
    char *to = out.room(text.size());
    qsizetype written = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit <= 0xFF) {
            to[written++] = char(unit);
            continue;
        }
        NextCodePoint(text, i);
        to[written++] = '?';
    }
    out.advance(written);
}

char *WriteHtmlText(char *to, QStringView text)
{
    char *const end = to + text.size() * MostHtmlBytesPerUnit;
    const auto literal = [&to](std::string_view bytes) {
        for (const char c : bytes)
            *to++ = c;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit <= 0xFF && PlainInPage[unit]) {
            *to++ = char(unit);
            continue;
        }
        switch (unit) {
        case u'&': literal("&amp;"); continue;
        case u'<': literal("&lt;"); continue;
        case u'>': literal("&gt;"); continue;
        default:
            break;
        }
        const char32_t code = NextCodePoint(text, i);
        *to++ = '&';
        *to++ = '#';
        to = std::to_chars(to, end, code == NotACharacter ? 0xFFFDu : unsigned(code)).ptr;
        *to++ = ';';
    }
    return to;
}

void AppendHtmlText(ByteSink &out, QStringView text)
{
    char *const start = out.room(text.size() * MostHtmlBytesPerUnit);
    out.advance(WriteHtmlText(start, text) - start);
}

} // namespace throngkit
