#pragma once

// The door between the program and the windows' library, which the program loads only when it
// opens the windows: `throngkit generate` then never maps Qt Gui, Widgets or their X and GL
// libraries.
namespace throngkit {

using DesktopEntry = int (*)(int argc, char *argv[]);
inline constexpr char DesktopEntryName[] = "throngkit_run_desktop";

} // namespace throngkit
