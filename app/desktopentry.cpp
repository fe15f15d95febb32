#include "ui/desktop.h"
#include "app/desktopentry.h"

#include <QtGlobal>

#include <type_traits>

// C linkage: the name is looked up by hand, so it must not be mangled.
extern "C" Q_DECL_EXPORT int throngkit_run_desktop(int argc, char *argv[])
{
    static_assert(std::is_same_v<decltype(&throngkit_run_desktop), throngkit::DesktopEntry>);
    return throngkit::RunDesktop(argc, argv);
}
