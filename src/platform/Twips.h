#pragma once

// Geometry is kept in twips, the program's own unit: 1440 per inch, 15 per
// logical pixel. Conversion happens only where a widget is placed.
namespace Twips {
constexpr int perPixel = 15;
constexpr int toPixels(int twips) {
    return twips / perPixel;
}
constexpr int fromPixels(int pixels) {
    return pixels * perPixel;
}
} // namespace Twips
