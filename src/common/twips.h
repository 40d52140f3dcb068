#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Window sizes are designed in twips (1/1440 inch); at 96 dots per inch 15 twips make a pixel.
namespace Twips {

constexpr int kPerPixel = 15;

constexpr int toPixels(int twips)
{
    return twips >= 0 ? (twips + kPerPixel / 2) / kPerPixel : -((-twips + kPerPixel / 2) / kPerPixel);
}

constexpr int fromPixels(int pixels)
{
    return pixels * kPerPixel;
}

constexpr QPoint point(int left, int top)
{
    return {toPixels(left), toPixels(top)};
}

constexpr QSize size(int width, int height)
{
    return {toPixels(width), toPixels(height)};
}

constexpr QRect rect(int left, int top, int width, int height)
{
    return {point(left, top), size(width, height)};
}

} // namespace Twips
