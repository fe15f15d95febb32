#include "ui/desktopstart.h"

#include "core/startup.h"
#include "ui/form2.h"
#include "ui/prompts.h"

namespace throngkit {

std::unique_ptr<Form2> OpenConfigurationWindow(Settings &settings, Dice &dice, Prompts &prompts,
                                               const StartupReport &report)
{
    if (!report.firstRunNotice.isEmpty())
        prompts.message(nullptr, report.firstRunNotice, MessageKind::Notice);

    auto form2 = std::make_unique<Form2>(settings, dice, prompts);
    form2->ShowTableCaption(QStringLiteral("Runequest Standard"));
    if (report.table) {
        form2->ShowTableCaption(report.table.value());
    } else {
        // The program goes on with an empty table; Browse or a system switch can load another.
        form2->ShowTableCaption(QString());
        prompts.message(form2.get(), report.table.reason());
    }
    return form2;
}

} // namespace throngkit
