#pragma once

#include <QStringList>

#include <cstdio>

namespace throngkit {

// Runs the command-line front on arguments (argv, program name first) with a QCoreApplication
// already created. Writes to out and err; returns the process exit status (0 success, 2 bad
// input or a failure; `tables` also 1 when a table has a problem). Never touches a display.
int RunCommandLine(const QStringList &arguments, std::FILE *out, std::FILE *err);

} // namespace throngkit
