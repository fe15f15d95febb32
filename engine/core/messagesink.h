#pragma once

#include <throngkit/engine_export.h>

#include <QString>

namespace throngkit {

// Where the engine hands a notice that the user should see (a message box with an OK button in
// the desktop program, a line on standard error in the command). The engine never shows one.
// Defined in the library, so that its type information exists once for the program and the
// windows' module alike.
class THRONGKIT_ENGINE_EXPORT MessageSink
{
public:
    virtual ~MessageSink();
    virtual void showMessage(const QString &text) = 0;
};

} // namespace throngkit
