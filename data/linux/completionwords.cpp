// Prints the words the command's choices take, one choice a line ("format listing json ..."),
// for the build to fill into the bash completion.
#include "core/request.h"
#include "listing/outputformats.h"

#include <QTextStream>

int main()
{
    using namespace throngkit;
    QTextStream out(stdout);
    out << "system";
    for (const SystemChoice &choice : SystemChoices())
        out << ' ' << choice.word.toString();
    out << "\nformat";
    for (const OutputFormatInfo &format : OutputFormats())
        out << ' ' << format.name.toString();
    out << "\ntablesformat";
    for (const TableFormatInfo &format : TableFormats())
        out << ' ' << format.name.toString();
    const std::pair<const char *, std::span<const RequestChoice>> lists[] = {
        {"level", AbilityLevelChoices()}, {"shield", ShieldChoices()}, {"missile", MissileChoices()}};
    for (const auto &[option, choices] : lists) {
        out << '\n' << option;
        for (const RequestChoice &choice : choices)
            out << ' ' << choice.word.toString();
    }
    out << '\n';
    return 0;
}
