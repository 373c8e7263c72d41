#pragma once

#include <QColor>
#include <QFont>

namespace corvane::graphstyle {

// The drawing's colours.
inline constexpr QRgb kWhite = 0xffffffff;
inline constexpr QRgb kBlack = 0xff000000;
inline constexpr QRgb kFrame = 0xffa0a0a0;
inline constexpr QRgb kRed = 0xffff0000;
inline constexpr QRgb kBlue = 0xff0000ff;
inline constexpr QRgb kGreen = 0xff008000;
inline constexpr QRgb kScaleText = 0xff303030;
/// The ring around a marked point (one the automatic line selection could not place):
/// red like a fault, but a ring well outside the marker, so that it stays apart from
/// a selected point's red dot and shows among crowded markers at any zoom.
inline constexpr QRgb kMarkRing = 0xffe00000;
inline constexpr double kMarkInnerRadius = 5.5;  // pixels from the point's centre
inline constexpr double kMarkOuterRadius = 8.0;

inline constexpr int kSegmentWidth = 2;

/// Label fonts: "Arial" at 8.8 points for rows and the scale, 12.8 points for
/// selected rows, sized in pixels for a device of `dpiY` dots per inch the way the
/// point size has always been converted (rounded to whole pixels). Liberation Sans,
/// metrically the same, stands in where Arial is not installed.
QFont smallFont(int dpiY);
QFont largeFont(int dpiY);

}  // namespace corvane::graphstyle
