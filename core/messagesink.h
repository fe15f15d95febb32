#pragma once

#include <QString>

namespace throngkit {

// Where the engine hands a notice that the user should see (a message box with an OK button in
// the desktop program, a line on standard error in the command). The engine never shows one.
class MessageSink
{
public:
    virtual ~MessageSink() = default;
    virtual void showMessage(const QString &text) = 0;
};

} // namespace throngkit
