#pragma once

#include "TarvisExport.h"
#include "geometry/KaVector3d.h"

// A line in space given by a start point, an end point and the unit direction.
class TARVIS_API KaLine3d {
public:
    KaLine3d() = default;
    // From p1 to p2.
    KaLine3d(KaPoint3d const& p1, KaPoint3d const& p2);
    // From p in the direction v; the end lies one unit away.
    KaLine3d(KaPoint3d const& p, KaVector3d const& v);

    KaPoint3d getStart() const { return m_start; }
    // The direction is kept.
    void setStart(KaPoint3d const& p) { m_start = p; }
    KaPoint3d getEnd() const { return m_end; }
    void setEnd(KaPoint3d const& p, bool updateDirection);
    KaVector3d getDirection() const { return m_direction; }
    // Stored at unit length; the end is kept.
    void setDirection(KaVector3d const& v) { m_direction = Normalized(v); }
    double getLength() const { return Norm(m_end - m_start); }
    // start + t * direction.
    KaPoint3d Evaluate(double t) const { return m_start + t * m_direction; }

    // Q := the foot of P on the line. True when unbounded is set or the foot lies
    // on the segment from start to end.
    bool getClosestPointTo(KaPoint3d const& P, KaPoint3d& Q, bool unbounded) const;
    // Distance of P from the unbounded line.
    double getNormDistance(KaPoint3d const& P) const;
    // d := |P - start|; true when P lies on the line (within 1e-10).
    bool getDistAtPoint(KaPoint3d const& P, double& d) const;

private:
    KaPoint3d m_start;
    KaPoint3d m_end;
    KaVector3d m_direction;
};

// The plane n * X + d = 0 with the unit normal n; Dist(X) is the signed distance.
class TARVIS_API KaPlane3d {
public:
    KaPlane3d() : m_n(0, 0, 1) {} // the plane z = 0
    // n is normalised, d taken as it is.
    KaPlane3d(KaVector3d const& n, double d);
    // The point-based forms orient the normal towards the origin's side (d >= 0).
    // Through P with the normal N.
    KaPlane3d(KaPoint3d const& P, KaVector3d const& N);
    // Through P, spanned by U and V.
    KaPlane3d(KaPoint3d const& P, KaVector3d const& U, KaVector3d const& V);
    // Through three points.
    KaPlane3d(KaPoint3d const& P1, KaPoint3d const& P2, KaPoint3d const& P3);

    KaVector3d GetNorm() const { return m_n; }
    double GetDist() const { return m_d; }
    // Stored normalised; d is kept.
    void SetNorm(KaVector3d const& v) { m_n = Normalized(v); }
    void SetDist(double d) { m_d = d; }
    double Dist(KaPoint3d const& P) const { return m_n * P.AsVector() + m_d; }
    KaPoint3d Projection(KaPoint3d const& P) const { return P - Dist(P) * m_n; }
    // Q := the intersection with the line; returns 0, or 1 (Q untouched) when the
    // line runs parallel within 1e-6.
    int Intersect(KaLine3d const& l, KaPoint3d& Q) const;

private:
    void Orient(KaPoint3d const& P, KaVector3d const& n);

    KaVector3d m_n;
    double m_d = 0.0;
};
