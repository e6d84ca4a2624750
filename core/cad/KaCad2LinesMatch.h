#pragma once

#include "TarvisExport.h"
#include "geometry/KaVector3d.h"

// The closest approach of two spatial lines, line 1 through P1 and P2 and line 2
// through P3 and P4. Q1 and Q2 are the closest points (for parallel lines the
// feet of the midpoint of the nearest end-point pair); E1 and E2 are the ends of
// each line farther from them.
class TARVIS_API KaCad2LinesMatch {
public:
    // For skew lines each closest point is moved by param1 (param2) towards the
    // nearer end of its line. Lines within angleDeg degrees of each other count
    // as parallel.
    KaCad2LinesMatch(KaPoint3d P1, KaPoint3d P2, KaPoint3d P3, KaPoint3d P4, double param1, double param2,
                     double angleDeg);
    KaCad2LinesMatch(KaCad2LinesMatch const& other) = default;
    KaCad2LinesMatch& operator=(KaCad2LinesMatch const& other) = default;
    virtual ~KaCad2LinesMatch();

    // False for a line whose two points coincide, non-finite input or a singular
    // system; Q1, Q2, E1 and E2 then stay at the origin.
    bool IsValid() const { return m_valid; }
    bool IsParallel() const { return m_parallel; }
    KaPoint3d const& Q1() const { return m_Q1; }
    KaPoint3d const& Q2() const { return m_Q2; }
    KaPoint3d const& E1() const { return m_E1; }
    KaPoint3d const& E2() const { return m_E2; }

    // |Q1 - Q2|.
    double Distance() const;
    KaPoint3d MiddlePoint() const;
    // The gap between the lines against m, the shorter of |E1 - Q1| and |E2 - Q2|:
    // 0 when the gap or m is exactly 0, 1 when the gap is at most 5 % of m, else 2.
    int ValueDistance() const;

protected:
    // sinTol: the sine of the angle below which the lines count as parallel.
    bool Calc(double sinTol);

private:
    KaPoint3d m_P1, m_P2, m_P3, m_P4;
    double m_param1 = 0.0;
    double m_param2 = 0.0;
    KaPoint3d m_E1, m_Q1, m_E2, m_Q2;
    bool m_valid = false;
    bool m_parallel = false;
};
