#include "geometry.h"

#include <cmath>
#include <limits>

namespace corvane {
namespace {

double distance(PlanePoint from, PlanePoint to) {
    const double dx = from.x - to.x;
    const double dy = from.y - to.y;
    return std::sqrt(dx * dx + dy * dy);
}

// A radicand that rounding took below zero (or that overflowed to no number) is zero.
double rootOrZero(double radicand) {
    return radicand > 0.0 ? std::sqrt(radicand) : 0.0;
}

}  // namespace

FootOfPerpendicular PerpendicularFoot(PlanePoint a, PlanePoint b, PlanePoint p) {
    const double h = distance(p, b);
    const double l = distance(p, a);
    const double o = distance(b, a);
    FootOfPerpendicular foot;
    // The height over AB divides by o; without a line there is no foot, only the start.
    auto withoutLine = [&] {
        foot.d = l;
        foot.u = 0.0;
        foot.v = h;
        foot.inside = false;
        return foot;
    };
    // Coordinates too large for the arithmetic give no foot at all, never a wrong one.
    auto overflowed = [&] {
        constexpr double kInfinity = std::numeric_limits<double>::infinity();
        foot.d = kInfinity;
        foot.u = kInfinity;
        foot.v = kInfinity;
        foot.inside = false;
        return foot;
    };
    if (!std::isfinite(h) || !std::isfinite(l) || !std::isfinite(o))
        return overflowed();
    if (!(o > 0.0))
        return withoutLine();
    const double s = (o + (l + h)) * 0.5;
    const double product = s * (s - h) * (s - l) * (s - o);
    if (!std::isfinite(product))
        return overflowed();
    const double area = rootOrZero(product);
    const double d = 2.0 * area / o;
    if (!std::isfinite(d))
        return withoutLine();
    foot.d = d;
    foot.u = rootOrZero(l * l - d * d);
    foot.v = rootOrZero(h * h - d * d);
    foot.inside = std::fabs(foot.v + foot.u - o) < 1e-8;
    return foot;
}

}  // namespace corvane
