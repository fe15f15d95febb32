#include "listing/rabblejson.h"

#include "core/numberforms.h"
#include "core/safefiles.h"
#include "core/windows1252.h"
#include "listing/memberfields.h"

#include <algorithm>

namespace throngkit {
namespace {

// Builds one object, "key": value pairs separated by commas.
class JsonObject
{
public:
    explicit JsonObject(QString &out) : m_out(out) { m_out += u'{'; }

    JsonObject &text(const char16_t *key, QStringView value)
    {
        AppendJsonString(start(key), value);
        return *this;
    }

    JsonObject &number(const char16_t *key, std::integral auto value)
    {
        AppendDecimal(start(key), value);
        return *this;
    }

    JsonObject &figure(const char16_t *key, std::optional<int> value)
    {
        if (value)
            return number(key, *value);
        start(key) += u"null";
        return *this;
    }

    void close() { m_out += u'}'; }

private:
    // The separator and the key, ready for the value.
    QString &start(const char16_t *key)
    {
        if (!m_first)
            m_out += u", ";
        m_first = false;
        m_out += u'"';
        m_out += QStringView(key);
        m_out += u"\": ";
        return m_out;
    }

    QString &m_out;
    bool m_first = true;
};

void AppendMember(QString &out, GameSystem system, int number, const RabbleMember &m)
{
    JsonObject member(out);
    member.number(u"number", number);
    for (const MemberField &field : MemberFields(system)) {
        if (field.text)
            member.text(field.key, field.text(m));
        else if (field.number)
            member.number(field.key, field.number(m));
        else
            member.figure(field.key, field.figure(m));
    }
    member.close();
}

} // namespace

void AppendJsonString(QString &out, QStringView text)
{
    out += u'"';
    // Most text (a weapon's name, a damage) goes as it stands, in one piece.
    const auto asItStands = [](QChar c) {
        const char16_t u = c.unicode();
        return u != u'"' && u != u'\\' && !IsControlCharacter(u) && FromWindows1252(u) == u;
    };
    if (std::all_of(text.begin(), text.end(), asItStands)) {
        out += text;
        out += u'"';
        return;
    }
    for (const QChar original : text) {
        const QChar c(FromWindows1252(original.unicode()));
        switch (c.unicode()) {
        case u'"': out += u"\\\""; break;
        case u'\\': out += u"\\\\"; break;
        case u'\b': out += u"\\b"; break;
        case u'\f': out += u"\\f"; break;
        case u'\n': out += u"\\n"; break;
        case u'\r': out += u"\\r"; break;
        case u'\t': out += u"\\t"; break;
        default:
            // Control characters a terminal would act on, the C1 ones that Windows-1252 leaves
            // undefined among them, go escaped.
            if (IsControlCharacter(c.unicode()))
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
            else
                out += c;
        }
    }
    out += u'"';
}

QByteArray ComposeRabbleJson(GameSystem system, quint64 seed, const QString &heading,
                             const Settings &settings)
{
    const int count = ListedMemberCount(settings.HowMany);
    QString out;
    out.reserve(200 + count * 450);
    JsonObject document(out);
    // A reader whose numbers are doubles (JavaScript, jq) rounds a seed above 2^53: the same
    // seed as a decimal string is exact everywhere.
    const QString seedText = QString::number(seed);
    document.text(u"system", system == GameSystem::Traveller ? u"traveller" : u"runequest")
        .number(u"seed", seed)
        .text(u"seedString", seedText)
        .text(u"heading", heading);
    out += u", \"members\": [";
    // One member a line keeps the file readable and diffable.
    for (int number = 1; number <= count; ++number) {
        out += number == 1 ? u"\n" : u",\n";
        AppendMember(out, system, number, settings.Members[number]);
    }
    out += count > 0 ? u"\n]" : u"]";
    document.close();
    out += u'\n';
    return out.toUtf8();
}

} // namespace throngkit
