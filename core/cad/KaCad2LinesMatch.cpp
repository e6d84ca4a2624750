#include "cad/KaCad2LinesMatch.h"

#include "numerics/KaMatrix.h"

#include <cmath>
#include <numbers>

namespace {

// The end of the segment a-b farther from q; *towardsNearer is the sign that
// moves q along a -> b towards the other, nearer end.
KaPoint3d FartherEnd(KaPoint3d const& q, KaPoint3d const& a, KaPoint3d const& b, double* towardsNearer) {
    if (Distance(q, a) < Distance(q, b)) {
        *towardsNearer = -1.0;
        return b;
    }
    *towardsNearer = 1.0;
    return a;
}

} // namespace

KaCad2LinesMatch::KaCad2LinesMatch(KaPoint3d P1, KaPoint3d P2, KaPoint3d P3, KaPoint3d P4, double param1,
                                   double param2, double angleDeg)
    : m_P1(P1), m_P2(P2), m_P3(P3), m_P4(P4), m_param1(param1), m_param2(param2), m_E1(0, 0, 0),
      m_Q1(0, 0, 0), m_E2(0, 0, 0), m_Q2(0, 0, 0) {
    m_valid = Calc(std::cos((90.0 - angleDeg) * std::numbers::pi / 180.0));
}

KaCad2LinesMatch::~KaCad2LinesMatch() = default;

bool KaCad2LinesMatch::Calc(double sinTol) {
    m_valid = false;
    m_parallel = false;
    KaVector3d u = m_P2 - m_P1;
    KaVector3d v = m_P4 - m_P3;
    double const l1 = u.Norm();
    double const l2 = v.Norm();
    // A line needs two distinct, finite points.
    if (!(l1 > 0.0) || !(l2 > 0.0) || !std::isfinite(l1) || !std::isfinite(l2))
        return false;
    u /= l1;
    v /= l2;
    KaVector3d const w = u % v;

    double f1 = 0.0;
    double f2 = 0.0;
    if (w.Norm() > sinTol) {
        // t * w + s * u - r * v = P3 - P1: the connecting segment runs along w.
        KaMatrix a(3, 3);
        KaMatrix rhs(3, 1);
        KaVector3d const d = m_P3 - m_P1;
        for (int i = 0; i < 3; ++i) {
            a.SetElem(i + 1, 1, w[i]);
            a.SetElem(i + 1, 2, u[i]);
            a.SetElem(i + 1, 3, -v[i]);
            rhs.SetElem(i + 1, 1, d[i]);
        }
        if (GaussLoeserRelMax(a, rhs) != 0)
            return false;
        double const s = rhs.GetElem(2, 1);
        double const r = rhs.GetElem(3, 1);
        KaPoint3d const q1 = m_P1 + s * u;
        KaPoint3d const q2 = m_P3 + r * v;
        KaPoint3d const e1 = FartherEnd(q1, m_P1, m_P2, &f1);
        KaPoint3d const e2 = FartherEnd(q2, m_P3, m_P4, &f2);
        m_Q1 = m_P1 + (s + f1 * m_param1) * u;
        m_Q2 = m_P3 + (r + f2 * m_param2) * v;
        m_E1 = e1;
        m_E2 = e2;
        m_valid = true;
        return true;
    }

    // Parallel: the midpoint of the nearest pair of end points, dropped onto both lines.
    KaPoint3d const* const ends1[2] = {&m_P1, &m_P2};
    KaPoint3d const* const ends2[2] = {&m_P3, &m_P4};
    KaPoint3d const* best1 = ends1[0];
    KaPoint3d const* best2 = ends2[0];
    double bestDistance = ::Distance(*best1, *best2);
    for (KaPoint3d const* e1 : ends1)
        for (KaPoint3d const* e2 : ends2) {
            double const dist = ::Distance(*e1, *e2);
            if (dist < bestDistance) {
                bestDistance = dist;
                best1 = e1;
                best2 = e2;
            }
        }
    KaPoint3d const mid = AffinCombination(*best1, *best2, 1.0, 1.0);
    m_Q1 = m_P1 + ((mid - m_P1) * u) * u;
    m_Q2 = m_P3 + ((mid - m_P3) * v) * v;
    m_E1 = FartherEnd(m_Q1, m_P1, m_P2, &f1);
    m_E2 = FartherEnd(m_Q2, m_P3, m_P4, &f2);
    m_parallel = true;
    m_valid = true;
    return true;
}

double KaCad2LinesMatch::Distance() const {
    return ::Distance(m_Q1, m_Q2);
}

KaPoint3d KaCad2LinesMatch::MiddlePoint() const {
    return AffinCombination(m_Q1, m_Q2, 1.0, 1.0);
}

int KaCad2LinesMatch::ValueDistance() const {
    double const d = Distance();
    double const m = std::fmin(::Distance(m_E1, m_Q1), ::Distance(m_E2, m_Q2));
    if (d == 0.0 || m == 0.0)
        return 0;
    return d / m <= 0.05 ? 1 : 2;
}
