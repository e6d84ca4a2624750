#include "cad/KaCadBogenschlag.h"

#include <algorithm>
#include <cmath>

KaCadBogenschlag::KaCadBogenschlag(KaPoint3d const& P1, double r1, KaPoint3d const& P2, double r2, double eps)
    : m_P1(P1), m_r1(r1), m_P2(P2), m_r2(r2), m_S1(0, 0, 0), m_S2(0, 0, 0), m_Base(0, 0, 0) {
    m_valid = Calc(eps);
}

KaCadBogenschlag::~KaCadBogenschlag() = default;

bool KaCadBogenschlag::Calc(double eps) {
    m_valid = false;
    m_concentric = false;
    KaVector3d const dp = m_P2 - m_P1;
    double const d = dp.Norm();
    if (!std::isfinite(d) || !std::isfinite(m_r1) || !std::isfinite(m_r2) || m_r1 < 0.0 || m_r2 < 0.0)
        return false;
    double const dr = std::fabs(m_r1 - m_r2);
    if (d <= eps && dr <= eps) {
        m_concentric = true;
        return false;
    }
    // Distinct circles about one centre never meet; this also keeps d off zero below.
    if (d <= std::max(eps, 0.0))
        return false;
    // Apart, or one inside the other; within eps they touch.
    if (d > m_r1 + m_r2 + eps || d < dr - eps)
        return false;

    double const a = (d * d + m_r1 * m_r1 - m_r2 * m_r2) / (2.0 * d);
    double const h2 = m_r1 * m_r1 - a * a;
    // Negative only for circles touching within eps (or by rounding): one point.
    double const h = h2 > 0.0 ? std::sqrt(h2) : 0.0;
    KaVector3d const u = dp / d;
    KaPoint3d const base = m_P1 + a * u;
    KaPoint3d s1 = base;
    KaPoint3d s2 = base;
    if (h > 0.0) {
        // The horizontal perpendicular; centres on a plumb line leave the plane of
        // the intersections undetermined.
        KaVector3d p(u.y(), -u.x(), 0.0);
        double const lp = p.Norm();
        if (!(lp > 1e-10))
            return false;
        p /= lp;
        s1 = base + h * p;
        s2 = base - h * p;
    }
    m_Base = base;
    m_S1 = s1;
    m_S2 = s2;
    m_valid = true;
    return true;
}

KaPoint3d KaCadBogenschlag::GetNearestPoint(KaPoint3d const& Q) const {
    return Distance(Q, m_S2) >= Distance(Q, m_S1) ? m_S1 : m_S2;
}

KaPoint3d KaCadBogenschlag::GetConcentricPx(double a) const {
    return m_P1 + m_r1 * KaVector3d(std::cos(a), std::sin(a), 0.0);
}
