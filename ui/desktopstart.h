#pragma once

// Start-up's window end, apart from the QApplication so that tests can run it.
#include <memory>

namespace throngkit {

struct Settings;
struct StartupReport;
class Dice;
class Form2;
class Prompts;

// Shows the first-run notice (before the configuration window exists on screen), creates Form2
// and sets its weapon-table label as the default table's load left it: its caption, or empty and
// a message box with the reason when the table did not load.
std::unique_ptr<Form2> OpenConfigurationWindow(Settings &settings, Dice &dice, Prompts &prompts,
                                               const StartupReport &report);

// Names the application for the desktop (name, version, desktop entry) and gives every window
// the program's icon. Needs the QApplication.
void SetUpDesktopApplication();

} // namespace throngkit
