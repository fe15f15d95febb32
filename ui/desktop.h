#pragma once

namespace throngkit {

// The desktop program: creates the QApplication, runs start-up, shows the configuration window
// and returns the exit status when it closes.
int RunDesktop(int argc, char *argv[]);

} // namespace throngkit
