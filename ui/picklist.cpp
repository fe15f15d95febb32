#include "ui/picklist.h"

#include "ui/captionfit.h"
#include "ui/spickbox.h"
#include "ui/twips.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStringList>

#include <algorithm>

namespace throngkit {

namespace {

// The driver holds the entries in 19 slots; entries beyond them are not offered.
constexpr int EntrySlots = 19;

// Sizes follow the character counts alone, 100 twips a character, whatever the glyphs.
constexpr int TwipsPerCharacter = 100;

QScreen *ScreenFor(const QWidget *parent)
{
    if (parent && parent->screen())
        return parent->screen();
    return QGuiApplication::primaryScreen();
}

} // namespace

PickList::PickList(QWidget *parent) : m_parent(parent) {}

// The dialog is a child of the parent window but belongs to this driver.
PickList::~PickList()
{
    delete m_dialog;
}

SPICKBOX *PickList::dialog() const
{
    return m_dialog;
}

qint16 PickList::PickFromList(const QString &choiceText, const QString &title, const QString &note)
{
    // Empty entries count like any other: "A//B" is three, "A/" ends with an empty one.
    QStringList entries = choiceText.split(u'/', Qt::KeepEmptyParts);
    if (entries.size() > EntrySlots)
        entries.resize(EntrySlots);
    const int entryCount = static_cast<int>(entries.size());

    if (!m_dialog)
        m_dialog = new SPICKBOX(m_parent);
    SPICKBOX &box = *m_dialog;

    box.setWindowTitle(title);
    box.setEntries(entries);
    box.setNote(note);

    qsizetype widestCharacters = title.size();
    for (const QString &entry : std::as_const(entries))
        widestCharacters = std::max(widestCharacters, entry.size());
    const int characters = static_cast<int>(widestCharacters);

    // Hidden buttons get the width too, so that every button of the array stays alike.
    const int buttonWidth = TwipsToPixels(150 + TwipsPerCharacter * characters);
    for (int index = 0; index < SPICKBOX::ButtonCount; ++index) {
        QPushButton *button = box.choiceButton(index);
        button->resize(buttonWidth, button->height());
    }

    QSize outer = TwipsSize(800 + TwipsPerCharacter * characters, 500 * (entryCount + 1));
    outer.setWidth(std::max(outer.width(), TitleBarWidth(title)));

    const QScreen *screen = ScreenFor(m_parent);
    const QRect area = screen ? screen->availableGeometry() : QRect();

    // A note widens the dialog to its longest line where the screen has room, and lengthens it.
    const QMargins frame = box.frameAllowance();
    const QSize noteRoom = box.noteRoom((screen ? area.width() : outer.width()) - frame.left() - frame.right());
    outer = QSize(std::max(outer.width(), noteRoom.width() + frame.left() + frame.right()),
                  outer.height() + noteRoom.height());

    // The dialog lies wholly on the screen that holds the calling window: where the design is
    // taller than that screen (many entries, a scaled desktop) the rows close up, and where it
    // is wider the buttons narrow, their captions taking a smaller font.
    double rowFactor = 1.0;
    if (screen && outer.height() > area.height()) {
        rowFactor = double(std::max(1, area.height() - noteRoom.height())) / (outer.height() - noteRoom.height());
        outer.setHeight(area.height());
    }
    if (screen && outer.width() > area.width()) {
        const int narrower = outer.width() - area.width();
        for (int index = 0; index < SPICKBOX::ButtonCount; ++index) {
            QPushButton *button = box.choiceButton(index);
            button->resize(std::max(1, button->width() - narrower), button->height());
        }
        outer.setWidth(area.width());
    }
    box.placeRows(rowFactor);
    box.setOuterSize(outer);
    box.centreButtons();
    FitCaptions(box);

    // A top-level window's position is that of its frame, so the outer size centres it; the
    // centre is the whole screen's, the bounds what panels leave free.
    if (screen) {
        const QRect whole = screen->geometry();
        const int left = whole.x() + whole.width() / 2 - outer.width() / 2;
        const int top = whole.y() + whole.height() / 2 - outer.height() / 2;
        box.move(std::clamp(left, area.left(), area.left() + area.width() - outer.width()),
                 std::clamp(top, area.top(), area.top() + area.height() - outer.height()));
    }

    // Every pick starts at its first entry, not where the last one was pressed.
    box.choiceButton(0)->setFocus();
    box.clearChoice();
    box.exec();

    m_pickedNumber = box.ChosenNumber();
    m_pickedCaption = box.ChosenCaption();
    if (m_pickedNumber == 0) {
        // Closed by its frame (or Escape): the dialog goes, and the next pick makes a new one.
        delete m_dialog;
        m_dialog = nullptr;
    }
    return m_pickedNumber;
}

} // namespace throngkit
