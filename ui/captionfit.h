#pragma once

// Keeps every caption readable inside its control. The layouts are fixed rectangles drawn for a
// narrow 8-point face; with a wider face a caption that would be cut gets a smaller font, down
// to a size still easy to read, and below that is shortened with "…" and shown whole in its
// tooltip.
class QString;
class QWidget;

namespace throngkit {

// Fits the captions of every control under window (labels, buttons, option buttons, check
// boxes, frames' titles, drop-down lists) to the window's own font, shrinking only the controls
// whose text does not fit, never under a neighbour on the same line. The push and tool buttons of
// one container are a row and share one size, the largest at which all of them fit; buttons side
// by side that are too narrow even at the readable size grow alike where the container has room.
// Run again whenever the window's font or a caption changes; a tooltip set before the run stays,
// after the whole caption.
void FitCaptions(QWidget &window);

// The caption of control as it reads in full: whole where FitCaptions shortened it, without
// the access key's marker where it has one.
QString WholeCaption(const QWidget &control);

// The width a window needs for its title to show whole in the title bar. The title bar belongs
// to the window manager, with a font and buttons of its own: the allowance is a bold face of the
// application's size and room for an icon, three buttons and their spacing.
int TitleBarWidth(const QString &title);

} // namespace throngkit
