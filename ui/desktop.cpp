#include "ui/desktop.h"

#include "core/settings.h"
#include "session/startup.h"
#include "core/dice.h"
#include "ui/desktopstart.h"
#include "ui/form2.h"
#include "ui/prompts.h"

#include <QApplication>

#include <memory>

namespace throngkit {

int RunDesktop(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpDesktopApplication();

    auto settings = std::make_unique<Settings>();   // holds 1000 members: not on the stack
    Dice dice;
    QtPrompts prompts(*settings);

    const StartupReport report = RunStartup(*settings, ProcessStartupContext(FirstRunIni::Write));
    const std::unique_ptr<Form2> form2 = OpenConfigurationWindow(*settings, dice, prompts, report);
    prompts.showModal(*form2);   // Exit or the frame ends the program
    return 0;
}

} // namespace throngkit
