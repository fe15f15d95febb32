#include "ui/spickbox.h"

#include "ui/captionfit.h"
#include "ui/keyboard.h"
#include "ui/twips.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QWindow>

#include <algorithm>

namespace throngkit {

namespace {

// A fixed dialog frame of the design: 3 pixels of border round the inner area and a 19-pixel
// caption bar above it.
constexpr QMargins DesignFrame(3, 3 + 19, 3, 3);

// The note keeps the buttons' distance from the left edge of the design (120 twips), both sides.
constexpr int NoteMargin = TwipsToPixels(120);

} // namespace

SPICKBOX::SPICKBOX(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SPICKBOX"));
    setWindowTitle(QStringLiteral("Select"));
    // Only a close button: the size belongs to the driver, and a help button would mean nothing.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setSizeGripEnabled(false);

    QFont font = DesignFont();
    font.setBold(true);
    setFont(font);

    for (int index = 0; index < ButtonCount; ++index) {
        auto *button = new QPushButton(this);
        button->setObjectName(QStringLiteral("Command1_%1").arg(index));
        // The driver sets widths and lefts pick by pick, and the rows only when the screen is
        // too small for them.
        button->setGeometry(Twips(360, 120 + 480 * index, 0, 375));
        button->hide();
        connect(button, &QPushButton::clicked, this, [this, index] { press(index); });
        m_choiceButtons[static_cast<std::size_t>(index)] = button;
    }

    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("Label1"));
    m_note->setTextFormat(Qt::PlainText);   // file names and reasons, never markup
    m_note->setWordWrap(true);
    QFont plain;
    plain.setBold(false);
    m_note->setFont(plain);
    m_note->hide();
}

void SPICKBOX::setEntries(const QStringList &entries)
{
    m_entries = entries.mid(0, ButtonCount);
    const QStringList captions = WithAccessKeys(m_entries);
    for (int index = 0; index < ButtonCount; ++index) {
        QPushButton *button = m_choiceButtons[static_cast<std::size_t>(index)];
        button->setVisible(index < captions.size());
        button->setText(captions.value(index));
    }
}

void SPICKBOX::setNote(const QString &note)
{
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
}

QSize SPICKBOX::noteRoom(int maxWidth) const
{
    if (m_note->text().isEmpty())
        return {0, 0};
    int widest = 0;
    for (const QString &line : m_note->text().split(u'\n'))
        widest = std::max(widest, m_note->fontMetrics().horizontalAdvance(line) + 1);
    const int width = std::max(1, std::min(widest, maxWidth - 2 * NoteMargin));
    return {width + 2 * NoteMargin, m_note->heightForWidth(width) + NoteMargin};
}

QPushButton *SPICKBOX::choiceButton(int index) const
{
    if (index < 0 || index >= ButtonCount)
        return nullptr;
    return m_choiceButtons[static_cast<std::size_t>(index)];
}

void SPICKBOX::clearChoice()
{
    m_chosenNumber = 0;
    m_chosenCaption.clear();
}

QMargins SPICKBOX::frameAllowance() const
{
    if (const QWindow *window = windowHandle()) {
        const QMargins reported = window->frameMargins();
        if (!reported.isNull())
            return reported;
    }
    return DesignFrame;
}

void SPICKBOX::setOuterSize(const QSize &outer)
{
    m_outerSize = outer;
    fitInnerSize();
}

void SPICKBOX::fitInnerSize()
{
    m_fittedFrame = frameAllowance();
    setFixedSize(qMax(1, m_outerSize.width() - m_fittedFrame.left() - m_fittedFrame.right()),
                 qMax(1, m_outerSize.height() - m_fittedFrame.top() - m_fittedFrame.bottom()));
}

void SPICKBOX::centreButtons()
{
    int bottom = 0;
    for (QPushButton *button : m_choiceButtons) {
        if (!button->isHidden()) {
            button->move(width() / 2 - button->width() / 2, button->y());
            bottom = button->geometry().bottom() + 1;
        }
    }
    const int noteWidth = width() - 2 * NoteMargin;
    m_note->setGeometry(NoteMargin, bottom + NoteMargin, noteWidth, m_note->heightForWidth(noteWidth));
}

void SPICKBOX::placeRows(double factor)
{
    for (int index = 0; index < ButtonCount; ++index) {
        QPushButton *button = m_choiceButtons[static_cast<std::size_t>(index)];
        const int top = TwipsToPixels(static_cast<int>((120 + 480 * index) * factor));
        const int height = TwipsToPixels(static_cast<int>(375 * factor));
        button->setGeometry(button->x(), top, button->width(), height);
    }
}

void SPICKBOX::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        FitCaptions(*this);
}

void SPICKBOX::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The window system may know its frame only now; the outer size is what was asked for.
    if (m_outerSize.isValid() && frameAllowance() != m_fittedFrame) {
        fitInnerSize();
        centreButtons();
    }
}

void SPICKBOX::press(int index)
{
    m_chosenNumber = static_cast<qint16>(index + 1);
    m_chosenCaption = m_entries.value(index);
    // Accepting hides the dialog and ends the driver's wait; the dialog itself stays for the
    // next pick.
    accept();
}

} // namespace throngkit
