#include "ui/keyboard.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QSet>
#include <QToolButton>
#include <QWidget>

namespace throngkit {

QStringList WithAccessKeys(const QStringList &captions)
{
    QSet<QChar> taken;
    QStringList keyed;
    for (const QString &caption : captions) {
        // A word's first letter first: it is the one a reader looks for.
        qsizetype key = -1;
        for (const bool wordStartsOnly : {true, false}) {
            for (qsizetype i = 0; key < 0 && i < caption.size(); ++i) {
                const QChar c = caption.at(i);
                const bool wordStart = i == 0 || !caption.at(i - 1).isLetterOrNumber();
                if (c.isLetterOrNumber() && (wordStart || !wordStartsOnly) && !taken.contains(c.toLower()))
                    key = i;
            }
        }
        QString text = QString(caption).replace(u'&', QStringLiteral("&&"));
        if (key >= 0) {
            taken.insert(caption.at(key).toLower());
            // Every "&" before the key became two.
            text.insert(key + caption.left(key).count(u'&'), u'&');
        }
        keyed << text;
    }
    return keyed;
}

QString WithoutAccessKey(const QString &caption)
{
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&' && ++i == caption.size())
            break;   // a lone "&" at the end marks nothing
        shown += caption.at(i);
    }
    return shown;
}

bool IsEnter(const QKeyEvent &event)
{
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

bool PressFocusedButton(const QWidget &window)
{
    QWidget *focus = window.focusWidget();
    if (!qobject_cast<QPushButton *>(focus) && !qobject_cast<QToolButton *>(focus))
        return false;
    static_cast<QAbstractButton *>(focus)->click();
    return true;
}

} // namespace throngkit
