#pragma once

// Layout helpers of the windows: their rectangles are designed in twips (1/1440 inch), 15 to a
// pixel at 96 dots per inch, and their texts in the small sans-serif face of that design.
#include <QFont>
#include <QRect>
#include <QSize>
#include <QStringList>

namespace throngkit {

inline constexpr int TwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips) noexcept
{
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

// Left, Top, Width, Height in twips, relative to the container.
constexpr QRect Twips(int left, int top, int width, int height) noexcept
{
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                 TwipsToPixels(height));
}

constexpr QSize TwipsSize(int width, int height) noexcept
{
    return QSize(TwipsToPixels(width), TwipsToPixels(height));
}

// The face the rectangles were drawn for was an 8-point sans-serif of 11 pixels at 96 dots per
// inch, MS Sans Serif. The size is given in pixels so that it keeps to the layout, which is in
// pixels too, whatever dots per inch the desktop claims; scaling enlarges both alike. Windows
// has that face (Microsoft Sans Serif is its scalable twin, which every Windows since 2000 has).
// Elsewhere Liberation Sans (Arial's metrics, in the Debian package's dependencies) comes
// closest among the free faces; DejaVu Sans, wider, is on every Debian desktop. Captions that a
// wider face would cut get a smaller size of their own (FitCaptions).
inline QFont DesignFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("MS Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                      QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

// The listing's fixed-pitch face, on screen and on paper. Where Courier New is missing,
// fontconfig maps it to its metric twin (Liberation Mono); the hints keep the listing
// fixed-pitch wherever neither exists.
inline QFont ListingFont()
{
    QFont font;
    // Named in turn, not left to fontconfig's aliases, which a trimmed font set may lack.
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                      QStringLiteral("Cousine"), QStringLiteral("DejaVu Sans Mono")});
    font.setPointSizeF(8.25);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

} // namespace throngkit
