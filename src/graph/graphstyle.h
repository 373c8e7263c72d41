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

inline constexpr int kSegmentWidth = 2;

/// Label fonts: "Arial" at 8.8 points for rows and the scale, 12.8 points for
/// selected rows, sized in pixels for a device of `dpiY` dots per inch the way the
/// point size has always been converted (rounded to whole pixels). Liberation Sans,
/// metrically the same, stands in where Arial is not installed.
QFont smallFont(int dpiY);
QFont largeFont(int dpiY);

}  // namespace corvane::graphstyle
