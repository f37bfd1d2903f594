// Small value types and conversions shared by the display windows' arithmetic.
// No platform headers: the window procedures turn these into GDI calls.
#ifndef TAVREL_WINDOWS_DISPLAY_MATH_H
#define TAVREL_WINDOWS_DISPLAY_MATH_H

#include <climits>
#include <cmath>

// A colour as (red, green, blue), each 0..255.
struct RgbColour {
    int red, green, blue;
};

inline bool operator==(RgbColour a, RgbColour b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}
inline bool operator!=(RgbColour a, RgbColour b)
{
    return !(a == b);
}

// A line from (x1, y1) to (x2, y2) in client pixels; the platform leaves out
// the end point.
struct LineSegment {
    int x1, y1, x2, y2;
};

inline bool operator==(const LineSegment& a, const LineSegment& b)
{
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

// A rectangle in client pixels; right and bottom are excluded.
struct PixelRect {
    int left, top, right, bottom;
};

inline bool operator==(const PixelRect& a, const PixelRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

const RgbColour kBlack = {0, 0, 0};
const RgbColour kBlue = {0, 0, 255};
const RgbColour kRed = {255, 0, 0};

// Truncates toward zero like a C cast, but saturates at the int range and
// maps NaN to 0, so values formed from unchecked settings stay defined.
inline int TruncToInt(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return INT_MAX;
    if (v <= -2147483648.0)
        return INT_MIN;
    return static_cast<int>(v);
}

// Narrows a 64-bit intermediate to int, saturating at the int range.
inline int ClampToInt(long long v)
{
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

#endif
