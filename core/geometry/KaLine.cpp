#include "geometry/KaLine.h"

#include <utility>

KaLine::KaLine(double x1, double y1, double z1, double x2, double y2, double z2)
    : start(0, x1, y1, z1), end(0, x2, y2, z2) {}

void KaLine::Adjust() {
    if (!(start.x <= end.x && start.y <= end.y))
        std::swap(start, end);
}

int CounterClockwise(KaPoint const& a, KaPoint const& b, KaPoint const& c) {
    double const d1x = b.x - a.x, d1y = b.y - a.y;
    double const d2x = c.x - a.x, d2y = c.y - a.y;
    double const left = d1x * d2y, right = d2x * d1y;
    if (left > right)
        return 1;
    if (left < right)
        return -1;
    if (d2x * d1x < 0.0 || d2y * d1y < 0.0)
        return -1;
    if (d2x * d2x + d2y * d2y <= d1x * d1x + d1y * d1y)
        return 0;
    return 1;
}

bool Intersect(KaLine const& l1, KaLine const& l2) {
    KaLine a(l1), b(l2);
    a.Adjust();
    b.Adjust();
    if (CounterClockwise(a.start, a.end, b.end) * CounterClockwise(a.start, a.end, b.start) > 0)
        return false;
    return CounterClockwise(b.start, b.end, a.end) * CounterClockwise(b.start, b.end, a.start) <= 0;
}
