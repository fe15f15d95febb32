#pragma once

#include <QPointer>
#include <QString>
#include <QtGlobal>

class QWidget;

namespace throngkit {

class SPICKBOX;

// The pick-list driver: shows SPICKBOX modally with one button per "/"-separated entry and
// returns the number (from 1) of the button pressed, or 0 when the dialog was closed by its
// frame. Keeps the result of the last pick.
class PickList
{
public:
    explicit PickList(QWidget *parent = nullptr);
    ~PickList();

    // note, when given, stands under the buttons.
    qint16 PickFromList(const QString &choiceText, const QString &title, const QString &note = {});

    QWidget *parent() const { return m_parent; }
    qint16 PickedNumber() const { return m_pickedNumber; }
    QString PickedCaption() const { return m_pickedCaption; }

    // The dialog of the current or last pick (null before the first pick and after a close by
    // the frame); tests look at its buttons and geometry.
    SPICKBOX *dialog() const;

private:
    QWidget *m_parent;
    // Guarded: the dialog is the parent's child and goes with it if the parent goes first.
    QPointer<SPICKBOX> m_dialog;
    qint16 m_pickedNumber = 0;
    QString m_pickedCaption;
};

} // namespace throngkit
