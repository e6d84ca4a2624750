#include "geometry/KaLine3d.h"

#include <cmath>

// ---------------------------------------------------------------------------
// KaLine3d

KaLine3d::KaLine3d(KaPoint3d const& p1, KaPoint3d const& p2)
    : m_start(p1), m_end(p2), m_direction(Normalized(p2 - p1)) {}

KaLine3d::KaLine3d(KaPoint3d const& p, KaVector3d const& v)
    : m_start(p), m_end(p + Normalized(v)), m_direction(Normalized(v)) {}

void KaLine3d::setEnd(KaPoint3d const& p, bool updateDirection) {
    m_end = p;
    if (updateDirection)
        m_direction = Normalized(m_end - m_start);
}

bool KaLine3d::getClosestPointTo(KaPoint3d const& P, KaPoint3d& Q, bool unbounded) const {
    double const t = (P - m_start) * m_direction;
    Q = m_start + t * m_direction;
    return unbounded || (t >= 0.0 && t <= Norm(m_end - m_start));
}

double KaLine3d::getNormDistance(KaPoint3d const& P) const {
    return Norm((P - m_start) % m_direction);
}

bool KaLine3d::getDistAtPoint(KaPoint3d const& P, double& d) const {
    d = Norm(P - m_start);
    return getNormDistance(P) < 1e-10;
}

// ---------------------------------------------------------------------------
// KaPlane3d

KaPlane3d::KaPlane3d(KaVector3d const& n, double d) : m_n(Normalized(n)), m_d(d) {}

KaPlane3d::KaPlane3d(KaPoint3d const& P, KaVector3d const& N) {
    Orient(P, N);
}

KaPlane3d::KaPlane3d(KaPoint3d const& P, KaVector3d const& U, KaVector3d const& V) {
    Orient(P, U % V);
}

KaPlane3d::KaPlane3d(KaPoint3d const& P1, KaPoint3d const& P2, KaPoint3d const& P3) {
    Orient(P1, (P2 - P1) % (P2 - P3));
}

void KaPlane3d::Orient(KaPoint3d const& P, KaVector3d const& n) {
    m_n = n;
    if (m_n * -P.AsVector() < 0.0)
        m_n = -m_n;
    m_n.Normalize();
    m_d = -(m_n * P.AsVector());
}

int KaPlane3d::Intersect(KaLine3d const& l, KaPoint3d& Q) const {
    KaVector3d const dir = l.getDirection();
    double const s = m_n * dir;
    if (std::fabs(s) < 1e-6)
        return 1;
    double const t = (-m_d - m_n * l.getStart().AsVector()) / s;
    Q = l.getStart() + t * dir;
    return 0;
}
