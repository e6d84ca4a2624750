#include "cad/KaCadArc.h"

#include "geometry/KaAffinMap3d.h"
#include "geometry/KaVector3d.h"
#include "model/KaPointList.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace {

// Below this sine of the angle between the two chords the points count as
// collinear: the circle would be determined by rounding noise alone.
constexpr double CollinearSine = 1e-10;

KaPoint3d AsPoint3d(KaPoint const& p) {
    return {p.x, p.y, p.z};
}

// The counter-clockwise turn from angle `from` to angle `to`, both in [0, 2 pi].
double Sweep(double from, double to) {
    double s = to - from;
    if (s < 0.0)
        s += 2.0 * std::numbers::pi;
    return s;
}

} // namespace

KaCadArc::KaCadArc(KaPointList const* points) {
    Reset();
    m_status = StatusTooFewPoints;
    CalcArc(points);
}

KaCadArc::~KaCadArc() = default;

void KaCadArc::Reset() {
    m_center = KaPoint(0, 0.0, 0.0, 0.0, 0);
    m_centerUCS = KaPoint(0, 0.0, 0.0, 0.0, 0);
    m_normal.Clear();
    m_radius = 0.0;
    m_startAngle = 0.0;
    m_endAngle = 0.0;
}

int KaCadArc::CalcArc(KaPointList const* points) {
    if (!points || points->Count() < 3)
        return 0;
    KaPoint3d const p1 = AsPoint3d(*points->Get(0));
    KaPoint3d const p2 = AsPoint3d(*points->Get(1));
    KaPoint3d const p3 = AsPoint3d(*points->Get(2));

    // The plane normal from the chords at the middle point. Coincident points give
    // a zero chord; collinear ones (or nearly so) a cross product that is zero or
    // rounding noise.
    KaVector3d const chordA = p1 - p2;
    KaVector3d const chordC = p3 - p2;
    double const la = chordA.Norm();
    double const lc = chordC.Norm();
    KaVector3d n = chordA % chordC;
    double const ln = n.Norm();
    if (!(la > 0.0) || !(lc > 0.0) || !std::isfinite(ln) || !(ln / la / lc > CollinearSine)) {
        Reset();
        m_status = StatusCollinear;
        return 0;
    }
    n /= ln;

    // Into the plane's own system, where the three points share one z.
    KaAffinMap3d const toWorld = MapEcsToWcs(n);
    KaAffinMap3d const toPlane = Inv(toWorld);
    KaPoint3d const a = toPlane.Transform(p1);
    KaPoint3d const b = toPlane.Transform(p2);
    KaPoint3d const c = toPlane.Transform(p3);

    // The centre m relative to b lies on both chord bisectors:
    //   v.x * m.x + v.y * m.y = |v|^2 / 2 for v = a - b and v = c - b.
    // The row with the larger x coefficient is the pivot.
    struct Row {
        double x, y, r;
    };
    auto bisector = [&b](KaPoint3d const& e) {
        double const vx = e.x() - b.x();
        double const vy = e.y() - b.y();
        return Row{vx, vy, 0.5 * (vx * vx + vy * vy)};
    };
    Row p = bisector(a);
    Row q = bisector(c);
    if (std::fabs(q.x) > std::fabs(p.x))
        std::swap(p, q);
    if (p.x == 0.0) { // both chords along the plane y axis
        Reset();
        m_status = StatusCollinear;
        return 0;
    }
    double const my = (q.r - p.r * q.x / p.x) / (q.y - q.x * p.y / p.x);
    double const mx = (p.r - my * p.y) / p.x;
    double const radius = std::hypot(mx, my);
    if (!std::isfinite(mx) || !std::isfinite(my) || !std::isfinite(radius)) {
        Reset();
        m_status = StatusCollinear;
        return 0;
    }

    KaPoint3d const m(b.x() + mx, b.y() + my, b.z());
    double const angleA = NormAngle(std::atan2(a.y() - m.y(), a.x() - m.x()));
    double const angleB = NormAngle(std::atan2(b.y() - m.y(), b.x() - m.x()));
    double const angleC = NormAngle(std::atan2(c.y() - m.y(), c.x() - m.x()));
    // Counter-clockwise from A to C when that way passes B, else from C to A.
    if (Sweep(angleA, angleB) <= Sweep(angleA, angleC)) {
        m_startAngle = angleA;
        m_endAngle = angleC;
    } else {
        m_startAngle = angleC;
        m_endAngle = angleA;
    }

    KaPoint3d const w = toWorld.Transform(m);
    m_radius = radius;
    m_centerUCS = KaPoint(0, m.x(), m.y(), m.z(), 0);
    m_center = KaPoint(0, w.x(), w.y(), w.z(), 0);
    m_normal[1] = n.x();
    m_normal[2] = n.y();
    m_normal[3] = n.z();
    m_status = StatusOk;
    return 1;
}

double KaCadArc::GetSweepAngle() const {
    return IsOk() ? Sweep(m_startAngle, m_endAngle) : 0.0;
}

double KaCadArc::GetArcLength() const {
    return IsOk() ? GetSweepAngle() * m_radius : 0.0;
}

double KaCadArc::GetCircleLength() const {
    return IsOk() ? 2.0 * std::numbers::pi * m_radius : 0.0;
}

double KaCadArc::GetArcArea() const {
    return IsOk() ? GetSweepAngle() * m_radius * m_radius * 0.5 : 0.0;
}

double KaCadArc::GetCircleArea() const {
    return IsOk() ? std::numbers::pi * m_radius * m_radius : 0.0;
}
