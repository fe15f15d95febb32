#pragma once

// The windows at the keyboard: access keys for captions made at run time, and Enter on a button.
#include <QString>
#include <QStringList>

class QKeyEvent;
class QWidget;

namespace throngkit {

// The captions with an access key each where one is free: the first letter or digit of a word
// that no caption before has taken, else any free one. An "&" of a caption is kept as text.
QStringList WithAccessKeys(const QStringList &captions);

// A caption as it reads: the access key's marker gone, "&&" shown as "&".
QString WithoutAccessKey(const QString &caption);

// Return, or Enter on the keypad.
bool IsEnter(const QKeyEvent &event);

// Presses the push or tool button that has the focus in window, as Space would; true when one
// had it. What Enter does on a button.
bool PressFocusedButton(const QWidget &window);

} // namespace throngkit
