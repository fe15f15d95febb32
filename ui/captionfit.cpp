#include "ui/captionfit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
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

// Below this a caption is no longer readable; it is the floor, not a target.
constexpr int SmallestPixelSize = 6;

struct Caption
{
    QStringList texts;   // every text the control shows in the same room
    int room = -1;       // pixels of width for the text; negative: not a control with a caption
};

// The room the style itself leaves for the text, for the font of the moment.
Caption CaptionOf(QWidget &control)
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
    const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, &option, button);
    if (qobject_cast<QRadioButton *>(button))
        return {{button->text()},
                style->subElementRect(QStyle::SE_RadioButtonContents, &option, button).width()};
    if (qobject_cast<QCheckBox *>(button))
        return {{button->text()},
                style->subElementRect(QStyle::SE_CheckBoxContents, &option, button).width()};
    if (qobject_cast<QPushButton *>(button))
        return {{button->text()},
                style->subElementRect(QStyle::SE_PushButtonContents, &option, button).width()
                    - margin};
    const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, button);
    return {{button->text()}, button->width() - 2 * frame - margin};
}

int WidestText(const QStringList &texts, const QFontMetrics &metrics)
{
    int widest = 0;
    for (const QString &text : texts) {
        QString shown = text;
        shown.remove(u'&');   // an access key's marker takes no room ("&&" would, rarely)
        widest = std::max(widest, metrics.horizontalAdvance(shown));
    }
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

// startSize, when positive, is the size to start from instead of the inherited one.
void Fit(QWidget &control, int startSize)
{
    if (control.property(FittedProperty).toBool()) {
        control.setFont(QFont());   // back to the window's font
        control.setProperty(FittedProperty, false);
    }
    if (startSize > 0 && PixelSize(control.font()) != startSize)
        SetOwnSize(control, startSize);
    const Caption caption = CaptionOf(control);
    if (caption.room < 0 || WidestText(caption.texts, control.fontMetrics()) <= caption.room)
        return;

    QFont font = control.font();
    int size = PixelSize(font);
    while (size > SmallestPixelSize) {
        --size;
        font.setPixelSize(size);
        if (WidestText(caption.texts, QFontMetrics(font)) <= caption.room)
            break;
    }
    SetOwnSize(control, size);
}

} // namespace

void FitCaptions(QWidget &window)
{
    QList<QWidget *> controls;
    for (QWidget *control : window.findChildren<QWidget *>()) {
        if (control->window() == &window)   // not the controls of a window opened over it
            controls << control;
    }
    // A frame's smaller title must not shrink what the frame holds: its controls start from the
    // window's size and shrink only for their own captions.
    QList<QWidget *> shrunkFrames;
    for (QWidget *control : std::as_const(controls)) {
        if (!qobject_cast<QGroupBox *>(control))
            continue;
        Fit(*control, 0);
        if (control->property(FittedProperty).toBool())
            shrunkFrames << control;
    }
    const int windowSize = PixelSize(window.font());
    for (QWidget *control : std::as_const(controls)) {
        if (!qobject_cast<QGroupBox *>(control))
            Fit(*control, shrunkFrames.contains(control->parentWidget()) ? windowSize : 0);
    }
}

int TitleBarWidth(const QString &title)
{
    QFont bold = QApplication::font();
    bold.setBold(true);
    const int button = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return QFontMetrics(bold).horizontalAdvance(title) + 5 * button;
}

} // namespace throngkit
