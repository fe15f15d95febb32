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

// The face the rectangles were drawn for; where it is missing, a sans-serif of the same
// metrics (Arial's twin ships with fonts-liberation) keeps the captions inside their controls.
inline QFont DesignFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    return font;
}

// The listing's fixed-pitch face, on screen and on paper. Where Courier New is missing,
// fontconfig maps it to its metric twin (Liberation Mono); the hints keep the listing
// fixed-pitch wherever neither exists.
inline QFont ListingFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setPointSizeF(8.25);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

} // namespace throngkit
