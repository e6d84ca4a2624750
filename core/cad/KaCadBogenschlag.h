#pragma once

#include "TarvisExport.h"
#include "geometry/KaVector3d.h"

// The arc intersection of surveying: the points at distance r1 from P1 and r2
// from P2. The construction is planar in x and y; the intersections lie in the
// vertical plane through both centres, so a difference in z is carried along.
// S1 lies to the right of the direction P1 -> P2, S2 to the left; circles that
// touch within eps give one point (S1 = S2 = Base).
class TARVIS_API KaCadBogenschlag {
public:
    KaCadBogenschlag(KaPoint3d const& P1, double r1, KaPoint3d const& P2, double r2, double eps);
    KaCadBogenschlag(KaCadBogenschlag const& other) = default;
    KaCadBogenschlag& operator=(KaCadBogenschlag const& other) = default;
    virtual ~KaCadBogenschlag();

    bool IsValid() const { return m_valid; }
    // Both circles are the same within eps: every point of the first is a solution.
    bool IsConcentric() const { return m_concentric; }
    KaPoint3d const& P1() const { return m_P1; }
    KaPoint3d const& P2() const { return m_P2; }
    double r1() const { return m_r1; }
    double r2() const { return m_r2; }
    KaPoint3d const& S1() const { return m_S1; }
    KaPoint3d const& S2() const { return m_S2; }
    // The foot of the intersections on the line of centres.
    KaPoint3d const& Base() const { return m_Base; }
    // The intersection nearer to Q (S1 on a tie).
    KaPoint3d GetNearestPoint(KaPoint3d const& Q) const;
    // The point of the first circle at angle a (radians, from the x axis).
    KaPoint3d GetConcentricPx(double a) const;

protected:
    bool Calc(double eps);

private:
    KaPoint3d m_P1;
    double m_r1 = 0.0;
    KaPoint3d m_P2;
    double m_r2 = 0.0;
    KaPoint3d m_S1, m_S2;
    KaPoint3d m_Base;
    bool m_valid = false;
    bool m_concentric = false;
};
