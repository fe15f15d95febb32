#include "listing/outputformats.h"

#include "core/safefiles.h"
#include "listing/csvwriter.h"
#include "listing/foundryexport.h"
#include "listing/listingfiles.h"
#include "listing/rabblejson.h"
#include "listing/screenlisting.h"
#include "listing/summary.h"

namespace throngkit {

namespace {

constexpr OutputFormatInfo Formats[] = {
    {OutputFormat::Listing, u"listing", u".txt", u"the listing window's fixed-width text",
     LineEnds::CrlfInFiles,
     [](const RabbleOutput &o) { return BuildListing(o.system, o.settings).toUtf8(); }},
    {OutputFormat::Json, u"json", u".json", u"every fighter's fields, the heading and the seed used",
     LineEnds::Lf,
     [](const RabbleOutput &o) { return ComposeRabbleJson(o.system, o.seed, o.heading, o.settings); }},
    {OutputFormat::Rbl, u"rbl", u".rbl", u"the listing file of the listing window's Save .rbl",
     LineEnds::Crlf, [](const RabbleOutput &o) { return ComposeRbl(o.system, o.settings, o.heading); }},
    {OutputFormat::Htm, u"htm", u".htm", u"the HTML page of the listing window's Save .htm",
     LineEnds::Crlf, [](const RabbleOutput &o) { return ComposeHtm(o.system, o.settings, o.heading); }},
    {OutputFormat::Csv, u"csv", u".csv",
     u"a spreadsheet file: a header row of the json's keys, one row per fighter", LineEnds::Crlf,
     [](const RabbleOutput &o) { return ComposeCsv(o.system, o.settings); }},
    {OutputFormat::Summary, u"summary", u".txt",
     u"the rabble at a glance: levels, weapons, parries, missiles and the lowest, median, "
     u"highest and mean of each figure",
     LineEnds::CrlfInFiles,
     [](const RabbleOutput &o) { return BuildSummary(o.system, o.settings).toUtf8(); }},
    {OutputFormat::Foundry, u"foundry", u".json",
     u"actors for the Foundry virtual tabletop's rqg or twodsix system, one a fighter, named "
     u"after the heading; foundry-import.js beside the tables that ship brings them in",
     LineEnds::Lf, ComposeFoundryActors},
};

constexpr TableFormatInfo TablesFormats[] = {
    {u"report"},   // each table's rows, the chance of each weapon and its problems
    {u"foundry"},  // the tables as the virtual tabletop's roll tables, a JSON array
};

} // namespace

std::span<const TableFormatInfo> TableFormats()
{
    return TablesFormats;
}

std::span<const OutputFormatInfo> OutputFormats()
{
    return Formats;
}

const OutputFormatInfo &FormatInfo(OutputFormat format)
{
    for (const OutputFormatInfo &info : Formats) {
        if (info.format == format)
            return info;
    }
    Q_UNREACHABLE();
}

const OutputFormatInfo *FindOutputFormat(QStringView name)
{
    for (const OutputFormatInfo &info : Formats) {
        if (name.compare(info.name, Qt::CaseInsensitive) == 0)
            return &info;
    }
    return nullptr;
}

QString OutputFormatNames()
{
    QStringList names;
    for (const OutputFormatInfo &info : Formats)
        names << info.name.toString();
    return ChoiceWords(names);
}

QByteArray ComposeOutput(OutputFormat format, const RabbleOutput &output)
{
    return FormatInfo(format).compose(output);
}

Outcome SaveOutput(OutputFormat format, const RabbleOutput &output, const QString &path)
{
    return SaveFileAtomically(path, ComposeOutput(format, output));
}

} // namespace throngkit
