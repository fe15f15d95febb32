#pragma once

// The pick-list dialog: a single column of up to 20 buttons, one per entry offered. The driver
// (PickList) fills, sizes and places it; the dialog only records which button was pressed.
#include <QDialog>
#include <QMargins>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>

class QLabel;
class QPushButton;

namespace throngkit {

class SPICKBOX : public QDialog
{
    Q_OBJECT

public:
    static constexpr int ButtonCount = 20;

    explicit SPICKBOX(QWidget *parent = nullptr);

    // Choice button `index` (0 to 19), the one named Command1_<index>.
    QPushButton *choiceButton(int index) const;

    // Shows one button per entry from the top, each captioned with its entry and an access key,
    // and hides the others. At most ButtonCount entries are shown.
    void setEntries(const QStringList &entries);

    // A line or a few under the buttons (what the caller could not offer, say); empty: none.
    void setNote(const QString &note);
    // The room the note takes under the buttons, margins included, in an inner width of at most
    // maxWidth; none without a note.
    QSize noteRoom(int maxWidth) const;

    // The number (index + 1) of the button pressed in the current pick, 0 while none has been.
    qint16 ChosenNumber() const { return m_chosenNumber; }
    QString ChosenCaption() const { return m_chosenCaption; }

    // Forgets the press of an earlier pick: the dialog is kept between picks.
    void clearChoice();

    // The layout is given as the window's outer size, frame included. The frame is what the
    // window system reports once it knows it, else the allowance of a fixed dialog frame; the
    // inner size is fitted again when the dialog is shown and the real frame differs.
    void setOuterSize(const QSize &outer);
    QMargins frameAllowance() const;

    // Centres every visible button across the inner width, and spreads the note across it under
    // the lowest of them.
    void centreButtons();

    // Places button i at top 120 + 480 × i twips, 375 high, as designed, all of it scaled by
    // factor (below 1 when the design would not fit on the screen).
    void placeRows(double factor);

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void press(int index);
    void fitInnerSize();

    std::array<QPushButton *, ButtonCount> m_choiceButtons = {};
    QStringList m_entries;
    QLabel *m_note = nullptr;
    qint16 m_chosenNumber = 0;
    QString m_chosenCaption;
    QSize m_outerSize;
    QMargins m_fittedFrame;
};

} // namespace throngkit
