#include "ui/captionfit.h"

#include "ui/keyboard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>

#include <algorithm>

namespace throngkit {

namespace {

// Set on the controls whose size this file chose, so that a refit starts from the window's font.
constexpr char FittedProperty[] = "throngkitFittedFont";
// On a control whose caption this file shortened: the caption whole and as shortened, and the
// tooltip before and after the whole caption was put in front of it.
constexpr char WholeProperty[] = "throngkitWholeCaption";
constexpr char ShortenedProperty[] = "throngkitShortenedCaption";
constexpr char OwnTipProperty[] = "throngkitOwnToolTip";
constexpr char FittedTipProperty[] = "throngkitFittedToolTip";
// On a button this file widened: its rectangle as it was and as widened.
constexpr char DesignRectProperty[] = "throngkitDesignRect";
constexpr char WidenedRectProperty[] = "throngkitWidenedRect";

// Below this a caption is hard to read at arm's length (an 11-pixel face is the design's): it is
// the floor, not a target; a caption longer than its room at this size is shortened instead.
constexpr int ReadablePixelSize = 9;

struct Caption
{
    QStringList texts;   // every text the control shows in the same room
    int room = -1;       // pixels of width for the text; negative: not a control with a caption
};

// An access key's marker takes no room: labels with a buddy, buttons and frames' titles have
// one; a label on its own shows an "&" as it is.
bool HasAccessKey(const QWidget &control)
{
    if (const auto *label = qobject_cast<const QLabel *>(&control))
        return label->buddy() != nullptr;
    return qobject_cast<const QAbstractButton *>(&control)
        || qobject_cast<const QGroupBox *>(&control);
}

// The one-line text of the controls whose caption can be shortened; null for the others.
QString TextOf(const QWidget &control)
{
    if (const auto *label = qobject_cast<const QLabel *>(&control))
        return label->wordWrap() ? QString() : label->text();
    if (const auto *box = qobject_cast<const QGroupBox *>(&control))
        return box->title();
    if (const auto *button = qobject_cast<const QAbstractButton *>(&control))
        return button->text();
    return {};
}

void SetTextOf(QWidget &control, const QString &text)
{
    if (auto *label = qobject_cast<QLabel *>(&control))
        label->setText(text);
    else if (auto *box = qobject_cast<QGroupBox *>(&control))
        box->setTitle(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(&control))
        button->setText(text);
}

// Pixels of the control's right end that a sibling further right covers on the control's middle
// line ("Weapon table:" and Browse share a line), with a little air: a caption there would run
// under it.
int CoveredOnTheRight(const QWidget &control)
{
    constexpr int Gap = 3;
    const QWidget *parent = control.parentWidget();
    if (!parent)
        return 0;
    const QRect own = control.geometry();
    int covered = 0;
    for (QObject *child : parent->children()) {
        const auto *sibling = qobject_cast<const QWidget *>(child);
        if (!sibling || sibling == &control || sibling->isHidden() || sibling->isWindow())
            continue;
        const QRect other = sibling->geometry();
        if (other.left() > own.left() && other.left() <= own.right()
            && other.top() <= own.center().y() && other.bottom() >= own.center().y())
            covered = std::max(covered, own.right() + 1 - other.left() + Gap);
    }
    return covered;
}

// The room the style itself leaves for the text, for the font of the moment.
Caption StyleCaptionOf(QWidget &control)
{
    QStyle *style = control.style();
    if (auto *label = qobject_cast<QLabel *>(&control)) {
        if (label->wordWrap() || label->text().isEmpty())
            return {};
        int indent = label->indent();
        if (indent < 0 && label->frameWidth() > 0)
            indent = label->fontMetrics().horizontalAdvance(u'x') / 2;
        return {{label->text()}, label->contentsRect().width() - 2 * label->margin()
                                     - std::max(indent, 0)};
    }
    if (auto *box = qobject_cast<QGroupBox *>(&control)) {
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.textAlignment = box->alignment();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        option.features = box->isFlat() ? QStyleOptionFrame::Flat : QStyleOptionFrame::None;
        option.lineWidth = 1;
        const QRect label =
            style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
        const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
        // The label rectangle is as wide as its text; the room is what lies left of the frame.
        return {{box->title()}, box->width() - frame - label.left()};
    }
    if (auto *combo = qobject_cast<QComboBox *>(&control)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        option.subControls = QStyle::SC_All;
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        return {items, style->subControlRect(QStyle::CC_ComboBox, &option,
                                             QStyle::SC_ComboBoxEditField, combo)
                           .width()};
    }
    auto *button = qobject_cast<QAbstractButton *>(&control);
    if (!button || button->text().isEmpty())
        return {};
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    if (qobject_cast<QRadioButton *>(button))
        return {{button->text()},
                style->subElementRect(QStyle::SE_RadioButtonContents, &option, button).width()};
    if (qobject_cast<QCheckBox *>(button))
        return {{button->text()},
                style->subElementRect(QStyle::SE_CheckBoxContents, &option, button).width()};
    // Room inside the frame with a pixel of air each side, not the style's whole margin: the
    // design's buttons are just wide enough for their captions.
    constexpr int Air = 1;
    if (qobject_cast<QPushButton *>(button))
        return {{button->text()},
                style->subElementRect(QStyle::SE_PushButtonContents, &option, button).width()
                    - 2 * Air};
    const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, button);
    return {{button->text()}, button->width() - 2 * frame - 2 * Air};
}

// The room the style leaves for the text, for the font of the moment, less what a neighbour
// covers.
Caption CaptionOf(QWidget &control)
{
    Caption caption = StyleCaptionOf(control);
    if (caption.room >= 0)
        caption.room -= CoveredOnTheRight(control);
    return caption;
}

int WidestText(const QStringList &texts, const QFontMetrics &metrics, bool accessKey)
{
    int widest = 0;
    for (const QString &text : texts)
        widest = std::max(widest, metrics.horizontalAdvance(accessKey ? WithoutAccessKey(text) : text));
    return widest;
}

int PixelSize(const QFont &font)
{
    return font.pixelSize() > 0 ? font.pixelSize() : QFontMetrics(font).height();
}

// Only the size is the control's own: family and weight still follow the window.
void SetOwnSize(QWidget &control, int pixelSize)
{
    QFont size;
    size.setPixelSize(pixelSize);
    control.setFont(size);
    control.setProperty(FittedProperty, true);
}

// Undoes what an earlier fit did: the inherited font, the whole caption, the tooltip as it was
// given. A caption or tooltip set since then is the control's new one and stays.
void Unfit(QWidget &control)
{
    if (control.property(FittedProperty).toBool()) {
        control.setFont(QFont());   // back to the window's font
        control.setProperty(FittedProperty, false);
    }
    if (control.property(WidenedRectProperty).isValid()) {
        if (control.geometry() == control.property(WidenedRectProperty).toRect())
            control.setGeometry(control.property(DesignRectProperty).toRect());
        control.setProperty(WidenedRectProperty, QVariant());
        control.setProperty(DesignRectProperty, QVariant());
    }
    if (!control.property(ShortenedProperty).isValid())
        return;
    if (TextOf(control) == control.property(ShortenedProperty).toString())
        SetTextOf(control, control.property(WholeProperty).toString());
    if (control.toolTip() == control.property(FittedTipProperty).toString())
        control.setToolTip(control.property(OwnTipProperty).toString());
    for (const char *name : {WholeProperty, ShortenedProperty, OwnTipProperty, FittedTipProperty})
        control.setProperty(name, QVariant());
}

// The largest pixel size from the control's own down to the readable floor at which its
// caption fits; the floor when none does, -1 for a control without a caption.
int FittingSize(QWidget &control)
{
    const Caption caption = CaptionOf(control);
    if (caption.room < 0)
        return -1;
    QFont font = control.font();
    const int own = PixelSize(font);
    const int floor = std::min(own, ReadablePixelSize);
    for (int size = own; size > floor; --size) {
        font.setPixelSize(size);
        if (WidestText(caption.texts, QFontMetrics(font), HasAccessKey(control)) <= caption.room)
            return size;
    }
    return floor;
}

// Sets the size fitted; a caption still too long at it is shortened with "…", and shown whole
// in the tooltip, in front of what the tooltip said.
void Apply(QWidget &control, int size)
{
    if (size < 0)
        return;
    if (size != PixelSize(control.font()))
        SetOwnSize(control, size);
    const QString text = TextOf(control);
    const Caption caption = CaptionOf(control);
    const bool accessKey = HasAccessKey(control);
    if (text.isEmpty() || WidestText({text}, control.fontMetrics(), accessKey) <= caption.room)
        return;
    const QString shortened = control.fontMetrics().elidedText(
        text, Qt::ElideRight, caption.room, accessKey ? Qt::TextShowMnemonic : 0);
    const QString own = control.toolTip();
    const QString whole = accessKey ? WithoutAccessKey(text) : text;
    const QString tip = own.isEmpty() ? whole : whole + u'\n' + own;
    control.setProperty(WholeProperty, text);
    control.setProperty(ShortenedProperty, shortened);
    control.setProperty(OwnTipProperty, own);
    control.setProperty(FittedTipProperty, tip);
    SetTextOf(control, shortened);
    control.setToolTip(tip);
}

bool IsRowButton(const QWidget *control)
{
    return qobject_cast<const QPushButton *>(control) || qobject_cast<const QToolButton *>(control);
}

// How many pixels the caption is wider than its room at size; none when it fits.
int Overflow(QWidget &control, int size)
{
    QFont font = control.font();
    font.setPixelSize(size);
    const Caption caption = CaptionOf(control);
    return std::max(0, WidestText(caption.texts, QFontMetrics(font), HasAccessKey(control)) - caption.room);
}

// Buttons side by side whose captions do not fit even at size ("Save .htm" in a wide face)
// grow alike, keeping their gaps, where the container has room beyond the row: a button's
// caption shortened is a riddle. A column, or a row without that room, keeps its rectangles.
void WidenRow(QList<QWidget *> row, int size, const QWidget &container)
{
    int need = 0;
    for (QWidget *button : std::as_const(row)) {
        if (button->y() != row.constFirst()->y())
            return;
        need = std::max(need, Overflow(*button, size));
    }
    if (need == 0)
        return;
    std::sort(row.begin(), row.end(), [](const QWidget *a, const QWidget *b) { return a->x() < b->x(); });
    if (row.constLast()->geometry().right() + need * int(row.size()) >= container.width())
        return;
    for (int i = 0; i < row.size(); ++i) {
        QWidget &button = *row.at(i);
        const QRect design = button.geometry();
        const QRect widened(design.x() + i * need, design.y(), design.width() + need, design.height());
        button.setProperty(DesignRectProperty, design);
        button.setProperty(WidenedRectProperty, widened);
        button.setGeometry(widened);
    }
}

} // namespace

void FitCaptions(QWidget &window)
{
    QList<QWidget *> controls;
    for (QWidget *control : window.findChildren<QWidget *>()) {
        if (control->window() == &window)   // not the controls of a window opened over it
            controls << control;
    }
    for (QWidget *control : std::as_const(controls))
        Unfit(*control);

    // A frame's smaller title must not shrink what the frame holds: its controls start from the
    // window's size and shrink only for their own captions.
    const int windowSize = PixelSize(window.font());
    for (QWidget *frame : std::as_const(controls)) {
        if (!qobject_cast<QGroupBox *>(frame))
            continue;
        Apply(*frame, FittingSize(*frame));
        if (!frame->property(FittedProperty).toBool())
            continue;
        for (QWidget *control : std::as_const(controls)) {
            if (control->parentWidget() == frame && !qobject_cast<QGroupBox *>(control))
                SetOwnSize(*control, windowSize);
        }
    }

    // A row whose buttons had sizes of their own would look unfinished.
    QHash<QWidget *, QList<QWidget *>> rows;
    for (QWidget *control : std::as_const(controls)) {
        if (IsRowButton(control) && control->isVisibleTo(&window) && FittingSize(*control) >= 0)
            rows[control->parentWidget()] << control;
    }
    QHash<QWidget *, int> rowSizes;
    for (auto row = rows.cbegin(); row != rows.cend(); ++row) {
        int size = windowSize;
        for (QWidget *button : row.value())
            size = std::min(size, FittingSize(*button));
        WidenRow(row.value(), size, *row.key());
        rowSizes.insert(row.key(), size);
    }
    for (QWidget *control : std::as_const(controls)) {
        if (qobject_cast<QGroupBox *>(control))
            continue;
        const auto row = rowSizes.constFind(control->parentWidget());
        Apply(*control, IsRowButton(control) && row != rowSizes.cend() ? *row : FittingSize(*control));
    }
}

QString WholeCaption(const QWidget &control)
{
    const QVariant whole = control.property(WholeProperty);
    const QString text = whole.isValid() ? whole.toString() : TextOf(control);
    return HasAccessKey(control) ? WithoutAccessKey(text) : text;
}

int TitleBarWidth(const QString &title)
{
    QFont bold = QApplication::font();
    bold.setBold(true);
    const int button = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return QFontMetrics(bold).horizontalAdvance(title) + 5 * button;
}

} // namespace throngkit
