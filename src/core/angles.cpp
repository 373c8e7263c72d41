#include "angles.h"

#include <cmath>

namespace corvane {

double Azimuth(double x1, double y1, double x2, double y2) {
    double a = std::atan2(y2 - y1, x2 - x1);
    if (a < 0.0)
        a += kTwoPi;
    return a;
}

double DirectionFromEast(double north1, double east1, double north2, double east2) {
    double a = std::atan2(north2 - north1, east2 - east1);
    if (a < 0.0)
        a += kTwoPi;
    return a;
}

double PackDms(double x) {
    const double g = x / kPi * 180.0;
    const double d = std::trunc(g);
    const double m = std::trunc((g - d) * 60.0);
    const double s = ((g - d) * 60.0 - m) * 60.0;
    return s * 0.0001 + (d + m * 0.01);
}

double FoldHalfTurn(double x) {
    if (x >= kHalfPi)
        return x > kThreeHalfPi ? x - kTwoPi : x - kPi;
    if (x <= -kHalfPi)
        return x >= -kThreeHalfPi ? x + kPi : x + kTwoPi;
    return x;
}

}  // namespace corvane
