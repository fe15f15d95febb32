#pragma once

#include <cstdio>

namespace throngkit {

// Loads the windows' library installed beside the program (the build tree has the same layout)
// and runs the desktop program from it. When there is no display, or the library is missing or
// broken, says why on err in one line and returns 1.
int OpenDesktop(int argc, char *argv[], std::FILE *err);

} // namespace throngkit
