#pragma once

#include "TarvisExport.h"
#include "model/KaPoint.h"

// A segment from start to end.
class TARVIS_API KaLine {
public:
    KaLine() = default;
    KaLine(double x1, double y1, double z1, double x2, double y2, double z2);
    KaLine(KaPoint const& a, KaPoint const& b) : start(a), end(b) {}
    KaLine(KaLine const& other) = default;
    KaLine& operator=(KaLine const& other) = default;

    // Exchanges start and end unless start.x <= end.x and start.y <= end.y.
    void Adjust();

    KaPoint start;
    KaPoint end;
};

// The turn a -> b -> c on x and y: 1 to the left, -1 to the right. For collinear
// points: -1 when c lies behind a, 0 when c lies on the segment ab, 1 beyond b.
TARVIS_API int CounterClockwise(KaPoint const& a, KaPoint const& b, KaPoint const& c);

// The two segments share at least one point; touching and collinear overlap count.
TARVIS_API bool Intersect(KaLine const& l1, KaLine const& l2);
