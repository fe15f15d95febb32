#pragma once

// Keeps every caption whole inside its control. The layouts are fixed rectangles drawn for a
// narrow 8-point face; with a wider face a caption that would be cut gets a smaller font instead.
class QString;
class QWidget;

namespace throngkit {

// Fits the captions of every control under window (labels, buttons, option buttons, check
// boxes, frames' titles, drop-down lists) to the window's own font, shrinking only the controls
// whose text does not fit. Run again whenever the window's font or a caption changes.
void FitCaptions(QWidget &window);

// The width a window needs for its title to show whole in the title bar. The title bar belongs
// to the window manager, with a font and buttons of its own: the allowance is a bold face of the
// application's size and room for an icon, three buttons and their spacing.
int TitleBarWidth(const QString &title);

} // namespace throngkit
